// The disk-health screens: the status grid from real captured drives (live and from the latest
// saved line), the history table, and the graph screen's selector, labels and axes.
#include <gtest/gtest.h>

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

using Cells = std::vector<std::string>;
const char* const kPcFile = "C:\\tools\\inv\\PC01__WORKGROUP.csv";
const char* const kHistory = "C:\\tools\\inv\\hdd\\PC01__WORKGROUP.csv";
const char* const kWd = "cdi_WDC_WD30EFRX-68EUZN0";
const char* const kCrucial = "cdi_Crucial_CT250MX200SSD1";

// Cells `from` .. `to` of a grid row.
Cells Row(const GridModel& g, int row, int from = 0, int to = 10) {
  Cells cells;
  for (int c = from; c <= to; ++c) cells.push_back(g.Cell(c, row));
  return cells;
}

class DiskScreens : public ::testing::Test {
 public:
  // A real capture as drive `n` of the replay folder, which the program's device then reads.
  void PutCapture(const std::string& prefix, int n) {
    for (const char* kind : {"identify", "smart_read_data", "smart_read_thresholds"})
      fake.files.Put("C:\\tools\\inv\\replay\\drive" + std::to_string(n) + "_" + kind + ".hexdump.txt",
                     test::SmartDataFile(prefix + "_" + kind + ".hexdump.txt"));
    device = std::make_unique<ReplaySmartDevice>(fake.files, "C:\\tools\\inv\\replay\\");
    fake.platform.smart = device.get();
  }
  TSmartResult Read(int n) {
    TSmartResult r;
    std::string error;
    EXPECT_TRUE(ReadSmartData(fake.platform, n, r, error)) << error;
    return r;
  }
  void Save() {
    bool written = false;
    AppendHealthHistory(fake.platform, kPcFile, written);
  }
  std::vector<std::string> Lines() { return SplitLines(fake.codec.FromCp932(fake.files.Get(kHistory))); }
  void PutLines(const std::vector<std::string>& lines) { fake.files.Put(kHistory, fake.codec.ToCp932(Join(lines, "\r\n") + "\r\n")); }
  static int Logged(const TSmartResult& r) {
    int n = 0;
    for (int i = 0; i < r.AttrCount; ++i) n += IsLoggedAttrId(r.AttrId[i]);
    return n;
  }

  test::FakePlatform fake;
  std::unique_ptr<ReplaySmartDevice> device;
  TForm1 form{fake.platform, {}};
};

// Two real drives; the real Win32_DiskDrive of a VirtualBox disk as drive 0, and a second
// instance of it as drive 1.
TEST_F(DiskScreens, StatusGridOfRealDrivesWithTheirOwnDiskDrives) {
  PutCapture(kWd, 0);
  PutCapture(kCrucial, 1);
  auto disks = test::ParseWmiListing(
      test::ReadTestData("wmi/wmi_win32_diskdrive_wmic-value_virtualbox-win10_systeminformation-issue421.txt"));
  ASSERT_EQ(disks.size(), 1u);
  disks.push_back(disks[0]);
  *test::FindProperty(disks[1], "Name") = test::ScalarProperty("Name", 8, std::string(R"(\\.\PHYSICALDRIVE1)"));
  *test::FindProperty(disks[1], "Model") = test::ScalarProperty("Model", 8, std::string("Crucial_CT250MX200SSD1"));
  test::FakeWmi wmi;
  wmi.classes["Win32_DiskDrive"] = disks;
  fake.platform.wmi = &wmi;
  const TSmartResult r = Read(0);
  form.HDD1Click();
  const GridModel& g = form.StringGrid1;
  EXPECT_EQ(form.caption, "Orvanta HDD S.M.A.R.T.情報");
  EXPECT_TRUE(g.visible && !form.Memo1.visible && !form.Panel1Visible && fake.dialogs.shown.empty());
  EXPECT_EQ(std::vector<int>({g.ColCount(), g.fixedCols, g.fixedRows}), std::vector<int>({11, 3, 1}));
  EXPECT_EQ(Row(g, 0), (Cells{"", "Name", "項目名", "状態", "現在値", "最悪値", "しきい値", "生データ", "故障警戒?",
                              "イベント?", "エラー率?"}));
  std::vector<int> widths;
  for (int c = 0; c < 11; ++c) widths.push_back(g.ColWidth(c));
  EXPECT_EQ(widths, (std::vector<int>{28, 160, 110, 120, 55, 55, 55, 80, 55, 55, 55}));
  const std::vector<Cells> summary = {
      {"DiskNumber", "ディスクNo.", "0"}, {"Model", "モデル", "VBOX HARDDISK/(Standard disk drives)"},
      {"SerialNumber", "シリアルNo.", r.SerialNumber},
      {"Capacity(MB)", "容量(MB)", "2861588"},  // the 48-bit sector count of a 3 TB drive
      {"Reallocated Sector", "再配置セクタ数", "0"}, {"Hours Running", "運転時間", "1040"},
      {"Power Cycles", "電源入り切り回数", "745"}, {"Temperature Celcius", "温度", "40"},
      {"Worst Temperature", "最高温度", "0"}, {"Lowest Temperature", "最低温度", "0"}};
  for (int i = 0; i < 10; ++i) EXPECT_EQ(Row(g, 1 + i, 1, 3), summary[i]) << "row " << 1 + i;
  EXPECT_EQ(Row(g, 11), Cells(11, ""));
  int row = 12;
  for (int i = 0; i < r.AttrCount; ++i) {
    if (!IsLoggedAttrId(r.AttrId[i])) continue;
    const std::string jp = JapaneseAttrNames(r.AttrId[i]);
    auto yes = [](bool b) { return b ? "Yes" : "No"; };
    EXPECT_EQ(Row(g, row++), (Cells{std::to_string(r.AttrId[i]), r.AttrName[i], jp.empty() ? "(不明な属性)" : jp,
                                    r.AttrStatus[i], std::to_string(r.Current[i]), std::to_string(r.Worst[i]),
                                    std::to_string(r.Threshold[i]), FormatThousands(r.RawValue[i]),
                                    yes(r.PreFailure[i]), yes(r.EventCount[i]), yes(r.ErrorRate[i])}));
  }
  // One empty row, then the second block.
  EXPECT_EQ(Cells({g.Cell(3, row + 1), g.Cell(3, row + 2)}),
            (Cells{"1", "Crucial_CT250MX200SSD1/(Standard disk drives)"}));
  EXPECT_EQ(g.RowCount(), row + 1 + 10 + 1 + Logged(Read(1)) + 1);
}

TEST_F(DiskScreens, RefusalsAreDialogs) {
  struct Case {
    uint32_t platformId;
    std::optional<bool> admin;
    bool historyExists, readable;
    std::string dialog;  // "" when the live grid shows
  } cases[] = {
      {kPlatformNT, false, false, true, "この機能は管理者権限がないと実行できません"},
      {kPlatformNT, false, true, true, "管理者権限がなく実行できません。保存されたデータを表示します。"},
      {kPlatformNT, std::nullopt, false, true, ""},  // no administrator query: counts as one
      {kPlatformWin9x, false, false, true, ""},
      {kPlatformNT, true, false, false, "ハードディスク情報が取得できません"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.dialog);
    test::FakePlatform p;
    test::FakeSmartDevice dev, saved;
    for (const char* path : {"\\\\.\\PhysicalDrive0", "\\\\.\\SMARTVSD"}) {
      if (c.readable) dev.devices[path].positions[0] = test::DrivePosition("M", "S", {{5, 0x0033, 100, 100, 0, 0}});
      saved.devices[path].positions[0] = test::DrivePosition("M", "S", {{5, 0x0033, 100, 100, 0, 0}});
    }
    p.system.os.platformId = c.platformId;
    p.shell.admin = c.admin;
    bool written = false;
    p.platform.smart = &saved;
    if (c.historyExists) AppendHealthHistory(p.platform, kPcFile, written);
    p.platform.smart = &dev;
    TForm1 f(p.platform, {});
    f.HDD1Click();
    ASSERT_EQ(p.dialogs.shown.size(), c.dialog.empty() ? 0u : 1u);
    if (c.dialog.empty()) {
      EXPECT_EQ(f.StringGrid1.Cell(10, 0), "エラー率?");
    } else {
      EXPECT_EQ(p.dialogs.shown[0].text, c.dialog);
      EXPECT_EQ(p.dialogs.shown[0].icon, MsgIcon::Information);
      EXPECT_EQ(f.StringGrid1.visible, c.historyExists);
    }
  }
}

TEST_F(DiskScreens, SavedViewLaysOutTheLatestLineWithStarsAsYesNo) {
  PutCapture(kWd, 0);
  Save();
  fake.shell.admin = false;
  form.HDD1Click();
  const GridModel& g = form.StringGrid1;
  const TSmartResult r = Read(0);
  EXPECT_EQ(g.Cell(9, 0), "");  // the saved view has no event and error-rate columns
  // The day of the week's row is taken over by the drive number.
  EXPECT_EQ(Row(g, 1, 1, 3), (Cells{"DateTime", "日時", "2026/12/06 10:00:00"}));
  EXPECT_EQ(Row(g, 2, 1, 3), (Cells{"DriveNum", "ディスクNo.", "0"}));
  EXPECT_EQ(Row(g, 4, 1, 3), (Cells{"ModelNumber", "モデルNo.", r.ModelNumber}));
  EXPECT_EQ(Row(g, 13, 1, 3), (Cells{"HoursRunning", "稼働時間", "1040"}));
  // Attribute groups: 1, 5, 7, 10, 3, 194, then the others in slot order.
  const int s1 = FindSlot(r, 1), s10 = FindSlot(r, 10);
  EXPECT_EQ(Row(g, 14, 0, 8), (Cells{"1", "Raw Read Error Rate", JapaneseAttrNames(1), r.AttrStatus[s1],
                                     std::to_string(r.Current[s1]), std::to_string(r.Worst[s1]),
                                     std::to_string(r.Threshold[s1]), std::to_string(r.RawValue[s1]), "Yes"}));
  // Temperature is not a pre-failure attribute on this drive.
  EXPECT_EQ(g.Cell(0, 15) + g.Cell(0, 17) + g.Cell(8, 17) + g.Cell(0, 19) + g.Cell(8, 19),
            std::string("510") + (r.PreFailure[s10] ? "Yes" : "No") + "194No");
}

TEST_F(DiskScreens, HistoryTableShowsEveryHeaderColumnAndFixesTheWidths) {
  PutCapture(kWd, 0);
  PutCapture(kCrucial, 1);
  Save();
  form.HDD2Click();
  const GridModel& g = form.StringGrid1;
  const auto lines = Lines();
  EXPECT_TRUE(g.visible && form.caption == "Orvanta HDD S.M.A.R.T.履歴");
  EXPECT_EQ(std::vector<int>({g.ColCount(), g.RowCount(), g.fixedRows, g.fixedCols}),
            std::vector<int>({static_cast<int>(Split(lines[0], ',').size()) - 1, 4, 2, 1}));
  EXPECT_EQ(g.Cell(0, 0) + g.Cell(0, 1), "DateTime日時");
  EXPECT_EQ(std::vector<int>({g.ColWidth(0), g.ColWidth(1), g.ColWidth(4), g.ColWidth(5)}),
            std::vector<int>({110, 55, 80, 80}));
  // Every attribute group: name 110, current/worst/threshold 55, raw 70 (both drive blocks).
  int groups = 0;
  for (int c = 0; c < g.ColCount(); ++c) {
    if (g.Cell(c, 1) != "現在値") continue;
    ++groups;
    EXPECT_EQ(std::vector<int>({g.ColWidth(c - 1), g.ColWidth(c), g.ColWidth(c + 3)}), std::vector<int>({110, 55, 70}));
  }
  EXPECT_GT(groups, 20);
  // Data lines end with a comma, so their last field is the last attribute's raw value.
  const auto data = Split(lines[2], ',');
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

// ---- the graph screen: histories of the WD capture, one line per (days ago, temperature) ----

class Graph : public DiskScreens {
 public:
  void SetUp() override {
    PutCapture(kWd, 0);
    drive = Read(0);
  }
  void Write(const std::vector<std::pair<double, int>>& records, std::vector<TSmartResult> drives = {}) {
    drives.insert(drives.begin(), drive);
    std::vector<std::string> lines = {EnglishHealthHeader(drives), JapaneseHealthHeader(drives)};
    for (const auto& [daysAgo, temperature] : records) {
      std::tie(drives[0].Temperature, drives[0].TempWorst, drives[0].TempLow) =
          std::tuple(temperature, temperature + 5, temperature - 5);
      lines.push_back(HealthDataLine(FromDayCount(ToDayCount(fake.system.now) - daysAgo), drives));
    }
    PutLines(lines);
  }
  // The latest line with field `field` changed.
  void Edit(const std::vector<std::pair<int, std::string>>& fields) {
    auto lines = Lines();
    auto f = Split(lines.back(), ',');
    for (const auto& [at, text] : fields) f[at] = text;
    lines.back() = Join(f, ",");
    PutLines(lines);
  }
  void Open() {
    form.HDDG1Click();
    ASSERT_TRUE(form.Panel1Visible);
    ASSERT_TRUE(fake.dialogs.shown.empty());
  }
  void Select(int entry) {
    form.Panel1.ComboBox1.itemIndex = entry;
    form.ComboBox1Change();
  }
  std::vector<double> Ys(const xy::TXYLineSeries& s) {
    std::vector<double> ys;
    for (int i = 0; i < s.Count(); ++i) ys.push_back(s.YValues().Get(i));
    return ys;
  }
  const xy::TGraphAxis& X() { return form.Panel1.XYGraph1.XAxis(); }
  const xy::TGraphAxis& Y() { return form.Panel1.XYGraph1.YAxis(); }
  TSmartResult drive;
};

// The X axis spans whole months up to 0; the Y axis starts at 0 and ends at 120, at 300 or where
// the values reach.
TEST_F(Graph, TheAxesFitTheRecords) {
  struct Case {
    std::vector<std::pair<double, int>> records;  // days ago, temperature (the highest value is 5 more)
    double xMin, step;
    int sub;
    double yMax;  // 0: automatic
  } cases[] = {
      {{{0.5, 40}}, -30, 10, 5, 120},  {{{-3, 40}}, -30, 10, 5, 120},  // stamped in the future: drawn at 0
      {{{50, 40}, {20, 40}, {1, 95}}, -60, 10, 5, 120},        {{{60, 40}}, -60, 10, 5, 120},
      {{{75, 40}, {10, 245}}, -90, 30, 6, 300},                 {{{400, 40}, {200, 40}, {0, 4995}}, -420, 30, 6, 0},
      {{{1000, 40}, {0, 50}}, -1020, 60, 6, 120},  // beyond 900 days the step grows by whole months
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.xMin);
    Write(c.records);
    Open();
    EXPECT_EQ(std::vector<double>({X().Min(), X().Origin(), X().Max(), X().TickStep(), 1.0 * X().SubTicksCount()}),
              std::vector<double>({c.xMin, c.xMin, 0, c.step, 1.0 * c.sub}));
    EXPECT_EQ(X().Title(), "日数");
    EXPECT_EQ(form.Panel1.Series2.Count(), static_cast<int>(c.records.size()));
    EXPECT_LE(form.Panel1.Series2.XValue(form.Panel1.Series2.Count() - 1), 0);
    EXPECT_EQ(Y().Min(), 0);
    EXPECT_EQ(Y().AutoMax(), c.yMax == 0);
    EXPECT_EQ(c.yMax == 0 ? Y().Max() >= 5000 : Y().Max() == c.yMax, true) << Y().Max();
  }
}

TEST_F(Graph, SelectorListsPreFailureAttributesWithTheirLatestJudgement) {
  Write({{1, 40}});
  Edit({{14, "過去に故障"}, {34, "警戒"}});  // the latest judgements of attributes 1 and 3
  Open();
  const auto& items = form.Panel1.ComboBox1.items;
  ASSERT_GE(items.size(), 5u);
  EXPECT_EQ(Cells(items.begin(), items.begin() + 4), (Cells{"温度", "起動回数・稼働時間", "-----------", "▲" + JapaneseAttrNames(1)}));
  const auto separator = std::find(items.begin() + 3, items.end(), "-----------");
  ASSERT_NE(separator, items.end());
  EXPECT_NE(std::find(items.begin() + 3, separator, "△" + JapaneseAttrNames(3)), separator);
  // Attributes that are not pre-failure follow the second separator, unmarked (194 on this drive).
  EXPECT_NE(std::find(separator, items.end(), JapaneseAttrNames(194)), items.end());
  for (auto it = separator; it != items.end(); ++it) EXPECT_FALSE(it->starts_with("▲") || it->starts_with("△"));

  // The marked entry plots attribute 1: current (green), worst (red), threshold (blue).
  Select(3);
  const HealthGraphPanel& p = form.Panel1;
  const int slot = FindSlot(drive, 1);
  EXPECT_EQ(p.Label26.caption, "グラフの 緑は現在値、赤は過去の最悪値、青はしきい値 です");
  EXPECT_EQ(p.Label27.caption, "過去に故障");
  EXPECT_EQ(Ys(p.Series2), std::vector<double>{1.0 * drive.Current[slot]});
  EXPECT_EQ(Ys(p.Series1), std::vector<double>{1.0 * drive.Worst[slot]});
  EXPECT_EQ(Ys(p.Series3), std::vector<double>{1.0 * drive.Threshold[slot]});
  Select(2);  // a separator does nothing
  EXPECT_EQ(p.Label27.caption, "過去に故障");
  Select(1);  // the counters: two series
  EXPECT_EQ(p.Label26.caption, "グラフの 緑は起動回数、赤は稼働時間 です");
  EXPECT_EQ(Ys(p.Series2), std::vector<double>{745});
  EXPECT_EQ(Ys(p.Series1), std::vector<double>{1040});
  EXPECT_EQ(p.Series3.Count(), 0);
  EXPECT_TRUE(Y().AutoMax());
}

TEST_F(Graph, LabelsShowTheLatestLine) {
  Write({{3, 38}, {1, 41}});
  Open();
  const HealthGraphPanel& p = form.Panel1;
  EXPECT_EQ(form.caption, "Orvanta HDD S.M.A.R.T.履歴グラフ");
  EXPECT_FALSE(form.StringGrid1.visible || form.Memo1.visible);
  // The labels stand outside the plot, not on the axis lines.
  EXPECT_FALSE(X().LabelsOnAxis() || Y().LabelsOnAxis());
  const Cells labels = {p.Label2.caption,  p.Label4.caption,  p.Label8.caption,  p.Label10.caption, p.Label12.caption,
                        p.Label16.caption, p.Label18.caption, p.Label20.caption, p.Label24.caption, p.Label25.caption,
                        p.Label27.caption};  // attribute 194's status is "-"
  EXPECT_EQ(labels, (Cells{"0", drive.ModelNumber, "2,861,588", "41℃", "46℃", "745", "1,040", "0", "2026/12/05",
                           "10:00:00", ""}));
  EXPECT_EQ(p.Label26.caption, "グラフの 緑は現在温度、赤は過去最高温度、青は過去最低温度 です");
  EXPECT_EQ(std::vector<xy::TColor>({p.Label19.color, p.Label20.color}), std::vector<xy::TColor>(2, xy::clBlack));
  EXPECT_EQ(Ys(p.Series2), (std::vector<double>{38, 41}));
  EXPECT_EQ(Ys(p.Series1), (std::vector<double>{43, 46}));
  EXPECT_EQ(Ys(p.Series3), (std::vector<double>{33, 36}));
  EXPECT_NEAR(p.Series2.XValue(0), -3, 1e-6);

  Edit({{11, "2"}});  // a warning count of 2 is red, caption too
  Open();
  EXPECT_EQ(std::vector<xy::TColor>({p.Label19.color, p.Label20.color, p.Label22.color}),
            std::vector<xy::TColor>({xy::clRed, xy::clRed, xy::clBlack}));
}

TEST_F(Graph, ASecondDriveAddsNothingToTheSelector) {
  Write({{1, 40}});
  Open();
  const std::vector<std::string> firstDrive = form.Panel1.ComboBox1.items;
  PutCapture(kCrucial, 1);
  Write({{1, 40}}, {Read(1)});
  Open();
  EXPECT_EQ(form.Panel1.ComboBox1.items, firstDrive);
}

}  // namespace
}  // namespace orv
