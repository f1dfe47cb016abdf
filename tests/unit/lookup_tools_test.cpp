#include <gtest/gtest.h>

#include "app/form1.h"
#include "fakes/case_table.h"
#include "fakes/fake_platform.h"
#include "regscript/lookup_tools.h"
#include "regscript/registry_ex.h"
#include "util/text.h"

namespace orv {
namespace {

using test::FakePlatform;
using Lines = std::vector<std::string>;

const std::string kCurrentVersion = "HKLM\\Software\\Microsoft\\Windows\\CurrentVersion";

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

TEST(FileVersionTool, TheVersionFieldsOfTheRegisteredProgram) {
  for (const test::Case& c : test::LoadCases("record_file_version_tool.txt")) {
    LookupForm s;
    s.p.registry.SetString(kCurrentVersion, "ProgramFilesDir", "C:\\Program Files");
    if (!c[1].empty()) s.Register(c[0], "testfile", c[1]);
    if (!c[2].empty()) {
      test::FakeVersionInfo::Resource& resource = s.p.versions.files[c[2]];
      if (!c[3].empty()) resource.translations = Split(c[3], ',');
      if (!c[4].empty())
        for (const std::string& entry : Split(c[4], '\n'))
          resource.strings["\\StringFileInfo\\" + entry.substr(0, entry.find('='))] = entry.substr(entry.find('=') + 1);
    }
    EXPECT_EQ(Join(s.FileVersion(c[0]), "\n"), c[5]) << c.where;
    EXPECT_TRUE(s.f.Memo1.readOnly) << c.where;
    EXPECT_EQ(s.f.state.programFilesFolder, "C:\\Program Files") << c.where;
  }
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

}  // namespace
}  // namespace orv
