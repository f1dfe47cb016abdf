// Probes whose platform access is not built yet: each returns its "no value" so that every row of
// the record keeps its place. They move to their own files as they are built.
#include <functional>

#include "probes/hardware.h"
#include "probes/network_info.h"

namespace orv {

std::string GetProcessorProperty(IWmi&, const std::string&) { return {}; }
std::string GetOSProperty(IWmi&, const std::string&) { return {}; }
std::string GetComputerModel(IWmi&) { return {}; }
std::string GetMemorySlots(IWmi&) { return {}; }
std::string GetMemoryArray(IWmi&) { return {}; }
std::string GetMemorySpeed(IWmi&) { return {}; }
std::string GetBaseBoard(IWmi&) { return {}; }
std::string GetBiosVersion(IWmi&) { return {}; }
std::string GetCDROMName(IWmi&) { return {}; }
std::string GetDiskModel(IWmi&, int) { return {}; }
std::string GetDiskSerial(IWmi&, int) { return {}; }

void CollectAdapters(IWmi&, const std::function<void(const std::string&)>& addValue) {
  for (int i = 0; i < 16; ++i) addValue("");
}

}  // namespace orv
