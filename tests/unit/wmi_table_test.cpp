#include "probes/wmi_table.h"

#include <gtest/gtest.h>

#include "fakes/fake_wmi.h"

namespace orv {
namespace {

using test::ArrayProperty;
using test::NullProperty;
using test::ScalarProperty;

TEST(RenderWmiValue, EveryCimType) {
  const std::pair<WmiProperty, const char*> cases[] = {
      {NullProperty("Caption", 8), "NULL"},
      {ScalarProperty("MaxNumberOfProcesses", 19, int64_t{4294967295}), "-1"},  // kept in 32 bits
      {ScalarProperty("MaxCapacity", 19, uint64_t{2147483648u}), "-2147483648"},
      {ScalarProperty("Offset", 20, std::string("4294967298")), "2"},  // 64-bit integers come as text
      {ScalarProperty("Flag", 18, true), "-1"},
      {ScalarProperty("Count", 19, 2.6), "3"},
      {ArrayProperty("BiosCharacteristics", 18, {int64_t{7}, int64_t{9}, int64_t{11}}), "7|9|11"},
      {ScalarProperty("Height", 4, int64_t{2}), "2"},
      {ScalarProperty("Ratio", 5, 1.0 / 3.0), "0.333333333333333"},
      {ScalarProperty("Ratio", 5, 1e20), "1E20"},
      {ScalarProperty("Ratio", 5, -1.5e-7), "-1.5E-7"},
      {ArrayProperty("ListOfLanguages", 8, {std::string("a"), std::string("b")}), "a|b"},
      {ArrayProperty("ConfigOptions", 8, {}), ""},
      {ScalarProperty("Capacity", 21, std::string("8589934592")), "8589934592"},
      {ScalarProperty("IPEnabled", 11, true), "True"},
      {ScalarProperty("IPEnabled", 11, int64_t{0}), "False"},
      {ScalarProperty("Embedded", 13, std::string("x")), "<CIM Object>"},
      {ScalarProperty("Path", 102, std::string("\\\\PC\\root")), "\\\\PC\\root"},
      {ScalarProperty("Letter", 103, int64_t{65}), "<16-bit character>"},
      {ScalarProperty("Odd", 99, std::string("x")), ""},
  };
  for (const auto& [property, text] : cases) EXPECT_EQ(RenderWmiValue(property), text) << property.name;
}

TEST(RunWmiTable, HeaderFromTheFirstInstanceAndOnlyAnUpperCaseSelectIsAQuery) {
  test::FakeWmi wmi;
  wmi.classes["Win32_Thing"] = {
      {{ScalarProperty("Name", 8, std::string("one")), ScalarProperty("Size", 19, int64_t{1})}},
      {{ScalarProperty("Name", 8, std::string("two"))}},  // fewer: the rest stays empty
      {{ScalarProperty("Name", 8, std::string("three")), NullProperty("Size", 19), ScalarProperty("X", 8, std::string())}},
  };
  wmi.classes["Win32_None"] = {};
  int count = -1;
  T2DimStrArray table;
  ASSERT_TRUE(RunWmiTable(wmi, "Win32_Thing", count, table));
  EXPECT_EQ(count, 3);
  EXPECT_EQ(table, (T2DimStrArray{{"Instance", "Name", "Size"}, {"1", "one", "1"}, {"2", "two", ""}, {"3", "three", "NULL"}}));
  EXPECT_EQ(FindWmiColumn(table, "Size"), 2);
  EXPECT_EQ(FindWmiColumn(table, "size"), 0);  // exact, with case
  EXPECT_EQ(FindWmiColumn(table, "Instance"), 0);
  EXPECT_EQ(GetWmiCell(table, "Name"), "one");
  EXPECT_EQ(GetWmiCell({{"Instance", "Name"}, {"1"}}, "Name"), "");
  const std::tuple<const char*, bool, int> queries[] = {
      {"SELECT Name FROM Win32_Thing", true, 3}, {"Win32_None", true, 0},
      {"select Name FROM Win32_Thing", false, 0},  // taken as a class name, which does not exist
      {" SELECT Name FROM Win32_Thing", false, 0}};
  for (const auto& [text, ok, rows] : queries) {
    table = {{"stale"}};
    EXPECT_EQ(RunWmiTable(wmi, text, count, table), ok) << text;
    EXPECT_EQ(count, rows) << text;
    EXPECT_EQ(table.size(), rows ? rows + 1u : 0u) << text;
  }
}

TEST(GetWmiValue, ExactlyOneInstanceWithTheProperty) {
  test::FakeWmi wmi;
  wmi.classes["Win32_Processor"] = {{{ScalarProperty("Name", 8, std::string("CPU A"))}}};
  EXPECT_EQ(GetWmiValue(wmi, "SELECT * FROM Win32_Processor", "name"), "CPU A");  // WMI ignores case
  EXPECT_EQ(GetWmiValue(wmi, "SELECT * FROM Win32_Processor", "Caption"), "");
  wmi.classes["Win32_Processor"].push_back(wmi.classes["Win32_Processor"][0]);
  EXPECT_EQ(GetWmiValue(wmi, "SELECT * FROM Win32_Processor", "Name"), "");
  wmi.classes["Win32_Processor"].clear();
  EXPECT_EQ(GetWmiValue(wmi, "SELECT * FROM Win32_Processor", "Name"), "");
}

}  // namespace
}  // namespace orv
