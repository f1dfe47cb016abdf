#include <gtest/gtest.h>

#include "app/form1.h"
#include "fakes/case_table.h"
#include "fakes/fake_platform.h"
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

// "SaveDir" of [General]: one trailing backslash dropped, one pair of quotes removed; a file Notepad
// saved as UTF-8 keeps its first section behind the byte-order mark and is read as UTF-8.
TEST(Settings, SaveDirOfTheGeneralSection) {
  const std::pair<std::string, std::string> cases[] = {
      {"[General]\r\nSaveDir=D:\\pc\\\r\n", "D:\\pc"},
      {"; c\r\n[other]\r\nSaveDir=x\r\n[general]\r\n savedir = \"\\\\srv\\share\" \r\n", "\\\\srv\\share"},
      {"\xEF\xBB\xBF[General]\r\nSaveDir=\\\\\xE3\x82\xB5\r\n", "\\\\サ"},
  };
  for (const auto& [file, folder] : cases) {
    FakePlatform p;
    p.files.Put("C:\\s.ini", file);
    EXPECT_EQ(ReadSaveFolder(p.files, p.codec, "C:\\s.ini"), folder) << file;
  }
  FakePlatform p;
  EXPECT_EQ(ReadSaveFolder(p.files, p.codec, "C:\\missing.ini"), "");
}

TEST(Form1, InteractiveStart) {
  FakePlatform p;
  TForm1 f(p.platform, {});
  EXPECT_TRUE(f.showMainForm);
  EXPECT_FALSE(f.Item(MenuId::Save1).enabled);
  EXPECT_FALSE(f.Item(MenuId::Edit1).visible);
  EXPECT_FALSE(f.Item(MenuId::ItemList2).visible || f.Item(MenuId::S1).visible);
  EXPECT_FALSE(f.Timer1.enabled);
}

TEST(Form1, UnattendedStartArmsTheTimerAndHidesTheWindow) {
  FakePlatform p;
  p.files.Put("C:\\site.ini", "[General]\r\nSaveDir=D:\\pc\\\r\n");
  TForm1 f(p.platform, {"/p/b30", "C:\\site.ini"});
  EXPECT_FALSE(f.showMainForm);
  EXPECT_TRUE(f.Timer1.enabled);
  EXPECT_EQ(f.Timer1.intervalMs, 30000u);
  EXPECT_TRUE(f.state.historyWritten);
  EXPECT_EQ(f.state.saveFolder, "D:\\pc");
  f.Timer1Timer();
  EXPECT_FALSE(f.Timer1.enabled);
  EXPECT_TRUE(f.closeRequested);
  EXPECT_TRUE(p.dialogs.shown.empty());
}

TEST(Form1, AdminSwitchShowsTheHiddenMenusButNotTheTestItems) {
  FakePlatform p;
  TForm1 f(p.platform, {"/a"});
  EXPECT_TRUE(f.Item(MenuId::Edit1).visible);
  EXPECT_TRUE(f.Item(MenuId::ItemList2).visible && f.Item(MenuId::S1).visible);
  EXPECT_FALSE(f.Item(MenuId::Test1).visible);
}

TEST(Form1, ExitClosesWithoutAQuestionWhenNothingChanged) {
  FakePlatform p;
  TForm1 f(p.platform, {});
  f.Memo1.modified = true;  // typed text, but not the script editor
  f.OnMenu(MenuId::Exit1);
  EXPECT_TRUE(f.closeRequested);
  EXPECT_TRUE(f.FormCloseQuery());
  EXPECT_TRUE(p.dialogs.shown.empty());
}

TEST(Form1, ConfirmationsWhileEditingTheScript) {
  FakePlatform p;
  TForm1 f(p.platform, {});
  f.state.settingsEdit = true;
  f.Memo1.modified = true;
  p.dialogs.answers = {MsgResult::Cancel};
  EXPECT_TRUE(f.ConfirmDiscard());
  ASSERT_EQ(p.dialogs.shown.size(), 1u);
  EXPECT_EQ(p.dialogs.shown[0].buttons, MsgButtons::OkCancel);

  p.dialogs.answers = {MsgResult::Cancel};
  EXPECT_FALSE(f.FormCloseQuery());
  p.dialogs.answers = {MsgResult::Ok};
  EXPECT_TRUE(f.FormCloseQuery());
}

TEST(Form1, SwitchScreenTogglesTextAndTableAndLeavesTheGraph) {
  FakePlatform p;
  TForm1 f(p.platform, {});
  f.Panel1Visible = true;
  f.SwitchScreen1Click();
  EXPECT_TRUE(f.StringGrid1.visible && !f.Memo1.visible && !f.Panel1Visible);
  f.caption = "x";
  f.SwitchScreen1Click();
  EXPECT_TRUE(f.Memo1.visible && !f.StringGrid1.visible);
  EXPECT_EQ(f.caption, "Orvanta");
}

TEST(Form1, HelpOpensTheManualBesideTheProgram) {
  FakePlatform p;
  TForm1 f(p.platform, {});
  f.OnMenu(MenuId::Help2);
  ASSERT_EQ(p.shell.opened.size(), 1u);
  EXPECT_EQ(p.shell.opened[0], "C:\\tools\\inv\\qumbel.mht");
}

TEST(Form1, NumberRowsWritesColumnZeroFromRowOne) {
  FakePlatform p;
  TForm1 f(p.platform, {});
  f.StringGrid1.SetRowCount(4);
  f.NumberRows();
  EXPECT_EQ(f.StringGrid1.Cell(0, 0), "");
  EXPECT_EQ(f.StringGrid1.Cell(0, 1), "1");
  EXPECT_EQ(f.StringGrid1.Cell(0, 3), "3");
  // A cell outside the grid, on either side of either edge, reads empty.
  f.StringGrid1.SetCell(1, 3, "x");
  for (auto [col, row] : {std::pair{-1, 3}, {1, -1}, {f.StringGrid1.ColCount(), 3}, {1, 4}})
    EXPECT_EQ(f.StringGrid1.Cell(col, row), "") << col << "," << row;
}

}  // namespace
}  // namespace orv
