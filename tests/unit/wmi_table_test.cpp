#include "probes/wmi_table.h"

#include <gtest/gtest.h>

#include "fakes/case_table.h"
#include "fakes/fake_wmi.h"
#include "util/text.h"

namespace orv {
namespace {

// A value of a case: "int" 7, "text" x ...
WmiScalar Scalar(const std::string& kind, const std::string& text) {
  if (kind == "int") return int64_t{std::stoll(text)};
  if (kind == "uint") return uint64_t{std::stoull(text)};
  if (kind == "real") return std::stod(text);
  if (kind == "bool") return text == "1";
  return text;
}

TEST(RenderWmiValue, EveryCimType) {
  for (const test::Case& c : test::LoadCases("probes_wmi_values.txt")) {
    const bool array = EndsWith(c[1], "[]");
    const std::string kind = array ? c[1].substr(0, c[1].size() - 2) : c[1];
    WmiProperty p{"P", static_cast<int>(c.Int(0)), array, kind == "null", {}};
    if (array && !c[2].empty())
      for (const std::string& v : Split(c[2], ',')) p.values.push_back(Scalar(kind, v));
    if (!array && kind != "null") p.values.push_back(Scalar(kind, c[2]));
    EXPECT_EQ(RenderWmiValue(p), c[3]) << c.where;
  }
}

TEST(RunWmiTable, HeaderFromTheFirstInstanceAndOnlyAnUpperCaseSelectIsAQuery) {
  test::FakeWmi wmi;
  // The second instance has fewer properties (the rest stays empty), the third one more.
  wmi.classes["Win32_Thing"] = test::ParseWmiListing("Name=one\nSize=1\n\nName=two\n\nName=three\nSize=\nX=x");
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
  wmi.classes["Win32_Processor"] = test::ParseWmiListing("Name=CPU A");
  EXPECT_EQ(GetWmiValue(wmi, "SELECT * FROM Win32_Processor", "name"), "CPU A");  // WMI ignores case
  EXPECT_EQ(GetWmiValue(wmi, "SELECT * FROM Win32_Processor", "Caption"), "");
  wmi.classes["Win32_Processor"].push_back(wmi.classes["Win32_Processor"][0]);
  EXPECT_EQ(GetWmiValue(wmi, "SELECT * FROM Win32_Processor", "Name"), "");
  wmi.classes["Win32_Processor"].clear();
  EXPECT_EQ(GetWmiValue(wmi, "SELECT * FROM Win32_Processor", "Name"), "");
}

}  // namespace
}  // namespace orv
