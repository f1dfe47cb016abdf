#include "xyGraph/axis_scaling.h"

#include <algorithm>
#include <cmath>

#include "xyGraph/axis_scale_kinds.h"
#include "xyGraph/graph_errors.h"

namespace orv::xy {

namespace msg = axis_messages;

void CheckRange(TAxisScale scale, double max, double min) {
  if (!(min < max)) throw EXYGraphAxisError(msg::kRange);
  // An infinite end, or ends so far apart that their distance overflows (-DBL_MAX to DBL_MAX),
  // leave no pixel scale: every value would map to 0 or NaN.
  if (!std::isfinite(max - min)) throw EXYGraphAxisError(msg::kRange);
  if (KindOf(scale).logarithmic && !(min > 0)) throw EXYGraphAxisError(msg::kLogRange);
}

void ApplyRange(AxisSettings& s, double max, double min) {
  CheckRange(s.axisScale, max, min);
  s.max = max;
  s.min = min;
  s.range = max - min;
  if (s.range < 1e-8) {
    s.range = 1e-8;
    s.max = s.min + 1e-8;
  }
  s.origin = std::clamp(s.origin, s.min, s.max);
  if (s.min > 0) s.decades = std::log10(s.max / s.min);
}

void CheckTickStep(double step, double range) {
  if (step <= 0) throw EXYGraphAxisError(msg::kStepNotPositive);
  if (step > range) throw EXYGraphAxisError(msg::kStepBeyondRange);
  // The allowance keeps a step of exactly a thirtieth, which a binary fraction can only
  // approximate, from counting as a hair more than 30 steps.
  if (range / step > 30 * (1 + 1e-12)) throw EXYGraphAxisError(msg::kStepTooSmall);
}

double NiceStep(TAxisScale scale, int ticks, double span) {
  const ScaleKind& kind = KindOf(scale);
  span /= kind.stepUnit;
  // A span that is not a positive number has no sensible step; one unit keeps the axis usable.
  if (!(span > 0) || !std::isfinite(span)) return kind.stepUnit;
  double raw = span / std::max(1, ticks);
  double mag = std::pow(10.0, std::floor(std::log10(raw)));
  double m = raw / mag;
  // log10 of a value just below a power of ten may round up to it, and the other way round.
  if (m < 1) {
    m *= 10;
    mag /= 10;
  }
  if (m >= 10) {
    m /= 10;
    mag *= 10;
  }
  double nice = m <= 1 ? 1 : m <= 2 ? 2 : (m <= 2.5 && kind.quarterSteps) ? 2.5 : m <= 5 ? 5 : 10;
  return mag * nice * kind.stepUnit;
}

double AutomaticOrigin(const AxisSettings& s, double lo, double hi, double step) {
  if (step > 0 && hi >= 0 && lo <= 0) return 0;
  if (lo > 0 && s.autoMin) return std::floor(lo / step) * step;
  if (hi < 0 && s.autoMax) return std::ceil(hi / step) * step;
  return lo;
}

ScaledAxis ScaleAxis(const AxisSettings& s, const std::optional<DataExtent>& data, TickBudget budget) {
  const ScaleKind& kind = KindOf(s.axisScale);
  double hi = s.autoMax ? (data ? data->max : s.max) : s.max;
  double lo = s.autoMin ? (data ? data->min : s.min) : s.min;
  // Equal ends (one point, a flat line) get a range of two around them.
  if (hi - lo <= 1e-8) {
    lo -= 1;
    hi += 1;
  }
  const AxisEnds ends = kind.automaticEnds(s, lo, hi);
  ScaledAxis result{s, {}};
  result.settings.origin = ends.origin;
  ApplyRange(result.settings, ends.max, ends.min);
  kind.stepAndTicks(result.settings, budget, result.ticks);
  return result;
}

}  // namespace orv::xy
