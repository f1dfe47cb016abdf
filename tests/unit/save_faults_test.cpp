// The save command and the fleet table builder with one call failing, or with every call failing
// from some point on (the share went away, the disk is full), for every call they make: the files
// they had written before stay whole. A file is either the previous one or the new one, the
// history grows by one whole line or not at all, and the shared event logs only ever grow by
// whole lines.
#include <gtest/gtest.h>

#include <functional>
#include <regex>

#include "app/form1.h"
#include "fakes/failing_platform.h"
#include "fakes/fake_platform.h"
#include "fakes/fake_smart_device.h"
#include "fleet/fleet_tables.h"
#include "fleet/table_files.h"
#include "util/text.h"
#include "util/text_file.h"

namespace orv {
namespace {

using test::FaultPlan;

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
  const std::string event = "PC77               2026/12/05 08:00:00  \x8c\xcc\x8f\xe1 1/0  \x8c\x78\x8d\x90 0/0\r\n";
  const std::regex historyLine(R"(2026/12/06 10:00:00,1,0,114473,MODEL,SER0,.*)");
  const std::regex eventLine(R"((PC01 {15}| {19})2026/12/06 10:00:00  故障 1/0  警告 0/0)");  // a name not read stays blank
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
    EXPECT_TRUE((record == "PC01__WG\r\nold\r\n" && !plan.FirstFailure().empty()) || record == "PC01__WG\r\nnew\r\n")
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
      EXPECT_EQ(main, newMain);
      EXPECT_EQ(a, newA);
    } else {
      EXPECT_TRUE(EndsWith(r.message, kCannotOpenSuffix)) << r.message;
      EXPECT_TRUE(main == "old main\r\n" || main == newMain) << main;
      EXPECT_EQ(a, "old A\r\n");
    }
  });
}

}  // namespace
}  // namespace orv
