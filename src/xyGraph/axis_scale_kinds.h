#pragma once
// The scale kinds of an axis, one row of behaviours each: how the automatic ends follow the
// data, how step and ticks are chosen, where a value lies along the axis and how a label reads.

#include <string>

#include "xyGraph/axis_scaling.h"
#include "xyGraph/axis_settings.h"

namespace orv::xy {

struct AxisEnds {
  double max;
  double min;
  double origin;
};

struct ScaleKind {
  // Ends at decades, ticks from a table of multipliers per decade: the ends (and every value
  // shown) must be above zero, and the sub-ticks count is the table's.
  bool logarithmic;
  // Nice steps are counted in this unit (pi on the pi scale, so that labels read 2Pi, not 6.28).
  double stepUnit;
  // Whether 2.5 units are a nice step (not in pi: "2.5Pi" reads badly).
  bool quarterSteps;
  // A label shows the value in this unit (per cent: 50 reads "0.5%").
  double labelUnit;
  // The automatic ends and origin (as far as the settings make them automatic) around the data
  // [lo, hi], before the range check.
  AxisEnds (*automaticEnds)(const AxisSettings& s, double lo, double hi);
  // The step (when automatic) and the ticks of an axis whose ends are final.
  void (*stepAndTicks)(AxisSettings& scaled, TickBudget budget, AxisTicks& ticks);
  // The share of the axis from its start to a value; raises for a value the scale cannot show.
  double (*fraction)(const AxisSettings& s, double value);
  // The label text from the formatted number `shown` (the value in label units).
  std::string (*decorate)(std::string text, double shown, const std::string& piSymbol);
};

const ScaleKind& KindOf(TAxisScale scale);

}  // namespace orv::xy
