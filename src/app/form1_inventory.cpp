// The read command (collection run) and the save command.
#include <string>

#include "app/form1.h"
#include "diskhealth/health_history.h"
#include "inventory/catalogue.h"
#include "inventory/collection_run.h"
#include "inventory/pc_file.h"
#include "inventory/record_writer.h"
#include "platform/dialogs.h"
#include "platform/files.h"
#include "platform/null_services.h"
#include "util/text_file.h"

namespace orv {

void TForm1::Read1Click() {
  caption = kProgramTitle;
  Panel1Visible = false;
  StringGrid1.ClearAllColumns();
  StringGrid1.SetRowCount(10);
  StringGrid1.SetColCount(3);
  if (ConfirmDiscard()) return;
  ResetScreen();
  Item(MenuId::Save1).enabled = true;

  NullWmi noWmi;
  NullCpu noCpu;
  CollectionServices services{platform_, platform_.wmi ? *platform_.wmi : noWmi,
                              platform_.cpu ? *platform_.cpu : noCpu};
  state.rowCounter = 1;
  RecordWriter writer(StringGrid1, Memo1, state.rowCounter);
  CollectionResult run = CollectRecord(services, CollectionInput{state.saveFolder, state.keyOpen}, ProgramFolder(),
                                       Memo1, [&writer](const std::string& v) { writer.AddValue(v); });
  state.computerStem = run.computerStem;
  state.programFilesFolder = run.programFilesFolder;
  state.keyOpen = run.keyOpen;
  // Without the script rows, the rows after 90 no longer match the item catalogue and the fleet
  // tables would split the record at the wrong place: such a record never replaces a good file.
  state.scriptUnreadable = run.scriptUnreadable;
  if (run.scriptUnreadable && showMainForm)
    platform_.dialogs.ShowBox("登録項目スクリプトを読み込めませんでした: " + ProgramFolder() + kScriptFileName +
                                  "\n保存しても PC ごとのファイルは置き換えず、前回のファイルを残します",
                              kProgramTitle, MsgButtons::Ok, MsgIcon::Warning);

  StringGrid1.SetColWidth(0, 28);
  StringGrid1.SetColWidth(1, 200);
  StringGrid1.SetColWidth(2, 480);
  StringGrid1.SetCell(1, 0, "ItemName");
  StringGrid1.SetCell(2, 0, "Value");
  NumberRows();
  WriteJapaneseLabels(*this, run.osKind, 1);
  StringGrid1.visible = true;
  Memo1.visible = false;
}

void TForm1::Save1Click() {
  auto& files = platform_.files;
  const std::string path = PcFilePath(files, state.saveFolder, ProgramFolder(), state.computerStem);
  if (!state.noFile && !state.scriptUnreadable) {
    std::string error;
    if (!WriteTextLines(files, platform_.codec, path, Memo1.lines, &error) && showMainForm) {
      // An unattended run stays silent; an interactive save must not look successful.
      platform_.dialogs.ShowBox("保存できませんでした: " + path + "\n" + error, kProgramTitle, MsgButtons::Ok,
                                MsgIcon::Error);
    }
  }
  if (state.auditTool) RunAuditTool(files, platform_.shell, ProgramFolder(), path, state.computerStem);
  AppendHealthHistory(platform_, path, state.historyWritten);
}

}  // namespace orv
