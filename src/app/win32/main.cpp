// qumbel.exe: the one place where the Win32 implementations of the platform are wired together.
// Start-up creates the main window TForm1, then the prompt dialog TForm2, and runs the message
// loop; everything after that happens on this thread as a menu command or a timer event.

#include <string>
#include <vector>

#include <memory>

#include "app/command_line.h"
#include "app/form1.h"
#include "app/win32/form1_window.h"
#include "app/win32/form2_dialog.h"
#include "app/win32/gui_handles.h"
#include "app/win32/win32_dialogs.h"
#include "diskhealth/replay_device.h"
#include "fleet/streamed_table_files.h"
#include "platform/platform.h"
#include "platform/win32/win32_services.h"
#include "platform/win32/win32_smart.h"

namespace {

// The arguments after the program name, as UTF-8.
std::vector<std::string> CommandLineArguments() {
  std::vector<std::string> args;
  int count = 0;
  orv::win32::UniqueArgv argv(CommandLineToArgvW(GetCommandLineW(), &count));
  if (!argv) return args;
  for (int i = 1; i < count; ++i) args.push_back(orv::win32::NarrowZ(argv.get()[i]));
  return args;
}

int RunMessageLoop() {
  MSG msg;
  BOOL got;
  while ((got = GetMessageW(&msg, nullptr, 0, 0)) != 0) {
    if (got < 0) return 1;
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  return static_cast<int>(msg.wParam);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int showCommand) {
  using namespace orv;
  using namespace orv::win32;

  // WMI is reached through COM from this (the only) thread. A failure here only costs the WMI
  // rows, which then report their own failure values.
  ComApartment com;
  // WMI providers answer only callers that allow impersonation.
  CoInitializeSecurity(nullptr, -1, nullptr, nullptr, RPC_C_AUTHN_LEVEL_DEFAULT, RPC_C_IMP_LEVEL_IMPERSONATE, nullptr,
                       EOAC_NONE, nullptr);

  INITCOMMONCONTROLSEX controls{};
  controls.dwSize = sizeof(controls);
  controls.dwICC = ICC_WIN95_CLASSES | ICC_BAR_CLASSES | ICC_LISTVIEW_CLASSES | ICC_PROGRESS_CLASS;
  InitCommonControlsEx(&controls);

  Win32Services services;
  Win32Dialogs dialogs;
  Platform platform = services.MakePlatform(dialogs);

  // Window creation reads the command line and the settings file.
  TForm1 model(platform, CommandLineArguments());
  // The drives, or captured sectors when the settings file names a replay folder.
  std::unique_ptr<ISmartDevice> smart =
      MakeSmartDevice(services.files, ReadSmartReplayFolder(services.files, services.codec, model.options.settingsPath),
                      model.ProgramFolder(), std::make_unique<Win32SmartDevice>());
  platform.smart = smart.get();
  StreamedTableFiles tables;
  platform.tables = &tables;
  Form1Window form1(model);
  if (!form1.Create(instance)) {
    // Without a window the unattended run still does its job: after its "/b" delay (a logon
    // script gives the PC time to settle before it is read), read and save, then end.
    if (!model.showMainForm) {
      Sleep(model.Timer1.intervalMs);
      model.Timer1Timer();
      return 0;
    }
    MessageBoxW(nullptr, L"ウィンドウを作成できませんでした", Widen(kProgramTitle).c_str(), MB_OK | MB_ICONERROR);
    return 1;
  }
  dialogs.SetOwner(form1.Handle());
  services.shell.SetOwner(form1.Handle());

  Form2Dialog form2;
  if (form2.Create(instance, form1.Handle())) dialogs.SetPromptDialog(&form2);

  // The unattended run ("/b") stays hidden; its timer runs the commands and closes the window.
  if (model.showMainForm) form1.Show(showCommand);

  int exitCode = RunMessageLoop();
  dialogs.SetPromptDialog(nullptr);
  dialogs.SetOwner(nullptr);
  services.shell.SetOwner(nullptr);
  return exitCode;
}
