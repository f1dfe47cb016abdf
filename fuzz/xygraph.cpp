// The chart component: a random sequence of axis settings (range, origin, step, scale, ticks,
// automatic flags, labels), series points, sizes and paints on a graph with four series.
//
// Input: a stream of operations, each an operation byte followed by its arguments. A number is
// a kind byte then: raw IEEE bits (8 bytes), a small whole number, one of the awkward values
// (zero, -0, infinities, NaN, the extremes, 1e-8 ...), or a 32-bit integer divided by 100.
//
// Properties: only EXYGraphError (the axis and series errors) escapes; a refused axis setting
// leaves every axis value as it was.

#include "xyGraph/xyGraph.h"

#include <cfloat>
#include <cmath>
#include <functional>
#include <map>

#include "fuzz_support.h"
#include "xyGraph/svg_canvas.h"
#include "xyGraph/xySeries.h"

namespace orv::xy {
namespace {

using fuzz::ByteReader;

double Number(ByteReader& in) {
  static const double kAwkward[] = {0.0,   -0.0,    1.0,      -1.0,         1e-8,         1e-9,     1e-300,
                                    1e300, DBL_MAX, -DBL_MAX, DBL_MIN,      DBL_TRUE_MIN, HUGE_VAL, -HUGE_VAL,
                                    NAN,   kPi,     100.0,    2147483647.0, 9.3e18,       0.1};
  switch (in.Below(4, 1)) {
    case 0: return in.Double();
    case 1: return static_cast<int>(in.Byte()) - 128;
    case 2: return kAwkward[in.Below(std::size(kAwkward))];
    default: return static_cast<int32_t>(in.Le32()) / 100.0;
  }
}

int SmallInt(ByteReader& in) { return static_cast<int>(in.Byte()) - 64; }
bool Flag(ByteReader& in) { return in.Bit(); }
TAxisScale Scale(ByteReader& in) { return static_cast<TAxisScale>(in.Below(4)); }
int Angle(ByteReader& in) { return SmallInt(in) * 45; }
std::string Title(ByteReader& in) { return std::string(in.Bytes(in.Below(16))); }

// Every value a refused setting must leave alone, the numbers in hexadecimal: exact, and a NaN
// equals itself.
std::string AxisState(const TGraphAxis& a) {
  std::ostringstream s;
  s << std::hexfloat << a.Max() << ' ' << a.Min() << ' ' << a.Origin() << ' ' << a.TickStep() << ' '
    << a.Range() << ' ' << static_cast<int>(a.AxisScale()) << a.AutoMax() << a.AutoMin() << a.AutoOrigin()
    << a.AutoStep() << ' ' << a.TicksCount() << ' ' << a.SubTicksCount() << ' ' << a.LabelDecimal();
  return s.str();
}

// An axis setting with the reader of its argument.
using AxisSetting = std::function<void(TGraphAxis&, ByteReader&)>;
template <typename Value, typename Read>
AxisSetting Set(void (TGraphAxis::*set)(Value), Read read) {
  return [=](TGraphAxis& axis, ByteReader& in) { (axis.*set)(read(in)); };
}

using A = TGraphAxis;
// By operation code (as the seeds and regressions of fuzz/corpus and fuzz/regressions use them).
// clang-format off
const std::map<int, AxisSetting> kAxisSettings = {
    {0, Set(&A::SetMax, Number)},           {1, Set(&A::SetMin, Number)},          {2, Set(&A::SetOrigin, Number)},
    {3, Set(&A::SetTickStep, Number)},      {4, Set(&A::SetAxisScale, Scale)},     {5, Set(&A::SetAutoMax, Flag)},
    {6, Set(&A::SetAutoMin, Flag)},         {7, Set(&A::SetAutoOrigin, Flag)},     {8, Set(&A::SetAutoStep, Flag)},
    {9, Set(&A::SetTicksCount, SmallInt)},  {10, Set(&A::SetSubTicksCount, SmallInt)},
    {11, Set(&A::SetLabelDecimal, SmallInt)}, {12, Set(&A::SetAutoDecimal, Flag)},
    {13, Set(&A::SetInverted, Flag)},       {14, Set(&A::SetTitleAngle, Angle)},   {15, Set(&A::SetTitle, Title)},
    {28, Set(&A::SetLabelSpace, SmallInt)}, {29, Set(&A::SetLabelsOnAxis, Flag)}};
// clang-format on

std::string Paint(TXYGraph& graph) {
  SvgCanvas canvas(graph.Width(), graph.Height());
  graph.Paint(canvas);
  return canvas.Svg();
}

struct Chart {
  TXYGraph graph;
  TXYLineSeries line;
  TXYMarkerSeries markers;
  TXYBubbleSeries bubbles;
  TXYErrorBarSeries bars;
  TXYGraphSeries* const series[4] = {&line, &markers, &bubbles, &bars};

  Chart() {
    for (TXYGraphSeries* s : series) s->SetParentGraph(&graph);
  }
  TXYGraphSeries& Some(ByteReader& in) { return *series[in.Below(4)]; }
  void Step(ByteReader& in);
};

// One operation on the graph or on one of its axes or series.
void Chart::Step(ByteReader& in) {
  const uint8_t op = in.Byte();
  TGraphAxis& axis = (op & 0x80) ? graph.YAxis() : graph.XAxis();
  if (auto setting = kAxisSettings.find(op & 0x1F); setting != kAxisSettings.end()) {
    const bool loading = graph.Loading();  // settings while loading are stored unchecked
    const std::string before = AxisState(axis);
    try {
      setting->second(axis, in);
    } catch (const EXYGraphError&) {
      if (!loading) ORV_FUZZ_CHECK(AxisState(axis) == before, before, " -> ", AxisState(axis));
    }
    return;
  }
  switch (op & 0x1F) {
    case 16: {
      const double x = Number(in), y = Number(in);
      Some(in).Add(x, y);
      break;
    }
    case 17: {
      const double x = Number(in), y = Number(in), z = Number(in);
      bubbles.AddBubble(x, y, z), bars.AddErrorBar(x, y, z);
      break;
    }
    case 18: {
      TXYGraphSeries& s = Some(in);
      const unsigned at = in.Byte();
      if (s.Count() > 0) s.Delete(static_cast<int>(at % static_cast<unsigned>(s.Count())));
      break;
    }
    case 19: Some(in).Clear(); break;
    case 20: Some(in).SetActive(in.Bit()); break;
    case 21: {
      const int w = static_cast<int>(in.Le32() % 4096), h = static_cast<int>(in.Le32() % 4096);
      graph.SetBounds(w, h);
      break;
    }
    case 22: graph.BeginLoading(); break;
    case 23: graph.EndLoading(); break;
    case 24: graph.SetGridStyle(static_cast<TGraphGridStyle>(in.Below(4))); break;
    case 25: graph.SetAutoAspectRatio(in.Bit()); break;
    case 26: graph.SetTitle({std::string(in.Bytes(in.Below(8))), "line 2"}); break;
    case 27: {
      const double v = Number(in), a = Number(in), b = Number(in);
      axis.ValueToPixel(v), axis.LabelText(v), axis.NiceStep(v), axis.AutomaticOrigin(v, a, b);
      break;
    }
    default: Paint(graph);
  }
}

}  // namespace
}  // namespace orv::xy

ORV_FUZZ_TARGET(bytes) {
  xy::Chart chart;
  ByteReader in(bytes);
  // An EXYGraphError is a documented refusal; any other exception escapes and is reported.
  for (int steps = 0; steps < 64 && !in.Empty(); ++steps) try {
      chart.Step(in);
    } catch (const xy::EXYGraphError&) {
    }
  try {
    if (chart.graph.Loading()) chart.graph.EndLoading();
    xy::Paint(chart.graph);
  } catch (const xy::EXYGraphError&) {
  }
}
