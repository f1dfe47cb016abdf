#pragma once
// What one axis of the chart is set to: the values its setters store, the ends, origin and step
// of its last scaling (which are settings and results at once: a fixed end is the one set, an
// automatic one the one worked out) and the ticks count the layout settled on.

#include <string>

#include "xyGraph/graph_canvas.h"

namespace orv::xy {

enum class TAxisScale { asNormal, asPi, asPercent, asLog };
using enum TAxisScale;

enum class TAxisTitleLoc { tlHead, tlFoot, tlSide, tlFixed };
using enum TAxisTitleLoc;

inline constexpr double kPi = 3.141592653589793;

struct AxisSettings {
  bool autoDecimal = true;
  bool autoMax = true;
  bool autoMin = true;
  bool autoOrigin = true;
  TGraphPen axisPen;
  TAxisScale axisScale = asNormal;
  bool autoStep = true;
  TAxisTitleLoc axisTitleLoc = tlHead;
  bool inverted = false;
  int labelDecimal = 0;
  TGraphFont labelFont;
  bool labels = true;
  bool labelsOnAxis = false;
  int labelSpace = 4;
  double max = 10.0;
  double min = 0.0;
  double origin = 0.0;
  int subTickLen = 3;
  int subTicksCount = 5;
  std::string title;
  int titleAngle = 0;
  TGraphFont titleFont;
  int tickLen = 5;
  bool ticks = true;
  int ticksCount = 6;
  double tickStep = 2.0;
  bool visible = true;

  // Kept from the last change of the ends: a range is never narrower than 1e-8, and the
  // decades of an axis whose minimum is not above zero stay those of its last positive one.
  double range = 10.0;
  double decades = 1.0;
  // The ticks count in use: the stored one, lowered by the layout until the labels fit.
  int effectiveTicks = 6;
};

}  // namespace orv::xy
