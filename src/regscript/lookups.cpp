#include "regscript/lookups.h"

#include <exception>
#include <memory>

#include "platform/files.h"
#include "platform/network.h"
#include "platform/system.h"
#include "platform/version_info.h"
#include "util/text.h"

namespace orv {

namespace {

constexpr const char* kErrorText = "Error!";
constexpr std::string_view kProgramFilesVariable = "%programfiles%";

// The part after the last backslash or drive colon.
std::string FileNameOf(std::string_view path) {
  size_t cut = path.find_last_of("\\:");
  return std::string(cut == std::string_view::npos ? path : path.substr(cut + 1));
}

// Reduces a registered open command to the program's path: a quoted program is taken between its
// quotes; everything after the first ".exe" (the arguments) is dropped. An unquoted command with
// no ".exe" at all is kept up to its first blank, which drops the usual " %1".
std::string ProgramOfCommand(std::string command) {
  const bool quoted = StartsWith(command, "\"");
  if (quoted) {
    size_t first = command.find_first_not_of('"');
    command = first == std::string::npos ? std::string() : command.substr(first);
    command = command.substr(0, command.find('"'));
  }
  const std::string lower = LowerCase(command);
  if (EndsWith(lower, ".exe")) return command;
  if (size_t exe = lower.find(".exe"); exe != std::string::npos) return command.substr(0, exe + 4);
  // The quotes already delimit the program, whose path may hold blanks.
  return quoted ? command : command.substr(0, command.find(' '));
}

}  // namespace

std::string ExeForExtension(TRegistryEx& registry, std::string_view extension) {
  try {
    registry.SetRootKey(RegRoot::ClassesRoot);
    registry.CloseKey();
    if (!registry.OpenKeyReadOnly(extension)) return {};
    const std::string fileType = registry.ReadString("");
    // An extension key without a file type names no program; do not look at "\shell" of the root.
    if (fileType.empty()) return {};
    registry.OpenKeyReadOnly(fileType + "\\shell\\open\\command");
    return ProgramOfCommand(registry.ReadString(""));
  } catch (const std::exception&) {
    return kErrorText;
  }
}

std::string FileVersionText(const ReaderContext& context, std::string_view pathIn, std::string_view fieldNames) {
  try {
    std::string path = LowerCase(pathIn);
    if (StartsWith(path, "\"")) {
      size_t close = path.find('"', 1);
      path = path.substr(1, close == std::string::npos ? std::string::npos : close - 1);
    }
    if (StartsWith(path, kProgramFilesVariable)) {
      path = context.programFilesFolder + path.substr(kProgramFilesVariable.size());
    } else if (Contains(path, "flash") && Contains(path, ".ocx")) {
      // The flash player control lives in its own folder under the system folder.
      std::string inSystem = context.systemFolder + "\\macromed\\flash\\" + path;
      if (context.files.FileExists(inSystem)) path = inSystem;
    }
    if (path.empty()) return {};
    std::unique_ptr<IVersionResource> resource = context.versions.Open(path);
    if (!resource) return {};

    std::string result = LowerCase(FileNameOf(path));
    const std::vector<std::string> translations = resource->Translations();
    if (translations.empty()) return result;
    const std::string block = "\\StringFileInfo\\" + translations.front() + "\\";
    if (auto original = resource->QueryString(block + "OriginalFilename")) result = LowerCase(*original);
    for (const std::string& field : Split(fieldNames, ' ')) {
      if (field.empty()) continue;
      if (auto text = resource->QueryString(block + field); text && !text->empty()) result += " " + *text;
    }
    return result;
  } catch (const std::exception&) {
    return kErrorText;
  }
}

void ListRunningPrograms(ISystem& system, std::vector<std::string>& list) {
  list.clear();
  if (auto processes = system.RunningProcesses()) list = std::move(*processes);
}

void ListSharedFolders(ISystem& system, INetwork& network, std::vector<std::string>& list) {
  const bool nt = system.GetOsVersion().platformId == 2;
  const std::string container = "\\\\" + system.ComputerName().value_or("");
  const ShareEnumResult shares =
      network.EnumShares(container, nt ? "Microsoft Windows NetWork" : "Microsoft Network");
  switch (shares.status) {
    case ShareEnumResult::Status::Ok:
      list = shares.names;
      break;
    case ShareEnumResult::Status::NoMoreItems:
      list.push_back(kNoSharedFolders);
      break;
    case ShareEnumResult::Status::EnumError:
      list.push_back("ネットワークエラー(" + std::to_string(shares.error) + ")");
      break;
    case ShareEnumResult::Status::NoNetwork:
      list.push_back(kNoNetworkPresent);
      break;
    case ShareEnumResult::Status::OpenError:
      list.push_back("ネットワークエラー２(" + std::to_string(shares.error) + ")");
      break;
  }
}

}  // namespace orv
