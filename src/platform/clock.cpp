#include "platform/clock.h"

#include <chrono>
#include <cmath>
#include <cstdio>

#include "util/text.h"

namespace orv {

namespace {
using namespace std::chrono;

constexpr int kDayCountEpochOffset = 25569;  // days from 1899-12-30 to 1970-01-01

int DaysFromCivil(int y, int m, int d) {
  return static_cast<int>(sys_days(year{y} / month{static_cast<unsigned>(m)} / day{static_cast<unsigned>(d)})
                              .time_since_epoch()
                              .count());
}
}  // namespace

double ToDayCount(const DateTime& t) {
  double days = DaysFromCivil(t.year, t.month, t.day) + kDayCountEpochOffset;
  double fraction = (t.hour * 3600000.0 + t.minute * 60000.0 + t.second * 1000.0 + t.millisecond) / 86400000.0;
  // Day counts before the epoch keep the time of day as a positive fraction of a negative day.
  return days >= 0 ? days + fraction : days - fraction;
}

DateTime FromDayCount(double value) {
  double whole = std::trunc(value);
  double fraction = std::fabs(value - whole);
  long long ms = std::llround(fraction * 86400000.0);
  if (ms >= 86400000LL) {
    ms -= 86400000LL;
    whole += value >= 0 ? 1 : -1;
  }
  sys_days date{days{static_cast<int>(whole) - kDayCountEpochOffset}};
  year_month_day ymd{date};
  DateTime t;
  t.year = static_cast<int>(ymd.year());
  t.month = static_cast<int>(static_cast<unsigned>(ymd.month()));
  t.day = static_cast<int>(static_cast<unsigned>(ymd.day()));
  t.hour = static_cast<int>(ms / 3600000);
  t.minute = static_cast<int>(ms / 60000 % 60);
  t.second = static_cast<int>(ms / 1000 % 60);
  t.millisecond = static_cast<int>(ms % 1000);
  return t;
}

int DayOfWeek(const DateTime& t) {
  weekday wd{sys_days(year{t.year} / month{static_cast<unsigned>(t.month)} / day{static_cast<unsigned>(t.day)})};
  return static_cast<int>(wd.c_encoding()) + 1;
}

std::string FormatDateTime(const DateTime& t) {
  char buf[64];
  std::snprintf(buf, sizeof buf, "%04d/%02d/%02d %02d:%02d:%02d", t.year, t.month, t.day, t.hour, t.minute,
                t.second);
  return buf;
}

bool ParseDateTime(const std::string& text, DateTime& out) {
  std::string s = Trim(text);
  std::string datePart = s, timePart;
  if (auto blank = s.find(' '); blank != std::string::npos) {
    datePart = s.substr(0, blank);
    timePart = Trim(s.substr(blank + 1));
  }
  auto d = Split(datePart, '/');
  if (d.size() != 3) return false;
  auto y = ParseInt32(d[0]), m = ParseInt32(d[1]), dd = ParseInt32(d[2]);
  if (!y || !m || !dd) return false;
  year_month_day ymd{year{*y}, month{static_cast<unsigned>(*m)}, day{static_cast<unsigned>(*dd)}};
  if (*m < 1 || *m > 12 || *dd < 1 || !ymd.ok()) return false;
  DateTime t;
  t.year = *y;
  t.month = *m;
  t.day = *dd;
  if (!timePart.empty()) {
    auto p = Split(timePart, ':');
    if (p.size() < 2 || p.size() > 3) return false;
    auto h = ParseInt32(p[0]), mi = ParseInt32(p[1]);
    auto se = p.size() == 3 ? ParseInt32(p[2]) : std::optional<int32_t>(0);
    if (!h || !mi || !se || *h < 0 || *h > 23 || *mi < 0 || *mi > 59 || *se < 0 || *se > 59) return false;
    t.hour = *h;
    t.minute = *mi;
    t.second = *se;
  }
  out = t;
  return true;
}

}  // namespace orv
