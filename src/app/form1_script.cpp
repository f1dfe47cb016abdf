// The script editor: regitems.txt in the text screen.
#include "app/form1.h"
#include "inventory/catalogue.h"
#include "platform/dialogs.h"
#include "platform/files.h"
#include "util/text_file.h"

namespace orv {

void TForm1::ReadSetting1Click() {
  caption = "Orvanta regitems.txt";
  if (ConfirmDiscard()) return;
  ResetScreen();
  Memo1.selectedText.clear();
  Item(MenuId::SaveSetting1).enabled = true;
  Memo1.readOnly = false;
  state.settingsEdit = true;

  const std::string path = ProgramFolder() + kScriptFileName;
  if (platform_.files.FileExists(path)) {
    if (auto lines = ReadTextLines(platform_.files, platform_.codec, path)) {
      Memo1.Assign(std::move(*lines));
    } else {
      // Saving the empty screen now would wipe the script that could not be read.
      Item(MenuId::SaveSetting1).enabled = false;
      ShowMessage("設定ファイルを読み込めませんでした: " + path);
    }
  } else {
    ShowMessage("設定ファイルがありません");
  }
  Memo1.modified = false;
}

void TForm1::SaveSetting1Click() {
  const std::string path = ProgramFolder() + kScriptFileName;
  std::string error;
  if (WriteTextLines(platform_.files, platform_.codec, path, Memo1.lines, &error)) {
    Memo1.modified = false;
    return;
  }
  // The edits stay marked as changed, so they are not discarded without a question.
  platform_.dialogs.ShowBox("保存できませんでした: " + path + "\n" + error, kProgramTitle, MsgButtons::Ok,
                            MsgIcon::Error);
}

}  // namespace orv
