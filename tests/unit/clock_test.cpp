// Date-times as the history file and the per-PC file write them, read back; every field at its
// limits and one past them.
#include <gtest/gtest.h>

#include "platform/clock.h"

namespace orv {
namespace {

TEST(ParseDateTime, FieldsAtAndPastTheirLimits) {
  const struct {
    const char* text;
    const char* read;  // FormatDateTime of the result, nullptr when refused
  } rows[] = {
      {"2024/02/29 23:59:59", "2024/02/29 23:59:59"}, {"  2024/1/2 0:00  ", "2024/01/02 00:00:00"},
      {"2024/12/31", "2024/12/31 00:00:00"},          {"2023/02/29", nullptr},
      {"2024/13/01", nullptr},                        {"2024/00/10", nullptr},
      {"2024/01/00", nullptr},                        {"2024/01", nullptr},
      {"2024/01/02 12", nullptr},                     {"2024/01/02 12:00:00:00", nullptr},
      {"2024/01/02 24:00", nullptr},                  {"2024/01/02 -1:00", nullptr},
      {"2024/01/02 12:60", nullptr},                  {"2024/01/02 12:00:60", nullptr},
      {"2024/01/02 12:x", nullptr},                   {"", nullptr},
  };
  for (const auto& r : rows) {
    DateTime t;
    const bool ok = ParseDateTime(r.text, t);
    EXPECT_EQ(ok, r.read != nullptr) << r.text;
    if (ok && r.read) {
      EXPECT_EQ(FormatDateTime(t), r.read) << r.text;
    }
  }
}

}  // namespace
}  // namespace orv
