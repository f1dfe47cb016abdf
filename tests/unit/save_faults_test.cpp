// The save command and the fleet table builder with one call failing, or with every call failing
// from some point on (the share went away, the disk is full), for every call they make: the files
// they had written before stay whole. A file is either the previous one or the new one, the
// history grows by one whole line or not at all, and the shared event logs only ever grow by
// whole lines.
#include <gtest/gtest.h>

#include <regex>
#include <string>
#include <vector>

#include "app/form1.h"
#include "diskhealth/health_history.h"
#include "fakes/failing_platform.h"
#include "fakes/fake_platform.h"
#include "fakes/fake_smart_device.h"
#include "fleet/fleet_tables.h"
#include "fleet/table_files.h"
#include "util/text.h"
#include "util/text_file.h"

namespace orv {
namespace {

using test::FailingPlatform;
using test::FaultPlan;

const char kPcFile[] = "D:\\pc\\PC01__WG.csv";
const char kHistory[] = "D:\\pc\\hdd\\PC01__WG.csv";
const char* const kEventLogs[] = {"D:\\pc\\hdd\\_hddfail.txt", "D:\\pc\\hdd\\_failed.txt",
                                  "D:\\pc\\hdd\\_fail_plus_warning.txt"};

enum class Mode { OneCall, FromCall };

void Arm(FaultPlan& plan, Mode mode, long n) {
  if (mode == Mode::OneCall)
    plan.FailCall(plan.Calls() + n);
  else
    plan.FailFrom(plan.Calls() + n);
}

// `now` is `before` followed by at most `maxLines` lines, each CP932 ending in CR LF and matching
// `line`.
::testing::AssertionResult GrewByWholeLines(const std::string& path, const std::string& before, const std::string& now,
                                            size_t maxLines, const std::regex& line, const ITextCodec& codec) {
  if (now.compare(0, before.size(), before) != 0) return ::testing::AssertionFailure() << path << " lost its start";
  const std::string added = now.substr(before.size());
  if (!added.empty() && !EndsWith(added, "\r\n"))
    return ::testing::AssertionFailure() << path << " ends in half a line: " << added;
  const std::vector<std::string> lines = SplitLines(codec.FromCp932(added));
  if (lines.size() > maxLines) return ::testing::AssertionFailure() << path << " grew by " << lines.size() << " lines";
  for (const auto& l : lines)
    if (l.find('\r') != std::string::npos || !std::regex_match(l, line))
      return ::testing::AssertionFailure() << path << " got the line " << l;
  return ::testing::AssertionSuccess();
}

// A PC saving its record into D:\pc: the previous per-PC file, a history of five saves and the
// shared event logs with other PCs' lines are there; its drive now reports a failure, so the save
// writes the file, a history line, an announcement and a line in each event log.
struct SavingPc {
  test::FakePlatform fake;
  test::FakeSmartDevice device;

  SavingPc() {
    fake.platform.smart = &device;
    fake.files.Put("C:\\tools\\inv\\qumbel.ini", "[General]\r\nSaveDir=D:\\pc\r\n");
    fake.files.Put(kPcFile, "PC01__WG\r\nold record\r\n");
    std::vector<std::string> history = {"DateTime,DayOfWeek,DriveNum", "日時,曜日番号,ディスクNo."};
    for (int day = 1; day <= 5; ++day)
      history.push_back("2026/12/0" + std::to_string(day) + " 09:00:00,3,0,114473,MODEL,SER0,0,0,0,0,0,0,0,0,");
    fake.files.Put(kHistory, EncodeLines(fake.codec, history));
    for (const char* log : kEventLogs)
      fake.files.Put(log, EncodeLines(fake.codec, {"PC77               2026/12/05 08:00:00  故障 1/0  警告 0/0"}));
    device.PhysicalDrive(0).positions[0] =
        test::DrivePosition("MODEL", "SER0", {{1, 0x000B, 100, 100, 0, 62}, {5, 0x0033, 30, 30, 0, 36}});
  }
};

TEST(SaveFaults, EveryFailingCallLeavesThePcFileHistoryAndEventLogsWhole) {
  const std::regex historyLine(R"(2026/12/06 10:00:00,1,0,114473,MODEL,SER0,.*)");
  // A computer name that cannot be read leaves the name column blank.
  const std::regex eventLine(R"((PC01 {15}| {19})2026/12/06 10:00:00  故障 1/0  警告 0/0)");
  const std::string newRecord = "PC01__WG\r\nnew record\r\n";

  long calls = 0;
  {
    SavingPc pc;
    FaultPlan plan;
    FailingPlatform failing(pc.fake.platform, plan);
    TForm1 form(failing.platform, {"/b0"});
    form.state.computerStem = "PC01__WG";
    form.Memo1.Add("PC01__WG");
    form.Memo1.Add("new record");
    const long before = plan.Calls();
    form.Save1Click();
    calls = plan.Calls() - before;
    ASSERT_EQ(pc.fake.files.Get(kPcFile), newRecord);
    ASSERT_EQ(SplitLines(pc.fake.files.Get(kHistory)).size(), 8u);
    ASSERT_EQ(pc.fake.dialogs.shown.size(), 1u);
  }
  ASSERT_GT(calls, 5);

  for (Mode mode : {Mode::OneCall, Mode::FromCall}) {
    for (long n = 1; n <= calls; ++n) {
      SavingPc pc;
      const std::string oldHistory = pc.fake.files.Get(kHistory);
      const std::string oldLog = pc.fake.files.Get(kEventLogs[0]);
      FaultPlan plan;
      FailingPlatform failing(pc.fake.platform, plan);
      TForm1 form(failing.platform, {"/b0"});
      form.state.computerStem = "PC01__WG";
      form.Memo1.Add("PC01__WG");
      form.Memo1.Add("new record");
      Arm(plan, mode, n);
      form.Save1Click();
      SCOPED_TRACE((mode == Mode::OneCall ? "failing call " : "failing from call ") + plan.FirstFailure());

      const std::string record = pc.fake.files.Get(kPcFile);
      EXPECT_TRUE(record == "PC01__WG\r\nold record\r\n" || record == newRecord) << record;
      EXPECT_TRUE(GrewByWholeLines(kHistory, oldHistory, pc.fake.files.Get(kHistory), 1, historyLine, pc.fake.codec));
      for (const char* log : kEventLogs)
        EXPECT_TRUE(GrewByWholeLines(log, oldLog, pc.fake.files.Get(log), 1, eventLine, pc.fake.codec));
      EXPECT_LE(pc.fake.dialogs.shown.size(), 1u);
    }
  }
}

// A file server's folder with three per-PC files, the master list, the item list and the tables
// of an earlier run.
struct FleetFolder {
  test::FakePlatform fake;
  FleetFolder() {
    fake.files.Put("E:\\pc\\itemlist.csv", "ID,ID\r\nUser,User\r\n/UninstallInfo,/UninstallInfo\r\nApp,App\r\n");
    fake.files.Put("E:\\pc\\roster2.csv", "PC,Dept\r\npc01,Sales\r\npc09,Stock\r\n");
    for (const char* pc : {"PC01", "PC02", "PC03"})
      fake.files.Put(std::string("E:\\pc\\") + pc + "__WG.csv",
                     std::string(pc) + "__WG\r\nsato\r\n/UninstallInfo\r\nEditor 2.1\r\n");
    fake.files.Put("E:\\pc\\roster.csv", "old main table\r\n");
    fake.files.Put("E:\\pc\\roster_a.csv", "old A table\r\n");
  }
  FleetTablesResult Build(IFiles& files) {
    BufferedTableFiles tables(files);
    return BuildFleetTables(files, fake.codec, tables, "E:\\pc");
  }
};

TEST(FleetFaults, EveryFailingCallLeavesThePreviousTablesWhole) {
  long calls = 0;
  std::string newMain, newA;
  {
    FleetFolder folder;
    FaultPlan plan;
    test::FailingFiles files(folder.fake.files, plan);
    ASSERT_TRUE(folder.Build(files).ok);
    calls = plan.Calls();
    newMain = folder.fake.files.Get("E:\\pc\\roster.csv");
    newA = folder.fake.files.Get("E:\\pc\\roster_a.csv");
    ASSERT_EQ(SplitLines(newMain).size(), 1u + 3u + 1u);  // header, three PCs, the master entry without a file
  }

  for (Mode mode : {Mode::OneCall, Mode::FromCall}) {
    for (long n = 1; n <= calls; ++n) {
      FleetFolder folder;
      FaultPlan plan;
      test::FailingFiles files(folder.fake.files, plan);
      Arm(plan, mode, n);
      const FleetTablesResult r = folder.Build(files);
      SCOPED_TRACE((mode == Mode::OneCall ? "failing call " : "failing from call ") + plan.FirstFailure());
      const std::string main = folder.fake.files.Get("E:\\pc\\roster.csv");
      const std::string a = folder.fake.files.Get("E:\\pc\\roster_a.csv");
      if (r.ok) {
        EXPECT_EQ(main, newMain);
        EXPECT_EQ(a, newA);
        continue;
      }
      EXPECT_TRUE(EndsWith(r.message, kCannotOpenSuffix)) << r.message;
      // The main table is replaced first; a run that stops keeps the previous A table.
      EXPECT_TRUE(main == "old main table\r\n" || main == newMain) << main;
      EXPECT_EQ(a, "old A table\r\n");
    }
  }
}

}  // namespace
}  // namespace orv
