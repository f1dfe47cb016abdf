// Where the per-PC file goes, the audit tool beside it, and the save command that writes it.
#include <gtest/gtest.h>

#include "app/form1.h"
#include "fakes/case_table.h"
#include "fakes/fake_platform.h"
#include "inventory/pc_file.h"
#include "util/text.h"

namespace orv {
namespace {

using test::FakePlatform;

TEST(PcFile, FolderChoices) {
  FakePlatform p;
  // The save folder wins; without one "pcdata" beside the program's folder when it exists, else
  // the program's folder; an empty stem is "NoName".
  EXPECT_EQ(PcFilePath(p.files, "D:\\pc", "D:\\tools\\inv\\", "PC01__WG"), "D:\\pc\\PC01__WG.csv");
  EXPECT_EQ(PcFilePath(p.files, "", "D:\\tools\\inv\\", "PC01__WG"), "D:\\tools\\inv\\PC01__WG.csv");
  p.files.AddFolder("D:\\tools\\pcdata");
  EXPECT_EQ(PcFilePath(p.files, "", "D:\\tools\\inv\\", "PC01__WG"), "D:\\tools\\pcdata\\PC01__WG.csv");
  EXPECT_EQ(PcFilePath(p.files, "D:\\pc", "D:\\tools\\inv\\", ""), "D:\\pc\\NoName.csv");
  EXPECT_EQ(AuditLogPath("D:\\pc\\PC01__WG.csv", "PC01__WG"), "D:\\pc\\p2p\\PC01__WG.log");
}

TEST(PcFile, TheAuditToolStartsOnlyForAnAdministratorWithoutAFinishedLog) {
  for (const test::Case& c : test::LoadCases("record_audit_tool.txt")) {
    SCOPED_TRACE(c.where);
    const bool starts = c[3] == "1";
    FakePlatform p;
    p.files.AddFolder("\\\\srv\\pc");
    if (c[0] == "1") p.files.Put("C:\\Program Files\\inv\\winyaudt.exe", "MZ");
    p.shell.admin = c[1] == "unasked" ? std::nullopt : std::optional<bool>(c[1] == "1");
    if (c[2] != "none") p.files.Put("\\\\srv\\pc\\p2p\\PC01__WG.log", std::string(c.Int(2), 'x'));
    const std::string pcFile = "\\\\srv\\pc\\PC01__WG.csv";
    EXPECT_EQ(RunAuditTool(p.files, p.shell, "C:\\Program Files\\inv\\", pcFile, "PC01__WG"), starts);
    ASSERT_EQ(p.shell.started.size(), starts ? 1u : 0u);
    if (!starts) continue;
    // Quoted and named as the application: a folder with blanks cannot start "C:\Program.exe".
    EXPECT_EQ(p.shell.started[0].application, "C:\\Program Files\\inv\\winyaudt.exe");
    EXPECT_EQ(p.shell.started[0].commandLine,
              "\"C:\\Program Files\\inv\\winyaudt.exe\" /SILENT /START /LOG=\"\\\\srv\\pc\\p2p\\PC01__WG.log\"");
    EXPECT_TRUE(p.files.DirectoryExists("\\\\srv\\pc\\p2p"));
  }
}

// A form over a platform whose settings name the save folder `folder`.
struct Saving {
  FakePlatform p;
  explicit Saving(const std::string& folder) {
    p.files.Put("C:\\tools\\inv\\qumbel.ini", "[General]\r\nSaveDir=" + folder + "\r\n");
  }
};

TEST(SaveCommand, WritesTheRecordAsCp932WithCrLfOrReportsWhyNot) {
  using Args = std::vector<std::string>;
  for (const Args& args : {Args{}, Args{"/b0"}, Args{"/h/w/b0"}}) {  // interactive, unattended, no file
    const bool unattended = !args.empty(), noFile = unattended && args[0] == "/h/w/b0";
    SCOPED_TRACE(unattended ? args[0] : "interactive");
    Saving s("D:\\pc");
    s.p.files.AddFolder("D:\\pc");
    s.p.files.Put("C:\\tools\\inv\\winyaudt.exe", "MZ");
    TForm1 f(s.p.platform, args);
    f.state.computerStem = "PC01__WG";
    f.Memo1.Add("PC01__WG");
    f.Memo1.Add("佐藤");
    f.Save1Click();
    EXPECT_EQ(s.p.files.Get("D:\\pc\\PC01__WG.csv"), noFile ? "" : "PC01__WG\r\n\x8d\xb2\x93\xa1\r\n");
    EXPECT_TRUE(s.p.dialogs.shown.empty());
    if (noFile) EXPECT_EQ(s.p.shell.started.size(), 1u) << "the audit tool starts without the file";

    Saving missing("D:\\missing");  // an interactive write failure is reported, an unattended one is not
    TForm1 g(missing.p.platform, args);
    g.state.computerStem = "PC01__WG";
    g.Save1Click();
    ASSERT_EQ(missing.p.dialogs.shown.size(), unattended ? 0u : 1u);
    if (!unattended)
      EXPECT_NE(missing.p.dialogs.shown[0].text.find("D:\\missing\\PC01__WG.csv"), std::string::npos);
  }
}

TEST(SaveCommand, ARecordWithoutItsUnreadableScriptKeepsThePreviousFile) {
  for (const int run : {0, 1, 2}) {  // interactive, unattended, then without the script
    SCOPED_TRACE(run);
    Saving s("D:\\pc");
    if (run < 2) {
      s.p.files.Put("C:\\tools\\inv\\regitems.txt", "#split\r\n\r\n");
      s.p.files.failReads.insert("c:\\tools\\inv\\regitems.txt");  // held on the share, also the second time
    }
    s.p.files.Put("D:\\pc\\PC01__WORKGROUP.csv", "previous\r\n");
    TForm1 f(s.p.platform, run == 1 ? std::vector<std::string>{"/b0"} : std::vector<std::string>{});
    f.Read1Click();
    EXPECT_EQ(f.StringGrid1.Cell(0, 1) + f.StringGrid1.Cell(0, 90) + f.StringGrid1.Cell(1, 90), "190起動後時間");
    EXPECT_TRUE(f.StringGrid1.visible && !f.Memo1.visible);  // the table screen in place of the text
    EXPECT_EQ((std::vector<int>{f.StringGrid1.ColWidth(0), f.StringGrid1.ColWidth(1), f.StringGrid1.ColWidth(2)}),
              (std::vector<int>{28, 200, 480}));  // the number, name and value columns of the table screen
    f.Save1Click();
    const std::string saved = s.p.files.Get("D:\\pc\\PC01__WORKGROUP.csv");
    if (run == 2) {
      EXPECT_EQ(SplitLines(saved).size(), 190u);
      continue;
    }
    EXPECT_EQ(saved, "previous\r\n");
    ASSERT_EQ(s.p.dialogs.shown.size(), run == 0 ? 1u : 0u);  // the read says why
    if (run == 0) EXPECT_NE(s.p.dialogs.shown[0].text.find("regitems.txt"), std::string::npos);
  }
}

}  // namespace
}  // namespace orv
