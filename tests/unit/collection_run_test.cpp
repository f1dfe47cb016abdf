// Collection runs on small fake PCs (bare, Windows 98, Windows 10 and 11), each whole record
// compared with its golden file in data/records (CP932, CR LF); run with ORV_RECORD_GOLDEN=1 to
// write the files anew after a deliberate change, and review their diff. And runs whose WMI hangs.
#include <gtest/gtest.h>

#include "app/form1.h"
#include "fakes/case_table.h"
#include "fakes/fake_platform.h"
#include "fakes/fake_wmi.h"
#include "inventory/collection_run.h"
#include "platform/null_services.h"
#include "util/text_file.h"

namespace orv {
namespace {

using test::FakePlatform;

struct Record {
  std::vector<std::string> rows;
  CollectionResult result;
  // Row n (1-based).
  const std::string& Row(int n) const { return rows.at(static_cast<size_t>(n - 1)); }
  void ExpectGolden(const std::string& name) const {
    test::ExpectGoldenFile("records/" + name, EncodeLines(IconvCodec(), rows), "ORV_RECORD_GOLDEN");
  }
};

Record Collect(FakePlatform& p, IWmi* fakeWmi = nullptr, SteadyClock now = nullptr) {
  NullWmi noWmi;
  NullCpu cpu;
  CollectionServices services{p.platform, fakeWmi ? *fakeWmi : noWmi, cpu};
  if (now) services.now = now;
  Record run;
  MemoModel memo;
  run.result = CollectRecord(services, CollectionInput{""}, "C:\\tools\\inv\\", memo,
                             [&run](const std::string& v) { run.rows.push_back(v); });
  return run;
}

TEST(CollectionRun, EveryRowKeepsItsPlaceOnABareMachine) {
  FakePlatform p;
  Record run = Collect(p);
  run.ExpectGolden("bare_pc.csv");
  EXPECT_EQ(run.result.osKind, "NT");
  EXPECT_EQ(run.result.computerStem, "PC01__WORKGROUP");
  p.network.domainMember = true;
  p.network.workgroup = "CORP";
  run = Collect(p);
  EXPECT_EQ(run.Row(5), "");
  EXPECT_EQ(run.Row(6), "CORP");
}

TEST(CollectionRun, RowsOfSmallRegistries) {
  for (const test::Case& c : test::LoadCases("record_collection_rows.txt")) {
    FakePlatform p;
    p.registry.Load(c[0]);
    if (!c[1].empty()) p.files.Put("C:\\Windows\\system32\\oeminfo.ini", c[1]);
    EXPECT_EQ(Collect(p).Row(static_cast<int>(c.Int(2))), c[3]) << c.where;
  }
}

TEST(CollectionRun, NineXRowsFromTheUpdateFileAndTheRegistry) {
  FakePlatform p;
  p.system.os.platformId = 1;
  p.registry.Load("win98.reg");
  std::string au(64, '\0');
  au[16] = 2;
  au.replace(32, 19, "2004.11.22 10:20:30");
  p.files.Put("C:\\Program Files\\WindowsUpdate\\AUState.cfg", au);
  const Record run = Collect(p);
  EXPECT_EQ(run.result.osKind, "9x");
  run.ExpectGolden("win98_pc.csv");
}

TEST(CollectionRun, Windows10And11InTheFixedRows) {
  FakePlatform p;
  p.registry.Load("win10.reg");
  p.shell.admin = false;  // the filtered token of UAC
  p.system.administratorsMember = true;
  test::FakeWmi wmi;
  wmi.classes["Win32_QuickFixEngineering"] = test::ParseWmiListing(
      "HotFixID=KB5026446\nDescription=Security Update\nInstalledOn=5/12/2023\n"
      "HotFixID=KB5012170\nInstalledOn=12/8/2022");
  // Windows 11 Pro's own caption: no service pack (null), the "Microsoft Windows " prefix.
  wmi.classes["Win32_OperatingSystem"] = test::ParseWmiListing(
      test::ReadTestData("wmi/wmi_win32_operatingsystem_formatlist_win11-de-parallels-vm_olray-delphifun.txt"));
  Collect(p, &wmi).ExpectGolden("win10_pc.csv");
  p.system.administratorsMember = false;
  EXPECT_EQ(Collect(p).Row(35), "Non-AdminUser");
}

// A WMI service that hangs or fails to connect costs the rows it feeds, never the run.
TEST(WmiBounds, AServiceThatHangsOrCannotConnectCostsOnlyItsRows) {
  FakePlatform p;
  p.files.Put("C:\\tools\\inv\\regitems.txt", "#wmi:Win32_BIOS.Name 2\r\n#updates 2\r\n// end\r\n");
  test::FakeWmi wmi;
  wmi.hangs = true;
  const auto start = std::chrono::steady_clock::now();
  const Record run = Collect(p, &wmi, [&] { return start + wmi.waited; });
  EXPECT_EQ(run.rows.size(), 90u + 4u + 100u);
  EXPECT_EQ(wmi.waited, kCollectionWmiBudget);  // every call waited, none beyond the budget
  EXPECT_EQ(wmi.asked.size(), 4u);
  for (int row : {13, 48, 51, 62, 70, 91, 93}) EXPECT_EQ(run.Row(row), "") << row;
  test::FakeWmi failsOnce;  // each run connects anew
  failsOnce.classes["Win32_BIOS"] =
      test::ParseWmiListing("SMBIOSBIOSVersion=J5ET56WW\nSMBIOSMajorVersion=2\nSMBIOSMinorVersion=7");
  failsOnce.connectFailures = 1;
  EXPECT_EQ(Collect(p, &failsOnce).Row(51), "");
  EXPECT_EQ(Collect(p, &failsOnce).Row(51), "J5ET56WW v2.7");
}

}  // namespace
}  // namespace orv
