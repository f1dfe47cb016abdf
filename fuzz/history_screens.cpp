// The history file as the disk screens read it: the saved-data view (the headers and the latest
// line laid out field by field), the history table, and the graph screen over that table (its
// selector, labels, series and axes for every entry), then a paint of the chart.
//
// Input parts: [0] the history file's bytes (CP932); [1] setting bytes: [0..1] minutes to add to
// the clock (little-endian, signed), so records land in the past, the present or the future;
// [2..] entries of the selector to choose in turn.
//
// Properties: nothing throws; the graph screen never reports a chart error for anything a file
// holds; the X axis always ends at 0 and begins at a whole number of months before it, with at
// most 30 steps; a series never holds more points than the file has data lines.

#include "app/disk_grids.h"
#include "app/health_graph.h"
#include "fuzz_support.h"
#include "xyGraph/svg_canvas.h"

namespace {

void CheckAxes(const orv::HealthGraphPanel& panel, const orv::GridModel& history) {
  const orv::xy::TGraphAxis& x = panel.XYGraph1.XAxis();
  ORV_FUZZ_CHECK(x.Max() == 0, x.Max());
  ORV_FUZZ_CHECK(x.Min() <= -30 && static_cast<long long>(x.Min()) % 30 == 0, x.Min());
  ORV_FUZZ_CHECK(-x.Min() / x.TickStep() <= 30, x.Min(), " / ", x.TickStep());
  const int dataRows = std::max(0, history.RowCount() - 3);
  for (const orv::xy::TXYLineSeries* s : {&panel.Series1, &panel.Series2, &panel.Series3})
    ORV_FUZZ_CHECK(s->Count() <= dataRows, s->Count(), " points, ", dataRows, " rows");
}

}  // namespace

ORV_FUZZ_TARGET(input) {
  static const IconvCodec codec;
  const Parts parts(input);
  ByteReader settings(parts[1]);
  const auto shift = static_cast<int16_t>(settings.Byte() | (settings.Byte() << 8));
  const std::vector<std::string> lines = SplitLines(codec.FromCp932(parts.Text(0)));

  GridModel saved, history;
  if (lines.size() >= 3) FillSavedHealthGrid(saved, lines[0], lines[1], lines.back());
  LoadHistoryGrid(history, lines);

  const DateTime now = FromDayCount(ToDayCount(DateTime{2026, 12, 6, 12, 0, 0, 0}) + shift / 1440.0);
  HealthGraphPanel panel;
  auto error = panel.Open(history, now);
  const auto entries = static_cast<unsigned>(panel.ComboBox1.items.size());
  for (int k = 0;; ++k) {
    ORV_FUZZ_CHECK(!error, *error);
    CheckAxes(panel, history);
    if (k == 4 || settings.Empty()) break;
    panel.ComboBox1.itemIndex = static_cast<int>(settings.Below(entries + 1)) - 1;
    error = panel.ComboBox1Change(history, now);
  }
  panel.XYGraph1.SetBounds(480, 320);
  xy::SvgCanvas canvas(panel.XYGraph1.Width(), panel.XYGraph1.Height());
  try {
    panel.XYGraph1.Paint(canvas);
  } catch (const xy::EXYGraphError&) {
    // Data the axes cannot scale is the one outcome a paint may report; the window keeps going.
  }
}
