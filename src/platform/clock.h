#pragma once
// Calendar date and time as the platform reports it, and the day-count form used for arithmetic.

#include <string>

namespace orv {

struct DateTime {
  int year = 1899, month = 12, day = 30;
  int hour = 0, minute = 0, second = 0, millisecond = 0;
};

// Days since 1899-12-30 plus the fraction of the day (the form used for date arithmetic).
double ToDayCount(const DateTime& t);
DateTime FromDayCount(double days);
// 1 = Sunday ... 7 = Saturday.
int DayOfWeek(const DateTime& t);
// "yyyy/mm/dd hh:mm:ss"
std::string FormatDateTime(const DateTime& t);
// Parses "yyyy/m/d h:m:s" (also without the time); false when it is not a valid date-time.
bool ParseDateTime(const std::string& text, DateTime& out);

}  // namespace orv
