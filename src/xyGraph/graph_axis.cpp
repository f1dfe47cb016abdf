#include "xyGraph/graph_axis.h"

#include <cmath>

#include "xyGraph/axis_scale_kinds.h"
#include "xyGraph/number_format.h"
#include "xyGraph/xyGraph.h"

namespace orv::xy {

namespace msg = axis_messages;

TGraphAxis::TGraphAxis(TXYGraph* owner, bool horizontal) : owner_(owner), horizontal_(horizontal) {
  stored().titleFont = s().labelFont;
  crossing_ = horizontal_ ? rect_.Bottom - 1 : rect_.Left;
  // The owner is still being built: scale without asking it to redraw.
  Recalculate();
}

bool TGraphAxis::Loading() const { return owner_ && owner_->Loading(); }

void TGraphAxis::Redraw() const {
  if (owner_) owner_->Repaint();
}

int TGraphAxis::ControlHeight() const { return owner_ ? owner_->Height() : rect_.Bottom; }

std::optional<DataExtent> TGraphAxis::Data() const {
  if (!owner_ || !owner_->HasData()) return std::nullopt;
  return DataExtent{owner_->DataMax(horizontal_), owner_->DataMin(horizontal_)};
}

double TGraphAxis::DataMin() const {
  const std::optional<DataExtent> data = Data();
  return data ? data->min : s().min;
}

void TGraphAxis::Rescale(const AxisSettings& next) { scaled_ = ScaleAxis(next, Data(), {laidOut_, length_}); }

void TGraphAxis::Recalculate() { Rescale(s()); }

template <typename Change>
void TGraphAxis::Commit(Change&& change) {
  AxisSettings next = s();
  change(next);
  if (Loading()) {
    stored() = next;
    return;
  }
  Rescale(next);
  Redraw();
}

// ---- setters --------------------------------------------------------------------------------
// A setter that turns an automatic setting off changes nothing else: the current values become
// the fixed ones. Loading stores the values unchecked; EndLoading scales them.

void TGraphAxis::SetAutoDecimal(bool value) {
  Commit([&](AxisSettings& n) {
    n.autoDecimal = value;
    if (value) n.labelDecimal = 0;
  });
}

void TGraphAxis::SetAutoMax(bool value) {
  if (!value || Loading()) {
    stored().autoMax = value;
    return;
  }
  Commit([](AxisSettings& n) { n.autoMax = true; });
}

void TGraphAxis::SetAutoMin(bool value) {
  if (!value || Loading()) {
    stored().autoMin = value;
    return;
  }
  Commit([](AxisSettings& n) { n.autoMin = true; });
}

void TGraphAxis::SetAutoOrigin(bool value) {
  if (!value || Loading()) {
    stored().autoOrigin = value;
    return;
  }
  Commit([](AxisSettings& n) { n.autoOrigin = true; });
}

void TGraphAxis::SetAutoStep(bool value) {
  if (!value || Loading()) {
    stored().autoStep = value;
    return;
  }
  Commit([](AxisSettings& n) { n.autoStep = true; });
}

void TGraphAxis::SetAxisPen(const TGraphPen& pen) {
  Commit([&](AxisSettings& n) { n.axisPen = pen; });
}

void TGraphAxis::SetAxisScale(TAxisScale scale) {
  if (Loading()) {
    stored().axisScale = scale;
    return;
  }
  if (scale == s().axisScale) return;
  if (KindOf(scale).logarithmic && !(s().min > 0 && DataMin() > 0)) throw EXYGraphAxisError(msg::kCannotLog);
  Commit([&](AxisSettings& n) { n.axisScale = scale; });
}

void TGraphAxis::SetAxisTitleLoc(TAxisTitleLoc loc) {
  Commit([&](AxisSettings& n) { n.axisTitleLoc = loc; });
}

void TGraphAxis::SetInverted(bool value) {
  Commit([&](AxisSettings& n) { n.inverted = value; });
}

void TGraphAxis::SetLabelDecimal(int value) {
  if (Loading()) {
    stored().labelDecimal = value;
    return;
  }
  if (value < 0) throw EXYGraphAxisError(msg::kNegative);
  if (value > 5) return;  // ignored, as the property editor does
  Commit([&](AxisSettings& n) {
    n.labelDecimal = value;
    n.autoDecimal = false;
  });
}

void TGraphAxis::SetLabelFont(const TGraphFont& font) {
  Commit([&](AxisSettings& n) { n.labelFont = font; });
}

void TGraphAxis::SetLabels(bool value) {
  Commit([&](AxisSettings& n) { n.labels = value; });
}

void TGraphAxis::SetLabelsOnAxis(bool value) {
  Commit([&](AxisSettings& n) { n.labelsOnAxis = value; });
}

void TGraphAxis::SetLabelSpace(int value) {
  Commit([&](AxisSettings& n) { n.labelSpace = value; });
}

void TGraphAxis::SetMax(double value) {
  if (Loading()) {
    stored().max = value;
    return;
  }
  // Setting the current end fixes it without scaling anew.
  if (value == s().max) {
    stored().autoMax = false;
    return;
  }
  Commit([&](AxisSettings& n) {
    n.autoMax = false;
    ApplyRange(n, value, n.min);
  });
}

void TGraphAxis::SetMin(double value) {
  if (Loading()) {
    stored().min = value;
    return;
  }
  if (value == s().min) {
    stored().autoMin = false;
    return;
  }
  Commit([&](AxisSettings& n) {
    n.autoMin = false;
    ApplyRange(n, n.max, value);
  });
}

void TGraphAxis::SetOrigin(double value) {
  if (Loading()) {
    stored().origin = value;
    return;
  }
  if (value < s().min) throw EXYGraphAxisError(msg::kOriginBelowMin);
  if (value > s().max) throw EXYGraphAxisError(msg::kOriginAboveMax);
  Commit([&](AxisSettings& n) {
    n.origin = value;
    n.autoOrigin = false;
  });
}

void TGraphAxis::SetSubTickLen(int value) {
  Commit([&](AxisSettings& n) { n.subTickLen = value; });
}

void TGraphAxis::SetSubTicksCount(int value) {
  if (Loading()) {
    stored().subTicksCount = value;
    return;
  }
  if (value < 1 || value > 19 || KindOf(s().axisScale).logarithmic) return;
  Commit([&](AxisSettings& n) { n.subTicksCount = value; });
}

void TGraphAxis::SetTitle(const std::string& title) {
  Commit([&](AxisSettings& n) { n.title = title; });
}

// The angle is a multiple of 90 degrees in [0, 360); the title font turns with it.
void TGraphAxis::SetTitleAngle(int degrees) {
  Commit([&](AxisSettings& n) {
    n.titleAngle = ((degrees % 360) + 360) % 360 / 90 * 90;
    n.titleFont.Escapement = n.titleAngle * 10;
  });
}

void TGraphAxis::SetTitleFont(const TGraphFont& font) {
  Commit([&](AxisSettings& n) {
    n.titleFont = font;
    n.titleFont.Escapement = n.titleAngle * 10;
  });
}

void TGraphAxis::SetTickLen(int value) {
  Commit([&](AxisSettings& n) { n.tickLen = value; });
}

void TGraphAxis::SetTicks(bool value) {
  Commit([&](AxisSettings& n) { n.ticks = value; });
}

void TGraphAxis::SetTicksCount(int value) {
  if (Loading()) {
    stored().ticksCount = stored().effectiveTicks = value;
    return;
  }
  if (value < 1 || value > 29) return;
  Commit([&](AxisSettings& n) { n.ticksCount = n.effectiveTicks = value; });
}

void TGraphAxis::SetTickStep(double value) {
  if (Loading()) {
    stored().tickStep = value;
    return;
  }
  if (value == s().tickStep) {
    stored().autoStep = false;
    return;
  }
  CheckTickStep(value, s().max - s().min);
  Commit([&](AxisSettings& n) {
    n.autoStep = false;
    n.tickStep = value;
  });
}

void TGraphAxis::SetVisible(bool value) {
  Commit([&](AxisSettings& n) { n.visible = value; });
}

// ---- steps and labels ---------------------------------------------------------------------

double TGraphAxis::NiceStep(double span) const { return orv::xy::NiceStep(s().axisScale, s().effectiveTicks, span); }

double TGraphAxis::AutomaticOrigin(double lo, double hi, double step) const {
  return orv::xy::AutomaticOrigin(s(), lo, hi, step);
}

std::string TGraphAxis::LabelText(double value) const {
  const ScaleKind& kind = KindOf(s().axisScale);
  double shown = value / kind.labelUnit;
  if (std::fabs(shown) < 1e-10) shown = 0;  // a rounding error of the ticks, not a value
  std::string text = s().autoDecimal ? FormatGeneral(shown, s().labelDecimal + 6) : FormatFixed(shown, s().labelDecimal);
  return kind.decorate(std::move(text), shown, owner_ ? owner_->PiSymbol() : std::string("Pi"));
}

}  // namespace orv::xy
