#pragma once
// TForm1, the main window, as a portable model: the state of its controls, the process-wide
// state of a program run, and one handler per menu command. The Win32 window (app/win32) renders
// this model and forwards events to the handlers; nothing here knows about Win32.

#include <array>
#include <functional>
#include <string>
#include <vector>

#include "app/command_line.h"
#include "app/health_graph.h"
#include "app/menu.h"
#include "app/screen_model.h"
#include "platform/platform.h"
#include "util/program_name.h"

namespace orv {

// Process-wide state of one program run.
struct AppState {
  std::string saveFolder;       // "SaveDir" of the settings file, without a trailing backslash
  bool historyWritten = false;  // set by "/p" and after a history append
  bool noFile = false;          // "/h"
  bool auditTool = false;       // "/w"
  bool settingsEdit = false;    // Memo1 holds the editable registry item script
  int rowCounter = 1;           // the next grid row the record and label writers fill
  std::string computerStem;     // "<computer name>__<workgroup>", kept for saves
  std::string programFilesFolder;
  bool keyOpen = false;         // result of the latest key opening by the script or printer lookup
  bool scriptUnreadable = false;  // the latest read lacks the script rows: a save keeps the previous per-PC file
};

class TForm1 {
 public:
  // Window creation: reads the command line (arguments after the program name) and the settings.
  TForm1(Platform& platform, const std::vector<std::string>& args);

  // ---- controls ----
  std::string caption;
  const int width = 749;
  const int height = 487;
  bool showMainForm = true;  // off for the unattended run
  MemoModel Memo1;
  GridModel StringGrid1;
  bool Panel1Visible = false;
  HealthGraphPanel Panel1;  // the history graph screen: XYGraph1, ComboBox1 and its labels
  ProgressModel ProgressBar1;
  std::string StatusBar1Text;
  TimerModel Timer1;
  std::array<MenuItemState, kMenuCount> menu{};
  bool closeRequested = false;  // a handler asked to close the window (the view then asks FormCloseQuery)
  // Set by the window: shows the model as it is now and lets pending paint messages through, so
  // that a long command (the registry search) keeps its status and progress bars up to date.
  // Empty when there is no window (tests); call it only when set.
  std::function<void()> ProcessMessages;

  AppState state;
  StartOptions options;

  MenuItemState& Item(MenuId id) { return menu[static_cast<size_t>(id)]; }
  const MenuItemState& Item(MenuId id) const { return menu[static_cast<size_t>(id)]; }

  // Runs the handler of a menu item.
  void OnMenu(MenuId id);

  // ---- handlers ----
  void Read1Click();
  void Save1Click();
  void SwitchScreen1Click();
  void OneSheet1Click();
  void DiskReport1Click();
  void Exit1Click();
  void HDD1Click();
  void HDD2Click();
  void HDDG1Click();
  void HDDE1Click();
  void ComboBox1Change();
  // The status grid from the latest saved history line (the view for a user without rights).
  void ShowSavedHealth();
  void ReadSetting1Click();
  void SaveSetting1Click();
  void ItemList1Click();
  void ItemList2Click();
  void SearchStr1Click();
  void RegistrySearchClick(MenuId which);
  void RunningProg1Click();
  void FileVersion1Click();
  void Help2Click();
  void Version1Click();
  void Timer1Timer();
  // True when the window may close.
  bool FormCloseQuery();

  // ---- screen helpers used by every command ----
  void ResetScreen();
  bool ConfirmDiscard();
  void NumberRows();

  // The program's own folder, with its trailing backslash.
  std::string ProgramFolder() const;
  Platform& platform() { return platform_; }

  // A plain message box with the program's title.
  void ShowMessage(const std::string& text);

 private:
  void Close() { closeRequested = true; }
  // This computer's per-PC file and its health history (the stem is worked out when no read has
  // set it yet).
  std::string ThisPcFilePath();
  std::string HealthHistoryPath();
  // Loads the history file into StringGrid1; false (after telling the user) when there is none.
  bool LoadHistory();
  void ShowGridScreen(const char* screenCaption);
  Platform& platform_;
};

// The item catalogue's labels on the main window: its grid, its shared row counter and the
// script beside the program (read afresh on every call).
void WriteJapaneseLabels(TForm1& form, const std::string& osKind, int mode);
void WriteEnglishKeys(TForm1& form, const std::string& osKind, int mode);

}  // namespace orv
