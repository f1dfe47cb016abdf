#include <gtest/gtest.h>

#include "fakes/fake_files.h"
#include "fakes/fake_registry.h"
#include "probes/software.h"
#include "regscript/registry_ex.h"

namespace orv {
namespace {

using Strings = std::vector<std::string>;

const std::string kPlugins =
    "HKLM\\Software\\Network Associates\\ePolicy Orchestrator\\Application Plugins\\";
const std::string kTvd = "HKLM\\Software\\Network Associates\\TVD\\";
const std::string kEngine = kTvd + "Shared Components\\VirusScan Engine\\4.0.xx";
const std::string kTaskId = "{818C7543-358A-4C84-899A-14334EMS4BGS}";
const std::string kLastData = kTvd + "VirusScan Enterprise\\CurrentVersion\\TaskLastData\\" + kTaskId;
const std::string kTask = kTvd + "VirusScan Enterprise\\CurrentVersion\\Tasks\\" + kTaskId;
const std::string kMcShield = kTvd + "Shared Components\\On Access Scanner\\McShield\\Configuration";
const std::string kScanTask = kTvd + "VirusScan\\AVConsol\\ScanTasks\\item_3";
const std::string kPattern1 = "HKLM\\Software\\TrendMicro\\PC-cillinNTCorp\\CurrentVersion\\Misc.";
const std::string kPattern2 = "HKLM\\Software\\TrendMicro\\PC-cillinNTCorp\\Misc.";
const std::string kManualScan = "HKLM\\Software\\TrendMicro\\PC-cillin\\ManualScan";

enum Item { kVersion, kEngineVer, kDefinition, kLastScan, kInfected, kOnAccess, kPattern };

class AntiVirusTest : public ::testing::Test {
 protected:
  Strings Status() {
    TRegistryEx reg(fake);
    reg.SetRootKey(RegRoot::LocalMachine);
    Strings items;
    GetAntiVirusStatus(reg, files, [&items](const std::string& v) { items.push_back(v); });
    EXPECT_EQ(items.size(), 7u);
    items.resize(7);
    return items;
  }
  // Last scan, infected files, on-access flag.
  Strings ScanItems() {
    Strings items = Status();
    return {items[kLastScan], items[kInfected], items[kOnAccess]};
  }
  void Reset(const std::string& version) {
    fake = test::FakeRegistry();
    if (!version.empty()) fake.SetString(kPlugins + "VIRUSCAN8000", "Version", version);
  }

  test::FakeRegistry fake;
  test::FakeFiles files;
};

TEST_F(AntiVirusTest, SevenItemsInOrderWithOrWithoutProducts) {
  EXPECT_EQ(Status(), (Strings{"'", "", "", "", "", "", ""}));

  fake.SetString(kPlugins + "VIRUSCAN8000", "Version", "");  // empty: the next key is asked
  fake.SetString(kPlugins + "VIRUSCAN7100", "Version", "8.0.0");
  fake.SetString(kPlugins + "VIRUSCAN6500", "Version", "6.5.0");
  fake.SetString(kEngine, "szEngineVer", "4.3.20");
  fake.SetString(kEngine, "szDatVersion", "4321");
  // Seconds from 1601-01-01 to 2003-07-09 01:45:12; shown nine hours later.
  fake.SetString(kLastData, "szEndTime", "12702188712");
  fake.SetDword(kLastData, "nFileInfected", 2);
  fake.SetDword(kMcShield, "bStartDisabled", 0);
  fake.SetString(kPattern1, "PatternVer", "1.594.00");
  fake.SetString(kManualScan, "LastTScanEndTime", "20030708090000");
  EXPECT_EQ(Status(), (Strings{"'8.0.0", "4.3.20", "4321", "2003/07/09 10:45:12", "2", "1",
                               "1.594.00 2003/07/08 09:00:00"}));
}

TEST_F(AntiVirusTest, ProductKeysInThe32BitViewOfTheMachine) {
  fake.AddKey(kPlugins + "VIRUSCAN8000", RegView::Wow32).values.emplace_back("Version", RegValue{.type = regtype::String, .text = "8.0.0"});
  fake.SetString("HKCU\\Software\\Network Associates\\ePolicy Orchestrator\\Application Plugins\\VIRUSCAN8000", "Version", "user");
  EXPECT_EQ(Status()[kVersion], "'8.0.0");
}

TEST_F(AntiVirusTest, DefinitionVersionIsTheGreatestOfThree) {
  const std::tuple<std::string, std::string, std::string, std::string> cases[] = {
      {"4.0.4400", "4321", "", "4.0.4400"},
      {"4321", "4.0.4400", "dat=4.0.4500;engine=4320", "4.0.4500"},
      {"4321", "4.0.4400", "dat=4.0.4300;engine=4320", "4.0.4400"},
      {"4321", "4.0.44x0", "4.0.4500", "4321"},  // not a number; no "=" in the source
  };
  for (const auto& [dat, virDef, sourceDisk, definition] : cases) {
    Reset("");
    fake.SetString(kEngine, "szDatVersion", dat);
    fake.SetString(kEngine, "szVirDefVer", virDef);
    fake.SetString("HKLM\\Software\\McAfee.com\\Virusscan Online", "SourceDisk", sourceDisk);
    EXPECT_EQ(Status()[kDefinition], definition) << dat << " / " << virDef << " / " << sourceDisk;
  }
  Reset("");
  fake.SetDword(kEngine, "szDatVersion", 4321);
  fake.SetString(kEngine, "szVirDefVer", "4.0.4400");
  EXPECT_EQ(Status()[kDefinition], "4.0.4400");
}

TEST_F(AntiVirusTest, Version8ReadsTheLastTaskRun) {
  const std::pair<const char*, Strings> cases[] = {
      {"12702188712,0,1", {"2003/07/09 10:45:12", "2", "0"}},  // only the first 11 characters count
      {"00000000000", {"1601/01/01 09:00:00", "2", "0"}},
      {"1270218871", {"", "", ""}},          // too short: all three empty
      {"2003/07/09 10:45", {"", "2", "0"}},  // not a number: no date, the rest stands
  };
  for (const auto& [endTime, items] : cases) {
    Reset("8.0.0");
    fake.SetString(kLastData, "szEndTime", endTime);
    fake.SetDword(kLastData, "nFileInfected", 2);
    fake.SetDword(kMcShield, "bStartDisabled", 1);
    EXPECT_EQ(ScanItems(), items) << endTime;
  }
  fake.SetBinary(kMcShield, "bStartDisabled", {1, 0, 0, 0});  // unreadable is not taken for disabled
  EXPECT_EQ(ScanItems()[2], "Error!");
}

TEST_F(AntiVirusTest, Version7ReadsTheTaskAndItsLogFile) {
  Reset("7.1.0");
  fake.SetExpandString(kTask, "szLogFileName", "%ALLUSERSPROFILE%\\Data\\OnDemandScanLog.txt");
  EXPECT_EQ(ScanItems(), (Strings{"", "", ""}));  // no log file, counter or shield setting

  files.Put("c:\\Documents and Settings\\All Users\\Data\\OnDemandScanLog.txt", "log");
  files.writeTimes["c:\\documents and settings\\all users\\data\\ondemandscanlog.txt"] = {2003, 7, 9,
                                                                                          8,    5, 3};
  fake.SetDword(kTask, "dwNumFInfected", 0);
  fake.SetDword(kMcShield, "bStartDisabled", 5);
  EXPECT_EQ(ScanItems(), (Strings{"2003/07/09 08:05:03", "0", "0"}));
}

TEST_F(AntiVirusTest, OlderVersionsReadTheConsoleTask) {
  const std::pair<const char*, std::string> cases[] = {
      {"2003,7,9,10,5,3,0,0", "2003/7/9 10:05:03"},  // a one-digit second is padded, not cut with its comma
      {"2003,7,9", "2003/7/9 :0:0"},
      {"1999,7,9,10,5,30", ""},
  };
  Reset("4.5.1");
  fake.SetDword(kScanTask, "uNumInfectedFiles", 0);
  fake.SetDword(kTvd + "VirusScan", "bVshieldEnabled", 1);
  fake.SetDword(kMcShield, "bStartDisabled", 1);  // belongs to versions 7 and 8 only
  for (const auto& [started, lastScan] : cases) {
    fake.SetString(kScanTask, "szTimeScanStarted", started);
    EXPECT_EQ(ScanItems(), (Strings{lastScan, "0", "1"})) << started;
  }
  fake.SetString(kTvd + "VirusScan", "bVshieldEnabled", "True");
  EXPECT_EQ(Status()[kOnAccess], "True");
}

TEST_F(AntiVirusTest, SecondProductLinePatternAndNewestScan) {
  const std::tuple<const char*, const char*, std::string> cases[] = {
      {"20030709104512", "20030708090000", "1.594.00 2003/07/09 10:45:12"},
      {"", "20030708090000", "1.594.00 2003/07/08 09:00:00"},
      {"20030709104559", "20030709104500", "1.594.00 2003/07/09 10:45:00"},  // equal: the second
      {"19991231235959", "", "1.594.00"},
  };
  for (const auto& [full, manual, pattern] : cases) {
    Reset("");
    fake.SetString(kPattern1, "PatternVer", "1.594.00");
    fake.SetString(kManualScan, "LastTScanEndTime", full);
    fake.SetString(kManualScan, "LastMScanEndTime", manual);
    EXPECT_EQ(Status()[kPattern], pattern) << full << " / " << manual;
  }
  Reset("");
  fake.SetString(kPattern1, "PatternVer", "123");
  fake.SetString(kPattern2, "PatternVer", "456");
  EXPECT_EQ(Status()[kPattern], "123456");
  fake.SetDword(kPattern1, "PatternVer", 123);  // not a string: left out
  EXPECT_EQ(Status()[kPattern], "456");
}

}  // namespace
}  // namespace orv
