// The chart as a whole: repaint requests, series without a graph, the lifetime of graphs and
// series, and the value lists under the series (extremes, errors, stream form). What a chart
// draws (clipping too) is in the sample pictures, the aspect ratio without a plot area in
// chart_aspect_ratio.txt.

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "xyGraph/graph_lists.h"
#include "xyGraph/xyGraph.h"
#include "xyGraph/xySeries.h"

namespace orv::xy {
namespace {

// A graph with a grid and one series of each kind, each holding a point.
struct Everything {
  TXYGraph graph;
  TXYLineSeries line;
  TXYMarkerSeries markers;
  TXYArrowSeries arrows;
  TXYBubbleSeries bubbles;
  TXYErrorBarSeries bars;
  TXYPolyPolygonSeries polygons;
  TXYInequalSeries regions;
  Everything() {
    graph.SetGridStyle(gsBoth);
    for (TXYGraphSeries* s : std::vector<TXYGraphSeries*>{&line, &markers, &arrows, &bubbles, &bars, &polygons, &regions}) {
      s->SetParentGraph(&graph);
      s->Add(1, 1);
    }
  }
};

TEST(XYGraph, EveryChangeOfThePictureRequestsARepaint) {
  using E = Everything&;
  // clang-format off
  const std::function<void(E)> changes[] = {
      [](E e) { e.graph.SetAutoAspectRatio(true); }, [](E e) { e.graph.SetAxesFront(true); }, [](E e) { e.graph.SetBackColor(0); },
      [](E e) { e.graph.SetGridPen({}); }, [](E e) { e.graph.SetGridStyle(gsBoth); }, [](E e) { e.graph.SetPiSymbol("π"); },
      [](E e) { e.graph.SetSubGridPen({}); }, [](E e) { e.graph.SetTitle({"t"}); }, [](E e) { e.graph.SetTitleFont({}); },
      [](E e) { e.graph.SetTitleAlignment(taCenter); }, [](E e) { e.graph.SetBounds(9, 9); }, [](E e) { e.graph.SetColor(0); },
      [](E e) { e.graph.BeginLoading(); e.graph.EndLoading(); }, [](E e) { e.graph.SetSubGrid(true); },
      [](E e) { e.graph.YAxis().SetTitle("y"); }, [](E e) { e.graph.YAxis().SetMax(20); },
      [](E e) { e.graph.YAxis().SetAutoMax(true); }, [](E e) { e.graph.XAxis().SetInverted(true); },
      [](E e) { e.line.SetSeriesColor(0); }, [](E e) { e.line.SetActive(false); }, [](E e) { e.line.Add(2, 2); },
      [](E e) { e.line.Delete(0); }, [](E e) { e.line.Clear(); }, [](E e) { e.line.SetDisContinue(true); },
      [](E e) { e.line.SetLinePen({}); }, [](E e) { e.markers.SetJoined(true); }, [](E e) { e.markers.SetMarker({}); },
      [](E e) { e.arrows.SetArrowSize(9); }, [](E e) { e.bubbles.SetBrush({}); }, [](E e) { e.bubbles.SetPen({}); },
      [](E e) { e.bubbles.SetMaxSizeRate(20); }, [](E e) { e.bars.SetJoined(false); }, [](E e) { e.bars.SetBarSize(4); },
      [](E e) { e.bars.SetPen({}); }, [](E e) { e.polygons.EndPolygon(); }, [](E e) { e.polygons.SetBrush({}); },
      [](E e) { e.regions.EndGroup(); }, [](E e) { std::stringstream s; e.line.WriteData(s); e.line.ReadData(s); },
      [](E e) { e.line.SetParentGraph(nullptr); }, [](E e) { TXYLineSeries other; other.SetParentGraph(&e.graph); }};
  // clang-format on
  for (size_t i = 0; i < std::size(changes); ++i) {
    int requests = 0;  // outlives the graph: its series ask for a repaint as they go
    Everything e;
    e.graph.OnRepaintRequest = [&](TXYGraph& sender) { requests += &sender == &e.graph; };
    changes[i](e);
    EXPECT_GT(requests, 0) << "change " << i;
  }
}

TEST(XYGraph, SampleDataNeedsAGraph) {
  TXYLineSeries series;
  series.SetName("Series1");
  try {
    series.GenerateSampleData();
    ADD_FAILURE() << "no error";
  } catch (const EXYGraphSeriesError& e) {
    EXPECT_STREQ(e.what(), "Series1 は親グラフを持っていません");
  }
  TXYGraph graph;
  series.SetParentGraph(&graph);
  series.GenerateSampleData();
  EXPECT_EQ((std::vector<double>{series.XMin(), series.XMax(), series.YValue(0)}), (std::vector<double>{0, 10, 5}));
}

TEST(XYGraph, KindNamesOfTheSeriesEditor) {
  Everything e;
  EXPECT_EQ(e.line.KindDisplayName() + e.markers.KindDisplayName() + e.arrows.KindDisplayName() +
                e.bubbles.KindDisplayName() + e.bars.KindDisplayName(),
            "折れ線散布図矢印泡エラーバー");
  EXPECT_EQ(e.polygons.KindDisplayName() + e.regions.KindDisplayName() + TXYPolyPolyLineSeries().KindDisplayName(), "");
}

TEST(XYGraph, SeriesAndGraphsOutliveEachOther) {
  TXYLineSeries kept;
  {
    TXYGraph graph;
    auto gone = std::make_unique<TXYLineSeries>();
    gone->SetParentGraph(&graph);
    kept.SetParentGraph(&graph);
    kept.SetParentGraph(&graph);  // attaching twice keeps one entry
    gone.reset();
    EXPECT_EQ(graph.SeriesCount(), 1);
  }
  EXPECT_EQ(kept.ParentGraph(), nullptr);
  kept.Add(2, 2);  // no graph to repaint
  TXYGraph first, second;
  kept.SetParentGraph(&first);
  kept.SetParentGraph(&second);
  EXPECT_EQ((std::vector<int>{first.SeriesCount(), second.SeriesCount()}), (std::vector<int>{0, 1}));
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
  TXYLineSeries series;  // a series's data: its X list, then its Y list
  std::istringstream xThenY(out.str() + out.str());
  series.ReadData(xThenY);
  EXPECT_EQ(series.XValues().Values(), read.Values());
}

}  // namespace
}  // namespace orv::xy
