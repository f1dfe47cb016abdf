#include <gtest/gtest.h>

#include "app/form1.h"
#include "fakes/fake_platform.h"
#include "inventory/pc_file.h"
#include "util/text.h"

namespace orv {
namespace {

using test::FakePlatform;

TEST(PcFile, FolderChoices) {
  FakePlatform p;
  // The save folder wins; no folder is created for it.
  EXPECT_EQ(PcFilePath(p.files, "D:\\pc", "D:\\tools\\inv\\", "PC01__WG"), "D:\\pc\\PC01__WG.csv");
  // Without one: "pcdata" beside the program's folder when it exists ...
  EXPECT_EQ(PcFilePath(p.files, "", "D:\\tools\\inv\\", "PC01__WG"), "D:\\tools\\inv\\PC01__WG.csv");
  p.files.AddFolder("D:\\tools\\pcdata");
  EXPECT_EQ(PcFilePath(p.files, "", "D:\\tools\\inv\\", "PC01__WG"), "D:\\tools\\pcdata\\PC01__WG.csv");
  // ... and an empty stem is "NoName".
  EXPECT_EQ(PcFilePath(p.files, "D:\\pc", "D:\\tools\\inv\\", ""), "D:\\pc\\NoName.csv");
  EXPECT_EQ(AuditLogPath("D:\\pc\\PC01__WG.csv", "PC01__WG"), "D:\\pc\\p2p\\PC01__WG.log");
}

struct AuditCase {
  const char* name;
  bool toolExists;
  std::optional<bool> admin;
  std::optional<int64_t> logSize;  // nullopt: no log yet
  bool starts;
};

class AuditTool : public ::testing::TestWithParam<AuditCase> {};

TEST_P(AuditTool, StartsOnlyForAnAdministratorWithoutAFinishedLog) {
  const AuditCase& c = GetParam();
  FakePlatform p;
  p.files.AddFolder("C:\\Program Files\\inv");
  p.files.AddFolder("\\\\srv\\pc");
  if (c.toolExists) p.files.Put("C:\\Program Files\\inv\\winyaudt.exe", "MZ");
  p.shell.admin = c.admin;
  if (c.logSize) {
    p.files.Put("\\\\srv\\pc\\p2p\\PC01__WG.log", std::string(static_cast<size_t>(*c.logSize), 'x'));
  }
  bool started = RunAuditTool(p.files, p.shell, "C:\\Program Files\\inv\\", "\\\\srv\\pc\\PC01__WG.csv", "PC01__WG");
  EXPECT_EQ(started, c.starts);
  if (!c.starts) {
    EXPECT_TRUE(p.shell.started.empty());
    return;
  }
  ASSERT_EQ(p.shell.started.size(), 1u);
  // The tool path is quoted and named as the application: a folder with blanks cannot start
  // "C:\Program.exe" instead.
  EXPECT_EQ(p.shell.started[0].application, "C:\\Program Files\\inv\\winyaudt.exe");
  EXPECT_EQ(p.shell.started[0].commandLine,
            "\"C:\\Program Files\\inv\\winyaudt.exe\" /SILENT /START /LOG=\"\\\\srv\\pc\\p2p\\PC01__WG.log\"");
  EXPECT_TRUE(p.files.DirectoryExists("\\\\srv\\pc\\p2p"));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, AuditTool,
    ::testing::Values(AuditCase{"NoLogYet", true, true, std::nullopt, true},
                      AuditCase{"ShortLog", true, true, 80, true},
                      AuditCase{"FinishedLog", true, true, 81, false},
                      AuditCase{"NoTool", false, true, std::nullopt, false},
                      AuditCase{"NotAdministrator", true, false, std::nullopt, false},
                      AuditCase{"NoAdministratorQuery", true, std::nullopt, std::nullopt, true}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(SaveCommand, WritesTheRecordLinesAsCp932WithCrLf) {
  FakePlatform p;
  p.files.AddFolder("D:\\pc");
  p.files.Put("C:\\tools\\inv\\qumbel.ini", "[General]\r\nSaveDir=D:\\pc\\\r\n");
  TForm1 f(p.platform, {});
  f.state.computerStem = "PC01__WG";
  f.Memo1.Add("PC01__WG");
  f.Memo1.Add("佐藤");
  f.Save1Click();
  EXPECT_EQ(p.files.Get("D:\\pc\\PC01__WG.csv"), "PC01__WG\r\n\x8d\xb2\x93\xa1\r\n");
  EXPECT_TRUE(p.dialogs.shown.empty());
}

TEST(SaveCommand, AnInteractiveWriteFailureIsReportedAndAnUnattendedOneIsSilent) {
  FakePlatform p;
  p.files.Put("C:\\tools\\inv\\qumbel.ini", "[General]\r\nSaveDir=D:\\missing\r\n");
  TForm1 interactive(p.platform, {});
  interactive.state.computerStem = "PC01__WG";
  interactive.Save1Click();
  ASSERT_EQ(p.dialogs.shown.size(), 1u);
  EXPECT_NE(p.dialogs.shown[0].text.find("D:\\missing\\PC01__WG.csv"), std::string::npos);

  FakePlatform q;
  q.files.Put("C:\\tools\\inv\\qumbel.ini", "[General]\r\nSaveDir=D:\\missing\r\n");
  TForm1 unattended(q.platform, {"/b0"});
  unattended.state.computerStem = "PC01__WG";
  unattended.Save1Click();
  EXPECT_TRUE(q.dialogs.shown.empty());
}

TEST(SaveCommand, ARecordWithoutItsUnreadableScriptKeepsThePreviousFile) {
  for (const bool unattended : {false, true}) {
    FakePlatform p;
    p.files.Put("C:\\tools\\inv\\qumbel.ini", "[General]\r\nSaveDir=D:\\pc\r\n");
    p.files.Put("C:\\tools\\inv\\regitems.txt", "#split\r\n\r\n");
    p.files.failReads.insert("c:\\tools\\inv\\regitems.txt");  // held on the share, also the second time
    p.files.Put("D:\\pc\\PC01__WORKGROUP.csv", "previous\r\n");
    TForm1 f(p.platform, unattended ? std::vector<std::string>{"/b0"} : std::vector<std::string>{});
    f.Read1Click();
    EXPECT_EQ(f.StringGrid1.Cell(0, 1) + f.StringGrid1.Cell(0, 90), "190");  // the table is numbered
    EXPECT_EQ(f.StringGrid1.Cell(1, 90), "起動後時間");
    f.Save1Click();
    EXPECT_EQ(p.files.Get("D:\\pc\\PC01__WORKGROUP.csv"), "previous\r\n");
    ASSERT_EQ(p.dialogs.shown.size(), unattended ? 0u : 1u);  // the read says why
    if (!unattended) EXPECT_NE(p.dialogs.shown[0].text.find("regitems.txt"), std::string::npos);
  }
  // A readable script replaces the file.
  FakePlatform p;
  p.files.Put("C:\\tools\\inv\\qumbel.ini", "[General]\r\nSaveDir=D:\\pc\r\n");
  p.files.Put("D:\\pc\\PC01__WORKGROUP.csv", "previous\r\n");
  TForm1 f(p.platform, {});
  f.Read1Click();
  f.Save1Click();
  EXPECT_EQ(SplitLines(p.files.Get("D:\\pc\\PC01__WORKGROUP.csv")).size(), 190u);
}

TEST(SaveCommand, NoFileSwitchStillAllowsTheAuditTool) {
  FakePlatform p;
  p.files.AddFolder("D:\\pc");
  p.files.Put("C:\\tools\\inv\\qumbel.ini", "[General]\r\nSaveDir=D:\\pc\r\n");
  p.files.Put("C:\\tools\\inv\\winyaudt.exe", "MZ");
  TForm1 f(p.platform, {"/h/w/b0"});
  f.state.computerStem = "PC01__WG";
  f.Memo1.Add("x");
  f.Save1Click();
  EXPECT_FALSE(p.files.Has("D:\\pc\\PC01__WG.csv"));
  EXPECT_EQ(p.shell.started.size(), 1u);
}

}  // namespace
}  // namespace orv
