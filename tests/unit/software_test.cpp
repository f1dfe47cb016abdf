#include "probes/software.h"

#include <gtest/gtest.h>

#include "fakes/fake_registry.h"
#include "regscript/registry_ex.h"

namespace orv {
namespace {

using Strings = std::vector<std::string>;

const std::string kUninstall = "HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\";

class InstalledSoftwareTest : public ::testing::Test {
 protected:
  void Named(const std::string& subKey, const std::string& name, const std::string& version) {
    fake.SetString(kUninstall + subKey, "DisplayName", name);
    if (!version.empty()) fake.SetString(kUninstall + subKey, "DisplayVersion", version);
  }
  // The same in the view of the 32-bit programs.
  void Named32(const std::string& subKey, const std::string& name, const std::string& version) {
    auto& values = fake.AddKey(kUninstall + subKey, RegView::Wow32).values;
    for (auto [valueName, text] : {std::pair{"DisplayName", name}, std::pair{"DisplayVersion", version}})
      values.emplace_back(valueName, RegValue{.type = regtype::String, .text = text});
  }
  std::string Collect() {
    TRegistryEx reg(fake);
    reg.SetRootKey(RegRoot::LocalMachine);
    return CollectInstalledSoftware(reg, programs, patches);
  }

  test::FakeRegistry fake;
  Strings programs{"left over"}, patches{"left over"};
};

TEST_F(InstalledSoftwareTest, EntryTextAndWhichEntriesAreListed) {
  EXPECT_EQ(Collect(), "No patch date");
  EXPECT_TRUE(programs.empty() && patches.empty());

  Named("A1", "Editor", "2.1");
  fake.SetString(kUninstall + "A1", "ProductID", "55-123");
  Named("A2", "NoVersion", "");
  Named("A3", "MajorMinor", "");
  fake.SetDword(kUninstall + "A3", "VersionMajor", 5);
  fake.SetDword(kUninstall + "A3", "VersionMinor", 12);
  Named("A4", "MinorOnly", "");
  fake.SetDword(kUninstall + "A4", "VersionMinor", 3);
  fake.SetString(kUninstall + "A4", "VersionMajor", "5");  // not an integer: not used
  Named("B1", "EmptyNoRemove", "1");
  fake.SetString(kUninstall + "B1", "NoRemove", "");
  for (const char* kept : {"NoRemoveOne", "NoRemoveZero", "NoRemoveText"}) Named(kept, kept, "1");
  fake.SetDword(kUninstall + "NoRemoveOne", "NoRemove", 1);
  fake.SetDword(kUninstall + "NoRemoveZero", "NoRemove", 0);
  fake.SetString(kUninstall + "NoRemoveText", "NoRemove", "0");
  fake.SetString(kUninstall + "C1", "DisplayVersion", "1.0");  // no name
  Named("C2", "Locked", "1");
  fake.AddKey(kUninstall + "C2").denyOpen = true;

  EXPECT_EQ(Collect(), "No patch date");
  EXPECT_EQ(programs, (Strings{"Editor 2.1 55-123", "EmptyNoRemove 1 ", "MajorMinor 5.12 ", "MinorOnly .3 ",
                               "NoVersion  "}));
  EXPECT_TRUE(patches.empty());
}

TEST_F(InstalledSoftwareTest, WindowsEntriesBecomeUpdatesAndTheNewestDateIsReturned) {
  const std::pair<Strings, std::string> cases[] = {  // one "Windows XP Hotfix" update per version
      {{"20030709.94512"}, "2003/07/09 9:45:12"},
      {{"20030709.104512", "20040101.080000", "20031231.235959"}, "2004/01/01 08:00:00"},
      {{"2003-07-09"}, "2003-07-09"},  // not yyyymmdd.hhmmss: taken as it is
      {{"1.0"}, "No patch date"},
  };
  for (const auto& [versions, date] : cases) {
    SCOPED_TRACE(versions.front());
    fake = test::FakeRegistry();
    int n = 0;
    for (const std::string& version : versions) {
      std::string kb = "KB10000" + std::to_string(++n);
      Named(kb, "Windows XP Hotfix - " + kb, version);
    }
    Named("Undated", "Windows XP Hotfix - KB9", "");  // sorts last and is passed over
    EXPECT_EQ(Collect(), date);
  }

  fake = test::FakeRegistry();
  Named("KB823182", "Windows 2000 Hotfix - KB823182", "20030709.104512");
  Named("W2K", "Windows 2000 Professional", "");  // its own " 2000" lies before the searched part
  Named("Tool", "WindowsTool", "1.0");            // no blank after "Windows": a program
  EXPECT_EQ(Collect(), "2003/07/09 10:45:12");
  EXPECT_EQ(programs, (Strings{"WindowsTool 1.0 "}));
  EXPECT_EQ(patches, (Strings{" 20030709.104512 0@Windows 2000 Hotfix - KB823182 20030709.104512 ",
                              "0@Windows 2000 Professional  "}));
}

TEST_F(InstalledSoftwareTest, BothViewsAreReadAndASharedEntryIsListedOnce) {
  Named("Native", "Native Tool", "1.0");
  Named("Shared", "Shared Runtime", "8.0");
  Named("Case", "Same Name", "1");
  Named32("Shared", "Shared Runtime", "8.0");
  Named32("Old", "Shared Runtime", "7.0");
  Named32("Case", "same name", "1");  // another text; sorts after the native one it equals
  Named32("Legacy", "_Legacy Tool", "3.2");
  Named32("KB1", "Windows XP Hotfix - KB823182", "20030709.104512");
  EXPECT_EQ(Collect(), "2003/07/09 10:45:12");
  EXPECT_EQ(programs, (Strings{"_Legacy Tool 3.2 ", "Native Tool 1.0 ", "Same Name 1 ", "same name 1 ",
                               "Shared Runtime 7.0 ", "Shared Runtime 8.0 "}));
}

TEST(SortTextList, FoldsAsciiLettersOnlyAndKeepsTheOrderOfEqualTexts) {
  Strings list{"b", "É", "A", "a", "B", "[", "Z"};
  SortTextList(list);
  EXPECT_EQ(list, (Strings{"[", "A", "a", "b", "B", "Z", "É"}));
}

TEST(VersionToNumber, DottedVersions) {
  const std::pair<std::string, int32_t> cases[] = {
      {"", 0}, {"4321", 4321}, {"4.0.4321", 400004321}, {"4.x.1", -1}, {"4..1", -1}, {"4.", -1}, {"99999999999", -1},
      {"21.4748.3648", -2147483647 - 1},  // wraps
      {"1.0.0.0", -727379968},            // 10^12 wrapped to 32 bits
  };
  for (const auto& [text, number] : cases) EXPECT_EQ(VersionToNumber(text), number) << text;
}

}  // namespace
}  // namespace orv
