// The disk-health menu: the live status of every drive (or the latest saved line for a user
// without administrator rights), the history table, the history graph and erasing the history.
#include "app/form1.h"
#include "app/disk_grids.h"
#include "diskhealth/health_history.h"
#include "diskhealth/smart_read.h"
#include "inventory/collection_run.h"
#include "inventory/pc_file.h"
#include "platform/dialogs.h"
#include "platform/files.h"
#include "platform/shell.h"
#include "platform/system.h"
#include "probes/hardware.h"
#include "util/text_file.h"

namespace orv {

namespace {

constexpr const char* kCaptionStatus = "Orvanta HDD S.M.A.R.T.情報";
constexpr const char* kCaptionHistory = "Orvanta HDD S.M.A.R.T.履歴";
constexpr const char* kCaptionGraph = "Orvanta HDD S.M.A.R.T.履歴グラフ";
constexpr const char* kNoHistory = "HDD情報ファイルがありません";
// Drive numbers the status screen reads: 0 to 4, up to the first that does not exist.
constexpr int kStatusMaxDrives = 5;

}  // namespace

std::string TForm1::ThisPcFilePath() {
  // Before the first read of this run the stem is not known yet; it is the same computer's.
  if (state.computerStem.empty()) state.computerStem = ComputerStem(platform_);
  return PcFilePath(platform_.files, state.saveFolder, ProgramFolder(), state.computerStem);
}

std::string TForm1::HealthHistoryPath() { return HealthHistoryFile(ThisPcFilePath()); }

void TForm1::ShowGridScreen(const char* screenCaption) {
  caption = screenCaption;
  StringGrid1.visible = true;
  Memo1.visible = false;
  Panel1Visible = false;
}

void TForm1::HDD1Click() {
  const std::string history = HealthHistoryPath();
  if (platform_.system.GetOsVersion().platformId == kPlatformNT && !IsUserAdmin(platform_.shell)) {
    if (platform_.files.FileExists(history)) {
      platform_.dialogs.ShowBox("管理者権限がなく実行できません。保存されたデータを表示します。", "情報",
                                MsgButtons::Ok, MsgIcon::Information);
      ShowSavedHealth();
    } else {
      platform_.dialogs.ShowBox("この機能は管理者権限がないと実行できません", "情報", MsgButtons::Ok,
                                MsgIcon::Information);
    }
    return;
  }

  // Every drive up to the first that does not exist: an unreadable drive 0 does not hide drive 1.
  std::vector<DriveReading> drives = ReadEveryDrive(platform_, kStatusMaxDrives);
  std::erase_if(drives, [](const DriveReading& d) { return d.state != DriveState::Read; });
  if (drives.empty()) {
    platform_.dialogs.ShowBox("ハードディスク情報が取得できません", "情報", MsgButtons::Ok, MsgIcon::Information);
    return;
  }

  SetUpStatusGrid(StringGrid1, true);
  int row = kStatusFirstBlockRow;
  for (const DriveReading& d : drives) {
    const std::string model = platform_.wmi ? GetDiskModel(*platform_.wmi, d.number) : std::string();
    row = WriteDriveBlock(StringGrid1, row, d.number, model, d.result);
  }
  ShowGridScreen(kCaptionStatus);
}

void TForm1::ShowSavedHealth() {
  auto lines = ReadTextLines(platform_.files, platform_.codec, HealthHistoryPath());
  if (!lines || lines->size() < 3) {
    // Unreadable, or headers without any saved line: there is nothing to show.
    ShowMessage(kNoHistory);
    return;
  }
  FillSavedHealthGrid(StringGrid1, (*lines)[0], (*lines)[1], lines->back());
  ShowGridScreen(kCaptionStatus);
}

bool TForm1::LoadHistory() {
  const std::string path = HealthHistoryPath();
  if (!platform_.files.FileExists(path)) {
    ShowMessage(kNoHistory);
    return false;
  }
  auto lines = ReadTextLines(platform_.files, platform_.codec, path);
  if (!lines) {
    ShowMessage(std::string("HDD情報ファイルが読めません: ") + path);
    return false;
  }
  LoadHistoryGrid(StringGrid1, *lines);
  return true;
}

void TForm1::HDD2Click() {
  if (!LoadHistory()) return;
  ShowGridScreen(kCaptionHistory);
}

void TForm1::HDDG1Click() {
  if (!LoadHistory()) return;
  caption = kCaptionGraph;
  if (auto error = Panel1.Open(StringGrid1, platform_.system.Now())) ShowMessage(*error);
  Panel1Visible = true;
  StringGrid1.visible = false;
  Memo1.visible = false;
}

void TForm1::ComboBox1Change() {
  if (auto error = Panel1.ComboBox1Change(StringGrid1, platform_.system.Now())) ShowMessage(*error);
}

void TForm1::HDDE1Click() { EraseHealthHistory(platform_, ThisPcFilePath()); }

}  // namespace orv
