#pragma once
// File name patterns as the Windows file functions read them.

#include <string_view>

namespace orv {

// Whole-name wildcard match ("*" any run, "?" one character), ASCII letter case ignored. As on
// Windows, a pattern ending in ".*" also matches a name without an extension ("*.*" = all).
bool FileNameMatches(std::string_view name, std::string_view pattern);

}  // namespace orv
