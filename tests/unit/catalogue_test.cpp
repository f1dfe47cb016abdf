#include <gtest/gtest.h>

#include <cctype>
#include <set>
#include <string>
#include <vector>

#include "app/form1.h"
#include "fakes/fake_platform.h"
#include "inventory/catalogue.h"
#include "inventory/csv_field.h"

namespace orv {
namespace {

using test::FakePlatform;
using Names = std::vector<std::string>;

const char* const kItemList = "C:\\tools\\inv\\itemlist.csv";
const char* const kScript = "C:\\tools\\inv\\regitems.txt";

// The lines of a file that must end every line with CR LF.
Names CrLfLines(const std::string& bytes) {
  Names lines;
  size_t start = 0;
  while (start < bytes.size()) {
    size_t end = bytes.find("\r\n", start);
    if (end == std::string::npos) {
      ADD_FAILURE() << "last line without CR LF";
      break;
    }
    std::string line = bytes.substr(start, end - start);
    EXPECT_EQ(line.find_first_of("\r\n"), std::string::npos) << "stray line break in " << line;
    lines.push_back(line);
    start = end + 2;
  }
  return lines;
}

// ---- the two label lists ----

struct ListCase {
  const char* name;
  Names (*list)(const std::string&);
  size_t rows;
  std::set<size_t> ntOnly;  // 1-based rows labelled only for "NT"
  std::set<size_t> empty;   // rows never labelled
};

class LabelListTest : public ::testing::TestWithParam<ListCase> {};

TEST_P(LabelListTest, ConditionalRowsDependOnTheOsKindOnly) {
  const ListCase& c = GetParam();
  Names nt = c.list("NT"), nine = c.list("9x");
  ASSERT_EQ(nt.size(), c.rows);
  ASSERT_EQ(nine.size(), c.rows);
  for (size_t row = 1; row <= c.rows; ++row) {
    const std::string& a = nt[row - 1];
    const std::string& b = nine[row - 1];
    if (c.empty.count(row)) {
      EXPECT_EQ(a, "") << row;
      EXPECT_EQ(b, "") << row;
    } else if (c.ntOnly.count(row)) {
      EXPECT_NE(a, "") << row;
      EXPECT_EQ(b, "") << row;
    } else {
      EXPECT_NE(a, "") << row;
      EXPECT_EQ(a, b) << row;
    }
    // No fixed label needs quoting in itemlist.csv.
    EXPECT_EQ(CsvField(a), a) << row;
  }
}

INSTANTIATE_TEST_SUITE_P(Lists, LabelListTest,
                         ::testing::Values(ListCase{"Japanese", JapaneseLabels, 90, {25, 35}, {7, 33}},
                                           ListCase{"English", EnglishKeys, 61, {25, 33, 35}, {7}}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(LabelLists, SelectedLabels) {
  Names ja = JapaneseLabels("NT");
  EXPECT_EQ(ja[0], "CSVファイル名");
  EXPECT_EQ(ja[1], "OVTバージョン");
  EXPECT_EQ(ja[14], "メモリ速度MHz/L2キャッシュkB");
  EXPECT_EQ(ja[24], "時計誤差Min");
  EXPECT_EQ(ja[34], "管理者権限");
  EXPECT_EQ(ja[47], "メモリ スロット/形式/MB/MHz/TotalWidth/MemoryType");
  EXPECT_EQ(ja[55], "HDD 故障/警戒");
  EXPECT_EQ(ja[60], "HDD 温度（℃）");
  EXPECT_EQ(ja[61], "NIC名称");
  EXPECT_EQ(ja[68], "WINS");
  for (size_t i = 61; i < 69; ++i) EXPECT_EQ(ja[i + 8], ja[i]) << "second adapter row " << i + 9;
  EXPECT_EQ(ja[77], "VirusScanVer");
  EXPECT_EQ(ja[89], "起動後時間");

  Names en = EnglishKeys("NT");
  EXPECT_EQ(en[0], "CsvFileName");
  EXPECT_EQ(en[24], "TimeDifference");
  EXPECT_EQ(en[32], "LatestWinPatch");
  EXPECT_EQ(en[34], "IsAdmin");
  EXPECT_EQ(en[51], "MPU ID番号");
  EXPECT_EQ(en[52], "メモリ空き容量MB");
  EXPECT_EQ(en[59], "TrendMicro");
  EXPECT_EQ(en[60], "TrendMicro");
  // Any text other than "NT" is the 9x family, letter case included.
  EXPECT_EQ(JapaneseLabels("nt")[24], "");
}

// ---- script item names ----

TEST(ScriptItemNames, WorkedExample) {
  Names script = {"HKEY_LOCAL_MACHINE",
                  "\\Software\\Microsoft\\Windows\\CurrentVersion",
                  "ProgramFilesDir==Program Files",
                  "%VersionNumber==Version",
                  "/--- local ---",
                  "//comment",
                  "",
                  "#printers 2",
                  "$USERNAME",
                  "?9x",
                  "?NT",
                  "?end",
                  "// last line"};
  Names expected = {"Program Files", "Version", "/--- local ---", "", "#printers", "", "$USERNAME"};
  EXPECT_EQ(ScriptItemNames(script, "NT"), expected);
  EXPECT_EQ(ScriptItemNames(script, "9x"), expected);
}

struct NamesCase {
  const char* what;
  Names lines;
  const char* osKind;
  Names names;
};

class ScriptNamesTest : public ::testing::TestWithParam<NamesCase> {};

TEST_P(ScriptNamesTest, Names) {
  const NamesCase& c = GetParam();
  EXPECT_EQ(ScriptItemNames(c.lines, c.osKind), c.names) << c.what;
}

INSTANTIATE_TEST_SUITE_P(
    Lines, ScriptNamesTest,
    ::testing::Values(
        NamesCase{"no lines", {}, "NT", {}},
        NamesCase{"one line is the last line", {"item"}, "NT", {}},
        NamesCase{"last line is an item line", {"a", "b==B"}, "NT", {"a"}},
        NamesCase{"empty lines are items", {"", "", "x"}, "NT", {"", ""}},
        NamesCase{"label after the first ==", {"a==b==c", "==", "v==", "x"}, "NT", {"b==c", "", ""}},
        NamesCase{"other kinds keep their first characters",
                  {"&Office", "$USERNAME==User", ">WinVersion", ">Excel?", "<社員番号", ".xls FileVersion",
                   "/literal", "plain", "HKEY", "x"},
                  "NT",
                  {"&Office", "User", ">WinVersion", ">Excel?", "<社員番号", ".xls FileVersion", "/literal",
                   "plain", "HKEY"}},
        NamesCase{"lines without a name",
                  {"HKEY_CURRENT_USER", "HKEY_LOCAL_MACHINE\\Software", "\\Software\\X", "\\Software\\*\\Y",
                   "\\Software\\X*", "//comment", "// c==d", "x"},
                  "NT",
                  {}},
        NamesCase{"count lines",
                  {"#x 3", "#x abc", "#x -2", "#x 0", "#x 1", "#x", "#notes.txt", "#running excel.exe winword.exe",
                   "#shareddir 2==Shares", "#x  2", "#x 2 3", "#x 99999999999", "x"},
                  "NT",
                  {"#x", "", "",    // 3: two unlabelled rows
                   "#x",            // not a whole number: 1
                   "#x",            // negative: no further rows
                   "#x", "#x", "#x", "#notes.txt", "#running",
                   "#shareddir",    // "2==Shares" is no whole number
                   "#x", "",        // blanks around the number are allowed
                   "#x", "#x"}},    // "2 3" and a number beyond 32 bits count 1
        NamesCase{"count line as last line", {"a", "#x 3"}, "NT", {"a"}},
        NamesCase{"the most negative count", {"#printers -2147483648", "#x $80000000", "x"}, "NT", {"#printers", "#x"}},
        NamesCase{"sections for NT",
                  {"?NT", "a", "?9x", "b", "?NT 9x", "c", "?nt", "d", "?end", "e", "?NT", "f", "last"},
                  "NT",
                  {"a", "c", "f"}},
        NamesCase{"sections for 9x",
                  {"?NT", "a", "?9x", "b", "?NT 9x", "c", "?nt", "d", "?end", "e", "?NT", "f", "last"},
                  "9x",
                  {"b", "c"}},
        NamesCase{"a skipped section runs to the end", {"a", "?9x", "b", "c", "d"}, "NT", {"a"}},
        NamesCase{"?END behaves like any other header", {"?END", "a", "?NT", "b", "c"}, "NT", {"b"}},
        NamesCase{"a header found by skipping may be the last line", {"?9x", "a", "?NT"}, "NT", {}},
        NamesCase{"consecutive headers", {"?9x", "?NT", "a", "x"}, "NT", {"a"}},
        NamesCase{"the OS kind anywhere in the header", {"?Windows NT only", "a", "x"}, "NT", {"a"}}),
    [](const auto& info) {
      std::string n;
      for (char ch : std::string(info.param.what)) n += std::isalnum(static_cast<unsigned char>(ch)) ? ch : '_';
      return n + "_" + info.param.osKind;
    });

TEST(ReadScriptItemNames, ReadsTheCp932FileBesideTheProgram) {
  FakePlatform p;
  EXPECT_TRUE(ReadScriptItemNames(p.files, p.codec, "C:\\tools\\inv\\", "NT").empty());

  p.files.Put(kScript, "Memo==\x94\xF5\x8Dl\n#x 2\r\nlast\n");
  EXPECT_EQ(ReadScriptItemNames(p.files, p.codec, "C:\\tools\\inv\\", "NT"), (Names{"備考", "#x", ""}));

  p.files.failReads.insert("c:\\tools\\inv\\regitems.txt");
  EXPECT_TRUE(ReadScriptItemNames(p.files, p.codec, "C:\\tools\\inv\\", "NT").empty());
}

// ---- label writers ----

TEST(AddLabel, WritesTheChosenColumnsAndGrowsTheGrid) {
  struct Case {
    int mode;
    const char* col1;
    const char* col2;
  };
  for (Case c : {Case{1, "name", "old2"}, Case{2, "old1", "name"}, Case{0, "name", "name"}, Case{3, "name", "name"}}) {
    GridModel grid;  // 10 rows
    grid.SetCell(1, 4, "old1");
    grid.SetCell(2, 4, "old2");
    int counter = 4;
    AddLabel(grid, counter, "name", c.mode);
    EXPECT_EQ(counter, 5);
    EXPECT_EQ(grid.RowCount(), 10);
    EXPECT_EQ(grid.Cell(1, 4), c.col1) << "mode " << c.mode;
    EXPECT_EQ(grid.Cell(2, 4), c.col2) << "mode " << c.mode;
  }

  GridModel grid;
  int counter = 9;
  AddLabel(grid, counter, "last row", 1);
  EXPECT_EQ(grid.RowCount(), 10);
  AddLabel(grid, counter, "new row", 1);
  EXPECT_EQ(grid.RowCount(), 11);
  EXPECT_EQ(grid.Cell(1, 10), "new row");
  counter = 40;  // a counter far beyond the grid grows it in one step
  AddLabel(grid, counter, "far", 2);
  EXPECT_EQ(grid.RowCount(), 41);
  EXPECT_EQ(grid.Cell(2, 40), "far");
  EXPECT_EQ(counter, 41);
}

TEST(WriteJapaneseLabels, LabelsColumnOneAfterTheValuesAndKeepsThem) {
  // As after a collection run: the values stand in column 2, the counter past them.
  GridModel grid;
  int counter = 1;
  for (int row = 1; row <= 95; ++row) AddLabel(grid, counter, "v" + std::to_string(row), 2);
  WriteJapaneseLabels(grid, counter, "9x", 1, {"Program Files", "#printers", ""});
  EXPECT_EQ(counter, 94);
  EXPECT_EQ(grid.RowCount(), 96);
  EXPECT_EQ(grid.Cell(1, 1), "CSVファイル名");
  EXPECT_EQ(grid.Cell(1, 25), "");
  EXPECT_EQ(grid.Cell(1, 90), "起動後時間");
  EXPECT_EQ(grid.Cell(1, 91), "Program Files");
  EXPECT_EQ(grid.Cell(1, 92), "#printers");
  EXPECT_EQ(grid.Cell(1, 94), "");
  for (int row = 1; row <= 95; ++row) EXPECT_EQ(grid.Cell(2, row), "v" + std::to_string(row));
}

TEST(WriteJapaneseLabels, OnTheFormReadsTheScriptAndUsesTheSharedCounter) {
  FakePlatform p;
  p.files.Put(kScript, "?NT\r\nNT only\r\n?9x\r\n9x only\r\n// end\r\n");
  TForm1 f(p.platform, {});
  f.state.rowCounter = 30;
  WriteJapaneseLabels(f, "NT", 1);
  EXPECT_EQ(f.state.rowCounter, 92);
  EXPECT_EQ(f.StringGrid1.Cell(1, 25), "時計誤差Min");
  EXPECT_EQ(f.StringGrid1.Cell(1, 91), "NT only");
}

// ---- item-list exports ----

TEST(ItemListExport, JapaneseWithoutAScriptWritesNinetyLines) {
  FakePlatform p;
  TForm1 f(p.platform, {});
  f.OnMenu(MenuId::ItemList1);

  Names lines = CrLfLines(p.files.Get(kItemList));
  ASSERT_EQ(lines.size(), 90u);
  EXPECT_EQ(lines[0] + "\r\n",
            "CSV\x83" "t\x83" "@\x83" "C\x83" "\x8B" "\x96" "\xBC" ",CSV\x83" "t\x83" "@\x83" "C\x83" "\x8B"
            "\x96" "\xBC" "\r\n");
  EXPECT_EQ(lines[24] + "\r\n", ",\x8E" "\x9E" "\x8C" "v\x8C" "\xEB" "\x8D" "\xB7" "Min\r\n");
  EXPECT_EQ(lines[34], "," + p.codec.ToCp932("管理者権限"));
  EXPECT_EQ(lines[60] + "\r\n", "HDD \x89" "\xB7" "\x93" "x\x81" "i\x81" "\x8E" "\x81" "j,HDD \x89" "\xB7" "\x93"
                                "x\x81" "i\x81" "\x8E" "\x81" "j\r\n");
  EXPECT_EQ(lines[6], ",");
  EXPECT_EQ(lines[32], ",");
  EXPECT_EQ(lines[89], p.codec.ToCp932("起動後時間,起動後時間"));

  // The screen: the grid with the two columns, numbered rows.
  EXPECT_EQ(f.caption, "Orvanta 項目リスト");
  EXPECT_TRUE(f.StringGrid1.visible);
  EXPECT_FALSE(f.Memo1.visible);
  EXPECT_FALSE(f.Panel1Visible);
  EXPECT_EQ(f.StringGrid1.RowCount(), 91);
  EXPECT_EQ(f.StringGrid1.fixedCols, 1);
  EXPECT_EQ(f.StringGrid1.ColWidth(0), 28);
  EXPECT_EQ(f.StringGrid1.ColWidth(1), 200);
  EXPECT_EQ(f.StringGrid1.ColWidth(2), 200);
  EXPECT_EQ(f.StringGrid1.Cell(1, 0), "9x");
  EXPECT_EQ(f.StringGrid1.Cell(2, 0), "NT");
  EXPECT_EQ(f.StringGrid1.Cell(0, 1), "1");
  EXPECT_EQ(f.StringGrid1.Cell(0, 90), "90");
  EXPECT_EQ(f.state.rowCounter, 91);
  EXPECT_TRUE(p.dialogs.shown.empty());
}

TEST(ItemListExport, EnglishWithoutAScriptWritesSixtyOneLines) {
  FakePlatform p;
  TForm1 f(p.platform, {});
  f.OnMenu(MenuId::ItemList2);
  Names lines = CrLfLines(p.files.Get(kItemList));
  ASSERT_EQ(lines.size(), 61u);
  EXPECT_EQ(lines[0], "CsvFileName,CsvFileName");
  EXPECT_EQ(lines[6], ",");
  EXPECT_EQ(lines[24], ",TimeDifference");
  EXPECT_EQ(lines[32], ",LatestWinPatch");
  EXPECT_EQ(lines[34], ",IsAdmin");
  EXPECT_EQ(lines[53], "McAfeeVer,McAfeeVer");
  EXPECT_EQ(lines[60], "TrendMicro,TrendMicro");
  EXPECT_EQ(f.caption, "Orvanta 項目リスト");
}

TEST(ItemListExport, ScriptNamesFollowPerOsKindAndAreEscaped) {
  FakePlatform p;
  p.files.Put(kScript,
              "?9x\r\nWin9x item\r\n?NT\r\nHKEY_LOCAL_MACHINE\r\n\\Software\\X\r\nValue==NT item\r\n"
              "#printers 2\r\n?NT 9x\r\n$USERNAME\r\na,b\r\n=x\r\n// end\r\n");
  TForm1 f(p.platform, {});
  f.OnMenu(MenuId::ItemList1);
  Names lines = CrLfLines(p.files.Get(kItemList));
  ASSERT_EQ(lines.size(), 96u);
  EXPECT_EQ(lines[90], "Win9x item,NT item");
  EXPECT_EQ(lines[91], "$USERNAME,#printers");
  EXPECT_EQ(lines[92], "\"a,b\",");
  EXPECT_EQ(lines[93], "'=x,$USERNAME");
  EXPECT_EQ(lines[94], ",\"a,b\"");
  EXPECT_EQ(lines[95], ",'=x");
}

TEST(ItemListExport, ReplacesAnOldFileAndAnOldGridLayout) {
  FakePlatform p;
  p.files.Put(kItemList, "old,contents\r\nmore\r\n");
  TForm1 f(p.platform, {});
  // As a disk history screen leaves the grid: one column, two fixed rows, many rows.
  f.StringGrid1.SetColCount(11);
  f.StringGrid1.SetRowCount(300);
  f.StringGrid1.SetCell(1, 200, "stale");
  f.StringGrid1.SetCell(2, 5, "stale");
  f.StringGrid1.SetColCount(1);
  f.StringGrid1.fixedRows = 2;
  f.OnMenu(MenuId::ItemList2);
  EXPECT_EQ(f.StringGrid1.ColCount(), 3);
  EXPECT_EQ(f.StringGrid1.fixedRows, 1);
  EXPECT_EQ(f.StringGrid1.RowCount(), 62);
  EXPECT_EQ(f.StringGrid1.Cell(2, 5), "WorkGroup");
  Names lines = CrLfLines(p.files.Get(kItemList));
  ASSERT_EQ(lines.size(), 61u);
  EXPECT_EQ(lines[4], "WorkGroup,WorkGroup");
}

TEST(ItemListExport, AFailedWriteIsReported) {
  FakePlatform p;
  p.files.failWrites.insert("c:\\tools\\inv\\itemlist.csv");
  TForm1 f(p.platform, {});
  f.OnMenu(MenuId::ItemList1);
  ASSERT_EQ(p.dialogs.shown.size(), 1u);
  EXPECT_NE(p.dialogs.shown[0].text.find(kItemList), std::string::npos);
  EXPECT_NE(p.dialogs.shown[0].text.find("write failed"), std::string::npos);
  EXPECT_EQ(p.dialogs.shown[0].caption, "Orvanta");
  // The list is still on screen.
  EXPECT_TRUE(f.StringGrid1.visible);
  EXPECT_EQ(f.StringGrid1.Cell(1, 1), "CSVファイル名");
  EXPECT_EQ(f.StringGrid1.Cell(0, 90), "90");
}

}  // namespace
}  // namespace orv
