// The disk-health screens over real captured drives: the status grid (live and from the latest
// saved line), the history table and the graph screen, each compared whole with its golden file
// in tests/data/disk; then the refusals and messages.
#include <gtest/gtest.h>

#include <sstream>

#include "app/form1.h"
#include "diskhealth/health_history.h"
#include "diskhealth/replay_device.h"
#include "diskhealth/smart_read.h"
#include "fakes/case_table.h"
#include "fakes/fake_platform.h"
#include "fakes/fake_smart_device.h"
#include "fakes/fake_wmi.h"
#include "util/text.h"

namespace orv {
namespace {

const char* const kPcFile = "C:\\tools\\inv\\PC01__WORKGROUP.csv";
const char* const kHistory = "C:\\tools\\inv\\hdd\\PC01__WORKGROUP.csv";
const char* const kWd = "cdi_WDC_WD30EFRX-68EUZN0";
const char* const kCrucial = "cdi_Crucial_CT250MX200SSD1";

// The grid as text: its caption, shape and column widths, then one line per row, cells split by tabs.
std::string GridText(const std::string& caption, const GridModel& g) {
  std::ostringstream out;
  out << caption << " | " << g.ColCount() << " x " << g.RowCount() << " | fixed " << g.fixedCols << "/" << g.fixedRows
      << (g.visible ? "" : " | hidden") << "\nwidths";
  for (int c = 0; c < g.ColCount(); ++c) out << " " << g.ColWidth(c);
  for (int r = 0; r < g.RowCount(); ++r) {
    out << "\n";
    for (int c = 0; c < g.ColCount(); ++c) out << (c ? "\t" : "") << g.Cell(c, r);
  }
  return out.str() + "\n";
}

std::string SeriesText(const char* name, const xy::TXYLineSeries& s) {
  std::ostringstream out;
  out << name << ":";
  for (int i = 0; i < s.Count(); ++i) out << " (" << s.XValue(i) << ", " << s.YValues().Get(i) << ")";
  return out.str() + "\n";
}

std::string AxisText(const char* name, const xy::TGraphAxis& a) {
  std::ostringstream out;
  out << name << " " << a.Title() << ": " << a.Min() << " .. " << a.Max() << " origin " << a.Origin() << " step "
      << a.TickStep() << "/" << a.SubTicksCount() << (a.AutoMax() ? " automatic top" : "")
      << (a.LabelsOnAxis() ? " labels on the axis" : "") << "\n";
  return out.str();
}

// The graph screen as text: selector, labels (red ones marked), series and axes.
std::string PanelText(const HealthGraphPanel& p) {
  std::string out = "selector: " + Join(p.ComboBox1.items, " | ") + "\n";
  const std::pair<const char*, const LabelModel*> labels[] = {
      {"2", &p.Label2},   {"4", &p.Label4},   {"6", &p.Label6},   {"8", &p.Label8},   {"10", &p.Label10},
      {"12", &p.Label12}, {"14", &p.Label14}, {"16", &p.Label16}, {"18", &p.Label18}, {"19", &p.Label19},
      {"20", &p.Label20}, {"21", &p.Label21}, {"22", &p.Label22}, {"24", &p.Label24}, {"25", &p.Label25},
      {"26", &p.Label26}, {"27", &p.Label27}};
  for (const auto& [name, label] : labels)
    out += "Label" + std::string(name) + (label->color == xy::clRed ? " (red)" : "") + ": " + label->caption + "\n";
  out += SeriesText("Series1", p.Series1) + SeriesText("Series2", p.Series2) + SeriesText("Series3", p.Series3);
  return out + AxisText("X", p.XYGraph1.XAxis()) + AxisText("Y", p.XYGraph1.YAxis());
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
  std::string Screen() { return GridText(form.caption, form.StringGrid1); }

  test::FakePlatform fake;
  std::unique_ptr<ReplaySmartDevice> device;
  TForm1 form{fake.platform, {}};
};

// Two real drives, the real Win32_DiskDrive of a VirtualBox disk as drive 0 and a second instance
// of it as drive 1: the live status grid, then the history table of one save, then the saved view
// shown without administrator rights (no event and error-rate columns, the drive number over the
// day of the week, attributes 1, 5, 7, 10, 3, 194 first).
TEST_F(DiskScreens, TheGridsOfTwoRealDrives) {
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
  form.HDD1Click();
  EXPECT_TRUE(!form.Memo1.visible && !form.Panel1Visible && fake.dialogs.shown.empty());
  test::ExpectGolden("status_live.txt", Screen());
  bool written = false;
  AppendHealthHistory(fake.platform, kPcFile, written);
  // Each screen on a form of its own: a grid keeps the widths of the screen before.
  TForm1 history(fake.platform, {});
  history.HDD2Click();
  test::ExpectGolden("history_table.txt", GridText(history.caption, history.StringGrid1));
  fake.shell.admin = false;
  TForm1 saved(fake.platform, {});
  saved.HDD1Click();
  test::ExpectGolden("status_saved.txt", GridText(saved.caption, saved.StringGrid1));
}

TEST_F(DiskScreens, RefusalsAreDialogs) {
  for (const test::Case& c : test::LoadCases("disk_refusals.txt")) {
    test::FakePlatform p;
    test::FakeSmartDevice dev, saved;
    for (const char* path : {"\\\\.\\PhysicalDrive0", "\\\\.\\SMARTVSD"}) {
      if (c[3] == "1") dev.devices[path].positions[0] = test::DrivePosition("M", "S", {{5, 0x0033, 100, 100, 0, 0}});
      saved.devices[path].positions[0] = test::DrivePosition("M", "S", {{5, 0x0033, 100, 100, 0, 0}});
    }
    p.system.os.platformId = static_cast<uint32_t>(c.Int(0));
    p.shell.admin = c[1] == "-" ? std::nullopt : std::optional<bool>(c[1] == "yes");
    bool written = false;
    p.platform.smart = &saved;
    if (c[2] == "1") AppendHealthHistory(p.platform, kPcFile, written);
    p.platform.smart = &dev;
    TForm1 f(p.platform, {});
    f.HDD1Click();
    ASSERT_EQ(p.dialogs.shown.size(), c[4].empty() ? 0u : 1u) << c.where;
    if (c[4].empty()) {
      EXPECT_EQ(f.StringGrid1.Cell(10, 0), "エラー率?") << c.where;
      continue;
    }
    EXPECT_EQ(std::pair(p.dialogs.shown[0].text, p.dialogs.shown[0].icon), std::pair(c[4], MsgIcon::Information)) << c.where;
    EXPECT_EQ(f.StringGrid1.visible, c[2] == "1") << c.where;
  }
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

// The graph screen over one save of the WD capture a day ago: pre-failure attributes are marked
// with their latest judgement (▲ failed, △ warning); the marked entry plots current, worst and
// threshold; a separator does nothing; the counters plot two series.
TEST_F(DiskScreens, TheGraphSelectorListsPreFailureAttributesWithTheirLatestJudgement) {
  PutCapture(kWd, 0);
  std::vector<TSmartResult> drives(1);
  std::string error;
  ASSERT_TRUE(ReadSmartData(fake.platform, 0, drives[0], error)) << error;
  std::tie(drives[0].Temperature, drives[0].TempWorst, drives[0].TempLow) = std::tuple(40, 45, 35);
  std::vector<std::string> line = Split(HealthDataLine(FromDayCount(ToDayCount(fake.system.now) - 1), drives), ',');
  std::tie(line[14], line[34]) = std::tuple("過去に故障", "警戒");  // the latest judgements of attributes 1 and 3
  const std::vector<std::string> history = {EnglishHealthHeader(drives), JapaneseHealthHeader(drives), Join(line, ",")};
  fake.files.Put(kHistory, fake.codec.ToCp932(Join(history, "\r\n") + "\r\n"));
  form.HDDG1Click();
  EXPECT_TRUE(form.Panel1Visible && fake.dialogs.shown.empty());
  EXPECT_FALSE(form.StringGrid1.visible || form.Memo1.visible);
  std::string screens = form.caption + "\n" + PanelText(form.Panel1);
  for (int entry : {3, 2, 1}) {
    form.Panel1.ComboBox1.itemIndex = entry;
    form.ComboBox1Change();
    screens += "-- entry " + std::to_string(entry) + "\n" + PanelText(form.Panel1);
  }
  test::ExpectGolden("graph_selector.txt", screens);
}

}  // namespace
}  // namespace orv
