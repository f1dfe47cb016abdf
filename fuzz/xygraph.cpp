// The chart component: a random sequence of axis settings (range, origin, step, scale, ticks,
// automatic flags, labels), series points, sizes and paints on a graph with four series.
//
// Input: a stream of operations, each an operation byte followed by its arguments. A number is
// a kind byte then: raw IEEE bits (8 bytes), a small whole number, one of the awkward values
// (zero, -0, infinities, NaN, the extremes, 1e-8 ...), or a 32-bit integer divided by 100.
//
// Properties: only EXYGraphError (the axis and series errors) escapes; a refused axis setting
// leaves every axis value as it was.

#include <cfloat>
#include <cmath>
#include <cstring>
#include <limits>
#include <memory>
#include <string>
#include <vector>

#include "fuzz_support.h"
#include "xyGraph/svg_canvas.h"
#include "xyGraph/xyGraph.h"
#include "xyGraph/xySeries.h"

namespace orv::xy {
namespace {

double Number(fuzz::ByteReader& in) {
  static const double kAwkward[] = {0.0,
                                    -0.0,
                                    1.0,
                                    -1.0,
                                    1e-8,
                                    1e-9,
                                    1e-300,
                                    1e300,
                                    DBL_MAX,
                                    -DBL_MAX,
                                    DBL_MIN,
                                    DBL_TRUE_MIN,
                                    std::numeric_limits<double>::infinity(),
                                    -std::numeric_limits<double>::infinity(),
                                    std::numeric_limits<double>::quiet_NaN(),
                                    kPi,
                                    100.0,
                                    2147483647.0,
                                    9.3e18,
                                    0.1};
  switch (in.Below(4, 1)) {
    case 0: {
      uint64_t bits = in.Le32(0) | (static_cast<uint64_t>(in.Le32(0)) << 32);
      double d;
      std::memcpy(&d, &bits, sizeof d);
      return d;
    }
    case 1: return static_cast<int>(in.Byte(0)) - 128;
    case 2: return kAwkward[in.Below(sizeof kAwkward / sizeof kAwkward[0], 0)];
    default: return static_cast<int32_t>(in.Le32(0)) / 100.0;
  }
}

int SmallInt(fuzz::ByteReader& in) { return static_cast<int>(in.Byte(0)) - 64; }

// Every value a refused setting must leave alone.
struct AxisState {
  double max, min, origin, tickStep, range;
  TAxisScale scale;
  bool autoMax, autoMin, autoOrigin, autoStep;
  int ticksCount, subTicksCount, labelDecimal;

  static AxisState Of(const TGraphAxis& a) {
    return {a.Max(),      a.Min(),     a.Origin(),     a.TickStep(),   a.Range(),          a.AxisScale(),
            a.AutoMax(),  a.AutoMin(), a.AutoOrigin(), a.AutoStep(),   a.TicksCount(),     a.SubTicksCount(),
            a.LabelDecimal()};
  }
  // Bit for bit, so that a NaN equals itself.
  bool operator==(const AxisState& o) const {
    auto same = [](double a, double b) { return std::memcmp(&a, &b, sizeof a) == 0; };
    return same(max, o.max) && same(min, o.min) && same(origin, o.origin) && same(tickStep, o.tickStep) &&
           same(range, o.range) && scale == o.scale && autoMax == o.autoMax && autoMin == o.autoMin &&
           autoOrigin == o.autoOrigin && autoStep == o.autoStep && ticksCount == o.ticksCount &&
           subTicksCount == o.subTicksCount && labelDecimal == o.labelDecimal;
  }
  std::string Text() const {
    return "max " + std::to_string(max) + " min " + std::to_string(min) + " origin " + std::to_string(origin) +
           " step " + std::to_string(tickStep);
  }
};

// Runs one axis setting; when it is refused, the axis must be as it was.
template <typename Set>
void Setting(TGraphAxis& axis, bool loading, Set&& set) {
  const AxisState before = AxisState::Of(axis);
  try {
    set();
  } catch (const EXYGraphError&) {
    if (!loading) {
      const AxisState after = AxisState::Of(axis);
      ORV_FUZZ_CHECK(after == before, before.Text() + " -> " + after.Text());
    }
  }
}

void Run(fuzz::ByteReader& in) {
  TXYGraph graph;
  TXYLineSeries line;
  TXYMarkerSeries markers;
  TXYBubbleSeries bubbles;
  TXYErrorBarSeries bars;
  TXYGraphSeries* series[] = {&line, &markers, &bubbles, &bars};
  for (TXYGraphSeries* s : series) s->SetParentGraph(&graph);

  for (int steps = 0; steps < 64 && !in.Empty(); ++steps) {
    const uint8_t op = in.Byte(0);
    TGraphAxis& axis = (op & 0x80) ? graph.YAxis() : graph.XAxis();
    const bool loading = graph.Loading();
    try {
      switch (op & 0x1F) {
        case 0: Setting(axis, loading, [&, v = Number(in)] { axis.SetMax(v); }); break;
        case 1: Setting(axis, loading, [&, v = Number(in)] { axis.SetMin(v); }); break;
        case 2: Setting(axis, loading, [&, v = Number(in)] { axis.SetOrigin(v); }); break;
        case 3: Setting(axis, loading, [&, v = Number(in)] { axis.SetTickStep(v); }); break;
        case 4: Setting(axis, loading, [&, v = static_cast<TAxisScale>(in.Below(4, 0))] { axis.SetAxisScale(v); }); break;
        case 5: Setting(axis, loading, [&, v = in.Bit()] { axis.SetAutoMax(v); }); break;
        case 6: Setting(axis, loading, [&, v = in.Bit()] { axis.SetAutoMin(v); }); break;
        case 7: Setting(axis, loading, [&, v = in.Bit()] { axis.SetAutoOrigin(v); }); break;
        case 8: Setting(axis, loading, [&, v = in.Bit()] { axis.SetAutoStep(v); }); break;
        case 9: Setting(axis, loading, [&, v = SmallInt(in)] { axis.SetTicksCount(v); }); break;
        case 10: Setting(axis, loading, [&, v = SmallInt(in)] { axis.SetSubTicksCount(v); }); break;
        case 11: Setting(axis, loading, [&, v = SmallInt(in)] { axis.SetLabelDecimal(v); }); break;
        case 12: Setting(axis, loading, [&, v = in.Bit()] { axis.SetAutoDecimal(v); }); break;
        case 13: Setting(axis, loading, [&, v = in.Bit()] { axis.SetInverted(v); }); break;
        case 14: Setting(axis, loading, [&, v = SmallInt(in) * 45] { axis.SetTitleAngle(v); }); break;
        case 15: Setting(axis, loading, [&, v = std::string(in.Bytes(in.Below(16, 0)))] { axis.SetTitle(v); }); break;
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
          axis.AutomaticOrigin(v, Number(in), Number(in));
          break;
        }
        case 28: Setting(axis, loading, [&, v = SmallInt(in)] { axis.SetLabelSpace(v); }); break;
        case 29: Setting(axis, loading, [&, v = in.Bit()] { axis.SetLabelsOnAxis(v); }); break;
        default: {
          SvgCanvas canvas(graph.Width(), graph.Height());
          graph.Paint(canvas);
          canvas.Svg();
          break;
        }
      }
    } catch (const EXYGraphError&) {
      // the documented refusals
    }
  }
  if (graph.Loading()) {
    try {
      graph.EndLoading();
    } catch (const EXYGraphError&) {
    }
  }
  try {
    SvgCanvas canvas(graph.Width(), graph.Height());
    graph.Paint(canvas);
  } catch (const EXYGraphError&) {
  }
}

}  // namespace
}  // namespace orv::xy

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  orv::fuzz::ByteReader in(orv::fuzz::AsText(data, size));
  orv::xy::Run(in);
  return 0;
}
