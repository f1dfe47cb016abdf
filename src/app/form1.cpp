#include "app/form1.h"

#include "platform/dialogs.h"
#include "platform/files.h"
#include "platform/shell.h"
#include "platform/system.h"
#include "util/text_file.h"

namespace orv {

TForm1::TForm1(Platform& platform, const std::vector<std::string>& args) : platform_(platform) {
  for (const auto& entry : MenuLayout()) Item(entry.id).visible = !entry.createdHidden;

  Panel1Visible = false;
  state.historyWritten = false;

  options = ParseCommandLine(args, platform_.system.ProgramPath());
  if (!options.unattended) {
    caption = kProgramTitle;
    ResetScreen();
    Memo1.readOnly = false;
  } else {
    state.historyWritten = options.noHistory;
    state.noFile = options.noFile;
    state.auditTool = options.auditTool;
    showMainForm = false;
    Timer1.intervalMs = options.delayMs;
    Timer1.enabled = true;
    // The screen helpers still start from a known state; nothing is shown in this mode.
    ResetScreen();
  }

  // Beyond the hidden menus' design: an administrator reaches them with "/a".
  if (options.adminMenus) {
    Item(MenuId::OneSheet1).visible = true;
    Item(MenuId::DiskReport1).visible = true;
    Item(MenuId::Edit1).visible = true;
    Item(MenuId::ItemList2).visible = true;
    Item(MenuId::S1).visible = true;
  }

  state.saveFolder = ReadSaveFolder(platform_.files, platform_.codec, options.settingsPath);
}

std::string TForm1::ProgramFolder() const { return ExtractFilePath(platform_.system.ProgramPath()); }

void TForm1::ShowMessage(const std::string& text) {
  platform_.dialogs.ShowBox(text, kProgramTitle, MsgButtons::Ok, MsgIcon::None);
}

void TForm1::OnMenu(MenuId id) {
  const MenuItemState& s = Item(id);
  if (!s.enabled) return;
  switch (id) {
    case MenuId::Read1: Read1Click(); break;
    case MenuId::Save1: Save1Click(); break;
    case MenuId::SwitchScreen1: SwitchScreen1Click(); break;
    case MenuId::OneSheet1: OneSheet1Click(); break;
    case MenuId::DiskReport1: DiskReport1Click(); break;
    case MenuId::Exit1: Exit1Click(); break;
    case MenuId::HDD1: HDD1Click(); break;
    case MenuId::HDD2: HDD2Click(); break;
    case MenuId::HDDG1: HDDG1Click(); break;
    case MenuId::HDDE1: HDDE1Click(); break;
    case MenuId::ReadSetting1: ReadSetting1Click(); break;
    case MenuId::SaveSetting1: SaveSetting1Click(); break;
    case MenuId::ItemList1: ItemList1Click(); break;
    case MenuId::ItemList2: ItemList2Click(); break;
    case MenuId::SearchStr1: SearchStr1Click(); break;
    case MenuId::LOCALMACHINE1:
    case MenuId::HKEYLOCALMACHINESystem21:
    case MenuId::HKEYCURRENTUSERSoftware31:
    case MenuId::HKEYCURRENTUSERSystem41:
    case MenuId::HKEYLOCALMACHINESoftwareClasses11: RegistrySearchClick(id); break;
    case MenuId::RunningProg1: RunningProg1Click(); break;
    case MenuId::FileVersion1: FileVersion1Click(); break;
    case MenuId::Help2: Help2Click(); break;
    case MenuId::Version1: Version1Click(); break;
    default: break;  // menus, separators and the test items have no command
  }
}

void TForm1::ResetScreen() {
  state.settingsEdit = false;
  StringGrid1.visible = false;
  ProgressBar1.visible = false;
  Item(MenuId::Save1).enabled = false;
  Item(MenuId::SaveSetting1).enabled = false;
  StatusBar1Text.clear();
  Memo1.visible = true;
  Memo1.readOnly = true;
  Memo1.Clear();
  Memo1.modified = false;
}

bool TForm1::ConfirmDiscard() {
  if (!state.settingsEdit || !Memo1.modified) return false;
  MsgResult r = platform_.dialogs.ShowBox("変更を保存しなくてよろしいか", "変更がありました",
                                          MsgButtons::OkCancel, MsgIcon::None);
  return r == MsgResult::Cancel;
}

void TForm1::NumberRows() {
  for (int row = 1; row < StringGrid1.RowCount(); ++row) StringGrid1.SetCell(0, row, std::to_string(row));
}

void TForm1::SwitchScreen1Click() {
  if (!Memo1.visible) {
    StringGrid1.visible = false;
    Memo1.visible = true;
    caption = kProgramTitle;
    Panel1Visible = false;
  } else {
    StringGrid1.visible = true;
    Memo1.visible = false;
    Panel1Visible = false;
  }
}

void TForm1::Exit1Click() {
  if (!ConfirmDiscard()) Close();
}

bool TForm1::FormCloseQuery() {
  if (state.settingsEdit && Memo1.modified) {
    MsgResult r = platform_.dialogs.ShowBox("変更を保存せずに終了しますか?", "確認", MsgButtons::OkCancel,
                                            MsgIcon::Confirmation);
    if (r == MsgResult::Cancel) {
      closeRequested = false;
      return false;
    }
  }
  return true;
}

void TForm1::Help2Click() { platform_.shell.OpenDocument(ProgramFolder() + "qumbel.mht"); }

void TForm1::Version1Click() {
  platform_.dialogs.ShowBox(std::string(kProgramVersionText) + "\n" +
                                "PC の資産情報とハードディスクの健康状態を記録するツールです",
                            "バージョン情報", MsgButtons::Ok, MsgIcon::Information);
}

void TForm1::Timer1Timer() {
  Timer1.enabled = false;
  Read1Click();
  Save1Click();
  Close();
}

}  // namespace orv
