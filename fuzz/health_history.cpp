// The disk health history file: the save step's AppendHealthHistory over a random existing
// history (and event logs), the six disk-health rows of the record (DiskHealthItems), which fall
// back on the history's last line when the drive cannot be read, and then the file as the disk
// screens read it: the saved-data view (the headers and the latest line laid out field by field),
// the history table, and the graph screen over that table (its selector, labels, series and axes
// for every entry), then a paint of the chart.
//
// Input parts: [0] settings: [0] bit 0 the drive cannot be read (the file stays as the input has
// it), bit 1 there is no history file yet; [1] minute of the save. [1] the existing history file
// (CP932). [2] the drive's attributes, 6 bytes each: id, flags, current, worst, threshold, raw.
// [3] the screens: [0..1] minutes to add to their clock (little-endian, signed), so records land
// in the past, the present or the future; [2..] entries of the selector to choose in turn.
//
// Properties: the disk-health rows are exactly six values; after a save of a readable drive the
// history ends with this save's line, keeps its two header lines and at most 501 lines, and
// every line of the history and the event logs ends with CR LF. The screens never throw and the
// graph screen never reports a chart error for anything a file holds; the X axis always ends at 0
// and begins at a whole number of months before it, with at most 30 steps; a series never holds
// more points than the file has data lines.

#include "diskhealth/health_history.h"

#include <tuple>

#include "app/disk_grids.h"
#include "app/health_graph.h"
#include "diskhealth/health_items.h"
#include "fakes/fake_platform.h"
#include "fakes/fake_smart_device.h"
#include "fuzz_support.h"
#include "xyGraph/svg_canvas.h"

namespace orv {
namespace {

void CheckAxes(const HealthGraphPanel& panel, const GridModel& history) {
  const xy::TGraphAxis& x = panel.XYGraph1.XAxis();
  ORV_FUZZ_CHECK(x.Max() == 0, x.Max());
  ORV_FUZZ_CHECK(x.Min() <= -30 && static_cast<long long>(x.Min()) % 30 == 0, x.Min());
  ORV_FUZZ_CHECK(-x.Min() / x.TickStep() <= 30, x.Min(), " / ", x.TickStep());
  const int dataRows = std::max(0, history.RowCount() - 3);
  for (const xy::TXYLineSeries* s : {&panel.Series1, &panel.Series2, &panel.Series3})
    ORV_FUZZ_CHECK(s->Count() <= dataRows, s->Count(), " points, ", dataRows, " rows");
}

// The saved-data view, the history table and the graph screen over the history's lines.
void ReadAsTheScreensDo(const std::vector<std::string>& lines, fuzz::ByteReader settings) {
  GridModel saved, history;
  if (lines.size() >= 3) FillSavedHealthGrid(saved, lines[0], lines[1], lines.back());
  LoadHistoryGrid(history, lines);

  const auto shift = static_cast<int16_t>(settings.Byte() | (settings.Byte() << 8));
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

}  // namespace
}  // namespace orv

ORV_FUZZ_TARGET(input) {
  const std::string folder = "C:\\tools\\inv\\hdd\\", history = folder + "PC01__WORKGROUP.csv";
  const Parts parts(input);
  ByteReader settings(parts[0]);
  const uint8_t flags = settings.Byte();
  const bool unreadable = flags & 1, noHistory = flags & 2;
  test::FakePlatform p;
  p.system.now.minute = settings.Below(60);
  test::FakeSmartDevice device;
  p.platform.smart = &device;
  std::vector<test::FakeAttr> attrs;
  for (ByteReader in(parts[2]); !unreadable && !in.Empty() && attrs.size() < 30;) {
    test::FakeAttr& a = attrs.emplace_back();
    std::tie(a.id, a.flags, a.current, a.worst, a.threshold, a.raw) =
        std::tuple{in.Byte(), in.Byte(), in.Byte(), in.Byte(), in.Byte(), in.Byte()};  // read in order
  }
  if (!unreadable)
    device.PhysicalDrive(0).positions[0] = test::DrivePosition("MODEL, WITH COMMA", "SER0", attrs);
  if (!noHistory) p.files.Put(history, parts.Text(1));

  int values = 0;
  DiskHealthItems(p.platform, history, [&values](const std::string&) { ++values; });
  ORV_FUZZ_CHECK(values == 6, values);

  const std::vector<std::string> before = SplitLines(p.codec.FromCp932(parts.Text(1)));
  bool written = false;
  AppendHealthHistory(p.platform, "C:\\tools\\inv\\PC01__WORKGROUP.csv", written);
  const std::string bytes = p.files.Get(history);
  const std::vector<std::string> after = SplitLines(p.codec.FromCp932(bytes));
  ReadAsTheScreensDo(after, ByteReader(parts[3]));
  if (unreadable) return;

  ORV_FUZZ_CHECK(written && !after.empty() && CrLfLines(bytes) == static_cast<long>(after.size()) &&
                     after.size() <= kHistoryMaxLines,
                 bytes);
  if (!noHistory) {
    const size_t expected = before.size() >= kHistoryMaxLines - 1 ? kHistoryMaxLines : before.size() + 1;
    ORV_FUZZ_CHECK(after.size() == expected, after.size(), " after ", before.size());
    for (size_t i = 0; i < 2 && i + 1 < after.size() && i < before.size(); ++i)
      ORV_FUZZ_CHECK(after[i] == before[i], after[i], "\n", before[i]);
  }
  ORV_FUZZ_CHECK(after.back() == HealthDataLine(p.system.now, ReadHealthDrives(p.platform)), after.back());
  for (const char* log : {"_hddfail.txt", "_failed.txt", "_fail_plus_warning.txt"})
    ORV_FUZZ_CHECK(CrLfLines(p.files.Get(folder + log)) >= 0, log);
}
