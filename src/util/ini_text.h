#pragma once
// Settings texts in the INI layout of Windows ("[section]" lines, "key=value" lines).

#include <optional>
#include <string>
#include <vector>

namespace orv {

// A value of an INI text as GetPrivateProfileString reads it: section and key compared without
// regard to case, blanks around the value removed, one pair of enclosing quotes removed.
std::optional<std::string> IniValue(const std::vector<std::string>& lines, const std::string& section,
                                    const std::string& key);

}  // namespace orv
