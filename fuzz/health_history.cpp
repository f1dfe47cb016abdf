// The disk health history file: the save step's AppendHealthHistory over a random existing
// history (and event logs), and the six disk-health rows of the record (DiskHealthItems), which
// fall back on the history's last line when the drive cannot be read.
//
// Input parts: [0] settings: [0] bit 0 the drive cannot be read, bit 1 there is no history file
// yet; [1] minute of the save. [1] the existing history file (CP932). [2] the drive's
// attributes, 6 bytes each: id, flags, current, worst, threshold, raw.
//
// Properties: the disk-health rows are exactly six values; after a save of a readable drive the
// history ends with this save's line, keeps its two header lines and at most 501 lines, and
// every line of the history and the event logs ends with CR LF.

#include "diskhealth/health_history.h"

#include <tuple>

#include "diskhealth/health_items.h"
#include "fakes/fake_platform.h"
#include "fakes/fake_smart_device.h"
#include "fuzz_support.h"

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
  if (unreadable) return;

  const std::string bytes = p.files.Get(history);
  const std::vector<std::string> after = SplitLines(p.codec.FromCp932(bytes));
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
