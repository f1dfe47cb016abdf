#include "inventory/pc_file.h"

#include "platform/files.h"
#include "platform/shell.h"
#include "util/text_file.h"

namespace orv {

std::string FileStem(const std::string& computerStem) {
  return computerStem.empty() ? std::string("NoName") : computerStem;
}

std::string PcFileFolder(IFiles& files, const std::string& saveFolder, const std::string& programFolder) {
  if (!saveFolder.empty()) return saveFolder + "\\";
  // The parent of the program's folder: "D:\tools\inv\" -> "D:\tools\".
  std::string folder = programFolder;
  if (!folder.empty() && folder.back() == '\\') folder.pop_back();
  std::string pcdata = ExtractFilePath(folder) + "pcdata";
  if (!ExtractFilePath(folder).empty() && files.DirectoryExists(pcdata)) return pcdata + "\\";
  return programFolder;
}

std::string PcFilePath(IFiles& files, const std::string& saveFolder, const std::string& programFolder,
                       const std::string& computerStem) {
  return PcFileFolder(files, saveFolder, programFolder) + FileStem(computerStem) + ".csv";
}

std::string AuditLogPath(const std::string& pcFilePath, const std::string& computerStem) {
  return ExtractFilePath(pcFilePath) + "p2p\\" + FileStem(computerStem) + ".log";
}

bool IsUserAdmin(IShell& shell) { return shell.IsUserAnAdmin().value_or(true); }

bool RunAuditTool(IFiles& files, IShell& shell, const std::string& programFolder, const std::string& pcFilePath,
                  const std::string& computerStem) {
  const std::string tool = programFolder + "winyaudt.exe";
  if (!files.FileExists(tool) || !IsUserAdmin(shell)) return false;
  const std::string log = AuditLogPath(pcFilePath, computerStem);
  if (auto size = files.FileSize(log); size && *size > 80) return false;
  std::string logFolder = ExtractFilePath(log);
  logFolder.pop_back();
  if (!files.DirectoryExists(logFolder)) files.CreateDirectory(logFolder);
  const std::string commandLine = "\"" + tool + "\" /SILENT /START /LOG=\"" + log + "\"";
  return shell.StartProcess(tool, commandLine);
}

}  // namespace orv
