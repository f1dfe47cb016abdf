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

#include <bit>
#include <cfloat>
#include <limits>
#include <map>

#include "fuzz_support.h"
#include "xyGraph/svg_canvas.h"
#include "xyGraph/xySeries.h"

namespace orv::xy {
namespace {

double Number(fuzz::ByteReader& in) {
  constexpr double kInf = std::numeric_limits<double>::infinity();
  static const double kAwkward[] = {0.0,  -0.0,    1.0,      -1.0,    1e-8,         1e-9, 1e-300,
                                    1e300, DBL_MAX, -DBL_MAX, DBL_MIN, DBL_TRUE_MIN, kInf, -kInf,
                                    std::numeric_limits<double>::quiet_NaN(), kPi, 100.0, 2147483647.0, 9.3e18, 0.1};
  switch (in.Below(4, 1)) {
    case 0: return in.Double();
    case 1: return static_cast<int>(in.Byte(0)) - 128;
    case 2: return kAwkward[in.Below(std::size(kAwkward), 0)];
    default: return static_cast<int32_t>(in.Le32(0)) / 100.0;
  }
}

int SmallInt(fuzz::ByteReader& in) { return static_cast<int>(in.Byte(0)) - 64; }

// Every value a refused setting must leave alone; the numbers bit for bit, so that a NaN equals itself.
auto AxisState(const TGraphAxis& a) {
  auto bits = [](double d) { return std::bit_cast<uint64_t>(d); };
  return std::tuple(bits(a.Max()), bits(a.Min()), bits(a.Origin()), bits(a.TickStep()), bits(a.Range()),
                    a.AxisScale(), a.AutoMax(), a.AutoMin(), a.AutoOrigin(), a.AutoStep(), a.TicksCount(),
                    a.SubTicksCount(), a.LabelDecimal());
}
template <typename State>
std::string Text(const State& s) {
  auto number = [](uint64_t bits) { return std::to_string(std::bit_cast<double>(bits)); };
  return "max " + number(std::get<0>(s)) + " min " + number(std::get<1>(s)) + " origin " +
         number(std::get<2>(s)) + " step " + number(std::get<3>(s));
}

// Runs one axis setting; when it is refused, the axis must be as it was.
template <typename Set>
void Setting(TGraphAxis& axis, bool loading, Set&& set) {
  const auto before = AxisState(axis);
  try {
    set();
  } catch (const EXYGraphError&) {
    if (!loading) ORV_FUZZ_CHECK(AxisState(axis) == before, Text(before) + " -> " + Text(AxisState(axis)));
  }
}

// The axis settings of one argument, by operation.
using A = TGraphAxis;
const std::map<int, void (A::*)(double)> kNumberSettings = {
    {0, &A::SetMax}, {1, &A::SetMin}, {2, &A::SetOrigin}, {3, &A::SetTickStep}};
const std::map<int, void (A::*)(bool)> kFlagSettings = {
    {5, &A::SetAutoMax},      {6, &A::SetAutoMin},   {7, &A::SetAutoOrigin},   {8, &A::SetAutoStep},
    {12, &A::SetAutoDecimal}, {13, &A::SetInverted}, {29, &A::SetLabelsOnAxis}};
const std::map<int, void (A::*)(int)> kIntSettings = {
    {9, &A::SetTicksCount}, {10, &A::SetSubTicksCount}, {11, &A::SetLabelDecimal}, {28, &A::SetLabelSpace}};

void Run(fuzz::ByteReader& in) {
  TXYGraph graph;
  TXYLineSeries line;
  TXYMarkerSeries markers;
  TXYBubbleSeries bubbles;
  TXYErrorBarSeries bars;
  TXYGraphSeries* series[] = {&line, &markers, &bubbles, &bars};
  for (TXYGraphSeries* s : series) s->SetParentGraph(&graph);
  auto paint = [&](bool svg) {
    SvgCanvas canvas(graph.Width(), graph.Height());
    graph.Paint(canvas);
    if (svg) canvas.Svg();
  };

  for (int steps = 0; steps < 64 && !in.Empty(); ++steps) {
    const uint8_t op = in.Byte(0);
    const int code = op & 0x1F;
    TGraphAxis& axis = (op & 0x80) ? graph.YAxis() : graph.XAxis();
    const bool loading = graph.Loading();
    try {
      if (auto it = kNumberSettings.find(code); it != kNumberSettings.end()) {
        Setting(axis, loading, [&, v = Number(in)] { (axis.*it->second)(v); });
      } else if (auto it = kFlagSettings.find(code); it != kFlagSettings.end()) {
        Setting(axis, loading, [&, v = in.Bit()] { (axis.*it->second)(v); });
      } else if (auto it = kIntSettings.find(code); it != kIntSettings.end()) {
        Setting(axis, loading, [&, v = SmallInt(in)] { (axis.*it->second)(v); });
      } else {
        switch (code) {
          case 4:
            Setting(axis, loading,
                    [&, v = static_cast<TAxisScale>(in.Below(4, 0))] { axis.SetAxisScale(v); });
            break;
          case 14: Setting(axis, loading, [&, v = SmallInt(in) * 45] { axis.SetTitleAngle(v); }); break;
          case 15:
            Setting(axis, loading, [&, v = std::string(in.Bytes(in.Below(16, 0)))] { axis.SetTitle(v); });
            break;
          case 16: {
            const double x = Number(in), y = Number(in);
            series[in.Below(4, 0)]->Add(x, y);
            break;
          }
          case 17: {
            const double x = Number(in), y = Number(in), z = Number(in);
            bubbles.AddBubble(x, y, z);
            bars.AddErrorBar(x, y, z);
            break;
          }
          case 18: {
            TXYGraphSeries* s = series[in.Below(4, 0)];
            const unsigned at = in.Byte(0);
            if (s->Count() > 0) s->Delete(static_cast<int>(at % static_cast<unsigned>(s->Count())));
            break;
          }
          case 19: series[in.Below(4, 0)]->Clear(); break;
          case 20: series[in.Below(4, 0)]->SetActive(in.Bit()); break;
          case 21: {
            const int w = static_cast<int>(in.Le32(0) % 4096), h = static_cast<int>(in.Le32(0) % 4096);
            graph.SetBounds(w, h);
            break;
          }
          case 22: graph.BeginLoading(); break;
          case 23: graph.EndLoading(); break;
          case 24: graph.SetGridStyle(static_cast<TGraphGridStyle>(in.Below(4, 0))); break;
          case 25: graph.SetAutoAspectRatio(in.Bit()); break;
          case 26: graph.SetTitle({std::string(in.Bytes(in.Below(8, 0))), "line 2"}); break;
          case 27: {
            const double v = Number(in);
            axis.ValueToPixel(v);
            axis.LabelText(v);
            axis.NiceStep(v);
            const double a = Number(in), b = Number(in);
            axis.AutomaticOrigin(v, a, b);
            break;
          }
          default: paint(true);
        }
      }
    } catch (const EXYGraphError&) {
      // the documented refusals
    }
  }
  try {
    if (graph.Loading()) graph.EndLoading();
  } catch (const EXYGraphError&) {
  }
  try {
    paint(false);
  } catch (const EXYGraphError&) {
  }
}

}  // namespace
}  // namespace orv::xy

ORV_FUZZ_TARGET(bytes) {
  ByteReader in(bytes);
  xy::Run(in);
}
