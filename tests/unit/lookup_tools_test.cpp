#include <gtest/gtest.h>

#include "app/form1.h"
#include "fakes/fake_platform.h"
#include "regscript/lookup_tools.h"
#include "regscript/registry_ex.h"

namespace orv {
namespace {

using test::FakePlatform;
using Lines = std::vector<std::string>;

const std::string kCurrentVersion = "HKLM\\Software\\Microsoft\\Windows\\CurrentVersion";
const std::string kBlock = "\\StringFileInfo\\041104B0\\";

struct LookupForm {
  FakePlatform p;
  TForm1 f{p.platform, {"/a"}};

  Lines FileVersion(const std::string& extension) {
    f.Memo1.lines = {extension, "ignored"};
    f.OnMenu(MenuId::FileVersion1);
    return f.Memo1.lines;
  }
  void Register(const std::string& extension, const std::string& type, const std::string& command) {
    p.registry.SetString("HKCR\\" + extension, "", type);
    p.registry.SetString("HKCR\\" + type + "\\shell\\open\\command", "", command);
  }
};

TEST(FileVersionTool, EightFieldsOfTheRegisteredProgram) {
  LookupForm s;
  s.Register(".txt", "txtfile", "\"%ProgramFiles%\\Editor\\Edit.exe\" \"%1\"");
  s.p.registry.SetString(kCurrentVersion, "ProgramFilesDir", "C:\\Program Files");
  s.p.versions.files["c:\\program files\\editor\\edit.exe"] = {
      {"041104B0", "040904E4"},
      {{kBlock + "CompanyName", "Maker Inc."},
       {kBlock + "FileDescription", "Text editor"}, {kBlock + "FileVersion", "1.2.3.4"},
       {kBlock + "InternalName", "edit"}, {kBlock + "LegalCopyright", ""},
       {kBlock + "OriginalFilename", "EDIT.EXE"}, {kBlock + "ProductName", "Editor Pro"},
       {"\\StringFileInfo\\040904E4\\ProductVersion", "other translation"}}};
  EXPECT_EQ(s.FileVersion(".txt"),
            (Lines{".txt", "%ProgramFiles%\\Editor\\Edit.exe", "C:\\Program Files\\editor\\edit.exe",
                   "Version Information", "CompanyName : Maker Inc.", "FileDescription : Text editor",
                   "FileVersion : 1.2.3.4", "InternalName : edit", "LegalCopyright : None",
                   "OriginalFilename : EDIT.EXE", "ProductName : Editor Pro", "ProductVersion : None"}));
  EXPECT_EQ(s.f.state.programFilesFolder, "C:\\Program Files");
  EXPECT_TRUE(s.f.Memo1.readOnly);
}

TEST(FileVersionTool, WithoutVersionInformation) {
  LookupForm s;
  EXPECT_EQ(s.FileVersion(".zzz"), (Lines{".zzz", "", "", "No Version Info"}));
  s.Register(".bat", "batfile", "C:\\Tools\\Run.EXE /x %1");
  EXPECT_EQ(s.FileVersion(".bat"), (Lines{".bat", "C:\\Tools\\Run.EXE", "c:\\tools\\run.exe", "No Version Info"}));
  // A resource without a translation entry: the three lines only.
  s.p.versions.files["c:\\tools\\run.exe"] = {};
  EXPECT_EQ(s.FileVersion(".bat"), (Lines{".bat", "C:\\Tools\\Run.EXE", "c:\\tools\\run.exe"}));
  s.f.Memo1.lines.clear();
  s.f.OnMenu(MenuId::FileVersion1);
  EXPECT_EQ(s.f.Memo1.lines, (Lines{"", "", "", "No Version Info"}));
}

TEST(RunningProgramsTool, ListsEveryProcessAsThePlatformNamesIt) {
  LookupForm s;
  s.p.system.processes = Lines{"[System Process]", "C:\\Windows\\Explorer.EXE", "qumbel.exe"};
  s.f.Memo1.lines = {"old"};
  s.f.Panel1Visible = true;
  s.f.OnMenu(MenuId::RunningProg1);
  EXPECT_EQ(s.f.Memo1.lines, (Lines{"[System Process]", "C:\\Windows\\Explorer.EXE", "qumbel.exe"}));
  EXPECT_FALSE(s.f.Panel1Visible);

  s.p.system.processes = std::nullopt;  // a failed snapshot
  s.f.OnMenu(MenuId::RunningProg1);
  EXPECT_TRUE(s.f.Memo1.lines.empty());
}

// The caption of the tool changes (the search commands keep theirs), nothing else does.
TEST(LookupTools, UnsavedScriptEditsAreNotDiscardedWithoutAQuestion) {
  for (MenuId id : {MenuId::RunningProg1, MenuId::FileVersion1, MenuId::SearchStr1, MenuId::LOCALMACHINE1}) {
    LookupForm s;
    s.f.state.settingsEdit = true;
    s.f.Memo1.lines = {"script"};
    s.f.Memo1.modified = true;
    s.p.dialogs.answers = {MsgResult::Cancel};
    s.f.OnMenu(id);
    EXPECT_EQ(s.f.caption == "Orvanta", id == MenuId::LOCALMACHINE1);
    EXPECT_EQ(s.f.Memo1.lines, Lines{"script"});
    EXPECT_TRUE(s.f.state.settingsEdit);
    EXPECT_EQ(s.p.dialogs.shown.size(), 1u);
  }
}

}  // namespace
}  // namespace orv
