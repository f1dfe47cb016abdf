// Axis rules of the chart: scaling from the settings and the data extent, nice steps and labels
// (the setters, the value-to-pixel mapping and the layout are scripts of xygraph_samples_test).

#include <gtest/gtest.h>

#include <cmath>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "fakes/case_table.h"
#include "xyGraph/axis_scaling.h"
#include "xyGraph/xyGraph.h"

namespace orv::xy {
namespace {

// ---- scaling ----------------------------------------------------------------------------------

// Settings in words: "data=lo:hi" (no data without it), "log", "pi", "percent", a fixed "max=",
// "min=", "origin=" or "step=", "ticks=" (the effective count), "subs=", "pixels=" (laid out).
ScaledAxis Scale(const std::string& words) {
  AxisSettings s;
  std::optional<DataExtent> data;
  TickBudget budget;
  std::istringstream in(words);
  for (std::string w; in >> w;) {
    const size_t eq = w.find('=');
    const std::string key = w.substr(0, eq), value = eq == std::string::npos ? "0" : w.substr(eq + 1);
    const double v = std::stod(value);
    if (key == "data") data = DataExtent{std::stod(value.substr(value.find(':') + 1)), v};
    else if (key == "log") s.axisScale = asLog;
    else if (key == "pi") s.axisScale = asPi;
    else if (key == "percent") s.axisScale = asPercent;
    else if (key == "max") s.autoMax = false, s.max = v;
    else if (key == "min") s.autoMin = false, s.min = v;
    else if (key == "origin") s.autoOrigin = false, s.origin = v;
    else if (key == "step") s.autoStep = false, s.tickStep = v;
    else if (key == "ticks") s.effectiveTicks = static_cast<int>(v);
    else if (key == "subs") s.subTicksCount = static_cast<int>(v);
    else if (key == "pixels") budget = {true, static_cast<int>(v)};
    else ADD_FAILURE() << "unknown setting " << w;
  }
  return ScaleAxis(s, data, budget);
}

// The scaled settings as the case table writes them: ends, origin and step; the major ticks
// (their number when there are many, "-" for none); the number of minor ones.
std::vector<std::string> Text(const ScaledAxis& a) {
  std::ostringstream ends, majors;
  ends.precision(10);
  majors.precision(10);
  ends << a.settings.max << ' ' << a.settings.min << ' ' << a.settings.origin << ' ' << a.settings.tickStep;
  if (a.ticks.major.size() > 12) majors << a.ticks.major.size() << " ticks";
  for (size_t i = 0; i < a.ticks.major.size() && a.ticks.major.size() <= 12; ++i) majors << (i ? " " : "") << a.ticks.major[i];
  return {ends.str(), a.ticks.major.empty() ? "-" : majors.str(), std::to_string(a.ticks.minor.size())};
}

TEST(AxisScaling, EndsOriginStepAndTicks) {
  for (const test::Case& c : test::LoadCases("chart_axis_scaling.txt")) {
    const ScaledAxis a = Scale(c[0] == "-" ? "" : c[0]);
    EXPECT_EQ(Text(a), (std::vector<std::string>{c[1], c[2], c[3]})) << c.where;
    // The range is never narrower than 1e-8; the decades follow a positive minimum only (1 at first).
    EXPECT_DOUBLE_EQ(a.settings.range, std::max(1e-8, a.settings.max - a.settings.min)) << c.where;
    EXPECT_DOUBLE_EQ(a.settings.decades, a.settings.min > 0 ? std::log10(a.settings.max / a.settings.min) : 1) << c.where;
  }
}

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
