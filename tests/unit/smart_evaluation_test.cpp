// The slot judgement over edge cases (the real captures are read and judged in the replay tests;
// their names and temperatures are in the golden readings). Cases: disk_slot_judgement.txt.
#include <gtest/gtest.h>

#include "diskhealth/smart_attributes.h"
#include "fakes/case_table.h"

namespace orv {
namespace {

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

}  // namespace
}  // namespace orv
