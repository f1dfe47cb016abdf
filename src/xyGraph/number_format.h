#pragma once
// The number texts of the axis labels.

#include <string>

namespace orv::xy {

// Text of a number in general format with `digits` significant digits (trailing zeros dropped,
// scientific form for very large or small numbers), as the labels use it.
std::string FormatGeneral(double value, int digits);
// Text of a number with a fixed number of decimals.
std::string FormatFixed(double value, int decimals);

}  // namespace orv::xy
