// The chart as a whole: repaint requests, grid rules, series attachment, colours and data,
// clipping, and the lifetime of graphs and series. What a chart draws is in the sample pictures.

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
    TXYGraphSeries* all[] = {&line, &markers, &arrows, &bubbles, &bars, &polygons, &regions};
    for (TXYGraphSeries* s : all) {
      s->SetParentGraph(&graph);
      s->Add(1, 1);
    }
  }
};

TEST(XYGraph, EveryChangeOfThePictureRequestsARepaint) {
  // clang-format off
  const std::vector<std::function<void(Everything&)>> changes = {
      [](Everything& e) { e.graph.SetAutoAspectRatio(true); }, [](Everything& e) { e.graph.SetAxesFront(true); },
      [](Everything& e) { e.graph.SetBackColor(clRed); }, [](Everything& e) { e.graph.SetGridPen({}); },
      [](Everything& e) { e.graph.SetGridStyle(gsBoth); }, [](Everything& e) { e.graph.SetPiSymbol("π"); },
      [](Everything& e) { e.graph.SetSubGridPen({}); }, [](Everything& e) { e.graph.SetTitle({"t"}); },
      [](Everything& e) { e.graph.SetTitleFont({}); }, [](Everything& e) { e.graph.SetTitleAlignment(taCenter); },
      [](Everything& e) { e.graph.SetBounds(10, 10); }, [](Everything& e) { e.graph.SetColor(clRed); },
      [](Everything& e) { e.graph.BeginLoading(); e.graph.EndLoading(); },
      [](Everything& e) { e.graph.SetSubGrid(true); },
      [](Everything& e) { e.graph.YAxis().SetTitle("y"); }, [](Everything& e) { e.graph.YAxis().SetMax(20); },
      [](Everything& e) { e.graph.YAxis().SetAutoMax(true); }, [](Everything& e) { e.graph.XAxis().SetInverted(true); },
      [](Everything& e) { e.line.SetSeriesColor(clRed); }, [](Everything& e) { e.line.SetActive(false); },
      [](Everything& e) { e.line.Add(2, 2); }, [](Everything& e) { e.line.Delete(0); }, [](Everything& e) { e.line.Clear(); },
      [](Everything& e) { e.line.SetDisContinue(true); }, [](Everything& e) { e.line.SetLinePen({}); },
      [](Everything& e) { e.markers.SetJoined(true); }, [](Everything& e) { e.markers.SetMarker({}); },
      [](Everything& e) { e.arrows.SetArrowSize(9); }, [](Everything& e) { e.bubbles.SetBrush({}); },
      [](Everything& e) { e.bubbles.SetPen({}); }, [](Everything& e) { e.bubbles.SetMaxSizeRate(20); },
      [](Everything& e) { e.bars.SetJoined(false); }, [](Everything& e) { e.bars.SetBarSize(4); },
      [](Everything& e) { e.bars.SetPen({}); }, [](Everything& e) { e.polygons.EndPolygon(); },
      [](Everything& e) { e.polygons.SetBrush({}); }, [](Everything& e) { e.regions.EndGroup(); },
      [](Everything& e) { std::stringstream s; e.line.WriteData(s); e.line.ReadData(s); },
      [](Everything& e) { e.line.SetParentGraph(nullptr); },
      [](Everything& e) { TXYLineSeries other; other.SetParentGraph(&e.graph); }};
  // clang-format on
  for (size_t i = 0; i < changes.size(); ++i) {
    Everything e;
    int requests = 0;
    e.graph.OnRepaintRequest = [&](TXYGraph& sender) {
      EXPECT_EQ(&sender, &e.graph);
      ++requests;
    };
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
  EXPECT_TRUE(graph.SubGrid());
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
    return series.back()->SeriesColor();
  };
  for (TColor expected : table) EXPECT_EQ(attach(), expected);
  EXPECT_EQ(attach(), clRed);  // all used once: from the start again
  series[1]->SetSeriesColor(0x123456);  // a colour of its own leaves green unused
  EXPECT_EQ(attach(), clGreen);
  EXPECT_EQ(series.back()->LinePen().Color, clGreen);
  series.clear();
  TXYLineSeries own;
  EXPECT_EQ(own.SeriesColor(), clNone);
  own.SetSeriesColor(clTeal);
  own.SetParentGraph(&graph);
  EXPECT_EQ(own.SeriesColor(), clTeal);
  EXPECT_EQ(own.LinePen().Color, clTeal);
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
  EXPECT_DOUBLE_EQ(graph.DataMin(true), 3);
  EXPECT_DOUBLE_EQ(graph.DataMax(true), 5);
  EXPECT_DOUBLE_EQ(graph.DataMin(false), 2);
  EXPECT_DOUBLE_EQ(graph.DataMax(false), 7);
}

TEST(XYGraph, PointsOfTheSeries) {
  TXYErrorBarSeries series;
  std::vector<int> added;
  series.OnAfterAdd = [&](TXYGraphSeries& sender, int index) {
    EXPECT_EQ(&sender, &series);
    added.push_back(index);
  };
  series.AddErrorBar(1, 10, 0.5);
  series.AddErrorBar(2, 20, 1.5);
  EXPECT_EQ(added, (std::vector<int>{0, 1}));
  series.Delete(0);
  EXPECT_EQ(series.Errors().Values(), (std::vector<double>{1.5}));
  EXPECT_DOUBLE_EQ(series.XValue(0), 2);
  EXPECT_DOUBLE_EQ(series.YMin(), 20);
  EXPECT_THROW(series.Delete(1), EListError);  // checked before either list changes
  EXPECT_EQ(series.Count(), 1);
  series.Clear();
  EXPECT_EQ(series.Count() + series.Errors().Count(), 0);

  TXYBubbleSeries bubbles;
  bubbles.AddBubble(1, 1, 5);
  bubbles.AddBubble(2, 2, 6);
  bubbles.Delete(0);
  EXPECT_EQ(bubbles.Sizes().Values(), (std::vector<double>{6}));
  EXPECT_DOUBLE_EQ(bubbles.XValue(0), 2);
  bubbles.Clear();
  EXPECT_EQ(bubbles.Count() + bubbles.Sizes().Count(), 0);

  TXYInequalSeries regions;
  for (int i = 0; i < 7; ++i) {
    regions.Add(i, i);
    if (i == 2 || i == 6) regions.EndPolygon();
    if (i == 6) regions.EndGroup();
  }
  regions.EndPolygon();  // nothing new to close
  EXPECT_EQ(regions.CountList()[0], 3);
  EXPECT_EQ(regions.CountList()[1], 4);
  EXPECT_EQ(regions.CountList().Count(), 2);
  EXPECT_EQ(regions.GroupList()[0], 2);
  regions.Clear();
  EXPECT_EQ(regions.Count() + regions.CountList().Count() + regions.GroupList().Count(), 0);
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
  EXPECT_EQ(series.Count(), 10);
  EXPECT_DOUBLE_EQ(series.XMin(), 0);
  EXPECT_DOUBLE_EQ(series.XMax(), 10);
  EXPECT_DOUBLE_EQ(series.YValue(0), 5);
}

TEST(XYGraph, KindNamesOfTheSeriesEditor) {
  Everything e;
  EXPECT_EQ(e.line.KindDisplayName(), "折れ線");
  EXPECT_EQ(e.markers.KindDisplayName(), "散布図");
  EXPECT_EQ(e.arrows.KindDisplayName(), "矢印");
  EXPECT_EQ(e.bubbles.KindDisplayName(), "泡");
  EXPECT_EQ(e.bars.KindDisplayName(), "エラーバー");
  EXPECT_EQ(e.polygons.KindDisplayName() + e.regions.KindDisplayName() + TXYPolyPolyLineSeries().KindDisplayName(), "");
}

// ---- lifetime ---------------------------------------------------------------------------------

TEST(XYGraph, SeriesAndGraphsOutliveEachOther) {
  TXYLineSeries kept;
  {
    TXYGraph graph;
    auto gone = std::make_unique<TXYLineSeries>();
    gone->SetParentGraph(&graph);
    kept.SetParentGraph(&graph);
    kept.SetParentGraph(&graph);  // attaching twice keeps one entry
    ASSERT_EQ(graph.SeriesCount(), 2);
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
  EXPECT_EQ(first.SeriesCount(), 0);
  EXPECT_EQ(second.SeriesCount(), 1);
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

// ---- clipping ---------------------------------------------------------------------------------

struct ClipRow {
  double x1, y1, x2, y2;
  bool visible;
  double cx1, cy1, cx2, cy2;
};

TEST(XYGraph, SegmentsAreCutAtTheRangeEdges) {
  // clang-format off
  const ClipRow rows[] = {
      {0, 0, 10, 10, true, 0, 0, 10, 10},  // the edges belong to the range
      {1, 1, 9, 9, true, 1, 1, 9, 9}, {0, 0, 20, 5, true, 0, 0, 10, 2.5}, {-10, 5, 5, 5, true, 0, 5, 5, 5},
      {5, 5, 5, 50, true, 5, 5, 5, 10}, {5, -5, 5, 5, true, 5, 0, 5, 5}, {-5, 5, 15, 5, true, 0, 5, 10, 5},
      {-1, 5, 5, 11, true, 0, 6, 4, 10}, {-10, -10, 20, 20, true, 0, 0, 10, 10}, {-6, 5, 5, 16, false, 0, 0, 0, 0},
      {-5, 0, -1, 10, false, 0, 0, 0, 0}, {11, 0, 12, 10, false, 0, 0, 0, 0}, {0, 11, 10, 12, false, 0, 0, 0, 0}, {0, -1, 10, -2, false, 0, 0, 0, 0}};
  // clang-format on
  for (const ClipRow& r : rows) {
    double x1 = r.x1, y1 = r.y1, x2 = r.x2, y2 = r.y2;
    ASSERT_EQ(ClipSegment(x1, y1, x2, y2, {0, 10, 0, 10}), r.visible) << r.x1 << "," << r.y1 << " " << r.x2 << "," << r.y2;
    if (!r.visible) continue;
    EXPECT_EQ((std::vector<double>{x1, y1, x2, y2}), (std::vector<double>{r.cx1, r.cy1, r.cx2, r.cy2}));
  }
}

}  // namespace
}  // namespace orv::xy
