#pragma once
// S.M.A.R.T. acquisition: IDENTIFY DEVICE, SMART READ DATA and SMART READ THRESHOLDS through the
// Windows drive S.M.A.R.T. interface (SMART_GET_VERSION, SMART_SEND_DRIVE_COMMAND,
// SMART_RCV_DRIVE_DATA), parsed into a TSmartResult with every slot judged.

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "diskhealth/smart_result.h"

namespace orv {

class ISmartDevice;
struct Platform;

// Texts of DRIVERSTATUS.bDriverError, indexed by its value.
inline constexpr std::array<const char*, 11> DriverErrorTexts = {
    "No error",
    "Error from IDE controller",
    "Invalid command flag",
    "Invalid command byte",
    "Bad buffer (null, invalid addr..)",
    "Drive number not valid",
    "Invalid IOCTL",
    "Could not lock user\"s buffer",
    "Some IDE Register not valid",
    "Invalid cmd flag set",
    "Cmd issued to device not present although drive number is valid",
};

// OsVersion::platformId values.
inline constexpr uint32_t kPlatformWin9x = 1;
inline constexpr uint32_t kPlatformNT = 2;

// Exchanges the bytes of every pair (0<->1, 2<->3, ...), then trims leading and trailing bytes of
// code 32 or below. A last byte without a partner (odd length) stays where it is.
std::string SwapAtaString(std::string_view bytes);

// Reads drive `driveNumber` ("\\.\PhysicalDrive<n>"; on the 9x family "\\.\SMARTVSD", which
// ignores the number) into `result`. Returns true when a drive position delivered identify,
// attributes and thresholds (or when every position was skipped); `errorText` receives the text of
// the last failure met, and every caller takes an empty text for "data present".
// On the NT family an NVMe drive (by its bus type, or any drive whose ATA path fails) is read
// through the storage stack's NVMe queries instead (nvme_read.h); such a reading returns true with
// an empty error text, and a drive that answers neither path keeps the ATA path's text.
bool ReadSmartData(ISmartDevice& device, uint32_t platformId, int32_t driveNumber, TSmartResult& result,
                   std::string& errorText);
// The same over the platform's device and family; a platform without a S.M.A.R.T. device reports
// the open failure "not supported".
bool ReadSmartData(Platform& platform, int32_t driveNumber, TSmartResult& result, std::string& errorText);

// What a reading found: the drive was read (empty error text), it is there but could not be read,
// or there is no such drive (its device cannot be opened at all, or the platform has no device):
// the loops over drive numbers go on past an unreadable drive and stop at an absent one.
enum class DriveState { Read, Unreadable, Absent };
DriveState ReadSmartDrive(Platform& platform, int32_t driveNumber, TSmartResult& result, std::string& errorText);

struct DriveReading {
  int number = 0;
  DriveState state = DriveState::Absent;
  TSmartResult result;
  std::string error;
};
// Drives 0, 1, 2, ... up to the first absent one and below `maxDrives`, unreadable ones included.
std::vector<DriveReading> ReadEveryDrive(Platform& platform, int maxDrives);

}  // namespace orv
