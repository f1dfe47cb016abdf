// The disk health report over a fake folder whose histories the real history writer made.
#include <gtest/gtest.h>

#include <tuple>

#include "app/form1.h"
#include "diskhealth/health_history.h"
#include "fakes/case_table.h"
#include "fakes/fake_platform.h"
#include "fakes/fake_smart_device.h"
#include "fleet/report/disk_report.h"
#include "fleet/report/pc_health.h"
#include "fleet/table_files.h"
#include "inventory/csv_field.h"
#include "platform/posix/iconv_codec.h"
#include "util/text.h"

namespace orv {
namespace {

const std::string kDir = "C:\\pcdata\\";
const DateTime kNow{2026, 3, 2, 9, 0, 0, 0};

struct Save {
  double daysAgo;
  int temperature = 38, failures = 0, warnings = 0, reallocated = 0;
  std::string model = "WDC WD5000AAKX-00ERMA0";
  int spare = 97;  // an NVMe drive's available spare
};

TSmartResult Drive(const Save& s, bool nvme) {
  TSmartResult r;
  std::tie(r.DriveNum, r.Capacity, r.SerialNumber, r.ModelNumber) = std::tuple(0, 500107862016, "WCC2EUK12345", s.model);
  std::tie(r.Temperature, r.TempWorst, r.ReallocSector, r.PowerCycles, r.SmartFailTot, r.SmartWarnTot) =
      std::tuple(s.temperature, s.temperature + 6, s.reallocated, 1234, s.failures, s.warnings);
  // An NVMe drive's block: the available spare in attribute 5, the critical warning 213.
  for (int id : nvme ? std::vector<int>{5, 213} : std::vector<int>{1, 5, 194, 199}) {
    const int i = r.AttrCount++;
    r.AttrId[i] = id;
    r.AttrName[i] = "Attribute";
    r.PreFailure[i] = id == 1 || id == 213;
    r.Current[i] = r.Worst[i] = id == 5 && nvme ? s.spare : 100;
    r.AttrStatus[i] = r.PreFailure[i] ? "OK" : "-";
  }
  return r;
}

// A history as the program writes it, CP932 with CR LF.
std::string History(const std::vector<Save>& saves, bool nvme = false) {
  std::vector<TSmartResult> first = {Drive(saves.front(), nvme)};
  std::string text = EnglishHealthHeader(first) + "\r\n" + JapaneseHealthHeader(first) + "\r\n";
  for (const Save& s : saves)
    text += HealthDataLine(FromDayCount(ToDayCount(kNow) - s.daysAgo), {Drive(s, nvme)}) + "\r\n";
  return IconvCodec().ToCp932(text);
}

struct Folder {
  test::FakeFiles files;
  IconvCodec codec;
  BufferedTableFiles pages{files};
  Folder() { files.AddFolder(kDir + "hdd"); }

  // A per-PC file saved `daysAgo` (rows 1, 3, 12 and 30 as given), and its history when given.
  void Pc(const std::string& name, std::optional<std::string> history, double daysAgo = 1,
          const std::string& row1 = "", const std::string& model = "OptiPlex 7070") {
    std::string text;
    for (int row = 1; row <= 40; ++row)
      text += CsvField(row == 1 ? (row1.empty() ? name + "__WG" : row1) : row == 3 ? "sato" : row == 12 ? model
                                   : row == 30 ? "Windows 10 Pro" : "x") + "\r\n";
    files.Put(kDir + name + "__WG.csv", codec.ToCp932(text));
    files.writeTimes[LowerCase(kDir + name + "__WG.csv")] = FromDayCount(ToDayCount(kNow) - daysAgo);
    if (history) files.Put(kDir + "hdd\\" + name + "__WG.csv", *history);
  }
  std::string Run() {
    DiskReportResult r = BuildDiskReport(files, codec, pages, "C:\\pcdata", kNow);
    EXPECT_TRUE(r.ok) << r.message;
    EXPECT_EQ(r.path, kDir + "report.html");
    return files.Get(kDir + "report.html");
  }
};

// The part of the page that shows computer `name`.
std::string RowOf(const std::string& page, const std::string& name) {
  size_t at = page.find(">" + name + "<br>");
  if (at == std::string::npos) return {};
  at = page.rfind("<tbody", at);
  return page.substr(at, page.find("</tbody>", at) - at);
}

// A per-PC line back to its value: a quoted field unquoted, the spreadsheet guard taken off.
TEST(DiskReport, PcFileValuesReadAsTheyWereWritten) {
  for (const test::Case& c : test::LoadCases("disk_pc_file_values.txt")) EXPECT_EQ(report::PcFileValue(c[0]), c[1]) << c.where;
}

// Worst first (failing, warning, worsened, hot, not saved for long, unreadable, without history),
// then by name.
TEST(DiskReport, ComputersRankWorstFirstThenByName) {
  Folder f;
  const std::vector<Save> fine = {{20}, {2}};
  f.Pc("zeta", History(fine));
  f.Pc("Alpha", History(fine));
  f.Pc("FAILPC", History({{9}, {1, 40, 1}}));
  f.Pc("WARNPC", History({{9, 40, 0, 1}, {1, 40, 0, 2}}));
  f.Pc("WORSEPC", History({{9}, {1, 40, 0, 0, 8}}));
  f.Pc("HOTPC", History({{9}, {1, 57}}));
  f.Pc("OLDPC", History({{60}, {40}}), 40);
  std::string cut = History(fine);
  f.Pc("BROKEN", cut.substr(0, cut.size() - 40));
  f.Pc("NOHIST", std::nullopt);
  // Markup in a model, a computer name and the event log is shown as text.
  f.Pc("evil", History({{1, 40, 0, 0, 0, "<img src=x onerror=alert(1)>"}}), 1,
       "<script>alert(\"x\")</script>&'__WG", "<b>\"M\"&'</b>");
  f.files.Put(kDir + "hdd\\_hddfail.txt", "<script>x</script>       2026/03/01 10:00:00  故障 1/0  警告 0/0\r\n");
  // The order, the counts under every concern that applies (a failure and a warning that rose
  // also count as worsened), the charts, the texts of unreadable histories: the whole page.
  const std::string page = f.Run();
  test::ExpectGolden("report_ranking.html", page);
}

// A history that is missing, cut short, edited by hand or of an older layout: the computer says
// so and the page goes on; a bad line before the last one is only left out.
TEST(DiskReport, BadHistoriesAreNamedAndThePageGoesOn) {
  const std::string two = History({{3}, {1}}), dataLine = two.substr(two.rfind("2026/"));
  auto lastLineEdited = [&](int field, const std::string& text) {
    std::vector<std::string> lines = SplitLines(IconvCodec().FromCp932(two)), fields = Split(lines.back(), ',');
    fields[field] = text;
    lines.back() = Join(fields, ",");
    return Join(lines, "\r\n") + "\r\n";
  };
  const std::pair<std::optional<std::string>, const char*> cases[] = {
      {std::nullopt, "履歴なし"},
      {"", "履歴が読めません"},
      {two.substr(0, two.find("2026/")), "履歴が読めません"},  // the headers alone
      {two.substr(0, two.size() - 25), "履歴が読めません"},
      {lastLineEdited(10, "x"), "履歴が読めません"},
      {lastLineEdited(10, ""), "履歴が読めません"},
      {lastLineEdited(0, "2026/02/30 10:00:00"), "履歴が読めません"},
      {lastLineEdited(0, "2026/03/01 25:00:00"), "履歴が読めません"},
      {lastLineEdited(0, "2024/02/29 10:00:00"), "<tr class=\"drive\">"},  // a leap day
      {"DateTime,DayOfWeek,DriveNum\r\n日時\r\n2026/03/01 10:00:00,1,0,476940,M,S,40\r\n", "履歴が読めません"},
      {two + "garbage,,\r\n" + dataLine, "<tr class=\"drive\">"},
      // The spare of an NVMe drive shown, and its fall counted as a worsening.
      {History({{3}, {1, 38, 0, 0, 0, "NVMe", 95}}, true), "悪化</span></td><td class=\"num\">38 ℃ / 44 ℃</td><td class=\"num\">予備 95 %"},
      {History({{3, 38, 0, 0, 0, "NVMe", 95}, {1, 38, 0, 0, 0, "NVMe", 95}}, true), "異常なし"},  // a spare that stays
  };
  for (const auto& [history, shown] : cases) {
    Folder f;
    f.Pc("PC01", history);
    f.Pc("PC02", History({{2}}));
    const std::string page = f.Run();
    EXPECT_TRUE(EndsWith(page, "</html>\n"));
    EXPECT_NE(RowOf(page, "PC01").find(shown), std::string::npos) << RowOf(page, "PC01");
    EXPECT_NE(RowOf(page, "PC02").find("<tr class=\"drive\">"), std::string::npos);
  }
}

// The menu command writes the page beside the program and opens it; a page it cannot write is a message.
TEST(DiskReport, MenuCommandWritesInTheProgramFolderAndOpensThePage) {
  test::FakePlatform p;
  p.files.Put("C:\\tools\\inv\\PC01__WG.csv", "PC01__WG\r\n");
  TForm1 form(p.platform, {"/a"});
  form.OnMenu(MenuId::DiskReport1);
  EXPECT_EQ(p.shell.opened, std::vector<std::string>{"C:\\tools\\inv\\report.html"});
  p.files.failWrites.insert(LowerCase("C:\\tools\\inv\\report.html"));
  form.OnMenu(MenuId::DiskReport1);
  ASSERT_EQ(p.dialogs.shown.size(), 1u);
  EXPECT_EQ(p.dialogs.shown[0].text, "report.htmlが開けません");
  EXPECT_EQ(p.shell.opened.size(), 1u);
}

}  // namespace
}  // namespace orv
