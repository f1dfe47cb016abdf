#pragma once
// The Windows updates installed on this PC, as Windows 10 and 11 know them: the hotfix list of
// WMI (Win32_QuickFixEngineering) and the Windows Update history. Cumulative updates appear in
// neither the uninstall list nor under \Software\Microsoft\Updates.

#include <string>
#include <vector>

namespace orv {

class IUpdateHistory;
class IWmi;

struct WindowsUpdate {
  std::string date;   // "yyyy/mm/dd"; "0000/00/00" when no source gives one
  std::string kb;     // "KB5026446"
  std::string title;  // the history's title, else the hotfix list's description ("Security Update")
};

inline constexpr const char* kUnknownUpdateDate = "0000/00/00";

// InstalledOn as the hotfix list writes it, in the PC's own way: "4/11/2017" (month first),
// "21/04/2023" (day first, when the first number cannot be a month), "21.04.2023", "2023-04-21",
// "20230421", or a file time in hexadecimal ("01d2b1f5a3e1c000"). "yyyy/mm/dd", or "" when the
// text is none of these or no real date.
std::string InstalledOnDate(const std::string& installedOn);
// The "KB" number a title names ("... (KB5026446)" -> "KB5026446"); "" when it names none.
std::string KbNumber(const std::string& title);
// Every installed update once (by its KB number), newest first. The hotfix list is the base, the
// history adds what the hotfix list does not name and the titles; history entries without a KB
// number (the update stack) are not updates of Windows. `history` may be null.
std::vector<WindowsUpdate> InstalledWindowsUpdates(IWmi& wmi, IUpdateHistory* history);
// "<yyyy/mm/dd> <KB number> <title>" (no trailing blank without a title).
std::string UpdateLine(const WindowsUpdate& update);
// The script word "#updates n": exactly `count` values, the newest updates' lines then empty
// values. `wmi` and `history` may be null.
std::vector<std::string> UpdatesWordValues(IWmi* wmi, IUpdateHistory* history, int count);

}  // namespace orv
