#include "platform/win32/win32_shell.h"

#include <string>

// clang-format off
// <windows.h> (through win32_handles.h, with NOMINMAX and WIN32_LEAN_AND_MEAN) comes first.
#include "platform/win32/win32_handles.h"
#include <shellapi.h>
// clang-format on

namespace orv {

bool Win32Shell::StartProcess(const std::string& application, const std::string& commandLine) {
  std::wstring wideApplication = win32::Widen(application);
  std::wstring wideCommandLine = win32::Widen(commandLine);  // CreateProcessW may write into it
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION info{};
  if (!CreateProcessW(wideApplication.empty() ? nullptr : wideApplication.c_str(),
                      wideCommandLine.empty() ? nullptr : wideCommandLine.data(), nullptr, nullptr, FALSE, 0,
                      nullptr, nullptr, &startup, &info))
    return false;
  // The program runs on its own; its handles are not needed.
  win32::UniqueHandle process(info.hProcess);
  win32::UniqueHandle thread(info.hThread);
  return true;
}

bool Win32Shell::OpenDocument(const std::string& path) {
  HINSTANCE result = ShellExecuteW(owner_, L"open", win32::Widen(path).c_str(), nullptr, nullptr, SW_SHOW);
  // Values up to 32 are error codes.
  return reinterpret_cast<INT_PTR>(result) > 32;
}

std::optional<bool> Win32Shell::IsUserAnAdmin() {
  // Exported by ordinal only on some systems, hence the run-time lookup of ordinal 680.
  win32::UniqueModule shell32 = win32::LoadLibraryByName(L"shell32.dll");
  if (!shell32) return std::nullopt;
  using IsUserAnAdminFn = BOOL(WINAPI*)();
  auto isAdmin = win32::FindExport<IsUserAnAdminFn>(shell32.get(), MAKEINTRESOURCEA(680));
  if (!isAdmin) return std::nullopt;
  return isAdmin() != FALSE;
}

}  // namespace orv
