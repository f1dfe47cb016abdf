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

// The scaled settings as text: max min origin step | major ticks (their number when there are
// many) | the number of minor ones.
std::string Text(const ScaledAxis& a) {
  std::ostringstream s;
  s.precision(10);
  s << a.settings.max << ' ' << a.settings.min << ' ' << a.settings.origin << ' ' << a.settings.tickStep << " |";
  if (a.ticks.major.size() > 12) s << ' ' << a.ticks.major.size() << " ticks";
  for (size_t i = 0; i < a.ticks.major.size() && a.ticks.major.size() <= 12; ++i) s << ' ' << a.ticks.major[i];
  s << " | " << a.ticks.minor.size();
  return s.str();
}

TEST(AxisScaling, EndsOriginStepAndTicks) {
  const std::pair<const char*, const char*> rows[] = {
      {"", "10 0 0 2 | 0 2 4 6 8 10 | 20"},
      {"data=4.94:4.9575", "4.9575 4.94 4.94 0.005 | 4.94 4.945 4.95 4.955 | 14"},
      {"data=5:5", "6 4 4 0.5 | 4 4.5 5 5.5 6 | 16"},  // widened by one
      {"data=-3:7", "7 -3 0 2 | -2 0 2 4 6 | 20"},
      {"data=-8:-2", "-2 -8 -2 1 | -8 -7 -6 -5 -4 -3 -2 | 24"},
      {"data=0:55", "55 0 0 10 | 0 10 20 30 40 50 | 22"},
      {"data=-88:0 min=-90 max=0 origin=-90 step=30 subs=6", "0 -90 -90 30 | -90 -60 -30 0 | 15"},
      {"data=1:9 step=3", "9 0 0 3 | 0 3 6 9 | 12"},  // origin a step multiple
      {"data=3:9 min=1", "9 1 1 2 | 2 4 6 8 | 16"},  // fixed low end: origin there
      {"data=-8:-3 max=-1", "-1 -8 -8 2 | -8 -6 -4 -2 | 14"},
      {"data=-0.3:10 origin=3 step=2", "10 -0.4 3 2 | 1 3 5 7 9 | 21"},  // ticks from the origin
      {"min=0.4 max=9.2 step=2", "9.2 0.4 0.4 2 | 2 4 6 8 | 17"},  // no sub-tick on an end
      {"max=1.000000001 min=1", "1.00000001 1 1 2e-09 | 1 1.000000002 1.000000004 1.000000006 1.000000008 1.00000001 | 20"},
      {"pi data=-6.283185307179586:6.283185307179586", "6.283185307 -6.283185307 0 3.141592654 | -6.283185307 -3.141592654 0 3.141592654 6.283185307 | 16"},
      {"pi data=0:41.469023027385274", "42.41150082 0 0 15.70796327 | 0 15.70796327 31.41592654 | 11"},  // no 2.5 pi
      {"percent data=0:50", "50 0 0 10 | 0 10 20 30 40 50 | 20"},
      {"max=6 step=1 subs=19", "6 0 0 1 | 0 1 2 3 4 5 6 | 108"},
      {"max=6 step=1 subs=19 pixels=50", "6 0 0 1 | 0 1 2 3 4 5 6 | 0"},  // sub-ticks closer than a pixel
      {"max=6 step=1 pixels=5", "6 0 0 1 | | 0"},  // steps closer than a pixel
      {"max=1000 step=1 subs=19", "1000 0 0 1 | 1001 ticks | 18000"},  // a thousand steps are the most
      {"max=1001 step=1", "1001 0 0 1 | | 0"},  // a step kept from a narrow range
      // around 1e20 a double moves in steps of 16384: ticks 8000 apart must still end
      {"min=1e20 max=100000000000000065536 step=8000 origin=100000000000000065536", "1e+20 1e+20 1e+20 8000 | 1e+20 1e+20 1e+20 1e+20 | 3"},
      {"log data=2:8", "10 1 1 2 | 1 1.5 2 3 5 7 10 | 6"},
      {"log data=1:1000", "1000 1 1 2 | 1 5 10 50 100 500 1000 | 18"},
      {"log data=1:1000 ticks=2", "1000 1 1 2 | 1 100 | 5"},  // every second decade
      {"log data=1:1e8", "100000000 1 1 2 | 1 100 10000 1000000 100000000 | 20"},
      {"log data=0.02:0.5", "1 0.01 0.01 2 | 0.01 0.02 0.05 0.1 0.2 0.5 1 | 12"},
      {"log data=3:300 max=500 min=2", "500 2 2 2 | 2 5 10 20 50 100 200 500 | 10"}};
  for (auto [words, expected] : rows) {
    const ScaledAxis a = Scale(words);
    EXPECT_EQ(Text(a), expected) << words;
    // The range is never narrower than 1e-8; the decades follow a positive minimum only (1 at first).
    EXPECT_DOUBLE_EQ(a.settings.range, std::max(1e-8, a.settings.max - a.settings.min)) << words;
    EXPECT_DOUBLE_EQ(a.settings.decades, a.settings.min > 0 ? std::log10(a.settings.max / a.settings.min) : 1) << words;
  }
}

TEST(AxisScaling, NiceStepIsOneTwoTwoAndAHalfFiveOrTenTimesAPowerOfTen) {
  const struct {
    TAxisScale scale;
    int ticks;
    double span, step;
  } rows[] = {
      {asNormal, 6, 6, 1}, {asNormal, 6, 12, 2}, {asNormal, 6, 15, 2.5}, {asNormal, 6, 30, 5}, {asNormal, 6, 30.6, 10},
      {asNormal, 6, 0.0175, 0.005}, {asNormal, 6, 13.2, 2.5}, {asNormal, 6, 0.6, 0.1}, {asNormal, 3, 90, 50},
      {asNormal, 6, 7000, 2000}, {asNormal, 1, 10, 10}, {asNormal, 0, 10, 10}, {asPercent, 6, 100, 20},
      {asPi, 6, 15 * kPi, 5 * kPi}, {asPi, 6, 6 * kPi, kPi}, {asPi, 4, 2 * kPi, 0.5 * kPi},
      // a span without a sensible step: one unit
      {asNormal, 6, 0, 1}, {asNormal, 6, -5, 1}, {asNormal, 6, NAN, 1}, {asNormal, 6, HUGE_VAL, 1}, {asPi, 6, 0, kPi}};
  for (const auto& r : rows)
    EXPECT_NEAR(NiceStep(r.scale, r.ticks, r.span), r.step, 1e-12 * r.step) << r.span << " over " << r.ticks;
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
  const struct {
    TAxisScale scale;
    int decimals;  // -1: automatic
    const char* piSymbol;
    double value;
    const char* text;
  } rows[] = {{asPi, -1, "Pi", -kPi, "-Pi"}, {asPi, -1, "π", -2 * kPi, "-2π"}, {asPi, -1, "", kPi, "1"},
              {asPi, -1, "Pi", 1e-12, "0"}, {asPercent, -1, "Pi", 50, "0.5%"}, {asNormal, -1, "Pi", 0.1 + 0.2, "0.3"},
              {asNormal, -1, "Pi", 1e-11, "0"}, {asNormal, -1, "Pi", -0.0, "0"}, {asNormal, -1, "Pi", 100000, "100000"},
              {asNormal, -1, "Pi", 1234567, "1.23457E6"}, {asNormal, -1, "Pi", 0.000001, "1E-6"},
              {asNormal, -1, "Pi", 0.00001, "0.00001"}, {asNormal, 2, "Pi", 3.14159, "3.14"}, {asNormal, 3, "Pi", -0.0004, "0.000"}};
  for (const auto& r : rows) {
    TXYGraph graph;
    graph.SetPiSymbol(r.piSymbol);
    TGraphAxis& y = graph.YAxis();
    if (r.scale != asNormal) y.SetAxisScale(r.scale);
    if (r.decimals >= 0) y.SetLabelDecimal(r.decimals);
    EXPECT_EQ(y.LabelText(r.value), r.text);
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
