#include <gtest/gtest.h>

#include "fakes/case_table.h"
#include "fakes/fake_registry.h"
#include "regscript/registry_ex.h"
#include "util/text.h"

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

// A read's result as a text, "throws" when it throws ERegistryError.
template <typename Read>
std::string ResultOf(Read read) {
  try {
    return read();
  } catch (const ERegistryError&) {
    return "throws";
  }
}

std::string Hex(const std::vector<uint8_t>& bytes) {
  std::string out;
  for (uint8_t b : bytes) out += (out.empty() ? "" : " ") + std::string(1, "0123456789ABCDEF"[b >> 4]) + "0123456789ABCDEF"[b & 15];
  return out;
}

TEST_F(RegistryExTest, DataTypesAndTypedReads) {
  const std::vector<std::string> types = {"None", "String", "ExpandString", "Integer", "Binary", "Unknown"};
  OpenT();
  for (const test::Case& c : test::LoadCases("record_registry_values.txt")) {
    SCOPED_TRACE(c.where);
    const std::string& name = c[0];
    EXPECT_EQ(reg.ValueExists(name), c[1] == "1");
    EXPECT_EQ(types.at(static_cast<size_t>(reg.GetDataType(name))), c[2]);
    EXPECT_EQ(ResultOf([&] { return reg.ReadString(name); }), c[3]);
    EXPECT_EQ(ResultOf([&] { return std::to_string(reg.ReadInteger(name)); }), c[4]);
    EXPECT_EQ(ResultOf([&] { return Hex(reg.ReadBinaryData(name)); }), c[5]);
    std::vector<std::string> list{"x"};  // only a multi-string appends
    reg.ReadMultiString(name, list);
    EXPECT_EQ(Join(list, " "), c[6]);
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
