#include "xyGraph/xyGraph.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "xyGraph/xySeries.h"

namespace orv::xy {

namespace msg = axis_messages;

// ============================================================================================
// Number texts
// ============================================================================================

namespace {

std::string WithoutNegativeZero(std::string text) {
  if (!text.empty() && text[0] == '-' && text.find_first_not_of("-0.") == std::string::npos) text.erase(0, 1);
  return text;
}

std::string StripFractionZeros(std::string text) {
  if (text.find('.') == std::string::npos) return text;
  while (!text.empty() && text.back() == '0') text.pop_back();
  if (!text.empty() && text.back() == '.') text.pop_back();
  return text;
}

// Largest pixel offset handed to a canvas: GDI coordinates are 27-bit.
constexpr double kMaxOffset = 134217727.0;

}  // namespace

std::string FormatGeneral(double value, int digits) {
  if (value == 0 || !std::isfinite(value)) return value == 0 ? "0" : std::to_string(value);
  digits = std::clamp(digits, 1, 18);
  char buf[64];
  std::snprintf(buf, sizeof buf, "%.*e", digits - 1, value);
  std::string s = buf;
  size_t e = s.find('e');
  int exponent = std::atoi(s.c_str() + e + 1);
  if (exponent >= digits || exponent < -5) {
    std::string mantissa = StripFractionZeros(s.substr(0, e));
    return mantissa + "E" + (exponent < 0 ? "-" : "") + std::to_string(std::abs(exponent));
  }
  std::snprintf(buf, sizeof buf, "%.*f", std::max(0, digits - 1 - exponent), value);
  return WithoutNegativeZero(StripFractionZeros(buf));
}

std::string FormatFixed(double value, int decimals) {
  char buf[400];
  std::snprintf(buf, sizeof buf, "%.*f", std::clamp(decimals, 0, 18), value);
  return WithoutNegativeZero(buf);
}

// ============================================================================================
// TGraphAxis
// ============================================================================================

TGraphAxis::TGraphAxis(TXYGraph* owner, bool horizontal) : owner_(owner), horizontal_(horizontal) {
  s_.titleFont = s_.labelFont;
  crossing_ = horizontal_ ? rect_.Bottom - 1 : rect_.Left;
  // The owner is still being built: recalculate without asking it to redraw.
  Recalculate();
}

bool TGraphAxis::Loading() const { return owner_ && owner_->Loading(); }

void TGraphAxis::Redraw() const {
  if (owner_) owner_->Repaint();
}

template <typename Store>
void TGraphAxis::Apply(Store&& store) {
  Settings saved = s_;
  store();
  if (Loading()) return;
  try {
    Recalculate();
  } catch (...) {
    s_ = saved;
    throw;
  }
  Redraw();
}

std::string TGraphAxis::PiSymbol() const { return owner_ ? owner_->PiSymbol() : std::string("Pi"); }
bool TGraphAxis::HasData() const { return owner_ && owner_->HasData(); }
double TGraphAxis::DataMax() const { return HasData() ? owner_->DataMax(horizontal_) : s_.max; }
double TGraphAxis::DataMin() const { return HasData() ? owner_->DataMin(horizontal_) : s_.min; }

// ---- setters --------------------------------------------------------------------------------

void TGraphAxis::SetAutoDecimal(bool value) {
  Apply([&] {
    s_.autoDecimal = value;
    if (value) s_.labelDecimal = 0;
  });
}

void TGraphAxis::SetAutoMax(bool value) {
  if (!value || Loading()) {
    s_.autoMax = value;
    return;
  }
  Apply([&] { s_.autoMax = true; });
}

void TGraphAxis::SetAutoMin(bool value) {
  if (!value || Loading()) {
    s_.autoMin = value;
    return;
  }
  Apply([&] { s_.autoMin = true; });
}

void TGraphAxis::SetAutoOrigin(bool value) {
  if (!value || Loading()) {
    s_.autoOrigin = value;
    return;
  }
  Apply([&] { s_.autoOrigin = true; });
}

void TGraphAxis::SetAutoStep(bool value) {
  if (!value || Loading()) {
    s_.autoStep = value;
    return;
  }
  Apply([&] { s_.autoStep = true; });
}

void TGraphAxis::SetAxisPen(const TGraphPen& pen) {
  Apply([&] { s_.axisPen = pen; });
}

void TGraphAxis::SetAxisScale(TAxisScale scale) {
  if (Loading()) {
    s_.axisScale = scale;
    return;
  }
  if (scale == s_.axisScale) return;
  if (scale == asLog && !(s_.min > 0 && DataMin() > 0)) throw EXYGraphAxisError(msg::kCannotLog);
  Apply([&] { s_.axisScale = scale; });
}

void TGraphAxis::SetAxisTitleLoc(TAxisTitleLoc loc) {
  Apply([&] { s_.axisTitleLoc = loc; });
}

void TGraphAxis::SetInverted(bool value) {
  Apply([&] { s_.inverted = value; });
}

void TGraphAxis::SetLabelDecimal(int value) {
  if (Loading()) {
    s_.labelDecimal = value;
    return;
  }
  if (value < 0) throw EXYGraphAxisError(msg::kNegative);
  if (value > 5) return;
  Apply([&] {
    s_.labelDecimal = value;
    s_.autoDecimal = false;
  });
}

void TGraphAxis::SetLabelFont(const TGraphFont& font) {
  Apply([&] { s_.labelFont = font; });
}

void TGraphAxis::SetLabels(bool value) {
  Apply([&] { s_.labels = value; });
}

void TGraphAxis::SetLabelsOnAxis(bool value) {
  Apply([&] { s_.labelsOnAxis = value; });
}

void TGraphAxis::SetLabelSpace(int value) {
  Apply([&] { s_.labelSpace = value; });
}

void TGraphAxis::SetMax(double value) {
  if (Loading()) {
    s_.max = value;
    return;
  }
  if (value == s_.max) {
    s_.autoMax = false;
    return;
  }
  CheckRange(value, s_.min);
  Apply([&] {
    s_.autoMax = false;
    SetRange(value, s_.min);
  });
}

void TGraphAxis::SetMin(double value) {
  if (Loading()) {
    s_.min = value;
    return;
  }
  if (value == s_.min) {
    s_.autoMin = false;
    return;
  }
  CheckRange(s_.max, value);
  Apply([&] {
    s_.autoMin = false;
    SetRange(s_.max, value);
  });
}

void TGraphAxis::SetOrigin(double value) {
  if (Loading()) {
    s_.origin = value;
    return;
  }
  if (value < s_.min) throw EXYGraphAxisError(msg::kOriginBelowMin);
  if (value > s_.max) throw EXYGraphAxisError(msg::kOriginAboveMax);
  Apply([&] {
    s_.origin = value;
    s_.autoOrigin = false;
  });
}

void TGraphAxis::SetSubTickLen(int value) {
  Apply([&] { s_.subTickLen = value; });
}

void TGraphAxis::SetSubTicksCount(int value) {
  if (Loading()) {
    s_.subTicksCount = value;
    return;
  }
  if (value < 1 || value > 19 || s_.axisScale == asLog) return;
  Apply([&] { s_.subTicksCount = value; });
}

void TGraphAxis::SetTitle(const std::string& title) {
  Apply([&] { s_.title = title; });
}

void TGraphAxis::SetTitleAngle(int degrees) {
  Apply([&] {
    s_.titleAngle = ((degrees % 360) + 360) % 360 / 90 * 90;
    s_.titleFont.Escapement = s_.titleAngle * 10;
  });
}

void TGraphAxis::SetTitleFont(const TGraphFont& font) {
  Apply([&] {
    s_.titleFont = font;
    s_.titleFont.Escapement = s_.titleAngle * 10;
  });
}

void TGraphAxis::SetTickLen(int value) {
  Apply([&] { s_.tickLen = value; });
}

void TGraphAxis::SetTicks(bool value) {
  Apply([&] { s_.ticks = value; });
}

void TGraphAxis::SetTicksCount(int value) {
  if (Loading()) {
    s_.ticksCount = s_.effectiveTicks = value;
    return;
  }
  if (value < 1 || value > 29) return;
  Apply([&] { s_.ticksCount = s_.effectiveTicks = value; });
}

void TGraphAxis::SetTickStep(double value) {
  if (Loading()) {
    s_.tickStep = value;
    return;
  }
  if (value == s_.tickStep) {
    s_.autoStep = false;
    return;
  }
  ValidateTickStep(value, s_.max - s_.min);
  Apply([&] {
    s_.autoStep = false;
    s_.tickStep = value;
  });
}

void TGraphAxis::SetVisible(bool value) {
  Apply([&] { s_.visible = value; });
}

void TGraphAxis::SetCrossingPosition(int pixel) {
  int lo = horizontal_ ? rect_.Top : rect_.Left;
  int hi = horizontal_ ? rect_.Bottom : rect_.Right;
  if (pixel >= lo && pixel <= hi) crossing_ = pixel;
}

// ---- scaling --------------------------------------------------------------------------------

void TGraphAxis::CheckRange(double max, double min) const {
  if (!(min < max)) throw EXYGraphAxisError(msg::kRange);
  // An infinite end, or ends so far apart that their distance overflows (-DBL_MAX to DBL_MAX),
  // leave no pixel scale: every value would map to 0 or NaN.
  if (!std::isfinite(max - min)) throw EXYGraphAxisError(msg::kRange);
  if (s_.axisScale == asLog && !(min > 0)) throw EXYGraphAxisError(msg::kLogRange);
}

void TGraphAxis::SetRange(double max, double min) {
  CheckRange(max, min);
  s_.max = max;
  s_.min = min;
  s_.range = max - min;
  if (s_.range < 1e-8) {
    s_.range = 1e-8;
    s_.max = s_.min + 1e-8;
  }
  s_.origin = std::clamp(s_.origin, s_.min, s_.max);
  if (s_.min > 0) s_.decades = std::log10(s_.max / s_.min);
}

void TGraphAxis::ValidateTickStep(double step, double range) const {
  if (step <= 0) throw EXYGraphAxisError(msg::kStepNotPositive);
  if (step > range) throw EXYGraphAxisError(msg::kStepBeyondRange);
  // The allowance keeps a step of exactly a thirtieth, which a binary fraction can only
  // approximate, from counting as a hair more than 30 steps.
  if (range / step > 30 * (1 + 1e-12)) throw EXYGraphAxisError(msg::kStepTooSmall);
}

double TGraphAxis::NiceStep(double span) const {
  bool pi = s_.axisScale == asPi;
  if (pi) span /= kPi;
  // A span that is not a positive number has no sensible step; one unit keeps the axis usable.
  if (!(span > 0) || !std::isfinite(span)) return pi ? kPi : 1.0;
  double raw = span / std::max(1, s_.effectiveTicks);
  double mag = std::pow(10.0, std::floor(std::log10(raw)));
  double m = raw / mag;
  if (m < 1) {
    m *= 10;
    mag /= 10;
  }
  if (m >= 10) {
    m /= 10;
    mag *= 10;
  }
  double nice = m <= 1 ? 1 : m <= 2 ? 2 : (m <= 2.5 && !pi) ? 2.5 : m <= 5 ? 5 : 10;
  double step = mag * nice;
  return pi ? step * kPi : step;
}

double TGraphAxis::AutomaticOrigin(double lo, double hi, double step) const {
  if (step > 0 && hi >= 0 && lo <= 0) return 0;
  if (lo > 0 && s_.autoMin) return std::floor(lo / step) * step;
  if (hi < 0 && s_.autoMax) return std::ceil(hi / step) * step;
  return lo;
}

TGraphAxis::Scaling TGraphAxis::Compute() const {
  double hi = s_.autoMax ? DataMax() : s_.max;
  double lo = s_.autoMin ? DataMin() : s_.min;
  if (hi - lo <= 1e-8) {
    lo -= 1;
    hi += 1;
  }
  Scaling r{s_.max, s_.min, s_.origin, s_.tickStep};
  if (s_.axisScale == asLog) {
    // A non-positive end stays as it is, so that the range check refuses it.
    if (s_.autoMax) r.max = hi > 0 ? std::pow(10.0, std::ceil(std::log10(hi))) : hi;
    if (s_.autoMin) r.min = lo > 0 ? std::pow(10.0, std::floor(std::log10(lo))) : lo;
    if (s_.autoOrigin) r.origin = r.min;
    return r;
  }
  double step = s_.autoStep ? NiceStep(hi - lo) : s_.tickStep;
  if (!(step > 0)) step = 1.0;
  if (s_.autoOrigin) r.origin = AutomaticOrigin(lo, hi, step);
  // The small allowance keeps a rounding error of the repeated additions from adding a tenth
  // step beyond a data end that the previous one reached.
  double slack = step * 1e-9;
  if (s_.autoMax) {
    double t = hi >= r.origin ? r.origin + std::floor((hi - r.origin) / step) * step : r.origin;
    for (int n = 0; t < hi - slack && n < 100000; ++n) t += step / 10;
    r.max = t;
  }
  if (s_.autoMin) {
    double t = r.origin >= lo ? r.origin - std::floor((r.origin - lo) / step) * step : r.origin;
    for (int n = 0; t > lo + slack && n < 100000; ++n) t -= step / 10;
    r.min = t;
  }
  return r;
}

void TGraphAxis::Recalculate() {
  Scaling r = Compute();
  CheckRange(r.max, r.min);  // refuses before anything is stored
  s_.origin = r.origin;
  SetRange(r.max, r.min);
  if (s_.axisScale == asLog) {
    LogTicks();
    return;
  }
  if (s_.autoStep) s_.tickStep = NiceStep(s_.max - s_.min);
  LinearTicks();
}

void TGraphAxis::AddTick(TGraphValueList& list, double value) const {
  // Values a rounding error beyond an end still count as that end.
  double tolerance = 1e-9 * s_.range;
  if (value < s_.min - tolerance || value > s_.max + tolerance) return;
  // Linear ticks come in ascending order, so only the last one can repeat a value: searching the
  // whole list made a thousand steps of 19 sub-ticks cost a third of a second per paint. The few
  // logarithmic ticks come in any order.
  if (list.Count() > 0 && list.Get(list.Count() - 1) == value) return;
  if (s_.axisScale == asLog && list.IndexOf(value) >= 0) return;
  list.Add(value);
}

void TGraphAxis::LinearTicks() {
  majorTicks_.Clear();
  minorTicks_.Clear();
  labelValues_.Clear();
  double step = s_.tickStep;
  // A step set for an earlier, much smaller range would mean millions of ticks (the tick step
  // setter allows at most 30 intervals); such an axis has no ticks until its step fits again.
  if (!(step > 0) || s_.range / step > 1000) return;
  // No more ticks than the laid-out axis has pixels to show them, so that a layout, which
  // recalculates the axis once per ticks count it tries, stays cheap: sub-ticks closer than a
  // pixel are left out, and steps closer than a pixel leave the axis without ticks.
  const double pixels = length_;
  if (laidOut_ && s_.range / step > pixels) return;
  const int subTicks = laidOut_ && s_.range / step * s_.subTicksCount > pixels ? 1 : s_.subTicksCount;
  double sub = step / s_.subTicksCount;
  double eps = 0.001 * step;
  double start = s_.autoOrigin ? std::ceil(s_.min / step - 0.05) * step : s_.origin;
  // Back to the first tick at or below the minimum in one go: where the values are so large that
  // a step is below the resolution of a double, subtracting it one at a time changes nothing.
  if (s_.min + eps < start) start -= std::ceil((start - s_.min - eps) / step) * step;
  // One tick per step of the range and one at each end at most, for the same reason.
  const int lastTick = static_cast<int>(s_.range / step) + 2;
  for (int k = 0; k <= lastTick; ++k) {
    double t = start + k * step;  // multiplied, not summed, to keep rounding errors small
    if (t > s_.max + eps) break;
    if (t > s_.min - eps) AddTick(majorTicks_, t);
    for (int i = 1; i < subTicks; ++i) {
      double s = t + i * sub;
      if (s_.min < s && s < s_.max) AddTick(minorTicks_, s);
    }
  }
  labelValues_.Assign(majorTicks_);
}

void TGraphAxis::LogTicks() {
  static constexpr double kMultipliers[15] = {1, 5, 2, 3, 1.5, 7, 4, 6, 1.2, 8, 9, 1.3, 2.5, 1.1, 1.4};
  majorTicks_.Clear();
  minorTicks_.Clear();
  labelValues_.Clear();
  int a = static_cast<int>(std::floor(std::log10(s_.min)));
  int b = static_cast<int>(std::floor(std::log10(s_.max)));
  if (b == a) ++b;
  int decades = b - a;
  int ticks = std::max(1, s_.effectiveTicks);
  int k = ticks / decades;
  if (k < 1) {
    int every = (decades + ticks - 1) / ticks;
    int subs = std::min(s_.subTicksCount - 1, 14);
    for (int d = a; d <= b; d += every) {
      double p = std::pow(10.0, d);
      AddTick(majorTicks_, p);
      double q = p;
      for (int i = 1; i < every; ++i) AddTick(minorTicks_, q /= 10);
      for (int i = 1; i <= subs; ++i) AddTick(minorTicks_, kMultipliers[i] * p / 10);
    }
  } else {
    k = std::min(k, 14);
    int last = std::min(k + s_.subTicksCount, 14);
    for (int d = a; d <= b; ++d) {
      double p = std::pow(10.0, d);
      for (int i = 0; i < k; ++i) AddTick(majorTicks_, kMultipliers[i] * p);
      for (int i = k; i <= last; ++i) AddTick(minorTicks_, kMultipliers[i] * p / 10);
    }
  }
  majorTicks_.Sort();
  minorTicks_.Sort();
  labelValues_.Assign(majorTicks_);
}

// ---- pixels and texts -----------------------------------------------------------------------

int TGraphAxis::ValueToPixel(double value) const {
  double f;
  if (s_.axisScale == asLog) {
    if (value <= 0) throw EXYGraphAxisError(msg::kLogValue);
    f = s_.inverted ? std::log10(s_.max / value) / s_.decades : std::log10(value / s_.min) / s_.decades;
  } else {
    f = s_.inverted ? (s_.max - value) / s_.range : (value - s_.min) / s_.range;
  }
  // A value that is not a number has no place on the axis; it gets the start pixel rather than
  // an undefined conversion (the series skip such points before they get here).
  if (std::isnan(f)) f = 0;
  if (f > 2147483647.0) f = 2;
  if (f < -2147483647.0) f = -2;
  double offset = std::clamp(std::nearbyint(length_ * f), -kMaxOffset, kMaxOffset);
  int o = static_cast<int>(offset);
  return horizontal_ ? startPixel_ + o : startPixel_ - o;
}

std::string TGraphAxis::LabelText(double value) const {
  double v = value;
  if (s_.axisScale == asPi) v /= kPi;
  if (s_.axisScale == asPercent) v /= 100;
  if (std::fabs(v) < 1e-10) v = 0;
  std::string text = s_.autoDecimal ? FormatGeneral(v, s_.labelDecimal + 6) : FormatFixed(v, s_.labelDecimal);
  if (s_.axisScale == asPi) {
    std::string pi = PiSymbol();
    if (v == 0) return "0";
    if (text == "1" && !pi.empty()) return pi;
    if (text == "-1") return "-" + pi;
    return text + pi;
  }
  if (s_.axisScale == asPercent) text += "%";
  return text;
}

// ---- layout ---------------------------------------------------------------------------------

TGraphSize TGraphAxis::TitleExtent(TAxisTitleLoc loc, IGraphCanvas& canvas) const {
  if (!s_.visible || loc != s_.axisTitleLoc || s_.title.empty()) return {};
  TGraphFont font = s_.titleFont;
  font.Escapement = 0;
  canvas.SetFont(font);
  TGraphSize size = canvas.TextSize(s_.title);
  if (s_.titleAngle == 90 || s_.titleAngle == 270) std::swap(size.Width, size.Height);
  return size;
}

TGraphSize TGraphAxis::LargestLabelSize(IGraphCanvas& canvas) const {
  TGraphSize largest;
  TGraphFont font = s_.labelFont;
  font.Escapement = 0;
  canvas.SetFont(font);
  for (double v : labelValues_.Values()) {
    TGraphSize size = canvas.TextSize(LabelText(v));
    largest.Width = std::max(largest.Width, size.Width);
    largest.Height = std::max(largest.Height, size.Height);
  }
  if (largest.Height == 0) largest.Height = canvas.TextSize("0").Height;
  return largest;
}

double TGraphAxis::LargestLabelExtent(IGraphCanvas& canvas) const {
  if (!s_.labels || !s_.visible) return 0;
  TGraphSize size = LargestLabelSize(canvas);
  return horizontal_ ? size.Width : size.Height;
}

void TGraphAxis::Layout(const TGraphRect& rect, IGraphCanvas& canvas) {
  rect_ = rect;
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
  // one count after the other, starts from at most 29 all the same.
  s_.effectiveTicks = std::clamp(s_.ticksCount, 1, 29);
  Recalculate();
  // Fewer intervals until the labels fit; two intervals stay at least.
  if (s_.autoStep) {
    while (s_.effectiveTicks > 2 && 1.5 * LargestLabelExtent(canvas) * s_.effectiveTicks > length_) {
      --s_.effectiveTicks;
      Recalculate();
    }
  }
  FitEnds(canvas);
}

void TGraphAxis::FitEnds(IGraphCanvas& canvas) {
  if (!s_.labels || !s_.visible || labelValues_.Count() == 0) return;
  TGraphFont font = s_.labelFont;
  font.Escapement = 0;
  canvas.SetFont(font);
  int maxMove = length_ / 3;
  double ends[2] = {labelValues_.Get(0), labelValues_.Get(labelValues_.Count() - 1)};
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

// ---- drawing --------------------------------------------------------------------------------

void TGraphAxis::DrawAxisLine(IGraphCanvas& canvas) const {
  if (!s_.visible) return;
  canvas.SetPen(s_.axisPen);
  if (horizontal_)
    canvas.Line(startPixel_, crossing_, endPixel_, crossing_);
  else
    canvas.Line(crossing_, startPixel_, crossing_, endPixel_);
}

void TGraphAxis::DrawTicks(IGraphCanvas& canvas) const {
  if (!s_.ticks || !s_.visible) return;
  canvas.SetPen(s_.axisPen);
  auto draw = [&](const TGraphValueList& list, int len) {
    std::vector<TPolyline> segments;
    for (double v : list.Values()) {
      int p = ValueToPixel(v);
      if (horizontal_)
        segments.push_back({{p, crossing_}, {p, crossing_ - len}});
      else
        segments.push_back({{crossing_, p}, {crossing_ + len, p}});
    }
    if (!segments.empty()) canvas.PolyPolyline(segments);
  };
  draw(majorTicks_, s_.tickLen);
  draw(minorTicks_, s_.subTickLen);
}

void TGraphAxis::DrawLabels(IGraphCanvas& canvas) const {
  if (!s_.labels || !s_.visible) return;
  TGraphFont font = s_.labelFont;
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
  for (double v : labelValues_.Values()) {
    if (std::fabs(v - s_.origin) < 1e-10 && !s_.labelsOnAxis) continue;
    std::string text = LabelText(v);
    TGraphSize size = canvas.TextSize(text);
    labels.push_back({std::move(text), ValueToPixel(v), size});
  }
  constexpr int kGap = 4;
  auto fits = [&](size_t every) {
    for (size_t i = every; i < labels.size(); i += every) {
      const Placed& a = labels[i - every];
      const Placed& b = labels[i];
      const int room = std::abs(b.pixel - a.pixel);
      const int need = horizontal_ ? (a.size.Width + b.size.Width) / 2 : (a.size.Height + b.size.Height) / 2;
      if (room < need + kGap) return false;
    }
    return true;
  };
  size_t every = 1;
  while (every < labels.size() && !fits(every)) ++every;
  // Counting from the far end keeps the label at the axis end (0 days, the newest record).
  const size_t first = labels.empty() ? 0 : (labels.size() - 1) % every;
  for (size_t i = first; i < labels.size(); i += every) {
    const Placed& l = labels[i];
    if (horizontal_)
      canvas.DrawString(l.pixel - l.size.Width / 2, crossing_ + s_.labelSpace, l.text);
    else
      canvas.DrawString(crossing_ - s_.labelSpace - l.size.Width, l.pixel + 1 - l.size.Height / 2, l.text);
  }
}

void TGraphAxis::DrawTitle(IGraphCanvas& canvas) const {
  if (!s_.visible || s_.title.empty()) return;
  TGraphSize box = TitleExtent(s_.axisTitleLoc, canvas);  // the rotated extent
  int left = 0, top = 0;
  int lo = std::min(startPixel_, endPixel_), hi = std::max(startPixel_, endPixel_);
  switch (s_.axisTitleLoc) {
    case tlHead:  // beyond the axis end
      if (horizontal_) {
        left = endPixel_ + 5;
        top = crossing_ - box.Height / 2;
      } else {
        left = crossing_ - box.Width / 2;
        top = endPixel_ - 5 - box.Height;
      }
      break;
    case tlFoot:  // beyond the axis start
      if (horizontal_) {
        left = startPixel_ - 5 - box.Width;
        top = crossing_ - box.Height / 2;
      } else {
        left = crossing_ - box.Width / 2;
        top = startPixel_ + 5;
      }
      break;
    case tlSide: {  // beside the labels, centred along the axis
      int labels = 0;
      if (s_.labels) {
        TGraphSize size = LargestLabelSize(canvas);
        labels = s_.labelSpace + (horizontal_ ? size.Height : size.Width);
      }
      if (horizontal_) {
        left = (lo + hi) / 2 - box.Width / 2;
        top = (plotEdge_ < 0 ? crossing_ : std::max(crossing_, plotEdge_)) + labels + 2;
      } else {
        left = (plotEdge_ < 0 ? crossing_ : std::min(crossing_, plotEdge_)) - labels - 4 - box.Width;
        top = (lo + hi) / 2 - box.Height / 2;
      }
      break;
    }
    case tlFixed:  // the X title in the bottom right corner, the Y title in the top left one
      if (horizontal_) {
        left = rect_.Right - box.Width;
        top = (owner_ ? owner_->Height() : rect_.Bottom) - box.Height - 2;
      } else {
        left = 2;
        top = rect_.Top;
      }
      break;
  }
  // Where the unrotated text starts so that the rotated text fills the box.
  int x = left, y = top;
  switch (s_.titleAngle) {
    case 90: y = top + box.Height; break;
    case 180: x = left + box.Width; y = top + box.Height; break;
    case 270: x = left + box.Width; break;
    default: break;
  }
  canvas.SetBrush({clWhite, bsClear});
  canvas.SetFont(s_.titleFont);
  canvas.DrawString(x, y, s_.title);
}

// ============================================================================================
// TXYGraph
// ============================================================================================

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
  for (TGraphAxis* axis : {&xAxis_, &yAxis_}) {
    axis->DrawAxisLine(canvas);
    axis->DrawTicks(canvas);
    axis->DrawLabels(canvas);
    axis->DrawTitle(canvas);
  }
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
