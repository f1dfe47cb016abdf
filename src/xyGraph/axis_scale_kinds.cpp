#include "xyGraph/axis_scale_kinds.h"

#include <cmath>

#include "xyGraph/axis_ticks.h"
#include "xyGraph/graph_errors.h"

namespace orv::xy {

namespace {

// ---- linear scales (plain, pi, per cent) ----------------------------------------------------

AxisEnds LinearEnds(const AxisSettings& s, double lo, double hi) {
  AxisEnds ends{s.max, s.min, s.origin};
  double step = s.autoStep ? NiceStep(s.axisScale, s.effectiveTicks, hi - lo) : s.tickStep;
  if (!(step > 0)) step = 1.0;
  if (s.autoOrigin) ends.origin = AutomaticOrigin(s, lo, hi, step);
  // An automatic end is the first tenth of a step from the origin that reaches the data. The
  // small allowance keeps a rounding error of the repeated additions from adding a tenth step
  // beyond a data end that the previous one reached.
  const double slack = step * 1e-9;
  if (s.autoMax) {
    double t = hi >= ends.origin ? ends.origin + std::floor((hi - ends.origin) / step) * step : ends.origin;
    for (int n = 0; t < hi - slack && n < 100000; ++n) t += step / 10;
    ends.max = t;
  }
  if (s.autoMin) {
    double t = ends.origin >= lo ? ends.origin - std::floor((ends.origin - lo) / step) * step : ends.origin;
    for (int n = 0; t > lo + slack && n < 100000; ++n) t -= step / 10;
    ends.min = t;
  }
  return ends;
}

void LinearStepAndTicks(AxisSettings& s, TickBudget budget, AxisTicks& ticks) {
  if (s.autoStep) s.tickStep = NiceStep(s.axisScale, s.effectiveTicks, s.max - s.min);
  ticks = LinearTicks(s, budget);
}

double LinearFraction(const AxisSettings& s, double value) {
  return s.inverted ? (s.max - value) / s.range : (value - s.min) / s.range;
}

// ---- the logarithmic scale ---------------------------------------------------------------

AxisEnds LogEnds(const AxisSettings& s, double lo, double hi) {
  AxisEnds ends{s.max, s.min, s.origin};
  // A non-positive end stays as it is, so that the range check refuses it.
  if (s.autoMax) ends.max = hi > 0 ? std::pow(10.0, std::ceil(std::log10(hi))) : hi;
  if (s.autoMin) ends.min = lo > 0 ? std::pow(10.0, std::floor(std::log10(lo))) : lo;
  if (s.autoOrigin) ends.origin = ends.min;
  return ends;
}

// The step plays no part in logarithmic ticks: it keeps its value for a later linear scale.
void LogStepAndTicks(AxisSettings& s, TickBudget, AxisTicks& ticks) { ticks = LogTicks(s); }

double LogFraction(const AxisSettings& s, double value) {
  if (value <= 0) throw EXYGraphAxisError(axis_messages::kLogValue);
  return s.inverted ? std::log10(s.max / value) / s.decades : std::log10(value / s.min) / s.decades;
}

// ---- labels -------------------------------------------------------------------------------

std::string Plain(std::string text, double, const std::string&) { return text; }

std::string PerCent(std::string text, double, const std::string&) { return text + "%"; }

// Multiples of pi read "2Pi", "-Pi", "0" (with the graph's symbol); without a symbol one pi
// reads "1".
std::string TimesPi(std::string text, double shown, const std::string& pi) {
  if (shown == 0) return "0";
  if (text == "1" && !pi.empty()) return pi;
  if (text == "-1") return "-" + pi;
  return text + pi;
}

// One row per TAxisScale, in the order of the enumeration.
constexpr ScaleKind kKinds[] = {
    /* asNormal  */ {false, 1.0, true, 1.0, LinearEnds, LinearStepAndTicks, LinearFraction, Plain},
    /* asPi      */ {false, kPi, false, kPi, LinearEnds, LinearStepAndTicks, LinearFraction, TimesPi},
    /* asPercent */ {false, 1.0, true, 100.0, LinearEnds, LinearStepAndTicks, LinearFraction, PerCent},
    /* asLog     */ {true, 1.0, true, 1.0, LogEnds, LogStepAndTicks, LogFraction, Plain},
};

}  // namespace

const ScaleKind& KindOf(TAxisScale scale) { return kKinds[static_cast<int>(scale)]; }

}  // namespace orv::xy
