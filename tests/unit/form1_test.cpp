#include <gtest/gtest.h>

#include "app/form1.h"
#include "fakes/case_table.h"
#include "fakes/fake_platform.h"
#include "fakes/test_data.h"
#include "util/text.h"

namespace orv {
namespace {

using test::FakePlatform;

TEST(CommandLine, SwitchesAndSettingsFile) {
  for (const test::Case& c : test::LoadCases("record_command_line.txt")) {
    SCOPED_TRACE(c.where);
    const StartOptions o = ParseCommandLine(c[0].empty() ? std::vector<std::string>{} : Split(c[0], ' '), "C:\\tools\\qumbel.exe");
    EXPECT_EQ(o.unattended, c.Int(1) == 1);
    if (o.unattended) {
      EXPECT_EQ(o.delayMs, static_cast<unsigned>(c.Int(2)));
    }
    EXPECT_EQ((std::vector<bool>{o.noHistory, o.noFile, o.auditTool, o.adminMenus}),
              (std::vector<bool>{c[3] == "1", c[4] == "1", c[5] == "1", c[6] == "1"}));
    EXPECT_EQ(o.settingsPath, c[7]);
  }
}

// Whether a menu item shows and can be chosen: "shown", "hidden", with " disabled".
std::string ItemState(const TForm1& f, MenuId id) {
  return std::string(f.Item(id).visible ? "shown" : "hidden") + (f.Item(id).enabled ? "" : " disabled");
}

// The menu of an interactive start without and with /a, every item, compared with
// data/records/menu_start.txt; run with ORV_RECORD_GOLDEN=1 to write it anew after a deliberate
// change, and review its diff. Without /a the administrator's menus stay hidden.
TEST(Form1, InteractiveStartWithAndWithoutTheAdminSwitch) {
  FakePlatform p, q;
  const TForm1 plain(p.platform, {}), admin(q.platform, {"/a"});
  std::string menu = "# menu item | without /a | with /a\n";
  for (const MenuEntry& e : MenuLayout()) menu += std::string(e.name) + " | " + ItemState(plain, e.id) + " | " + ItemState(admin, e.id) + "\n";
  test::ExpectGoldenFile("records/menu_start.txt", menu, "ORV_RECORD_GOLDEN");
  for (const TForm1* f : {&plain, &admin}) {
    EXPECT_TRUE(f->showMainForm && !f->Timer1.enabled && !f->Panel1Visible);
    EXPECT_FALSE(f->state.historyWritten);  // an interactive save writes the history line
  }
}

TEST(Form1, ConfirmationsWhileEditingTheScript) {
  FakePlatform p;
  TForm1 f(p.platform, {});
  f.Memo1.modified = true;  // typed text, but not the script editor: no question
  EXPECT_TRUE(f.FormCloseQuery());
  f.state.settingsEdit = true;
  p.dialogs.answers = {MsgResult::Cancel};
  EXPECT_TRUE(f.ConfirmDiscard());
  ASSERT_EQ(p.dialogs.shown.size(), 1u);
  EXPECT_EQ(p.dialogs.shown[0].buttons, MsgButtons::OkCancel);

  p.dialogs.answers = {MsgResult::Cancel};
  EXPECT_FALSE(f.FormCloseQuery());
  p.dialogs.answers = {MsgResult::Ok};
  EXPECT_TRUE(f.FormCloseQuery());
}

}  // namespace
}  // namespace orv
