// Collection runs on small fake PCs (bare, Windows 98, Windows 10 and 11), each whole record
// compared with its golden file in data/records (CP932, CR LF); run with ORV_RECORD_GOLDEN=1 to
// write the files anew after a deliberate change, and review their diff.
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

Record Collect(FakePlatform& p, IWmi* fakeWmi = nullptr) {
  NullWmi noWmi;
  NullCpu cpu;
  CollectionServices services{p.platform, fakeWmi ? *fakeWmi : noWmi, cpu};
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

}  // namespace
}  // namespace orv
