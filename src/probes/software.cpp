// The installed-software walk over the uninstall list, and the dotted-version arithmetic.
#include "probes/software.h"

#include <algorithm>
#include <optional>
#include <string_view>
#include <unordered_set>

#include "regscript/registry_ex.h"
#include "regscript/value_readers.h"
#include "util/text.h"

namespace orv {

namespace {

constexpr const char* kUninstallKey = "\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall";
// Entries of operating-system updates start with this; everything else is a program.
constexpr std::string_view kUpdatePrefix = "Windows ";
// The date in an update's text is searched from this character on (0-based), past the
// "Windows <version>" words whose own " 20.." (2000, 2003) is not a date.
constexpr size_t kUpdateDateSearchFrom = 23;

// Decimal text of an integer value, or "" when the value is of another type or absent.
std::string IntegerText(TRegistryEx& reg, const char* name) {
  if (reg.GetDataType(name) != RegDataType::Integer) return {};
  return std::to_string(reg.ReadInteger(name));
}

// The entry text of the open uninstall entry; nullopt when the entry is not listed.
std::optional<std::string> EntryText(TRegistryEx& reg) {
  const std::string name = ReadRegValue(reg, "DisplayName");
  if (name.empty()) return std::nullopt;
  std::string version = ReadRegValue(reg, "DisplayVersion");
  if (version.empty()) {
    // Installers that write no display version still leave the two numbers.
    version = IntegerText(reg, "VersionMajor");
    if (std::string minor = IntegerText(reg, "VersionMinor"); !minor.empty()) version += "." + minor;
  }
  const std::string product = ReadRegValue(reg, "ProductID");
  // Only an absent or empty NoRemove lets the entry through; any number, 0 included, keeps it out.
  if (!ReadRegValue(reg, "NoRemove").empty()) return std::nullopt;
  return name + " " + version + " " + product;
}

// The listed entries of one registry view, in the order the registry enumerates them.
std::vector<std::string> ReadUninstallEntries(TRegistryEx& reg) {
  std::vector<std::string> entries;
  try {
    if (!reg.OpenKeyReadOnly(kUninstallKey)) return entries;
    std::vector<std::string> subKeys;
    reg.GetKeyNames(subKeys);
    for (const std::string& subKey : subKeys) {
      if (!reg.OpenKeyReadOnly(std::string(kUninstallKey) + "\\" + subKey)) continue;
      if (auto text = EntryText(reg)) entries.push_back(std::move(*text));
    }
  } catch (const ERegistryError&) {
    // What was read so far stands.
  }
  reg.CloseKey();
  return entries;
}

// Update texts sort by the date in front of "0@": " 20030709.104512 0@Windows ..."; an update
// without a date becomes "0@Windows ..." and sorts after every dated one.
std::string UpdateText(const std::string& entry) {
  const std::string tail = CharSubstr(entry, kUpdateDateSearchFrom);
  if (size_t date = tail.find(" 20"); date != std::string::npos) return tail.substr(date) + "0@" + entry;
  return "0@" + entry;
}

char FoldCase(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

bool LessIgnoringCase(const std::string& a, const std::string& b) {
  return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
    return static_cast<unsigned char>(FoldCase(x)) < static_cast<unsigned char>(FoldCase(y));
  });
}

// Bytes [from, from + count) of `s`, shortened at its end.
std::string Part(const std::string& s, size_t from, size_t count) {
  return from < s.size() ? s.substr(from, count) : std::string();
}

// "20030709.104512" -> "2003/07/09 10:45:12"; a time written without its leading zero
// ("20030709.94512") keeps the one-digit hour. Any other text is returned as it is.
std::string FormatPatchDate(const std::string& date) {
  if (date.find('.') != 8) return date;
  std::string result = date.substr(0, 4) + "/" + date.substr(4, 2) + "/" + date.substr(6, 2) + " ";
  const std::string time = Part(date, 9, 6);
  if (time.size() == 6 && time[5] != ' ')
    result += time.substr(0, 2) + ":" + time.substr(2, 2) + ":" + time.substr(4, 2);
  else
    result += Part(time, 0, 1) + ":" + Part(time, 1, 2) + ":" + Part(time, 3, 2);
  return result;
}

// The newest dated update of the sorted update list.
std::string LastUpdateDate(const std::vector<std::string>& updates) {
  for (auto it = updates.rbegin(); it != updates.rend(); ++it) {
    if (it->empty() || (*it)[0] == '0') continue;
    const std::string rest = it->substr(1);
    return FormatPatchDate(rest.substr(0, rest.find(' ')));
  }
  return kNoPatchDate;
}

}  // namespace

void SortTextList(std::vector<std::string>& list) {
  std::stable_sort(list.begin(), list.end(), LessIgnoringCase);
}

std::string CollectInstalledSoftware(TRegistryEx& reg, std::vector<std::string>& programs,
                                     std::vector<std::string>& patches) {
  // A 64-bit process sees only the 64-bit uninstall list; the 32-bit programs register in the
  // 32-bit view, so both are read. Programs installed for the logged-on user alone (most browsers
  // and chat programs today) register in the user's own list. An entry two lists share is listed
  // once.
  programs.clear();
  patches.clear();
  std::vector<std::string> entries;
  std::unordered_set<std::string> listed;
  const RegRoot machine = reg.CurrentRoot();
  for (RegRoot root : {machine, RegRoot::CurrentUser}) {
    for (RegView view : {RegView::Native, RegView::Wow32}) {
      TRegistryEx list(reg.Registry(), view);
      list.SetRootKey(root);
      // Two entries of one list that read alike are two programs; an entry that an earlier list
      // holds is the same program seen twice.
      const std::vector<std::string> own = ReadUninstallEntries(list);
      for (const std::string& entry : own)
        if (!listed.count(entry)) entries.push_back(entry);
      listed.insert(own.begin(), own.end());
    }
  }

  for (const std::string& entry : entries) {
    if (entry.compare(0, kUpdatePrefix.size(), kUpdatePrefix) != 0)
      programs.push_back(entry);
    else
      patches.push_back(UpdateText(entry));
  }
  SortTextList(programs);
  SortTextList(patches);
  return LastUpdateDate(patches);
}

int32_t VersionToNumber(const std::string& version) {
  if (version.empty()) return 0;
  uint32_t number = 0;  // unsigned, so that a long version wraps instead of overflowing
  for (const std::string& part : Split(version, '.')) {
    std::optional<int32_t> value = ParseInt32(part);
    if (!value) return -1;
    number = number * 10000u + static_cast<uint32_t>(*value);
  }
  return static_cast<int32_t>(number);
}

}  // namespace orv
