// The disk-health screens: the status grid from real captured drives (live and from the latest
// saved line), the history table, and the graph screen's selector, labels and axes.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "app/disk_grids.h"
#include "app/form1.h"
#include "diskhealth/health_history.h"
#include "diskhealth/replay_device.h"
#include "diskhealth/smart_attributes.h"
#include "diskhealth/smart_read.h"
#include "fakes/fake_platform.h"
#include "fakes/fake_smart_device.h"
#include "fakes/fake_wmi.h"
#include "util/text.h"

namespace orv {
namespace {

using test::FakeAttr;

const char* const kHistory = "C:\\tools\\inv\\hdd\\PC01__WORKGROUP.csv";
const char* const kReplay = "C:\\tools\\inv\\replay\\";
const char* const kWd = "cdi_WDC_WD30EFRX-68EUZN0";
const char* const kCrucial = "cdi_Crucial_CT250MX200SSD1";
const char* const kIntel = "trac1070_SSDSC2KB019T7R";

class DiskScreens : public ::testing::Test {
 public:
  void SetUp() override { fake.files.AddFolder("C:\\tools\\inv\\replay"); }

  // Puts a real capture into the replay folder as drive `n` and makes the replay device the
  // program's S.M.A.R.T. device.
  void PutCapture(const std::string& prefix, int n) {
    for (const char* kind : {"identify", "smart_read_data", "smart_read_thresholds"})
      fake.files.Put(std::string(kReplay) + "drive" + std::to_string(n) + "_" + kind + ".hexdump.txt",
                     test::SmartDataFile(prefix + "_" + kind + ".hexdump.txt"));
    device = std::make_unique<ReplaySmartDevice>(fake.files, kReplay);
    fake.platform.smart = device.get();
  }
  TSmartResult Read(int n) {
    TSmartResult r;
    std::string error;
    ReadSmartData(fake.platform, n, r, error);
    EXPECT_EQ(error, "");
    return r;
  }
  void PutLines(const std::vector<std::string>& lines) {
    std::string bytes;
    for (const auto& l : lines) bytes += fake.codec.ToCp932(l) + "\r\n";
    fake.files.Put(kHistory, bytes);
  }
  // The logged slots of a reading, as the status grid lists them.
  static std::vector<int> LoggedSlots(const TSmartResult& r) {
    std::vector<int> slots;
    for (int i = 0; i < r.AttrCount; ++i)
      if (IsLoggedAttrId(r.AttrId[i])) slots.push_back(i);
    return slots;
  }

  test::FakePlatform fake;
  std::unique_ptr<ReplaySmartDevice> device;
  TForm1 form{fake.platform, {}};
};

TEST_F(DiskScreens, StatusGridOfOneRealDrive) {
  PutCapture(kWd, 0);
  const TSmartResult r = Read(0);
  form.HDD1Click();
  const GridModel& g = form.StringGrid1;
  EXPECT_EQ(form.caption, "Orvanta HDD S.M.A.R.T.情報");
  EXPECT_TRUE(g.visible);
  EXPECT_FALSE(form.Memo1.visible);
  EXPECT_FALSE(form.Panel1Visible);
  EXPECT_TRUE(fake.dialogs.shown.empty());
  EXPECT_EQ(g.ColCount(), 11);
  EXPECT_EQ(g.fixedCols, 3);
  EXPECT_EQ(g.fixedRows, 1);
  const std::vector<std::string> header = {"",       "Name",     "項目名",   "状態",      "現在値",   "最悪値",
                                           "しきい値", "生データ", "故障警戒?", "イベント?", "エラー率?"};
  const std::vector<int> widths = {28, 160, 110, 120, 55, 55, 55, 80, 55, 55, 55};
  for (int c = 0; c < 11; ++c) {
    EXPECT_EQ(g.Cell(c, 0), header[c]);
    EXPECT_EQ(g.ColWidth(c), widths[c]) << c;
  }
  const std::vector<std::vector<std::string>> summary = {
      {"DiskNumber", "ディスクNo.", "0"},
      {"Model", "モデル", ""},  // no WMI on this platform
      {"SerialNumber", "シリアルNo.", r.SerialNumber},
      {"Capacity(MB)", "容量(MB)", "2861588"},  // the 48-bit sector count of a 3 TB drive
      {"Reallocated Sector", "再配置セクタ数", "0"},
      {"Hours Running", "運転時間", "1040"},
      {"Power Cycles", "電源入り切り回数", "745"},
      {"Temperature Celcius", "温度", "40"},
      {"Worst Temperature", "最高温度", "0"},
      {"Lowest Temperature", "最低温度", "0"}};
  for (int i = 0; i < 10; ++i)
    for (int c = 0; c < 3; ++c) EXPECT_EQ(g.Cell(c + 1, 1 + i), summary[i][c]) << "row " << 1 + i;
  for (int c = 0; c < 11; ++c) EXPECT_EQ(g.Cell(c, 11), "");

  const auto slots = LoggedSlots(r);
  ASSERT_FALSE(slots.empty());
  for (size_t k = 0; k < slots.size(); ++k) {
    const int i = slots[k], row = 12 + static_cast<int>(k);
    SCOPED_TRACE("row " + std::to_string(row));
    EXPECT_EQ(g.Cell(0, row), std::to_string(r.AttrId[i]));
    EXPECT_EQ(g.Cell(1, row), r.AttrName[i]);
    const std::string jp = JapaneseAttrNames(r.AttrId[i]);
    EXPECT_EQ(g.Cell(2, row), jp.empty() ? "(不明な属性)" : jp);
    EXPECT_EQ(g.Cell(3, row), r.AttrStatus[i]);
    EXPECT_EQ(g.Cell(4, row), std::to_string(r.Current[i]));
    EXPECT_EQ(g.Cell(7, row), FormatThousands(r.RawValue[i]));
    EXPECT_EQ(g.Cell(8, row), r.PreFailure[i] ? "Yes" : "No");
    EXPECT_EQ(g.Cell(10, row), r.ErrorRate[i] ? "Yes" : "No");
  }
  // Power-on hours of this drive (raw 62,375) keep their separator.
  EXPECT_EQ(g.RowCount(), 12 + static_cast<int>(slots.size()) + 1);
}

TEST_F(DiskScreens, EachBlocksModelRowIsItsOwnDrivesDiskDrive) {
  PutCapture(kWd, 0);
  PutCapture(kCrucial, 1);
  // The real Win32_DiskDrive of a VirtualBox disk as drive 0, and a second instance as drive 1.
  auto disks = test::ParseWmiListing(
      test::ReadTestData("wmi/wmi_win32_diskdrive_wmic-value_virtualbox-win10_systeminformation-issue421.txt"));
  ASSERT_EQ(disks.size(), 1u);
  disks.push_back(disks[0]);
  *test::FindProperty(disks[1], "Name") = test::ScalarProperty("Name", 8, std::string(R"(\\.\PHYSICALDRIVE1)"));
  *test::FindProperty(disks[1], "Model") = test::ScalarProperty("Model", 8, std::string("Crucial_CT250MX200SSD1"));
  test::FakeWmi wmi;
  wmi.classes["Win32_DiskDrive"] = disks;
  fake.platform.wmi = &wmi;
  form.HDD1Click();
  const GridModel& g = form.StringGrid1;
  const int second = 1 + 10 + static_cast<int>(LoggedSlots(Read(0)).size()) + 2;
  EXPECT_EQ(g.Cell(3, second), "1");
  EXPECT_EQ(g.Cell(3, 2), "VBOX HARDDISK/(Standard disk drives)");
  EXPECT_EQ(g.Cell(3, second + 1), "Crucial_CT250MX200SSD1/(Standard disk drives)");
}

TEST_F(DiskScreens, RefusalsAreDialogs) {
  struct Case {
    uint32_t platformId;
    std::optional<bool> admin;
    bool historyExists, readable;
    std::string dialog;  // "" when the live grid shows
  };
  const Case cases[] = {
      {kPlatformNT, false, false, true, "この機能は管理者権限がないと実行できません"},
      {kPlatformNT, false, true, true, "管理者権限がなく実行できません。保存されたデータを表示します。"},
      {kPlatformNT, std::nullopt, false, true, ""},  // no administrator query: counts as one
      {kPlatformWin9x, false, false, true, ""},
      {kPlatformNT, true, false, false, "ハードディスク情報が取得できません"},
  };
  for (const Case& c : cases) {
    test::FakePlatform p;
    test::FakeSmartDevice dev;
    if (c.readable)
      for (const char* path : {"\\\\.\\PhysicalDrive0", "\\\\.\\SMARTVSD"})
        dev.devices[path].positions[0] = test::DrivePosition("M", "S", {{5, 0x0033, 100, 100, 0, 0}});
    p.platform.smart = &dev;
    p.system.os.platformId = c.platformId;
    p.shell.admin = c.admin;
    if (c.historyExists) {
      bool written = false;
      test::FakeSmartDevice saved;
      saved.PhysicalDrive(0).positions[0] = test::DrivePosition("M", "S", {{5, 0x0033, 100, 100, 0, 0}});
      p.platform.smart = &saved;
      AppendHealthHistory(p.platform, "C:\\tools\\inv\\PC01__WORKGROUP.csv", written);
      p.platform.smart = &dev;
    }
    TForm1 f(p.platform, {});
    f.HDD1Click();
    SCOPED_TRACE(std::to_string(c.platformId) + " " + c.dialog);
    if (c.dialog.empty()) {
      EXPECT_TRUE(p.dialogs.shown.empty());
      EXPECT_EQ(f.StringGrid1.Cell(10, 0), "エラー率?");
    } else {
      ASSERT_EQ(p.dialogs.shown.size(), 1u) << c.dialog;
      EXPECT_EQ(p.dialogs.shown[0].text, c.dialog);
      EXPECT_EQ(p.dialogs.shown[0].icon, MsgIcon::Information);
      EXPECT_EQ(f.StringGrid1.visible, c.historyExists);
    }
  }
}

TEST_F(DiskScreens, SavedViewLaysOutTheLatestLineWithStarsAsYesNo) {
  PutCapture(kWd, 0);
  bool written = false;
  AppendHealthHistory(fake.platform, "C:\\tools\\inv\\PC01__WORKGROUP.csv", written);
  fake.shell.admin = false;
  form.HDD1Click();
  const GridModel& g = form.StringGrid1;
  const TSmartResult r = Read(0);
  EXPECT_EQ(g.Cell(9, 0), "");  // the saved view has no event and error-rate columns
  EXPECT_EQ(g.Cell(1, 1), "DateTime");
  EXPECT_EQ(g.Cell(2, 1), "日時");
  EXPECT_EQ(g.Cell(3, 1), "2026/12/06 10:00:00");
  EXPECT_EQ(g.Cell(1, 2), "DriveNum");  // the day of the week's row is taken over
  EXPECT_EQ(g.Cell(3, 2), "0");
  EXPECT_EQ(g.Cell(1, 4), "ModelNumber");
  EXPECT_EQ(g.Cell(3, 4), r.ModelNumber);
  EXPECT_EQ(g.Cell(1, 13), "HoursRunning");
  EXPECT_EQ(g.Cell(2, 13), "稼働時間");
  EXPECT_EQ(g.Cell(3, 13), "1040");
  // Attribute groups: 1, 5, 7, 10, 3, 194, then the others in slot order.
  const int slot1 = FindSlot(r, 1);
  EXPECT_EQ(g.Cell(0, 14), "1");
  EXPECT_EQ(g.Cell(1, 14), "Raw Read Error Rate");
  EXPECT_EQ(g.Cell(2, 14), JapaneseAttrNames(1));
  EXPECT_EQ(g.Cell(3, 14), r.AttrStatus[slot1]);
  EXPECT_EQ(g.Cell(4, 14), std::to_string(r.Current[slot1]));
  EXPECT_EQ(g.Cell(7, 14), std::to_string(r.RawValue[slot1]));
  EXPECT_EQ(g.Cell(8, 14), "Yes");
  EXPECT_EQ(g.Cell(0, 15), "5");
  const int slot10 = FindSlot(r, 10);
  EXPECT_EQ(g.Cell(0, 17), "10");
  EXPECT_EQ(g.Cell(8, 17), r.PreFailure[slot10] ? "Yes" : "No");
  EXPECT_EQ(g.Cell(0, 19), "194");
  EXPECT_EQ(g.Cell(8, 19), "No");  // temperature is not a pre-failure attribute on this drive
}

TEST_F(DiskScreens, HistoryTableShowsEveryHeaderColumnAndFixesTheWidths) {
  PutCapture(kWd, 0);
  PutCapture(kCrucial, 1);
  bool written = false;
  AppendHealthHistory(fake.platform, "C:\\tools\\inv\\PC01__WORKGROUP.csv", written);
  const auto header = Split(fake.codec.FromCp932(fake.files.Get(kHistory)).substr(0, 100000), '\r')[0];
  form.HDD2Click();
  const GridModel& g = form.StringGrid1;
  EXPECT_EQ(form.caption, "Orvanta HDD S.M.A.R.T.履歴");
  EXPECT_TRUE(g.visible);
  EXPECT_EQ(g.ColCount(), static_cast<int>(Split(header, ',').size()) - 1);
  EXPECT_EQ(g.RowCount(), 4);
  EXPECT_EQ(g.fixedRows, 2);
  EXPECT_EQ(g.fixedCols, 1);
  EXPECT_EQ(g.Cell(0, 0), "DateTime");
  EXPECT_EQ(g.Cell(0, 1), "日時");
  EXPECT_EQ(g.ColWidth(0), 110);
  EXPECT_EQ(g.ColWidth(1), 55);
  EXPECT_EQ(g.ColWidth(4), 80);
  EXPECT_EQ(g.ColWidth(5), 80);
  // Every attribute group: name 110, current/worst/threshold 55, raw 70 (both drive blocks).
  int groups = 0;
  for (int c = 0; c < g.ColCount(); ++c) {
    if (g.Cell(c, 1) != "現在値") continue;
    ++groups;
    EXPECT_EQ(g.ColWidth(c - 1), 110) << c;
    EXPECT_EQ(g.ColWidth(c), 55) << c;
    EXPECT_EQ(g.ColWidth(c + 3), 70) << c;
  }
  EXPECT_GT(groups, 20);
  // Data lines end with a comma, so their last field is the last attribute's raw value.
  const auto data = Split(SplitLines(fake.codec.FromCp932(fake.files.Get(kHistory)))[2], ',');
  EXPECT_EQ(data.back(), "");
  EXPECT_EQ(g.Cell(g.ColCount() - 1, 2), data[data.size() - 2]);
}

TEST_F(DiskScreens, MissingHistoryIsAMessage) {
  for (auto handler : {&TForm1::HDD2Click, &TForm1::HDDG1Click}) {
    fake.dialogs.shown.clear();
    (form.*handler)();
    ASSERT_EQ(fake.dialogs.shown.size(), 1u);
    EXPECT_EQ(fake.dialogs.shown[0].text, "HDD情報ファイルがありません");
    EXPECT_FALSE(form.Panel1Visible);
  }
}

// ---- the graph screen ----

// A history of the first drive: one line per (days ago, temperature) with the WD capture's
// attributes; `status` overrides the status of attribute groups by id.
class Graph : public DiskScreens {
 public:
  void SetUp() override {
    DiskScreens::SetUp();
    PutCapture(kWd, 0);
    drive = Read(0);
  }
  void Write(const std::vector<std::pair<double, int>>& records) {
    std::vector<TSmartResult> drives = {drive};
    drives.insert(drives.end(), laterDrives.begin(), laterDrives.end());
    std::vector<std::string> lines = {EnglishHealthHeader(drives), JapaneseHealthHeader(drives)};
    for (const auto& [daysAgo, temperature] : records) {
      drives[0].Temperature = temperature;
      drives[0].TempWorst = temperature + 5;
      drives[0].TempLow = temperature - 5;
      lines.push_back(HealthDataLine(FromDayCount(ToDayCount(fake.system.now) - daysAgo), drives));
    }
    PutLines(lines);
  }
  void Open() {
    form.HDDG1Click();
    ASSERT_TRUE(form.Panel1Visible);
  }
  const xy::TGraphAxis& X() { return form.Panel1.XYGraph1.XAxis(); }
  const xy::TGraphAxis& Y() { return form.Panel1.XYGraph1.YAxis(); }
  TSmartResult drive;
  std::vector<TSmartResult> laterDrives;  // drive blocks after the first one
};

TEST_F(Graph, XAxisSpansWholeMonths) {
  struct Case {
    std::vector<double> daysAgo;
    double min, step;
    int sub;
  };
  const Case cases[] = {
      {{0.5}, -30, 10, 5},
      {{-3}, -30, 10, 5},  // stamped in the future: drawn at 0, the axis still spans a month
      {{50, 20, 1}, -60, 10, 5},
      {{60}, -60, 10, 5},
      {{75, 10}, -90, 30, 6},
      {{400, 200, 0}, -420, 30, 6},
      {{1000, 0}, -1020, 60, 6},  // beyond 900 days the step grows by whole months
  };
  for (const Case& c : cases) {
    std::vector<std::pair<double, int>> records;
    for (double d : c.daysAgo) records.push_back({d, 40});
    Write(records);
    Open();
    SCOPED_TRACE(c.min);
    EXPECT_TRUE(fake.dialogs.shown.empty());
    EXPECT_EQ(X().Min(), c.min);
    EXPECT_EQ(X().Origin(), c.min);
    EXPECT_EQ(X().Max(), 0);
    EXPECT_EQ(X().TickStep(), c.step);
    EXPECT_EQ(X().SubTicksCount(), c.sub);
    EXPECT_EQ(X().Title(), "日数");
    EXPECT_EQ(form.Panel1.Series2.Count(), static_cast<int>(records.size()));
    EXPECT_LE(form.Panel1.Series2.XValue(form.Panel1.Series2.Count() - 1), 0);
  }
}

TEST_F(Graph, YMaximumFollowsTheLargestValue) {
  struct Case {
    int temperature;  // highest plotted value is temperature + 5
    bool automatic;
    double max;
  };
  for (const Case& c : {Case{50, false, 120}, Case{95, false, 120}, Case{245, false, 300}, Case{4995, true, 0}}) {
    Write({{2, 40}, {1, c.temperature}});
    Open();
    SCOPED_TRACE(c.temperature);
    EXPECT_EQ(Y().Min(), 0);
    EXPECT_EQ(Y().AutoMax(), c.automatic);
    if (c.automatic)
      EXPECT_GE(Y().Max(), 5000);
    else
      EXPECT_EQ(Y().Max(), c.max);
  }
}

TEST_F(Graph, SelectorListsPreFailureAttributesWithTheirLatestJudgement) {
  Write({{1, 40}});
  // Make the latest judgement of attribute 1 "過去に故障" and of attribute 3 "警戒".
  auto bytes = fake.codec.FromCp932(fake.files.Get(kHistory));
  auto lines = SplitLines(bytes);
  auto f = Split(lines[2], ',');
  f[14] = "過去に故障";
  f[34] = "警戒";
  lines[2] = Join(f, ",");
  PutLines(lines);
  Open();
  const auto& items = form.Panel1.ComboBox1.items;
  ASSERT_GE(items.size(), 5u);
  EXPECT_EQ(items[0], "温度");
  EXPECT_EQ(items[1], "起動回数・稼働時間");
  EXPECT_EQ(items[2], "-----------");
  EXPECT_EQ(items[3], "▲" + JapaneseAttrNames(1));
  const auto separator = std::find(items.begin() + 3, items.end(), "-----------");
  ASSERT_NE(separator, items.end());
  EXPECT_NE(std::find(items.begin() + 3, separator, "△" + JapaneseAttrNames(3)), separator);
  // Attributes that are not pre-failure follow the second separator, unmarked (194 on this drive).
  EXPECT_NE(std::find(separator, items.end(), JapaneseAttrNames(194)), items.end());
  for (auto it = separator; it != items.end(); ++it) EXPECT_FALSE(it->starts_with("▲") || it->starts_with("△"));

  // Selecting the marked entry plots attribute 1: current, worst, threshold.
  form.Panel1.ComboBox1.itemIndex = 3;
  form.ComboBox1Change();
  const int slot = FindSlot(drive, 1);
  EXPECT_EQ(form.Panel1.Label26.caption, "グラフの 緑は現在値、赤は過去の最悪値、青はしきい値 です");
  EXPECT_EQ(form.Panel1.Label27.caption, "過去に故障");
  ASSERT_EQ(form.Panel1.Series2.Count(), 1);
  EXPECT_EQ(form.Panel1.Series2.YValues().Get(0), drive.Current[slot]);
  EXPECT_EQ(form.Panel1.Series1.YValues().Get(0), drive.Worst[slot]);
  EXPECT_EQ(form.Panel1.Series3.YValues().Get(0), drive.Threshold[slot]);

  // A separator does nothing; the counters have two series.
  form.Panel1.ComboBox1.itemIndex = 2;
  form.ComboBox1Change();
  EXPECT_EQ(form.Panel1.Label27.caption, "過去に故障");
  form.Panel1.ComboBox1.itemIndex = 1;
  form.ComboBox1Change();
  EXPECT_EQ(form.Panel1.Label26.caption, "グラフの 緑は起動回数、赤は稼働時間 です");
  EXPECT_EQ(form.Panel1.Series2.YValues().Get(0), 745);
  EXPECT_EQ(form.Panel1.Series1.YValues().Get(0), 1040);
  EXPECT_EQ(form.Panel1.Series3.Count(), 0);
  EXPECT_TRUE(Y().AutoMax());
}

TEST_F(Graph, LabelsShowTheLatestLine) {
  Write({{3, 38}, {1, 41}});
  Open();
  const HealthGraphPanel& p = form.Panel1;
  EXPECT_EQ(form.caption, "Orvanta HDD S.M.A.R.T.履歴グラフ");
  EXPECT_FALSE(form.StringGrid1.visible);
  EXPECT_FALSE(form.Memo1.visible);
  EXPECT_EQ(p.Label2.caption, "0");
  EXPECT_EQ(p.Label4.caption, drive.ModelNumber);
  EXPECT_EQ(p.Label8.caption, "2,861,588");
  EXPECT_EQ(p.Label10.caption, "41℃");
  EXPECT_EQ(p.Label12.caption, "46℃");
  EXPECT_EQ(p.Label16.caption, "745");
  EXPECT_EQ(p.Label18.caption, "1,040");
  EXPECT_EQ(p.Label24.caption, "2026/12/05");
  EXPECT_EQ(p.Label25.caption, "10:00:00");
  EXPECT_EQ(p.Label26.caption, "グラフの 緑は現在温度、赤は過去最高温度、青は過去最低温度 です");
  EXPECT_EQ(p.Label27.caption, "");  // attribute 194's status is "-"
  EXPECT_EQ(p.Label20.caption, "0");
  EXPECT_EQ(p.Label20.color, xy::clBlack);
  EXPECT_EQ(p.Label19.color, xy::clBlack);
  // Series: green temperature, red highest, blue lowest.
  EXPECT_EQ(p.Series2.YValues().Get(1), 41);
  EXPECT_EQ(p.Series1.YValues().Get(1), 46);
  EXPECT_EQ(p.Series3.YValues().Get(1), 36);
  EXPECT_NEAR(p.Series2.XValue(0), -3, 1e-6);

  // A warning count of 2 is red, caption too.
  auto lines = SplitLines(fake.codec.FromCp932(fake.files.Get(kHistory)));
  auto f = Split(lines.back(), ',');
  f[11] = "2";
  lines.back() = Join(f, ",");
  PutLines(lines);
  Open();
  EXPECT_EQ(form.Panel1.Label20.color, xy::clRed);
  EXPECT_EQ(form.Panel1.Label19.color, xy::clRed);
  EXPECT_EQ(form.Panel1.Label22.color, xy::clBlack);
}

TEST_F(Graph, ASecondDriveAddsNothingToTheSelector) {
  Write({{1, 40}});
  Open();
  const std::vector<std::string> firstDrive = form.Panel1.ComboBox1.items;
  PutCapture(kCrucial, 1);
  laterDrives = {Read(1)};
  Write({{1, 40}});
  Open();
  EXPECT_EQ(form.Panel1.ComboBox1.items, firstDrive);
}

}  // namespace
}  // namespace orv
