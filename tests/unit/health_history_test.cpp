// The health history: the lines a save writes, the reference counts behind the two announcements
// and the event logs. (The bound of the file is a property of the health_history fuzz target.)
#include <gtest/gtest.h>

#include "diskhealth/health_history.h"
#include "fakes/case_table.h"
#include "fakes/fake_platform.h"
#include "fakes/fake_smart_device.h"
#include "util/text.h"

namespace orv {
namespace {

using test::FakeAttr;
using Lines = std::vector<std::string>;

const char* const kPcFile = "C:\\tools\\inv\\PC01__WORKGROUP.csv";
const char* const kHistory = "C:\\tools\\inv\\hdd\\PC01__WORKGROUP.csv";
const char* const kHddFail = "C:\\tools\\inv\\hdd\\_hddfail.txt";
const char* const kFailed = "C:\\tools\\inv\\hdd\\_failed.txt";
const char* const kFailPlusWarning = "C:\\tools\\inv\\hdd\\_fail_plus_warning.txt";
const char* const kFailureText = "【重要】ハードディスクが故障しました\n作業をやめ直ちにシステム担当者に連絡してください";
const char* const kWorseningText =
    "【お知らせ】ハードディスクの状態が悪化してきています\n故障が予想されますので重要ファイルをバックアップしてください";

// A drive with `failures` attributes below their threshold and `warnings` in the warning band.
std::vector<FakeAttr> CountedDrive(int failures, int warnings) {
  std::vector<FakeAttr> attrs = {{1, 0x000B, 100, 100, 0, 62}, {5, 0x0033, 100, 100, 0, 36}};
  for (int k = 0; k < failures; ++k) attrs.push_back({192 + k, 0x0033, 40, 40, 0, 50});
  for (int k = 0; k < warnings; ++k) attrs.push_back({200 + k, 0x0033, 60, 60, 0, 50});
  return attrs;
}

class History : public ::testing::Test {
 public:
  void SetUp() override { fake.platform.smart = &device; }
  void SetDrive(int n, const std::vector<FakeAttr>& attrs, const std::string& model = "MODEL",
                uint32_t sectors = 234441648) {
    device.PhysicalDrive(n).positions[0] = test::DrivePosition(model, "SER" + std::to_string(n), attrs, sectors);
  }
  void SetCounts(int failures, int warnings) { SetDrive(0, CountedDrive(failures, warnings)); }
  // One save of a program run; the clock moves on a minute per save.
  bool Save() {
    bool written = false;
    AppendHealthHistory(fake.platform, kPcFile, written);
    fake.system.now.minute = (fake.system.now.minute + 1) % 60;
    return written;
  }
  // The file's lines, checked to be CP932 with CR LF ends.
  Lines Read(const std::string& path) {
    const std::string bytes = fake.files.Get(path);
    EXPECT_TRUE(bytes.empty() || EndsWith(bytes, "\r\n")) << path;
    EXPECT_EQ(ReplaceAll(bytes, "\r\n", "").find_first_of("\r\n"), std::string::npos) << "bare line end in " << path;
    return SplitLines(fake.codec.FromCp932(bytes));
  }
  void Reset() {
    fake.files = test::FakeFiles();
    fake.files.AddFolder("C:\\tools\\inv");
    fake.dialogs.shown.clear();
    fake.system.now.minute = 0;
  }

  test::FakePlatform fake;
  test::FakeSmartDevice device;
};

// Drive 0: the attributes 1, 5, 7, 10, 3, 194 first (starred when pre-failure), the others in slot
// order, 190 left out; attribute 7 is in the warning band (30 + 28 > 55). Then the empty field
// between blocks and drive 1, read at position 0 on its own handle; a comma in its model must not
// shift the columns, and its failures are in no event log.
TEST_F(History, FirstSaveWritesHeadersThatLineUpWithTheDataOfEveryDrive) {
  SetDrive(0,
           {{1, 0x000F, 117, 99, 123456, 6}, {3, 0x0003, 96, 96, 0, 0}, {5, 0x0033, 100, 100, 0, 36},
            {7, 0x000F, 55, 51, 9, 30}, {9, 0x0032, 91, 91, 8000, 0}, {10, 0x0013, 100, 100, 0, 97},
            {12, 0x0032, 100, 100, 1082, 20}, {190, 0x0022, 64, 45, 0x2D0000002CULL, 45},
            {194, 0x0022, 36, 49, 0x1300000024ULL, 0}, {197, 0x0012, 100, 100, 0, 0},
            {240, 0x0000, 100, 253, 119898307157947ULL, 0}},
           "ST3500418AS", 976773168);
  SetDrive(1, {{9, 0x0032, 100, 100, 60, 0}, {194, 0x0022, 30, 30, 30, 0}, {192, 0x0033, 40, 40, 0, 50}}, "SECOND,DISK");
  ASSERT_TRUE(Save());
  const auto lines = Read(kHistory);
  ASSERT_EQ(lines.size(), 3u);
  test::ExpectGolden("history_first_save.txt", Join(lines, "\n") + "\n");
  EXPECT_TRUE(fake.dialogs.shown.empty());
  EXPECT_FALSE(fake.files.Has(kHddFail) || fake.files.Has(kFailed));
  EXPECT_EQ(Read(kFailPlusWarning), Lines{"PC01               2026/12/06 10:00:00  故障 0/0  警告 1/0"});
}

TEST_F(History, AnnouncementsCompareWithTheSavedCounts) {
  for (const test::Case& c : test::LoadCases("disk_announcements.txt")) {
    Reset();
    const bool failure = c[2] == "failure";
    std::string announced;
    const Lines saves = Split(c[0], ' ');
    for (size_t k = 0; k < saves.size(); ++k) {
      SetCounts(std::stoi(saves[k].substr(0, 1)), std::stoi(saves[k].substr(2)));
      const size_t before = fake.dialogs.shown.size();
      ASSERT_TRUE(Save());
      if (fake.dialogs.shown.size() == before) continue;
      announced += (announced.empty() ? "" : " ") + std::to_string(k);
      const auto& shown = fake.dialogs.shown.back();
      EXPECT_EQ(std::tuple(shown.text, shown.icon, shown.buttons),
                std::tuple(failure ? kFailureText : kWorseningText, failure ? MsgIcon::Warning : MsgIcon::Information,
                           MsgButtons::Ok)) << c.where;
    }
    EXPECT_EQ(announced, c[1]) << c.where;
    if (!failure) { EXPECT_EQ(Read(kHddFail).size(), fake.dialogs.shown.size()) << c.where; }
    // A failure is in all three logs (the failure case fails at its second save, 10:01).
    for (const char* log : {kHddFail, kFailed, kFailPlusWarning}) {
      if (failure) { EXPECT_EQ(Read(log), Lines{"PC01               2026/12/06 10:01:00  故障 1/0  警告 0/0"}) << log; }
    }
  }
}

TEST_F(History, EventLinesPadTheComputerNameTo19Characters) {
  for (const test::Case& c : test::LoadCases("disk_event_lines.txt"))
    EXPECT_EQ(HealthEventLine(c[0], {2026, 1, 2, 3, 4, 5, 0}, c.Int(1), c.Int(2), c.Int(3), c.Int(4)), c[5]) << c.where;
}

}  // namespace
}  // namespace orv
