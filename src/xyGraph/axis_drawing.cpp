#include "xyGraph/axis_drawing.h"

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

namespace orv::xy {

namespace {

void DrawLine(const TGraphAxis& axis, IGraphCanvas& canvas) {
  if (!axis.Visible()) return;
  canvas.SetPen(axis.AxisPen());
  const int at = axis.CrossingPosition();
  if (axis.Horizontal())
    canvas.Line(axis.StartPixel(), at, axis.EndPixel(), at);
  else
    canvas.Line(at, axis.StartPixel(), at, axis.EndPixel());
}

// Ticks point into the plot: up from the X axis, right from the Y axis.
void DrawTicks(const TGraphAxis& axis, IGraphCanvas& canvas) {
  if (!axis.Ticks() || !axis.Visible()) return;
  canvas.SetPen(axis.AxisPen());
  const int at = axis.CrossingPosition();
  auto draw = [&](const std::vector<double>& values, int len) {
    std::vector<TPolyline> segments;
    for (double v : values) {
      int p = axis.ValueToPixel(v);
      if (axis.Horizontal())
        segments.push_back({{p, at}, {p, at - len}});
      else
        segments.push_back({{at, p}, {at + len, p}});
    }
    if (!segments.empty()) canvas.PolyPolyline(segments);
  };
  draw(axis.MajorTicks(), axis.TickLen());
  draw(axis.MinorTicks(), axis.SubTickLen());
}

void DrawLabels(const TGraphAxis& axis, IGraphCanvas& canvas) {
  if (!axis.Labels() || !axis.Visible()) return;
  TGraphFont font = axis.LabelFont();
  font.Escapement = 0;
  canvas.SetFont(font);
  canvas.SetBrush({clWhite, bsClear});
  // A fixed tick step can put more labels on an axis than its length holds (a year of 30-day
  // steps on a narrow chart): then only every second, third, ... label is drawn, the same for
  // all, so that none runs into the next.
  struct Placed {
    std::string text;
    int pixel;
    TGraphSize size;
  };
  std::vector<Placed> labels;
  for (double v : axis.LabelValues()) {
    // The label at the crossing of the other axis would sit on that axis.
    if (std::fabs(v - axis.Origin()) < 1e-10 && !axis.LabelsOnAxis()) continue;
    std::string text = axis.LabelText(v);
    TGraphSize size = canvas.TextSize(text);
    labels.push_back({std::move(text), axis.ValueToPixel(v), size});
  }
  constexpr int kGap = 4;
  auto fits = [&](size_t every) {
    for (size_t i = every; i < labels.size(); i += every) {
      const Placed& a = labels[i - every];
      const Placed& b = labels[i];
      const int room = std::abs(b.pixel - a.pixel);
      const int need = axis.Horizontal() ? (a.size.Width + b.size.Width) / 2 : (a.size.Height + b.size.Height) / 2;
      if (room < need + kGap) return false;
    }
    return true;
  };
  size_t every = 1;
  while (every < labels.size() && !fits(every)) ++every;
  // Counting from the far end keeps the label at the axis end (0 days, the newest record).
  const size_t first = labels.empty() ? 0 : (labels.size() - 1) % every;
  const int at = axis.CrossingPosition();
  for (size_t i = first; i < labels.size(); i += every) {
    const Placed& l = labels[i];
    if (axis.Horizontal())
      canvas.DrawString(l.pixel - l.size.Width / 2, at + axis.LabelSpace(), l.text);
    else
      canvas.DrawString(at - axis.LabelSpace() - l.size.Width, l.pixel + 1 - l.size.Height / 2, l.text);
  }
}

// The top-left corner of the title's (rotated) box.
TGraphPoint TitleBox(const TGraphAxis& axis, TGraphSize box, IGraphCanvas& canvas) {
  const bool horizontal = axis.Horizontal();
  const int start = axis.StartPixel(), end = axis.EndPixel(), at = axis.CrossingPosition();
  const int middle = (std::min(start, end) + std::max(start, end)) / 2;
  switch (axis.AxisTitleLoc()) {
    case tlHead:  // beyond the axis end
      return horizontal ? TGraphPoint{end + 5, at - box.Height / 2} : TGraphPoint{at - box.Width / 2, end - 5 - box.Height};
    case tlFoot:  // beyond the axis start
      return horizontal ? TGraphPoint{start - 5 - box.Width, at - box.Height / 2} : TGraphPoint{at - box.Width / 2, start + 5};
    case tlSide: {  // beside the labels, centred along the axis, outside the plot
      int labels = 0;
      if (axis.Labels()) {
        TGraphSize size = axis.LargestLabelSize(canvas);
        labels = axis.LabelSpace() + (horizontal ? size.Height : size.Width);
      }
      const int edge = axis.PlotEdge();
      if (horizontal) return {middle - box.Width / 2, (edge < 0 ? at : std::max(at, edge)) + labels + 2};
      return {(edge < 0 ? at : std::min(at, edge)) - labels - 4 - box.Width, middle - box.Height / 2};
    }
    case tlFixed:  // the X title in the bottom right corner, the Y title in the top left one
      if (horizontal) return {axis.LayoutRect().Right - box.Width, axis.ControlHeight() - box.Height - 2};
      return {2, axis.LayoutRect().Top};
  }
  return {};
}

void DrawTitle(const TGraphAxis& axis, IGraphCanvas& canvas) {
  if (!axis.Visible() || axis.Title().empty()) return;
  const TGraphSize box = axis.TitleExtent(axis.AxisTitleLoc(), canvas);  // the rotated extent
  const TGraphPoint corner = TitleBox(axis, box, canvas);
  // Where the unrotated text starts so that the rotated text fills the box.
  int x = corner.X, y = corner.Y;
  switch (axis.TitleAngle()) {
    case 90: y += box.Height; break;
    case 180: x += box.Width; y += box.Height; break;
    case 270: x += box.Width; break;
    default: break;
  }
  canvas.SetBrush({clWhite, bsClear});
  canvas.SetFont(axis.TitleFont());
  canvas.DrawString(x, y, axis.Title());
}

}  // namespace

void DrawAxis(const TGraphAxis& axis, IGraphCanvas& canvas) {
  DrawLine(axis, canvas);
  DrawTicks(axis, canvas);
  DrawLabels(axis, canvas);
  DrawTitle(axis, canvas);
}

}  // namespace orv::xy
