// The registry value readers over one key that holds a value of every type; the item texts and
// what they read are in tests/data/cases/probes_value_readers.txt.
#include "regscript/value_readers.h"

#include <gtest/gtest.h>

#include "fakes/case_table.h"
#include "fakes/fake_registry.h"

namespace orv {
namespace {

const char* const kKey = "HKLM\\Software\\Vendor\\App";

TEST(ValueReaders, ItemTextsOverOneKey) {
  test::FakeRegistry fake;
  fake.SetString(kKey, "", "default text");
  fake.SetString(kKey, "Serial", "0123");
  fake.SetString(kKey, "Empty", "");
  fake.SetDword(kKey, "Major", 5);
  fake.SetDword(kKey, "Minor", 1);
  fake.SetDword(kKey, "Big", 4294967295u);
  fake.SetString(kKey, "Ver", "6.0.2900.2180");
  fake.SetMulti(kKey, "VerList", {"1", "2", "3"});
  fake.SetMulti(kKey, "NoParts", {});
  fake.SetExpandString(kKey, "ExpVer", "1.2");
  fake.SetString(kKey, "UninstallString", "C:\\Program Files\\App\\uninst.exe /x");
  fake.SetString(kKey, "Name", "fooabcbar");
  fake.SetString(kKey, "Jp", "日本語テキスト");
  fake.SetBinary(kKey, "Bin", {1, 2});
  for (const test::Case& c : test::LoadCases("probes_value_readers.txt")) {
    TRegistryEx reg{fake};
    reg.SetRootKey(RegRoot::LocalMachine);
    ASSERT_TRUE(reg.OpenKeyReadOnly("\\Software\\Vendor\\App"));
    std::string value;
    if (c[0] == "item" || c[0] == "closed") {
      value = ReadItemValue(reg, c[0] == "item", c[1]);
    } else if (c[0] == "reg") {
      value = ReadRegValue(reg, c[1]);
    } else if (c[0] == "reg-nokey") {
      reg.CloseKey();
      value = ReadRegValue(reg, c[1]);
    } else {
      value = PadVersion(c[1]);
    }
    EXPECT_EQ(value, c[2]) << c.where;
  }
}

}  // namespace
}  // namespace orv
