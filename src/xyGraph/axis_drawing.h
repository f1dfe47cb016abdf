#pragma once
// Drawing of a laid-out axis: its line at the crossing position, the ticks, the labels and the
// title. Reads the axis only.

#include "xyGraph/graph_axis.h"
#include "xyGraph/graph_canvas.h"

namespace orv::xy {

// Line, ticks, labels and title, in that order.
void DrawAxis(const TGraphAxis& axis, IGraphCanvas& canvas);

}  // namespace orv::xy
