// The item-list exports (menus ItemList1 and ItemList2): both lists of the item catalogue side
// by side, "9x" in column 1 and "NT" in column 2, shown in the grid and written as "itemlist.csv"
// into the program's folder, where the fleet table builder takes its column headers from.
#include "app/form1.h"
#include "inventory/catalogue.h"
#include "platform/files.h"
#include "util/text_file.h"

namespace orv {

namespace {

using ListWriter = void (*)(TForm1&, const std::string&, int);

void ExportItemList(TForm1& form, ListWriter writeList) {
  form.caption = "Orvanta 項目リスト";
  GridModel& grid = form.StringGrid1;
  grid.ClearAllColumns();
  // A disk screen may have left another layout behind; this list needs the number column and
  // two label columns under one header row.
  grid.SetColCount(3);
  grid.fixedRows = 1;
  grid.fixedCols = 1;
  grid.SetRowCount(10);
  grid.SetColWidth(0, 28);
  grid.SetColWidth(1, 200);
  grid.SetColWidth(2, 200);
  grid.SetCell(1, 0, kOsKind9x);
  grid.SetCell(2, 0, kOsKindNT);
  form.NumberRows();

  writeList(form, kOsKind9x, 1);
  writeList(form, kOsKindNT, 2);

  grid.visible = true;
  form.Memo1.visible = false;
  form.Panel1Visible = false;

  Platform& p = form.platform();
  const std::string path = form.ProgramFolder() + kItemListFileName;
  std::string error;
  if (!WriteTextLines(p.files, p.codec, path, ItemListLines(grid), &error))
    form.ShowMessage("項目リストを書き込めませんでした\n" + path + "\n" + error);

  form.NumberRows();
}

}  // namespace

void WriteJapaneseLabels(TForm1& form, const std::string& osKind, int mode) {
  Platform& p = form.platform();
  WriteJapaneseLabels(form.StringGrid1, form.state.rowCounter, osKind, mode,
                      ReadScriptItemNames(p.files, p.codec, form.ProgramFolder(), osKind));
}

void WriteEnglishKeys(TForm1& form, const std::string& osKind, int mode) {
  Platform& p = form.platform();
  WriteEnglishKeys(form.StringGrid1, form.state.rowCounter, osKind, mode,
                   ReadScriptItemNames(p.files, p.codec, form.ProgramFolder(), osKind));
}

void TForm1::ItemList1Click() {
  ExportItemList(*this, [](TForm1& f, const std::string& os, int mode) { WriteJapaneseLabels(f, os, mode); });
}

void TForm1::ItemList2Click() {
  ExportItemList(*this, [](TForm1& f, const std::string& os, int mode) { WriteEnglishKeys(f, os, mode); });
}

}  // namespace orv
