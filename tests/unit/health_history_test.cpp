// The health history: the lines a save writes, the bound of the file, the reference counts behind
// the two announcements, the event logs (also with many processes appending at once) and the
// erase command.
#include <gtest/gtest.h>


#include <string>
#include <vector>

#include "diskhealth/health_history.h"
#include "diskhealth/health_items.h"
#include "fakes/fake_platform.h"
#include "fakes/fake_smart_device.h"
#include "util/text.h"

namespace orv {
namespace {

using test::FakeAttr;

const char* const kPcFile = "C:\\tools\\inv\\PC01__WORKGROUP.csv";
const char* const kHistory = "C:\\tools\\inv\\hdd\\PC01__WORKGROUP.csv";
const char* const kHddFail = "C:\\tools\\inv\\hdd\\_hddfail.txt";
const char* const kFailed = "C:\\tools\\inv\\hdd\\_failed.txt";
const char* const kFailPlusWarning = "C:\\tools\\inv\\hdd\\_fail_plus_warning.txt";

const char* const kFailureText =
    "【重要】ハードディスクが故障しました\n作業をやめ直ちにシステム担当者に連絡してください";
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

  void SetDrive(int n, const std::vector<FakeAttr>& attrs, const std::string& model = "MODEL") {
    device.PhysicalDrive(n).positions[0] = test::DrivePosition(model, "SER" + std::to_string(n), attrs);
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
  std::vector<std::string> Lines(const std::string& path) {
    const std::string bytes = fake.files.Get(path);
    if (bytes.empty()) return {};
    EXPECT_TRUE(EndsWith(bytes, "\r\n")) << path;
    EXPECT_EQ(ReplaceAll(bytes, "\r\n", "").find_first_of("\r\n"), std::string::npos) << "bare line end in " << path;
    return SplitLines(fake.codec.FromCp932(bytes));
  }
  void PutLines(const std::string& path, const std::vector<std::string>& lines) {
    std::string bytes;
    for (const auto& l : lines) bytes += fake.codec.ToCp932(l) + "\r\n";
    fake.files.Put(path, bytes);
  }

  test::FakePlatform fake;
  test::FakeSmartDevice device;
};

TEST_F(History, FirstSaveWritesHeadersAndLineAndNoDialog) {
  SetDrive(0,
           {
               {1, 0x000F, 117, 99, 123456, 6},
               {3, 0x0003, 96, 96, 0, 0},
               {5, 0x0033, 100, 100, 0, 36},
               {7, 0x000F, 55, 51, 9, 30},  // warning: 30 + 28 > 55
               {9, 0x0032, 91, 91, 8000, 0},
               {10, 0x0013, 100, 100, 0, 97},
               {12, 0x0032, 100, 100, 1082, 20},
               {190, 0x0022, 64, 45, 0x2D0000002CULL, 45},  // not a logged id
               {194, 0x0022, 36, 49, 0x1300000024ULL, 0},
               {197, 0x0012, 100, 100, 0, 0},
               {240, 0x0000, 100, 253, 119898307157947ULL, 0},
           },
           "ST3500418AS");
  device.PhysicalDrive(0).positions[0].identify = test::IdentifySector("ST3500418AS", "5VM1ABCD", 976773168);
  ASSERT_TRUE(Save());
  EXPECT_TRUE(fake.files.DirectoryExists("C:\\tools\\inv\\hdd"));

  const std::string group = ",Current,Worst,Threshold,Raw Value,";
  const std::string jgroup = ",現在値,最悪値,閾値,生データ,";
  const std::vector<std::string> expected = {
      "DateTime,DayOfWeek,DriveNum,CapacityMB,ModelNumber,SerialNumber,Temperature,TempWorst,TempLow,"
      "ReallocSector,SmartFailTot,SmartWarnTot,PowerCycles,HoursRunning,"
      "*1: Raw Read Error Rate" + group + "*5: Reallocated Sector Count" + group + "*7: Seek Error Rate" + group +
          "*10: Spin Retry Count" + group + "*3: Spin Up Time" + group + "194: Temperature Celcius" + group +
          "9: Power On Hours Count" + group + "12: Power Cycle Count" + group + "197: Current Pending Sector" +
          group + "240: Head Flying Hours" + group,
      "日時,曜日番号,ディスクNo.,容量MB,モデルNo.,シリアルNo.,温度℃,最高温度,最低温度,"
      "再配置セクタ,故障数,警告数,電源サイクル,稼働時間,"
      "読み取りエラー" + jgroup + "再配置セクタ数" + jgroup + "シークエラー" + jgroup + "回転再トライ回数" + jgroup +
          "立ち上がり時間" + jgroup + "温度（℃）" + jgroup + "電源入り時間" + jgroup + "電源入切回数" + jgroup +
          "保留セクタ" + jgroup + "ヘッド位置決め時間" + jgroup,
      "2026/12/06 10:00:00,1,0,476940,ST3500418AS,5VM1ABCD,36,49,0,0,0,1,1082,134,"
      "OK,117,99,6,123456,OK,100,100,36,0,警戒,55,51,30,9,OK,100,100,97,0,-,96,96,0,0,-,36,49,0,81604378660,"
      "-,91,91,0,8000,-,100,100,20,1082,-,100,100,0,0,-,100,253,0,119898307157947,",
  };
  EXPECT_EQ(Lines(kHistory), expected);
  EXPECT_TRUE(fake.dialogs.shown.empty());
  EXPECT_FALSE(fake.files.Has(kHddFail));
  EXPECT_FALSE(fake.files.Has(kFailed));
  EXPECT_EQ(Lines(kFailPlusWarning),
            std::vector<std::string>{"PC01               2026/12/06 10:00:00  故障 0/0  警告 1/0"});
}

TEST_F(History, HeadersLineUpWithDataAlsoForMissingAttributesAndTwoDrives) {
  SetDrive(0, {{9, 0x0032, 100, 100, 60, 0}, {194, 0x0022, 30, 30, 30, 0}});
  SetDrive(1, CountedDrive(2, 1), "SECOND,DISK");  // a comma in the model must not shift columns
  ASSERT_TRUE(Save());
  const auto lines = Lines(kHistory);
  ASSERT_EQ(lines.size(), 3u);
  const auto english = Split(lines[0], ','), japanese = Split(lines[1], ','), data = Split(lines[2], ',');
  EXPECT_EQ(english.size(), data.size());
  EXPECT_EQ(japanese.size(), data.size());
  // Drive 0: 14 + 6 fixed groups + attribute 9 = 49 columns, then the empty field between blocks.
  const size_t second = 14 + 5 * 7 + 1;
  EXPECT_EQ(data[14], "");  // attribute 1 absent: five empty fields
  EXPECT_EQ(english[14], "");
  EXPECT_EQ(english[44], "9: Power On Hours Count");
  EXPECT_EQ(data[second - 1], "");
  EXPECT_EQ(english[second], "DriveNum");
  EXPECT_EQ(data[second], "0");  // the position that answered on drive 1's own handle
  EXPECT_EQ(data[second + 2], "SECOND DISK");
  EXPECT_EQ(english[second + 2], "ModelNumber");
  EXPECT_EQ(japanese[second + 2], "モデルNo.");
  EXPECT_EQ(data[second + 8], "2");  // the second drive's failures ...
  EXPECT_EQ(data[10], "0");          // ... are not the first drive's
  // Events and the inventory fallback look at the first block only.
  EXPECT_FALSE(fake.files.Has(kFailed));
  EXPECT_FALSE(fake.files.Has(kFailPlusWarning));
  device.devices.clear();
  std::vector<std::string> items;
  DiskHealthItems(fake.platform, kHistory, [&](const std::string& v) { items.push_back(v); });
  EXPECT_EQ(items[0], "0/0 (2026/12/06 10:00:00)");
  EXPECT_EQ(items[5], "-/30/30/0/30/30");
}

TEST_F(History, NewFailureIsAnnouncedOnTheSecondSave) {
  SetCounts(0, 0);
  ASSERT_TRUE(Save());
  SetCounts(1, 0);
  ASSERT_TRUE(Save());
  ASSERT_EQ(fake.dialogs.shown.size(), 1u);
  EXPECT_EQ(fake.dialogs.shown[0].text, kFailureText);
  EXPECT_EQ(fake.dialogs.shown[0].buttons, MsgButtons::Ok);
  EXPECT_EQ(fake.dialogs.shown[0].icon, MsgIcon::Warning);
  const std::string event = "PC01               2026/12/06 10:01:00  故障 1/0  警告 0/0";
  EXPECT_EQ(Lines(kHddFail), std::vector<std::string>{event});
  EXPECT_EQ(Lines(kFailed), std::vector<std::string>{event});
  EXPECT_EQ(Lines(kFailPlusWarning), std::vector<std::string>{event});
}

// Warning counts over consecutive saves, and the saves (0-based) that announce a worsening: only
// when the previous line already showed a warning and the count rose over the line before it.
TEST_F(History, WorseningIsAnnouncedAfterTwoSavesWithWarnings) {
  struct Case {
    std::vector<int> warnings;
    std::vector<size_t> announced;
  };
  const Case cases[] = {
      {{0, 1, 1}, {2}},
      {{0, 0, 1}, {}},
      {{0, 0, 1, 1}, {3}},
      {{1, 1, 1, 1}, {}},
      {{0, 1, 2, 3}, {2, 3}},
      {{0, 2, 1}, {2}},  // compared with two saves back, not with the previous one
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::PrintToString(c.warnings));
    fake.files = test::FakeFiles();
    fake.files.AddFolder("C:\\tools\\inv");
    fake.dialogs.shown.clear();
    std::vector<size_t> announced;
    for (size_t k = 0; k < c.warnings.size(); ++k) {
      SetCounts(0, c.warnings[k]);
      const size_t before = fake.dialogs.shown.size();
      ASSERT_TRUE(Save());
      if (fake.dialogs.shown.size() > before) {
        announced.push_back(k);
        EXPECT_EQ(fake.dialogs.shown.back().text, kWorseningText);
        EXPECT_EQ(fake.dialogs.shown.back().icon, MsgIcon::Information);
        EXPECT_EQ(fake.dialogs.shown.back().buttons, MsgButtons::Ok);
      }
    }
    EXPECT_EQ(announced, c.announced);
    EXPECT_EQ(Lines(kHddFail).size(), c.announced.size());
  }
}

TEST_F(History, TheFileKeepsItsHeadersAndTheNewest499Lines) {
  std::vector<std::string> old = {"H1", "H2"};
  for (int k = 1; k <= 598; ++k) old.push_back("2026/01/01 00:00:00,5,0,1,M,S,0,0,0,0,0,0,0,0,line " + std::to_string(k));
  PutLines(kHistory, old);
  SetCounts(0, 0);
  ASSERT_TRUE(Save());
  auto lines = Lines(kHistory);
  ASSERT_EQ(lines.size(), 501u);
  EXPECT_EQ(lines[0], "H1");
  EXPECT_EQ(lines[1], "H2");
  EXPECT_TRUE(EndsWith(lines[2], "line 101"));
  EXPECT_TRUE(EndsWith(lines[499], "line 598"));
  EXPECT_TRUE(StartsWith(lines[500], "2026/12/06 10:00:00,1,0,"));
  ASSERT_TRUE(Save());
  lines = Lines(kHistory);
  ASSERT_EQ(lines.size(), 501u);
  EXPECT_TRUE(EndsWith(lines[2], "line 102"));
  EXPECT_TRUE(StartsWith(lines[500], "2026/12/06 10:01:00,1,0,"));
}

TEST_F(History, EventLinesPadTheComputerNameTo19Characters) {
  const DateTime t{2026, 1, 2, 3, 4, 5, 0};
  EXPECT_EQ(HealthEventLine("PC01", t, 1, 0, 2, 3), "PC01               2026/01/02 03:04:05  故障 1/0  警告 2/3");
  EXPECT_EQ(HealthEventLine("ABCDEFGHIJKLMNOPQRS", t, 0, 0, 0, 0),
            "ABCDEFGHIJKLMNOPQRS2026/01/02 03:04:05  故障 0/0  警告 0/0");
  EXPECT_EQ(HealthEventLine("", t, 0, 0, 0, 0), std::string(19, ' ') + "2026/01/02 03:04:05  故障 0/0  警告 0/0");
  EXPECT_EQ(HealthEventLine("経理部のパソコン", t, 0, 0, 0, 0),
            "経理部のパソコン" + std::string(11, ' ') + "2026/01/02 03:04:05  故障 0/0  警告 0/0");

  fake.system.computerName = "ABCDEFGHIJKLMNOPQRSTUVWXY";  // 25 characters: written whole
  SetCounts(1, 0);
  ASSERT_TRUE(Save());
  EXPECT_EQ(Lines(kFailed), std::vector<std::string>{"ABCDEFGHIJKLMNOPQRSTUVWXY2026/12/06 10:00:00  故障 1/0  警告 0/0"});
}

TEST_F(History, AMalformedHistoryNeverStopsTheSave) {
  const std::vector<std::vector<std::string>> files = {
      {},
      {"only one line"},
      {"H1", "H2"},
      {"H1", "H2", "x", ""},
      {"H1", "H2", ",,,,,,,,,,abc,def", "2026/01/01 00:00:00,5,0,1,M,S,0,0,0,0,zwei,$,0,0"},
      {"H1", "H2", "a,b,c,d,e,f,g,h,i,j,99999999999999999999,-5"},
  };
  for (const auto& content : files) {
    SCOPED_TRACE(::testing::PrintToString(content));
    fake.files = test::FakeFiles();
    fake.files.AddFolder("C:\\tools\\inv");
    fake.dialogs.shown.clear();
    PutLines(kHistory, content);
    SetCounts(1, 0);
    ASSERT_TRUE(Save());
    auto lines = Lines(kHistory);
    ASSERT_EQ(lines.size(), content.size() + 1);
    EXPECT_TRUE(StartsWith(lines.back(), "2026/12/06"));
    // A count that is not a number reads as 0, so the failure counts as new.
    ASSERT_EQ(fake.dialogs.shown.size(), 1u);
    EXPECT_EQ(fake.dialogs.shown[0].text, kFailureText);
  }
}

TEST_F(History, NothingIsWrittenWithoutADriveOrOnceARunHasWritten) {
  // No drive: nothing written and the flag stays clear, so a later save tries again.
  EXPECT_FALSE(Save());
  EXPECT_FALSE(fake.files.Has(kHistory));
  EXPECT_TRUE(fake.files.DirectoryExists("C:\\tools\\inv\\hdd"));

  // The flag set (by "/p" or an earlier save): not even the drives are read.
  SetCounts(1, 1);
  device.opens.clear();
  bool written = true;
  AppendHealthHistory(fake.platform, kPcFile, written);
  EXPECT_TRUE(device.opens.empty());
  EXPECT_FALSE(fake.files.Has(kHistory));
  EXPECT_FALSE(fake.files.Has(kFailed));
}

TEST_F(History, AHistoryThatCannotBeReadIsLeftWholeButTheEventsAreLogged) {
  PutLines(kHistory, {"H1", "H2", "old"});
  fake.files.failReads.insert("c:\\tools\\inv\\hdd\\pc01__workgroup.csv");
  SetCounts(1, 0);
  EXPECT_FALSE(Save());
  fake.files.failReads.clear();
  EXPECT_EQ(Lines(kHistory), (std::vector<std::string>{"H1", "H2", "old"}));
  // A failing disk is still recorded that day, against reference counts of 0; nothing to announce.
  const std::vector<std::string> event = {"PC01               2026/12/06 10:00:00  故障 1/0  警告 0/0"};
  EXPECT_EQ(Lines(kFailed), event);
  EXPECT_EQ(Lines(kFailPlusWarning), event);
  EXPECT_TRUE(fake.dialogs.shown.empty());
  EXPECT_FALSE(fake.files.Has(kHddFail));
}

TEST_F(History, AHistoryThatCannotBeWrittenStillAnnouncesAndLogs) {
  SetCounts(0, 0);
  ASSERT_TRUE(Save());
  fake.files.failWrites.insert("c:\\tools\\inv\\hdd\\pc01__workgroup.csv");
  SetCounts(1, 0);
  EXPECT_FALSE(Save());  // the flag stays clear
  EXPECT_EQ(Lines(kHistory).size(), 3u);
  EXPECT_EQ(fake.dialogs.shown.size(), 1u);
  EXPECT_EQ(Lines(kFailed).size(), 1u);
}

TEST_F(History, EraseAsksAndDeletesOnlyTheHistory) {
  EXPECT_FALSE(EraseHealthHistory(fake.platform, kPcFile));
  EXPECT_TRUE(fake.dialogs.shown.empty()) << "no history: no question";

  SetCounts(1, 0);
  ASSERT_TRUE(Save());
  fake.dialogs.answers = {MsgResult::No};
  EXPECT_FALSE(EraseHealthHistory(fake.platform, kPcFile));
  EXPECT_TRUE(fake.files.Has(kHistory));
  ASSERT_EQ(fake.dialogs.shown.size(), 1u);
  EXPECT_EQ(fake.dialogs.shown[0].text, "HDD履歴を削除してよろしいか");
  EXPECT_EQ(fake.dialogs.shown[0].buttons, MsgButtons::YesNo);

  fake.dialogs.answers = {MsgResult::Yes};
  EXPECT_TRUE(EraseHealthHistory(fake.platform, kPcFile));
  EXPECT_FALSE(fake.files.Has(kHistory));
  EXPECT_TRUE(fake.files.Has(kFailed));
}

}  // namespace
}  // namespace orv
