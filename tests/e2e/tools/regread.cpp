// regread: runs the registry value readers and lookups over the real Win32 layer, for the
// end-to-end tests. Every result is printed on its own line in UTF-8 between brackets, so that
// leading and trailing blanks stay visible.
//
//   regread item <ROOT> <keypath> <item>...     ReadItemValue of each item after opening the key
//   regread exe <extension>                     ExeForExtension
//   regread version <path> [<field>...]         FileVersionText (fields joined by blanks)
//   regread running                             ListRunningPrograms, one entry per line
//   regread shares                              ListSharedFolders, one entry per line
//
// ROOT is HKEY_LOCAL_MACHINE, HKEY_CLASSES_ROOT, HKEY_CURRENT_USER, HKEY_CURRENT_CONFIG or
// HKEY_USERS (or HKLM, HKCR, HKCU, HKCC, HKU). Exit code 0, or 2 on a usage error.

#include <fcntl.h>
#include <io.h>

#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include "platform/win32/wide.h"
#include "platform/win32/win32_files.h"
#include "platform/win32/win32_network.h"
#include "platform/win32/win32_registry.h"
#include "platform/win32/win32_system.h"
#include "platform/win32/win32_version_info.h"
#include "regscript/lookups.h"
#include "regscript/value_readers.h"
#include "util/text.h"

namespace {

void PrintLine(const std::string& text) {
  std::string line = "[" + text + "]\n";
  std::fwrite(line.data(), 1, line.size(), stdout);
}

std::optional<orv::RegRoot> ParseRoot(const std::string& name) {
  const std::string n = orv::UpperCase(name);
  if (n == "HKEY_LOCAL_MACHINE" || n == "HKLM") return orv::RegRoot::LocalMachine;
  if (n == "HKEY_CLASSES_ROOT" || n == "HKCR") return orv::RegRoot::ClassesRoot;
  if (n == "HKEY_CURRENT_USER" || n == "HKCU") return orv::RegRoot::CurrentUser;
  if (n == "HKEY_CURRENT_CONFIG" || n == "HKCC") return orv::RegRoot::CurrentConfig;
  if (n == "HKEY_USERS" || n == "HKU") return orv::RegRoot::Users;
  return std::nullopt;
}

// The Program Files folder as the file-version tool reads it.
std::string ReadProgramFilesFolder(orv::TRegistryEx& registry) {
  registry.SetRootKey(orv::RegRoot::LocalMachine);
  registry.OpenKeyReadOnly("\\Software\\Microsoft\\Windows\\CurrentVersion");
  std::string folder = orv::ReadRegValue(registry, "ProgramFilesDir");
  if (folder.empty()) folder = orv::ReadRegValue(registry, "ProgramFilesPath");
  if (orv::StartsWith(folder, "\"")) {
    size_t close = folder.find('"', 1);
    folder = folder.substr(1, close == std::string::npos ? std::string::npos : close - 1);
  }
  registry.CloseKey();
  return folder;
}

int Usage() {
  std::fputs("usage: regread item <ROOT> <keypath> <item>... | exe <ext> | version <path> [field...] | "
             "running | shares\n",
             stderr);
  return 2;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  _setmode(_fileno(stdout), _O_BINARY);  // UTF-8 bytes and "\n" exactly as written
  std::vector<std::string> args;
  for (int i = 1; i < argc; ++i) args.push_back(orv::win32::Narrow(argv[i]));
  if (args.empty()) return Usage();

  orv::Win32Registry registryApi;
  orv::Win32VersionInfo versions;
  orv::Win32System system;
  orv::Win32Files files;
  orv::Win32Network network;
  orv::TRegistryEx registry(registryApi);
  bool keyOpen = false;
  std::string programFilesFolder;
  orv::ReaderContext context{registry, keyOpen, programFilesFolder, system.SystemDirectory().value_or(""),
                             versions,  files,   system,             network};

  const std::string& command = args[0];
  if (command == "item" && args.size() >= 4) {
    auto root = ParseRoot(args[1]);
    if (!root) return Usage();
    registry.SetRootKey(*root);
    keyOpen = registry.OpenKeyReadOnly(args[2]);
    for (size_t i = 3; i < args.size(); ++i) PrintLine(orv::ReadItemValue(context, args[i]));
  } else if (command == "exe" && args.size() == 2) {
    PrintLine(orv::ExeForExtension(context, args[1]));
  } else if (command == "version" && args.size() >= 2) {
    programFilesFolder = ReadProgramFilesFolder(registry);
    std::vector<std::string> fields(args.begin() + 2, args.end());
    PrintLine(orv::FileVersionText(context, args[1], orv::Join(fields, " ")));
  } else if (command == "running" && args.size() == 1) {
    std::vector<std::string> list;
    orv::ListRunningPrograms(context, list);
    for (const std::string& entry : list) PrintLine(entry);
  } else if (command == "shares" && args.size() == 1) {
    std::vector<std::string> list;
    orv::ListSharedFolders(context, list);
    for (const std::string& entry : list) PrintLine(entry);
  } else {
    return Usage();
  }
  std::fflush(stdout);
  return 0;
}
