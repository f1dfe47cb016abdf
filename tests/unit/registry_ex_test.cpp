#include <gtest/gtest.h>

#include "fakes/fake_registry.h"
#include "regscript/registry_ex.h"

namespace orv {
namespace {

using test::FakeRegistry;

class RegistryExTest : public ::testing::Test {
 protected:
  RegistryExTest() { fake.Load("registry_ex.reg"); }
  FakeRegistry fake;
  TRegistryEx reg{fake};

  void OpenT() {
    reg.SetRootKey(RegRoot::LocalMachine);
    ASSERT_TRUE(reg.OpenKeyReadOnly("\\Software\\T"));
  }
};

TEST_F(RegistryExTest, StartsAtCurrentUserWithoutKeyAndOpensOneKeyAtATime) {
  EXPECT_EQ(reg.CurrentRoot(), RegRoot::CurrentUser);
  EXPECT_FALSE(reg.HasOpenKey());
  EXPECT_FALSE(reg.ValueExists("Str"));
  EXPECT_EQ(reg.GetDataType("Str"), RegDataType::None);
  EXPECT_EQ(reg.ReadString("Str"), "");
  EXPECT_THROW(reg.ReadInteger("Seven"), ERegistryError);
  EXPECT_FALSE(reg.HasSubKeys());
  ASSERT_TRUE(reg.OpenKeyReadOnly("Software\\T"));  // paths are taken from the current root
  EXPECT_EQ(reg.ReadString("Str"), "user");
  // An open replaces the key; a failed one leaves none open.
  OpenT();
  EXPECT_EQ(reg.ReadString("Str"), "text");
  EXPECT_TRUE(reg.OpenKeyReadOnly("Software\\T\\Sub1"));  // no leading backslash, not relative
  EXPECT_FALSE(reg.ValueExists("Str"));
  EXPECT_FALSE(reg.OpenKeyReadOnly("\\Software\\Missing"));
  EXPECT_FALSE(reg.HasOpenKey());
  EXPECT_FALSE(reg.OpenKeyReadOnly("\\Software\\Locked"));
  OpenT();
  reg.SetRootKey(RegRoot::CurrentUser);  // the open key stays open
  EXPECT_EQ(reg.ReadString("Str"), "text");
  reg.CloseKey();
  EXPECT_FALSE(reg.HasOpenKey());
  EXPECT_EQ(reg.CurrentRoot(), RegRoot::CurrentUser);
}

TEST_F(RegistryExTest, DataTypesAndTypedReads) {
  OpenT();
  const struct {
    const char* name;
    RegDataType type;
    bool stringReadable, integerReadable;
  } cases[] = {
      {"Str", RegDataType::String, true, false},       {"", RegDataType::String, true, false},
      {"Exp", RegDataType::ExpandString, true, false}, {"Big", RegDataType::Integer, false, true},
      {"Bin", RegDataType::Binary, false, false},      {"Qw", RegDataType::Unknown, false, false},
      {"Multi", RegDataType::Unknown, false, false},   {"NoType", RegDataType::None, false, false},
  };
  auto throws = [](auto read) {
    try {
      read();
    } catch (const ERegistryError&) {
      return true;
    }
    return false;
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_TRUE(reg.ValueExists(c.name));
    EXPECT_EQ(reg.GetDataType(c.name), c.type);
    EXPECT_EQ(throws([&] { reg.ReadString(c.name); }), !c.stringReadable);
    EXPECT_EQ(throws([&] { reg.ReadInteger(c.name); }), !c.integerReadable);
  }
  EXPECT_EQ(reg.ReadString("exp"), "%SystemRoot%\\x");  // names ignore case, text is not expanded
  EXPECT_EQ(reg.ReadString("Missing"), "");
  EXPECT_THROW(reg.ReadInteger("Missing"), ERegistryError);
  EXPECT_EQ(reg.ReadInteger("Big"), -1);
  EXPECT_EQ(reg.ReadInteger("Seven"), 7);
}

TEST_F(RegistryExTest, BinaryDataAndMultiStrings) {
  OpenT();
  EXPECT_EQ(reg.ReadBinaryData("Bin"), (std::vector<uint8_t>{1, 2, 3}));
  EXPECT_EQ(reg.ReadBinaryData("Qw").size(), 8u);
  EXPECT_EQ(reg.ReadBinaryData("Multi"), (std::vector<uint8_t>{'a', 0, 'b', 0, 0}));
  EXPECT_TRUE(reg.ReadBinaryData("Missing").empty());
  EXPECT_THROW(reg.ReadBinaryData("Str"), ERegistryError);
  EXPECT_THROW(reg.ReadBinaryData("Seven"), ERegistryError);
  std::vector<std::string> list{"x"};  // only a multi-string appends
  reg.ReadMultiString("Multi", list);
  EXPECT_EQ(list, (std::vector<std::string>{"x", "a", "b"}));
  for (const char* other : {"Str", "Big", "Bin", "Missing"}) {
    reg.ReadMultiString(other, list);
    EXPECT_EQ(list.size(), 3u) << other;
  }
}

TEST_F(RegistryExTest, KeyAndValueNamesReplaceTheList) {
  OpenT();
  std::vector<std::string> list{"old"};
  reg.GetKeyNames(list);
  EXPECT_EQ(list, (std::vector<std::string>{"Sub2", "Sub1"}));
  EXPECT_TRUE(reg.HasSubKeys());
  reg.GetValueNames(list);
  EXPECT_EQ(list.size(), 9u);
  EXPECT_EQ(list.front(), "Str");
  ASSERT_TRUE(reg.OpenKeyReadOnly("\\Software\\T\\Sub1"));
  EXPECT_FALSE(reg.HasSubKeys());
  reg.CloseKey();
  reg.GetValueNames(list);
  EXPECT_TRUE(list.empty());
}

TEST_F(RegistryExTest, OpensInTheViewItWasMadeFor) {
  fake.SetString("HKLM\\Software\\T", "Where", "native");
  fake.AddKey("HKLM\\Software\\T", RegView::Wow32).values.emplace_back("Where", RegValue{.type = regtype::String, .text = "wow"});
  TRegistryEx wow(fake, RegView::Wow32);
  wow.SetRootKey(RegRoot::LocalMachine);
  ASSERT_TRUE(wow.OpenKeyReadOnly("\\Software\\T"));
  EXPECT_EQ(wow.ReadString("Where"), "wow");
  OpenT();
  EXPECT_EQ(reg.ReadString("Where"), "native");
}

}  // namespace
}  // namespace orv
