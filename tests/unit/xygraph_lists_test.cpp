// Value lists of the chart: growth, cached extremes, index and capacity errors, stream form.

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "xyGraph/graph_lists.h"

namespace orv::xy {
namespace {

TEST(GraphLists, GrowSixteenAtATimeThenByAQuarter) {
  const int rows[][2] = {{0, 0},   {1, 16},  {16, 16},  {17, 32},   {64, 64},
                         {65, 80}, {80, 80}, {81, 100}, {101, 125}, {126, 156}};  // adds, capacity
  for (auto [adds, capacity] : rows) {
    TGraphValueList values;
    TGraphIntegerList ints;
    for (int i = 0; i < adds; ++i) values.Add(ints.Add(i));
    EXPECT_EQ((std::vector<int>{values.Count(), values.Capacity(), ints.Capacity()}),
              (std::vector<int>{adds, capacity, capacity}));
  }
  TGraphValueList list;  // a deleted item leaves room that the next one takes, kept when growing
  for (int i = 0; i < 16; ++i) list.Add(i);
  list.Delete(0);
  list.Add(16);
  list.Add(17);
  EXPECT_EQ((std::vector<double>{list[14], list[15], list[16], 1.0 * list.Capacity()}), (std::vector<double>{15, 16, 17, 32}));
}

TEST(GraphLists, ExtremesStayThoseOfTheList) {
  using L = TGraphValueList&;
  const struct {
    std::vector<double> values;
    void (*change)(L);
    std::vector<double> extremes;  // min, its index, max, its index
  } rows[] = {
      {{}, nullptr, {0, -1, 0, -1}}, {{7}, nullptr, {7, 0, 7, 0}}, {{3, -1, 8, 2}, nullptr, {-1, 1, 8, 2}},
      {{3, 3, 8, 8}, nullptr, {3, 0, 8, 2}},  // ties keep the first
      {{1, 9, 1, 9}, [](L l) { l.Delete(1); }, {1, 0, 9, 2}}, {{3, -1, 8}, [](L l) { l.Put(0, 9); }, {-1, 1, 9, 0}},
      {{3, -1, 8}, [](L l) { l.Put(2, 0); }, {-1, 1, 3, 0}}, {{3, -1, 8}, [](L l) { l.Put(1, 5); }, {3, 0, 8, 2}},
      {{3, 5, 8}, [](L l) { l.Put(1, 3); }, {3, 0, 8, 2}}, {{3, -1, 8}, [](L l) { l.Delete(1); }, {3, 0, 8, 1}},
      {{3, -1, 8}, [](L l) { l.Delete(0); }, {-1, 0, 8, 1}}, {{8, -1, 3}, [](L l) { l.Delete(2); }, {-1, 1, 8, 0}},
      {{3}, [](L l) { l.Delete(0); }, {0, -1, 0, -1}}, {{3, -1, 8, 2}, [](L l) { l.Sort(); }, {-1, 0, 8, 3}},
      {{3, -1}, [](L l) { l.Clear(); l.Add(5); }, {5, 0, 5, 0}},
      {{4}, [](L l) { TGraphValueList o; o.Add(2); o.Add(9); l.Assign(o); }, {2, 0, 9, 1}}};
  for (const auto& r : rows) {
    TGraphValueList list;
    for (double v : r.values) list.Add(v);
    if (r.change) r.change(list);
    EXPECT_EQ((std::vector<double>{list.Min(), 1.0 * list.MinIndex(), list.Max(), 1.0 * list.MaxIndex()}), r.extremes)
        << ::testing::PrintToString(list.Values());
  }
}

TEST(GraphLists, IndexAndCapacityErrors) {
  TGraphValueList list;
  list.Add(1);
  list.Add(2);
  try {
    list.Get(2);
    ADD_FAILURE() << "no error";
  } catch (const EListError& e) {
    EXPECT_STREQ(e.what(), "List index out of bounds (2)");
  }
  EXPECT_THROW(list.Get(-1), EListError);
  EXPECT_THROW(list.Put(2, 0), EListError);
  EXPECT_THROW(list.SetCapacity(1), EListError);  // below Count
  EXPECT_THROW(list.SetCapacity(TDynamicList::MaxListSize + 1), EListError);
  EXPECT_EQ((std::vector<int>{list.IndexOf(2), list.IndexOf(3)}), (std::vector<int>{1, -1}));
  list.SetCapacity(2);
  list.Add(3);
  EXPECT_EQ(list.Capacity(), 18);
  TGraphPointList points;
  points.Add({1, -1});
  points.Add({2, -2});
  points.Delete(0);
  EXPECT_THROW(points.Delete(1), EListError);
  EXPECT_EQ(points[0], (TGraphPoint{2, -2}));
}

TEST(GraphLists, StreamFormIsCountThenLittleEndianDoubles) {
  TGraphValueList list;
  list.Add(1.0);
  list.Add(-2.5);
  std::ostringstream out;
  list.WriteTo(out);
  const unsigned char expected[] = {2, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0xF0, 0x3F, 0, 0, 0, 0, 0, 0, 0x04, 0xC0};
  EXPECT_EQ(out.str(), std::string(reinterpret_cast<const char*>(expected), sizeof expected));
  TGraphValueList read;
  read.Add(99);
  std::istringstream in(out.str());
  read.ReadFrom(in);
  EXPECT_EQ(read.Values(), (std::vector<double>{1.0, -2.5}));
  EXPECT_EQ(read.MinIndex(), 1);
  std::istringstream shortStream(std::string("\x03\x00\x00\x00", 4) + std::string(8, '\0'));
  EXPECT_THROW(read.ReadFrom(shortStream), EListError);  // leaves the list as it was
  EXPECT_EQ(read.Values(), (std::vector<double>{1.0, -2.5}));
}

}  // namespace
}  // namespace orv::xy
