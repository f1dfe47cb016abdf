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
    std::vector<TPolyline> moved = lines;
    for (TPolyline& l : moved) Move(l);
    inner_.PolyPolyline(moved);
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
};

// The look of every report chart: white, small labels, grey horizontal grid lines.
void ReportLook(TXYGraph& graph, int width, int height) {
  graph.SetBounds(width, height);
  graph.SetColor(clWhite);
  graph.SetBackColor(clWhite);
  graph.SetGridPen({kGridColor, 1, psSolid});
  graph.SetGridStyle(gsHorizontal);
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

// A fixed range, its step and origin, set in an order the axis accepts from any range before.
void FixAxis(TGraphAxis& axis, double min, double max, double step, int subTicks) {
  axis.SetMax(std::max(max, axis.Max()));
  axis.SetMin(min);
  axis.SetMax(max);
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
    graph.Paint(canvas);
  });
}

std::string DriveTrendChart(const std::vector<TrendPoint>& trend) {
  constexpr int kWidth = 240, kTop = 62, kBottom = 46;
  return Chart(kWidth, kTop + kBottom, "drive-chart", "90日間の温度と故障数・警告数", [&](SvgCanvas& canvas) {
    int hottest = 0, most = 0;
    for (const TrendPoint& p : trend) {
      hottest = std::max(hottest, p.temperature);
      most = std::max({most, p.failures, p.warnings});
    }
    {
      TXYGraph graph;
      ReportLook(graph, kWidth, kTop);
      graph.XAxis().SetLabels(false);
      TXYLineSeries temperature, limit;
      temperature.SetLinePen({kTemperatureColor, 2, psSolid});
      limit.SetLinePen({kHotColor, 1, psDot});
      limit.SetParentGraph(&graph);
      temperature.SetParentGraph(&graph);
      for (const TrendPoint& p : trend) temperature.Add(-p.daysAgo, p.temperature);
      limit.Add(-kTrendDays, kHotCelsius);
      limit.Add(0, kHotCelsius);
      FixAxis(graph.XAxis(), -kTrendDays, 0, 30, 3);
      const double top = std::max(80.0, std::ceil((hottest + 5) / 20.0) * 20);
      FixAxis(graph.YAxis(), 0, top, top / 4, 1);
      graph.Paint(canvas);
    }
    TXYGraph graph;
    ReportLook(graph, kWidth, kBottom);
    TXYLineSeries failures, warnings;
    warnings.SetLinePen({kWarningColor, 2, psSolid});
    failures.SetLinePen({kFailureColor, 2, psSolid});
    warnings.SetParentGraph(&graph);
    failures.SetParentGraph(&graph);
    for (const TrendPoint& p : trend) {
      warnings.Add(-p.daysAgo, p.warnings);
      failures.Add(-p.daysAgo, p.failures);
    }
    FixAxis(graph.XAxis(), -kTrendDays, 0, 30, 3);
    CountAxis(graph.YAxis(), most);
    ShiftedCanvas below(canvas, kTop);
    graph.Paint(below);
  });
}

}  // namespace orv::report
