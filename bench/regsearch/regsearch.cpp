// Times the registry search of the search menu over the real Win32 registry:
//   regsearch.exe <search text> [start key]   (root HKEY_LOCAL_MACHINE, start "\Software")
// prints the number of result lines and the time taken. The results go into a (hidden) edit
// control through the window's own memo view at every repaint, as in the program. Used by
// bench/regsearch.
#include <chrono>
#include <cstdio>
#include <string>

#include "app/screen_model.h"
#include "app/win32/gui_handles.h"
#include "app/win32/memo_view.h"
#include "platform/win32/wide.h"
#include "platform/win32/win32_registry.h"
#include "regscript/registry_ex.h"
#include "regscript/registry_search.h"

int wmain(int argc, wchar_t** argv) {
  using namespace orv;
  std::string text = argc > 1 ? win32::NarrowZ(argv[1]) : std::string("orvanta-not-there");
  std::string start = argc > 2 ? win32::NarrowZ(argv[2]) : std::string("\\Software");
  Win32Registry registryApi;
  TRegistryEx registry(registryApi);
  registry.SetRootKey(RegRoot::LocalMachine);
  MemoModel memo;
  std::string status;
  ProgressModel progress;
  progress.max = 9999;
  const DWORD style = WS_OVERLAPPEDWINDOW | WS_VSCROLL | WS_HSCROLL | ES_MULTILINE | ES_AUTOVSCROLL | ES_AUTOHSCROLL;
  win32::UniqueWindow edit(CreateWindowExW(0, L"EDIT", L"", style, 0, 0, 700, 400, nullptr, nullptr, nullptr, nullptr));
  SendMessageW(edit.Get(), EM_SETLIMITTEXT, 0, 0);
  win32::MemoView view;
  view.SetControl(edit.Get());
  SearchScreen screen{memo, status, progress.max, progress.position, [&] { view.Render(memo); }};
  auto begin = std::chrono::steady_clock::now();
  SearchRegistry(registry, ParseSearchText(text), start, screen);
  view.Render(memo);
  double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - begin).count();
  std::printf("search %s: %zu result lines, %.3f s\n", start.c_str(), memo.lines.size(), seconds);
  return 0;
}
