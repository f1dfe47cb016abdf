#include "app/menu.h"

namespace orv {

const std::array<MenuEntry, kMenuCount>& MenuLayout() {
  using M = MenuId;
  // Captions are the program's own texts, character for character (including the trailing
  // blanks of the search items and the full-width parts).
  static const std::array<MenuEntry, kMenuCount> layout = {{
      {M::File1, M::File1, "File1", "ファイル(&F)", false},
      {M::Read1, M::File1, "Read1", "読み取り(&R)", false},
      {M::Save1, M::File1, "Save1", "保存(&S)", false},
      {M::SwitchScreen1, M::File1, "SwitchScreen1", "表示切替(&C)", false},
      {M::OneSheet1, M::File1, "OneSheet1", "一覧表作成(&O)", true},
      {M::DiskReport1, M::File1, "DiskReport1", "ディスク健康レポート(&R)", true},
      {M::N1, M::File1, "N1", "-", false},
      {M::Exit1, M::File1, "Exit1", "終了(&X)", false},
      {M::Test1, M::File1, "Test1", "Test", true},
      {M::Test21, M::File1, "Test21", "Test2", true},
      {M::D1, M::D1, "D1", "ハードディスク （&D)", false},
      {M::HDD1, M::D1, "HDD1", "HDD状態(&H)", false},
      {M::HDD2, M::D1, "HDD2", "HDD履歴(&P)", false},
      {M::HDDG1, M::D1, "HDDG1", "HDD履歴グラフ(&G)", false},
      {M::N2, M::D1, "N2", "-", false},
      {M::HDDE1, M::D1, "HDDE1", "HDD履歴データ消去(&E)", false},
      {M::Edit1, M::Edit1, "Edit1", "設定(&I)", true},
      {M::ReadSetting1, M::Edit1, "ReadSetting1", "設定読み込み(&R)", false},
      {M::SaveSetting1, M::Edit1, "SaveSetting1", "設定保存(&S)", false},
      {M::ItemList1, M::Edit1, "ItemList1", "項目リスト(&L)", false},
      {M::ItemList2, M::Edit1, "ItemList2", "項目リスト(英語)　(&E)", true},
      {M::S1, M::S1, "S1", "検索(&S)", true},
      {M::SearchStr1, M::S1, "SearchStr1", "検索文字入力画面 (&0)", false},
      {M::LOCALMACHINE1, M::S1, "LOCALMACHINE1", "HKEY_LOCAL_MACHINE\\Softwareから(&1) ", false},
      {M::HKEYLOCALMACHINESystem21, M::S1, "HKEYLOCALMACHINESystem21", "HKEY_LOCAL_MACHINE\\Systemから(&2) ", false},
      {M::HKEYCURRENTUSERSoftware31, M::S1, "HKEYCURRENTUSERSoftware31", "HKEY_CURRENT_USER\\Softwareから(&3) ", false},
      {M::HKEYCURRENTUSERSystem41, M::S1, "HKEYCURRENTUSERSystem41", "HKEY_CURRENT_USER\\Systemから(&4) ", false},
      {M::HKEYLOCALMACHINESoftwareClasses11, M::S1, "HKEYLOCALMACHINESoftwareClasses11",
       "HKEY_LOCAL_MACHINE\\Software\\Classesから(&5) ", false},
      {M::RunningProg1, M::S1, "RunningProg1", "実行中プログラム(&P)", false},
      {M::FileVersion1, M::S1, "FileVersion1", "ファイルバージョン(&V)", false},
      {M::Help1, M::Help1, "Help1", "ヘルプ (&H)", false},
      {M::Help2, M::Help1, "Help2", "説明書 (&C)", false},
      {M::Version1, M::Help1, "Version1", "バージョン情報 (&A)", false},
  }};
  return layout;
}

const MenuEntry& MenuEntryOf(MenuId id) {
  for (const auto& e : MenuLayout())
    if (e.id == id) return e;
  return MenuLayout()[0];
}

}  // namespace orv
