// The probes that walk a registry branch depth first.
#include "probes/network_info.h"
#include "probes/windows_info.h"
#include "regscript/registry_ex.h"
#include "util/text.h"

namespace orv {

namespace {

// Registry links could in principle form a loop; no real branch is this deep.
constexpr int kMaxDepth = 64;

std::string ReadText(TRegistryEx& reg, const std::string& name) {
  try {
    return reg.ReadString(name);
  } catch (const ERegistryError&) {
    return {};
  }
}

std::string FindComponent(TRegistryEx& reg, const std::string& keyPath, const std::string& valueName,
                          const std::string& text, int depth) {
  if (depth > kMaxDepth || !reg.OpenKeyReadOnly(keyPath)) return {};
  std::string description = ReadText(reg, valueName);
  if (Contains(description, text) && !ReadText(reg, "InfPath").empty()) return description;
  std::vector<std::string> subKeys;
  reg.GetKeyNames(subKeys);
  for (const auto& name : subKeys) {
    std::string found = FindComponent(reg, keyPath + "\\" + name, valueName, text, depth + 1);
    if (!found.empty()) return found;
  }
  return {};
}

void WalkUpdates(TRegistryEx& reg, const std::string& keyPath, std::vector<std::string>& into, int depth) {
  if (depth > kMaxDepth || !reg.OpenKeyReadOnly(keyPath)) return;
  if (Contains(keyPath, "\\Windows ") && reg.GetDataType("InstalledDate") == RegDataType::String)
    into.push_back(NormaliseUpdateDate(ReadText(reg, "InstalledDate")));
  std::vector<std::string> subKeys;
  reg.GetKeyNames(subKeys);
  for (const auto& name : subKeys) WalkUpdates(reg, keyPath + "\\" + name, into, depth + 1);
}

}  // namespace

std::string FindNetworkComponent(TRegistryEx& reg, const std::string& keyPath, const std::string& valueName,
                                 const std::string& text) {
  return FindComponent(reg, keyPath, valueName, text, 0);
}

void CollectUpdateDates(TRegistryEx& reg, const std::string& keyPath, std::vector<std::string>& into) {
  WalkUpdates(reg, keyPath, into, 0);
}

}  // namespace orv
