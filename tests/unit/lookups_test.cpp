#include <gtest/gtest.h>

#include <map>

#include "fakes/case_table.h"
#include "fakes/fake_platform.h"
#include "regscript/lookups.h"
#include "util/text.h"

namespace orv {
namespace {

using test::FakePlatform;

class LookupsTest : public ::testing::Test {
 protected:
  FakePlatform fp;
  TRegistryEx reg{fp.registry};
  bool keyOpen = true;
  std::string programFiles = "C:\\Program Files";
  ReaderContext ctx = ReaderContext::From(reg, keyOpen, programFiles, fp.platform);

  void Register(const std::string& ext, const std::string& type, const std::string& command) {
    fp.registry.SetString("HKCR\\" + ext, "", type);
    fp.registry.SetString("HKCR\\" + type + "\\shell\\open\\command", "", command);
  }
  // A version resource of a "resource" case: translations, and strings TRANSLATION\NAME=TEXT joined by \n.
  void AddResource(const std::string& path, const std::string& translations, const std::string& strings) {
    test::FakeVersionInfo::Resource& resource = fp.versions.files[LowerCase(path)];
    if (!translations.empty()) resource.translations = Split(translations, ',');
    if (!strings.empty())
      for (const std::string& entry : Split(strings, '\n'))
        resource.strings["\\StringFileInfo\\" + entry.substr(0, entry.find('='))] = entry.substr(entry.find('=') + 1);
  }
};

TEST_F(LookupsTest, ExeForExtensionLeavesClassesRootAndTheCommandKeyOpen) {
  Register(".txt", "txtfile", "notepad.exe %1");
  fp.registry.SetString("HKLM\\Software\\X", "V", "v");
  reg.SetRootKey(RegRoot::LocalMachine);
  ASSERT_TRUE(reg.OpenKeyReadOnly("\\Software\\X"));
  keyOpen = false;
  EXPECT_EQ(ExeForExtension(ctx, ".txt"), "notepad.exe");
  EXPECT_EQ(reg.CurrentRoot(), RegRoot::ClassesRoot);
  EXPECT_EQ(reg.ReadString(""), "notepad.exe %1");
  EXPECT_FALSE(keyOpen);  // the script's flag is not touched
  EXPECT_EQ(ReadItemValue(ctx, "DEFAULT"), "");
  keyOpen = true;
  EXPECT_EQ(ReadItemValue(ctx, "DEFAULT"), "notepad.exe %1");
}

TEST_F(LookupsTest, ProgramsOfFileTypesAndTheirVersionTexts) {
  fp.registry.Load("file_types.reg");
  fp.system.environment["SystemRoot"] = "C:\\WINDOWS";
  fp.files.Put("C:\\Windows\\system32\\macromed\\flash\\flash9.ocx", "MZ");
  for (const test::Case& c : test::LoadCases("record_lookups.txt")) {
    if (c[0] == "ListSharedFolders") continue;
    if (c[0] == "resource") {
      AddResource(c[1], c[2], c[3]);
      continue;
    }
    if (c[0] == "ExeForExtension") Register(".tst", "tstfile", c[1]);
    const std::string value = c[0] == "ExeForExtension"       ? ExeForExtension(ctx, ".tst")
                              : c[0] == "ExeOfRegisteredType" ? ExeForExtension(ctx, c[1])
                                                              : FileVersionText(ctx, c[1], c[2]);
    EXPECT_EQ(value, c.fields.back()) << c.where;
  }
}

TEST_F(LookupsTest, FlashControlIsLookedUpOnlyWhenItExists) {
  AddResource("flash10.ocx", "", "");
  EXPECT_EQ(FileVersionText(ctx, "Flash10.ocx", "ProductVersion"), "flash10.ocx");
  fp.files.Put("C:\\Windows\\system32\\Macromed\\Flash\\flash10.ocx", "MZ");
  EXPECT_EQ(FileVersionText(ctx, "Flash10.ocx", "ProductVersion"), "");  // the found file has no resource
}

TEST_F(LookupsTest, ListSharedFoldersOutcomes) {
  using S = ShareEnumResult::Status;
  const std::map<std::string, S> statuses = {
      {"Ok", S::Ok}, {"NoMoreItems", S::NoMoreItems}, {"EnumError", S::EnumError}, {"NoNetwork", S::NoNetwork}, {"OpenError", S::OpenError}};
  for (const test::Case& c : test::LoadCases("record_lookups.txt")) {
    if (c[0] != "ListSharedFolders") continue;
    fp.network.shares = {statuses.at(c[1]), static_cast<uint32_t>(c.Int(2)), c[3].empty() ? std::vector<std::string>{} : Split(c[3], '\n')};
    std::vector<std::string> list{"old"};
    ListSharedFolders(ctx, list);
    EXPECT_EQ(Join(list, "\n"), c[4]) << c.where;
  }
}

TEST_F(LookupsTest, ListSharedFoldersAsksThisComputerOnTheProviderOfTheOsKind) {
  std::vector<std::string> list;
  fp.system.computerName = "KEIRI-07";
  ListSharedFolders(ctx, list);
  EXPECT_EQ(fp.network.lastShareContainer, "\\\\KEIRI-07");
  EXPECT_EQ(fp.network.lastShareProvider, "Microsoft Windows NetWork");
  fp.system.os.platformId = 1;
  ListSharedFolders(ctx, list);
  EXPECT_EQ(fp.network.lastShareProvider, "Microsoft Network");
}

}  // namespace
}  // namespace orv
