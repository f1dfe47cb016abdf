// Times the registry search of the search menu over the real Win32 registry:
//   regsearch.exe <search text> [start key]   (root HKEY_LOCAL_MACHINE, start "\Software")
// prints the number of result lines and keys visited and the time taken. Used by bench/regsearch.
#include <chrono>
#include <cstdio>
#include <string>

#include "app/screen_model.h"
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
  int keys = 0;
  SearchScreen screen{memo, status, progress, [&keys] { ++keys; }};
  auto begin = std::chrono::steady_clock::now();
  SearchRegistry(registry, ParseSearchText(text), start, screen);
  double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - begin).count();
  std::printf("search %s: %zu result lines, %.3f s\n", start.c_str(), memo.lines.size(), seconds);
  return 0;
}
