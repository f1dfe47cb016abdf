#include "fleet/report/report_charts.h"

#include <algorithm>
#include <cmath>

#include "xyGraph/svg_canvas.h"
#include "xyGraph/xyGraph.h"
#include "xyGraph/xySeries.h"

namespace orv::report {

namespace {

using namespace orv::xy;

constexpr TColor kTemperatureColor = RGBColor(0x1f, 0x6f, 0xb4);
constexpr TColor kHotColor = RGBColor(0xd0, 0x30, 0x30);
constexpr TColor kFailureColor = RGBColor(0xc0, 0x10, 0x10);
constexpr TColor kWarningColor = RGBColor(0xe8, 0x9a, 0x00);
constexpr TColor kGridColor = RGBColor(0xdd, 0xdd, 0xdd);

// Draws on another canvas moved down by `dy` pixels: two charts in one picture.
class ShiftedCanvas final : public IGraphCanvas {
 public:
  ShiftedCanvas(IGraphCanvas& inner, int dy) : inner_(inner), dy_(dy) {}
  void SetPen(const TGraphPen& pen) override { inner_.SetPen(pen); }
  void SetBrush(const TGraphBrush& brush) override { inner_.SetBrush(brush); }
  void SetFont(const TGraphFont& font) override { inner_.SetFont(font); }
  void FillRect(const TGraphRect& r) override { inner_.FillRect(Moved(r)); }
  void Line(int x1, int y1, int x2, int y2) override { inner_.Line(x1, y1 + dy_, x2, y2 + dy_); }
  void PolyPolyline(const std::vector<TPolyline>& lines) override {
    moved_ = lines;  // reuses the buffers of the call before
    for (TPolyline& l : moved_) Move(l);
    inner_.PolyPolyline(moved_);
  }
  void Polygon(const TPolyline& points) override {
    TPolyline moved = points;
    Move(moved);
    inner_.Polygon(moved);
  }
  void Ellipse(const TGraphRect& r) override { inner_.Ellipse(Moved(r)); }
  void Rectangle(const TGraphRect& r) override { inner_.Rectangle(Moved(r)); }
  void DrawString(int x, int y, std::string_view text) override { inner_.DrawString(x, y + dy_, text); }
  TGraphSize TextSize(std::string_view text) override { return inner_.TextSize(text); }
  void SetClipRect(const TGraphRect& r) override { inner_.SetClipRect(Moved(r)); }
  void RemoveClip() override { inner_.RemoveClip(); }

 private:
  TGraphRect Moved(TGraphRect r) const {
    r.Top += dy_;
    r.Bottom += dy_;
    return r;
  }
  void Move(TPolyline& points) const {
    for (TGraphPoint& p : points) p.Y += dy_;
  }
  IGraphCanvas& inner_;
  int dy_;
  std::vector<TPolyline> moved_;
};

// The look of every report chart: white, small labels, grey horizontal grid lines (none on the
// small charts of the drives). The graph is left loading: EndLoading after the axes are fixed.
void ReportLook(TXYGraph& graph, int width, int height, bool grid = true) {
  graph.BeginLoading();
  graph.SetBounds(width, height);
  graph.SetColor(clWhite);
  graph.SetBackColor(clWhite);
  graph.SetGridPen({kGridColor, 1, psSolid});
  graph.SetGridStyle(grid ? gsHorizontal : gsNone);
  TGraphFont font;
  font.Size = 8;
  font.Color = RGBColor(0x44, 0x44, 0x44);
  for (TGraphAxis* axis : {&graph.XAxis(), &graph.YAxis()}) {
    axis->SetLabelFont(font);
    axis->SetLabelsOnAxis(true);
    axis->SetLabelDecimal(0);
    axis->SetAxisPen({RGBColor(0x88, 0x88, 0x88), 1, psSolid});
    axis->SetTickLen(3);
    axis->SetSubTickLen(2);
  }
}

// A fixed range, its step and origin. Set while the graph loads (as from a stored form): the
// values are only stored, and the axis works them out once when the loading ends, not once per
// setting (thousands of charts make one report).
void FixAxis(TGraphAxis& axis, double min, double max, double step, int subTicks) {
  axis.SetAutoMax(false);
  axis.SetAutoMin(false);
  axis.SetAutoOrigin(false);
  axis.SetAutoStep(false);
  axis.SetMax(max);
  axis.SetMin(min);
  axis.SetOrigin(min);
  axis.SetTickStep(step);
  axis.SetSubTicksCount(subTicks);
}

// A count axis from 0 up to at least `top`, in whole steps.
void CountAxis(TGraphAxis& axis, int top) {
  top = std::max(top, 2);
  const double step = top <= 6 ? 1 : std::ceil(top / 5.0);
  FixAxis(axis, 0, std::ceil(top / step) * step, step, 1);
}

std::string Inline(const SvgCanvas& canvas, const char* cssClass, const std::string& label) {
  std::string svg = canvas.Svg();
  const size_t root = svg.find("<svg ");
  if (root == std::string::npos) return {};
  svg.erase(0, root);
  svg.insert(5, std::string("class=\"") + cssClass + "\" role=\"img\" aria-label=\"" + label + "\" ");
  if (!svg.empty() && svg.back() == '\n') svg.pop_back();
  return svg;
}

// A chart that cannot be drawn (the component refused a setting) leaves an empty picture of the
// same size rather than no picture.
template <typename Draw>
std::string Chart(int width, int height, const char* cssClass, const std::string& label, Draw draw) {
  SvgCanvas canvas(width, height);
  try {
    draw(canvas);
  } catch (const EXYGraphError&) {
    canvas = SvgCanvas(width, height);
  }
  return Inline(canvas, cssClass, label);
}

// Adds the points of a trend value to a line series, leaving out every point between two of the
// same value: the line drawn is the same, and a count that stays 0 for 90 saves costs two points.
template <typename Value>
void AddLine(TXYLineSeries& series, const std::vector<TrendPoint>& trend, Value value) {
  for (size_t i = 0; i < trend.size(); ++i) {
    const int v = value(trend[i]);
    if (i > 0 && i + 1 < trend.size() && value(trend[i - 1]) == v && value(trend[i + 1]) == v) continue;
    series.Add(-trend[i].daysAgo, v);
  }
}

// The highest temperature of every three days (of the saves in them), at the time of the latest
// save of the three: a small chart shows little finer (three days are seven pixels), a hot day
// is never averaged away, and thousands of charts cost a third of the points.
std::vector<TrendPoint> ThreeDayHighs(const std::vector<TrendPoint>& trend) {
  std::vector<TrendPoint> highs;
  long span = -1;
  for (const TrendPoint& p : trend) {
    const long s = static_cast<long>(p.daysAgo / 3);
    if (highs.empty() || s != span) {
      highs.push_back(p);
      span = s;
    } else {
      highs.back().temperature = std::max(highs.back().temperature, p.temperature);
      highs.back().daysAgo = p.daysAgo;
    }
  }
  return highs;
}

}  // namespace

int TemperatureBin(int celsius) {
  if (celsius < kFirstBinCelsius) return 0;
  return std::min(kTemperatureBins - 1, 1 + (celsius - kFirstBinCelsius) / 5);
}

std::string TemperatureDistributionChart(const std::array<int, kTemperatureBins>& drives) {
  return Chart(440, 190, "fleet-chart", "ドライブの温度の分布", [&](SvgCanvas& canvas) {
    TXYGraph graph;
    ReportLook(graph, 440, 190);
    TXYPolyPolygonSeries normal, hot;
    normal.SetLinePen({kTemperatureColor, 1, psSolid});
    normal.SetBrush({RGBColor(0x8d, 0xb6, 0xdd), bsSolid});
    hot.SetLinePen({kHotColor, 1, psSolid});
    hot.SetBrush({RGBColor(0xf0, 0x9a, 0x9a), bsSolid});
    normal.SetParentGraph(&graph);
    hot.SetParentGraph(&graph);
    int top = 0;
    for (int bin = 0; bin < kTemperatureBins; ++bin) {
      const double left = kFirstBinCelsius + 5.0 * (bin - 1) + 0.6, right = left + 3.8;
      TXYPolyPolygonSeries& bar = left >= kHotCelsius ? hot : normal;
      if (drives[bin] == 0) continue;
      for (auto [x, y] : {std::pair{left, 0.0}, {left, 1.0 * drives[bin]}, {right, 1.0 * drives[bin]}, {right, 0.0}})
        bar.Add(x, y);
      bar.EndPolygon();
      top = std::max(top, drives[bin]);
    }
    FixAxis(graph.XAxis(), kFirstBinCelsius - 5, kFirstBinCelsius + 5 * (kTemperatureBins - 1), 5, 1);
    CountAxis(graph.YAxis(), top);
    graph.EndLoading();
    graph.Paint(canvas);
  });
}

std::string WeeklyConcernChart(const std::array<int, kTrendWeeks>& withFailure,
                               const std::array<int, kTrendWeeks>& withFailureOrWarning) {
  return Chart(440, 190, "fleet-chart", "故障・警戒のあったコンピューターの数（週ごと）", [&](SvgCanvas& canvas) {
    TXYGraph graph;
    ReportLook(graph, 440, 190);
    TXYLineSeries failures, concerns;
    failures.SetLinePen({kFailureColor, 2, psSolid});
    concerns.SetLinePen({kWarningColor, 2, psSolid});
    concerns.SetParentGraph(&graph);
    failures.SetParentGraph(&graph);
    int top = 0;
    // Oldest week first; x is the week's number before the report (-12 .. 0).
    for (int week = kTrendWeeks - 1; week >= 0; --week) {
      failures.Add(-week, withFailure[week]);
      concerns.Add(-week, withFailureOrWarning[week]);
      top = std::max({top, withFailure[week], withFailureOrWarning[week]});
    }
    FixAxis(graph.XAxis(), -(kTrendWeeks - 1), 0, 2, 2);
    CountAxis(graph.YAxis(), top);
    graph.EndLoading();
    graph.Paint(canvas);
  });
}

std::string DriveTrendChart(const std::vector<TrendPoint>& trend) {
  constexpr int kWidth = 240, kTop = 62, kBottom = 46;
  return Chart(kWidth, kTop + kBottom, "drive-chart", "90日間の温度と故障数・警告数", [&](SvgCanvas& canvas) {
    int hottest = 0, most = 0;
    for (const TrendPoint& p : trend) {
      hottest = std::max<int>(hottest, p.temperature);
      most = std::max<int>({most, p.failures, p.warnings});
    }
    // Counts that stayed 0 are drawn on the temperature's axis, where 0 is 0: one chart instead
    // of two for nearly every drive of a fleet. Counts above 0 get a panel of their own below.
    const bool countPanel = most > 0;
    {
      TXYGraph graph;
      ReportLook(graph, kWidth, countPanel ? kTop : kTop + kBottom, false);
      // With a panel below, that panel carries the days; the labels say enough without tick marks.
      graph.XAxis().SetLabels(!countPanel);
      graph.XAxis().SetTicks(!countPanel);
      graph.YAxis().SetTicks(false);
      TXYLineSeries temperature, limit, failures, warnings;
      temperature.SetLinePen({kTemperatureColor, 2, psSolid});
      limit.SetLinePen({kHotColor, 1, psDot});
      limit.SetParentGraph(&graph);
      if (!countPanel) {
        warnings.SetLinePen({kWarningColor, 2, psSolid});
        failures.SetLinePen({kFailureColor, 2, psSolid});
        warnings.SetParentGraph(&graph);
        failures.SetParentGraph(&graph);
        AddLine(warnings, trend, [](const TrendPoint& p) { return p.warnings; });
        AddLine(failures, trend, [](const TrendPoint& p) { return p.failures; });
      }
      temperature.SetParentGraph(&graph);
      AddLine(temperature, ThreeDayHighs(trend), [](const TrendPoint& p) { return p.temperature; });
      limit.Add(-kTrendDays, kHotCelsius);
      limit.Add(0, kHotCelsius);
      FixAxis(graph.XAxis(), -kTrendDays, 0, 30, 1);
      const double top = std::max(80.0, std::ceil((hottest + 5) / 40.0) * 40);
      FixAxis(graph.YAxis(), 0, top, top / 2, 1);
      graph.EndLoading();
      graph.Paint(canvas);
    }
    if (!countPanel) return;
    TXYGraph graph;
    ReportLook(graph, kWidth, kBottom, false);
    graph.YAxis().SetTicks(false);
    TXYLineSeries failures, warnings;
    warnings.SetLinePen({kWarningColor, 2, psSolid});
    failures.SetLinePen({kFailureColor, 2, psSolid});
    warnings.SetParentGraph(&graph);
    failures.SetParentGraph(&graph);
    AddLine(warnings, trend, [](const TrendPoint& p) { return p.warnings; });
    AddLine(failures, trend, [](const TrendPoint& p) { return p.failures; });
    FixAxis(graph.XAxis(), -kTrendDays, 0, 30, 1);
    CountAxis(graph.YAxis(), most);
    graph.EndLoading();
    ShiftedCanvas below(canvas, kTop);
    graph.Paint(below);
  });
}

}  // namespace orv::report
