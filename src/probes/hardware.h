#pragma once
// Hardware facts: WMI queries in "root\CIMV2" rendered as text, and the memory and drive facts of
// plain system calls. Every operation returns empty text when the platform gives nothing usable.

#include <string>

namespace orv {

class ISystem;
class IWmi;

std::string GetProcessorProperty(IWmi& wmi, const std::string& name);
std::string GetOSProperty(IWmi& wmi, const std::string& name);
std::string GetComputerModel(IWmi& wmi);
std::string GetMemorySlots(IWmi& wmi);
std::string GetMemoryArray(IWmi& wmi);
std::string GetMemorySpeed(IWmi& wmi);
std::string GetBaseBoard(IWmi& wmi);
std::string GetBiosVersion(IWmi& wmi);
std::string GetCDROMName(IWmi& wmi);
std::string GetDiskModel(IWmi& wmi, int drive);
std::string GetDiskSerial(IWmi& wmi, int drive);

// Total physical memory in MB, rounded to the nearest whole number.
std::string GetPhysicalMemoryMB(ISystem& system);
// Total page file in whole MB.
std::string GetPageFileMB(ISystem& system);

struct DriveInfoText {
  std::string sizeMB, freeMB, fileSystem;
};
// Drive 1 is A:, 3 is C:. Three empty texts unless it is a fixed disk.
DriveInfoText GetDriveInfo(ISystem& system, int drive);

}  // namespace orv
