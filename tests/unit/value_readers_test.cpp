#include <gtest/gtest.h>

#include "fakes/fake_registry.h"
#include "regscript/value_readers.h"

namespace orv {
namespace {

using test::FakeRegistry;

const char* const kKey = "HKLM\\Software\\Vendor\\App";

class ValueReadersTest : public ::testing::Test {
 protected:
  ValueReadersTest() {
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
    reg.SetRootKey(RegRoot::LocalMachine);
    keyOpen = reg.OpenKeyReadOnly("\\Software\\Vendor\\App");
  }
  FakeRegistry fake;
  TRegistryEx reg{fake};
  bool keyOpen = false;
};

TEST_F(ValueReadersTest, ReadItemValueForms) {
  struct Case {
    const char* item;
    const char* expected;
  };
  const Case cases[] = {
      // plain names, the default value, integers
      {"Serial", "0123"}, {"serial", "0123"}, {"Missing", ""}, {"DEFAULT", "default text"}, {"Major", "5"},
      {"Big", "-1"}, {"Jp", "日本語テキスト"}, {"ExpVer", "1.2"}, {"Bin", "Error!"},
      // catalogue label
      {"Serial==Serial number", "0123"}, {"Serial==A|B", "0123"},
      // alternatives
      {"Empty|Serial", "0123"}, {"Missing|Empty", ""}, {"Serial|Major", "0123"}, {"Bin|Serial", "Error!"},
      {"Missing|Major+.Minor", ""},  // with "|" present the "+" belongs to the name
      // concatenation
      {"Major+.Minor", "5.1"}, {"Missing+.Minor", ".1"}, {"Major+.Minor+ Missing", "5.1 "},
      {"Major+.Minor+.", "5.1."}, {"Major+", "5"},
      {"Major+・Minor", "5・1"},  // the separator is one character, not one byte
      {"Major+.Bin", "5.Error!"}, {"'Serial+-'Missing", "'0123-"},
      // quote
      {"'Serial", "'0123"}, {"'Missing", ""}, {"'Missing/", "' "},
      // version padding
      {"%Ver", "  6.  0.2900.2180"}, {"%VerList", "  1.  2.  3"}, {"%NoParts", ""}, {"%Missing", ""},
      {"%Major", ""},
      {"%ExpVer", ""},  // only a plain string is read as a version text
      {"'%Ver", "'  6.  0.2900.2180"},
      {"%Ver(  0./80)", "2900.21"},  // padded before the cut
      // cuts; "(" takes precedence over "/"
      {"UninstallString(\\/.exe)", "Program Files\\App\\uninst"}, {"Name(abc)", "foo"}, {"Name(abc/xyz)", ""},
      {"Name(zzz/bar)", ""}, {"Name(o/c)", "oab"}, {"Name(/bar)", "fooabc"}, {"Name(abc/)", ""}, {"Name()", ""},
      {"Name(abc", "foo"}, {"Name(abc)/x", "foo"}, {"Jp(語/ト)", "テキス"}, {"Missing(\\/.exe)", ""},
      // filters
      {"Missing/", " "}, {"Empty/", " "}, {"Serial/", "0123"}, {"Serial/12", "0123"}, {"Serial/9", ""},
      {"Missing/9", ""}, {"Jp/本語", "日本語テキスト"},
      {"DEFAULT/", " "},  // only the exact word names the default value
  };
  ASSERT_TRUE(keyOpen);
  for (const Case& c : cases) EXPECT_EQ(ReadItemValue(reg, keyOpen, c.item), c.expected) << c.item;
}

TEST_F(ValueReadersTest, ClosedKeyFlagGivesEmpty) {
  for (const char* item : {"Serial", "Bin", "Missing/", "Major+.Minor"})
    EXPECT_EQ(ReadItemValue(reg, false, item), "") << item;
}

TEST_F(ValueReadersTest, ReadRegValueReadsOneNameOnly) {
  EXPECT_EQ(ReadRegValue(reg, "Serial|Major"), "");
  EXPECT_EQ(ReadRegValue(reg, "Major+.Minor"), "");
  EXPECT_EQ(ReadRegValue(reg, "'Serial"), "'0123");
  EXPECT_EQ(ReadRegValue(reg, "Serial==x"), "");
  reg.CloseKey();  // without an open key every value is missing
  EXPECT_EQ(ReadRegValue(reg, "Serial"), "");
  EXPECT_EQ(ReadRegValue(reg, "Serial/"), " ");
  EXPECT_EQ(ReadRegValue(reg, "%Ver"), "");
}

TEST(PadVersion, AlignsEveryPart) {
  struct Case {
    const char* text;
    const char* expected;
  };
  const Case cases[] = {
      {"", ""}, {"5.1", "  5.  1"}, {"6.0.2900.2180", "  6.  0.2900.2180"}, {"10", " 10"}, {"1234", "1234"},
      {"12.345", " 12.345"}, {"100.1", "100.  1"}, {"5.", "  5.  "}, {".5", "  .  5"}, {"1..2", "  1.  .  2"},
      {"７.１", "  ７.  １"},  // counted in characters
  };
  for (const Case& c : cases) EXPECT_EQ(PadVersion(c.text), c.expected) << c.text;
}

}  // namespace
}  // namespace orv
