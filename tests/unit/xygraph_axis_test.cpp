// Axis rules of the chart: scaling from the settings and the data extent, nice steps, setter
// refusals, labels, value-to-pixel mapping and the label-fitting layout.

#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <functional>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "fakes/case_table.h"
#include "xyGraph/axis_scaling.h"
#include "xyGraph/svg_canvas.h"
#include "xyGraph/xyGraph.h"
#include "xyGraph/xySeries.h"

namespace orv::xy {
namespace {

namespace msg = axis_messages;

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

// ---- setters: refusals and ignored values ---------------------------------------------------

// Everything a setter may change, as text.
std::string State(const TGraphAxis& a) {
  std::ostringstream s;
  s.precision(17);
  s << a.Max() << ' ' << a.Min() << ' ' << a.Origin() << ' ' << a.TickStep() << ' ' << a.Range() << ' ' << a.Decades()
    << ' ' << a.AutoMax() << a.AutoMin() << a.AutoOrigin() << a.AutoStep() << a.AutoDecimal() << ' '
    << static_cast<int>(a.AxisScale()) << ' ' << a.LabelDecimal() << ' ' << a.TicksCount() << ' '
    << a.EffectiveTicksCount() << ' ' << a.SubTicksCount() << ' ' << a.TitleAngle() << " majors "
    << ::testing::PrintToString(a.MajorTicks()) << " minors " << a.MinorTicks().size();
  return s.str();
}

void LogFromOneToThousand(TXYGraph& g) {
  g.Series(0).Add(0, 1);
  g.Series(0).Add(1, 1000);
  g.YAxis().SetMin(1);
  g.YAxis().SetAxisScale(asLog);
  g.YAxis().SetAutoMin(true);
}

TEST(AxisSetters, RefusalsAndIgnoredValuesChangeNothingAndRequestNoRepaint) {
  using G = TXYGraph&;
  using A = TGraphAxis&;
  const struct {
    const char* name;
    void (*setup)(G);
    void (*action)(G, A);
    const char* message;  // null: ignored without an error
  } rows[] = {
      // clang-format off
      {"MaxBelowMin", nullptr, [](G, A y) { y.SetMax(-1); }, msg::kRange},
      {"MinEqualToMax", nullptr, [](G, A y) { y.SetMin(10); }, msg::kRange},
      {"InfiniteMax", nullptr, [](G, A y) { y.SetMax(HUGE_VAL); }, msg::kRange},
      {"EndsTooFarApart", [](G g) { g.YAxis().SetMin(-DBL_MAX); }, [](G, A y) { y.SetMax(DBL_MAX); }, msg::kRange},
      {"LogMinZero", LogFromOneToThousand, [](G, A y) { y.SetMin(0); }, msg::kLogRange},
      {"LogDataTurnsNegative", [](G g) { LogFromOneToThousand(g); g.Series(0).Add(2, -5); }, [](G, A y) { y.Recalculate(); }, msg::kLogRange},
      {"PixelOfZeroOnLog", LogFromOneToThousand, [](G, A y) { (void)y.ValueToPixel(0); }, msg::kLogValue},
      {"OriginBelowMin", nullptr, [](G, A y) { y.SetOrigin(-0.5); }, msg::kOriginBelowMin},
      {"OriginAboveMax", nullptr, [](G, A y) { y.SetOrigin(10.5); }, msg::kOriginAboveMax},
      {"LogWithMinZero", nullptr, [](G, A y) { y.SetAxisScale(asLog); }, msg::kCannotLog},
      {"LogWithDataBelowZero", [](G g) { g.Series(0).Add(0, -1); g.Series(0).Add(1, 5); g.YAxis().SetMin(1); },
       [](G, A y) { y.SetAxisScale(asLog); }, msg::kCannotLog},
      {"NegativeDecimals", nullptr, [](G, A y) { y.SetLabelDecimal(-1); }, msg::kNegative},
      {"StepZero", nullptr, [](G, A y) { y.SetTickStep(0); }, msg::kStepNotPositive},
      {"StepNegative", nullptr, [](G, A y) { y.SetTickStep(-2); }, msg::kStepNotPositive},
      {"StepBeyondRange", nullptr, [](G, A y) { y.SetTickStep(10.5); }, msg::kStepBeyondRange},
      {"ThirtyOneSteps", nullptr, [](G, A y) { y.SetTickStep(10.0 / 31); }, msg::kStepTooSmall},
      {"TicksCount0", nullptr, [](G, A y) { y.SetTicksCount(0); }, nullptr}, {"TicksCount30", nullptr, [](G, A y) { y.SetTicksCount(30); }, nullptr},
      {"SubTicks0", nullptr, [](G, A y) { y.SetSubTicksCount(0); }, nullptr}, {"SubTicks20", nullptr, [](G, A y) { y.SetSubTicksCount(20); }, nullptr},
      {"SubTicksOnLog", LogFromOneToThousand, [](G, A y) { y.SetSubTicksCount(3); }, nullptr},
      {"LabelDecimal6", nullptr, [](G, A y) { y.SetLabelDecimal(6); }, nullptr},
      {"SameScale", nullptr, [](G, A y) { y.SetAxisScale(asNormal); }, nullptr}};
  // clang-format on
  for (const auto& r : rows) {
    int repaints = 0;  // outlives the graph: the series asks for a repaint as it goes
    TXYGraph graph;
    TXYLineSeries series;
    series.SetParentGraph(&graph);
    if (r.setup) r.setup(graph);
    const std::string before = State(graph.YAxis());
    graph.OnRepaintRequest = [&](TXYGraph&) { ++repaints; };
    try {
      r.action(graph, graph.YAxis());
      EXPECT_EQ(r.message, nullptr) << r.name << ": no error";
    } catch (const EXYGraphAxisError& e) {
      EXPECT_STREQ(e.what(), r.message ? r.message : "(none)") << r.name;
    }
    EXPECT_EQ(State(graph.YAxis()), before) << r.name;
    EXPECT_EQ(repaints, 0) << r.name;
  }
}

TEST(AxisSetters, StoreTheirValues) {
  TXYGraph graph;
  TGraphAxis& y = graph.YAxis();
  y.SetTickStep(10.0 / 30);  // thirty steps are the most
  EXPECT_EQ(y.MajorTicks().size(), 31u);
  y.SetTickStep(10);  // as long as the range
  EXPECT_EQ(y.MajorTicks(), (std::vector<double>{0, 10}));
  y.SetTicksCount(29);
  y.SetSubTicksCount(19);
  y.SetSubTicksCount(1);
  y.SetLabelDecimal(5);
  y.SetTitleAngle(-100);  // 260 rounded down to a multiple of 90; the font turns with it
  y.SetTitleFont(TGraphFont{});
  EXPECT_EQ(State(y), "10 0 0 10 10 1 11100 0 5 29 29 1 180 majors { 0, 10 } minors 0");
  EXPECT_EQ(y.TitleFont().Escapement, 1800);
  y.SetAutoStep(true);
  y.SetAutoDecimal(true);
  y.SetTicksCount(1);
  y.SetTitleAngle(450);
  y.SetMax(10);  // the current end: fixed as it is
  y.SetOrigin(8);
  y.SetMax(5);  // the origin stays inside
  y.SetAutoMin(false);
  EXPECT_EQ(State(y), "5 0 5 5 5 1 00011 0 0 1 1 1 90 majors { 0, 5 } minors 0");
}

// The history screen's stored design: the step is checked only when set at run time; a stored
// ticks count beyond 29 leaves the layout 29 to try. Ends without a pixel scale are refused
// when loading ends, and again by the paint.
TEST(AxisSetters, LoadingStoresUncheckedAndEndLoadingScales) {
  TXYGraph graph;
  TGraphAxis& y = graph.YAxis();
  graph.BeginLoading();
  y.SetAutoMax(false);
  y.SetAutoMin(false);
  y.SetAutoOrigin(false);
  y.SetAutoStep(false);
  y.SetMax(4.9575);
  y.SetMin(4.94);
  y.SetOrigin(4.94);
  y.SetTickStep(0.005);
  y.SetTicksCount(190);
  y.SetSubTicksCount(40);
  y.SetLabelDecimal(-1);
  y.SetAxisScale(asPercent);
  EXPECT_EQ(y.MajorTicks().size(), 6u);  // not scaled yet
  graph.EndLoading();
  EXPECT_EQ(State(y), "4.9574999999999996 4.9400000000000004 4.9400000000000004 0.0050000000000000001 0.017499999999999183 "
                      "0.0015357739536932459 00001 2 -1 190 190 40 0 majors { 4.94, 4.945, 4.95, 4.955 } minors 136");
  SvgCanvas canvas(300, 4000);
  y.Layout({0, 0, 50, 4000}, canvas);
  EXPECT_EQ(y.EffectiveTicksCount(), 29);
  graph.BeginLoading();
  y.SetMin(-DBL_MAX);
  y.SetMax(DBL_MAX);
  EXPECT_THROW(graph.EndLoading(), EXYGraphAxisError);
  EXPECT_THROW(graph.Paint(canvas), EXYGraphAxisError);
}

// ---- value to pixel ---------------------------------------------------------------------------

// The axis runs 100 pixels between 5-pixel margins: from 5 to 105 (X) or from 105 up to 5 (Y).
TEST(AxisPixels, MapAlongTheLaidOutAxis) {
  const struct {
    bool horizontal, inverted;
    TAxisScale scale;
    double max, value;
    int pixel;
  } rows[] = {{true, false, asNormal, 10, 2.5, 30}, {true, true, asNormal, 10, 2.5, 80}, {false, false, asNormal, 10, 2.5, 80},
              {false, true, asLog, 10000, 10, 30}, {true, false, asNormal, 8, 1, 17},  // halves round to even
              {true, false, asNormal, 10, NAN, 5}};  // a value that is no number: the start pixel
  for (const auto& r : rows) {
    TGraphAxis axis(nullptr, r.horizontal);
    axis.SetLabels(false);
    axis.SetMin(r.scale == asLog ? 1 : 0);
    axis.SetMax(r.max);
    axis.SetAxisScale(r.scale);
    axis.SetInverted(r.inverted);
    SvgCanvas canvas(110, 110);
    axis.Layout(r.horizontal ? TGraphRect{0, 0, 110, 50} : TGraphRect{0, 0, 50, 110}, canvas);
    EXPECT_EQ(axis.CrossingPosition(), r.horizontal ? 49 : 0);  // the bottom, the left edge
    EXPECT_EQ(axis.ValueToPixel(r.value), r.pixel) << r.max << " " << r.value;
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

// ---- layout -----------------------------------------------------------------------------------

// Labels "0" .. "10" are 18 px wide: six intervals need 162 px; at 90 px 2.5-steps are too wide
// and three 5-steps fit. Long labels leave two intervals at least; a fixed step keeps six.
TEST(AxisLayout, LowersTheTicksCountUntilTheLabelsFit) {
  const struct {
    int length;  // of the axis; the rectangle is 10 pixels longer
    double hi;
    bool autoStep;
    int effectiveTicks;
  } rows[] = {{162, 10, true, 6}, {161, 10, true, 5}, {90, 10, true, 3}, {60, 123457.3, true, 2}, {60, 10, false, 6}};
  for (const auto& r : rows) {
    TXYGraph graph;
    TXYLineSeries series;
    series.SetParentGraph(&graph);
    series.Add(r.hi > 10 ? 123456.7 : 0, 0);
    series.Add(r.hi, 0);
    if (!r.autoStep) graph.XAxis().SetTickStep(2);
    SvgCanvas canvas(r.length + 10, 50);
    graph.XAxis().Layout({0, 0, r.length + 10, 50}, canvas);
    EXPECT_EQ(graph.XAxis().EffectiveTicksCount(), r.effectiveTicks) << r.length;
  }
}

}  // namespace
}  // namespace orv::xy
