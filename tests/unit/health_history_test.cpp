// The health history: the lines a save writes, the bound of the file, the reference counts behind
// the two announcements, the event logs and the erase command.
#include <gtest/gtest.h>

#include "diskhealth/health_history.h"
#include "diskhealth/health_items.h"
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
const std::string kFailureEvent = "PC01               2026/12/06 10:00:00  故障 1/0  警告 0/0";

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
  Lines Read(const std::string& path) {
    const std::string bytes = fake.files.Get(path);
    EXPECT_TRUE(bytes.empty() || EndsWith(bytes, "\r\n")) << path;
    EXPECT_EQ(ReplaceAll(bytes, "\r\n", "").find_first_of("\r\n"), std::string::npos) << "bare line end in " << path;
    return SplitLines(fake.codec.FromCp932(bytes));
  }
  void Put(const Lines& lines) {
    fake.files.Put(kHistory, lines.empty() ? "" : fake.codec.ToCp932(Join(lines, "\r\n") + "\r\n"));
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

TEST_F(History, FirstSaveWritesHeadersAndLineAndNoDialog) {
  SetDrive(0,
           {{1, 0x000F, 117, 99, 123456, 6}, {3, 0x0003, 96, 96, 0, 0}, {5, 0x0033, 100, 100, 0, 36},
            {7, 0x000F, 55, 51, 9, 30},  // warning: 30 + 28 > 55
            {9, 0x0032, 91, 91, 8000, 0}, {10, 0x0013, 100, 100, 0, 97}, {12, 0x0032, 100, 100, 1082, 20},
            {190, 0x0022, 64, 45, 0x2D0000002CULL, 45},  // not a logged id
            {194, 0x0022, 36, 49, 0x1300000024ULL, 0}, {197, 0x0012, 100, 100, 0, 0},
            {240, 0x0000, 100, 253, 119898307157947ULL, 0}});
  device.PhysicalDrive(0).positions[0].identify = test::IdentifySector("ST3500418AS", "5VM1ABCD", 976773168);
  ASSERT_TRUE(Save());
  const std::string group = ",Current,Worst,Threshold,Raw Value,", jgroup = ",現在値,最悪値,閾値,生データ,";
  EXPECT_EQ(Read(kHistory),
            (Lines{"DateTime,DayOfWeek,DriveNum,CapacityMB,ModelNumber,SerialNumber,Temperature,TempWorst,TempLow,"
                   "ReallocSector,SmartFailTot,SmartWarnTot,PowerCycles,HoursRunning,*1: Raw Read Error Rate" +
                       group + "*5: Reallocated Sector Count" + group + "*7: Seek Error Rate" + group +
                       "*10: Spin Retry Count" + group + "*3: Spin Up Time" + group + "194: Temperature Celcius" +
                       group + "9: Power On Hours Count" + group + "12: Power Cycle Count" + group +
                       "197: Current Pending Sector" + group + "240: Head Flying Hours" + group,
                   "日時,曜日番号,ディスクNo.,容量MB,モデルNo.,シリアルNo.,温度℃,最高温度,最低温度,再配置セクタ,故障数,"
                   "警告数,電源サイクル,稼働時間,読み取りエラー" + jgroup + "再配置セクタ数" + jgroup + "シークエラー" +
                       jgroup + "回転再トライ回数" + jgroup + "立ち上がり時間" + jgroup + "温度（℃）" + jgroup +
                       "電源入り時間" + jgroup + "電源入切回数" + jgroup + "保留セクタ" + jgroup +
                       "ヘッド位置決め時間" + jgroup,
                   "2026/12/06 10:00:00,1,0,476940,ST3500418AS,5VM1ABCD,36,49,0,0,0,1,1082,134,OK,117,99,6,123456,"
                   "OK,100,100,36,0,警戒,55,51,30,9,OK,100,100,97,0,-,96,96,0,0,-,36,49,0,81604378660,-,91,91,0,8000,"
                   "-,100,100,20,1082,-,100,100,0,0,-,100,253,0,119898307157947,"}));
  EXPECT_TRUE(fake.dialogs.shown.empty());
  EXPECT_FALSE(fake.files.Has(kHddFail) || fake.files.Has(kFailed));
  EXPECT_EQ(Read(kFailPlusWarning), Lines{"PC01               2026/12/06 10:00:00  故障 0/0  警告 1/0"});
}

TEST_F(History, HeadersLineUpWithDataAlsoForMissingAttributesAndTwoDrives) {
  SetDrive(0, {{9, 0x0032, 100, 100, 60, 0}, {194, 0x0022, 30, 30, 30, 0}});
  SetDrive(1, CountedDrive(2, 1), "SECOND,DISK");  // a comma in the model must not shift columns
  ASSERT_TRUE(Save());
  const auto lines = Read(kHistory);
  ASSERT_EQ(lines.size(), 3u);
  const auto english = Split(lines[0], ','), japanese = Split(lines[1], ','), data = Split(lines[2], ',');
  EXPECT_EQ(english.size(), data.size());
  EXPECT_EQ(japanese.size(), data.size());
  // Drive 0: 14 + 6 fixed groups + attribute 9 = 49 columns, then the empty field between blocks;
  // attribute 1 is absent: five empty fields. Drive 1 answered at position 0 on its own handle.
  const size_t s = 14 + 5 * 7 + 1;
  EXPECT_EQ(Lines({data[14], english[14], english[44], data[s - 1], english[s], data[s], data[s + 2], english[s + 2],
                   japanese[s + 2], data[s + 8], data[10]}),
            (Lines{"", "", "9: Power On Hours Count", "", "DriveNum", "0", "SECOND DISK", "ModelNumber", "モデルNo.",
                   "2", "0"}));
  // Events and the inventory fallback look at the first block only.
  EXPECT_FALSE(fake.files.Has(kFailed) || fake.files.Has(kFailPlusWarning));
  device.devices.clear();
  Lines items;
  DiskHealthItems(fake.platform, kHistory, [&](const std::string& v) { items.push_back(v); });
  EXPECT_EQ(items[0] + " " + items[5], "0/0 (2026/12/06 10:00:00) -/30/30/0/30/30");
}

// Counts over consecutive saves, and the saves (0-based) that announce: a failure when the count
// rose over the previous line; a worsening only when the previous line already showed a warning
// and the count rose over the line before it.
TEST_F(History, AnnouncementsCompareWithTheSavedCounts) {
  struct Case {
    std::vector<std::pair<int, int>> counts;  // failures, warnings
    std::vector<size_t> announced;
    const char* text;
  } cases[] = {
      {{{0, 0}, {1, 0}}, {1}, kFailureText},
      {{{0, 0}, {0, 1}, {0, 1}}, {2}, kWorseningText},
      {{{0, 0}, {0, 0}, {0, 1}}, {}, kWorseningText},
      {{{0, 0}, {0, 0}, {0, 1}, {0, 1}}, {3}, kWorseningText},
      {{{0, 1}, {0, 1}, {0, 1}, {0, 1}}, {}, kWorseningText},
      {{{0, 0}, {0, 1}, {0, 2}, {0, 3}}, {2, 3}, kWorseningText},
      {{{0, 0}, {0, 2}, {0, 1}}, {2}, kWorseningText},  // compared with two saves back, not with the previous one
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::PrintToString(c.counts));
    Reset();
    std::vector<size_t> announced;
    for (size_t k = 0; k < c.counts.size(); ++k) {
      SetCounts(c.counts[k].first, c.counts[k].second);
      const size_t before = fake.dialogs.shown.size();
      ASSERT_TRUE(Save());
      if (fake.dialogs.shown.size() == before) continue;
      announced.push_back(k);
      EXPECT_EQ(fake.dialogs.shown.back().text, c.text);
      EXPECT_EQ(fake.dialogs.shown.back().icon, c.text == kFailureText ? MsgIcon::Warning : MsgIcon::Information);
      EXPECT_EQ(fake.dialogs.shown.back().buttons, MsgButtons::Ok);
    }
    EXPECT_EQ(announced, c.announced);
    if (c.text == kWorseningText) { EXPECT_EQ(Read(kHddFail).size(), c.announced.size()); }
  }
  // The failure of the second save is in all three logs.
  const Lines event = {"PC01               2026/12/06 10:01:00  故障 1/0  警告 0/0"};
  Reset();
  SetCounts(0, 0);
  Save();
  SetCounts(1, 0);
  Save();
  EXPECT_EQ(Read(kHddFail), event);
  EXPECT_EQ(Read(kFailed), event);
  EXPECT_EQ(Read(kFailPlusWarning), event);
}

TEST_F(History, TheFileKeepsItsHeadersAndTheNewest499Lines) {
  Lines old = {"H1", "H2"};
  for (int k = 1; k <= 598; ++k) old.push_back("2026/01/01 00:00:00,5,0,1,M,S,0,0,0,0,0,0,0,0,line " + std::to_string(k));
  Put(old);
  SetCounts(0, 0);
  for (const char* first : {"line 101", "line 102"}) {
    ASSERT_TRUE(Save());
    const auto lines = Read(kHistory);
    ASSERT_EQ(lines.size(), 501u);
    EXPECT_EQ(lines[0] + lines[1], "H1H2");
    EXPECT_TRUE(EndsWith(lines[2], first)) << lines[2];
    EXPECT_TRUE(StartsWith(lines[500], "2026/12/06 10:0")) << lines[500];
  }
  EXPECT_TRUE(EndsWith(Read(kHistory)[498], "line 598"));
}

TEST_F(History, EventLinesPadTheComputerNameTo19Characters) {
  const DateTime t{2026, 1, 2, 3, 4, 5, 0};
  EXPECT_EQ(HealthEventLine("PC01", t, 1, 0, 2, 3), "PC01               2026/01/02 03:04:05  故障 1/0  警告 2/3");
  EXPECT_EQ(HealthEventLine("ABCDEFGHIJKLMNOPQRS", t, 0, 0, 0, 0), "ABCDEFGHIJKLMNOPQRS2026/01/02 03:04:05  故障 0/0  警告 0/0");
  EXPECT_EQ(HealthEventLine("経理部のパソコン", t, 0, 0, 0, 0),
            "経理部のパソコン" + std::string(11, ' ') + "2026/01/02 03:04:05  故障 0/0  警告 0/0");
  EXPECT_EQ(HealthEventLine("ABCDEFGHIJKLMNOPQRSTUVWXY", t, 0, 0, 0, 0),  // a longer name is written whole
            "ABCDEFGHIJKLMNOPQRSTUVWXY2026/01/02 03:04:05  故障 0/0  警告 0/0");
}

TEST_F(History, AMalformedHistoryNeverStopsTheSave) {
  const std::vector<Lines> files = {
      {}, {"only one line"}, {"H1", "H2", "x", ""},
      {"H1", "H2", ",,,,,,,,,,abc,def", "2026/01/01 00:00:00,5,0,1,M,S,0,0,0,0,zwei,$,0,0"},
      {"H1", "H2", "a,b,c,d,e,f,g,h,i,j,99999999999999999999,-5"},
  };
  for (const auto& content : files) {
    SCOPED_TRACE(::testing::PrintToString(content));
    Reset();
    Put(content);
    SetCounts(1, 0);
    ASSERT_TRUE(Save());
    const auto lines = Read(kHistory);
    ASSERT_EQ(lines.size(), content.size() + 1);
    EXPECT_TRUE(StartsWith(lines.back(), "2026/12/06"));
    // A count that is not a number reads as 0, so the failure counts as new.
    ASSERT_EQ(fake.dialogs.shown.size(), 1u);
    EXPECT_EQ(fake.dialogs.shown[0].text, kFailureText);
  }
}

TEST_F(History, NothingIsWrittenWithoutADriveOrOnceARunHasWritten) {
  EXPECT_FALSE(Save());  // no drive: the flag stays clear, so a later save tries again
  EXPECT_FALSE(fake.files.Has(kHistory));
  EXPECT_TRUE(fake.files.DirectoryExists("C:\\tools\\inv\\hdd"));
  SetCounts(1, 1);
  device.opens.clear();
  bool written = true;  // set by "/p" or an earlier save: not even the drives are read
  AppendHealthHistory(fake.platform, kPcFile, written);
  EXPECT_TRUE(device.opens.empty());
  EXPECT_FALSE(fake.files.Has(kHistory) || fake.files.Has(kFailed));
}

// A history that cannot be read is left whole, and one that cannot be written is not counted as
// saved: the events are logged and announced all the same.
TEST_F(History, AHistoryThatCannotBeReadOrWrittenStillLogs) {
  Put({"H1", "H2", "old"});
  fake.files.failReads.insert("c:\\tools\\inv\\hdd\\pc01__workgroup.csv");
  SetCounts(1, 0);
  EXPECT_FALSE(Save());
  fake.files.failReads.clear();
  EXPECT_EQ(Read(kHistory), (Lines{"H1", "H2", "old"}));
  // Recorded against reference counts of 0: nothing to announce.
  EXPECT_EQ(Read(kFailed), Lines{kFailureEvent});
  EXPECT_EQ(Read(kFailPlusWarning), Lines{kFailureEvent});
  EXPECT_TRUE(fake.dialogs.shown.empty());
  EXPECT_FALSE(fake.files.Has(kHddFail));

  Reset();
  SetCounts(0, 0);
  ASSERT_TRUE(Save());
  fake.files.failWrites.insert("c:\\tools\\inv\\hdd\\pc01__workgroup.csv");
  SetCounts(1, 0);
  EXPECT_FALSE(Save());
  EXPECT_EQ(Read(kHistory).size(), 3u);
  EXPECT_EQ(fake.dialogs.shown.size(), 1u);
  EXPECT_EQ(Read(kFailed).size(), 1u);
}

TEST_F(History, EraseAsksAndDeletesOnlyTheHistory) {
  EXPECT_FALSE(EraseHealthHistory(fake.platform, kPcFile));
  EXPECT_TRUE(fake.dialogs.shown.empty()) << "no history: no question";
  SetCounts(1, 0);
  ASSERT_TRUE(Save());
  fake.dialogs.answers = {MsgResult::No, MsgResult::Yes};
  EXPECT_FALSE(EraseHealthHistory(fake.platform, kPcFile));
  EXPECT_TRUE(fake.files.Has(kHistory));
  ASSERT_EQ(fake.dialogs.shown.size(), 1u);
  EXPECT_EQ(fake.dialogs.shown[0].text, "HDD履歴を削除してよろしいか");
  EXPECT_EQ(fake.dialogs.shown[0].buttons, MsgButtons::YesNo);
  EXPECT_TRUE(EraseHealthHistory(fake.platform, kPcFile));
  EXPECT_FALSE(fake.files.Has(kHistory));
  EXPECT_TRUE(fake.files.Has(kFailed));
}

}  // namespace
}  // namespace orv
