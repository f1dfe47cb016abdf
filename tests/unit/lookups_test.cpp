// The lookups of the "." and "#" lines over the cases of data/cases/record_lookups.txt.
#include <gtest/gtest.h>

#include <map>

#include "fakes/case_table.h"
#include "fakes/fake_platform.h"
#include "regscript/lookups.h"
#include "util/text.h"

namespace orv {
namespace {

TEST(Lookups, ProgramsOfFileTypesVersionTextsAndSharedFolders) {
  using S = ShareEnumResult::Status;
  const std::map<std::string, S> statuses = {
      {"Ok", S::Ok},               {"NoMoreItems", S::NoMoreItems}, {"EnumError", S::EnumError},
      {"NoNetwork", S::NoNetwork}, {"OpenError", S::OpenError}};
  test::FakePlatform fp;
  TRegistryEx reg{fp.registry};
  bool keyOpen = true;
  std::string programFiles = "C:\\Program Files";
  const ReaderContext ctx = ReaderContext::From(reg, keyOpen, programFiles, fp.platform);
  fp.registry.Load("file_types.reg");
  fp.system.environment["SystemRoot"] = "C:\\WINDOWS";
  fp.files.Put("C:\\Windows\\system32\\macromed\\flash\\flash9.ocx", "MZ");
  for (const test::Case& c : test::LoadCases("record_lookups.txt")) {
    SCOPED_TRACE(c.where);
    std::vector<std::string> list{"old"};
    if (c[0] == "resource") {  // a version resource: translations, and strings TRANSLATION\NAME=TEXT
      test::FakeVersionInfo::Resource& resource = fp.versions.files[LowerCase(c[1])];
      if (!c[2].empty()) resource.translations = Split(c[2], ',');
      if (!c[3].empty())
        for (const std::string& entry : Split(c[3], '\n'))
          resource.strings["\\StringFileInfo\\" + entry.substr(0, entry.find('='))] =
              entry.substr(entry.find('=') + 1);
    } else if (c[0] == "ListSharedFolders") {
      const std::vector<std::string> names = c[3].empty() ? std::vector<std::string>{} : Split(c[3], '\n');
      fp.network.shares = {statuses.at(c[1]), static_cast<uint32_t>(c.Int(2)), names};
      ListSharedFolders(ctx, list);
      EXPECT_EQ(Join(list, "\n"), c[4]);
    } else if (c[0] == "FileVersionText") {
      EXPECT_EQ(FileVersionText(ctx, c[1], c[2]), c[3]);
    } else if (c[0] == "ExeForExtension") {
      fp.registry.SetString("HKCR\\.tst", "", "tstfile");
      fp.registry.SetString("HKCR\\tstfile\\shell\\open\\command", "", c[1]);
      EXPECT_EQ(ExeForExtension(ctx, ".tst"), c[2]);
    } else {  // ExeOfRegisteredType: an extension of file_types.reg
      EXPECT_EQ(ExeForExtension(ctx, c[1]), c[2]);
    }
  }
}

}  // namespace
}  // namespace orv
