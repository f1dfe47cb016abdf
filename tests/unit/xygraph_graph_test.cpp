// The chart as a whole: paint order, grid rules, series attachment and colours, clipping of line
// series, and the lifetime of graphs and series.

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "fakes/recording_canvas.h"
#include "xyGraph/xyGraph.h"
#include "xyGraph/xySeries.h"

namespace orv::xy {
namespace {

using Kind = RecordingCanvas::Kind;

bool Inside(const TGraphPoint& p, const TGraphRect& r) {
  return p.X >= r.Left && p.X < r.Right && p.Y >= r.Top && p.Y < r.Bottom;
}

// ---- painting ---------------------------------------------------------------------------------

TEST(XYGraphPaint, NoSeriesDrawsBackgroundGridAndAxesOnly) {
  TXYGraph graph;
  graph.SetGridStyle(gsBoth);
  RecordingCanvas canvas;
  graph.Paint(canvas);

  auto fills = canvas.OfKind(Kind::FillRect);
  ASSERT_EQ(fills.size(), 2u);
  EXPECT_EQ(fills[0]->rect, (TGraphRect{0, 0, 300, 200}));
  EXPECT_EQ(fills[0]->brush.Color, clBtnFace);
  EXPECT_EQ(fills[1]->rect, graph.PlotRect());
  EXPECT_EQ(fills[1]->brush.Color, clWhite);
  for (const auto& op : canvas.ops) EXPECT_FALSE(op.clip.has_value()) << "nothing is drawn clipped";
  // The axes show their own range: 0 to 10, the origin's label left out.
  std::vector<std::string> expected = {"2", "4", "6", "8", "10", "2", "4", "6", "8", "10"};
  EXPECT_EQ(canvas.Texts(), expected);
  EXPECT_EQ(canvas.OfKind(Kind::Line).size(), 2u);  // the two axis lines
}

TEST(XYGraphPaint, PlotRectangleJoinsTheAxes) {
  TXYGraph graph;
  graph.SetBounds(640, 400);
  RecordingCanvas canvas;
  graph.Paint(canvas);
  const TGraphRect& plot = graph.PlotRect();
  EXPECT_EQ(plot.Left, graph.XAxis().StartPixel());
  EXPECT_EQ(plot.Right, graph.XAxis().EndPixel() + 1);
  EXPECT_EQ(plot.Top, graph.YAxis().EndPixel());
  EXPECT_EQ(plot.Bottom, graph.YAxis().StartPixel() + 1);
  // The Y axis stands at the X origin (0, the left end), the X axis at the Y origin (the bottom).
  EXPECT_EQ(graph.YAxis().CrossingPosition(), plot.Left);
  EXPECT_EQ(graph.XAxis().CrossingPosition(), plot.Bottom - 1);
  // Room is left for the Y labels and the X labels.
  EXPECT_GT(plot.Left, 4 + 4 + 18);
  EXPECT_LT(plot.Bottom, 400 - 4 - 20);
}

TEST(XYGraphPaint, LabelsOfAFixedStepNeverRunIntoEachOther) {
  // A year of 30-day steps on a chart 300 pixels wide: 13 labels would need more room.
  TXYGraph graph;
  TGraphAxis& x = graph.XAxis();
  x.SetMin(-390);
  x.SetMax(0);
  x.SetOrigin(-390);
  x.SetTickStep(30);
  RecordingCanvas canvas;
  graph.Paint(canvas);
  std::vector<const RecordingCanvas::Op*> labels;
  for (const auto* op : canvas.OfKind(Kind::Text))
    if (op->y > graph.PlotRect().Bottom - 2) labels.push_back(op);
  ASSERT_GE(labels.size(), 3u);
  ASSERT_LT(labels.size(), 13u);
  EXPECT_EQ(labels.back()->text, "0");  // the newest end keeps its label
  for (size_t i = 1; i < labels.size(); ++i) {
    const int previousRight = labels[i - 1]->x + EstimateTextSize(labels[i - 1]->font, labels[i - 1]->text).Width;
    EXPECT_LT(previousRight, labels[i]->x) << labels[i - 1]->text << " runs into " << labels[i]->text;
  }
  // Every major tick is still there (the grid keeps its month lines).
  EXPECT_EQ(x.MajorTicks().size(), 14u);
}

TEST(XYGraphPaint, TitleLinesStackFromTheTop) {
  TXYGraph graph;
  graph.SetTitle({"一行目", "second"});
  graph.SetTitleAlignment(taRightJustify);
  RecordingCanvas canvas;
  graph.Paint(canvas);
  auto texts = canvas.OfKind(Kind::Text);
  ASSERT_GE(texts.size(), 2u);
  EXPECT_EQ(texts[0]->text, "一行目");
  EXPECT_EQ(texts[0]->y, 0);
  EXPECT_EQ(texts[1]->y, 20);
  EXPECT_EQ(texts[1]->x, graph.PlotRect().Right - EstimateTextSize(TGraphFont{}, "second").Width);
  EXPECT_EQ(texts[0]->brush.Style, bsClear);
  EXPECT_GE(graph.PlotRect().Top, 40);
}

struct OrderCase {
  const char* name;
  bool axesFront;
  bool seriesFirst;
};

class XYGraphPaintOrder : public ::testing::TestWithParam<OrderCase> {};

TEST_P(XYGraphPaintOrder, SeriesUnderOrOverTheAxes) {
  TXYGraph graph;
  graph.SetGridStyle(gsHorizontal);
  graph.SetGridPen({clSilver, 1, psSolid});
  graph.SetAxesFront(GetParam().axesFront);
  TXYLineSeries series;
  series.SetParentGraph(&graph);
  series.Add(0, 0);
  series.Add(10, 10);
  int afterDraw = -1;
  RecordingCanvas canvas;
  graph.OnAfterDraw = [&](TXYGraph&, IGraphCanvas&) { afterDraw = static_cast<int>(canvas.ops.size()); };
  graph.Paint(canvas);

  int seriesAt = -1, gridAt = -1, axisAt = -1;
  for (size_t i = 0; i < canvas.ops.size(); ++i) {
    const auto& op = canvas.ops[i];
    if (op.kind == Kind::PolyPolyline && op.pen.Color == clRed && seriesAt < 0) seriesAt = static_cast<int>(i);
    if (op.kind == Kind::PolyPolyline && op.pen.Color == clSilver && gridAt < 0) gridAt = static_cast<int>(i);
    if (op.kind == Kind::Line && axisAt < 0) axisAt = static_cast<int>(i);
  }
  ASSERT_GE(seriesAt, 0);
  ASSERT_GE(gridAt, 0);
  EXPECT_EQ(seriesAt < gridAt, GetParam().seriesFirst);
  EXPECT_EQ(seriesAt < axisAt, GetParam().seriesFirst);
  EXPECT_EQ(gridAt < axisAt, true);
  EXPECT_EQ(canvas.ops[static_cast<size_t>(seriesAt)].clip, graph.PlotRect());
  EXPECT_EQ(afterDraw, static_cast<int>(canvas.ops.size()));  // after everything else
}

INSTANTIATE_TEST_SUITE_P(Cases, XYGraphPaintOrder,
                         ::testing::Values(OrderCase{"AxesBehind", false, false}, OrderCase{"AxesFront", true, true}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(XYGraphPaint, GridAndSubGridFollowTheTicks) {
  TXYGraph graph;
  graph.SetGridPen({clGray, 1, psSolid});
  graph.SetSubGridPen({clSilver, 1, psDot});
  graph.SetGridStyle(gsVertical);
  graph.SetSubGrid(true);
  RecordingCanvas canvas;
  graph.Paint(canvas);
  auto majors = canvas.LinesInColor(clGray);
  auto minors = canvas.LinesInColor(clSilver);
  ASSERT_EQ(majors.size(), 1u);
  ASSERT_EQ(minors.size(), 1u);
  EXPECT_EQ(majors[0]->lines.size(), 6u);   // X ticks 0, 2, ..., 10
  EXPECT_EQ(minors[0]->lines.size(), 20u);  // every 0.4
  const TGraphRect& plot = graph.PlotRect();
  for (const TPolyline& line : majors[0]->lines) {
    EXPECT_EQ(line[0].Y, plot.Top);
    EXPECT_EQ(line[1].Y, plot.Bottom - 1);
    EXPECT_EQ(line[0].X, line[1].X);
  }
}

TEST(XYGraphPaint, GridRules) {
  TXYGraph graph;
  graph.SetSubGrid(true);
  EXPECT_FALSE(graph.SubGrid());  // no sub-grid without a grid
  graph.SetGridStyle(gsBoth);
  graph.SetSubGrid(true);
  EXPECT_TRUE(graph.SubGrid());
  graph.SetGridStyle(gsNone);
  EXPECT_FALSE(graph.SubGrid());
}

TEST(XYGraphPaint, AutoAspectRatioMakesUnitsEqual) {
  TXYGraph graph;
  graph.SetBounds(600, 300);
  graph.XAxis().SetLabels(false);
  graph.YAxis().SetLabels(false);
  graph.SetAutoAspectRatio(true);
  RecordingCanvas canvas;
  graph.Paint(canvas);
  // Both axes run 0 to 10: the plot becomes square.
  EXPECT_NEAR(graph.XAxis().Length(), graph.YAxis().Length(), 1);
  EXPECT_LT(graph.XAxis().Length(), 400);
}

// A graph smaller than its titles and labels has no plot area (its height is negative): the
// aspect ratio leaves it alone instead of computing a side beyond any int.
TEST(XYGraphPaint, AutoAspectRatioOfAGraphWithoutPlotArea) {
  TXYGraph graph;
  graph.SetBounds(60, 20);
  graph.SetTitle({"Temperature", "history"});
  graph.XAxis().SetMax(1e-6);
  graph.YAxis().SetMax(1e6);
  graph.SetAutoAspectRatio(true);
  RecordingCanvas canvas;
  graph.Paint(canvas);
  EXPECT_LE(graph.PlotRect().Height(), 0);
  EXPECT_LE(std::abs(graph.PlotRect().Width()), 60);
}

TEST(XYGraphPaint, RepaintRequestsOnChanges) {
  TXYGraph graph;
  int requests = 0;
  graph.OnRepaintRequest = [&](TXYGraph&) { ++requests; };
  graph.SetBackColor(clYellow);
  graph.YAxis().SetMax(20);
  TXYLineSeries series;
  series.SetParentGraph(&graph);
  int before = requests;
  series.Add(1, 2);
  EXPECT_GT(requests, before);
  EXPECT_GE(before, 3);
}

TEST(XYGraphPaint, LoadingStoresWithoutChecks) {
  TXYGraph graph;
  graph.BeginLoading();
  // Stored form of the history screen's design: the step is checked only when set at run time.
  graph.XAxis().SetMax(3.3);
  graph.XAxis().SetTickStep(1);
  graph.YAxis().SetMax(4.9575);
  graph.YAxis().SetMin(4.94);
  graph.YAxis().SetOrigin(4.94);
  graph.YAxis().SetTickStep(0.005);
  graph.YAxis().SetAutoMax(false);
  graph.YAxis().SetAutoMin(false);
  graph.YAxis().SetAutoOrigin(false);
  graph.YAxis().SetAutoStep(false);
  graph.EndLoading();
  EXPECT_DOUBLE_EQ(graph.YAxis().Min(), 4.94);
  EXPECT_EQ(graph.YAxis().MajorTicks().size(), 4u);
}

// ---- series attachment and colours ------------------------------------------------------------

struct ColorCase {
  const char* name;
  std::vector<TColor> attached;
  TColor next;
};

class XYGraphSeriesColor : public ::testing::TestWithParam<ColorCase> {};

TEST_P(XYGraphSeriesColor, LeastUsedColourOfTheTable) {
  TXYGraph graph;
  std::vector<std::unique_ptr<TXYLineSeries>> series;
  for (TColor c : GetParam().attached) {
    series.push_back(std::make_unique<TXYLineSeries>());
    series.back()->SetLinePen({c, 2, psSolid});
    series.back()->SetParentGraph(&graph);
  }
  TXYLineSeries next;
  next.SetParentGraph(&graph);
  EXPECT_EQ(next.SeriesColor(), GetParam().next);
  EXPECT_EQ(next.LinePen().Color, GetParam().next);
}

std::vector<TColor> AllSixteen() {
  return {clRed, clGreen, clBlue, clFuchsia, clTeal, clNavy, clMaroon, clLime,
          clOlive, clPurple, clSilver, clAqua, clBlack, clYellow, clWhite, clGray};
}

INSTANTIATE_TEST_SUITE_P(
    Cases, XYGraphSeriesColor,
    ::testing::Values(ColorCase{"First", {}, clRed}, ColorCase{"FourthAfterRedGreenBlue", {clRed, clGreen, clBlue}, clFuchsia},
                      ColorCase{"GapIsFilled", {clGreen, clBlue}, clRed},
                      ColorCase{"ForeignColoursDoNotCount", {0x123456}, clRed},
                      ColorCase{"AllUsedOnce", AllSixteen(), clRed},
                      ColorCase{"LeastUsed", [] {
                                  auto c = AllSixteen();
                                  c.push_back(clRed);
                                  c.push_back(clGreen);
                                  return c;
                                }(), clBlue}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(XYGraphSeries, OwnColourIsKeptOnAttach) {
  TXYGraph graph;
  TXYLineSeries series;
  EXPECT_EQ(series.SeriesColor(), clNone);
  series.SetSeriesColor(clTeal);
  series.SetParentGraph(&graph);
  EXPECT_EQ(series.SeriesColor(), clTeal);
  EXPECT_EQ(series.LinePen().Color, clTeal);
}

TEST(XYGraphSeries, InactiveSeriesIsNeitherDrawnNorCounted) {
  TXYGraph graph;
  TXYLineSeries shown, hidden;
  shown.SetParentGraph(&graph);
  hidden.SetParentGraph(&graph);
  shown.Add(0, 1);
  shown.Add(5, 3);
  hidden.Add(-50, -100);
  hidden.Add(500, 1000);
  hidden.SetActive(false);
  EXPECT_DOUBLE_EQ(graph.DataMax(true), 5);
  EXPECT_DOUBLE_EQ(graph.DataMin(false), 1);
  RecordingCanvas canvas;
  graph.Paint(canvas);
  EXPECT_EQ(canvas.LinesInColor(clRed).size(), 1u);
  EXPECT_EQ(canvas.LinesInColor(clGreen).size(), 0u);
  EXPECT_DOUBLE_EQ(graph.YAxis().Max(), 3);
}

TEST(XYGraphSeries, AddFiresAfterAddWithTheNewIndex) {
  TXYLineSeries series;
  std::vector<int> seen;
  series.OnAfterAdd = [&](TXYGraphSeries& sender, int index) {
    EXPECT_EQ(&sender, &series);
    seen.push_back(index);
  };
  EXPECT_EQ(series.Add(1, 10), 0);
  EXPECT_EQ(series.Add(2, 20), 1);
  EXPECT_EQ(seen, (std::vector<int>{0, 1}));
  series.Delete(0);
  EXPECT_EQ(series.Count(), 1);
  EXPECT_DOUBLE_EQ(series.XValue(0), 2);
  EXPECT_DOUBLE_EQ(series.YMin(), 20);
  EXPECT_THROW(series.Delete(1), EListError);
  EXPECT_EQ(series.Count(), 1);
  series.Clear();
  EXPECT_EQ(series.Count(), 0);
}

TEST(XYGraphSeries, DataStreamRoundTrip) {
  TXYLineSeries a, b;
  a.Add(-90.5, 35);
  a.Add(0, 41.25);
  std::stringstream stream;
  a.WriteData(stream);
  EXPECT_EQ(stream.str().size(), 2u * (4 + 2 * 8));
  b.ReadData(stream);
  EXPECT_EQ(b.Count(), 2);
  EXPECT_DOUBLE_EQ(b.XMin(), -90.5);
  EXPECT_DOUBLE_EQ(b.YMax(), 41.25);
}

TEST(XYGraphSeries, SampleDataNeedsAGraph) {
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
  EXPECT_DOUBLE_EQ(series.XMin(), graph.XAxis().Min());
}

struct KindCase {
  const char* name;
  std::unique_ptr<TXYGraphSeries> (*make)();
  const char* displayName;
};

template <typename T>
std::unique_ptr<TXYGraphSeries> Make() {
  return std::make_unique<T>();
}

class XYGraphSeriesKinds : public ::testing::TestWithParam<KindCase> {};

TEST_P(XYGraphSeriesKinds, NameAndDrawing) {
  auto series = GetParam().make();
  EXPECT_EQ(series->KindDisplayName(), GetParam().displayName);
  TXYGraph graph;
  series->SetParentGraph(&graph);
  series->GenerateSampleData();
  RecordingCanvas canvas;
  graph.Paint(canvas);  // every kind draws something inside the plot and nothing outside it
  size_t clipped = 0;
  for (const auto& op : canvas.ops) {
    if (!op.clip) continue;
    ++clipped;
    EXPECT_EQ(*op.clip, graph.PlotRect());
  }
  EXPECT_GT(clipped, 0u);
}

INSTANTIATE_TEST_SUITE_P(Cases, XYGraphSeriesKinds,
                         ::testing::Values(KindCase{"Line", Make<TXYLineSeries>, "折れ線"},
                                           KindCase{"Marker", Make<TXYMarkerSeries>, "散布図"},
                                           KindCase{"Arrow", Make<TXYArrowSeries>, "矢印"},
                                           KindCase{"ErrorBar", Make<TXYErrorBarSeries>, "エラーバー"}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(XYGraphSeries, OtherKindsDraw) {
  TXYGraph graph;
  TXYBubbleSeries bubbles;
  bubbles.SetParentGraph(&graph);
  EXPECT_EQ(bubbles.KindDisplayName(), "泡");
  bubbles.AddBubble(2, 2, 1);
  bubbles.AddBubble(5, 5, 4);
  TXYPolyPolygonSeries polygons;
  polygons.SetParentGraph(&graph);
  for (auto [x, y] : {std::pair{1.0, 1.0}, {3.0, 1.0}, {2.0, 3.0}}) polygons.Add(x, y);
  polygons.EndPolygon();
  for (auto [x, y] : {std::pair{6.0, 6.0}, {8.0, 6.0}, {8.0, 8.0}, {6.0, 8.0}}) polygons.Add(x, y);
  polygons.EndPolygon();
  EXPECT_EQ(polygons.CountList().Count(), 2);
  EXPECT_EQ(polygons.CountList()[1], 4);
  RecordingCanvas canvas;
  graph.Paint(canvas);
  auto ellipses = canvas.OfKind(Kind::Ellipse);
  ASSERT_EQ(ellipses.size(), 2u);
  // The area follows the size: four times the size, twice the radius.
  EXPECT_NEAR(ellipses[1]->rect.Width(), 2 * ellipses[0]->rect.Width() - 1, 2);
  EXPECT_EQ(canvas.OfKind(Kind::Polygon).size(), 2u);
}

// An error that is not a number gives its point no bar; an infinite one runs the whole range.
TEST(XYGraphSeries, ErrorBarsOfErrorsThatAreNoNumber) {
  TXYGraph graph;
  TXYErrorBarSeries bars;
  bars.SetParentGraph(&graph);
  bars.SetPen({clRed, 1, psSolid});
  bars.SetJoined(false);
  bars.AddErrorBar(2, 5, NAN);
  bars.AddErrorBar(4, 5, HUGE_VAL);
  graph.XAxis().SetMax(10);
  graph.YAxis().SetMax(10);
  RecordingCanvas canvas;
  graph.Paint(canvas);
  std::vector<TPolyline> lines;
  for (const auto* op : canvas.OfKind(Kind::PolyPolyline))
    if (op->pen.Color == clRed) lines.insert(lines.end(), op->lines.begin(), op->lines.end());
  ASSERT_EQ(lines.size(), 1u);  // the bar of x = 4 alone, without end caps
  EXPECT_EQ(lines[0][0].X, graph.XAxis().ValueToPixel(4));
  EXPECT_EQ(lines[0][0].Y, graph.YAxis().ValueToPixel(graph.YAxis().Min()));
  EXPECT_EQ(lines[0][1].Y, graph.YAxis().ValueToPixel(graph.YAxis().Max()));
}

// ---- clipping -------------------------------------------------------------------------------

struct OutCodeCase {
  double x, y;
  int code;
};

class XYGraphSeriesOutCode : public ::testing::TestWithParam<OutCodeCase> {};

TEST_P(XYGraphSeriesOutCode, FourBits) {
  TValueRect r{0, 10, 0, 100};
  EXPECT_EQ(OutCode(GetParam().x, GetParam().y, r), GetParam().code);
}

INSTANTIATE_TEST_SUITE_P(Cases, XYGraphSeriesOutCode,
                         ::testing::Values(OutCodeCase{5, 50, 0}, OutCodeCase{0, 0, 0}, OutCodeCase{10, 100, 0},
                                           OutCodeCase{-1, 50, 1}, OutCodeCase{11, 50, 2}, OutCodeCase{5, -1, 4},
                                           OutCodeCase{5, 101, 8}, OutCodeCase{-1, -1, 5}, OutCodeCase{11, 101, 10},
                                           OutCodeCase{-1, 101, 9}, OutCodeCase{11, -1, 6}));

struct ClipCase {
  const char* name;
  double x1, y1, x2, y2;
  bool visible;
  double cx1, cy1, cx2, cy2;
};

class XYGraphSeriesClip : public ::testing::TestWithParam<ClipCase> {};

TEST_P(XYGraphSeriesClip, CutsAtTheRangeEdge) {
  const ClipCase& c = GetParam();
  TValueRect r{0, 10, 0, 10};
  double x1 = c.x1, y1 = c.y1, x2 = c.x2, y2 = c.y2;
  ASSERT_EQ(ClipSegment(x1, y1, x2, y2, r), c.visible);
  if (!c.visible) return;
  EXPECT_NEAR(x1, c.cx1, 1e-12);
  EXPECT_NEAR(y1, c.cy1, 1e-12);
  EXPECT_NEAR(x2, c.cx2, 1e-12);
  EXPECT_NEAR(y2, c.cy2, 1e-12);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, XYGraphSeriesClip,
    ::testing::Values(ClipCase{"Inside", 1, 1, 9, 9, true, 1, 1, 9, 9},
                      ClipCase{"LeavesRight", 0, 0, 20, 5, true, 0, 0, 10, 2.5},
                      ClipCase{"EntersFromLeft", -10, 5, 5, 5, true, 0, 5, 5, 5},
                      ClipCase{"LeavesAtTheTop", 5, 5, 5, 50, true, 5, 5, 5, 10},
                      ClipCase{"CrossesWholly", -5, 5, 15, 5, true, 0, 5, 10, 5},
                      ClipCase{"CutsACorner", -1, 5, 5, 11, true, 0, 6, 4, 10},
                      ClipCase{"MissesTheCorner", -6, 5, 5, 16, false, 0, 0, 0, 0},
                      ClipCase{"BothLeft", -5, 0, -1, 10, false, 0, 0, 0, 0},
                      ClipCase{"BothAbove", 0, 11, 10, 12, false, 0, 0, 0, 0},
                      ClipCase{"Diagonal", -10, -10, 20, 20, true, 0, 0, 10, 10}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(XYGraphSeries, LineIsCutAtTheRangeEdge) {
  TXYGraph graph;
  graph.XAxis().SetMax(10);
  graph.XAxis().SetMin(0);
  graph.YAxis().SetMax(10);
  graph.YAxis().SetMin(0);
  TXYLineSeries series;
  series.SetParentGraph(&graph);
  // Out through the right edge, back in, and a piece wholly outside.
  for (auto [x, y] : {std::pair{0.0, 5.0}, {5.0, 5.0}, {15.0, 5.0}, {5.0, 8.0}, {0.0, 8.0}, {-5.0, 20.0}, {-6.0, 30.0}})
    series.Add(x, y);
  RecordingCanvas canvas;
  graph.Paint(canvas);
  auto lines = canvas.LinesInColor(clRed);
  ASSERT_EQ(lines.size(), 1u);  // one poly-polyline call
  const auto& runs = lines[0]->lines;
  ASSERT_EQ(runs.size(), 2u);
  const TGraphAxis& x = graph.XAxis();
  const TGraphAxis& y = graph.YAxis();
  EXPECT_EQ(runs[0], (TPolyline{{x.ValueToPixel(0), y.ValueToPixel(5)},
                                {x.ValueToPixel(5), y.ValueToPixel(5)},
                                {x.ValueToPixel(10), y.ValueToPixel(5)}}));
  ASSERT_EQ(runs[1].size(), 4u);
  EXPECT_EQ(runs[1][0], (TGraphPoint{x.ValueToPixel(10), y.ValueToPixel(6.5)}));
  // The next segment leaves the range at its very start: it adds only that point.
  EXPECT_EQ(runs[1][3], (TGraphPoint{x.ValueToPixel(0), y.ValueToPixel(8)}));
  for (const TPolyline& run : runs)
    for (const TGraphPoint& p : run) EXPECT_TRUE(Inside(p, graph.PlotRect())) << p.X << "," << p.Y;
  EXPECT_EQ(lines[0]->brush.Style, bsClear);
}

// ---- lifetime ---------------------------------------------------------------------------------

TEST(XYGraphSeries, DestroyedSeriesDetachesItself) {
  TXYGraph graph;
  int requests = 0;
  graph.OnRepaintRequest = [&](TXYGraph&) { ++requests; };
  auto a = std::make_unique<TXYLineSeries>();
  TXYLineSeries b;
  a->SetParentGraph(&graph);
  b.SetParentGraph(&graph);
  ASSERT_EQ(graph.SeriesCount(), 2);
  int before = requests;
  a.reset();
  EXPECT_EQ(graph.SeriesCount(), 1);
  EXPECT_EQ(&graph.Series(0), &b);
  EXPECT_GT(requests, before);
  RecordingCanvas canvas;
  graph.Paint(canvas);  // paints without the destroyed series
}

TEST(XYGraphSeries, DestroyedGraphLeavesItsSeriesDetached) {
  TXYLineSeries series;
  {
    TXYGraph graph;
    series.SetParentGraph(&graph);
    series.Add(1, 1);
  }
  EXPECT_EQ(series.ParentGraph(), nullptr);
  series.Add(2, 2);  // no graph to repaint
  TXYGraph other;
  series.SetParentGraph(&other);
  EXPECT_EQ(other.SeriesCount(), 1);
}

TEST(XYGraphSeries, MovingToAnotherGraph) {
  TXYGraph first, second;
  TXYLineSeries series;
  series.SetParentGraph(&first);
  series.SetParentGraph(&first);  // attaching twice keeps one entry
  EXPECT_EQ(first.SeriesCount(), 1);
  series.SetParentGraph(&second);
  EXPECT_EQ(first.SeriesCount(), 0);
  EXPECT_EQ(second.SeriesCount(), 1);
  EXPECT_EQ(series.SeriesColor(), clRed);  // the colour stays with the series
  series.SetParentGraph(nullptr);
  EXPECT_EQ(second.SeriesCount(), 0);
  EXPECT_THROW(second.Series(0), EListError);
}

}  // namespace
}  // namespace orv::xy
