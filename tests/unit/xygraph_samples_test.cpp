// Sample pictures of the chart. Each test builds a chart as the program would and renders it
// headless into SVG; with ORV_CHART_SAMPLES naming a folder, the pictures are written there
// (scripts/chart-samples does that and turns them into PNG files).

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "xyGraph/svg_canvas.h"
#include "xyGraph/xyGraph.h"
#include "xyGraph/xySeries.h"

namespace orv::xy {
namespace {

void Save(const std::string& name, TXYGraph& graph) {
  SvgCanvas svg(graph.Width(), graph.Height());
  graph.Paint(svg);
  std::string doc = svg.Svg();
  EXPECT_EQ(doc.rfind("<?xml", 0), 0u);
  EXPECT_EQ(doc.substr(doc.size() - 7), "</svg>\n");
  const char* folder = std::getenv("ORV_CHART_SAMPLES");
  if (!folder || !*folder) return;
  std::filesystem::create_directories(folder);
  std::ofstream out(std::filesystem::path(folder) / (name + ".svg"), std::ios::binary);
  out << doc;
  EXPECT_TRUE(out.good());
}

// The history screen's look: white plot, grey grid and sub-grid, Arial 16 pixels, no label at
// the origin, no decimals.
void HistoryLook(TXYGraph& graph) {
  graph.SetBounds(640, 400);
  graph.SetBackColor(clWhite);
  graph.SetGridPen({clGray, 1, psSolid});
  graph.SetSubGridPen({RGBColor(0xD8, 0xD8, 0xD8), 1, psSolid});
  graph.SetGridStyle(gsBoth);
  graph.SetSubGrid(true);
  for (TGraphAxis* axis : {&graph.XAxis(), &graph.YAxis()}) {
    axis->SetLabelsOnAxis(false);
    axis->SetLabelDecimal(0);
  }
}

TEST(XYGraphSamples, TemperatureHistory) {
  TXYGraph graph;
  HistoryLook(graph);
  TXYLineSeries highest, current, lowest;
  highest.SetLinePen({clRed, 2, psSolid});
  current.SetLinePen({clGreen, 2, psSolid});
  lowest.SetLinePen({clBlue, 2, psSolid});
  for (TXYLineSeries* s : {&highest, &current, &lowest}) s->SetParentGraph(&graph);

  // 90 days of temperatures, one record every two days; the highest and lowest so far.
  double top = 0, bottom = 1000;
  for (int day = -88; day <= 0; day += 2) {
    double t = std::round(38 + 6 * std::sin(day / 9.0) + 2.5 * std::sin(day / 2.3));
    top = std::max(top, t + 6);
    bottom = std::min(bottom, t - 9);
    current.Add(day, t);
    highest.Add(day, top);
    lowest.Add(day, bottom);
  }
  // As the history screen sets the axes for a span of 90 days and values up to 100.
  TGraphAxis& x = graph.XAxis();
  TGraphAxis& y = graph.YAxis();
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
  Save("chart-temperature", graph);

  EXPECT_EQ(x.MajorTicks(), (std::vector<double>{-90, -60, -30, 0}));
  EXPECT_EQ(x.MinorTicks().size(), 15u);
  EXPECT_DOUBLE_EQ(y.Min(), 0);
  EXPECT_DOUBLE_EQ(y.Max(), 120);
  EXPECT_EQ(x.LabelText(-60), "-60");
}

TEST(XYGraphSamples, LogarithmicAxis) {
  TXYGraph graph;
  graph.SetBounds(640, 400);
  graph.SetTitle({"対数目盛"});
  graph.SetTitleAlignment(taCenter);
  graph.SetGridStyle(gsBoth);
  graph.SetGridPen({RGBColor(0xB0, 0xB0, 0xB0), 1, psSolid});
  TXYLineSeries growth, power;
  growth.SetParentGraph(&graph);
  power.SetParentGraph(&graph);
  growth.SetLinePen({clRed, 2, psSolid});
  power.SetLinePen({clBlue, 2, psSolid});
  for (int i = 0; i <= 40; ++i) {
    double x = i * 0.25;
    growth.Add(x, 2 * std::pow(10.0, x * 0.33));
    power.Add(x, 5 + 30 * x * x);
  }
  TGraphAxis& y = graph.YAxis();
  y.SetMin(1);
  y.SetAxisScale(asLog);
  y.SetAutoMin(true);
  y.SetTitle("件数");
  graph.XAxis().SetTitle("時間");
  Save("chart-log", graph);
  EXPECT_DOUBLE_EQ(y.Min(), 1);
  EXPECT_DOUBLE_EQ(y.Max(), 10000);
}

TEST(XYGraphSamples, PiAxis) {
  TXYGraph graph;
  graph.SetBounds(640, 400);
  graph.SetGridStyle(gsVertical);
  graph.SetGridPen({RGBColor(0xC8, 0xC8, 0xC8), 1, psDot});
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
  Save("chart-pi", graph);
  EXPECT_NEAR(graph.XAxis().TickStep(), kPi, 1e-12);
  EXPECT_EQ(graph.XAxis().LabelText(-2 * kPi), "-2Pi");
}

}  // namespace
}  // namespace orv::xy
