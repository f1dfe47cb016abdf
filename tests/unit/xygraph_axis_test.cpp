// Axis rules of the chart: automatic scaling, nice steps, tick lists, setter refusals, labels,
// value-to-pixel mapping and the label-fitting layout.

#include <gtest/gtest.h>

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "fakes/recording_canvas.h"
#include "xyGraph/xyGraph.h"
#include "xyGraph/xySeries.h"

namespace orv::xy {
namespace {

namespace msg = axis_messages;

void ExpectValues(const std::vector<double>& actual, const std::vector<double>& expected, double tolerance) {
  ASSERT_EQ(actual.size(), expected.size()) << ::testing::PrintToString(actual);
  for (size_t i = 0; i < expected.size(); ++i) EXPECT_NEAR(actual[i], expected[i], tolerance) << "index " << i;
}

// A graph with one line series holding the given Y values (X runs 0, 1, 2, ...).
struct Fixture {
  TXYGraph graph;
  TXYLineSeries series;
  explicit Fixture(const std::vector<double>& ys = {}) {
    series.SetParentGraph(&graph);
    for (size_t i = 0; i < ys.size(); ++i) series.Add(static_cast<double>(i), ys[i]);
    graph.YAxis().Recalculate();
  }
  TGraphAxis& Y() { return graph.YAxis(); }
};

// ---- automatic scaling --------------------------------------------------------------------

struct ScalingCase {
  const char* name;
  std::vector<double> data;  // Y values; empty: no data
  double min, max, step, origin;
  std::vector<double> majors;
  size_t minorCount;
};

class GraphAxisScaling : public ::testing::TestWithParam<ScalingCase> {};

TEST_P(GraphAxisScaling, FollowsTheData) {
  const ScalingCase& c = GetParam();
  Fixture f(c.data);
  double tol = 1e-9 * (c.max - c.min);
  EXPECT_NEAR(f.Y().Min(), c.min, tol);
  EXPECT_NEAR(f.Y().Max(), c.max, tol);
  EXPECT_NEAR(f.Y().TickStep(), c.step, tol);
  EXPECT_NEAR(f.Y().Origin(), c.origin, tol);
  EXPECT_NEAR(f.Y().Range(), c.max - c.min, tol);
  ExpectValues(f.Y().MajorTicks(), c.majors, tol);
  ExpectValues(f.Y().LabelValues(), c.majors, tol);
  EXPECT_EQ(f.Y().MinorTicks().size(), c.minorCount);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, GraphAxisScaling,
    ::testing::Values(
        ScalingCase{"NoData", {}, 0, 10, 2, 0, {0, 2, 4, 6, 8, 10}, 20},
        ScalingCase{"SmallPositiveSpan", {4.94, 4.95, 4.9575}, 4.94, 4.9575, 0.005, 4.94,
                    {4.94, 4.945, 4.95, 4.955}, 14},
        ScalingCase{"EqualEndsWidenedByOne", {5, 5}, 4, 6, 0.5, 4, {4, 4.5, 5, 5.5, 6}, 16},
        ScalingCase{"AcrossZero", {-3, 7}, -3, 7, 2, 0, {-2, 0, 2, 4, 6}, 20},
        ScalingCase{"AllNegative", {-8, -2}, -8, -2, 1, -2, {-8, -7, -6, -5, -4, -3, -2}, 24},
        ScalingCase{"TemperaturesFromZero", {0, 37, 55}, 0, 55, 10, 0, {0, 10, 20, 30, 40, 50}, 22}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(GraphAxisScaling, NewAxisMinorTicksEveryPointFour) {
  TXYGraph graph;
  std::vector<double> minors = graph.XAxis().MinorTicks();
  ASSERT_EQ(minors.size(), 20u);
  EXPECT_NEAR(minors[0], 0.4, 1e-12);
  EXPECT_NEAR(minors[3], 1.6, 1e-12);
  EXPECT_NEAR(minors[4], 2.4, 1e-12);  // no minor tick on a major one
  EXPECT_NEAR(minors[19], 9.6, 1e-12);
}

// ---- the nice step ------------------------------------------------------------------------

struct StepCase {
  TAxisScale scale;
  double span;
  int ticks;
  double step;
};

class GraphAxisNiceStep : public ::testing::TestWithParam<StepCase> {};

TEST_P(GraphAxisNiceStep, RoundsUpToOneTwoTwoAndAHalfFiveTen) {
  const StepCase& c = GetParam();
  TXYGraph graph;
  TGraphAxis& axis = graph.XAxis();
  axis.SetTicksCount(c.ticks);
  if (c.scale == asPi) axis.SetAxisScale(asPi);
  EXPECT_NEAR(axis.NiceStep(c.span), c.step, 1e-12 * c.step);
}

INSTANTIATE_TEST_SUITE_P(Cases, GraphAxisNiceStep,
                         ::testing::Values(StepCase{asNormal, 0.0175, 6, 0.005},  // m = 2.9 becomes 5
                                           StepCase{asNormal, 10, 6, 2}, StepCase{asNormal, 6, 6, 1},
                                           StepCase{asNormal, 13.2, 6, 2.5}, StepCase{asNormal, 100, 6, 20},
                                           StepCase{asNormal, 0.6, 6, 0.1}, StepCase{asNormal, 90, 3, 50},
                                           StepCase{asNormal, 7000, 6, 2000}, StepCase{asNormal, 10, 1, 10},
                                           // never 2.5 on a Pi axis: 2.2 becomes 5
                                           StepCase{asPi, 13.2 * kPi, 6, 5 * kPi},
                                           StepCase{asPi, 6 * kPi, 6, kPi}, StepCase{asPi, 2 * kPi, 4, 0.5 * kPi}));

// ---- refusals -------------------------------------------------------------------------------

struct RefusalCase {
  const char* name;
  std::function<void(TXYGraph&)> setup;
  std::function<void(TXYGraph&)> action;
  const char* message;
  std::function<void(const TGraphAxis&)> unchanged;
};

class GraphAxisErrors : public ::testing::TestWithParam<RefusalCase> {};

TEST_P(GraphAxisErrors, RaisesBeforeStoringAnything) {
  const RefusalCase& c = GetParam();
  TXYGraph graph;
  TXYLineSeries series;
  series.SetParentGraph(&graph);
  if (c.setup) c.setup(graph);
  try {
    c.action(graph);
    ADD_FAILURE() << "no error";
  } catch (const EXYGraphAxisError& e) {
    EXPECT_STREQ(e.what(), c.message);
    const EXYGraphError& base = e;  // every kind is a graph error
    EXPECT_STREQ(base.what(), c.message);
  }
  c.unchanged(graph.YAxis());
}

void LogAxisFromOneToThousand(TXYGraph& g) {
  auto& s = g.Series(0);
  s.Add(0, 1);
  s.Add(1, 1000);
  g.YAxis().SetMin(1);
  g.YAxis().SetAxisScale(asLog);
  g.YAxis().SetAutoMin(true);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, GraphAxisErrors,
    ::testing::Values(
        RefusalCase{"MaxBelowMin", nullptr, [](TXYGraph& g) { g.YAxis().SetMax(-1); }, msg::kRange,
                    [](const TGraphAxis& a) {
                      EXPECT_EQ(a.Max(), 10);
                      EXPECT_TRUE(a.AutoMax());
                    }},
        RefusalCase{"MinEqualToMax", nullptr, [](TXYGraph& g) { g.YAxis().SetMin(10); }, msg::kRange,
                    [](const TGraphAxis& a) {
                      EXPECT_EQ(a.Min(), 0);
                      EXPECT_TRUE(a.AutoMin());
                    }},
        RefusalCase{"LogMinZero", LogAxisFromOneToThousand, [](TXYGraph& g) { g.YAxis().SetMin(0); }, msg::kLogRange,
                    [](const TGraphAxis& a) {
                      EXPECT_EQ(a.Min(), 1);
                      EXPECT_TRUE(a.AutoMin());
                    }},
        RefusalCase{"LogDataTurnsNegative", LogAxisFromOneToThousand,
                    [](TXYGraph& g) {
                      g.Series(0).Add(2, -5);
                      g.YAxis().Recalculate();
                    },
                    msg::kLogRange, [](const TGraphAxis& a) { EXPECT_EQ(a.Min(), 1); }},
        RefusalCase{"OriginBelowMin", nullptr, [](TXYGraph& g) { g.YAxis().SetOrigin(-0.5); }, msg::kOriginBelowMin,
                    [](const TGraphAxis& a) {
                      EXPECT_EQ(a.Origin(), 0);
                      EXPECT_TRUE(a.AutoOrigin());
                    }},
        RefusalCase{"OriginAboveMax", nullptr, [](TXYGraph& g) { g.YAxis().SetOrigin(10.5); }, msg::kOriginAboveMax,
                    [](const TGraphAxis& a) { EXPECT_TRUE(a.AutoOrigin()); }},
        RefusalCase{"LogWithMinZero", nullptr, [](TXYGraph& g) { g.YAxis().SetAxisScale(asLog); }, msg::kCannotLog,
                    [](const TGraphAxis& a) { EXPECT_EQ(a.AxisScale(), asNormal); }},
        RefusalCase{"LogWithNegativeData",
                    [](TXYGraph& g) {
                      g.Series(0).Add(0, -1);
                      g.Series(0).Add(1, 5);
                      g.YAxis().SetMin(1);
                    },
                    [](TXYGraph& g) { g.YAxis().SetAxisScale(asLog); }, msg::kCannotLog,
                    [](const TGraphAxis& a) { EXPECT_EQ(a.AxisScale(), asNormal); }},
        RefusalCase{"NegativeDecimals", nullptr, [](TXYGraph& g) { g.YAxis().SetLabelDecimal(-1); }, msg::kNegative,
                    [](const TGraphAxis& a) {
                      EXPECT_EQ(a.LabelDecimal(), 0);
                      EXPECT_TRUE(a.AutoDecimal());
                    }},
        RefusalCase{"StepZero", nullptr, [](TXYGraph& g) { g.YAxis().SetTickStep(0); }, msg::kStepNotPositive,
                    [](const TGraphAxis& a) {
                      EXPECT_EQ(a.TickStep(), 2);
                      EXPECT_TRUE(a.AutoStep());
                    }},
        RefusalCase{"StepNegative", nullptr, [](TXYGraph& g) { g.YAxis().SetTickStep(-2); }, msg::kStepNotPositive,
                    [](const TGraphAxis& a) { EXPECT_EQ(a.TickStep(), 2); }},
        RefusalCase{"StepBeyondRange", nullptr, [](TXYGraph& g) { g.YAxis().SetTickStep(10.5); },
                    msg::kStepBeyondRange, [](const TGraphAxis& a) { EXPECT_EQ(a.TickStep(), 2); }},
        RefusalCase{"ThirtyOneIntervals", nullptr, [](TXYGraph& g) { g.YAxis().SetTickStep(10.0 / 31); },
                    msg::kStepTooSmall,
                    [](const TGraphAxis& a) {
                      EXPECT_EQ(a.TickStep(), 2);
                      EXPECT_TRUE(a.AutoStep());
                      EXPECT_EQ(a.MajorTicks().size(), 6u);
                    }},
        // No pixel scale for an infinite end or for ends whose distance overflows a double.
        RefusalCase{"InfiniteMax", nullptr, [](TXYGraph& g) { g.YAxis().SetMax(HUGE_VAL); }, msg::kRange,
                    [](const TGraphAxis& a) { EXPECT_EQ(a.Max(), 10); }},
        RefusalCase{"EndsTooFarApart",
                    [](TXYGraph& g) {
                      g.YAxis().SetMax(10);
                      g.YAxis().SetMin(-DBL_MAX);
                    },
                    [](TXYGraph& g) { g.YAxis().SetMax(DBL_MAX); }, msg::kRange,
                    [](const TGraphAxis& a) {
                      EXPECT_EQ(a.Max(), 10);
                      EXPECT_EQ(a.Min(), -DBL_MAX);
                    }},
        RefusalCase{"PixelOfZeroOnLog", LogAxisFromOneToThousand,
                    [](TXYGraph& g) { (void)g.YAxis().ValueToPixel(0); }, msg::kLogValue,
                    [](const TGraphAxis& a) { EXPECT_EQ(a.AxisScale(), asLog); }}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(GraphAxisErrors, ThirtyIntervalsAreAccepted) {
  TXYGraph graph;
  graph.YAxis().SetTickStep(10.0 / 30);
  EXPECT_FALSE(graph.YAxis().AutoStep());
  EXPECT_DOUBLE_EQ(graph.YAxis().TickStep(), 10.0 / 30);
  EXPECT_EQ(graph.YAxis().MajorTicks().size(), 31u);
}

TEST(GraphAxisErrors, HistoryScreenSequenceIsAccepted) {
  // The history screen resets the ranges wide, then narrows them and sets a 30-day step.
  TXYGraph graph;
  TGraphAxis& x = graph.XAxis();
  x.SetTickStep(1);
  x.SetMin(-9999);
  x.SetMax(0);
  x.SetMin(-420);
  x.SetOrigin(-420);
  x.SetTickStep(30);
  x.SetSubTicksCount(6);
  EXPECT_EQ(x.MajorTicks().size(), 15u);
  EXPECT_DOUBLE_EQ(x.MajorTicks().front(), -420);
  EXPECT_DOUBLE_EQ(x.MajorTicks().back(), 0);
  EXPECT_EQ(x.MinorTicks().size(), 14u * 5);
}

// Ends stored while loading are checked when loading ends; ends without a pixel scale are
// refused there and again by the paint, which draws nothing with them.
TEST(GraphAxisErrors, LoadedEndsWithoutAScaleAreRefusedByThePaint) {
  TXYGraph graph;
  graph.BeginLoading();
  graph.YAxis().SetMax(DBL_MAX);
  graph.YAxis().SetMin(-DBL_MAX);
  EXPECT_THROW(graph.EndLoading(), EXYGraphAxisError);
  RecordingCanvas canvas;
  EXPECT_THROW(graph.Paint(canvas), EXYGraphAxisError);
}

TEST(GraphAxisErrors, MoreThanThirtyStepsOfAChangedStepAreRefused) {
  TXYGraph graph;
  TGraphAxis& x = graph.XAxis();
  x.SetMin(-930);
  x.SetMax(0);
  x.SetOrigin(-930);
  try {
    x.SetTickStep(30);  // 31 steps
    ADD_FAILURE() << "no error";
  } catch (const EXYGraphAxisError& e) {
    EXPECT_STREQ(e.what(), msg::kStepTooSmall);
  }
  EXPECT_TRUE(x.AutoStep());
}

// ---- settings ignored silently ---------------------------------------------------------------

struct IgnoredCase {
  const char* name;
  std::function<void(TGraphAxis&)> action;
  std::function<void(const TGraphAxis&)> check;
};

class GraphAxisSettings : public ::testing::TestWithParam<IgnoredCase> {};

TEST_P(GraphAxisSettings, KeepTheirRules) {
  TXYGraph graph;
  GetParam().action(graph.YAxis());
  GetParam().check(graph.YAxis());
}

INSTANTIATE_TEST_SUITE_P(
    Cases, GraphAxisSettings,
    ::testing::Values(
        IgnoredCase{"TicksCount30", [](TGraphAxis& a) { a.SetTicksCount(30); },
                    [](const TGraphAxis& a) { EXPECT_EQ(a.TicksCount(), 6); }},
        IgnoredCase{"TicksCount0", [](TGraphAxis& a) { a.SetTicksCount(0); },
                    [](const TGraphAxis& a) { EXPECT_EQ(a.TicksCount(), 6); }},
        IgnoredCase{"TicksCount29", [](TGraphAxis& a) { a.SetTicksCount(29); },
                    [](const TGraphAxis& a) {
                      EXPECT_EQ(a.TicksCount(), 29);
                      EXPECT_EQ(a.EffectiveTicksCount(), 29);
                    }},
        IgnoredCase{"SubTicksCount20", [](TGraphAxis& a) { a.SetSubTicksCount(20); },
                    [](const TGraphAxis& a) { EXPECT_EQ(a.SubTicksCount(), 5); }},
        IgnoredCase{"SubTicksCount0", [](TGraphAxis& a) { a.SetSubTicksCount(0); },
                    [](const TGraphAxis& a) { EXPECT_EQ(a.SubTicksCount(), 5); }},
        IgnoredCase{"SubTicksCount19", [](TGraphAxis& a) { a.SetSubTicksCount(19); },
                    [](const TGraphAxis& a) {
                      EXPECT_EQ(a.SubTicksCount(), 19);
                      EXPECT_EQ(a.MinorTicks().size(), 5u * 18);
                    }},
        IgnoredCase{"SubTicksCountOnLog",
                    [](TGraphAxis& a) {
                      a.SetMin(1);
                      a.SetAxisScale(asLog);
                      a.SetSubTicksCount(3);
                    },
                    [](const TGraphAxis& a) { EXPECT_EQ(a.SubTicksCount(), 5); }},
        IgnoredCase{"LabelDecimal6", [](TGraphAxis& a) { a.SetLabelDecimal(6); },
                    [](const TGraphAxis& a) {
                      EXPECT_EQ(a.LabelDecimal(), 0);
                      EXPECT_TRUE(a.AutoDecimal());
                    }},
        IgnoredCase{"LabelDecimal5", [](TGraphAxis& a) { a.SetLabelDecimal(5); },
                    [](const TGraphAxis& a) {
                      EXPECT_EQ(a.LabelDecimal(), 5);
                      EXPECT_FALSE(a.AutoDecimal());
                    }},
        IgnoredCase{"AutoDecimalResetsDecimals",
                    [](TGraphAxis& a) {
                      a.SetLabelDecimal(3);
                      a.SetAutoDecimal(true);
                    },
                    [](const TGraphAxis& a) { EXPECT_EQ(a.LabelDecimal(), 0); }},
        IgnoredCase{"TitleAngleNormalised", [](TGraphAxis& a) { a.SetTitleAngle(-100); },
                    [](const TGraphAxis& a) {
                      EXPECT_EQ(a.TitleAngle(), 180);  // 260 rounded down to a multiple of 90
                      EXPECT_EQ(a.TitleFont().Escapement, 1800);
                    }},
        IgnoredCase{"TitleAngle450", [](TGraphAxis& a) { a.SetTitleAngle(450); },
                    [](const TGraphAxis& a) { EXPECT_EQ(a.TitleAngle(), 90); }},
        IgnoredCase{"MaxTurnsAutoMaxOff", [](TGraphAxis& a) { a.SetMax(10); },
                    [](const TGraphAxis& a) { EXPECT_FALSE(a.AutoMax()); }},
        IgnoredCase{"OriginClampedBySetRange",
                    [](TGraphAxis& a) {
                      a.SetOrigin(8);
                      a.SetMax(5);
                    },
                    [](const TGraphAxis& a) {
                      EXPECT_EQ(a.Origin(), 5);
                      EXPECT_FALSE(a.AutoOrigin());
                    }}),
    [](const auto& info) { return std::string(info.param.name); });

// ---- logarithmic ticks ----------------------------------------------------------------------

struct LogCase {
  const char* name;
  double lo, hi;
  int ticks;
  double min, max;
  std::vector<double> majors;
  std::vector<double> minors;
};

class GraphAxisLogTicks : public ::testing::TestWithParam<LogCase> {};

TEST_P(GraphAxisLogTicks, UseTheMultiplierTable) {
  const LogCase& c = GetParam();
  TXYGraph graph;
  TXYLineSeries series;
  series.SetParentGraph(&graph);
  series.Add(0, c.lo);
  series.Add(1, c.hi);
  TGraphAxis& y = graph.YAxis();
  y.SetMin(c.lo);
  y.SetAxisScale(asLog);
  y.SetAutoMin(true);
  y.SetTicksCount(c.ticks);
  EXPECT_DOUBLE_EQ(y.Min(), c.min);
  EXPECT_DOUBLE_EQ(y.Max(), c.max);
  EXPECT_NEAR(y.Decades(), std::log10(c.max / c.min), 1e-12);
  ExpectValues(y.MajorTicks(), c.majors, 1e-9 * c.max);
  ExpectValues(y.MinorTicks(), c.minors, 1e-9 * c.max);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, GraphAxisLogTicks,
    ::testing::Values(
        LogCase{"OneDecade", 1, 10, 6, 1, 10, {1, 1.5, 2, 3, 5, 7, 10}, {1.2, 1.3, 4, 6, 8, 9}},
        LogCase{"WithinOneDecade", 2, 8, 6, 1, 10, {1, 1.5, 2, 3, 5, 7, 10}, {1.2, 1.3, 4, 6, 8, 9}},
        LogCase{"ThreeDecades", 1, 1000, 6, 1, 1000, {1, 5, 10, 50, 100, 500, 1000},
                {1.5, 2, 3, 4, 6, 7, 15, 20, 30, 40, 60, 70, 150, 200, 300, 400, 600, 700}},
        // fewer ticks than decades: every second decade, the skipped one a minor tick
        LogCase{"ThreeDecadesTwoTicks", 1, 1000, 2, 1, 1000, {1, 100}, {10, 15, 20, 30, 50}},
        LogCase{"EightDecades", 1, 1e8, 6, 1, 1e8, {1, 100, 1e4, 1e6, 1e8},
                {10, 15, 20, 30, 50, 1000, 1500, 2000, 3000, 5000, 1e5, 1.5e5, 2e5, 3e5, 5e5, 1e7, 1.5e7, 2e7,
                 3e7, 5e7}},
        LogCase{"SmallValues", 0.02, 0.5, 6, 0.01, 1, {0.01, 0.02, 0.05, 0.1, 0.2, 0.5, 1},
                {0.012, 0.015, 0.03, 0.04, 0.06, 0.07, 0.12, 0.15, 0.3, 0.4, 0.6, 0.7}}),
    [](const auto& info) { return std::string(info.param.name); });

// ---- linear ticks at the limits ---------------------------------------------------------------

// Around 1e20 a double moves in steps of 16384, so a tick step of 8000 cannot be subtracted one at
// a time: the ticks must still end (they used to loop for ever).
TEST(GraphAxisTicks, StepBelowTheResolutionOfTheValuesEnds) {
  TXYGraph graph;
  TGraphAxis& y = graph.YAxis();
  y.SetMax(1e20 + 65536);
  y.SetMin(1e20);
  y.SetTickStep(8000);
  y.SetOrigin(1e20 + 65536);
  const std::vector<double> ticks = y.MajorTicks();
  ASSERT_FALSE(ticks.empty());
  EXPECT_LE(ticks.size(), 10u);
  for (size_t i = 0; i < ticks.size(); ++i) {
    EXPECT_GE(ticks[i], y.Min());
    EXPECT_LE(ticks[i], y.Max());
    if (i > 0) EXPECT_LT(ticks[i - 1], ticks[i]);
  }
}

// A step kept from a narrower range may leave a thousand intervals; each tick is kept once.
TEST(GraphAxisTicks, AThousandStepsWithNineteenSubTicks) {
  TXYGraph graph;
  TGraphAxis& y = graph.YAxis();
  y.SetMax(30);
  y.SetTickStep(1);
  y.SetSubTicksCount(19);
  y.SetMax(1000);
  EXPECT_EQ(y.MajorTicks().size(), 1001u);
  EXPECT_EQ(y.MinorTicks().size(), 1000u * 18);
  const std::vector<double> minors = y.MinorTicks();
  EXPECT_TRUE(std::adjacent_find(minors.begin(), minors.end(), std::greater_equal<double>()) == minors.end());
}

// A layout tries one ticks count after the other: each try costs no more ticks than the axis has
// pixels (a stored form may hold any ticks and sub-ticks counts).
TEST(GraphAxisTicks, NoMoreTicksThanTheLaidOutAxisHasPixels) {
  TGraphAxis y(nullptr, false);
  y.SetMax(30);
  y.SetTickStep(1);
  y.SetSubTicksCount(19);
  RecordingCanvas canvas;
  y.Layout({0, 0, 50, 200}, canvas);
  ASSERT_LT(y.Length(), 30 * 19);
  EXPECT_EQ(y.MajorTicks().size(), 31u);
  EXPECT_TRUE(y.MinorTicks().empty());
  y.SetMax(1000);
  EXPECT_TRUE(y.MajorTicks().empty());

  TXYGraph graph;  // a stored ticks count beyond 29: the layout tries at most 29 steps
  graph.BeginLoading();
  graph.YAxis().SetTicksCount(190);
  graph.EndLoading();
  graph.YAxis().Layout({0, 0, 50, 4000}, canvas);
  EXPECT_LE(graph.YAxis().MajorTicks().size(), 30u);
}

// ---- value to pixel ---------------------------------------------------------------------------

struct PixelCase {
  const char* name;
  bool horizontal;
  TAxisScale scale;
  bool inverted;
  double min, max;
  double value;
  int pixel;
};

class GraphAxisPixels : public ::testing::TestWithParam<PixelCase> {};

TEST_P(GraphAxisPixels, MapsAlongTheLaidOutAxis) {
  const PixelCase& c = GetParam();
  TGraphAxis axis(nullptr, c.horizontal);
  axis.SetLabels(false);
  if (c.min < axis.Max()) {
    axis.SetMin(c.min);
    axis.SetMax(c.max);
  } else {
    axis.SetMax(c.max);
    axis.SetMin(c.min);
  }
  if (c.scale != asNormal) axis.SetAxisScale(c.scale);
  axis.SetInverted(c.inverted);
  RecordingCanvas canvas;
  // 5-pixel margins at both ends: the axis runs 100 pixels, from 5 to 105 (X) or 105 to 5 (Y).
  axis.Layout(c.horizontal ? TGraphRect{0, 0, 110, 50} : TGraphRect{0, 0, 50, 110}, canvas);
  ASSERT_EQ(axis.Length(), 100);
  EXPECT_EQ(axis.ValueToPixel(c.value), c.pixel);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, GraphAxisPixels,
    ::testing::Values(PixelCase{"XMin", true, asNormal, false, 0, 10, 0, 5},
                      PixelCase{"XMax", true, asNormal, false, 0, 10, 10, 105},
                      PixelCase{"XQuarter", true, asNormal, false, 0, 10, 2.5, 30},
                      PixelCase{"XInverted", true, asNormal, true, 0, 10, 2.5, 80},
                      PixelCase{"XBeyond", true, asNormal, false, 0, 10, 15, 155},
                      PixelCase{"XHugeBecomesTwoLengths", true, asNormal, false, 0, 10, 1e300, 205},
                      PixelCase{"XHugeNegative", true, asNormal, false, 0, 10, -1e300, -195},
                      PixelCase{"YGrowsUpwards", false, asNormal, false, 0, 10, 2.5, 80},
                      PixelCase{"YInverted", false, asNormal, true, 0, 10, 2.5, 30},
                      PixelCase{"YNegativeRange", false, asNormal, false, -90, 0, -30, 38},
                      PixelCase{"XLogDecade", true, asLog, false, 1, 100, 10, 55},
                      PixelCase{"XLogInverted", true, asLog, true, 1, 1000, 10, 72},
                      PixelCase{"YLogQuarter", false, asLog, false, 1, 10000, 10, 80},
                      PixelCase{"XHalfRoundsToEven", true, asNormal, false, 0, 8, 1, 17},
                      // a value that is not a number has no place: the start pixel
                      PixelCase{"XNotANumber", true, asNormal, false, 0, 10, NAN, 5},
                      PixelCase{"YNotANumber", false, asNormal, false, 0, 10, NAN, 105}),
    [](const auto& info) { return std::string(info.param.name); });

// ---- labels -------------------------------------------------------------------------------

struct LabelCase {
  const char* name;
  TAxisScale scale;
  int decimals;  // -1: AutoDecimal
  const char* piSymbol;
  double value;
  const char* text;
};

class GraphAxisLabels : public ::testing::TestWithParam<LabelCase> {};

TEST_P(GraphAxisLabels, FormatTheValue) {
  const LabelCase& c = GetParam();
  TXYGraph graph;
  graph.SetPiSymbol(c.piSymbol);
  TGraphAxis& y = graph.YAxis();
  if (c.scale != asNormal) y.SetAxisScale(c.scale);
  if (c.decimals >= 0) y.SetLabelDecimal(c.decimals);
  EXPECT_EQ(y.LabelText(c.value), c.text);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, GraphAxisLabels,
    ::testing::Values(LabelCase{"PiZero", asPi, -1, "Pi", 0, "0"}, LabelCase{"PiOne", asPi, -1, "Pi", kPi, "Pi"},
                      LabelCase{"PiMinusOne", asPi, -1, "Pi", -kPi, "-Pi"},
                      LabelCase{"PiTwo", asPi, -1, "Pi", 2 * kPi, "2Pi"},
                      LabelCase{"PiHalf", asPi, -1, "Pi", kPi / 2, "0.5Pi"},
                      LabelCase{"PiOtherSymbol", asPi, -1, "π", -2 * kPi, "-2π"},
                      LabelCase{"PiEmptySymbol", asPi, -1, "", kPi, "1"},
                      LabelCase{"PiAlmostZero", asPi, -1, "Pi", 1e-12, "0"},
                      LabelCase{"PercentHalf", asPercent, -1, "Pi", 50, "0.5%"},
                      LabelCase{"PercentFixed", asPercent, 1, "Pi", 250, "2.5%"},
                      LabelCase{"GeneralShort", asNormal, -1, "Pi", 4.945, "4.945"},
                      LabelCase{"GeneralSumError", asNormal, -1, "Pi", 0.1 + 0.2, "0.3"},
                      LabelCase{"GeneralTiny", asNormal, -1, "Pi", 1e-11, "0"},
                      LabelCase{"GeneralNegativeZero", asNormal, -1, "Pi", -0.0, "0"},
                      LabelCase{"GeneralLarge", asNormal, -1, "Pi", 100000, "100000"},
                      LabelCase{"GeneralScientific", asNormal, -1, "Pi", 1234567, "1.23457E6"},
                      LabelCase{"GeneralSmallScientific", asNormal, -1, "Pi", 0.000001, "1E-6"},
                      LabelCase{"GeneralSmallFixed", asNormal, -1, "Pi", 0.00001, "0.00001"},
                      LabelCase{"FixedNoDecimals", asNormal, 0, "Pi", -30, "-30"},
                      LabelCase{"FixedRounds", asNormal, 2, "Pi", 3.14159, "3.14"},
                      LabelCase{"FixedNegativeZero", asNormal, 1, "Pi", -0.01, "0.0"}),
    [](const auto& info) { return std::string(info.param.name); });

// ---- layout -------------------------------------------------------------------------------

struct FitCase {
  const char* name;
  int length;       // of the axis (the rectangle is 10 pixels wider)
  bool autoStep;
  std::vector<double> data;
  int effectiveTicks;
};

class GraphAxisLayout : public ::testing::TestWithParam<FitCase> {};

TEST_P(GraphAxisLayout, LowersTheTicksCountUntilTheLabelsFit) {
  const FitCase& c = GetParam();
  TXYGraph graph;
  TXYLineSeries series;
  series.SetParentGraph(&graph);
  for (size_t i = 0; i < c.data.size(); ++i) series.Add(c.data[i], 0);
  TGraphAxis& x = graph.XAxis();
  if (!c.autoStep) x.SetTickStep(x.TickStep());
  RecordingCanvas canvas;
  x.Layout({0, 0, c.length + 10, 50}, canvas);
  EXPECT_EQ(x.EffectiveTicksCount(), c.effectiveTicks);
  EXPECT_EQ(x.TicksCount(), 6);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, GraphAxisLayout,
    ::testing::Values(FitCase{"RoomForSix", 400, true, {}, 6},
                      // labels "0" .. "10" (18 px): six need 162 px; at 90 px 2.5-steps are
                      // too wide, 5-steps with three intervals fit
                      FitCase{"ShortAxis", 90, true, {}, 3},
                      FitCase{"LongLabelsNeverBelowTwo", 60, true, {123456.7, 123457.3}, 2},
                      FitCase{"FixedStepKeepsTheCount", 60, false, {}, 6}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(GraphAxisLayout, TitleMarginsAndLabelOverhang) {
  TXYGraph graph;
  TXYLineSeries series;
  series.SetParentGraph(&graph);
  series.Add(-100, 0);
  series.Add(0, 0);
  TGraphAxis& x = graph.XAxis();
  x.SetTitle("日数");  // 2 wide characters of 16 px: 32 px, at the head
  RecordingCanvas canvas;
  x.Layout({0, 0, 400, 50}, canvas);
  // "-100" (the first label, 2.2 em = 36 px) hangs 18 px left of the start at 5: the start
  // moves in by the 13 px beyond the rectangle.
  EXPECT_DOUBLE_EQ(x.Min(), -100);
  EXPECT_EQ(x.StartPixel(), 5 + 13);
  EXPECT_EQ(x.EndPixel(), 400 - (32 + 5));
  EXPECT_EQ(x.Length(), x.EndPixel() - x.StartPixel());
}

TEST(GraphAxisLayout, TitleMarginAtMostAThird) {
  TGraphAxis y(nullptr, false);
  y.SetLabels(false);
  y.SetTitle("温度");
  RecordingCanvas canvas;
  y.Layout({0, 0, 50, 45}, canvas);  // a title 20 px high + 5 > 45 / 3
  EXPECT_EQ(y.EndPixel(), 15);
  EXPECT_EQ(y.StartPixel(), 40);
}

}  // namespace
}  // namespace orv::xy
