#include <gtest/gtest.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "app/form1.h"
#include "fakes/fake_platform.h"
#include "fleet/fleet_command.h"
#include "fleet/fleet_tables.h"
#include "fleet/table_files.h"
#include "util/text.h"

namespace orv {
namespace {

using test::FakeFiles;
using Lines = std::vector<std::string>;

const std::string kDir = "C:\\tools\\inv\\";
const std::string kDone = "集計表を作成しました：roster.csv, roster_a.csv";

// A folder of the fake file system with the builder over it. Texts are given as UTF-8 lines and
// stored as CP932 with CR LF.
struct Fleet {
  FakeFiles files;
  IconvCodec codec;
  BufferedTableFiles tables{files};

  Fleet() { files.AddFolder(kDir); }
  void Put(const std::string& name, const Lines& lines) {
    std::string text;
    for (const auto& l : lines) text += l + "\r\n";
    files.Put(kDir + name, codec.ToCp932(text));
  }
  FleetTablesResult Run() { return BuildFleetTables(files, codec, tables, "C:\\tools\\inv"); }
  // A table's lines, decoded; every line must end with CR LF.
  Lines Table(const std::string& name) const {
    std::string bytes = files.Get(kDir + name);
    EXPECT_TRUE(bytes.empty() || EndsWith(bytes, "\r\n")) << name;
    Lines lines = SplitLines(codec.FromCp932(bytes));
    for (const auto& l : lines) EXPECT_EQ(l.find('\r'), std::string::npos) << name;
    return lines;
  }
};

const Lines kMasterSato = {"PC,Dept,User", "pc01__wg,Sales,Sato"};
const Lines kPc01 = {"PC01__WG", "v2", "/UninstallInfo", "a1"};

// ---- matching the master list ----

struct MatchCase {
  const char* name;
  std::string file;
  Lines values;
  Lines master;   // empty: no master list
  Lines main, a;  // expected rows (no header: no itemlist.csv)
};

class MasterMatchTest : public ::testing::TestWithParam<MatchCase> {};

TEST_P(MasterMatchTest, RowsStartWithTheEntryOrTheIdentity) {
  const MatchCase& c = GetParam();
  Fleet f;
  f.Put(c.file, c.values);
  if (!c.master.empty()) f.Put("roster2.csv", c.master);
  FleetTablesResult r = f.Run();
  ASSERT_TRUE(r.ok) << r.message;
  EXPECT_EQ(r.message, kDone);
  EXPECT_EQ(f.Table("roster.csv"), c.main);
  EXPECT_EQ(f.Table("roster_a.csv"), c.a);
}

INSTANTIATE_TEST_SUITE_P(
    Fleet, MasterMatchTest,
    ::testing::Values(
        MatchCase{"NoMasterList", "PC01__WG.csv", kPc01, {}, {"PC01__WG,v2"}, {"PC01__WG,a1"}},
        MatchCase{"FullIdentity",
                  "PC01__WG.csv",
                  kPc01,
                  kMasterSato,
                  {"PC01__WG,Sales,Sato,v2"},
                  {"PC01__WG,Sales,Sato,a1"}},
        MatchCase{"ComputerNameAlone",
                  "pc01__wg.csv",
                  kPc01,
                  {"PC,Dept,User", "pc01,Sales,Sato"},
                  {"PC01__WG,Sales,Sato,v2"},
                  {"PC01__WG,Sales,Sato,a1"}},
        MatchCase{"NameBeforeTheLastUnderscore",
                  "pc01_x.csv",
                  {"PC01_X", "v2"},
                  {"PC", "PC01,Sales"},
                  {"PC01_X,Sales,v2"},
                  {"PC01_X,Sales,"}},
        MatchCase{"NoEntryGetsTheFiller",
                  "PC01__WG.csv",
                  kPc01,
                  {"PC,Dept,User", "PC77,x,y"},
                  {"PC01__WG,,,v2", "PC77,x,y"},
                  {"PC01__WG,,,a1", "PC77,x,y"}},
        MatchCase{"HeaderOnlyMasterList",
                  "PC01__WG.csv",
                  kPc01,
                  {"PC,Dept,User"},
                  {"PC01__WG,,,v2"},
                  {"PC01__WG,,,a1"}},
        MatchCase{"NoMarkerNoMaster",
                  "PC01__WG.csv",
                  {"PC01__WG", "v2", "v3"},
                  {},
                  {"PC01__WG,v2,v3"},
                  {"PC01__WG"}},
        MatchCase{"NoMarkerWithMaster",
                  "PC01__WG.csv",
                  {"PC01__WG", "v2", "v3"},
                  kMasterSato,
                  {"PC01__WG,Sales,Sato,v2,v3"},
                  {"PC01__WG,Sales,Sato,"}},
        MatchCase{"EmptyFileNoMaster", "empty.csv", {}, {}, {""}, {""}},
        // Written before values beginning with a quote were quoted: quoted on the way in.
        MatchCase{"LeadingQuoteOfAnOldFile",
                  "PC01__WG.csv",
                  {"PC01__WG", "\"C:\\A B\\a.exe\" /S", "\"abc", "\"x,y\"", "\"\"\"q\"\" r\""},
                  {},
                  {"PC01__WG,\"\"\"C:\\A B\\a.exe\"\" /S\",\"\"\"abc\",\"x,y\",\"\"\"q\"\" r\""},
                  {"PC01__WG"}},
        MatchCase{"OtherCsvMergedAsLines", "notes.csv", {"a,b", "\"c,d\""}, {}, {"a,b,\"c,d\""}, {"a,b"}},
        MatchCase{"JapaneseValuesPassUnchanged",
                  "PC01__WG.csv",
                  {"PC01__WG", "営業部 ソフト①", "/UninstallInfo", "表計算"},
                  kMasterSato,
                  {"PC01__WG,Sales,Sato,営業部 ソフト①"},
                  {"PC01__WG,Sales,Sato,表計算"}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(FleetTables, EntriesAreUsedOnceAndTheRestFollowSortedWithoutCase) {
  Fleet f;
  // Two computers of the same name in two workgroups share one name-only entry: the first takes it.
  f.Put("PC01__A.csv", {"PC01__A", "x"});
  f.Put("PC01__B.csv", {"PC01__B", "y"});
  // An identity that begins a longer one finds its own entry, which sorts first.
  f.Put("PC02__WG.csv", {"PC02__WG", "z"});
  f.Put("roster2.csv", {"PC,Dept", "pc_1,q", "pc02__wg2,n", "Pc03,p", "pc01,s", "pc02__wg,m", "PC003,r"});
  ASSERT_TRUE(f.Run().ok);
  EXPECT_EQ(f.Table("roster.csv"), (Lines{"PC01__A,s,x", "PC01__B,,y", "PC02__WG,m,z", "PC003,r",
                                          "PC02__WG2,n", "PC03,p", "PC_1,q"}));
}

TEST(FleetTables, MasterOrderFoldsAsciiLettersThenComparesBytes) {
  EXPECT_EQ(CompareMasterEntries("pc01,a", "PC01,A"), 0);
  EXPECT_LT(CompareMasterEntries("PC0", "pc_"), 0);  // digits before "_"
  EXPECT_LT(CompareMasterEntries("PC_", "PCA"), 0);  // "_" before letters (folded to lower case)
  EXPECT_LT(CompareMasterEntries("PC", "PC,"), 0);
  EXPECT_LT(CompareMasterEntries("Z", "あ"), 0);
}

// ---- headers from the item catalogue export ----

struct HeaderCase {
  const char* name;
  Lines itemList;
  Lines master;
  std::string main, a;
};

class HeaderTest : public ::testing::TestWithParam<HeaderCase> {};

TEST_P(HeaderTest, HeadersComeFromTheExportTails) {
  const HeaderCase& c = GetParam();
  Fleet f;
  f.Put("itemlist.csv", c.itemList);
  if (!c.master.empty()) f.Put("roster2.csv", c.master);
  ASSERT_TRUE(f.Run().ok);
  Lines main = f.Table("roster.csv"), a = f.Table("roster_a.csv");
  ASSERT_FALSE(main.empty());
  ASSERT_FALSE(a.empty());
  EXPECT_EQ(main[0], c.main);
  EXPECT_EQ(a[0], c.a);
}

const Lines kItems = {"CSVファイル名,CSVファイル名", ",時計誤差Min", "\"a,b\",引用",
                      "/UninstallInfo,/UninstallInfo", "VirusScanVer,VirusScanVer"};

INSTANTIATE_TEST_SUITE_P(
    Fleet, HeaderTest,
    ::testing::Values(
        HeaderCase{"NoMaster", kItems, {}, "CSVファイル名,時計誤差Min,引用", "CSVファイル名,VirusScanVer"},
        HeaderCase{"WithMaster", kItems, {"PC,Dept"}, "PC,Dept,時計誤差Min,引用", "PC,Dept,VirusScanVer"},
        // An empty last name before the marker keeps its column: no label is cut, no comma dropped.
        HeaderCase{"EmptyLastName", {"ID,ID", "x,", "/UninstallInfo,/UninstallInfo"}, {}, "ID,", "ID"},
        HeaderCase{"LastNameIsNeverCut", {"ID,ID", "起動後時間,起動後時間"}, {}, "ID,起動後時間", "ID"},
        HeaderCase{"QuotedFirstFieldWithoutSecond", {"ID,ID", "\"x,y\"", "z"}, {}, "ID,,", "ID"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(FleetTables, WithoutAnItemListNoHeaderLine) {
  Fleet f;
  f.Put("PC01__WG.csv", kPc01);
  ASSERT_TRUE(f.Run().ok);
  EXPECT_EQ(f.Table("roster.csv"), Lines{"PC01__WG,v2"});
}

// The real export of the catalogue and per-PC files of the same layout: every row has as many
// fields as its header, with and without a master list, whatever the values hold.
size_t FieldCount(const std::string& line) {
  size_t fields = 1;
  bool quoted = false;
  for (size_t i = 0; i < line.size(); ++i) {
    if (line[i] == '"' && (quoted || i == 0 || line[i - 1] == ','))
      quoted = !quoted;
    else if (line[i] == ',' && !quoted)
      ++fields;
  }
  return fields;
}

TEST(FleetTables, HeaderAndRowsHaveTheSameNumberOfFields) {
  for (bool withMaster : {false, true}) {
    test::FakePlatform p;
    p.files.Put(kDir + "regitems.txt",
                p.codec.ToCp932("名前==氏名\r\n\r\n/UninstallInfo\r\n$PATH\r\n$TEMP\r\n// last\r\n"));
    TForm1 form(p.platform, {});
    form.OnMenu(MenuId::ItemList1);
    Lines items = SplitLines(p.codec.FromCp932(p.files.Get(kDir + "itemlist.csv")));
    ASSERT_EQ(items.size(), 95u);  // 90 fixed rows, 2 names, the marker, 2 names

    Fleet f;
    f.Put("itemlist.csv", items);
    for (const char* pc : {"PC01__WG", "PC02__WG"}) {
      Lines values = {pc};
      for (int row = 2; row <= 90; ++row) values.push_back(row % 7 ? "値" + std::to_string(row) : "\"a,b\"");
      values.insert(values.end(), {"佐藤", "", "/UninstallInfo", "C:\\bin", ""});
      f.Put(std::string(pc) + ".csv", values);
    }
    if (withMaster) f.Put("roster2.csv", {"PC,Dept,User", "PC01,Sales,Sato"});
    ASSERT_TRUE(f.Run().ok);
    for (const char* table : {"roster.csv", "roster_a.csv"}) {
      Lines lines = f.Table(table);
      ASSERT_EQ(lines.size(), 3u) << table;
      for (size_t i = 1; i < lines.size(); ++i)
        EXPECT_EQ(FieldCount(lines[i]), FieldCount(lines[0]))
            << table << " row " << i << " master " << withMaster;
    }
  }
}

// ---- files that are not per-PC files, and failures ----

TEST(FleetTables, SpecialNamesAreSkippedInAnyLetterCase) {
  Fleet f;
  f.Put("ROSTER.CSV", {"old", "main"});
  f.Put("Roster_A.csv", {"old a"});
  f.Put("ItemList.csv", {"ID,ID", "x,X"});
  f.Put("roster2.CSV", {"PC"});
  f.Put("PC01__WG.csv", {"PC01__WG", "v2"});
  FleetTablesResult r = f.Run();
  ASSERT_TRUE(r.ok);
  EXPECT_EQ(r.computers, 1);
  EXPECT_EQ(f.Table("roster.csv"), (Lines{"PC,X", "PC01__WG,v2"}));
}

struct FailureCase {
  const char* name;
  std::string unreadable;
  std::string message;
};

class FailureTest : public ::testing::TestWithParam<FailureCase> {};

TEST_P(FailureTest, AnUnreadableFileStopsTheRunAndThePreviousTablesStay) {
  const FailureCase& c = GetParam();
  Fleet f;
  f.Put("roster.csv", {"previous main"});
  f.Put("roster_a.csv", {"previous a"});
  f.Put("itemlist.csv", {"ID,ID"});
  f.Put("roster2.csv", {"PC"});
  f.Put("PC01__WG.csv", {"PC01__WG"});
  f.Put("PC02__WG.csv", {"PC02__WG"});
  f.files.failReads.insert(LowerCase(kDir + c.unreadable));
  FleetTablesResult r = f.Run();
  EXPECT_FALSE(r.ok);
  EXPECT_EQ(r.message, c.message);
  EXPECT_EQ(f.Table("roster.csv"), Lines{"previous main"});
  EXPECT_EQ(f.Table("roster_a.csv"), Lines{"previous a"});
}

INSTANTIATE_TEST_SUITE_P(
    Fleet, FailureTest,
    ::testing::Values(FailureCase{"PcFile", "PC02__WG.csv", "PC02__WG.csvが開けません"},
                      FailureCase{"MasterList", "roster2.csv", "roster2.csvが開けません"},
                      FailureCase{"ItemList", "itemlist.csv", "itemlist.csvが開けません"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(FleetTables, ATableThatCannotBeWrittenIsNamedAndThePairStays) {
  Fleet f;
  f.Put("roster.csv", {"previous main"});
  f.Put("roster_a.csv", {"previous a"});
  f.Put("PC01__WG.csv", {"PC01__WG"});
  f.files.failWrites.insert(LowerCase(kDir + "roster_a.csv"));
  FleetTablesResult r = f.Run();
  EXPECT_EQ(r.message, "roster_a.csvが開けません");
  EXPECT_EQ(f.Table("roster.csv"), Lines{"previous main"});
  EXPECT_EQ(f.Table("roster_a.csv"), Lines{"previous a"});
}

// ---- the menu command and the command line ----

TEST(FleetTables, MenuCommandBuildsInTheProgramFolderAndShowsTheMessage) {
  test::FakePlatform p;
  p.files.Put(kDir + "PC01__WG.csv", "PC01__WG\r\nv2\r\n");
  TForm1 form(p.platform, {"/a"});
  form.OnMenu(MenuId::OneSheet1);
  ASSERT_EQ(p.dialogs.shown.size(), 1u);
  EXPECT_EQ(p.dialogs.shown[0].text, kDone);
  EXPECT_EQ(p.files.Get(kDir + "roster.csv"), "PC01__WG,v2\r\n");
  EXPECT_EQ(p.files.Get(kDir + "roster_a.csv"), "PC01__WG\r\n");
  // Where the platform streams its tables, the menu streams too.
  test::FakeFiles streamedTo;
  streamedTo.AddFolder(kDir);
  BufferedTableFiles streamed(streamedTo);
  p.platform.tables = &streamed;
  form.OnMenu(MenuId::OneSheet1);
  EXPECT_EQ(streamedTo.Get(kDir + "roster.csv"), "PC01__WG,v2\r\n");
}

TEST(FleetCommand, ArgumentsMessagesAndExitCodes) {
  Fleet f;
  f.Put("PC01__WG.csv", {"PC01__WG"});
  struct Case {
    Lines args;
    int exitCode;
    bool isError;
    std::string messageStart;
  };
  for (const Case& c : {Case{{"C:\\tools\\inv"}, 0, false, kDone},
                        Case{{"C:\\nowhere"}, 2, true, "フォルダがありません：C:\\nowhere"},
                        Case{{"a", "b"}, 2, true, "使い方"}, Case{{"--help"}, 0, false, "使い方"},
                        Case{{"--report", "C:\\tools\\inv"}, 0, false, "ディスク健康レポートを作成しました"},
                        Case{{"--report", "--x"}, 2, true, "使い方"}}) {
    FleetCommandOutcome o = RunFleetCommand(c.args, f.files, f.codec, f.tables, {});
    EXPECT_EQ(o.exitCode, c.exitCode) << c.args[0];
    EXPECT_EQ(o.isError, c.isError) << c.args[0];
    EXPECT_TRUE(StartsWith(o.message, c.messageStart)) << o.message;
  }
  f.files.failReads.insert(LowerCase(kDir + "PC01__WG.csv"));
  FleetCommandOutcome o = RunFleetCommand({"C:\\tools\\inv\\"}, f.files, f.codec, f.tables, {});
  EXPECT_EQ(o.exitCode, 1);
  EXPECT_EQ(o.message, "PC01__WG.csvが開けません");
}

// The built qumbel-fleet in a real folder: streamed tables, exit codes, nothing left behind.
class FleetProgramTest : public ::testing::Test {
 protected:
  void SetUp() override {
    exe_ = std::filesystem::read_symlink("/proc/self/exe").parent_path() / "qumbel-fleet";
    if (!std::filesystem::exists(exe_)) GTEST_SKIP() << "qumbel-fleet is not built beside the tests";
    std::string templ = (std::filesystem::temp_directory_path() / "orv-fleet-XXXXXX").string();
    ASSERT_NE(mkdtemp(templ.data()), nullptr);
    dir_ = templ;
  }
  void TearDown() override {
    std::error_code ec;
    if (!dir_.empty()) std::filesystem::remove_all(dir_, ec);
  }
  void Write(const std::string& name, const std::string& bytes) {
    std::ofstream(dir_ / name, std::ios::binary) << bytes;
  }
  std::string Read(const std::string& name) {
    std::ifstream in(dir_ / name, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
  }
  // Runs the program on the folder; the exit code, stdout in `out`.
  int Run(const std::string& args, std::string* out) {
    std::string cmd = exe_.string() + " " + args + " 2>&1";
    FILE* pipe = popen(cmd.c_str(), "r");
    char buffer[4096];
    size_t n;
    while ((n = fread(buffer, 1, sizeof buffer, pipe)) > 0) out->append(buffer, n);
    int status = pclose(pipe);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }
  // Runs the program on the folder with its files limited to `limit` bytes; `killed`: the limit
  // ends the process (SIGXFSZ), else writes past it fail. The exit code, or -signal.
  int RunLimited(rlim_t limit, bool killed) {
    pid_t pid = fork();
    if (pid == 0) {
      signal(SIGXFSZ, killed ? SIG_DFL : SIG_IGN);
      rlimit r{limit, limit};
      setrlimit(RLIMIT_FSIZE, &r);
      int devnull = open("/dev/null", O_WRONLY);
      dup2(devnull, 1);
      dup2(devnull, 2);
      execl(exe_.c_str(), exe_.c_str(), dir_.c_str(), static_cast<char*>(nullptr));
      _exit(127);
    }
    int status = 0;
    waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -WTERMSIG(status);
  }
  std::filesystem::path exe_, dir_;
};

TEST_F(FleetProgramTest, ExitCodesAndThePreviousTablesOnFailure) {
  Write("PC01__WG.csv", "PC01__WG\r\nv2\r\n");
  std::string out;
  EXPECT_EQ(Run(dir_.string(), &out), 0);
  EXPECT_EQ(out, kDone + "\n");
  EXPECT_EQ(Read("roster.csv"), "PC01__WG,v2\r\n");

  // A per-PC file that cannot be read (/proc/self/mem reads fail, for root too).
  std::filesystem::create_symlink("/proc/self/mem", dir_ / "PC02__WG.csv");
  out.clear();
  EXPECT_EQ(Run(dir_.string(), &out), 1);
  EXPECT_EQ(out, "PC02__WG.csvが開けません\n");
  EXPECT_EQ(Read("roster.csv"), "PC01__WG,v2\r\n");
  EXPECT_EQ(Read("roster_a.csv"), "PC01__WG\r\n");
  auto entries =
      std::distance(std::filesystem::directory_iterator(dir_), std::filesystem::directory_iterator());
  EXPECT_EQ(entries, 4) << "a temporary file was left behind";

  // A table that cannot take the place of the previous one (here a folder of its name): the main
  // table, already replaced, goes back, so that the two stay a pair.
  std::filesystem::remove(dir_ / "PC02__WG.csv");
  Write("roster.csv", "previous main\r\n");
  std::filesystem::remove(dir_ / "roster_a.csv");
  std::filesystem::create_directory(dir_ / "roster_a.csv");
  out.clear();
  EXPECT_EQ(Run(dir_.string(), &out), 1);
  EXPECT_EQ(out, "roster_a.csvが開けません\n");
  EXPECT_EQ(Read("roster.csv"), "previous main\r\n");
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir_), std::filesystem::directory_iterator()), 3);

  out.clear();
  EXPECT_EQ(Run((dir_ / "missing").string(), &out), 2);
  out.clear();
  EXPECT_EQ(Run("a b", &out), 2);
}

// A disk that fills up, or a builder that dies, while the tables are written: the previous tables
// stay whole, and what a killed builder leaves behind does not stop the next run.
TEST_F(FleetProgramTest, TablesCutShortOrKilledLeaveThePreviousTables) {
  for (int pc = 0; pc < 60; ++pc)
    Write("PC" + std::to_string(100 + pc) + "__WG.csv", "PC" + std::to_string(100 + pc) + "__WG\r\n" +
                                                         std::string(150, 'v') + "\r\n/UninstallInfo\r\nApp 1.0\r\n");
  Write("roster.csv", "previous main\r\n");
  Write("roster_a.csv", "previous A\r\n");
  for (bool killed : {false, true}) {
    for (rlim_t limit : {rlim_t{0}, rlim_t{100}, rlim_t{5000}}) {
      SCOPED_TRACE(std::string(killed ? "killed" : "write fails") + " at " + std::to_string(limit) + " bytes");
      const int rc = RunLimited(limit, killed);
      EXPECT_EQ(rc, killed ? -SIGXFSZ : 1);
      EXPECT_EQ(Read("roster.csv"), "previous main\r\n");
      EXPECT_EQ(Read("roster_a.csv"), "previous A\r\n");
    }
  }
  std::string out;
  EXPECT_EQ(Run(dir_.string(), &out), 0) << out;
  EXPECT_EQ(SplitLines(Read("roster.csv")).size(), 60u);
  EXPECT_EQ(SplitLines(Read("roster_a.csv")).size(), 60u);
}

}  // namespace
}  // namespace orv
