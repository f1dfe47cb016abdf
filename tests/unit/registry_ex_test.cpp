// The typed reads of TRegistryEx and the value readers of the reg item script over it.
#include <gtest/gtest.h>

#include "fakes/case_table.h"
#include "fakes/fake_registry.h"
#include "regscript/registry_ex.h"
#include "regscript/value_readers.h"
#include "util/text.h"

namespace orv {
namespace {

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

TEST(RegistryEx, DataTypesAndTypedReads) {
  const std::vector<std::string> types = {"None", "String", "ExpandString", "Integer", "Binary", "Unknown"};
  test::FakeRegistry fake;
  fake.Load("registry_ex.reg");
  TRegistryEx reg{fake};
  reg.SetRootKey(RegRoot::LocalMachine);
  ASSERT_TRUE(reg.OpenKeyReadOnly("\\Software\\T"));
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
  EXPECT_FALSE(reg.HasSubKeys());  // values only
  ASSERT_TRUE(reg.OpenKeyReadOnly("\\Software"));
  EXPECT_TRUE(reg.HasSubKeys());
}

TEST(ValueReaders, ItemTextsOverOneKey) {
  test::FakeRegistry fake;
  fake.Load("value_readers.reg");
  for (const test::Case& c : test::LoadCases("probes_value_readers.txt")) {
    TRegistryEx reg{fake};
    reg.SetRootKey(RegRoot::LocalMachine);
    ASSERT_TRUE(reg.OpenKeyReadOnly("\\Software\\Vendor\\App"));
    if (c[0] == "reg-nokey") reg.CloseKey();
    const std::string value = c[0] == "item" || c[0] == "closed" ? ReadItemValue(reg, c[0] == "item", c[1])
                              : StartsWith(c[0], "reg")          ? ReadRegValue(reg, c[1])
                                                                 : PadVersion(c[1]);
    EXPECT_EQ(value, c[2]) << c.where;
  }
}

}  // namespace
}  // namespace orv
