#include "regscript/lookups.h"

#include <exception>
#include <memory>
#include <optional>

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

// "%NAME%" replaced by the variable's value, as ExpandEnvironmentStrings does it: a variable that
// is not set, and a "%" without a partner ("%1"), stay as they are.
std::string ExpandEnvironment(std::string_view text, ISystem& system) {
  std::string out;
  size_t pos = 0;
  while (pos < text.size()) {
    const size_t open = text.find('%', pos);
    const size_t close = open == std::string_view::npos ? open : text.find('%', open + 1);
    if (close == std::string_view::npos) break;
    out.append(text.substr(pos, open - pos));
    const auto value =
        close > open + 1 ? system.Environment(std::string(text.substr(open + 1, close - open - 1))) : std::nullopt;
    if (value) {
      out += *value;
      pos = close + 1;
    } else {
      out += '%';
      pos = open + 1;
    }
  }
  if (pos < text.size()) out.append(text.substr(pos));
  return out;
}

}  // namespace

std::string ExeForExtension(TRegistryEx& registry, ISystem& system, std::string_view extension) {
  try {
    registry.SetRootKey(RegRoot::ClassesRoot);
    registry.CloseKey();
    if (!registry.OpenKeyReadOnly(extension)) return {};
    const std::string fileType = registry.ReadString("");
    // An extension key without a file type names no program; do not look at "\shell" of the root.
    if (fileType.empty()) return {};
    registry.OpenKeyReadOnly(fileType + "\\shell\\open\\command");
    RegValue command;
    if (!registry.ReadValue("", command)) return {};
    if (command.type == regtype::ExpandString) return ProgramOfCommand(ExpandEnvironment(command.text, system));
    if (command.type != regtype::String) return kErrorText;
    return ProgramOfCommand(command.text);
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
