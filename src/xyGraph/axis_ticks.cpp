#include "xyGraph/axis_ticks.h"

#include <algorithm>
#include <cmath>

namespace orv::xy {

namespace {

// Values a rounding error beyond an end still count as that end.
bool WithinEnds(const AxisSettings& s, double value) {
  const double tolerance = 1e-9 * s.range;
  return !(value < s.min - tolerance || value > s.max + tolerance);
}

// Linear ticks come in ascending order, so only the last one can repeat a value: searching the
// whole list made a thousand steps of 19 sub-ticks cost a third of a second per paint.
void AddAscending(std::vector<double>& list, const AxisSettings& s, double value) {
  if (!WithinEnds(s, value)) return;
  if (!list.empty() && list.back() == value) return;
  list.push_back(value);
}

// The few logarithmic ticks come in any order.
void AddOnce(std::vector<double>& list, const AxisSettings& s, double value) {
  if (!WithinEnds(s, value)) return;
  if (std::find(list.begin(), list.end(), value) != list.end()) return;
  list.push_back(value);
}

}  // namespace

AxisTicks LinearTicks(const AxisSettings& s, TickBudget budget) {
  AxisTicks ticks;
  const double step = s.tickStep;
  // A step set for an earlier, much smaller range would mean millions of ticks (the tick step
  // setter allows at most 30 intervals); such an axis has no ticks until its step fits again.
  if (!(step > 0) || s.range / step > 1000) return ticks;
  // No more ticks than the laid-out axis has pixels to show them, so that a layout, which
  // scales the axis once per ticks count it tries, stays cheap: sub-ticks closer than a pixel
  // are left out, and steps closer than a pixel leave the axis without ticks.
  const double pixels = budget.pixels;
  if (budget.laidOut && s.range / step > pixels) return ticks;
  const int subTicks = budget.laidOut && s.range / step * s.subTicksCount > pixels ? 1 : s.subTicksCount;
  const double sub = step / s.subTicksCount;
  const double eps = 0.001 * step;
  double start = s.autoOrigin ? std::ceil(s.min / step - 0.05) * step : s.origin;
  // Back to the first tick at or below the minimum in one go: where the values are so large that
  // a step is below the resolution of a double, subtracting it one at a time changes nothing.
  if (s.min + eps < start) start -= std::ceil((start - s.min - eps) / step) * step;
  // One tick per step of the range and one at each end at most, for the same reason.
  const int lastTick = static_cast<int>(s.range / step) + 2;
  for (int k = 0; k <= lastTick; ++k) {
    const double t = start + k * step;  // multiplied, not summed, to keep rounding errors small
    if (t > s.max + eps) break;
    if (t > s.min - eps) AddAscending(ticks.major, s, t);
    for (int i = 1; i < subTicks; ++i) {
      const double minor = t + i * sub;
      if (s.min < minor && minor < s.max) AddAscending(ticks.minor, s, minor);
    }
  }
  return ticks;
}

AxisTicks LogTicks(const AxisSettings& s) {
  // The multipliers of a decade in the order they are given out: the first k of them are the
  // ticks of a decade that gets k ticks, the following ones its sub-ticks.
  static constexpr double kMultipliers[15] = {1, 5, 2, 3, 1.5, 7, 4, 6, 1.2, 8, 9, 1.3, 2.5, 1.1, 1.4};
  AxisTicks ticks;
  const int first = static_cast<int>(std::floor(std::log10(s.min)));
  int last = static_cast<int>(std::floor(std::log10(s.max)));
  if (last == first) ++last;
  const int decades = last - first;
  const int wanted = std::max(1, s.effectiveTicks);
  int perDecade = wanted / decades;
  if (perDecade < 1) {
    // More decades than ticks: a tick every n-th decade, the skipped decades as sub-ticks.
    const int every = (decades + wanted - 1) / wanted;
    const int subs = std::min(s.subTicksCount - 1, 14);
    for (int d = first; d <= last; d += every) {
      const double p = std::pow(10.0, d);
      AddOnce(ticks.major, s, p);
      double skipped = p;
      for (int i = 1; i < every; ++i) AddOnce(ticks.minor, s, skipped /= 10);
      for (int i = 1; i <= subs; ++i) AddOnce(ticks.minor, s, kMultipliers[i] * p / 10);
    }
  } else {
    perDecade = std::min(perDecade, 14);
    const int lastSub = std::min(perDecade + s.subTicksCount, 14);
    for (int d = first; d <= last; ++d) {
      const double p = std::pow(10.0, d);
      for (int i = 0; i < perDecade; ++i) AddOnce(ticks.major, s, kMultipliers[i] * p);
      for (int i = perDecade; i <= lastSub; ++i) AddOnce(ticks.minor, s, kMultipliers[i] * p / 10);
    }
  }
  std::sort(ticks.major.begin(), ticks.major.end());
  std::sort(ticks.minor.begin(), ticks.minor.end());
  return ticks;
}

}  // namespace orv::xy
