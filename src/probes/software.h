#pragma once
// Installed software (the uninstall list) and the anti-virus status.

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace orv {

class IFiles;
class TRegistryEx;

// What CollectInstalledSoftware returns when no update of the list has a date.
inline constexpr const char* kNoPatchDate = "No patch date";

// Replaces the product list and the update list (both sorted) with the entries of the uninstall
// lists of the machine and of the logged-on user, each read in the registry's own view and then
// in the 32-bit programs' view, and returns the newest update date, or "No patch date". `reg`'s
// root must be the local machine.
std::string CollectInstalledSoftware(TRegistryEx& reg, std::vector<std::string>& programs,
                                     std::vector<std::string>& patches);
// Appends the seven anti-virus items.
void GetAntiVirusStatus(TRegistryEx& reg, IFiles& files, const std::function<void(const std::string&)>& addValue);
// Sorts a text list the way the program lists are ordered: ASCII letters compare without regard to
// case, everything else by the bytes of its UTF-8 text; equal texts keep their order.
void SortTextList(std::vector<std::string>& list);
// "4.0.4321" -> 400004321; -1 when a part is not a number; 0 for "".
int32_t VersionToNumber(const std::string& version);

}  // namespace orv
