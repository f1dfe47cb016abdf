#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "app/form1.h"
#include "fakes/case_table.h"
#include "fakes/fake_platform.h"
#include "fakes/test_data.h"
#include "inventory/catalogue.h"
#include "util/text.h"

namespace orv {
namespace {

using test::FakePlatform;
using Names = std::vector<std::string>;

const char* const kItemList = "C:\\tools\\inv\\itemlist.csv";
const char* const kScript = "C:\\tools\\inv\\regitems.txt";

// An exported item list compared with data/records/<name> (CP932, CR LF); run with
// ORV_RECORD_GOLDEN=1 to write the files anew after a deliberate change, and review their diff.
void ExpectItemList(const std::string& bytes, const std::string& name) {
  test::ExpectGoldenFile("records/" + name, bytes, "ORV_RECORD_GOLDEN");
}

// The rows of both lists for both OS kinds are in the item list golden files (ItemListExport);
// any OS kind but "NT" is the 9x family.
TEST(LabelLists, AnyOsKindButNtIsTheNineXFamily) {
  EXPECT_EQ(JapaneseLabels("nt"), JapaneseLabels("9x"));
  EXPECT_EQ(EnglishKeys("nt"), EnglishKeys("9x"));
  EXPECT_NE(EnglishKeys("NT"), EnglishKeys("9x"));
}

// The catalogue's line rules; values and names must stay row for row (the evaluator's side is
// checked in reg_items_test).
TEST(ScriptItemNames, LineRules) {
  for (const test::Case& c : test::LoadCases("record_catalogue_names.txt")) {
    const auto equals = std::find(c.fields.begin(), c.fields.end(), "=");
    EXPECT_EQ(ScriptItemNames(Names(c.fields.begin() + 1, equals), c[0]), Names(equals + 1, c.fields.end())) << c.where;
  }
}

TEST(ReadScriptItemNames, ReadsTheCp932FileBesideTheProgram) {
  FakePlatform p;
  EXPECT_TRUE(ReadScriptItemNames(p.files, p.codec, "C:\\tools\\inv\\", "NT").empty());
  p.files.Put(kScript, "Memo==\x94\xF5\x8Dl\n#x 2\r\nlast\n");
  EXPECT_EQ(ReadScriptItemNames(p.files, p.codec, "C:\\tools\\inv\\", "NT"), (Names{"備考", "#x", ""}));
}

TEST(AddLabel, WritesTheChosenColumnsAndGrowsTheGrid) {
  for (int mode : {0, 1, 2, 3}) {
    GridModel grid;  // 10 rows
    int counter = 9;
    AddLabel(grid, counter, "last", mode);
    EXPECT_EQ(grid.RowCount(), 10);
    AddLabel(grid, counter, "new", mode);
    EXPECT_EQ(counter, 11);
    EXPECT_EQ(grid.RowCount(), 11);
    EXPECT_EQ(grid.Cell(1, 10), mode == 2 ? "" : "new") << mode;
    EXPECT_EQ(grid.Cell(2, 10), mode == 1 ? "" : "new") << mode;
  }
}

TEST(WriteJapaneseLabels, OnTheFormReadsTheScriptAndRestartsTheSharedCounter) {
  FakePlatform p;
  p.files.Put(kScript, "?NT\r\nNT only\r\n?9x\r\n9x only\r\n// end\r\n");
  TForm1 f(p.platform, {});
  f.state.rowCounter = 30;
  f.StringGrid1.SetCell(2, 1, "value");
  WriteJapaneseLabels(f, "NT", 1);
  EXPECT_EQ(f.state.rowCounter, 92);
  EXPECT_EQ(f.StringGrid1.Cell(2, 1), "value");
  EXPECT_EQ(f.StringGrid1.Cell(1, 91), "NT only");
}

// Both lists side by side, 9x in column 1 and NT in column 2, escaped as record fields.
TEST(ItemListExport, BothOsKindsSideBySideWithTheScriptNames) {
  FakePlatform p;
  p.files.Put(kScript, "?9x\r\nWin9x item\r\n?NT\r\nValue==NT item\r\n#printers 2\r\n?NT 9x\r\na,b\r\n=x\r\n// end\r\n");
  p.files.Put(kItemList, "old\r\n");
  TForm1 f(p.platform, {});
  f.StringGrid1.SetColCount(1);  // as a disk screen leaves it
  f.StringGrid1.fixedRows = 2;
  f.OnMenu(MenuId::ItemList1);
  ExpectItemList(p.files.Get(kItemList), "itemlist_ja.csv");
  EXPECT_EQ(f.StringGrid1.ColCount(), 3);
  EXPECT_EQ(f.StringGrid1.fixedRows, 1);
  EXPECT_EQ(f.StringGrid1.Cell(2, 0), "NT");
  EXPECT_EQ(f.StringGrid1.Cell(0, 95), "95");

  f.OnMenu(MenuId::ItemList2);
  ExpectItemList(p.files.Get(kItemList), "itemlist_en.csv");
}

TEST(ItemListExport, AFailedWriteIsReportedAndTheListStaysOnScreen) {
  FakePlatform p;
  p.files.failWrites.insert("c:\\tools\\inv\\itemlist.csv");
  TForm1 f(p.platform, {});
  f.OnMenu(MenuId::ItemList1);
  ASSERT_EQ(p.dialogs.shown.size(), 1u);
  EXPECT_NE(p.dialogs.shown[0].text.find(kItemList), std::string::npos);
  EXPECT_EQ(f.StringGrid1.Cell(1, 1), "CSVファイル名");
}

}  // namespace
}  // namespace orv
