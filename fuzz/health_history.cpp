// The disk health history file: the save step's AppendHealthHistory over a random existing
// history (and event logs), and the six disk-health rows of the record (DiskHealthItems), which
// fall back on the history's last line when the drive cannot be read.
//
// Input parts (separated by 0x1E):
//   [0] settings: [0] bit 0 the drive cannot be read, bit 1 there is no history file yet;
//       [1] minute of the save
//   [1] the existing history file (CP932)
//   [2] the drive's attributes, 6 bytes each: id, flags, current, worst, threshold, raw
//
// Properties: the disk-health rows are exactly six values; after a save of a readable drive the
// history ends with this save's line, keeps its two header lines and at most 501 lines, and
// every line of the history and the event logs ends with CR LF.

#include <string>
#include <vector>

#include "diskhealth/health_history.h"
#include "diskhealth/health_items.h"
#include "fakes/fake_platform.h"
#include "fakes/fake_smart_device.h"
#include "fuzz_support.h"
#include "util/text.h"

namespace {

const char* const kPcFile = "C:\\tools\\inv\\PC01__WORKGROUP.csv";
const char* const kHistory = "C:\\tools\\inv\\hdd\\PC01__WORKGROUP.csv";

// Lines ended by CR LF; -1 when a CR or LF stands anywhere else or the last line has no end.
long CrLfLines(const std::string& bytes) {
  long lines = 0;
  for (size_t i = 0; i < bytes.size(); ++i) {
    if (bytes[i] == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n') {
      ++lines;
      ++i;
    } else if (bytes[i] == '\r' || bytes[i] == '\n') {
      return -1;
    }
  }
  return bytes.empty() || bytes.back() == '\n' ? lines : -1;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace orv;
  const std::vector<std::string_view> parts = fuzz::SplitParts(fuzz::AsText(data, size));
  fuzz::ByteReader settings(parts[0]);
  const uint8_t flags = settings.Byte(0);
  const bool unreadable = flags & 1;
  const bool noHistory = flags & 2;
  const std::string old = parts.size() > 1 ? std::string(parts[1]) : std::string();

  test::FakePlatform p;
  test::FakeSmartDevice device;
  p.platform.smart = &device;
  p.system.now.minute = settings.Below(60, 0);
  if (!unreadable) {
    std::vector<test::FakeAttr> attrs;
    fuzz::ByteReader in(parts.size() > 2 ? parts[2] : std::string_view());
    while (!in.Empty() && attrs.size() < 30) {
      test::FakeAttr a;
      a.id = in.Byte(0);
      a.flags = in.Byte(0);
      a.current = in.Byte(0);
      a.worst = in.Byte(0);
      a.threshold = in.Byte(0);
      a.raw = in.Byte(0);
      attrs.push_back(a);
    }
    device.PhysicalDrive(0).positions[0] = test::DrivePosition("MODEL, WITH COMMA", "SER0", attrs);
  }
  if (!noHistory) p.files.Put(kHistory, old);

  int values = 0;
  DiskHealthItems(p.platform, kHistory, [&values](const std::string&) { ++values; });
  ORV_FUZZ_CHECK(values == 6, std::to_string(values));

  const std::vector<std::string> before = SplitLines(p.codec.FromCp932(old));
  bool written = false;
  AppendHealthHistory(p.platform, kPcFile, written);
  if (unreadable) return 0;

  const std::string bytes = p.files.Get(kHistory);
  const long lines = CrLfLines(bytes);
  ORV_FUZZ_CHECK(lines > 0, bytes);
  ORV_FUZZ_CHECK(written, "");
  const std::vector<std::string> after = SplitLines(p.codec.FromCp932(bytes));
  ORV_FUZZ_CHECK(static_cast<long>(after.size()) == lines, std::to_string(after.size()));
  ORV_FUZZ_CHECK(after.size() <= kHistoryMaxLines, std::to_string(after.size()));
  if (!noHistory) {
    const size_t expected = before.size() >= kHistoryMaxLines - 1 ? kHistoryMaxLines : before.size() + 1;
    ORV_FUZZ_CHECK(after.size() == expected, std::to_string(after.size()) + " after " + std::to_string(before.size()));
    for (size_t i = 0; i < 2 && i + 1 < after.size() && i < before.size(); ++i)
      ORV_FUZZ_CHECK(after[i] == before[i], after[i] + "\n" + before[i]);
  }
  const std::vector<TSmartResult> drives = ReadHealthDrives(p.platform);
  ORV_FUZZ_CHECK(after.back() == HealthDataLine(p.system.now, drives), after.back());
  for (const char* log : {"_hddfail.txt", "_failed.txt", "_fail_plus_warning.txt"})
    ORV_FUZZ_CHECK(CrLfLines(p.files.Get(std::string("C:\\tools\\inv\\hdd\\") + log)) >= 0, log);
  return 0;
}
