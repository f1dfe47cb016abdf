#pragma once
// The tick lists of an axis whose ends are final.

#include "xyGraph/axis_scaling.h"
#include "xyGraph/axis_settings.h"

namespace orv::xy {

// Ticks every step from the origin (or the first step multiple), sub-ticks between them.
AxisTicks LinearTicks(const AxisSettings& scaled, TickBudget budget);
// Ticks at multipliers of every decade (or at every n-th decade when there are more decades
// than ticks), the following multipliers as sub-ticks.
AxisTicks LogTicks(const AxisSettings& scaled);

}  // namespace orv::xy
