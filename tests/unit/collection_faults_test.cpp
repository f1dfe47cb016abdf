// Fault injection for every call an operation makes in turn. A collection run on a fully described
// PC never stops, and every row keeps its place with either its value or the value its source
// gives on a failure. The save command and the fleet table builder, with one call failing or with
// every call failing from some point on (the share went away, the disk is full), leave their files
// whole: a file is the previous one or the new one, the history grows by one whole line or not at
// all, and the shared event logs only ever grow by whole lines.
#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <regex>
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
#include "fleet/fleet_tables.h"
#include "fleet/table_files.h"
#include "inventory/collection_run.h"
#include "util/text.h"
#include "util/text_file.h"

namespace orv {
namespace {

using test::FailingPlatform;
using test::FaultPlan;
using Rows = std::vector<std::string>;

const char kProgramFolder[] = "C:\\tools\\inv\\";
const char kSaveFolder[] = "\\\\srv\\share\\pc";
constexpr size_t kPatchRows = 1;  // the machine's one patch, last in the record

// The WMI classes of data/cases/record_full_pc_wmi.txt: class | source | properties replaced in
// every instance of the line.
void LoadWmi(test::FakeWmi& wmi) {
  for (const test::Case& c : test::LoadCases("record_full_pc_wmi.txt")) {
    std::vector<WmiInstance> found = test::WmiSourceInstances(c[1]);
    for (size_t i = 2; i < c.fields.size(); ++i) {
      const WmiProperty replacement = test::ParseWmiListing(c[i]).at(0).properties.at(0);
      for (WmiInstance& instance : found) *test::FindProperty(instance, replacement.name) = replacement;
    }
    std::vector<WmiInstance>& instances = wmi.classes[c[0]];
    instances.insert(instances.end(), found.begin(), found.end());
  }
}

// A PC on which every row of the record has a value of its own: registry (data/registry/
// full_pc.reg), WMI answers of real machines (data/cases/record_full_pc_wmi.txt), a drive with
// S.M.A.R.T. data and a history, printers, network, a script.
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
    LoadWmi(wmi);
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
    // Drive 0 with one attribute in the warning band.
    smart.PhysicalDrive(0).positions[0] =
        test::DrivePosition("WDC WD30EFRX", "WD-1",
                            {{1, 0x000B, 100, 100, 0, 62}, {5, 0x0033, 60, 60, 0, 36}, {7, 0x000F, 100, 100, 0, 30},
                             {10, 0x0013, 100, 100, 0, 60}, {194, 0x0022, 40, 45, 40, 0}});
    // Its drive history (one earlier line) and a short script, CP932 with CR LF as the program writes them.
    fake.files.Put(std::string(kSaveFolder) + "\\hdd\\PC01__WORKGROUP.csv",
                   test::ReadTestData("machines/full_pc_history.csv"));
    fake.files.Put(std::string(kProgramFolder) + "regitems.txt", test::ReadTestData("machines/full_pc_regitems.txt"));
  }
};

// The rows of one collection run with call `failAt` of the platform failing (0: none); `plan`
// counts the calls. The run must not throw.
Rows Collect(long failAt, FaultPlan& plan) {
  Machine m;
  plan.FailCall(failAt);
  FailingPlatform failing(m.fake.platform, plan);
  CollectionServices services{failing.platform, *failing.platform.wmi, m.cpu, nullptr};
  MemoModel memo;
  Rows rows;
  try {
    CollectRecord(services, CollectionInput{kSaveFolder}, kProgramFolder, memo,
                  [&rows](const std::string& v) { rows.push_back(v); });
  } catch (const std::exception& e) {
    ADD_FAILURE() << "failing call " << plan.FirstFailure() << ": exception " << e.what();
  }
  return rows;
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
  for (size_t i = programs; row > static_cast<int>(programs) && i < programs + 100; ++i)
    if (!baseline[i].empty() && (value == baseline[i] || value == "会計ソフト  ")) return true;
  return false;
}

// The whole record of the PC, compared with data/records/full_pc.csv (CP932, CR LF); run with
// ORV_RECORD_GOLDEN=1 to write the file anew after a deliberate change, and review its diff.
TEST(CollectionRun, RecordOfAFullyDescribedPc) {
  FaultPlan none;
  test::ExpectGoldenFile("records/full_pc.csv", EncodeLines(IconvCodec(), Collect(0, none)), "ORV_RECORD_GOLDEN");
}

TEST(CollectionFaults, EveryFailingCallLeavesEveryRowInPlace) {
  FaultPlan counting;
  const Rows baseline = Collect(0, counting);
  ASSERT_GT(counting.Calls(), 100);
  // The golden record shows that the machine describes every fixed row but the domain of a
  // workgroup PC and two unused rows (a row that is empty anyway would prove nothing).

  for (long n = 1; n <= counting.Calls(); ++n) {
    FaultPlan plan;
    const Rows run = Collect(n, plan);
    SCOPED_TRACE("failing call " + plan.FirstFailure());
    // Rows 1 to 90, the script rows and the 100 program rows always; the patch rows are as many
    // as the listing of the installed software found.
    ASSERT_TRUE(run.size() + kPatchRows >= baseline.size() && run.size() <= baseline.size()) << run.size();
    for (size_t i = 0; i < run.size(); ++i)
      if (run[i] != baseline[i])
        EXPECT_TRUE(IsFallback(static_cast<int>(i + 1), run[i], baseline))
            << "row " << i + 1 << ": " << run[i];
  }
}

// Runs `run` once without a fault (which counts the calls after `arm`), then once for each of its
// calls failing alone and once for each failing with every later one; `run` gets the plan to arm
// and checks the outcome.
void ForEveryFailingCall(const std::function<void(FaultPlan&, std::function<void()>)>& run) {
  FaultPlan counting;
  long armedAt = 0;
  run(counting, [&] { armedAt = counting.Calls(); });
  const long calls = counting.Calls() - armedAt;
  ASSERT_GT(calls, 5);
  for (bool fromCall : {false, true})
    for (long n = 1; n <= calls; ++n) {
      FaultPlan plan;
      run(plan, [&] { fromCall ? plan.FailFrom(plan.Calls() + n) : plan.FailCall(plan.Calls() + n); });
    }
}

// `now` is `before` followed by at most one line, CP932 ending in CR LF, that matches `line`.
::testing::AssertionResult GrewByOneLineAtMost(const std::string& before, const std::string& now,
                                               const std::regex& line) {
  const std::string added = now.substr(std::min(now.size(), before.size()));
  const std::vector<std::string> lines = SplitLines(IconvCodec().FromCp932(added));
  if (StartsWith(now, before) && (added.empty() || (EndsWith(added, "\r\n") && lines.size() == 1 &&
                                                    std::regex_match(lines[0], line))))
    return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << "grew by " << added;
}

// A PC saving its record into D:\pc, whose drive now reports a failure: the save writes the
// per-PC file, a history line, an announcement and a line in each shared event log.
TEST(SaveFaults, EveryFailingCallLeavesThePcFileHistoryAndEventLogsWhole) {
  const char* const logs[] = {"D:\\pc\\hdd\\_hddfail.txt", "D:\\pc\\hdd\\_failed.txt",
                              "D:\\pc\\hdd\\_fail_plus_warning.txt"};
  const std::string history =
      "DateTime,DayOfWeek,DriveNum\r\nH2\r\n2026/12/05 09:00:00,3,0,114473,MODEL,SER0,0,0,0,0,0,0,0,0,\r\n";
  const std::string event =
      "PC77               2026/12/05 08:00:00  \x8c\xcc\x8f\xe1 1/0  \x8c\x78\x8d\x90 0/0\r\n";
  const std::regex historyLine(R"(2026/12/06 10:00:00,1,0,114473,MODEL,SER0,.*)");
  // A computer name that could not be read stays blank.
  const std::regex eventLine(R"((PC01 {15}| {19})2026/12/06 10:00:00  故障 1/0  警告 0/0)");
  ForEveryFailingCall([&](FaultPlan& plan, const std::function<void()>& arm) {
    test::FakePlatform pc;
    test::FakeSmartDevice device;
    pc.platform.smart = &device;
    device.PhysicalDrive(0).positions[0] =
        test::DrivePosition("MODEL", "SER0", {{1, 0x000B, 100, 100, 0, 62}, {5, 0x0033, 30, 30, 0, 36}});
    pc.files.Put("C:\\tools\\inv\\qumbel.ini", "[General]\r\nSaveDir=D:\\pc\r\n");
    pc.files.Put("D:\\pc\\PC01__WG.csv", "PC01__WG\r\nold\r\n");
    pc.files.Put("D:\\pc\\hdd\\PC01__WG.csv", history);
    for (const char* log : logs) pc.files.Put(log, event);
    test::FailingPlatform failing(pc.platform, plan);
    TForm1 form(failing.platform, {"/b0"});
    form.state.computerStem = "PC01__WG";
    form.Memo1.Add("PC01__WG");
    form.Memo1.Add("new");
    arm();
    form.Save1Click();
    SCOPED_TRACE(plan.FirstFailure());
    const std::string record = pc.files.Get("D:\\pc\\PC01__WG.csv");
    EXPECT_TRUE((record == "PC01__WG\r\nold\r\n" && !plan.FirstFailure().empty()) ||
                record == "PC01__WG\r\nnew\r\n")
        << record;
    EXPECT_TRUE(GrewByOneLineAtMost(history, pc.files.Get("D:\\pc\\hdd\\PC01__WG.csv"), historyLine));
    for (const char* log : logs) EXPECT_TRUE(GrewByOneLineAtMost(event, pc.files.Get(log), eventLine)) << log;
    EXPECT_LE(pc.dialogs.shown.size(), 1u);
  });
}

// A file server's folder with three per-PC files, the master list, the item list and the tables
// of an earlier run: the main table is replaced first; a run that stops keeps the previous A table.
TEST(FleetFaults, EveryFailingCallLeavesThePreviousTablesWhole) {
  std::string newMain, newA;
  ForEveryFailingCall([&](FaultPlan& plan, const std::function<void()>& arm) {
    test::FakeFiles folder;
    folder.Put("E:\\pc\\itemlist.csv", "ID,ID\r\nUser,User\r\n/UninstallInfo,/UninstallInfo\r\nApp,App\r\n");
    folder.Put("E:\\pc\\roster2.csv", "PC,Dept\r\npc01,Sales\r\npc09,Stock\r\n");
    for (const char* pc : {"PC01", "PC02", "PC03"})
      folder.Put(std::string("E:\\pc\\") + pc + "__WG.csv",
                 std::string(pc) + "__WG\r\nsato\r\n/UninstallInfo\r\nEditor 2.1\r\n");
    folder.Put("E:\\pc\\roster.csv", "old main\r\n");
    folder.Put("E:\\pc\\roster_a.csv", "old A\r\n");
    test::FailingFiles files(folder, plan);
    BufferedTableFiles tables(files);
    arm();
    const FleetTablesResult r = BuildFleetTables(files, IconvCodec(), tables, "E:\\pc");
    SCOPED_TRACE(plan.FirstFailure());
    const std::string main = folder.Get("E:\\pc\\roster.csv"), a = folder.Get("E:\\pc\\roster_a.csv");
    if (newMain.empty()) {  // the run without a fault
      ASSERT_TRUE(r.ok);
      ASSERT_EQ(SplitLines(main).size(), 5u);  // header, three PCs, the master entry without a file
      std::tie(newMain, newA) = std::tie(main, a);
    } else if (r.ok) {
      EXPECT_EQ(main + a, newMain + newA);
    } else {
      EXPECT_TRUE(EndsWith(r.message, kCannotOpenSuffix)) << r.message;
      EXPECT_TRUE(main == "old main\r\n" || main == newMain) << main;
      EXPECT_EQ(a, "old A\r\n");
    }
  });
}

}  // namespace
}  // namespace orv
