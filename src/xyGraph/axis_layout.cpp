// The pixel side of an axis: where it runs inside the plot rectangle, how many ticks its labels
// leave room for, and where a value lies along it.

#include <algorithm>
#include <cmath>

#include "xyGraph/axis_scale_kinds.h"
#include "xyGraph/graph_axis.h"

namespace orv::xy {

namespace {

// Largest pixel offset handed to a canvas: GDI coordinates are 27-bit.
constexpr double kMaxOffset = 134217727.0;

// Labels are drawn upright whatever the font's escapement.
void SetUprightFont(IGraphCanvas& canvas, TGraphFont font) {
  font.Escapement = 0;
  canvas.SetFont(font);
}

}  // namespace

void TGraphAxis::SetCrossingPosition(int pixel) {
  int lo = horizontal_ ? rect_.Top : rect_.Left;
  int hi = horizontal_ ? rect_.Bottom : rect_.Right;
  if (pixel >= lo && pixel <= hi) crossing_ = pixel;
}

int TGraphAxis::ValueToPixel(double value) const {
  double f = KindOf(s().axisScale).fraction(s(), value);
  // A value that is not a number has no place on the axis; it gets the start pixel rather than
  // an undefined conversion (the series skip such points before they get here).
  if (std::isnan(f)) f = 0;
  if (f > 2147483647.0) f = 2;
  if (f < -2147483647.0) f = -2;
  double offset = std::clamp(std::nearbyint(length_ * f), -kMaxOffset, kMaxOffset);
  int o = static_cast<int>(offset);
  return horizontal_ ? startPixel_ + o : startPixel_ - o;
}

TGraphSize TGraphAxis::TitleExtent(TAxisTitleLoc loc, IGraphCanvas& canvas) const {
  if (!s().visible || loc != s().axisTitleLoc || s().title.empty()) return {};
  SetUprightFont(canvas, s().titleFont);
  TGraphSize size = canvas.TextSize(s().title);
  if (s().titleAngle == 90 || s().titleAngle == 270) std::swap(size.Width, size.Height);
  return size;
}

TGraphSize TGraphAxis::LargestLabelSize(IGraphCanvas& canvas) const {
  TGraphSize largest;
  SetUprightFont(canvas, s().labelFont);
  for (double v : scaled_.ticks.major) {
    TGraphSize size = canvas.TextSize(LabelText(v));
    largest.Width = std::max(largest.Width, size.Width);
    largest.Height = std::max(largest.Height, size.Height);
  }
  if (largest.Height == 0) largest.Height = canvas.TextSize("0").Height;
  return largest;
}

// The extent of the largest label along the axis; nothing when no labels are drawn.
double TGraphAxis::LargestLabelExtent(IGraphCanvas& canvas) const {
  if (!s().labels || !s().visible) return 0;
  TGraphSize size = LargestLabelSize(canvas);
  return horizontal_ ? size.Width : size.Height;
}

void TGraphAxis::Layout(const TGraphRect& rect, IGraphCanvas& canvas) {
  rect_ = rect;
  // A head or foot title takes its room from the axis ends, a third of the length at most.
  if (horizontal_) {
    int w = rect.Right - rect.Left;
    int right = std::min(TitleExtent(tlHead, canvas).Width + 5, w / 3);
    int left = std::min(TitleExtent(tlFoot, canvas).Width + 5, w / 3);
    endPixel_ = rect.Right - right;
    startPixel_ = rect.Left + left;
  } else {
    int h = rect.Bottom - rect.Top;
    int bottom = std::min(TitleExtent(tlFoot, canvas).Height + 5, h / 3);
    int top = std::min(TitleExtent(tlHead, canvas).Height + 5, h / 3);
    startPixel_ = rect.Bottom - bottom;
    endPixel_ = rect.Top + top;
  }
  length_ = std::abs(endPixel_ - startPixel_);
  laidOut_ = true;
  crossing_ = horizontal_ ? rect.Bottom - 1 : rect.Left;

  // A stored form may hold a ticks count the setter refuses (beyond 29): the layout, which tries
  // one count after the other, starts from at most 29 all the same. The count is the layout's
  // own state: it stays even when the scaling with it is refused.
  stored().effectiveTicks = std::clamp(s().ticksCount, 1, 29);
  Recalculate();
  // Fewer intervals until the labels fit; two intervals stay at least.
  if (s().autoStep) {
    while (s().effectiveTicks > 2 && 1.5 * LargestLabelExtent(canvas) * s().effectiveTicks > length_) {
      --stored().effectiveTicks;
      Recalculate();
    }
  }
  FitEnds(canvas);
}

// Moves the ends inwards (by a third of the length at most) so that the end labels, centred on
// their ticks, stay inside the rectangle.
void TGraphAxis::FitEnds(IGraphCanvas& canvas) {
  const std::vector<double>& labels = scaled_.ticks.major;
  if (!s().labels || !s().visible || labels.empty()) return;
  SetUprightFont(canvas, s().labelFont);
  int maxMove = length_ / 3;
  double ends[2] = {labels.front(), labels.back()};
  if (horizontal_) {
    int lowest = rect_.Left, highest = rect_.Right;
    for (double v : ends) {
      int w = canvas.TextSize(LabelText(v)).Width;
      int left = ValueToPixel(v) - w / 2;
      lowest = std::min(lowest, left);
      highest = std::max(highest, left + w);
    }
    startPixel_ += std::min(rect_.Left - lowest, maxMove);
    endPixel_ -= std::min(highest - rect_.Right, maxMove);
  } else {
    int lowest = rect_.Top, highest = rect_.Bottom;
    for (double v : ends) {
      int h = canvas.TextSize(LabelText(v)).Height;
      int top = ValueToPixel(v) + 1 - h / 2;
      lowest = std::min(lowest, top);
      highest = std::max(highest, top + h);
    }
    startPixel_ -= std::min(highest - rect_.Bottom, maxMove);
    endPixel_ += std::min(rect_.Top - lowest, maxMove);
  }
  length_ = std::abs(endPixel_ - startPixel_);
}

}  // namespace orv::xy
