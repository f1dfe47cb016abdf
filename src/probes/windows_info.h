#pragma once
// Windows facts beside the registry reads of the collection run: the browser label, the update
// dates, the stored install time, the current time stamp and the well-known folders.

#include <cstdint>
#include <string>
#include <vector>

#include "platform/clock.h"

namespace orv {

class ISystem;
class TRegistryEx;

// "IE" + label + " " + version; the label comes from the version's first 7 characters.
std::string GetIEVersionLabel(const std::string& version);

// Normalises an update's "InstalledDate" (y/m/d or m/d/y) to "yyyy/mm/dd".
std::string NormaliseUpdateDate(const std::string& installedDate);

// Walks keyPath and its subkeys depth first (root as the registry object has it) and appends the
// normalised "InstalledDate" of every key whose path contains "\Windows ".
void CollectUpdateDates(TRegistryEx& reg, const std::string& keyPath, std::vector<std::string>& into);

// Seconds since 1970-01-01 00:00:00 as a calendar time (no time-zone conversion).
DateTime UnixTimeToDateTime(int32_t seconds);

// Local time of the run, "yyyy/mm/dd hh:mm:ss".
std::string FormatNow(ISystem& system);

// The user's documents folder, the Windows folder (with a trailing backslash) and the system
// folder; "Error!" when the platform cannot say.
std::string GetDocumentsFolder(ISystem& system);
std::string GetWindowsFolder(ISystem& system);
std::string GetSystemFolder(ISystem& system);

// The text without its trailing blanks (character 32 only).
std::string TrimTrailingSpaces(const std::string& s);

}  // namespace orv
