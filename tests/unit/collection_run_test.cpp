#include <gtest/gtest.h>


#include "app/form1.h"
#include "fakes/case_table.h"
#include "fakes/fake_platform.h"
#include "fakes/fake_wmi.h"
#include "inventory/collection_run.h"
#include "platform/null_services.h"
#include "platform/posix/iconv_codec.h"
#include "util/text.h"
#include "util/text_file.h"

namespace orv {
namespace {

using test::FakePlatform;

struct Record {
  std::vector<std::string> rows;
  CollectionResult result;
};

Record Collect(FakePlatform& p, const std::string& saveFolder = "", IWmi* fakeWmi = nullptr) {
  NullWmi noWmi;
  NullCpu cpu;
  CollectionServices services{p.platform, fakeWmi ? *fakeWmi : noWmi, cpu};
  Record run;
  MemoModel memo;
  run.result = CollectRecord(services, CollectionInput{saveFolder}, "C:\\tools\\inv\\", memo,
                             [&run](const std::string& v) { run.rows.push_back(v); });
  return run;
}

// Compares the whole record with data/records/<name> (CP932, CR LF); run with
// ORV_RECORD_GOLDEN=1 to write the files anew after a deliberate change, and review their diff.
void ExpectRecord(const Record& run, const std::string& name) {
  const std::string bytes = EncodeLines(IconvCodec(), run.rows);
  test::ExpectGoldenFile("records/" + name, bytes, "ORV_RECORD_GOLDEN");
}

// Row n of the record (1-based).
const std::string& Row(const Record& run, int n) { return run.rows.at(static_cast<size_t>(n - 1)); }

TEST(CollectionRun, EveryRowKeepsItsPlaceOnABareMachine) {
  FakePlatform p;
  Record run = Collect(p);
  ExpectRecord(run, "bare_pc.csv");
  EXPECT_EQ(run.result.osKind, "NT");
  EXPECT_EQ(run.result.computerStem, "PC01__WORKGROUP");
  p.network.domainMember = true;
  p.network.workgroup = "CORP";
  run = Collect(p);
  EXPECT_EQ(Row(run, 5), "");
  EXPECT_EQ(Row(run, 6), "CORP");
}

TEST(CollectionRun, RowsOfSmallRegistries) {
  for (const test::Case& c : test::LoadCases("record_collection_rows.txt")) {
    FakePlatform p;
    p.registry.Load(c[0]);
    if (!c[1].empty()) p.files.Put("C:\\Windows\\system32\\oeminfo.ini", c[1]);
    EXPECT_EQ(Row(Collect(p), static_cast<int>(c.Int(2))), c[3]) << c.where;
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
  Record run = Collect(p);
  EXPECT_EQ(run.result.osKind, "9x");
  ExpectRecord(run, "win98_pc.csv");
}

TEST(CollectionRun, ClockDifferenceNeedsTheServersClock) {
  FakePlatform p;
  p.files.AddFolder("\\\\srv\\share\\pc");
  p.network.serverTimes[""] = DateTime{2024, 3, 5, 9, 7, 3};
  Record noServer = Collect(p, "\\\\srv\\share\\pc");
  EXPECT_EQ(Row(noServer, 25), "");  // the server did not answer: no made-up difference
}

TEST(CollectionRun, Windows10And11InTheFixedRows) {
  FakePlatform p;
  p.registry.Load("win10.reg");
  p.shell.admin = false;  // the filtered token of UAC
  p.system.administratorsMember = true;
  test::FakeWmi wmi;
  wmi.classes["Win32_QuickFixEngineering"] = test::ParseWmiListing(
      "HotFixID=KB5026446\nDescription=Security Update\nInstalledOn=5/12/2023\nHotFixID=KB5012170\nInstalledOn=12/8/2022");
  // Windows 11 Pro's own caption: no service pack (null), the "Microsoft Windows " prefix.
  wmi.classes["Win32_OperatingSystem"] = test::ParseWmiListing(
      test::ReadTestData("wmi/wmi_win32_operatingsystem_formatlist_win11-de-parallels-vm_olray-delphifun.txt"));
  Record run = Collect(p, "", &wmi);
  ExpectRecord(run, "win10_pc.csv");
  p.system.administratorsMember = false;
  EXPECT_EQ(Row(Collect(p), 35), "Non-AdminUser");
}

TEST(RowFormats, ProgramsArePaddedToOneHundredAndPatchesComeNewestFirst) {
  auto rows = ProgramAndPatchRows(std::vector<std::string>(3, "p"), {"0@Windows A", " 20030709.104512 0@Windows B", "x"});
  ASSERT_EQ(rows.size(), 103u);
  EXPECT_EQ(rows[3], "");
  EXPECT_EQ(rows[100], "");  // a patch without "0@" keeps its row
  EXPECT_EQ(rows[101], "Windows B");
  EXPECT_EQ(rows[102], "Windows A");
  EXPECT_EQ(ProgramAndPatchRows(std::vector<std::string>(120, "x"), {}).size(), 120u);
}

}  // namespace
}  // namespace orv
