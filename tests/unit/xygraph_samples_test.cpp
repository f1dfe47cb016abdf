// Sample pictures of the chart: tests/data/cases/chart_pictures.txt describes each chart as the
// program would build it; the test renders it headless into SVG and compares it byte for byte
// with tests/data/xygraph/<name>.svg (the README there tells what each one shows). With
// ORV_CHART_SAMPLES naming a folder the pictures are written there instead of compared; to
// accept changed pictures after looking at them:
//   ORV_CHART_SAMPLES=tests/data/xygraph build/native/unit_tests --gtest_filter='XYGraphSamples.*'
// (scripts/chart-samples writes them to a build folder and turns them into PNG files).

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "fakes/case_table.h"
#include "fakes/test_data.h"
#include "xyGraph/svg_canvas.h"
#include "xyGraph/xyGraph.h"
#include "xyGraph/xySeries.h"

namespace orv::xy {
namespace {

void ExpectSvg(const std::string& name, const std::string& doc) {
  if (const char* folder = std::getenv("ORV_CHART_SAMPLES"); folder && *folder) {
    std::filesystem::create_directories(folder);
    std::ofstream(std::filesystem::path(folder) / (name + ".svg"), std::ios::binary) << doc;
  } else {
    EXPECT_EQ(doc, test::ReadTestData("xygraph/" + name + ".svg")) << name;
  }
}

// ---- the words of a setting: numbers ("nan" and "inf" too), 0xBBGGRR colours, named styles ----

std::string Word(std::istream& in) {
  std::string word;
  in >> word;
  return word;
}
double Number(std::istream& in) { return std::stod(Word(in)); }  // colours too: 0x... is a hex number
int Int(std::istream& in) { return static_cast<int>(Number(in)); }
TColor Colour(std::istream& in) { return static_cast<TColor>(Number(in)); }
std::string Rest(std::istream& in) {
  std::string rest;
  std::getline(in >> std::ws, rest);
  return rest;
}
// A style by its name, the names in the order of the enumeration.
template <typename Enum>
Enum Named(std::istream& in, const std::vector<std::string>& names) {
  const std::string word = Word(in);
  const auto at = std::find(names.begin(), names.end(), word);
  EXPECT_NE(at, names.end()) << "unknown style " << word;
  return static_cast<Enum>(at - names.begin());
}
TGraphPen Pen(std::istream& in) {
  return {Colour(in), Int(in), Named<TPenStyle>(in, {"solid", "dash", "dot", "dashdot", "dashdotdot", "clear"})};
}
TGraphBrush Brush(std::istream& in) { return {Colour(in), Named<TBrushStyle>(in, {"solid", "clear"})}; }
TGraphMarker Marker(std::istream& in) {
  return {Pen(in), Brush(in), Int(in), static_cast<TMarkerShape>(Int(in)), Int(in) != 0};
}
TGraphFont Font(std::istream& in) {  // size, colour, bold, then the name
  const int size = Int(in);
  const TColor colour = Colour(in);
  const bool bold = Int(in) != 0;
  return {Rest(in), size, colour, bold, 0};
}

void SetAxis(TGraphAxis& axis, const std::string& key, std::istream& in) {
  if (key == "min") axis.SetMin(Number(in));
  else if (key == "max") axis.SetMax(Number(in));
  else if (key == "origin") axis.SetOrigin(Number(in));
  else if (key == "step") axis.SetTickStep(Number(in));
  else if (key == "subs") axis.SetSubTicksCount(Int(in));
  else if (key == "decimals") axis.SetLabelDecimal(Int(in));
  else if (key == "scale") axis.SetAxisScale(Named<TAxisScale>(in, {"normal", "pi", "percent", "log"}));
  else if (key == "inverted") axis.SetInverted(Int(in));
  else if (key == "onaxis") axis.SetLabelsOnAxis(Int(in));
  else if (key == "title") axis.SetTitle(Rest(in));
  else if (key == "at") axis.SetAxisTitleLoc(Named<TAxisTitleLoc>(in, {"head", "foot", "side", "fixed"}));
  else if (key == "angle") axis.SetTitleAngle(Int(in));
  else if (key == "pen") axis.SetAxisPen(Pen(in));
  else if (key == "ticklen") axis.SetTickLen(Int(in));
  else if (key == "subticklen") axis.SetSubTickLen(Int(in));
  else if (key == "space") axis.SetLabelSpace(Int(in));
  else if (key == "ticks") axis.SetTicks(Int(in));
  else if (key == "visible") axis.SetVisible(Int(in));
  else if (key == "labelfont") axis.SetLabelFont(Font(in));
  else if (key == "automin") axis.SetAutoMin(Int(in));
  else if (key == "tickscount") axis.SetTicksCount(Int(in));
  else if (key == "recalculate") axis.Recalculate();
  else if (key == "pixel") (void)axis.ValueToPixel(Number(in));
  else if (key == "layout") {  // the rectangle's left, top, right and bottom
    SvgCanvas canvas(1, 1);
    const TGraphRect rect{Int(in), Int(in), Int(in), Int(in)};
    axis.Layout(rect, canvas);
  } else ADD_FAILURE() << "unknown axis setting " << key;
}

void SetGraph(TXYGraph& graph, const std::string& key, std::istream& in) {
  if (key == "width") graph.SetBounds(Int(in), graph.Height());
  else if (key == "height") graph.SetBounds(graph.Width(), Int(in));
  else if (key == "title") graph.SetTitle({Rest(in)});
  else if (key == "title2") graph.SetTitle({graph.Title().at(0), Rest(in)});  // a second line
  else if (key == "align") graph.SetTitleAlignment(Named<TTitleAlignment>(in, {"left", "right", "center"}));
  else if (key == "color") graph.SetColor(Colour(in));
  else if (key == "backcolor") graph.SetBackColor(Colour(in));
  else if (key == "titlefont") graph.SetTitleFont(Font(in));
  else if (key == "grid") graph.SetGridStyle(Named<TGraphGridStyle>(in, {"none", "horizontal", "vertical", "both"}));
  else if (key == "gridpen") graph.SetGridPen(Pen(in));
  else if (key == "subgridpen") graph.SetSubGridPen(Pen(in));
  else if (key == "subgrid") graph.SetSubGrid(Int(in));
  else if (key == "axesfront") graph.SetAxesFront(Int(in));
  else if (key == "aspect") graph.SetAutoAspectRatio(Int(in));
  else if (key == "loading" && Int(in)) graph.BeginLoading();
  else if (key == "loading") graph.EndLoading();
  else if (key == "paint") {
    SvgCanvas canvas(graph.Width(), graph.Height());
    graph.Paint(canvas);
  } else ADD_FAILURE() << "unknown graph setting " << key;
}

std::unique_ptr<TXYGraphSeries> NewSeries(const std::string& kind) {
  if (kind == "line") return std::make_unique<TXYLineSeries>();
  if (kind == "markers") return std::make_unique<TXYMarkerSeries>();
  if (kind == "arrows") return std::make_unique<TXYArrowSeries>();
  if (kind == "bubbles") return std::make_unique<TXYBubbleSeries>();
  if (kind == "bars") return std::make_unique<TXYErrorBarSeries>();
  if (kind == "polylines") return std::make_unique<TXYPolyPolyLineSeries>();
  if (kind == "polygons") return std::make_unique<TXYPolyPolygonSeries>();
  return nullptr;
}

// Points "x,y"; a third value is the size of a bubble or the error of a bar; "/" closes a polygon.
void AddPoints(TXYGraphSeries& series, const std::string& points) {
  std::istringstream in(points);
  for (std::string point; in >> point;) {
    std::istringstream values(point);
    std::vector<double> v;
    for (std::string value; point != "/" && std::getline(values, value, ',');) v.push_back(std::stod(value));
    if (point == "/") dynamic_cast<TXYPolyPolygonSeries&>(series).EndPolygon();
    else if (v.size() == 2) series.Add(v[0], v[1]);
    else if (auto* bubbles = dynamic_cast<TXYBubbleSeries*>(&series)) bubbles->AddBubble(v[0], v[1], v[2]);
    else dynamic_cast<TXYErrorBarSeries&>(series).AddErrorBar(v[0], v[1], v[2]);
  }
}

void SetSeries(TXYGraphSeries& series, const std::string& key, std::istream& in) {
  auto* bubbles = dynamic_cast<TXYBubbleSeries*>(&series);
  if (key == "color") series.SetSeriesColor(Colour(in));
  else if (key == "points") AddPoints(series, Rest(in));
  else if (key == "linepen") dynamic_cast<TXYLineSeries&>(series).SetLinePen(Pen(in));
  else if (key == "pen" && bubbles) bubbles->SetPen(Pen(in));
  else if (key == "pen") dynamic_cast<TXYErrorBarSeries&>(series).SetPen(Pen(in));
  else if (key == "brush" && bubbles) bubbles->SetBrush(Brush(in));
  else if (key == "brush") dynamic_cast<TXYPolyPolygonSeries&>(series).SetBrush(Brush(in));
  else if (key == "joined") dynamic_cast<TXYMarkerSeries&>(series).SetJoined(Int(in));
  else if (key == "marker") dynamic_cast<TXYMarkerSeries&>(series).SetMarker(Marker(in));
  else if (key == "arrowsize") dynamic_cast<TXYArrowSeries&>(series).SetArrowSize(Int(in));
  else if (key == "maxsize") bubbles->SetMaxSizeRate(Int(in));
  else if (key == "barsize") dynamic_cast<TXYErrorBarSeries&>(series).SetBarSize(Int(in));
  else ADD_FAILURE() << "unknown series setting " << key;
}

// A chart built line by line: "graph", "x" and "y" settings, "points" of the next series, a
// series of a kind (with those points, then attached, then set), "series" settings of the last
// ("points X,Y ..." adds to it).
struct Chart {
  TXYGraph graph;
  std::vector<std::unique_ptr<TXYGraphSeries>> series;
  std::string points;

  void Apply(const test::Case& c) {
    if (c[0] == "points") {
      points += " " + c[1];
      return;
    }
    if (auto made = NewSeries(c[0])) {
      AddPoints(*made, points);
      points.clear();
      made->SetParentGraph(&graph);
      series.push_back(std::move(made));
    }
    for (size_t i = 1; i < c.fields.size(); ++i) {
      std::istringstream in(c[i]);
      const std::string key = Word(in);
      if (c[0] == "graph") SetGraph(graph, key, in);
      else if (c[0] == "x" || c[0] == "y") SetAxis(c[0] == "x" ? graph.XAxis() : graph.YAxis(), key, in);
      else SetSeries(*series.back(), key, in);
    }
  }
};

// Builds the picture of that name as chart_pictures.txt describes it and compares it.
void ExpectPicture(const std::string& picture) {
  Chart chart;
  std::string name;
  for (const test::Case& c : test::LoadCases("chart_pictures.txt")) {
    SCOPED_TRACE(c.where);
    if (c[0] == "picture") name = c[1];
    else if (name == picture) chart.Apply(c);
  }
  SvgCanvas svg(chart.graph.Width(), chart.graph.Height());
  chart.graph.Paint(svg);
  ExpectSvg(picture, svg.Svg());
}

// A temperature history, a logarithmic and a Pi axis, an inverted percent axis, error bars and
// bubbles, and clipping.
TEST(XYGraphSamples, EveryPicture) {
  for (const char* picture : {"chart-temperature", "chart-log", "chart-pi", "chart-inverted-percent",
                              "chart-error-bars", "chart-clipping"})
    ExpectPicture(picture);
}

// Scripts of axis setters on charts built as the pictures are; the header of
// chart_axis_refusals.txt tells the checks.
void RunChartScript(const std::string& file) {
  std::unique_ptr<Chart> chart;
  for (const test::Case& c : test::LoadCases(file)) {
    SCOPED_TRACE(c.where);
    if (c[0] == "case") {
      chart = std::make_unique<Chart>();
      chart->Apply({c.where, {"line"}});
    } else if (c[0] == "ticks") {
      EXPECT_EQ((c[1] == "x" ? chart->graph.XAxis() : chart->graph.YAxis()).EffectiveTicksCount(), c.Int(2));
    } else if (c[0] == "error") {
      std::string message = "-";
      try {
        chart->Apply({c.where, {c[1], c[2]}});
      } catch (const EXYGraphAxisError& e) {
        message = e.what();
      }
      EXPECT_EQ(message, c[3]);
    } else {
      chart->Apply(c);
    }
  }
}

TEST(AxisSetters, RefusalsGiveTheirMessages) { RunChartScript("chart_axis_refusals.txt"); }
TEST(AxisLayout, LowersTheTicksCountUntilTheLabelsFit) { RunChartScript("chart_axis_layout.txt"); }

// The fixed text metric of the portable canvases, by the class of each character.
TEST(GraphCanvas, FixedAdvancePerCharacterClass) {
  for (const test::Case& c : test::LoadCases("chart_text_sizes.txt")) {
    TGraphFont font;
    font.Size = static_cast<int>(c.Int(1));
    const TGraphSize size{static_cast<int>(c.Int(2)), static_cast<int>(c.Int(3))};
    EXPECT_EQ(EstimateTextSize(font, c[0]), size) << c.where;
  }
}

}  // namespace
}  // namespace orv::xy
