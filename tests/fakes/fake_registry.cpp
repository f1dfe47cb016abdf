#include "fakes/fake_registry.h"

#include <algorithm>
#include <fstream>
#include <sstream>
#include <stdexcept>

#include "util/text.h"

namespace orv::test {

namespace {

// The lower-case path without leading or trailing backslashes, "wow32:" in front in that view.
std::string CleanPath(std::string_view path, RegView view) {
  std::string p = LowerCase(path);
  p.erase(0, std::min(p.find_first_not_of('\\'), p.size()));
  while (!p.empty() && p.back() == '\\') p.pop_back();
  return view == RegView::Wow32 ? "wow32:" + p : p;
}

class FakeRegistryKey final : public IRegistryKey {
 public:
  FakeRegistryKey(const FakeRegistry::Key& key) : key_(key) {}
  std::vector<std::string> SubKeyNames() override { return key_.subKeyOrder; }
  std::vector<std::string> ValueNames() override {
    std::vector<std::string> names;
    for (const auto& [name, value] : key_.values) names.push_back(name);
    return names;
  }
  bool QueryValue(std::string_view name, RegValue& out) override {
    for (const auto& [n, v] : key_.values)
      if (SameTextIgnoringCase(n, name)) {
        out = v;
        return true;
      }
    return false;
  }

 private:
  const FakeRegistry::Key& key_;
};

// The data of one value line: "text", expand:"text", dword:<hex>, multi:"a","b", hex:<bytes> or
// hex(<type>):<bytes>.
RegValue ParseData(const std::string& data) {
  auto quoted = [](const std::string& s) { return s.substr(1, s.size() - 2); };
  if (data[0] == '"') return {.type = regtype::String, .text = quoted(data)};
  const std::string kind = data.substr(0, data.find(':')), rest = data.substr(kind.size() + 1);
  if (kind == "expand") return {.type = regtype::ExpandString, .text = quoted(rest)};
  if (kind == "dword") return {.type = regtype::Dword, .number = static_cast<uint32_t>(std::stoul(rest, nullptr, 16))};
  if (kind == "multi") return {.type = regtype::MultiString, .strings = Split(ReplaceAll(quoted(rest), "\",\"", "\n"), '\n')};
  RegValue value{.type = kind == "hex" ? regtype::Binary : static_cast<uint32_t>(std::stoul(kind.substr(4), nullptr, 16))};
  for (const std::string& byte : Split(rest, ','))
    if (!byte.empty()) value.bytes.push_back(static_cast<uint8_t>(std::stoul(byte, nullptr, 16)));
  return value;
}

}  // namespace

void FakeRegistry::Load(const std::string& name) {
  std::ifstream in(std::string(ORV_TEST_DATA) + "/registry/" + name, std::ios::binary);
  if (!in) throw std::runtime_error("cannot read registry/" + name);
  std::stringstream text;
  text << in.rdbuf();
  std::string key;
  for (const std::string& line : SplitLines(text.str())) {
    if (line.empty() || line[0] == ';') continue;
    if (line[0] == '[') {  // [path], or [!path] for a key that exists but cannot be opened
      key = line.substr(line[1] == '!' ? 2 : 1, line.size() - (line[1] == '!' ? 3 : 2));
      AddKey(key).denyOpen = line[1] == '!';
      continue;
    }
    const size_t equals = line[0] == '@' ? 1 : line.find("\"=") + 1;  // @ names the default value
    SetValue(key, line[0] == '@' ? "" : line.substr(1, equals - 2), ParseData(line.substr(equals + 1)));
  }
}

FakeRegistry::Key& FakeRegistry::AddKey(const std::string& path, RegView view) {
  // Create parents and record each child name once (as first given), in the order first added.
  const size_t first = std::min(path.find_first_not_of('\\'), path.size());
  const std::vector<std::string> names =
      Split(path.substr(first, path.find_last_not_of('\\') + 1 - first), '\\');
  std::string current = CleanPath(names[0], view);
  for (size_t i = 1; i < names.size(); ++i) {
    std::vector<std::string>& children = keys_[current].subKeyOrder;
    const auto same = [&](const std::string& n) { return SameTextIgnoringCase(n, names[i]); };
    if (std::none_of(children.begin(), children.end(), same)) children.push_back(names[i]);
    current += "\\" + LowerCase(names[i]);
  }
  return keys_[current];
}

void FakeRegistry::SetValue(const std::string& keyPath, const std::string& name, const RegValue& value) {
  Key& key = AddKey(keyPath);
  for (auto& [n, v] : key.values)
    if (SameTextIgnoringCase(n, name)) {
      v = value;
      return;
    }
  key.values.emplace_back(name, value);
}

std::unique_ptr<IRegistryKey> FakeRegistry::OpenKey(RegRoot root, std::string_view path, RegView view) {
  static const char* const kRootNames[] = {"hkcr", "hkcu", "hklm", "hku", "hkcc"};  // in the order of RegRoot
  ++openCount;
  const std::string key = kRootNames[static_cast<int>(root)] + ("\\" + CleanPath(path, RegView::Native));
  auto it = keys_.find(CleanPath(key, view));  // a root's own key: the backslash after it goes
  if (it == keys_.end() || it->second.denyOpen) return nullptr;
  return std::make_unique<FakeRegistryKey>(it->second);
}

}  // namespace orv::test
