#pragma once
// Installed software (the uninstall list) and the anti-virus status.

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace orv {

class IFiles;
class TRegistryEx;

// Fills the product list and the update list (both sorted) from the uninstall list and returns
// the newest update date, or "No patch date".
std::string CollectInstalledSoftware(TRegistryEx& reg, std::vector<std::string>& programs,
                                     std::vector<std::string>& patches);
// Appends the seven anti-virus items.
void GetAntiVirusStatus(TRegistryEx& reg, IFiles& files, const std::function<void(const std::string&)>& addValue);
// "4.0.4321" -> 400004321; -1 when a part is not a number; 0 for "".
int32_t VersionToNumber(const std::string& version);

}  // namespace orv
