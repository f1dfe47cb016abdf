#include <gtest/gtest.h>

#include <algorithm>

#include "app/form1.h"
#include "fakes/case_table.h"
#include "fakes/fake_platform.h"
#include "fakes/test_data.h"
#include "inventory/catalogue.h"
#include "util/text.h"

namespace orv {
namespace {

using Names = std::vector<std::string>;

const char* const kItemList = "C:\\tools\\inv\\itemlist.csv";
const char* const kScript = "C:\\tools\\inv\\regitems.txt";

// The catalogue's line rules; values and names must stay row for row (the evaluator's side is
// checked in reg_items_test).
TEST(ScriptItemNames, LineRules) {
  for (const test::Case& c : test::LoadCases("record_catalogue_names.txt")) {
    const auto equals = std::find(c.fields.begin(), c.fields.end(), "=");
    EXPECT_EQ(ScriptItemNames(Names(c.fields.begin() + 1, equals), c[0]), Names(equals + 1, c.fields.end())) << c.where;
  }
}

// Both lists side by side, 9x in column 1 and NT in column 2, escaped as record fields, compared
// with data/records/itemlist_*.csv (CP932, CR LF); run with ORV_RECORD_GOLDEN=1 to write them anew
// after a deliberate change, and review their diff.
TEST(ItemListExport, BothOsKindsSideBySideWithTheScriptNames) {
  test::FakePlatform p;
  p.files.Put(kScript, "?9x\r\nWin9x item\r\n?NT\r\nValue==NT item\r\n#printers 2\r\n?NT 9x\r\na,b\r\n=x\r\n// end\r\n");
  p.files.Put(kItemList, "old\r\n");
  TForm1 f(p.platform, {});
  f.StringGrid1.SetColCount(1);  // as a disk screen leaves it
  f.StringGrid1.fixedRows = 2;
  f.OnMenu(MenuId::ItemList1);
  test::ExpectGoldenFile("records/itemlist_ja.csv", p.files.Get(kItemList), "ORV_RECORD_GOLDEN");
  EXPECT_EQ(f.StringGrid1.ColCount(), 3);
  EXPECT_EQ(f.StringGrid1.fixedRows, 1);
  EXPECT_EQ(f.StringGrid1.Cell(2, 0), "NT");
  EXPECT_EQ(f.StringGrid1.Cell(0, 95), "95");

  f.OnMenu(MenuId::ItemList2);
  test::ExpectGoldenFile("records/itemlist_en.csv", p.files.Get(kItemList), "ORV_RECORD_GOLDEN");
}

}  // namespace
}  // namespace orv
