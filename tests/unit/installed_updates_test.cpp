// The installed Windows updates from the hotfix list and the update history of a real PC (the
// hotfix list alone and the dates are cases of tests/data/cases/probes_wmi.txt).
#include <gtest/gtest.h>

#include "fakes/fake_wmi.h"
#include "platform/update_history.h"
#include "probes/installed_updates.h"

namespace orv {
namespace {

using Strings = std::vector<std::string>;

class ListedHistory final : public IUpdateHistory {
 public:
  std::vector<HistoryUpdate> updates;
  std::optional<std::vector<HistoryUpdate>> InstalledUpdates(std::chrono::milliseconds) override { return updates; }
};

TEST(InstalledUpdates, TheHistoryAddsWhatTheHotfixListLacksAndItsTitles) {
  // Windows 11 22H2, German: Get-HotFix, then the update history of the same PC.
  const std::string text = test::ReadTestData("wmi/getHotFix_vs_update_history_win11-22h2-de_checkmk-things-issue30.txt");
  test::FakeWmi wmi;
  wmi.classes["Win32_QuickFixEngineering"] = test::ParseWmiColumns(text.substr(0, text.find("```")), "HotFixID");
  ListedHistory history;
  for (const WmiInstance& row : test::ParseWmiColumns(text, "Title")) {
    DateTime t;  // "12.05.2023 18:17:01"
    ASSERT_TRUE(ParseDateTime(InstalledOnDate(std::get<std::string>(row.properties[1].values[0])), t));
    history.updates.push_back({t, std::get<std::string>(row.properties[0].values[0])});
  }
  const std::string update = "Update für Windows 11 Version 22H2 für x64-basierte Systeme";
  EXPECT_EQ(UpdatesWordValues(&wmi, &history, 7),
            (Strings{"2023/05/12 KB5026549", "2023/05/12 KB5026446 2023-05 Kumulatives " + update + " (KB5026446)",
                     "2023/05/11 KB4023057 2023-04 " + update + " (KB4023057)",
                     "2023/05/10 KB5026372 2023-05 Kumulatives " + update + " (KB5026372)", "2023/04/21 KB5025182",
                     "2022/12/08 KB5012170", ""}));
  EXPECT_EQ(UpdatesWordValues(nullptr, nullptr, 2), (Strings{"", ""}));  // no WMI at all
}

}  // namespace
}  // namespace orv
