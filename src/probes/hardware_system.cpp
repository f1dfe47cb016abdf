#include <cmath>

#include "platform/system.h"
#include "probes/hardware.h"

namespace orv {

std::string GetPhysicalMemoryMB(ISystem& system) {
  double mb = static_cast<double>(system.Memory().totalPhysical) / 1024.0 / 1024.0;
  return std::to_string(static_cast<long long>(std::llround(mb)));
}

std::string GetPageFileMB(ISystem& system) { return std::to_string(system.Memory().totalPageFile >> 20); }

DriveInfoText GetDriveInfo(ISystem& system, int drive) {
  if (drive < 1 || drive > 26) return {};
  DriveFacts facts = system.Drive(static_cast<char>('A' + drive - 1));
  if (facts.driveType != 3) return {};
  DriveInfoText t;
  t.fileSystem = facts.fileSystem;
  if (facts.sizeKnown) {
    t.sizeMB = std::to_string(facts.totalBytes / 1048576);
    t.freeMB = std::to_string(facts.freeBytes / 1048576);
  }
  return t;
}

}  // namespace orv
