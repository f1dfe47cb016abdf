#pragma once
// Scaling of an axis: from its settings and the extent of the data to the ends, origin, step
// and tick lists it shows. Pure functions: the axis commits their result in one assignment, so
// a refused scaling (an EXYGraphAxisError) leaves the axis as it was.

#include <optional>
#include <vector>

#include "xyGraph/axis_settings.h"

namespace orv::xy {

// The extremes of the data along an axis.
struct DataExtent {
  double max = 0;
  double min = 0;
};

// What the layout allows: a laid-out axis gets no more ticks than it has pixels.
struct TickBudget {
  bool laidOut = false;
  int pixels = 0;
};

struct AxisTicks {
  std::vector<double> major;  // also the label values
  std::vector<double> minor;
};

// The settings with the ends, origin, step, range and decades of the scaling, and its ticks.
struct ScaledAxis {
  AxisSettings settings;
  AxisTicks ticks;
};

// Raises EXYGraphAxisError unless min < max leave a finite range the scale can show.
void CheckRange(TAxisScale scale, double max, double min);
// Stores new ends: at least 1e-8 apart, the origin clamped between them, the decades updated
// while the minimum is above zero.
void ApplyRange(AxisSettings& s, double max, double min);
// Raises EXYGraphAxisError for a step that is not above zero, beyond the range, or that makes
// more than 30 intervals.
void CheckTickStep(double step, double range);
// The nice step for a span over `ticks` intervals: 1, 2, 2.5, 5 or 10 times a power of ten
// (of a multiple of pi on the pi scale, without 2.5).
double NiceStep(TAxisScale scale, int ticks, double span);
// The automatic origin for a data range and step: zero when the range holds it, else the step
// multiple at the automatic end nearest to zero, else the low end.
double AutomaticOrigin(const AxisSettings& s, double lo, double hi, double step);
// Scales the axis; `data` is empty when no active series holds points (the axis's own ends
// count then). Raises EXYGraphAxisError when the result is not a valid range.
ScaledAxis ScaleAxis(const AxisSettings& s, const std::optional<DataExtent>& data, TickBudget budget);

}  // namespace orv::xy
