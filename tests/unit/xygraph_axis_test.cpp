// Axis rules of the chart: nice steps and the label texts (how the axes scale a chart's data is
// seen whole in the sample pictures; the setters and the layout are scripts of xygraph_samples_test).

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "fakes/case_table.h"
#include "xyGraph/axis_scaling.h"
#include "xyGraph/xyGraph.h"

namespace orv::xy {
namespace {

// A number of a case table: "nan", "inf", "-0", or a multiple of pi as "2pi", "-pi".
double Value(const std::string& text) {
  if (text.size() < 2 || text.substr(text.size() - 2) != "pi") return std::stod(text);
  const std::string factor = text.substr(0, text.size() - 2);
  return (factor.empty() ? 1 : factor == "-" ? -1 : std::stod(factor)) * kPi;
}

TAxisScale ScaleNamed(const std::string& name) {
  return name == "pi" ? asPi : name == "percent" ? asPercent : name == "log" ? asLog : asNormal;
}

TEST(AxisScaling, NiceStepIsOneTwoTwoAndAHalfFiveOrTenTimesAPowerOfTen) {
  for (const test::Case& c : test::LoadCases("chart_nice_steps.txt")) {
    const double step = Value(c[3]);
    EXPECT_NEAR(NiceStep(ScaleNamed(c[0]), static_cast<int>(c.Int(1)), Value(c[2])), step, 1e-12 * step) << c.where;
  }
}

// ---- labels -----------------------------------------------------------------------------------

TEST(AxisLabels, FormatTheValueInTheScalesUnit) {
  for (const test::Case& c : test::LoadCases("chart_labels.txt")) {
    TXYGraph graph;
    graph.SetPiSymbol(c[2]);
    TGraphAxis& y = graph.YAxis();
    if (ScaleNamed(c[0]) != asNormal) y.SetAxisScale(ScaleNamed(c[0]));
    if (c[1] != "auto") y.SetLabelDecimal(static_cast<int>(c.Int(1)));
    EXPECT_EQ(y.LabelText(Value(c[3])), c[4]) << c.where;
  }
  EXPECT_EQ(TGraphAxis(nullptr, true).LabelText(0), "0");
}

}  // namespace
}  // namespace orv::xy
