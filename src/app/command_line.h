#pragma once
// The command line and the settings file, read once when the window is created.

#include <optional>
#include <string>
#include <vector>

namespace orv {

class IFiles;
class ITextCodec;

struct StartOptions {
  bool unattended = false;   // "/b"
  unsigned delayMs = 0;      // timer interval of the unattended run
  bool noHistory = false;    // "/p" (only with "/b")
  bool noFile = false;       // "/h" (only with "/b")
  bool auditTool = false;    // "/w" (only with "/b")
  bool adminMenus = false;   // "/a": shows the hidden administrator menus, with or without "/b"
  std::string settingsPath;  // the settings file to read
};

// The delay used when the text after "/b" is not a usable number of seconds.
inline constexpr unsigned kDefaultUnattendedDelayMs = 300000;
// The longest interval a window timer accepts (USER_TIMER_MAXIMUM).
inline constexpr unsigned long long kMaxTimerIntervalMs = 0x7FFFFFFF;

// `args` are the arguments after the program name; `programPath` the program's own file path.
StartOptions ParseCommandLine(const std::vector<std::string>& args, const std::string& programPath);

// "SaveDir" of section "General" of the settings file without one trailing backslash; empty when
// the file or the key is missing.
std::string ReadSaveFolder(IFiles& files, const ITextCodec& codec, const std::string& settingsPath);

// "SmartReplayFolder" of section "General": a folder of captured S.M.A.R.T. sectors that answers
// instead of the drives (for inspecting captured dumps, and for machines without the drive
// interface). Empty, the normal case, reads the real drives.
std::string ReadSmartReplayFolder(IFiles& files, const ITextCodec& codec, const std::string& settingsPath);

}  // namespace orv
