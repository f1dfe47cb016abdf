// Value lists of the chart: growth, cached extremes, index and capacity errors, stream form.

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "xyGraph/graph_lists.h"

namespace orv::xy {
namespace {

struct GrowthCase {
  int adds;
  int capacity;
};

class GraphValueListGrowth : public ::testing::TestWithParam<GrowthCase> {};

TEST_P(GraphValueListGrowth, SixteenAtATimeThenAQuarter) {
  TGraphValueList list;
  for (int i = 0; i < GetParam().adds; ++i) list.Add(i);
  EXPECT_EQ(list.Count(), GetParam().adds);
  EXPECT_EQ(list.Capacity(), GetParam().capacity);
}

INSTANTIATE_TEST_SUITE_P(Cases, GraphValueListGrowth,
                         ::testing::Values(GrowthCase{0, 0}, GrowthCase{1, 16}, GrowthCase{16, 16}, GrowthCase{17, 32},
                                           GrowthCase{64, 64}, GrowthCase{65, 80},  // a full 64 grows to 80
                                           GrowthCase{80, 80}, GrowthCase{81, 100},  // a full 80 grows to 100
                                           GrowthCase{101, 125}, GrowthCase{126, 156}));

TEST(GraphValueList, OtherKindsGrowAlike) {
  TGraphIntegerList ints;
  TGraphPointList points;
  for (int i = 0; i < 65; ++i) {
    ints.Add(i);
    points.Add({i, -i});
  }
  EXPECT_EQ(ints.Capacity(), 80);
  EXPECT_EQ(points.Capacity(), 80);
  EXPECT_EQ(points[64], (TGraphPoint{64, -64}));
  points.Delete(0);
  EXPECT_EQ(points[0], (TGraphPoint{1, -1}));
  EXPECT_THROW(ints.Get(65), EListError);
}

struct ExtremeCase {
  const char* name;
  std::vector<double> values;
  void (*change)(TGraphValueList&);
  double min;
  int minIndex;
  double max;
  int maxIndex;
};

class GraphValueListExtremes : public ::testing::TestWithParam<ExtremeCase> {};

TEST_P(GraphValueListExtremes, StayTheListsExtremes) {
  const ExtremeCase& c = GetParam();
  TGraphValueList list;
  for (double v : c.values) list.Add(v);
  if (c.change) c.change(list);
  EXPECT_EQ(list.Min(), c.min);
  EXPECT_EQ(list.MinIndex(), c.minIndex);
  EXPECT_EQ(list.Max(), c.max);
  EXPECT_EQ(list.MaxIndex(), c.maxIndex);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, GraphValueListExtremes,
    ::testing::Values(
        ExtremeCase{"Empty", {}, nullptr, 0, -1, 0, -1},
        ExtremeCase{"FirstSetsBoth", {7}, nullptr, 7, 0, 7, 0},
        ExtremeCase{"Adds", {3, -1, 8, 2}, nullptr, -1, 1, 8, 2},
        ExtremeCase{"PutBeyond", {3, -1, 8}, [](TGraphValueList& l) { l.Put(0, 9); }, -1, 1, 9, 0},
        ExtremeCase{"PutOverTheMaximum", {3, -1, 8}, [](TGraphValueList& l) { l.Put(2, 0); }, -1, 1, 3, 0},
        ExtremeCase{"DeleteTheMinimum", {3, -1, 8}, [](TGraphValueList& l) { l.Delete(1); }, 3, 0, 8, 1},
        ExtremeCase{"DeleteBeforeTheExtremes", {3, -1, 8}, [](TGraphValueList& l) { l.Delete(0); }, -1, 0, 8, 1},
        ExtremeCase{"DeleteTheLast", {3}, [](TGraphValueList& l) { l.Delete(0); }, 0, -1, 0, -1},
        ExtremeCase{"Sort", {3, -1, 8, 2}, [](TGraphValueList& l) { l.Sort(); }, -1, 0, 8, 3},
        ExtremeCase{"ClearThenAdd", {3, -1}, [](TGraphValueList& l) {
                      l.Clear();
                      l.Add(5);
                    }, 5, 0, 5, 0}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(GraphValueList, IndexAndCapacityErrors) {
  TGraphValueList list;
  list.Add(1);
  list.Add(2);
  EXPECT_THROW(list.Get(-1), EListError);
  EXPECT_THROW(list.Get(2), EListError);
  EXPECT_THROW(list.Put(2, 0), EListError);
  EXPECT_THROW(list.Delete(5), EListError);
  try {
    list.Get(2);
  } catch (const EListError& e) {
    EXPECT_STREQ(e.what(), "List index out of bounds (2)");
  }
  EXPECT_THROW(list.SetCapacity(1), EListError);  // below Count
  EXPECT_THROW(list.SetCapacity(TDynamicList::MaxListSize + 1), EListError);
  EXPECT_EQ(list.Capacity(), 16);
  list.SetCapacity(2);
  EXPECT_EQ(list.Capacity(), 2);
  list.Add(3);
  EXPECT_EQ(list.Capacity(), 18);
  EXPECT_EQ(list.Values(), (std::vector<double>{1, 2, 3}));
}

TEST(GraphValueList, StreamFormIsCountThenLittleEndianDoubles) {
  TGraphValueList list;
  list.Add(1.0);
  list.Add(-2.5);
  std::ostringstream out;
  list.WriteTo(out);
  const unsigned char expected[] = {2, 0, 0, 0,                                    // count
                                    0, 0, 0, 0, 0, 0, 0xF0, 0x3F,                  // 1.0
                                    0, 0, 0, 0, 0, 0, 0x04, 0xC0};                 // -2.5
  EXPECT_EQ(out.str(), std::string(reinterpret_cast<const char*>(expected), sizeof expected));

  TGraphValueList read;
  read.Add(99);
  std::istringstream in(out.str());
  read.ReadFrom(in);
  EXPECT_EQ(read.Values(), (std::vector<double>{1.0, -2.5}));
  EXPECT_EQ(read.Min(), -2.5);
  EXPECT_EQ(read.MaxIndex(), 0);
}

TEST(GraphValueList, ShortStreamLeavesTheListAsItWas) {
  TGraphValueList list;
  list.Add(7);
  std::istringstream in(std::string("\x03\x00\x00\x00", 4) + std::string(8, '\0'));
  EXPECT_THROW(list.ReadFrom(in), EListError);
  EXPECT_EQ(list.Values(), (std::vector<double>{7}));
}

TEST(GraphValueList, EmptyStreamRoundTrip) {
  TGraphValueList list;
  std::stringstream stream;
  list.WriteTo(stream);
  EXPECT_EQ(stream.str(), std::string(4, '\0'));
  list.Add(1);
  list.ReadFrom(stream);
  EXPECT_EQ(list.Count(), 0);
}

}  // namespace
}  // namespace orv::xy
