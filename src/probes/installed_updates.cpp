#include "probes/installed_updates.h"

#include <algorithm>
#include <cstdio>
#include <map>
#include <optional>
#include <set>

#include "platform/update_history.h"
#include "platform/wmi.h"
#include "probes/wmi_table.h"
#include "util/text.h"

namespace orv {

namespace {

// The history is read for the record of one run; a busy agent may take seconds.
constexpr std::chrono::milliseconds kHistoryLimit{20000};

bool AllDigits(std::string_view s) {
  return !s.empty() && std::all_of(s.begin(), s.end(), [](char c) { return c >= '0' && c <= '9'; });
}

bool AllHexDigits(std::string_view s) {
  return !s.empty() && std::all_of(s.begin(), s.end(), [](char c) {
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
  });
}

int Number(std::string_view s) { return AllDigits(s) && s.size() <= 4 ? std::stoi(std::string(s)) : -1; }

bool IsLeapYear(int y) { return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0; }

std::string DateText(int year, int month, int day) {
  static const int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  if (year < 1980 || year > 9999 || month < 1 || month > 12 || day < 1) return {};
  if (day > kDays[month - 1] + (month == 2 && IsLeapYear(year) ? 1 : 0)) return {};
  char buffer[40];
  std::snprintf(buffer, sizeof buffer, "%04d/%02d/%02d", year, month, day);
  return buffer;
}

// Days since 1601-01-01 to a civil date (the proleptic Gregorian calendar).
std::string DateFromDays1601(int64_t days) {
  // Shift to days since 0000-03-01 and use the usual era arithmetic.
  int64_t z = days + 584694;  // 1601-01-01 is day 584694 after 0000-03-01
  const int64_t era = z / 146097;
  const int64_t doe = z - era * 146097;
  const int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const int64_t mp = (5 * doy + 2) / 153;
  const int day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
  const int month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
  const int year = static_cast<int>(yoe + era * 400 + (month <= 2 ? 1 : 0));
  return DateText(year, month, day);
}

std::string TextOf(const WmiInstance& instance, const char* name) {
  for (const WmiProperty& p : instance.properties)
    if (SameTextIgnoringCase(p.name, name)) return p.isNull ? std::string() : Trim(RenderWmiValue(p));
  return {};
}

struct Newer {
  bool operator()(const WindowsUpdate& a, const WindowsUpdate& b) const {
    if (a.date != b.date) return a.date > b.date;
    return a.kb > b.kb;
  }
};

}  // namespace

std::string InstalledOnDate(const std::string& installedOn) {
  std::string text = Trim(installedOn);
  // "21.04.2023 00:00:00": the time of day says nothing here.
  if (size_t blank = text.find(' '); blank != std::string::npos) text = text.substr(0, blank);
  if (text.size() == 8 && AllDigits(text))
    return DateText(Number(text.substr(0, 4)), Number(text.substr(4, 2)), Number(text.substr(6, 2)));
  if (text.size() >= 15 && text.size() <= 16 && AllHexDigits(text)) {
    // A FILETIME: 100-nanosecond steps since 1601-01-01 (UTC).
    const uint64_t ticks = std::stoull(text, nullptr, 16);
    return DateFromDays1601(static_cast<int64_t>(ticks / 10000000 / 86400));
  }
  for (char separator : {'/', '.', '-'}) {
    std::vector<std::string> parts = Split(text, separator);
    if (parts.size() != 3) continue;
    const int a = Number(parts[0]), b = Number(parts[1]), c = Number(parts[2]);
    if (a < 0 || b < 0 || c < 0) return {};
    if (parts[0].size() == 4) return DateText(a, b, c);              // year first
    if (parts[2].size() != 4) return {};
    if (separator == '.') return DateText(c, b, a);                  // day.month.year
    if (separator == '/' && a > 12 && b <= 12) return DateText(c, b, a);  // a day first
    return DateText(c, a, b);                                        // month/day/year
  }
  return {};
}

std::string KbNumber(const std::string& title) {
  for (size_t at = title.find("KB"); at != std::string::npos; at = title.find("KB", at + 2)) {
    size_t end = at + 2;
    while (end < title.size() && title[end] >= '0' && title[end] <= '9') ++end;
    const bool wordStart = at == 0 || !std::isalnum(static_cast<unsigned char>(title[at - 1]));
    if (end > at + 2 && wordStart) return title.substr(at, end - at);
  }
  return {};
}

std::vector<WindowsUpdate> InstalledWindowsUpdates(IWmi& wmi, IUpdateHistory* history) {
  std::vector<WindowsUpdate> updates;
  std::map<std::string, size_t> byKb;  // upper-case KB -> index
  auto add = [&](const std::string& kb, const std::string& date, const std::string& title) {
    const std::string key = UpperCase(kb);
    auto it = byKb.find(key);
    if (it == byKb.end()) {
      byKb[key] = updates.size();
      updates.push_back({date.empty() ? kUnknownUpdateDate : date, kb, title});
      return;
    }
    WindowsUpdate& known = updates[it->second];
    if (known.date == kUnknownUpdateDate && !date.empty()) known.date = date;
  };
  if (auto hotfixes = wmi.InstancesOf("Win32_QuickFixEngineering")) {
    for (const WmiInstance& instance : *hotfixes) {
      const std::string kb = TextOf(instance, "HotFixID");
      if (kb.empty()) continue;
      add(kb, InstalledOnDate(TextOf(instance, "InstalledOn")), TextOf(instance, "Description"));
    }
  }
  if (history) {
    if (auto entries = history->InstalledUpdates(kHistoryLimit)) {
      // Newest first: the first entry of a KB number is its latest installation (definition
      // updates come back every day under one number).
      std::set<std::string> seen;
      for (const HistoryUpdate& entry : *entries) {
        const std::string kb = KbNumber(entry.title);
        if (kb.empty() || !seen.insert(UpperCase(kb)).second) continue;
        add(kb, DateText(entry.installed.year, entry.installed.month, entry.installed.day), entry.title);
        updates[byKb[UpperCase(kb)]].title = entry.title;  // the history's title says more
      }
    }
  }
  std::stable_sort(updates.begin(), updates.end(), Newer());
  return updates;
}

std::string UpdateLine(const WindowsUpdate& update) {
  std::string line = update.date + " " + update.kb;
  if (!update.title.empty()) line += " " + update.title;
  return line;
}

std::vector<std::string> UpdatesWordValues(IWmi* wmi, IUpdateHistory* history, int count) {
  std::vector<std::string> values;
  if (wmi)
    for (const WindowsUpdate& update : InstalledWindowsUpdates(*wmi, history)) {
      if (static_cast<int>(values.size()) >= count) break;
      values.push_back(UpdateLine(update));
    }
  values.resize(static_cast<size_t>(count > 0 ? count : 0));
  return values;
}

}  // namespace orv
