// The history file as the disk screens read it: the saved-data view (the headers and the latest
// line laid out field by field), the history table, and the graph screen over that table (its
// selector, labels, series and axes for every entry), then a paint of the chart.
//
// Input: the history file's bytes (CP932), optionally followed by 0x1E and setting bytes:
//   [0..1] minutes to add to the clock (little-endian, signed), so records land in the past,
//          the present or the future   [2..] entries of the selector to choose in turn
//
// Properties: nothing throws; the graph screen never reports a chart error for anything a file
// holds; the X axis always ends at 0 and begins at a whole number of months before it, with at
// most 30 steps; a series never holds more points than the file has data lines.

#include <string>
#include <vector>

#include "app/disk_grids.h"
#include "app/health_graph.h"
#include "fuzz_support.h"
#include "platform/posix/iconv_codec.h"
#include "fakes/recording_canvas.h"
#include "util/text.h"

namespace orv {
namespace {

void CheckAxes(const HealthGraphPanel& panel, const GridModel& history) {
  const xy::TGraphAxis& x = panel.XYGraph1.XAxis();
  ORV_FUZZ_CHECK(x.Max() == 0, std::to_string(x.Max()));
  ORV_FUZZ_CHECK(x.Min() <= -30 && static_cast<long long>(x.Min()) % 30 == 0, std::to_string(x.Min()));
  ORV_FUZZ_CHECK(-x.Min() / x.TickStep() <= 30, std::to_string(x.Min()) + " / " + std::to_string(x.TickStep()));
  const int dataRows = std::max(0, history.RowCount() - 3);
  for (const xy::TXYLineSeries* s : {&panel.Series1, &panel.Series2, &panel.Series3})
    ORV_FUZZ_CHECK(s->Count() <= dataRows, std::to_string(s->Count()) + " points, " + std::to_string(dataRows) + " rows");
}

}  // namespace
}  // namespace orv

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace orv;
  static const IconvCodec codec;
  const auto parts = fuzz::SplitParts(fuzz::AsText(data, size));
  fuzz::ByteReader settings(parts.size() > 1 ? parts[1] : std::string_view());
  const auto shift = static_cast<int16_t>(settings.Byte() | (settings.Byte() << 8));

  const std::vector<std::string> lines = SplitLines(codec.FromCp932(std::string(parts[0])));

  GridModel saved;
  if (lines.size() >= 3) FillSavedHealthGrid(saved, lines[0], lines[1], lines.back());

  GridModel history;
  LoadHistoryGrid(history, lines);

  DateTime now{2026, 12, 6, 12, 0, 0, 0};
  now = FromDayCount(ToDayCount(now) + shift / 1440.0);
  HealthGraphPanel panel;
  auto error = panel.Open(history, now);
  ORV_FUZZ_CHECK(!error, *error);
  CheckAxes(panel, history);
  const int entries = static_cast<int>(panel.ComboBox1.items.size());
  for (int k = 0; k < 4 && !settings.Empty(); ++k) {
    panel.ComboBox1.itemIndex = static_cast<int>(settings.Below(static_cast<unsigned>(entries + 1))) - 1;
    error = panel.ComboBox1Change(history, now);
    ORV_FUZZ_CHECK(!error, *error);
    CheckAxes(panel, history);
  }
  panel.XYGraph1.SetBounds(480, 320);
  xy::RecordingCanvas canvas;
  try {
    panel.XYGraph1.Paint(canvas);
  } catch (const xy::EXYGraphError&) {
    // Data the axes cannot scale is the one outcome a paint may report; the window keeps going.
  }
  return 0;
}
