// Sample pictures of the chart: each test builds a chart as the program would, renders it
// headless into SVG and compares it byte for byte with tests/data/xygraph/<name>.svg (the README
// there tells what each one shows). With ORV_CHART_SAMPLES naming a folder the pictures are
// written there instead of compared; to accept changed pictures after looking at them:
//   ORV_CHART_SAMPLES=tests/data/xygraph build/native/unit_tests --gtest_filter='XYGraphSamples.*'
// (scripts/chart-samples writes them to a build folder and turns them into PNG files).

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "xyGraph/svg_canvas.h"
#include "xyGraph/xyGraph.h"
#include "xyGraph/xySeries.h"

namespace orv::xy {
namespace {

void ExpectSvg(const std::string& name, const std::string& doc) {
  if (const char* folder = std::getenv("ORV_CHART_SAMPLES"); folder && *folder) {
    std::filesystem::create_directories(folder);
    std::ofstream(std::filesystem::path(folder) / (name + ".svg"), std::ios::binary) << doc;
    return;
  }
  std::ifstream in(std::string(ORV_TEST_DATA) + "/xygraph/" + name + ".svg", std::ios::binary);
  std::stringstream expected;
  expected << in.rdbuf();
  EXPECT_EQ(doc, expected.str()) << name;
}

void ExpectPicture(const std::string& name, TXYGraph& graph) {
  SvgCanvas svg(graph.Width(), graph.Height());
  graph.Paint(svg);
  ExpectSvg(name, svg.Svg());
}

using Points = std::vector<std::pair<double, double>>;

// Adds the points, then attaches the series (in drawing order).
template <typename Series>
Series& Attach(TXYGraph& graph, Series& series, const Points& points = {}) {
  for (auto [x, y] : points) series.Add(x, y);
  series.SetParentGraph(&graph);
  return series;
}

// Adds each group of points as one closed polygon (or poly-line).
void Polygons(TXYPolyPolygonSeries& series, const std::vector<Points>& groups) {
  for (const Points& group : groups) {
    for (auto [x, y] : group) series.Add(x, y);
    series.EndPolygon();
  }
}

void Frame(TXYGraph& graph, int width, int height, std::vector<std::string> title = {}, TTitleAlignment at = taCenter) {
  graph.SetBounds(width, height);
  graph.SetTitle(title);
  graph.SetTitleAlignment(at);
}

void Grid(TXYGraph& graph, TGraphGridStyle style, TColor color, TPenStyle pen = psSolid) {
  graph.SetGridStyle(style);
  graph.SetGridPen({color, 1, pen});
}

void Title(TGraphAxis& axis, const std::string& text, TAxisTitleLoc loc, int angle = 0) {
  axis.SetTitle(text);
  axis.SetAxisTitleLoc(loc);
  axis.SetTitleAngle(angle);
}

// Fixed ends, set in the order the current ones allow.
void Ends(TGraphAxis& axis, double min, double max) {
  if (min < axis.Max()) axis.SetMin(min);
  axis.SetMax(max);
  axis.SetMin(min);
}

// The history screen: white plot, grey grid and sub-grid, no label at the origin, no decimals,
// the ranges reset wide, then set for 90 days of temperatures up to 120 with a 30-day step.
TEST(XYGraphSamples, TemperatureHistory) {
  TXYGraph graph;
  Frame(graph, 640, 400);
  Grid(graph, gsBoth, clGray);
  graph.SetSubGridPen({RGBColor(0xD8, 0xD8, 0xD8), 1, psSolid});
  graph.SetSubGrid(true);
  TXYLineSeries highest, current, lowest;
  Points high, now, low;
  double top = 0, bottom = 1000;
  for (int day = -88; day <= 0; day += 2) {
    double t = std::round(38 + 6 * std::sin(day / 9.0) + 2.5 * std::sin(day / 2.3));
    top = std::max(top, t + 6);
    bottom = std::min(bottom, t - 9);
    now.emplace_back(day, t);
    high.emplace_back(day, top);
    low.emplace_back(day, bottom);
  }
  Attach(graph, highest, high).SetLinePen({clRed, 2, psSolid});
  Attach(graph, current, now).SetLinePen({clGreen, 2, psSolid});
  Attach(graph, lowest, low).SetLinePen({clBlue, 2, psSolid});
  TGraphAxis& x = graph.XAxis();
  TGraphAxis& y = graph.YAxis();
  for (TGraphAxis* axis : {&x, &y}) axis->SetLabelDecimal(0);
  y.SetMax(100000);
  y.SetMin(0);
  x.SetMin(-9999);
  x.SetMax(0);
  y.SetMax(120);
  x.SetMin(-90);
  x.SetOrigin(-90);
  x.SetTickStep(30);
  x.SetSubTicksCount(6);
  x.SetTitle("日数");
  ExpectPicture("chart-temperature", graph);
}

// A logarithmic Y axis over four decades; a polygon with a point at zero is left out.
TEST(XYGraphSamples, LogarithmicAxis) {
  TXYGraph graph;
  Frame(graph, 640, 400, {"対数目盛"});
  Grid(graph, gsBoth, RGBColor(0xB0, 0xB0, 0xB0));
  TGraphAxis& y = graph.YAxis();
  y.SetMin(1);
  y.SetAxisScale(asLog);  // before the data: a point at zero would refuse it
  y.SetTitle("件数");
  graph.XAxis().SetTitle("時間");
  TXYPolyPolygonSeries areas;
  Polygons(areas, {{{1, 100}, {3, 100}, {2, 1000}}, {{6, 0}, {8, 10}, {7, 50}}});
  Attach(graph, areas).SetLinePen({RGBColor(0xC0, 0x80, 0x00), 1, psSolid});
  areas.SetBrush({RGBColor(0xFF, 0xE0, 0xA0), bsSolid});
  Points growth, power;
  for (int i = 0; i <= 40; ++i) {
    growth.emplace_back(i * 0.25, 2 * std::pow(10.0, i * 0.25 * 0.33));
    power.emplace_back(i * 0.25, 5 + 30 * (i * 0.25) * (i * 0.25));
  }
  TXYLineSeries growing, squared;
  Attach(graph, growing, growth).SetLinePen({clRed, 2, psSolid});
  Attach(graph, squared, power).SetLinePen({clBlue, 2, psSolid});
  ExpectPicture("chart-log", graph);
}

// Multiples of pi along X (with the label at the crossing), a dotted vertical grid, the Y title
// turned beside the labels.
TEST(XYGraphSamples, PiAxis) {
  TXYGraph graph;
  Frame(graph, 640, 400);
  Grid(graph, gsVertical, RGBColor(0xC8, 0xC8, 0xC8), psDot);
  Points sine, cosine;
  for (int i = -80; i <= 80; ++i) {
    sine.emplace_back(i * kPi / 40, std::sin(i * kPi / 40));
    cosine.emplace_back(i * kPi / 40, 0.8 * std::cos(i * kPi / 40));
  }
  TXYLineSeries a, b;
  Attach(graph, a, sine);
  Attach(graph, b, cosine);
  graph.XAxis().SetAxisScale(asPi);
  graph.XAxis().SetLabelsOnAxis(true);
  graph.XAxis().SetTitle("位相");
  Title(graph.YAxis(), "振幅", tlSide, 90);
  ExpectPicture("chart-pi", graph);
}

// An inverted per-cent axis with one decimal crossed at its far end, a year of 30-day steps on a
// narrow chart (every second label, the one on the axis too), axes in front of the series, a
// clipped marker line, titles turned at the foot and the head, a right-justified bold title
// that needs escaping.
TEST(XYGraphSamples, InvertedPercent) {
  TXYGraph graph;
  Frame(graph, 360, 300, {"Load <&> \"share\"", "二行目"}, taRightJustify);
  graph.SetColor(RGBColor(0xE8, 0xF0, 0xFF));
  graph.SetBackColor(RGBColor(0xFF, 0xFF, 0xF0));
  graph.SetTitleFont({"Arial", 12, clNavy, true, 0});
  Grid(graph, gsHorizontal, clSilver, psDash);
  graph.SetSubGridPen({RGBColor(0xE0, 0xE0, 0xE0), 1, psDot});
  graph.SetSubGrid(true);
  graph.SetAxesFront(true);
  Points load, peaks;
  for (int day = -390; day <= 0; day += 15) load.emplace_back(day, 50 + 40 * std::sin(day / 40.0));
  for (int day = -360; day <= 0; day += 90) peaks.emplace_back(day, 85 - day / 10.0);
  TXYLineSeries loads;
  TXYMarkerSeries marked;
  Attach(graph, loads, load).SetLinePen({clTeal, 3, psDashDot});
  Attach(graph, marked, peaks).SetJoined(true);
  marked.SetMarker({{clPurple, 1, psSolid}, {clWhite, bsSolid}, 8, msDiamond, true});
  TGraphAxis& x = graph.XAxis();
  Ends(x, -390, 0);
  x.SetOrigin(-390);
  x.SetTickStep(30);
  x.SetLabelsOnAxis(true);
  Title(x, "日", tlFoot, 180);
  TGraphAxis& y = graph.YAxis();
  y.SetAxisScale(asPercent);
  y.SetInverted(true);
  y.SetMax(120);
  y.SetOrigin(120);  // the X axis at the bottom
  y.SetLabelDecimal(1);
  y.SetAxisPen({clMaroon, 2, psSolid});
  y.SetTickLen(8);
  y.SetSubTickLen(4);
  y.SetSubTicksCount(2);
  y.SetLabelSpace(8);
  Title(y, "使用率", tlHead, 270);
  ExpectPicture("chart-inverted-percent", graph);
}

// Error bars (one without a number, one infinite, some beyond the range: no cap there, some
// ending on it: a cap, some wholly outside, one without an error) over bubbles (one too small to
// show, one of a negative size, one without a size), the axis titles in the corners, no X ticks.
TEST(XYGraphSamples, ErrorBarsAndBubbles) {
  TXYGraph graph;
  Frame(graph, 480, 320);
  TXYBubbleSeries bubbles;
  TXYErrorBarSeries bars;
  const double sizes[] = {1, 4, 0.0001, -9, 2}, errors[] = {2, NAN, 2.5, HUGE_VAL, -1.5, 6, 2};
  for (int i = 0; i < 5; ++i) bubbles.AddBubble(1 + 2 * i, 3 + i, sizes[i]);
  for (int i = 0; i < 7; ++i) bars.AddErrorBar(1 + 1.5 * i, 2 + i, errors[i]);
  bars.AddErrorBar(NAN, 5, 1);
  bars.AddErrorBar(10.3, 12, 1);  // wholly above the range
  bars.AddErrorBar(10.6, -3, 1);  // wholly below
  bars.Add(10.8, 9);  // no error: no bar
  bubbles.Add(10, 2);  // no size: no bubble
  Attach(graph, bubbles).SetPen({clGreen, 1, psSolid});
  bubbles.SetSeriesColor(RGBColor(0xA0, 0xE0, 0xA0));
  bubbles.SetMaxSizeRate(15);
  Attach(graph, bars).SetPen({clRed, 1, psSolid});
  bars.SetLinePen({clBlue, 1, psDot});
  bars.SetBarSize(10);
  graph.XAxis().SetMax(11);
  Ends(graph.YAxis(), 0, 10);
  graph.XAxis().SetTicks(false);
  Title(graph.XAxis(), "x [m]", tlFixed);
  Title(graph.YAxis(), "y [s]", tlFixed, 90);
  ExpectPicture("chart-error-bars", graph);
}

// Fixed ranges and equal units: a line that leaves and enters the plot, touches its edges and
// breaks at points without a number, markers of every shape (the invisible one and those
// outside not drawn), arrows, poly-lines and polygons cut by the plot's edge; the X title beside
// its labels, the Y axis hidden.
TEST(XYGraphSamples, Clipping) {
  TXYGraph graph;
  Frame(graph, 400, 300, {"clipping"});
  graph.SetAutoAspectRatio(true);
  TXYLineSeries line;
  Attach(graph, line, {{0, 5}, {5, 5}, {25, 5}, {5, 8}, {0, 8}, {-5, 20}, {-6, 30}, {1, 9}, {2, NAN}, {3, 9}, {4, 9.5},
                       {HUGE_VAL, 9}, {6, 9}, {9, 9.5}, {10, 10}, {14, 0}, {20, 1}, {21, 1}})  // the edges belong inside
      .SetLinePen({clBlack, 1, psSolid});
  TXYMarkerSeries markers[9];
  for (int shape = 0; shape < 9; ++shape) {
    Attach(graph, markers[shape], {{1.0 + shape * 2, 1.0 + shape % 3}, {-1.0, 1.0 * shape}});  // one outside
    markers[shape].SetMarker({{}, {}, 7, static_cast<TMarkerShape>(shape), shape > 0});
    markers[shape].SetSeriesColor(shape % 2 ? clNavy : clMaroon);
  }
  TXYArrowSeries arrows;
  Attach(graph, arrows, {{12, 1}, {16, 4}, {22, 6}, {17, 7}, {17, 7.02}, {NAN, 3}, {14, 9}}).SetArrowSize(8);
  TXYPolyPolyLineSeries lines;
  TXYPolyPolygonSeries polygon;
  Polygons(lines, {{{10, 2}, {19, 11}, {20, 8}, {11, -3}, {11, 9}}, {{2, 0.5}, {30, 0.5}}});
  Attach(graph, lines).SetLinePen({clFuchsia, 2, psDashDotDot});
  // Far or missing values: two lengths beyond the start at most, the start itself; two points
  // make no polygon.
  Polygons(polygon, {{{18, 8}, {22, 8}, {22, 12}, {18, 12}}, {{4, 6}, {5, 1e300}, {6, 6}, {5, NAN}}, {{1, 1}, {2, 2}}});
  polygon.Add(15, 5);  // not closed: not drawn
  Attach(graph, polygon).SetBrush({clYellow, bsSolid});
  polygon.SetLinePen({clOlive, 1, psClear});
  TGraphAxis& x = graph.XAxis();
  Ends(x, 0, 20);
  Ends(graph.YAxis(), 0, 10);
  x.SetTickStep(5);
  x.SetLabelFont({"Courier New", 9, clGray, false, 0});
  Title(x, "x", tlSide);
  graph.YAxis().SetTitle("hidden");
  graph.YAxis().SetVisible(false);
  ExpectPicture("chart-clipping", graph);
}

// What no chart draws: clear and empty fills, shapes too small to show, a second clip.
TEST(XYGraphSamples, CanvasRareShapesAndClips) {
  SvgCanvas svg(60, 40);
  svg.SetBrush({clWhite, bsClear});
  svg.FillRect({0, 0, 60, 40});
  svg.SetBrush({clBtnFace, bsSolid});
  svg.FillRect({5, 5, 5, 9});
  svg.FillRect({1, 2, 4, 6});
  svg.RemoveClip();  // no clip to remove
  svg.SetClipRect({0, 0, 30, 20});
  svg.SetClipRect({2, 2, 1, 1});  // closes the first
  svg.SetPen({clRed, 2, psDash});
  svg.Rectangle({0, 0, 1, 9});
  svg.Rectangle({0, 0, 2, 2});
  svg.Ellipse({0, 0, 9, 1});
  svg.Polygon({{1, 1}});
  svg.Polygon({{1, 1}, {3, 4}});
  svg.PolyPolyline({{{1, 1}}, {}});
  svg.DrawString(3, 4, "");
  ExpectSvg("canvas-rare-shapes", svg.Svg());
}

}  // namespace
}  // namespace orv::xy
