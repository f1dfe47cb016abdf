// The six disk-health rows of the inventory record: live from drive 0, else from the last line of
// the history file, else six empty values.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "diskhealth/health_history.h"
#include "diskhealth/health_items.h"
#include "fakes/fake_platform.h"
#include "fakes/fake_smart_device.h"

namespace orv {
namespace {

using test::FakeAttr;

const char* const kPcFile = "C:\\tools\\inv\\PC01__WORKGROUP.csv";
const char* const kHistory = "C:\\tools\\inv\\hdd\\PC01__WORKGROUP.csv";

const std::vector<FakeAttr> kDrive = {
    {1, 0x000B, 100, 100, 0, 62},
    {5, 0x0033, 69, 80, 12, 50},           // warning band
    {10, 0x0013, 100, 100, 0, 60},
    {194, 0x0022, 36, 45, 0x2D00140024ULL, 0},  // 36 now, 20 lowest; byte 0 = current: worst 45
};

class HealthItems : public ::testing::Test {
 public:
  void SetUp() override { fake.platform.smart = &device; }

  std::vector<std::string> Items() {
    std::vector<std::string> values;
    DiskHealthItems(fake.platform, kHistory, [&](const std::string& v) { values.push_back(v); });
    return values;
  }
  void PutHistory(const std::string& utf8) { fake.files.Put(kHistory, fake.codec.ToCp932(utf8)); }

  test::FakePlatform fake;
  test::FakeSmartDevice device;
};

TEST_F(HealthItems, LiveValuesOfDriveZero) {
  device.PhysicalDrive(0).positions[0] = test::DrivePosition("M", "S", kDrive);
  PutHistory("ignored\r\n");
  EXPECT_EQ(Items(), (std::vector<std::string>{"0/1", "OK/100/100/62", "警戒/69/80/50/12", "", "OK/100/100/60",
                                               "-/36/45/0/36/45"}));
  for (const auto& o : device.opens) EXPECT_EQ(o.path, "\\\\.\\PhysicalDrive0");  // drive 0 only
}

TEST_F(HealthItems, SavedLineStandsInWhenTheDriveCannotBeRead) {
  PutHistory(
      "DateTime,DayOfWeek,DriveNum\r\n日時,曜日番号\r\n"
      "2026/11/29 08:00:00,1,0,1,OLD,S,30,40,20,0,0,0,1,1,OK,100,100,62,0,,,,,,,,,,,,,,,,,,,,,,,,,,\r\n"
      "2026/11/30 09:15:00,2,0,114473,MODEL X,SER1,38,47,21,3,1,2,150,2001,OK,100,100,62,0,故障,40,40,50,3,,,,,,"
      "-,100,100,0,0,OK,150,150,21,0,-,38,47,0,12345,,,,,,0,0,7,4,2,3,5,6,\r\n");
  EXPECT_EQ(Items(), (std::vector<std::string>{"1/2 (2026/11/30 09:15:00)", "OK/100/100/62", "故障/40/40/50/3", "///",
                                               "-/100/100/0", "-/38/47/0/38/47"}));
}

TEST_F(HealthItems, NoHistoryGivesSixEmptyValues) {
  for (const char* content : {static_cast<const char*>(nullptr), ""}) {
    fake.files = test::FakeFiles();
    if (content) PutHistory(content);
    EXPECT_EQ(Items(), std::vector<std::string>(6, ""));
  }
  fake.files.Put(kHistory, "x");
  fake.files.failReads.insert("c:\\tools\\inv\\hdd\\pc01__workgroup.csv");
  EXPECT_EQ(Items(), std::vector<std::string>(6, ""));
}

}  // namespace
}  // namespace orv
