// The six disk-health rows of the inventory record: live from drive 0, else from the last line of
// the history file, else six empty values.
#include <gtest/gtest.h>

#include "diskhealth/disks_word.h"
#include "diskhealth/health_items.h"
#include "fakes/fake_platform.h"
#include "fakes/fake_smart_device.h"

namespace orv {
namespace {

using Values = std::vector<std::string>;
const char* const kHistory = "C:\\tools\\inv\\hdd\\PC01__WORKGROUP.csv";
const std::string kSaved =
    "DateTime,DayOfWeek,DriveNum\r\n日時,曜日番号\r\n"
    "2026/11/29 08:00:00,1,0,1,OLD,S,30,40,20,0,0,0,1,1,OK,100,100,62,0,,,,,,,,,,,,,,,,,,,,,,,,,,\r\n"
    "2026/11/30 09:15:00,2,0,114473,MODEL X,SER1,38,47,21,3,1,2,150,2001,OK,100,100,62,0,故障,40,40,50,3,,,,,,"
    "-,100,100,0,0,OK,150,150,21,0,-,38,47,0,12345,,,,,,0,0,7,4,2,3,5,6,\r\n";

TEST(HealthItems, LiveThenSavedThenEmpty) {
  struct Case {
    bool drive;
    std::optional<std::string> history;  // UTF-8; nullopt: no file
    bool unreadable;
    Values items;
  } const cases[] = {
      // 194: 36 now, 20 lowest; byte 0 equals the current value, so the worst value 45 is the highest.
      {true, "ignored\r\n", false, {"0/1", "OK/100/100/62", "警戒/69/80/50/12", "", "OK/100/100/60", "-/36/45/0/36/45"}},
      {false, kSaved, false, {"1/2 (2026/11/30 09:15:00)", "OK/100/100/62", "故障/40/40/50/3", "///", "-/100/100/0",
                              "-/38/47/0/38/47"}},
      {false, "", false, Values(6, "")},
      {false, kSaved, true, Values(6, "")},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.items[0]);
    test::FakePlatform fake;
    test::FakeSmartDevice device;
    fake.platform.smart = &device;
    if (c.drive)
      device.PhysicalDrive(0).positions[0] = test::DrivePosition(
          "M", "S", {{194, 0x0022, 36, 45, 0x2D00140024ULL, 0}, {1, 0x000B, 100, 100, 0, 62},
                     {5, 0x0033, 69, 80, 12, 50}, {10, 0x0013, 100, 100, 0, 60}});
    if (c.history) fake.files.Put(kHistory, fake.codec.ToCp932(*c.history));
    if (c.unreadable) fake.files.failReads.insert("c:\\tools\\inv\\hdd\\pc01__workgroup.csv");
    Values items;
    DiskHealthItems(fake.platform, kHistory, [&](const std::string& v) { items.push_back(v); });
    EXPECT_EQ(items, c.items);
    for (const auto& o : device.opens) EXPECT_EQ(o.path, "\\\\.\\PhysicalDrive0");  // drive 0 only
    // The temperature of the disks row comes from attribute 194 in any slot, the first too.
    if (c.drive) { EXPECT_EQ(DisksWordValues(fake.platform, 1), Values{"0 ATA M 114473MB 警戒 36℃"}); }
  }
}

}  // namespace
}  // namespace orv
