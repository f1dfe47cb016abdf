#include "probes/windows_info.h"

#include <cstdio>

#include "platform/system.h"
#include "util/text.h"

namespace orv {

std::string GetIEVersionLabel(const std::string& version) {
  static const std::pair<const char*, const char*> labels[] = {
      {"6.0.280", "6 SP1"},    {"6.0.260", "6"},        {"5.50.48", "5.5 SP2"},  {"5.50.45", "5.5 SP1"},
      {"5.50.41", "5.5"},      {"5.00.35", "5.01 SP3"}, {"5.00.33", "5.01 SP2"}, {"5.00.31", "5.01 SP1"},
      {"5.00.29", "5.01"},     {"5.00.20", "5.0"},      {"5.00.23", "5.0"},      {"5.00.26", "5.0"},
      {"4.72.36", "4.01 SP2"}, {"4.72.31", "4.01 SP1"}, {"4.72.21", "4.01"},
  };
  const std::string head = LeftChars(version, 7);
  std::string label;
  for (const auto& [key, text] : labels)
    if (head == key) {
      label = text;
      break;
    }
  return "IE" + label + " " + version;
}

std::string NormaliseUpdateDate(const std::string& s) {
  // "0" in front, then the last two characters: a part that is missing (a date without its day,
  // an unreadable value) stays the lone "0".
  auto pad2 = [](const std::string& part) {
    std::string p = "0" + part;
    return p.size() > 2 ? p.substr(p.size() - 2) : p;
  };
  size_t first = s.find('/');
  size_t second = first == std::string::npos ? std::string::npos : s.find('/', first + 1);
  std::string a = s.substr(0, first);
  std::string b = first == std::string::npos ? "" : s.substr(first + 1, second == std::string::npos ? std::string::npos : second - first - 1);
  std::string c = second == std::string::npos ? "" : s.substr(second + 1);
  std::string year, month, day;
  // A first "/" at the fourth character or later means year/month/day.
  if (first != std::string::npos && first + 1 >= 4) {
    year = a;
    month = b;
    day = c;
  } else {
    month = a;
    day = b;
    year = c;
    if (StartsWith(year, "9"))
      year = "19" + year;
    else if (year.size() == 2)
      year = "20" + year;
    if (year.size() > 4) year = year.substr(year.size() - 4);
  }
  return year + "/" + pad2(month) + "/" + pad2(day);
}

DateTime UnixTimeToDateTime(int32_t seconds) {
  // Floor division keeps a (hand-made) negative count a valid time of day before 1970.
  int64_t s = seconds;
  int64_t days = s >= 0 ? s / 86400 : -((-s + 86399) / 86400);
  int64_t rest = s - days * 86400;
  DateTime date = FromDayCount(static_cast<double>(days + 25569));
  date.hour = static_cast<int>(rest / 3600);
  date.minute = static_cast<int>(rest % 3600 / 60);
  date.second = static_cast<int>(rest % 60);
  date.millisecond = 0;
  return date;
}

std::string FormatNow(ISystem& system) { return FormatDateTime(system.Now()); }

std::string GetDocumentsFolder(ISystem& system) { return system.DocumentsFolder().value_or("Error!"); }

std::string GetWindowsFolder(ISystem& system) {
  auto folder = system.WindowsDirectory();
  return folder ? *folder + "\\" : std::string("Error!");
}

std::string GetSystemFolder(ISystem& system) { return system.SystemDirectory().value_or("Error!"); }

std::string TrimTrailingSpaces(const std::string& s) { return TrimTrailingBlanks(s); }

}  // namespace orv
