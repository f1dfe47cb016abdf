// The installed Windows updates from the hotfix list and the update history of real PCs.
#include <gtest/gtest.h>

#include "fakes/fake_wmi.h"
#include "platform/update_history.h"
#include "probes/installed_updates.h"

namespace orv {
namespace {

using test::ReadTestData;
using Strings = std::vector<std::string>;

class ListedHistory final : public IUpdateHistory {
 public:
  std::vector<HistoryUpdate> updates;
  std::optional<std::vector<HistoryUpdate>> InstalledUpdates(std::chrono::milliseconds) override { return updates; }
};

TEST(InstalledOnDate, EveryFormTheHotfixListWrites) {
  const std::pair<const char*, const char*> cases[] = {
      {"4/11/2017", "2017/04/11"}, {"7/3/2017", "2017/07/03"}, {"12/31/9999", "9999/12/31"}, {"1/1/1979", ""},
      {"1/1/1980", "1980/01/01"}, {"21.04.2023 00:00:00", "2023/04/21"},
      {"20230421", "2023/04/21"},  {"21/04/2023", "2023/04/21"}, {"2023-04-21", "2023/04/21"},
      {"01d2b2d87b640c00", "2017/04/11"}, {"1d2b2d87b640c00", "2017/04/11"}, {"13/12/2023", "2023/12/13"}, {"2/29/2024", "2024/02/29"}, {"2/29/2023", ""},
      {"13/13/2023", ""}, {"", ""}, {"KB5026446", ""},
      {"1d2b2d87b640c00g", ""}};  // not a FILETIME: one character is no hex digit
  for (const auto& [text, date] : cases) EXPECT_EQ(InstalledOnDate(text), date) << text;
}

TEST(KbNumber, TheFirstKbWordWithDigits) {
  const std::pair<const char*, const char*> cases[] = {
      {"2023-05 Update (KB5026949)", "KB5026949"}, {"KB90 x", "KB90"}, {"xKB123 KB", ""}, {"KBx KB7", "KB7"}};
  for (const auto& [title, kb] : cases) EXPECT_EQ(KbNumber(title), kb) << title;
}

TEST(InstalledUpdates, HotfixListOfAUsWindows7NewestFirst) {
  test::FakeWmi wmi;
  wmi.classes["Win32_QuickFixEngineering"] = test::ParseWmicList(
      ReadTestData("wmi/wmi_win32_quickfixengineering_hotfixid-installedon_win7-us_wufuc-issue92_TRUNCATED.txt"));
  EXPECT_EQ(UpdatesWordValues(&wmi, nullptr, 4),
            (Strings{"2017/07/03 KB3000483", "2017/07/03 KB2973351", "2017/06/30 KB2999226", "2017/04/11 KB2992611"}));
  EXPECT_EQ(UpdatesWordValues(nullptr, nullptr, 2), (Strings{"", ""}));
}

TEST(InstalledUpdates, TheHistoryAddsWhatTheHotfixListLacksAndItsTitles) {
  // Windows 11 22H2, German: Get-HotFix, then the update history of the same PC.
  const std::string text = ReadTestData("wmi/getHotFix_vs_update_history_win11-22h2-de_checkmk-things-issue30.txt");
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
}

}  // namespace
}  // namespace orv
