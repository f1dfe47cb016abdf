// The attribute catalogue, the slot judgement over edge cases (the real captures are read and judged in
// the replay tests), the temperature bytes, and AttrCell.
#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>

#include "diskhealth/smart_attributes.h"
#include "fakes/fake_smart_device.h"

namespace orv {
namespace {

// The ends of the two tables and their holes (an id only one language names, one inside the range
// without an entry).
TEST(AttrNames, LookupRulesAndTheSystemsOwnSpellings) {
  struct Case {
    int id;
    const char* english;
    const char* japanese;
  };
  const Case cases[] = {
      {0, "Unknown", ""},  {1, "Raw Read Error Rate", "読み取りエラー"}, {13, "Unknown", "ソフト読み取りエラー"},
      {16, "Unknown", ""}, {191, "Unknown", ""}, {192, "Emergency Retract Cycle", "非常退避回数"},
      {213, "Critical Warning", "重大な警告"},  // also an NVMe drive's critical warning
      {214, "", ""},                            // inside the range, no entry
      {225, "Load/Unload Cycle Count", ""}, {250, "Read Error Retry Rate", "読み取りエラー率"},
      {251, "Unknown", ""}, {255, "Unknown", ""}, {-1, "Unknown", ""},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(EnglishAttrNames(c.id), c.english) << c.id;
    EXPECT_EQ(JapaneseAttrNames(c.id), c.japanese) << c.id;
  }
}

// One slot judged on its own.
TSmartResult Judged(int id, uint16_t flags, int current, int worst, int threshold) {
  TSmartResult r;
  r.AttrCount = 1;
  r.AttrId[0] = id;
  r.PreFailure[0] = (flags & 1) != 0;
  r.Current[0] = current;
  r.Worst[0] = worst;
  r.Threshold[0] = threshold;
  JudgeAttribute(r, 0);
  return r;
}

struct JudgeCase {
  const char* name;
  int id;
  uint16_t flags;
  int current, worst, threshold;
  const char* status;
};

const JudgeCase kJudgeCases[] = {
    {"below threshold", 5, 0x33, 49, 80, 50, "故障"},
    {"in the warning band", 5, 0x33, 69, 80, 50, "警戒"},
    {"at the band's top", 5, 0x33, 70, 80, 50, "OK"},
    {"failed in the past", 5, 0x33, 60, 45, 50, "過去に故障"},
    {"failing now wins over the past", 5, 0x33, 40, 30, 50, "故障"},
    {"current equals threshold", 5, 0x33, 50, 50, 50, "警戒"},
    {"band of threshold 10: 45 warns", 1, 0x0B, 45, 45, 10, "警戒"},
    {"band of threshold 10: 46 is fine", 1, 0x0B, 46, 46, 10, "OK"},
    {"spin-up above 230 is on a scale of 253", 3, 0x27, 240, 240, 21, "OK"},
    {"spin-up 235 with threshold 230 warns on the 253 scale", 3, 0x27, 235, 235, 230, "警戒"},
    {"start/stop 235 with threshold 230 warns on the 253 scale", 4, 0x33, 235, 235, 230, "警戒"},
    {"the same values on another id are fine", 7, 0x0F, 235, 235, 230, "OK"},
    {"spin-up of exactly 230 stays on the 100 scale", 3, 0x27, 230, 230, 228, "OK"},
    {"threshold above full: no warning at the threshold", 5, 0x33, 110, 110, 110, "OK"},
    {"threshold above full: below it still fails", 5, 0x33, 109, 110, 110, "故障"},
    {"advisory far below its threshold", 190, 0x22, 1, 1, 100, "-"},
    {"pre-failure without threshold", 180, 0x33, 0, 0, 0, "-"},
    {"flags with bit 0 only", 1, 0x01, 1, 1, 2, "故障"},
};

TEST(SlotJudgement, EdgeCases) {
  for (const JudgeCase& c : kJudgeCases) {
    SCOPED_TRACE(c.name);
    TSmartResult r = Judged(c.id, c.flags, c.current, c.worst, c.threshold);
    const std::string status = c.status;
    EXPECT_EQ(r.AttrStatus[0], status);
    EXPECT_EQ(r.SmartFailTot, status == "故障" || status == "過去に故障" ? 1 : 0);
    EXPECT_EQ(r.SmartWarnTot, status == "警戒" ? 1 : 0);
  }
}

TEST(Temperature, BytesZeroTwoFourOrTheWorstValue) {
  struct Case {
    std::array<uint8_t, 6> raw;
    int current, worst;
    int temp, low, highest;
  };
  const Case cases[] = {
      {{36, 0, 20, 0, 45, 0}, 36, 50, 36, 20, 50},  // byte 0 equals current: the worst value
      {{36, 0, 20, 0, 45, 0}, 64, 50, 36, 20, 45},
      // Real layouts: Hitachi 25/19/39, Kingston with max in byte 2, WD4000FYYX bytes 0/1/2,
      // Seagate with an unrelated byte 4, a WD desktop drive with byte 0 only.
      {{0x19, 0, 0x13, 0, 0x27, 0}, 240, 200, 25, 19, 39},
      {{0x26, 0, 0x27, 0, 0x1c, 0}, 38, 27, 38, 39, 27},
      {{0x24, 0, 0x33, 0, 0, 0}, 111, 97, 36, 51, 0},
      {{0x21, 0, 0, 0, 0x13, 0}, 33, 48, 33, 0, 48},
      {{0x28, 0, 0, 0, 0, 0}, 110, 102, 40, 0, 0},
  };
  for (const Case& c : cases) {
    TSmartResult r;
    r.AttrCount = 1;
    r.AttrId[0] = 194;
    r.Current[0] = c.current;
    r.Worst[0] = c.worst;
    TakeTemperature(r, 0, c.raw);
    EXPECT_EQ(r.Temperature, c.temp);
    EXPECT_EQ(r.TempLow, c.low);
    EXPECT_EQ(r.TempWorst, c.highest);
  }
}

TEST(AttrCell, FirstSlotWithTheIdOrEmpty) {
  TSmartResult r = Judged(5, 0x33, 69, 80, 50);
  r.AttrCount = 2;
  r.AttrId[1] = 5;
  r.AttrStatus[1] = "OK";
  EXPECT_EQ(AttrCell(r, 5), "警戒/69/80/50");
  EXPECT_EQ(AttrCell(r, 7), "");
  r.AttrCount = 0;  // slots past the count are not looked at
  EXPECT_EQ(AttrCell(r, 5), "");
}

}  // namespace
}  // namespace orv
