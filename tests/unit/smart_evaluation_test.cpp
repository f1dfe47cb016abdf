// The attribute catalogue, the slot judgement over edge cases (the real captures are read and judged in
// the replay tests), the temperature bytes, and AttrCell. The cases are in tests/data/cases/disk_*.txt.
#include <gtest/gtest.h>

#include "diskhealth/smart_attributes.h"
#include "fakes/case_table.h"
#include "util/text.h"

namespace orv {
namespace {

TEST(AttrNames, LookupRulesAndTheSystemsOwnSpellings) {
  for (const test::Case& c : test::LoadCases("disk_attr_names.txt")) {
    EXPECT_EQ(EnglishAttrNames(c.Int(0)), c[1]) << c.where;
    EXPECT_EQ(JapaneseAttrNames(c.Int(0)), c[2]) << c.where;
  }
}

// One slot judged on its own.
TSmartResult Judged(int id, uint16_t flags, int current, int worst, int threshold) {
  TSmartResult r;
  r.AttrCount = 1;
  std::tie(r.AttrId[0], r.Current[0], r.Worst[0], r.Threshold[0]) = std::tuple(id, current, worst, threshold);
  r.PreFailure[0] = (flags & 1) != 0;
  JudgeAttribute(r, 0);
  return r;
}

TEST(SlotJudgement, EdgeCases) {
  for (const test::Case& c : test::LoadCases("disk_slot_judgement.txt")) {
    const TSmartResult r = Judged(c.Int(1), c.Int(2), c.Int(3), c.Int(4), c.Int(5));
    const std::string& status = c[6];
    EXPECT_EQ(r.AttrStatus[0], status) << c.where;
    EXPECT_EQ(r.SmartFailTot, status == "故障" || status == "過去に故障" ? 1 : 0) << c.where;
    EXPECT_EQ(r.SmartWarnTot, status == "警戒" ? 1 : 0) << c.where;
  }
}

TEST(Temperature, BytesZeroTwoFourOrTheWorstValue) {
  for (const test::Case& c : test::LoadCases("disk_temperature.txt")) {
    std::array<uint8_t, 6> raw{};
    const std::vector<std::string> bytes = Split(c[0], ' ');
    for (size_t k = 0; k < raw.size(); ++k) raw[k] = static_cast<uint8_t>(std::stoi(bytes.at(k), nullptr, 16));
    TSmartResult r = Judged(194, 0x22, c.Int(1), c.Int(2), 0);
    TakeTemperature(r, 0, raw);
    EXPECT_EQ(std::tuple(r.Temperature, r.TempLow, r.TempWorst), std::tuple(c.Int(3), c.Int(4), c.Int(5))) << c.where;
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
