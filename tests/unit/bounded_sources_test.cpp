// A WMI service that hangs or fails to connect costs the rows it feeds, never the run.
#include <gtest/gtest.h>

#include "app/form1.h"
#include "fakes/fake_platform.h"
#include "fakes/fake_wmi.h"
#include "inventory/collection_run.h"
#include "platform/null_services.h"

namespace orv {
namespace {

std::vector<std::string> Collect(test::FakePlatform& p, CollectionServices services) {
  MemoModel memo;
  std::vector<std::string> rows;
  CollectRecord(services, CollectionInput{}, "C:\\tools\\inv\\", memo, [&rows](const std::string& v) { rows.push_back(v); });
  return rows;
}

TEST(WmiBounds, AServiceThatNeverAnswersStopsBeingAskedWhenTheRunsBudgetIsSpent) {
  test::FakePlatform p;
  p.files.Put("C:\\tools\\inv\\regitems.txt", "#wmi:Win32_BIOS.Name 2\r\n#updates 2\r\n// end\r\n");
  test::FakeWmi wmi;
  wmi.hangs = true;
  NullCpu cpu;
  const auto start = std::chrono::steady_clock::now();
  CollectionServices services{p.platform, wmi, cpu};
  services.now = [&] { return start + wmi.waited; };
  const std::vector<std::string> rows = Collect(p, services);
  EXPECT_EQ(rows.size(), 90u + 4u + 100u);
  EXPECT_EQ(wmi.waited, kCollectionWmiBudget);  // every call waited, none beyond the budget
  EXPECT_EQ(wmi.asked.size(), 4u);
  for (int row : {13, 48, 51, 62, 70, 91, 93}) EXPECT_EQ(rows[row - 1], "") << row;
}

TEST(WmiBounds, EachRunConnectsAnew) {
  test::FakePlatform p;
  test::FakeWmi wmi;
  wmi.classes["Win32_BIOS"] = test::ParseWmiListing("SMBIOSBIOSVersion=J5ET56WW\nSMBIOSMajorVersion=2\nSMBIOSMinorVersion=7");
  wmi.connectFailures = 1;
  NullCpu cpu;
  EXPECT_EQ(Collect(p, {p.platform, wmi, cpu})[50], "");  // row 51: the first run's connection failed
  EXPECT_EQ(Collect(p, {p.platform, wmi, cpu})[50], "J5ET56WW v2.7");
}

}  // namespace
}  // namespace orv
