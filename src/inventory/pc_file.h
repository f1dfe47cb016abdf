#pragma once
// Where the per-PC inventory file goes, and the audit tool step of the save command.

#include <string>

namespace orv {

class IFiles;
class IShell;

// "<computer>__<workgroup>", or "NoName" when the stem is empty.
std::string FileStem(const std::string& computerStem);

// The folder of the per-PC file, with its trailing backslash: the save folder when one is set;
// otherwise the folder "pcdata" beside the program's folder when it exists; otherwise the
// program's folder. No folder is created.
std::string PcFileFolder(IFiles& files, const std::string& saveFolder, const std::string& programFolder);

std::string PcFilePath(IFiles& files, const std::string& saveFolder, const std::string& programFolder,
                       const std::string& computerStem);

// The audit tool's log: the per-PC file's folder + "p2p\" + stem + ".log".
std::string AuditLogPath(const std::string& pcFilePath, const std::string& computerStem);

// The shell's administrator query; true when the platform lacks it.
bool IsUserAdmin(IShell& shell);

// Starts the audit tool "winyaudt.exe" of the program's folder for the given per-PC file when it
// exists, the user is an administrator, and its log is missing or at most 80 bytes (a log that
// short holds no finished audit). The log's folder is created when missing. The tool path is
// quoted and also named as the application, so a folder with blanks can never start another
// program. Returns true when the tool was started.
bool RunAuditTool(IFiles& files, IShell& shell, const std::string& programFolder, const std::string& pcFilePath,
                  const std::string& computerStem);

}  // namespace orv
