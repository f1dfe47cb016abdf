#include "xyGraph/xySeries.h"

#include <algorithm>
#include <cmath>
#include <istream>
#include <ostream>

namespace orv::xy {

// ============================================================================================
// Clipping
// ============================================================================================

int OutCode(double x, double y, const TValueRect& r) {
  int code = 0;
  if (x < r.XMin) code |= kOutLeft;
  if (x > r.XMax) code |= kOutRight;
  if (y < r.YMin) code |= kOutBelow;
  if (y > r.YMax) code |= kOutAbove;
  return code;
}

bool ClipSegment(double& x1, double& y1, double& x2, double& y2, const TValueRect& r) {
  int c1 = OutCode(x1, y1, r);
  int c2 = OutCode(x2, y2, r);
  // Each pass moves one end onto an edge; four edges per end are enough, the rest is a guard
  // against rounding errors that put an intersection a hair outside.
  for (int pass = 0; pass < 12; ++pass) {
    if ((c1 | c2) == 0) return true;
    if (c1 & c2) return false;
    int c = c1 ? c1 : c2;
    double x, y;
    if (c & kOutAbove) {
      x = x1 + (x2 - x1) * (r.YMax - y1) / (y2 - y1);
      y = r.YMax;
    } else if (c & kOutBelow) {
      x = x1 + (x2 - x1) * (r.YMin - y1) / (y2 - y1);
      y = r.YMin;
    } else if (c & kOutRight) {
      y = y1 + (y2 - y1) * (r.XMax - x1) / (x2 - x1);
      x = r.XMax;
    } else {
      y = y1 + (y2 - y1) * (r.XMin - x1) / (x2 - x1);
      x = r.XMin;
    }
    if (c == c1) {
      x1 = x;
      y1 = y;
      c1 = OutCode(x1, y1, r);
    } else {
      x2 = x;
      y2 = y;
      c2 = OutCode(x2, y2, r);
    }
  }
  return false;
}

// ============================================================================================
// TXYGraphSeries
// ============================================================================================

TXYGraphSeries::~TXYGraphSeries() {
  if (parent_) {
    TXYGraph* graph = parent_;
    graph->DetachSeries(this);
    parent_ = nullptr;
    graph->Repaint();
  }
}

void TXYGraphSeries::SetParentGraph(TXYGraph* graph) {
  if (graph == parent_) return;
  if (parent_) {
    TXYGraph* old = parent_;
    old->DetachSeries(this);
    parent_ = nullptr;
    old->Repaint();
  }
  if (graph) {
    graph->AttachSeries(this);
    parent_ = graph;
    if (seriesColor_ == clNone) SetSeriesColor(graph->DefaultSeriesColor(this));
    graph->Repaint();
  }
}

void TXYGraphSeries::SetSeriesColor(TColor color) {
  seriesColor_ = color;
  Repaint();
}

void TXYGraphSeries::SetActive(bool value) {
  active_ = value;
  Repaint();
}

void TXYGraphSeries::Repaint() const {
  if (parent_) parent_->Repaint();
}

int TXYGraphSeries::Add(double x, double y) {
  int index = xValues_.Add(x);
  yValues_.Add(y);
  if (OnAfterAdd) OnAfterAdd(*this, index);
  Repaint();
  return index;
}

void TXYGraphSeries::Clear() {
  xValues_.Clear();
  yValues_.Clear();
  Repaint();
}

void TXYGraphSeries::Delete(int index) {
  yValues_.Get(index);  // checks the index before either list changes
  xValues_.Delete(index);
  yValues_.Delete(index);
  Repaint();
}

void TXYGraphSeries::WriteData(std::ostream& out) const {
  xValues_.WriteTo(out);
  yValues_.WriteTo(out);
}

void TXYGraphSeries::ReadData(std::istream& in) {
  TGraphValueList x, y;
  x.ReadFrom(in);
  y.ReadFrom(in);
  if (x.Count() != y.Count()) throw EListError("Stream read error");
  xValues_.Assign(x);
  yValues_.Assign(y);
  Repaint();
}

void TXYGraphSeries::GenerateSampleData() {
  if (!parent_) throw EXYGraphSeriesError(name_ + " は親グラフを持っていません");
  const TGraphAxis& xa = parent_->XAxis();
  const TGraphAxis& ya = parent_->YAxis();
  Clear();
  for (int i = 0; i < 10; ++i) {
    double x = xa.Min() + (xa.Max() - xa.Min()) * i / 9.0;
    double y = ya.Min() + (ya.Max() - ya.Min()) * (0.5 + 0.4 * std::sin(i * 0.9));
    Add(x, y);
  }
}

void TXYGraphSeries::TakeAxisRanges() {
  if (!parent_) return;
  ranges_ = {parent_->XAxis().Min(), parent_->XAxis().Max(), parent_->YAxis().Min(), parent_->YAxis().Max()};
}

TGraphPoint TXYGraphSeries::ToPixel(double x, double y) const {
  return {parent_->XAxis().ValueToPixel(x), parent_->YAxis().ValueToPixel(y)};
}

std::vector<TPolyline> TXYGraphSeries::ClippedRuns(int first, int count) const {
  std::vector<TPolyline> runs;
  if (!parent_) return runs;
  bool open = false;  // the last run ends at an unclipped point that the next segment starts from
  int last = std::min(first + count, Count());
  for (int i = std::max(first, 0); i + 1 < last; ++i) {
    double x1 = xValues_.Get(i), y1 = yValues_.Get(i), x2 = xValues_.Get(i + 1), y2 = yValues_.Get(i + 1);
    if (!std::isfinite(x1) || !std::isfinite(y1) || !std::isfinite(x2) || !std::isfinite(y2)) {
      open = false;
      continue;
    }
    int startCode = OutCode(x1, y1, ranges_);
    int endCode = OutCode(x2, y2, ranges_);
    if (!ClipSegment(x1, y1, x2, y2, ranges_)) {
      open = false;
      continue;
    }
    TGraphPoint end = ToPixel(x2, y2);
    if (open && startCode == 0) {
      runs.back().push_back(end);
    } else {
      runs.push_back({ToPixel(x1, y1), end});
    }
    open = endCode == 0;
  }
  return runs;
}

// ============================================================================================
// TXYLineSeries
// ============================================================================================

void TXYLineSeries::SetLinePen(const TGraphPen& pen) {
  linePen_ = pen;
  TXYGraphSeries::SetSeriesColor(pen.Color);
}

void TXYLineSeries::SetSeriesColor(TColor color) {
  if (color != clNone) linePen_.Color = color;
  TXYGraphSeries::SetSeriesColor(color);
}

void TXYLineSeries::SetDisContinue(bool value) {
  disContinue_ = value;
  Repaint();
}

void TXYLineSeries::DrawLine(IGraphCanvas& canvas) const {
  std::vector<TPolyline> runs = ClippedRuns(0, Count());
  if (runs.empty()) return;
  canvas.SetPen(linePen_);
  canvas.SetBrush({clWhite, bsClear});
  canvas.PolyPolyline(runs);
}

void TXYLineSeries::Draw(IGraphCanvas& canvas) { DrawLine(canvas); }

// ============================================================================================
// Markers
// ============================================================================================

void TGraphMarker::Draw(IGraphCanvas& canvas, TGraphPoint at) const {
  if (!Visible) return;
  int h = std::max(1, Size / 2);
  int x = at.X, y = at.Y;
  canvas.SetPen(Pen);
  canvas.SetBrush(Brush);
  switch (Shape) {
    case msPlus: canvas.PolyPolyline({{{x - h, y}, {x + h + 1, y}}, {{x, y - h}, {x, y + h + 1}}}); break;
    case msTimes: canvas.PolyPolyline({{{x - h, y - h}, {x + h + 1, y + h + 1}}, {{x - h, y + h}, {x + h + 1, y - h - 1}}}); break;
    case msSquare: canvas.Rectangle({x - h, y - h, x + h + 1, y + h + 1}); break;
    case msCircle: canvas.Ellipse({x - h, y - h, x + h + 1, y + h + 1}); break;
    case msPoint: canvas.Rectangle({x - 1, y - 1, x + 2, y + 2}); break;
    case msStar:
      canvas.PolyPolyline({{{x - h, y}, {x + h + 1, y}},
                           {{x, y - h}, {x, y + h + 1}},
                           {{x - h, y - h}, {x + h + 1, y + h + 1}},
                           {{x - h, y + h}, {x + h + 1, y - h - 1}}});
      break;
    case msTriangleUp: canvas.Polygon({{x, y - h}, {x + h, y + h}, {x - h, y + h}}); break;
    case msTriangleDown: canvas.Polygon({{x, y + h}, {x + h, y - h}, {x - h, y - h}}); break;
    case msDiamond: canvas.Polygon({{x, y - h}, {x + h, y}, {x, y + h}, {x - h, y}}); break;
  }
}

void TXYMarkerSeries::SetJoined(bool value) {
  joined_ = value;
  Repaint();
}

void TXYMarkerSeries::SetMarker(const TGraphMarker& marker) {
  marker_ = marker;
  Repaint();
}

void TXYMarkerSeries::SetSeriesColor(TColor color) {
  if (color != clNone) {
    marker_.Pen.Color = color;
    marker_.Brush.Color = color;
  }
  TXYLineSeries::SetSeriesColor(color);
}

void TXYMarkerSeries::Draw(IGraphCanvas& canvas) {
  if (joined_) DrawLine(canvas);
  for (int i = 0; i < Count(); ++i) {
    double x = xValues_.Get(i), y = yValues_.Get(i);
    if (std::isfinite(x) && std::isfinite(y) && Inside(x, y)) marker_.Draw(canvas, ToPixel(x, y));
  }
}

// ============================================================================================
// Arrows
// ============================================================================================

void TXYArrowSeries::SetArrowSize(int value) {
  arrowSize_ = value;
  Repaint();
}

void TXYArrowSeries::Draw(IGraphCanvas& canvas) {
  DrawLine(canvas);
  canvas.SetBrush({LinePen().Color, bsSolid});
  TGraphPen pen = LinePen();
  pen.Width = 1;
  canvas.SetPen(pen);
  for (int i = 1; i < Count(); ++i) {
    double x1 = xValues_.Get(i - 1), y1 = yValues_.Get(i - 1), x2 = xValues_.Get(i), y2 = yValues_.Get(i);
    // An end without a number is inside no range but would pass the outcode test.
    if (!std::isfinite(x1) || !std::isfinite(y1) || !std::isfinite(x2) || !std::isfinite(y2) || !Inside(x2, y2)) continue;
    if (!ClipSegment(x1, y1, x2, y2, ranges_)) continue;
    TGraphPoint a = ToPixel(x1, y1), b = ToPixel(x2, y2);
    double dx = b.X - a.X, dy = b.Y - a.Y, len = std::hypot(dx, dy);
    if (len < 1) continue;
    dx /= len;
    dy /= len;
    const double c = std::cos(0.45), s = std::sin(0.45);  // wings 26 degrees off the shaft
    auto wing = [&](double sign) {
      double wx = dx * c - sign * dy * s, wy = sign * dx * s + dy * c;
      return TGraphPoint{static_cast<int>(std::lround(b.X - arrowSize_ * wx)),
                         static_cast<int>(std::lround(b.Y - arrowSize_ * wy))};
    };
    canvas.Polygon({b, wing(1), wing(-1)});
  }
}

// ============================================================================================
// Bubbles
// ============================================================================================

int TXYBubbleSeries::AddBubble(double x, double y, double size) {
  sizes_.Add(size);
  return Add(x, y);
}

void TXYBubbleSeries::Clear() {
  sizes_.Clear();
  TXYGraphSeries::Clear();
}

void TXYBubbleSeries::Delete(int index) {
  TXYGraphSeries::Delete(index);
  if (index < sizes_.Count()) sizes_.Delete(index);
}

void TXYBubbleSeries::SetBrush(const TGraphBrush& brush) {
  brush_ = brush;
  Repaint();
}

void TXYBubbleSeries::SetPen(const TGraphPen& pen) {
  pen_ = pen;
  Repaint();
}

void TXYBubbleSeries::SetSeriesColor(TColor color) {
  if (color != clNone) brush_.Color = color;
  TXYGraphSeries::SetSeriesColor(color);
}

void TXYBubbleSeries::SetMaxSizeRate(int value) {
  maxSizeRate_ = value;
  Repaint();
}

void TXYBubbleSeries::Draw(IGraphCanvas& canvas) {
  double largest = 0;
  for (int i = 0; i < sizes_.Count(); ++i) largest = std::max(largest, std::fabs(sizes_.Get(i)));
  if (largest <= 0 || !ParentGraph()) return;
  const TGraphRect& plot = ParentGraph()->PlotRect();
  double full = std::min(plot.Width(), plot.Height()) * maxSizeRate_ / 100.0;
  canvas.SetPen(pen_);
  canvas.SetBrush(brush_);
  for (int i = 0; i < Count() && i < sizes_.Count(); ++i) {
    double x = xValues_.Get(i), y = yValues_.Get(i);
    if (!std::isfinite(x) || !std::isfinite(y) || !Inside(x, y)) continue;
    // The area follows the value: the radius grows with its square root.
    int r = static_cast<int>(std::lround(full * std::sqrt(std::fabs(sizes_.Get(i)) / largest)));
    TGraphPoint c = ToPixel(x, y);
    canvas.Ellipse({c.X - r, c.Y - r, c.X + r + 1, c.Y + r + 1});
  }
}

// ============================================================================================
// Error bars
// ============================================================================================

int TXYErrorBarSeries::AddErrorBar(double x, double y, double error) {
  errors_.Add(error);
  return Add(x, y);
}

void TXYErrorBarSeries::Clear() {
  errors_.Clear();
  TXYGraphSeries::Clear();
}

void TXYErrorBarSeries::Delete(int index) {
  TXYGraphSeries::Delete(index);
  if (index < errors_.Count()) errors_.Delete(index);
}

void TXYErrorBarSeries::SetJoined(bool value) {
  joined_ = value;
  Repaint();
}

void TXYErrorBarSeries::SetBarSize(int value) {
  barSize_ = value;
  Repaint();
}

void TXYErrorBarSeries::SetPen(const TGraphPen& pen) {
  pen_ = pen;
  Repaint();
}

void TXYErrorBarSeries::Draw(IGraphCanvas& canvas) {
  if (joined_) DrawLine(canvas);
  std::vector<TPolyline> bars;
  int half = barSize_ / 2;
  for (int i = 0; i < Count() && i < errors_.Count(); ++i) {
    double x = xValues_.Get(i), y = yValues_.Get(i), e = std::fabs(errors_.Get(i));
    // A point without a number, or with an error that is not one, has no bar.
    if (!std::isfinite(x) || !std::isfinite(y) || std::isnan(e) || x < ranges_.XMin || x > ranges_.XMax) continue;
    double lo = y - e, hi = y + e;
    if (hi < ranges_.YMin || lo > ranges_.YMax) continue;
    TGraphPoint bottom = ToPixel(x, std::max(lo, ranges_.YMin));
    TGraphPoint top = ToPixel(x, std::min(hi, ranges_.YMax));
    bars.push_back({bottom, top});
    if (lo >= ranges_.YMin) bars.push_back({{bottom.X - half, bottom.Y}, {bottom.X + half + 1, bottom.Y}});
    if (hi <= ranges_.YMax) bars.push_back({{top.X - half, top.Y}, {top.X + half + 1, top.Y}});
  }
  if (bars.empty()) return;
  canvas.SetPen(pen_);
  canvas.PolyPolyline(bars);
}

// ============================================================================================
// Polygons and poly-lines
// ============================================================================================

void TXYPolyPolygonSeries::EndPolygon() {
  int used = 0;
  for (int i = 0; i < countList_.Count(); ++i) used += countList_.Get(i);
  if (Count() > used) countList_.Add(Count() - used);
  Repaint();
}

void TXYPolyPolygonSeries::Clear() {
  countList_.Clear();
  TXYLineSeries::Clear();
}

void TXYPolyPolygonSeries::SetBrush(const TGraphBrush& brush) {
  brush_ = brush;
  Repaint();
}

std::vector<std::pair<int, int>> TXYPolyPolygonSeries::Groups() const {
  std::vector<std::pair<int, int>> groups;
  int first = 0;
  for (int i = 0; i < countList_.Count() && first < Count(); ++i) {
    int n = std::min(countList_.Get(i), Count() - first);
    if (n > 0) groups.emplace_back(first, n);
    first += std::max(n, 0);
  }
  return groups;
}

void TXYPolyPolygonSeries::Draw(IGraphCanvas& canvas) {
  canvas.SetPen(LinePen());
  canvas.SetBrush(brush_);
  for (auto [first, n] : Groups()) {
    TPolyline points;
    try {
      for (int i = first; i < first + n; ++i) points.push_back(ToPixel(xValues_.Get(i), yValues_.Get(i)));
    } catch (const EXYGraphAxisError&) {
      continue;  // a polygon with a point a logarithmic axis cannot show is left out
    }
    if (points.size() >= 3) canvas.Polygon(points);
  }
}

void TXYPolyPolyLineSeries::Draw(IGraphCanvas& canvas) {
  std::vector<TPolyline> lines;
  for (auto [first, n] : Groups())
    for (TPolyline& run : ClippedRuns(first, n)) lines.push_back(std::move(run));
  if (lines.empty()) return;
  canvas.SetPen(LinePen());
  canvas.SetBrush({clWhite, bsClear});
  canvas.PolyPolyline(lines);
}

void TXYInequalSeries::EndGroup() {
  int used = 0;
  for (int i = 0; i < groupList_.Count(); ++i) used += groupList_.Get(i);
  if (CountList().Count() > used) groupList_.Add(CountList().Count() - used);
  Repaint();
}

void TXYInequalSeries::Clear() {
  groupList_.Clear();
  TXYPolyPolygonSeries::Clear();
}

}  // namespace orv::xy
