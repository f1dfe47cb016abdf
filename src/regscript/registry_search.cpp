#include "regscript/registry_search.h"

#include <algorithm>
#include <vector>

#include "regscript/registry_ex.h"
#include "util/text.h"

namespace orv {

namespace {

// The window gets a chance to repaint after this many keys (and after every subkey of the start
// key, which moves the progress bar).
constexpr unsigned kKeysPerRepaint = 32;

unsigned char Fold(char c) {
  auto u = static_cast<unsigned char>(c);
  return (u >= 'A' && u <= 'Z') ? static_cast<unsigned char>(u - 'A' + 'a') : u;
}

void SortNames(std::vector<std::string>& names) {
  std::sort(names.begin(), names.end(),
            [](const std::string& a, const std::string& b) { return NameLessIgnoringCase(a, b); });
}

class Walker {
 public:
  Walker(TRegistryEx& registry, const SearchText& search, SearchScreen& screen)
      : reg_(registry), search_(search), screen_(screen) {}

  void Walk(const std::string& path, bool startKey) {
    reg_.CloseKey();
    reg_.OpenKeyReadOnly(path);
    screen_.statusText = path;

    // Every string and integer value of the key, read once (name, type and data in one call), in
    // name order.
    std::vector<std::pair<std::string, RegValue>> all;
    reg_.GetValues(all);
    struct Value {
      std::string name, text;
    };
    std::vector<Value> values;
    values.reserve(all.size());
    for (auto& [name, value] : all) {
      if (value.type == regtype::String)
        values.push_back({std::move(name), std::move(value.text)});
      else if (value.type == regtype::Dword)
        values.push_back({std::move(name), std::to_string(static_cast<int32_t>(value.number))});
      // other types are not searched
    }
    std::sort(values.begin(), values.end(),
              [](const Value& a, const Value& b) { return NameLessIgnoringCase(a.name, b.name); });
    if (std::any_of(values.begin(), values.end(), [this](const Value& v) { return SearchMatches(search_, v.text); })) {
      screen_.memo.Add(path);
      for (const Value& v : values) screen_.memo.Add("  " + v.name + "  ----  " + v.text);
    }
    if (++keys_ % kKeysPerRepaint == 0) Repaint();

    std::vector<std::string> subkeys;
    reg_.GetKeyNames(subkeys);
    if (subkeys.empty()) return;
    SortNames(subkeys);
    if (startKey) screen_.progressMax = static_cast<int>(subkeys.size());
    int handled = 0;
    // "\Software\Classes" has a command of its own; "\Software\WOW6432Node\Classes" is the view
    // 32-bit programs have of the same branch.
    const bool skipClasses = path == "\\Software" || LowerCase(path) == "\\software\\wow6432node";
    for (const std::string& name : subkeys) {
      if (!(skipClasses && LowerCase(name) == "classes")) Walk(path + "\\" + name, false);
      if (startKey) {
        screen_.progressPosition = ++handled;
        Repaint();
      }
    }
  }

 private:
  void Repaint() {
    if (screen_.processMessages) screen_.processMessages();
  }

  TRegistryEx& reg_;
  const SearchText& search_;
  SearchScreen& screen_;
  unsigned keys_ = 0;
};

}  // namespace

SearchText ParseSearchText(std::string_view typed) {
  SearchText s;
  std::string text(typed);
  if (StartsWith(text, "&")) {
    s.caseSensitive = false;
    text = LowerCase(LeftChars(std::string_view(text).substr(1), 512));
  }
  if (StartsWith(text, "-")) {
    s.prefixMatch = true;
    text = LeftChars(std::string_view(text).substr(1), 512);
  }
  s.text = std::move(text);
  return s;
}

bool SearchMatches(const SearchText& search, std::string_view value) {
  const std::string lowered = search.caseSensitive ? std::string() : LowerCase(value);
  const std::string_view text = search.caseSensitive ? value : std::string_view(lowered);
  return search.prefixMatch ? StartsWith(text, search.text) : Contains(text, search.text);
}

bool NameLessIgnoringCase(std::string_view a, std::string_view b) {
  const size_t n = std::min(a.size(), b.size());
  for (size_t i = 0; i < n; ++i) {
    const unsigned char x = Fold(a[i]), y = Fold(b[i]);
    if (x != y) return x < y;
  }
  if (a.size() != b.size()) return a.size() < b.size();
  return a < b;
}

void SearchRegistry(TRegistryEx& registry, const SearchText& search, const std::string& startKey,
                    SearchScreen& screen) {
  Walker(registry, search, screen).Walk(startKey, true);
}

}  // namespace orv
