// The chart as a whole: repaint requests, grid rules, series attachment, colours and data, and
// the lifetime of graphs and series. What a chart draws (clipping too) is in the sample pictures.

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "xyGraph/svg_canvas.h"
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

TEST(XYGraph, SubGridNeedsAGrid) {
  TXYGraph graph;
  graph.SetSubGrid(true);
  EXPECT_FALSE(graph.SubGrid());
  graph.SetGridStyle(gsHorizontal);
  graph.SetSubGrid(true);
  graph.SetGridStyle(gsVertical);
  EXPECT_TRUE(graph.SubGrid());
  graph.SetGridStyle(gsNone);
  EXPECT_FALSE(graph.SubGrid());
}

TEST(XYGraph, NewSeriesGetTheLeastUsedColourOfTheTable) {
  const TColor table[] = {clRed,   clGreen,  clBlue,   clFuchsia, clTeal,  clNavy,   clMaroon, clLime,
                          clOlive, clPurple, clSilver, clAqua,    clBlack, clYellow, clWhite,  clGray};
  TXYGraph graph;
  std::vector<std::unique_ptr<TXYLineSeries>> series;
  auto attach = [&] {
    series.push_back(std::make_unique<TXYLineSeries>());
    series.back()->SetParentGraph(&graph);
    return series.back()->LinePen().Color;
  };
  for (TColor expected : table) EXPECT_EQ(attach(), expected);
  EXPECT_EQ(attach(), clRed);  // all used once: from the start again
  series[1]->SetSeriesColor(0x123456);  // a colour of its own leaves green unused
  EXPECT_EQ(attach(), clGreen);
  TXYLineSeries own;
  own.SetSeriesColor(clTeal);
  own.SetParentGraph(&graph);
  EXPECT_EQ(own.SeriesColor(), clTeal);
}

TEST(XYGraph, DataExtentsOfTheActiveSeriesThatHoldPoints) {
  TXYGraph graph;
  TXYLineSeries shown, more, hidden, empty;
  for (TXYLineSeries* s : {&shown, &more, &hidden, &empty}) s->SetParentGraph(&graph);
  EXPECT_FALSE(graph.HasData());
  EXPECT_DOUBLE_EQ(graph.DataMax(false), 10);  // the axis's own end without data
  shown.Add(3, 4);
  shown.Add(5, 2);
  more.Add(4, 7);
  hidden.Add(-50, -100);
  hidden.Add(500, 1000);
  hidden.SetActive(false);
  EXPECT_TRUE(graph.HasData());
  EXPECT_EQ((std::vector<double>{graph.DataMin(true), graph.DataMax(true), graph.DataMin(false), graph.DataMax(false)}),
            (std::vector<double>{3, 5, 2, 7}));
}

// The third values of bubbles and error bars stay with their points; polygons and their groups
// are counted as they are closed.
TEST(XYGraph, PointsOfTheSeries) {
  TXYErrorBarSeries bars;
  std::vector<int> added;
  bars.OnAfterAdd = [&](TXYGraphSeries& sender, int index) { added.push_back(&sender == &bars ? index : -1); };
  bars.AddErrorBar(1, 10, 0.5);
  bars.AddErrorBar(2, 20, 1.5);
  bars.Delete(0);
  EXPECT_THROW(bars.Delete(1), EListError);  // checked before either list changes
  EXPECT_EQ(added, (std::vector<int>{0, 1}));
  EXPECT_EQ((std::vector<double>{bars.XValue(0), bars.YValue(0), bars.Errors()[0], 1.0 * bars.Count()}),
            (std::vector<double>{2, 20, 1.5, 1}));
  TXYBubbleSeries bubbles;
  bubbles.AddBubble(1, 1, 5);
  bubbles.AddBubble(2, 2, 6);
  bubbles.Delete(0);
  EXPECT_EQ((std::vector<double>{bubbles.XValue(0), bubbles.Sizes()[0], 1.0 * bubbles.Sizes().Count()}),
            (std::vector<double>{2, 6, 1}));
  TXYInequalSeries regions;
  for (int i = 0; i < 7; ++i) {
    regions.Add(i, i);
    if (i == 2 || i == 6) regions.EndPolygon();
  }
  regions.EndPolygon();  // nothing new to close
  regions.EndGroup();
  EXPECT_EQ((std::vector<int>{regions.CountList()[0], regions.CountList()[1], regions.CountList().Count(),
                              regions.GroupList()[0], regions.GroupList().Count()}),
            (std::vector<int>{3, 4, 2, 2, 1}));
  for (TXYGraphSeries* s : std::vector<TXYGraphSeries*>{&bars, &bubbles, &regions}) s->Clear();
  EXPECT_EQ(bars.Errors().Count() + bubbles.Sizes().Count() + regions.Count() + regions.CountList().Count() +
                regions.GroupList().Count(),
            0);
}

// Points read anew may be fewer than the sizes: the sizes without a point draw nothing.
TEST(XYGraph, BubblesWithMoreSizesThanPoints) {
  TXYLineSeries one;
  one.Add(5, 5);
  std::stringstream data;
  one.WriteData(data);
  TXYGraph graph;
  TXYBubbleSeries bubbles;
  bubbles.AddBubble(1, 1, 5);
  bubbles.AddBubble(2, 2, 6);
  bubbles.ReadData(data);
  bubbles.SetParentGraph(&graph);
  SvgCanvas canvas(300, 200);
  graph.Paint(canvas);
  const std::string svg = canvas.Svg();
  ASSERT_NE(svg.find("<ellipse"), std::string::npos);
  EXPECT_EQ(svg.find("<ellipse", svg.find("<ellipse") + 1), std::string::npos);  // one bubble
}

TEST(XYGraph, PointDataStreamsAsTwoValueLists) {
  TXYLineSeries a, b;
  a.Add(-90.5, 35);
  a.Add(0, 41.25);
  std::stringstream stream;
  a.WriteData(stream);
  EXPECT_EQ(stream.str().size(), 2u * (4 + 2 * 8));
  b.ReadData(stream);
  EXPECT_EQ(b.XValues().Values(), (std::vector<double>{-90.5, 0}));
  EXPECT_EQ(b.YValues().Values(), (std::vector<double>{35, 41.25}));
  std::stringstream uneven(std::string("\x01\0\0\0", 4) + std::string(8, '\0') + std::string(4, '\0'));
  EXPECT_THROW(b.ReadData(uneven), EListError);
  EXPECT_EQ(b.Count(), 2);
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
    EXPECT_EQ(&graph.Series(0), &kept);
    EXPECT_THROW(graph.Series(1), EListError);
  }
  EXPECT_EQ(kept.ParentGraph(), nullptr);
  kept.Add(2, 2);  // no graph to repaint
  TXYGraph first, second;
  kept.SetParentGraph(&first);
  kept.SetParentGraph(&second);
  EXPECT_EQ((std::vector<int>{first.SeriesCount(), second.SeriesCount()}), (std::vector<int>{0, 1}));
  EXPECT_EQ(kept.SeriesColor(), clGreen);  // the colour stays with the series
  kept.SetParentGraph(nullptr);
  EXPECT_EQ(second.SeriesCount(), 0);
}

// A graph smaller than its titles and labels has no plot area: the aspect ratio leaves it alone
// instead of computing a side beyond any int.
TEST(XYGraph, AutoAspectRatioOfAGraphWithoutPlotArea) {
  TXYGraph graph;
  graph.SetBounds(60, 20);
  graph.SetTitle({"Temperature", "history"});
  graph.XAxis().SetMax(1e-6);
  graph.YAxis().SetMax(1e6);
  graph.SetAutoAspectRatio(true);
  SvgCanvas canvas(60, 20);
  graph.Paint(canvas);
  EXPECT_LE(graph.PlotRect().Height(), 0);
  EXPECT_LE(std::abs(graph.PlotRect().Width()), 60);
}

}  // namespace
}  // namespace orv::xy
