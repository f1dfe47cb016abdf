// holdfile.exe FILE MILLISECONDS COMMAND...: holds FILE open without any sharing (as an
// anti-virus scan may), starts COMMAND, lets FILE go after MILLISECONDS and exits with the
// command's exit code (3: FILE cannot be opened, 4: COMMAND cannot be started).

#include <string>

#include "platform/win32/win32_handles.h"

int wmain(int argc, wchar_t* argv[]) {
  using orv::win32::UniqueHandle;
  if (argc < 4) return 2;
  UniqueHandle held(CreateFileW(argv[1], GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!held) return 3;
  std::wstring command;
  for (int i = 3; i < argc; ++i) command += (i > 3 ? L" \"" : L"\"") + std::wstring(argv[i]) + L"\"";
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  if (!CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process))
    return 4;
  UniqueHandle child(process.hProcess), thread(process.hThread);
  Sleep(static_cast<DWORD>(_wtoi(argv[2])));
  held.Reset();
  WaitForSingleObject(child.Get(), INFINITE);
  DWORD code = 1;
  GetExitCodeProcess(child.Get(), &code);
  return static_cast<int>(code);
}
