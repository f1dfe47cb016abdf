#include "xyGraph/xyGraph.h"

#include <algorithm>
#include <cmath>

#include "xyGraph/axis_drawing.h"
#include "xyGraph/xySeries.h"

namespace orv::xy {

namespace {
constexpr TColor kSeriesColors[16] = {clRed,    clGreen, clBlue,  clFuchsia, clTeal,   clNavy, clMaroon, clLime,
                                      clOlive,  clPurple, clSilver, clAqua,  clBlack, clYellow, clWhite, clGray};
constexpr int kOuterPad = 4;
}  // namespace

TXYGraph::TXYGraph() = default;

TXYGraph::~TXYGraph() {
  for (TXYGraphSeries* s : series_) s->ParentDestroyed();
  series_.clear();
}

void TXYGraph::Repaint() {
  if (OnRepaintRequest) OnRepaintRequest(*this);
}

void TXYGraph::SetAutoAspectRatio(bool value) {
  autoAspectRatio_ = value;
  Repaint();
}
void TXYGraph::SetAxesFront(bool value) {
  axesFront_ = value;
  Repaint();
}
void TXYGraph::SetBackColor(TColor color) {
  backColor_ = color;
  Repaint();
}
void TXYGraph::SetGridPen(const TGraphPen& pen) {
  gridPen_ = pen;
  Repaint();
}
void TXYGraph::SetGridStyle(TGraphGridStyle style) {
  gridStyle_ = style;
  if (style == gsNone) subGrid_ = false;
  Repaint();
}
void TXYGraph::SetSubGrid(bool value) {
  if (value && gridStyle_ == gsNone) return;  // a sub-grid needs a grid
  subGrid_ = value;
  Repaint();
}
void TXYGraph::SetPiSymbol(const std::string& symbol) {
  piSymbol_ = symbol;
  Repaint();
}
void TXYGraph::SetSubGridPen(const TGraphPen& pen) {
  subGridPen_ = pen;
  Repaint();
}
void TXYGraph::SetTitle(const std::vector<std::string>& lines) {
  title_ = lines;
  Repaint();
}
void TXYGraph::SetTitleFont(const TGraphFont& font) {
  titleFont_ = font;
  Repaint();
}
void TXYGraph::SetTitleAlignment(TTitleAlignment alignment) {
  titleAlignment_ = alignment;
  Repaint();
}
void TXYGraph::SetBounds(int width, int height) {
  width_ = std::max(0, width);
  height_ = std::max(0, height);
  Repaint();
}
void TXYGraph::SetColor(TColor color) {
  color_ = color;
  Repaint();
}

void TXYGraph::EndLoading() {
  loading_ = false;
  xAxis_.Recalculate();
  yAxis_.Recalculate();
  Repaint();
}

TXYGraphSeries& TXYGraph::Series(int index) const {
  if (index < 0 || index >= SeriesCount()) throw EListError("List index out of bounds (" + std::to_string(index) + ")");
  return *series_[static_cast<size_t>(index)];
}

void TXYGraph::AttachSeries(TXYGraphSeries* series) {
  if (std::find(series_.begin(), series_.end(), series) == series_.end()) series_.push_back(series);
}

void TXYGraph::DetachSeries(TXYGraphSeries* series) { std::erase(series_, series); }

bool TXYGraph::HasData() const {
  return std::any_of(series_.begin(), series_.end(), [](const TXYGraphSeries* s) { return s->Active() && s->Count() > 0; });
}

double TXYGraph::DataMax(bool alongX) const {
  bool any = false;
  double result = 0;
  for (const TXYGraphSeries* s : series_) {
    if (!s->Active() || s->Count() == 0) continue;
    double v = alongX ? s->XMax() : s->YMax();
    result = any ? std::max(result, v) : v;
    any = true;
  }
  return any ? result : (alongX ? xAxis_.Max() : yAxis_.Max());
}

double TXYGraph::DataMin(bool alongX) const {
  bool any = false;
  double result = 0;
  for (const TXYGraphSeries* s : series_) {
    if (!s->Active() || s->Count() == 0) continue;
    double v = alongX ? s->XMin() : s->YMin();
    result = any ? std::min(result, v) : v;
    any = true;
  }
  return any ? result : (alongX ? xAxis_.Min() : yAxis_.Min());
}

TColor TXYGraph::DefaultSeriesColor(const TXYGraphSeries* except) const {
  int uses[16] = {};
  for (const TXYGraphSeries* s : series_) {
    if (s == except) continue;
    for (int i = 0; i < 16; ++i)
      if (s->SeriesColor() == kSeriesColors[i]) ++uses[i];
  }
  for (int n = 0;; ++n)
    for (int i = 0; i < 16; ++i)
      if (uses[i] == n) return kSeriesColors[i];
}

int TXYGraph::TitleHeight(IGraphCanvas& canvas) const {
  TGraphFont font = titleFont_;
  font.Escapement = 0;
  canvas.SetFont(font);
  int height = 0;
  for (const std::string& line : title_) height += canvas.TextSize(line).Height;
  return height;
}

// The graph's share of the layout: the room beside the plot for the Y labels and a side title,
// and below it for the X labels and a side title. Each axis then lays itself out in the rest.
void TXYGraph::LayoutAxes(const TGraphRect& area, IGraphCanvas& canvas) {
  int below = 0;
  if (xAxis_.Visible()) {
    if (xAxis_.Labels()) {
      TGraphFont font = xAxis_.LabelFont();
      font.Escapement = 0;
      canvas.SetFont(font);
      below += xAxis_.LabelSpace() + canvas.TextSize("0").Height;
    }
    if (int side = xAxis_.TitleExtent(tlSide, canvas).Height) below += side + 2;
  }
  TGraphRect rect{area.Left + kOuterPad, area.Top + kOuterPad, area.Right - kOuterPad, area.Bottom - kOuterPad - below};
  yAxis_.Layout(rect, canvas);  // the Y axis depends only on the top and bottom
  int beside = 0;
  if (yAxis_.Visible()) {
    if (yAxis_.Labels()) beside += yAxis_.LabelSpace() + yAxis_.LargestLabelSize(canvas).Width;
    if (int side = yAxis_.TitleExtent(tlSide, canvas).Width) beside += side + 4;
  }
  rect.Left = std::min(rect.Left + beside, rect.Right);
  xAxis_.Layout(rect, canvas);
  yAxis_.Layout(rect, canvas);
}

void TXYGraph::Layout(IGraphCanvas& canvas) {
  TGraphRect area{0, TitleHeight(canvas), width_, height_};
  LayoutAxes(area, canvas);
  auto plot = [this] {
    return TGraphRect{xAxis_.StartPixel(), yAxis_.EndPixel(), xAxis_.EndPixel() + 1, yAxis_.StartPixel() + 1};
  };
  plotRect_ = plot();
  // Only a plot with an area has an aspect ratio: in a graph too small for its titles and labels
  // the plot's height is negative, and the shrunken side would be beyond any int.
  if (autoAspectRatio_ && plotRect_.Width() > 0 && plotRect_.Height() > 0) {
    int width = plotRect_.Width(), height = plotRect_.Height();
    double pixels = static_cast<double>(width) / height;
    double values = xAxis_.Range() / yAxis_.Range();
    TGraphRect rect = xAxis_.LayoutRect();
    if (values <= pixels) {
      int d = width - static_cast<int>(std::nearbyint(height * values));
      rect.Left += d / 2;
      rect.Right -= d - d / 2;
    } else {
      int d = height - static_cast<int>(std::nearbyint(width / values));
      rect.Top += d / 2;
      rect.Bottom -= d - d / 2;
    }
    yAxis_.Layout(rect, canvas);
    xAxis_.Layout(rect, canvas);
    plotRect_ = plot();
  }
}

void TXYGraph::DrawTitle(IGraphCanvas& canvas) const {
  if (title_.empty()) return;
  TGraphFont font = titleFont_;
  font.Escapement = 0;
  canvas.SetFont(font);
  canvas.SetBrush({clWhite, bsClear});
  int y = 0;
  for (const std::string& line : title_) {
    TGraphSize size = canvas.TextSize(line);
    int x = plotRect_.Left;
    if (titleAlignment_ == taRightJustify) x = plotRect_.Right - size.Width;
    if (titleAlignment_ == taCenter) x = (plotRect_.Left + plotRect_.Right - size.Width) / 2;
    canvas.DrawString(x, y, line);
    y += size.Height;
  }
}

void TXYGraph::DrawGrid(IGraphCanvas& canvas) const {
  auto lines = [&](const TGraphAxis& axis, const std::vector<double>& values, const TGraphPen& pen) {
    if (values.empty()) return;
    std::vector<TPolyline> segments;
    for (double v : values) {
      int p = axis.ValueToPixel(v);
      if (axis.Horizontal())
        segments.push_back({{p, plotRect_.Top}, {p, plotRect_.Bottom - 1}});
      else
        segments.push_back({{plotRect_.Left, p}, {plotRect_.Right - 1, p}});
    }
    canvas.SetPen(pen);
    canvas.PolyPolyline(segments);
  };
  if (gridStyle_ == gsHorizontal || gridStyle_ == gsBoth) {
    if (subGrid_) lines(yAxis_, yAxis_.MinorTicks(), subGridPen_);
    lines(yAxis_, yAxis_.MajorTicks(), gridPen_);
  }
  if (gridStyle_ == gsVertical || gridStyle_ == gsBoth) {
    if (subGrid_) lines(xAxis_, xAxis_.MinorTicks(), subGridPen_);
    lines(xAxis_, xAxis_.MajorTicks(), gridPen_);
  }
}

void TXYGraph::DrawAxes(IGraphCanvas& canvas) {
  xAxis_.SetCrossingPosition(yAxis_.ValueToPixel(yAxis_.Origin()));
  yAxis_.SetCrossingPosition(xAxis_.ValueToPixel(xAxis_.Origin()));
  xAxis_.SetPlotEdge(plotRect_.Bottom - 1);
  yAxis_.SetPlotEdge(plotRect_.Left);
  DrawAxis(xAxis_, canvas);
  DrawAxis(yAxis_, canvas);
}

void TXYGraph::DrawSeries(IGraphCanvas& canvas) {
  canvas.SetClipRect(plotRect_);
  // A copy: a series' drawing must not be able to change the list being walked.
  std::vector<TXYGraphSeries*> series = series_;
  for (TXYGraphSeries* s : series) {
    if (!s->Active() || s->Count() == 0) continue;
    s->TakeAxisRanges();
    s->Draw(canvas);
  }
  canvas.RemoveClip();
}

void TXYGraph::Paint(IGraphCanvas& canvas) {
  Layout(canvas);
  canvas.SetPen({color_, 1, psClear});
  canvas.SetBrush({color_, bsSolid});
  canvas.FillRect({0, 0, width_, height_});
  canvas.SetBrush({backColor_, bsSolid});
  canvas.FillRect(plotRect_);
  DrawTitle(canvas);
  if (axesFront_) {
    DrawSeries(canvas);
    DrawGrid(canvas);
    DrawAxes(canvas);
  } else {
    DrawGrid(canvas);
    DrawAxes(canvas);
    DrawSeries(canvas);
  }
  if (OnAfterDraw) OnAfterDraw(*this, canvas);
}

}  // namespace orv::xy
