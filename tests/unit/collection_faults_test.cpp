// A collection run on a fully described PC with one platform call failing, for every call the run
// makes in turn: the run never stops, and every row keeps its place with either its value or the
// value its source gives on a failure.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "app/form1.h"
#include "fakes/case_table.h"
#include "fakes/failing_platform.h"
#include "fakes/fake_cpu.h"
#include "fakes/fake_platform.h"
#include "fakes/fake_smart_device.h"
#include "fakes/fake_wmi.h"
#include "inventory/collection_run.h"
#include "platform/posix/iconv_codec.h"
#include "util/text_file.h"

namespace orv {
namespace {

using test::FailingPlatform;
using test::FaultPlan;
using test::ScalarProperty;
using Rows = std::vector<std::string>;

const char kProgramFolder[] = "C:\\tools\\inv\\";
const char kSaveFolder[] = "\\\\srv\\share\\pc";
constexpr size_t kPatchRows = 1;  // the machine's one patch, last in the record

std::vector<WmiInstance> Listing(const std::string& file) {
  return test::ParseWmiListing(test::ReadTestData("wmi/" + file));
}

// A PC on which every row of the record has a value of its own: registry (data/registry/
// full_pc.reg), WMI answers of real machines, a drive with S.M.A.R.T. data and a history,
// printers, network, a script.
struct Machine {
  test::FakePlatform fake;
  test::FakeWmi wmi;
  test::FakeSmartDevice smart;
  test::FakeCpu cpu;

  Machine() {
    fake.platform.wmi = &wmi;
    fake.platform.smart = &smart;
    fake.platform.cpu = &cpu;
    cpu.SetVendor("GenuineIntel", 1);
    cpu.leaves[1].edx = 1u << 4;  // a time-stamp counter: 3 GHz over the 1.2 s it is timed
    cpu.stampStep = 3600000000ULL;
    fake.registry.Load("full_pc.reg");
    Wmi();
    Rest();
  }

  void Wmi() {
    wmi.classes["Win32_Processor"] =
        Listing("wmi_win32_processor_formatlist_gha-windows2022-azure_maruel-query-github-runner.txt");
    wmi.classes["Win32_OperatingSystem"] =
        Listing("wmi_win32_operatingsystem_formatlist_win11-de-parallels-vm_olray-delphifun.txt");
    wmi.classes["Win32_PhysicalMemory"] =
        Listing("wmi_win32_physicalmemory_wmic-listfull_lenovo-t490_oc-little-translated.txt");
    wmi.classes["Win32_PhysicalMemoryArray"] =
        test::ParseWmiColumns(test::ReadTestData("wmi/wmi_win32_baseboard_memphysical_systeminfo_win7-asrock_jekyll-post.txt"),
                              "MaxCapacity");
    auto lenovo = Listing("wmi_win32_bios_and_baseboard_wmic-listfull_lenovo-20DC-japanese_go-comment.txt");
    wmi.classes["Win32_BIOS"] = {lenovo.at(0)};
    wmi.classes["Win32_BaseBoard"] = {lenovo.at(1)};
    wmi.classes["Win32_ComputerSystem"] = {
        WmiInstance{{ScalarProperty("Manufacturer", 8, std::string("LENOVO")),
                     ScalarProperty("Model", 8, std::string("20DCA09BCD"))}}};
    wmi.classes["Win32_CDROMDrive"] =
        Listing("wmi_win32_cdromdrive_formatlist_azure-vm_storagedsc-issue289_TRUNCATED.txt");
    wmi.classes["Win32_DiskDrive"] =
        Listing("wmi_win32_diskdrive_wmic-value_virtualbox-win10_systeminformation-issue421.txt");
    wmi.classes["Win32_PhysicalMedia"] = {
        WmiInstance{{ScalarProperty("SerialNumber", 8, std::string("VB48714f98-fcbf9ac2")),
                     ScalarProperty("Tag", 8, std::string(R"(\\.\PHYSICALDRIVE0)"))}}};
    // The real listing prints the adapter in two blocks.
    auto adapter = test::MergeInstances(
        Listing("wmi_win32_networkadapterconfiguration_wmic-list_zee-pc-tplink_batch-comment.txt"));
    auto texts = [](std::initializer_list<const char*> list) {
      std::vector<WmiScalar> out;
      for (const char* t : list) out.emplace_back(std::string(t));
      return out;
    };
    *test::FindProperty(adapter, "DefaultIPGateway") = test::ArrayProperty("DefaultIPGateway", 8, texts({"10.0.0.1"}));
    *test::FindProperty(adapter, "DNSServerSearchOrder") =
        test::ArrayProperty("DNSServerSearchOrder", 8, texts({"10.0.0.53", "10.0.0.54"}));
    *test::FindProperty(adapter, "WINSPrimaryServer") = ScalarProperty("WINSPrimaryServer", 8, std::string("10.0.0.7"));
    WmiInstance second = adapter;
    *test::FindProperty(second, "IPAddress") = test::ArrayProperty("IPAddress", 8, texts({"192.168.1.20"}));
    wmi.classes["Win32_NetworkAdapterConfiguration"] = {adapter, second};
  }

  void Rest() {
    auto& s = fake.system;
    s.drives['C'] = DriveFacts{3, "NTFS", true, 256ULL << 30, 100ULL << 30};
    s.drives['D'] = DriveFacts{3, "FAT32", true, 32ULL << 30, 8ULL << 30};
    s.defaultPrinter = "Laser1";
    s.printers = {"Laser1"};
    s.printerColors["Laser1"] = 2;
    s.imeName = "Microsoft IME";
    s.environment["USERNAME"] = "sato";
    s.uptimeMs = 5 * 3600 * 1000ULL;
    auto& n = fake.network;
    n.hosts[""] = HostLookup{HostLookup::Status::Ok, {127, 0, 0, 1}};
    n.hosts["pc01"] = HostLookup{HostLookup::Status::Ok, {192, 168, 1, 20}};
    n.serverTimes[""] = DateTime{2024, 3, 5, 9, 7, 3};
    n.serverTimes["\\\\srv"] = DateTime{2024, 3, 5, 9, 5, 33};
    n.dialUp.entries = {{"Office", std::string("sato")}};
    fake.files.AddFolder(kSaveFolder);
    fake.files.Put("C:\\Windows\\system32\\oeminfo.ini", "[General]\r\nManufacturer=Lenovo\r\nModel=E450\r\n");
    // Drive 0 with one attribute in the warning band; the history has one earlier line.
    smart.PhysicalDrive(0).positions[0] =
        test::DrivePosition("WDC WD30EFRX", "WD-1",
                            {{1, 0x000B, 100, 100, 0, 62}, {5, 0x0033, 60, 60, 0, 36}, {7, 0x000F, 100, 100, 0, 30},
                             {10, 0x0013, 100, 100, 0, 60}, {194, 0x0022, 40, 45, 40, 0}});
    fake.files.Put(std::string(kSaveFolder) + "\\hdd\\PC01__WORKGROUP.csv",
                   EncodeLines(fake.codec, {"DateTime,DayOfWeek", "日時,曜日番号",
                                            "2024/03/01 10:00:00,6,0,1,M,S,39,44,0,0,0,1,5,6,OK,100,100,62,0,"
                                            "警戒,60,60,36,0"}));
    const Rows script = {"HKEY_LOCAL_MACHINE", "\\Software\\Microsoft\\Windows NT\\CurrentVersion",
                         "RegisteredOwner==Owner", "%InstallDate==Installed", "/UninstallInfo",
                         "#printers 1",        "$USERNAME",           "// end"};
    fake.files.Put(std::string(kProgramFolder) + "regitems.txt", EncodeLines(fake.codec, script));
  }
};

struct Outcome {
  Rows rows;
  std::string failure;  // what went wrong beyond a documented value
};

// One collection run with call `failAt` of the platform failing (0: none); `plan` counts the calls.
Outcome Collect(long failAt, FaultPlan& plan) {
  Machine m;
  plan.FailCall(failAt);
  FailingPlatform failing(m.fake.platform, plan);
  CollectionServices services{failing.platform, *failing.platform.wmi, m.cpu, nullptr};
  MemoModel memo;
  Outcome run;
  try {
    CollectRecord(services, CollectionInput{kSaveFolder}, kProgramFolder, memo, [&run](const std::string& v) { run.rows.push_back(v); });
  } catch (const std::exception& e) {
    run.failure = std::string("exception: ") + e.what();
  }
  return run;
}

// Whether `value` is what row `row` documents when one of its sources fails
// (data/cases/record_fault_fallbacks.txt). Every row may be empty except those listed with the
// only texts they have then; rows built from several sources may lose one part.
bool IsFallback(int row, const std::string& value, const Rows& baseline) {
  static std::map<int, std::set<std::string>> kOnly, kAlso;
  if (kOnly.empty())
    for (const test::Case& c : test::LoadCases("record_fault_fallbacks.txt"))
      (c[1] == "only" ? kOnly : kAlso)[static_cast<int>(c.Int(0))].insert(c.fields.begin() + 2, c.fields.end());
  if (auto it = kOnly.find(row); it != kOnly.end()) return it->second.count(value) > 0;
  if (value.empty()) return true;
  if (auto it = kAlso.find(row); it != kAlso.end() && it->second.count(value)) return true;
  // The program rows are a sorted list: an entry that could not be read is left out (the others
  // move up), one whose version could not be read keeps its name.
  const size_t programs = baseline.size() - kPatchRows - 100;
  if (row > static_cast<int>(programs)) {
    for (size_t i = programs; i < programs + 100; ++i)
      if (!baseline[i].empty() && (value == baseline[i] || value == "会計ソフト  ")) return true;
  }
  return false;
}

// The whole record of the PC, compared with data/records/full_pc.csv (CP932, CR LF); run with
// ORV_RECORD_GOLDEN=1 to write the file anew after a deliberate change, and review its diff.
TEST(CollectionRun, RecordOfAFullyDescribedPc) {
  FaultPlan none;
  const std::string record = EncodeLines(IconvCodec(), Collect(0, none).rows);
  const std::string golden = std::string(ORV_TEST_DATA) + "/records/full_pc.csv";
  if (std::getenv("ORV_RECORD_GOLDEN")) std::ofstream(golden, std::ios::binary) << record;
  EXPECT_EQ(record, test::ReadTestData("records/full_pc.csv"));
}

TEST(CollectionFaults, EveryFailingCallLeavesEveryRowInPlace) {
  FaultPlan counting;
  const Outcome baseline = Collect(0, counting);
  ASSERT_EQ(baseline.failure, "");
  const long calls = counting.Calls();
  ASSERT_GT(calls, 100);
  // The machine describes every fixed row (a row that is empty anyway would prove nothing).
  const std::set<size_t> alwaysEmpty = {6, 7, 33};  // the domain of a workgroup PC, two unused rows
  for (size_t row = 1; row <= 90; ++row)
    EXPECT_EQ(baseline.rows[row - 1].empty(), alwaysEmpty.count(row) > 0) << "row " << row;

  for (long n = 1; n <= calls; ++n) {
    FaultPlan plan;
    const Outcome run = Collect(n, plan);
    SCOPED_TRACE("failing call " + plan.FirstFailure());
    ASSERT_EQ(run.failure, "");
    // Rows 1 to 90, the script rows and the 100 program rows always; the patch rows are as many
    // as the listing of the installed software found.
    ASSERT_GE(run.rows.size(), baseline.rows.size() - kPatchRows);
    ASSERT_LE(run.rows.size(), baseline.rows.size());
    for (size_t i = 0; i < run.rows.size(); ++i) {
      const int row = static_cast<int>(i + 1);
      if (run.rows[i] == baseline.rows[i]) continue;
      EXPECT_TRUE(IsFallback(row, run.rows[i], baseline.rows)) << "row " << row << ": " << run.rows[i];
    }
  }
}

}  // namespace
}  // namespace orv
