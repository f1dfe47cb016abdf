// Times one collection run over the real Win32 platform, split by group of rows, and prints the
// figures. Used by bench/collection; not part of the program.
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "app/form1.h"
#include "app/screen_model.h"
#include "inventory/collection_run.h"
#include "platform/platform.h"
#include "platform/win32/win32_services.h"
#include "platform/dialogs.h"

#include <objbase.h>

namespace {

// The benchmark answers no dialog: every box counts as OK.
class SilentDialogs final : public orv::IDialogs {
 public:
  orv::MsgResult ShowBox(const std::string&, const std::string&, orv::MsgButtons, orv::MsgIcon) override {
    return orv::MsgResult::Ok;
  }
  std::string PromptInput(const std::string&) override { return {}; }
};

}  // namespace

int wmain() {
  using namespace orv;
  using namespace orv::win32;
  using Clock = std::chrono::steady_clock;
  CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  CoInitializeSecurity(nullptr, -1, nullptr, nullptr, RPC_C_AUTHN_LEVEL_DEFAULT, RPC_C_IMP_LEVEL_IMPERSONATE, nullptr,
                       EOAC_NONE, nullptr);
  {
    Win32Services services;
    SilentDialogs dialogs;
    Platform platform = services.MakePlatform(dialogs);

    std::vector<std::pair<std::string, double>> groups;
    auto last = Clock::now();
    CollectionServices collection{platform, services.wmi, services.cpu, [&](const char* group) {
                                  auto now = Clock::now();
                                  groups.emplace_back(group, std::chrono::duration<double>(now - last).count());
                                  last = now;
                                }};
    MemoModel memo;
    int rows = 0;
    auto start = Clock::now();
    CollectRecord(collection, CollectionInput{}, "C:\\", memo, [&rows](const std::string&) { ++rows; });
    double total = std::chrono::duration<double>(Clock::now() - start).count();
    for (const auto& [name, seconds] : groups) std::printf("%-30s %8.3f s\n", name.c_str(), seconds);
    std::printf("%-30s %8.3f s (%d rows)\n", "total", total, rows);
  }
  CoUninitialize();
  return 0;
}
