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

#include "xyGraph/svg_canvas.h"
#include "xyGraph/xyGraph.h"
#include "xyGraph/xySeries.h"

namespace orv::xy {
namespace {

void ExpectPicture(const std::string& name, TXYGraph& graph) {
  SvgCanvas svg(graph.Width(), graph.Height());
  graph.Paint(svg);
  const std::string doc = svg.Svg();
  if (const char* folder = std::getenv("ORV_CHART_SAMPLES"); folder && *folder) {
    std::filesystem::create_directories(folder);
    std::ofstream out(std::filesystem::path(folder) / (name + ".svg"), std::ios::binary);
    out << doc;
    EXPECT_TRUE(out.good());
    return;
  }
  std::ifstream in(std::string(ORV_TEST_DATA) + "/xygraph/" + name + ".svg", std::ios::binary);
  ASSERT_TRUE(in) << "no picture " << name;
  std::stringstream expected;
  expected << in.rdbuf();
  if (doc == expected.str()) return;
  std::istringstream a(doc), b(expected.str());
  std::string got, want;
  int line = 1;
  while (std::getline(a, got) && std::getline(b, want) && got == want) ++line;
  ADD_FAILURE() << name << ".svg differs from line " << line << ":\n got  " << got << "\n want " << want;
}

void Grid(TXYGraph& graph, TGraphGridStyle style, TColor color, TPenStyle pen = psSolid) {
  graph.SetGridStyle(style);
  graph.SetGridPen({color, 1, pen});
}

// The history screen: white plot, grey grid and sub-grid, no label at the origin, no decimals,
// the ranges reset wide, then set for 90 days of temperatures up to 120 with a 30-day step.
TEST(XYGraphSamples, TemperatureHistory) {
  TXYGraph graph;
  graph.SetBounds(640, 400);
  Grid(graph, gsBoth, clGray);
  graph.SetSubGridPen({RGBColor(0xD8, 0xD8, 0xD8), 1, psSolid});
  graph.SetSubGrid(true);
  TXYLineSeries highest, current, lowest;
  highest.SetLinePen({clRed, 2, psSolid});
  current.SetLinePen({clGreen, 2, psSolid});
  lowest.SetLinePen({clBlue, 2, psSolid});
  double top = 0, bottom = 1000;
  for (int day = -88; day <= 0; day += 2) {
    double t = std::round(38 + 6 * std::sin(day / 9.0) + 2.5 * std::sin(day / 2.3));
    top = std::max(top, t + 6);
    bottom = std::min(bottom, t - 9);
    current.Add(day, t);
    highest.Add(day, top);
    lowest.Add(day, bottom);
  }
  for (TXYLineSeries* s : {&highest, &current, &lowest}) s->SetParentGraph(&graph);
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
  graph.SetBounds(640, 400);
  graph.SetTitle({"対数目盛"});
  graph.SetTitleAlignment(taCenter);
  Grid(graph, gsBoth, RGBColor(0xB0, 0xB0, 0xB0));
  TXYLineSeries growth, power;
  TXYPolyPolygonSeries areas;
  growth.SetLinePen({clRed, 2, psSolid});
  power.SetLinePen({clBlue, 2, psSolid});
  for (int i = 0; i <= 40; ++i) {
    double x = i * 0.25;
    growth.Add(x, 2 * std::pow(10.0, x * 0.33));
    power.Add(x, 5 + 30 * x * x);
  }
  for (auto [x, y] : {std::pair{1.0, 100.0}, {3.0, 100.0}, {2.0, 1000.0}, {6.0, 0.0}, {8.0, 10.0}, {7.0, 50.0}}) {
    areas.Add(x, y);
    if (x == 2.0 || x == 7.0) areas.EndPolygon();
  }
  areas.SetLinePen({RGBColor(0xC0, 0x80, 0x00), 1, psSolid});
  areas.SetBrush({RGBColor(0xFF, 0xE0, 0xA0), bsSolid});
  TGraphAxis& y = graph.YAxis();
  y.SetMin(1);
  y.SetAxisScale(asLog);  // before the data: a point at zero would refuse it
  y.SetTitle("件数");
  for (TXYGraphSeries* s : std::initializer_list<TXYGraphSeries*>{&areas, &growth, &power}) s->SetParentGraph(&graph);
  graph.XAxis().SetTitle("時間");
  ExpectPicture("chart-log", graph);
}

// Multiples of pi along X, a dotted vertical grid, the Y title turned beside the labels.
TEST(XYGraphSamples, PiAxis) {
  TXYGraph graph;
  graph.SetBounds(640, 400);
  Grid(graph, gsVertical, RGBColor(0xC8, 0xC8, 0xC8), psDot);
  TXYLineSeries sine, cosine;
  sine.SetParentGraph(&graph);
  cosine.SetParentGraph(&graph);
  for (int i = -80; i <= 80; ++i) {
    double x = i * kPi / 40;
    sine.Add(x, std::sin(x));
    cosine.Add(x, 0.8 * std::cos(x));
  }
  graph.XAxis().SetAxisScale(asPi);
  graph.XAxis().SetTitle("位相");
  graph.YAxis().SetTitle("振幅");
  graph.YAxis().SetTitleAngle(90);
  graph.YAxis().SetAxisTitleLoc(tlSide);
  ExpectPicture("chart-pi", graph);
}

// An inverted per-cent axis with one decimal crossed at its far end, a year of 30-day steps on a
// narrow chart (every second label, the one on the axis too), axes in front of the series, a
// clipped marker line, titles turned at the foot and the head, a right-justified bold title
// that needs escaping.
TEST(XYGraphSamples, InvertedPercent) {
  TXYGraph graph;
  graph.SetBounds(360, 300);
  graph.SetColor(RGBColor(0xE8, 0xF0, 0xFF));
  graph.SetBackColor(RGBColor(0xFF, 0xFF, 0xF0));
  graph.SetTitle({"Load <&> \"share\"", "二行目"});
  graph.SetTitleAlignment(taRightJustify);
  TGraphFont titleFont;
  titleFont.Bold = true;
  titleFont.Color = clNavy;
  graph.SetTitleFont(titleFont);
  Grid(graph, gsHorizontal, clSilver, psDash);
  graph.SetSubGridPen({RGBColor(0xE0, 0xE0, 0xE0), 1, psDot});
  graph.SetSubGrid(true);
  graph.SetAxesFront(true);
  TXYLineSeries load;
  TXYMarkerSeries peaks;
  load.SetLinePen({clTeal, 3, psDashDot});
  for (int day = -390; day <= 0; day += 15) load.Add(day, 50 + 40 * std::sin(day / 40.0));
  peaks.SetJoined(true);
  peaks.SetMarker({{clPurple, 1, psSolid}, {clWhite, bsSolid}, 8, msDiamond, true});
  for (int day = -360; day <= 0; day += 90) peaks.Add(day, 85 - day / 10.0);
  load.SetParentGraph(&graph);
  peaks.SetParentGraph(&graph);
  TGraphAxis& x = graph.XAxis();
  x.SetMin(-390);
  x.SetMax(0);
  x.SetOrigin(-390);
  x.SetTickStep(30);
  x.SetLabelsOnAxis(true);
  x.SetTitle("日");
  x.SetAxisTitleLoc(tlFoot);
  x.SetTitleAngle(180);
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
  y.SetTitle("使用率");
  y.SetTitleAngle(270);
  ExpectPicture("chart-inverted-percent", graph);
}

// Error bars (one without a number, one infinite, some beyond the range: no cap there) over
// bubbles (one too small to show, one of a negative size), the axis titles in the corners, no
// X ticks.
TEST(XYGraphSamples, ErrorBarsAndBubbles) {
  TXYGraph graph;
  graph.SetBounds(480, 320);
  TXYBubbleSeries bubbles;
  TXYErrorBarSeries bars;
  bubbles.SetPen({clGreen, 1, psSolid});
  bubbles.SetSeriesColor(RGBColor(0xA0, 0xE0, 0xA0));
  bubbles.SetMaxSizeRate(15);
  const double sizes[] = {1, 4, 0.0001, -9, 2};
  for (int i = 0; i < 5; ++i) bubbles.AddBubble(1 + 2 * i, 3 + i, sizes[i]);
  bars.SetPen({clRed, 1, psSolid});
  bars.SetLinePen({clBlue, 1, psDot});
  bars.SetBarSize(10);
  const double errors[] = {1, NAN, 2.5, HUGE_VAL, -1.5, 6, 0.5};
  for (int i = 0; i < 7; ++i) bars.AddErrorBar(1 + 1.5 * i, 2 + i, errors[i]);
  bars.AddErrorBar(NAN, 5, 1);
  bubbles.SetParentGraph(&graph);
  bars.SetParentGraph(&graph);
  graph.XAxis().SetMax(11);
  graph.YAxis().SetMax(10);
  graph.YAxis().SetMin(0);
  for (TGraphAxis* axis : {&graph.XAxis(), &graph.YAxis()}) axis->SetAxisTitleLoc(tlFixed);
  graph.XAxis().SetTicks(false);
  graph.XAxis().SetTitle("x [m]");
  graph.YAxis().SetTitle("y [s]");
  graph.YAxis().SetTitleAngle(90);
  ExpectPicture("chart-error-bars", graph);
}

// Fixed ranges and equal units: a line that leaves and enters the plot and breaks at a point
// without a number, markers of every shape (those outside are not drawn), arrows, poly-lines and
// a polygon cut by the plot's edge; the X title beside its labels, the Y axis hidden.
TEST(XYGraphSamples, Clipping) {
  TXYGraph graph;
  graph.SetBounds(400, 300);
  graph.SetAutoAspectRatio(true);
  graph.SetTitle({"clipping"});
  graph.SetTitleAlignment(taCenter);
  TXYLineSeries line;
  line.SetLinePen({clBlack, 1, psSolid});
  for (auto [x, y] : {std::pair{0.0, 5.0}, {5.0, 5.0}, {25.0, 5.0}, {5.0, 8.0}, {0.0, 8.0}, {-5.0, 20.0}, {-6.0, 30.0},
                      {1.0, 9.0}, {2.0, NAN}, {3.0, 9.0}, {4.0, 9.5}, {HUGE_VAL, 9.0}, {6.0, 9.0}, {9.0, 9.5}})
    line.Add(x, y);
  line.SetParentGraph(&graph);
  TXYMarkerSeries markers[9];
  for (int shape = 0; shape < 9; ++shape) {
    markers[shape].SetParentGraph(&graph);
    markers[shape].SetMarker({{}, {}, 7, static_cast<TMarkerShape>(shape), true});
    markers[shape].SetSeriesColor(shape % 2 ? clNavy : clMaroon);
    markers[shape].Add(1 + shape * 2, 1 + shape % 3);
    markers[shape].Add(-1, shape);  // outside
  }
  markers[0].SetMarker({{}, {}, 7, msPlus, false});
  TXYArrowSeries arrows;
  arrows.SetArrowSize(8);
  for (auto [x, y] : {std::pair{12.0, 1.0}, {16.0, 4.0}, {22.0, 6.0}, {17.0, 7.0}, {17.0, 7.02}, {NAN, 3.0}, {14.0, 9.0}})
    arrows.Add(x, y);
  arrows.SetParentGraph(&graph);
  TXYPolyPolyLineSeries lines;
  TXYPolyPolygonSeries polygon;
  for (auto [x, y] : {std::pair{10.0, 2.0}, {19.0, 11.0}, {20.0, 8.0}, {11.0, -3.0}, {11.0, 9.0}}) lines.Add(x, y);
  lines.EndPolygon();
  lines.Add(2, 0.5);
  lines.Add(30, 0.5);
  lines.EndPolygon();
  lines.SetLinePen({clFuchsia, 2, psSolid});
  for (auto [x, y] : {std::pair{18.0, 8.0}, {22.0, 8.0}, {22.0, 12.0}, {18.0, 12.0}}) polygon.Add(x, y);
  polygon.EndPolygon();
  polygon.Add(1, 1);
  polygon.Add(2, 2);
  polygon.EndPolygon();  // two points: no polygon
  polygon.SetBrush({clYellow, bsSolid});
  polygon.SetLinePen({clOlive, 1, psSolid});
  lines.SetParentGraph(&graph);
  polygon.SetParentGraph(&graph);
  TGraphAxis& x = graph.XAxis();
  TGraphAxis& y = graph.YAxis();
  x.SetMax(20);
  x.SetMin(0);
  y.SetMax(10);
  y.SetMin(0);
  x.SetTickStep(5);
  x.SetLabelFont({"Courier New", 9, clGray, false, 0});
  x.SetTitle("x");
  x.SetAxisTitleLoc(tlSide);
  y.SetTitle("hidden");
  y.SetVisible(false);
  ExpectPicture("chart-clipping", graph);
}

}  // namespace
}  // namespace orv::xy
