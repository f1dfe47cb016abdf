#include "regscript/lookup_tools.h"

#include <memory>

#include "platform/version_info.h"
#include "regscript/lookups.h"
#include "regscript/value_readers.h"
#include "util/text.h"

namespace orv {

namespace {

constexpr const char* kCurrentVersionKey = "\\Software\\Microsoft\\Windows\\CurrentVersion";
constexpr std::string_view kProgramFilesVariable = "%programfiles%";

// A string value's text; "" when it is missing or not a string.
std::string StringValue(TRegistryEx& reg, const char* name) {
  const RegDataType type = reg.GetDataType(name);
  if (type != RegDataType::String && type != RegDataType::ExpandString) return {};
  return reg.ReadString(name);
}

}  // namespace

std::string ReadProgramFilesFolder(TRegistryEx& reg) {
  reg.SetRootKey(RegRoot::LocalMachine);
  if (!reg.OpenKeyReadOnly(kCurrentVersionKey)) return {};
  std::string folder = StringValue(reg, "ProgramFilesDir");
  if (folder.empty()) folder = StringValue(reg, "ProgramFilesPath");
  if (StartsWith(folder, "\"")) {
    const size_t close = folder.find('"', 1);
    folder = folder.substr(1, close == std::string::npos ? std::string::npos : close - 1);
  }
  return folder;
}

std::vector<std::string> FileVersionLines(const ReaderContext& context, const std::string& extension) {
  std::vector<std::string> lines{extension};
  const std::string program = ExeForExtension(context, extension);
  lines.push_back(program);

  context.programFilesFolder = ReadProgramFilesFolder(context.registry);
  std::string path = LowerCase(program);
  if (StartsWith(path, kProgramFilesVariable))
    path = context.programFilesFolder + path.substr(kProgramFilesVariable.size());
  lines.push_back(path);

  std::unique_ptr<IVersionResource> resource = path.empty() ? nullptr : context.versions.Open(path);
  if (!resource) {
    lines.push_back("No Version Info");
    return lines;
  }
  const std::vector<std::string> translations = resource->Translations();
  if (translations.empty()) return lines;
  lines.push_back("Version Information");
  const std::string block = "\\StringFileInfo\\" + translations.front();
  for (const char* field : kVersionFields) {
    const auto text = resource->QueryString(block + field);
    lines.push_back(std::string(field + 1) + " : " + (text && !text->empty() ? *text : std::string("None")));
  }
  return lines;
}

}  // namespace orv
