#include <gtest/gtest.h>

#include "fakes/fake_wmi.h"
#include "probes/wmi_table.h"

namespace orv {
namespace {

using test::ArrayProperty;
using test::FakeWmi;
using test::NullProperty;
using test::ScalarProperty;

TEST(RenderWmiValueTest, RendersEveryCimType) {
  struct Case {
    const char* what;
    WmiProperty property;
    const char* expected;
  };
  const Case cases[] = {
      {"null string", NullProperty("Caption", 8), "NULL"},
      {"null array", NullProperty("IPAddress", 8, true), "NULL"},
      {"uint32 past 31 bits", ScalarProperty("MaxNumberOfProcesses", 19, int64_t{4294967295}), "-1"},
      {"uint32 max as unsigned", ScalarProperty("MaxCapacity", 19, uint64_t{2147483648u}), "-2147483648"},
      {"sint64 as text, 33 bits", ScalarProperty("Offset", 20, std::string("4294967298")), "2"},
      {"integer array", ArrayProperty("BiosCharacteristics", 18, {int64_t{7}, int64_t{9}, int64_t{11}}), "7|9|11"},
      {"real", ScalarProperty("Height", 4, 2.5), "2.5"},
      {"real with 15 digits", ScalarProperty("Ratio", 5, 1.0 / 3.0), "0.333333333333333"},
      {"large real", ScalarProperty("Ratio", 5, 1e20), "1E20"},
      {"small real", ScalarProperty("Ratio", 5, 1.5e-7), "1.5E-7"},
      {"string", ScalarProperty("Name", 8, std::string("基板")), "基板"},
      {"string array", ArrayProperty("ListOfLanguages", 8, {std::string("a"), std::string("b"), std::string("c")}),
       "a|b|c"},
      {"empty array", ArrayProperty("ConfigOptions", 8, {}), ""},
      {"uint64 text", ScalarProperty("Capacity", 21, std::string("8589934592")), "8589934592"},
      {"true", ScalarProperty("IPEnabled", 11, true), "True"},
      {"embedded object", ScalarProperty("Embedded", 13, std::string("x")), "<CIM Object>"},
      {"date-time", ScalarProperty("InstallDate", 101, std::string("20161202000000.000000+000")),
       "20161202000000.000000+000"},
      {"char16", ScalarProperty("Letter", 103, int64_t{65}), "<16-bit character>"},
      {"unknown type", ScalarProperty("Odd", 99, std::string("x")), ""},
  };
  for (const Case& c : cases) EXPECT_EQ(RenderWmiValue(c.property), c.expected) << c.what;
}

WmiInstance Instance(std::vector<WmiProperty> properties) { return WmiInstance{std::move(properties)}; }

TEST(RunWmiTableTest, BuildsHeaderAndRowsFromTheFirstInstancesProperties) {
  FakeWmi wmi;
  wmi.classes["Win32_Thing"] = {
      Instance({ScalarProperty("Name", 8, std::string("one")), ScalarProperty("Size", 19, int64_t{1})}),
      Instance({ScalarProperty("Name", 8, std::string("two"))}),  // fewer: the rest stays empty
      Instance({ScalarProperty("Name", 8, std::string("three")), NullProperty("Size", 19),
                ScalarProperty("Extra", 8, std::string("dropped"))}),
  };
  int count = -1;
  T2DimStrArray table;
  ASSERT_TRUE(RunWmiTable(wmi, "Win32_Thing", count, table));
  EXPECT_EQ(count, 3);
  const T2DimStrArray expected = {
      {"Instance", "Name", "Size"},
      {"1", "one", "1"},
      {"2", "two", ""},
      {"3", "three", "NULL"},
  };
  EXPECT_EQ(table, expected);
  EXPECT_EQ(FindWmiColumn(table, "Size"), 2);
  EXPECT_EQ(FindWmiColumn(table, "size"), 0);  // exact, with case
  EXPECT_EQ(FindWmiColumn(table, "Instance"), 0);
  EXPECT_EQ(GetWmiCell(table, "Name"), "one");
  EXPECT_EQ(GetWmiCell(table, "Missing"), "");
}

TEST(RunWmiTableTest, OnlyAnUpperCaseSelectAtTheStartIsAQuery) {
  FakeWmi wmi;
  wmi.classes["Win32_Thing"] = {Instance({ScalarProperty("Name", 8, std::string("one"))})};
  wmi.classes["Win32_None"] = {};
  struct Case {
    const char* text;
    bool ok;
    int count;
  };
  const Case cases[] = {
      {"SELECT Name FROM Win32_Thing", true, 1},
      {"Win32_Thing", true, 1},
      {"Win32_None", true, 0},
      {"select Name FROM Win32_Thing", false, 0},  // taken as a class name, which does not exist
      {" SELECT Name FROM Win32_Thing", false, 0},
  };
  for (const Case& c : cases) {
    int count = -1;
    T2DimStrArray table{{"stale"}};
    EXPECT_EQ(RunWmiTable(wmi, c.text, count, table), c.ok) << c.text;
    EXPECT_EQ(count, c.count) << c.text;
    EXPECT_EQ(table.size(), c.count ? 2u : 0u) << c.text;
  }
}

TEST(GetWmiValueTest, NeedsExactlyOneInstanceWithTheProperty) {
  FakeWmi wmi;
  auto cpu = [](const char* name) { return Instance({ScalarProperty("Name", 8, std::string(name))}); };
  wmi.classes["Win32_Processor"] = {cpu("CPU A")};
  EXPECT_EQ(GetWmiValue(wmi, "SELECT Name FROM Win32_Processor", "Name"), "CPU A");
  EXPECT_EQ(GetWmiValue(wmi, "SELECT Name FROM Win32_Processor", "name"), "CPU A");  // WMI ignores case
  EXPECT_EQ(GetWmiValue(wmi, "SELECT * FROM Win32_Processor", "Caption"), "");
  wmi.classes["Win32_Processor"].push_back(cpu("CPU B"));
  EXPECT_EQ(GetWmiValue(wmi, "SELECT Name FROM Win32_Processor", "Name"), "");
  wmi.classes["Win32_Processor"].clear();
  EXPECT_EQ(GetWmiValue(wmi, "SELECT Name FROM Win32_Processor", "Name"), "");
  wmi.down = true;
  EXPECT_EQ(GetWmiValue(wmi, "SELECT Name FROM Win32_Processor", "Name"), "");
}

}  // namespace
}  // namespace orv
