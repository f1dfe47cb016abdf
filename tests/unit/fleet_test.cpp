// The fleet table builder: the rows and headers it merges, the files it skips, and what stays of
// the previous tables when a file cannot be read or a table cannot be written.
#include <gtest/gtest.h>

#include "app/form1.h"
#include "fakes/case_table.h"
#include "fakes/fake_platform.h"
#include "fakes/temp_folder.h"
#include "fleet/fleet_command.h"
#include "fleet/fleet_tables.h"
#include "fleet/streamed_table_files.h"
#include "platform/posix/posix_files.h"
#include "util/text.h"

namespace orv {
namespace {

using Lines = std::vector<std::string>;
namespace fs = std::filesystem;
const std::string kDir = "C:\\tools\\inv\\";

// A folder of the fake file system with the builder over it. Texts are given as UTF-8 lines and
// stored as CP932 with CR LF.
struct Fleet {
  test::FakeFiles files;
  IconvCodec codec;
  BufferedTableFiles tables{files};
  Fleet() { files.AddFolder(kDir); }
  void Put(const std::string& name, const Lines& lines) {
    files.Put(kDir + name, codec.ToCp932(Join(lines, "\r\n") + (lines.empty() ? "" : "\r\n")));
  }
  FleetTablesResult Run() { return BuildFleetTables(files, codec, tables, "C:\\tools\\inv"); }
  // A table's lines, decoded; every line ends with CR LF.
  Lines Table(const std::string& name) const {
    const std::string bytes = files.Get(kDir + name);
    EXPECT_TRUE(bytes.empty() || EndsWith(bytes, "\r\n")) << name;
    return SplitLines(codec.FromCp932(bytes));
  }
};

// The lines of a table as one text, each line ended by "\n".
std::string Text(const Lines& lines) { return lines.empty() ? "" : Join(lines, "\n") + "\n"; }

TEST(FleetTables, RowsStartWithTheMasterEntryOrTheIdentity) {
  for (const test::Case& c : test::LoadCases("record_fleet_rows.txt")) {
    SCOPED_TRACE(c.where + " " + c[0]);
    Fleet f;
    const bool header = c[0] == "header";  // the item list's header lines, over a file of one value
    f.Put(c[1], c[2].empty() ? Lines{} : Split(c[2], '\n'));
    if (header) f.Put("PC01__WG.csv", {"PC01__WG"});
    if (!c[3].empty()) f.Put("roster2.csv", Split(c[3], '\n'));
    EXPECT_EQ(f.Run().message, kFleetTablesDoneMessage);
    const Lines main = f.Table("roster.csv"), a = f.Table("roster_a.csv");
    EXPECT_EQ(header ? main.at(0) + "\n" : Text(main), c[4] + "\n");
    EXPECT_EQ(header ? a.at(0) + "\n" : Text(a), c[5] + "\n");
  }
}

TEST(FleetTables, EntriesAreUsedOnceAndTheRestFollowSortedWithoutCase) {
  Fleet f;
  // Two computers of one name in two workgroups share a name-only entry: the first takes it. An
  // identity that begins a longer one finds its own entry. The tables of an earlier run, in any
  // letter case, are no per-PC files.
  f.Put("PC01__A.csv", {"PC01__A", "x"});
  f.Put("PC01__B.csv", {"PC01__B", "y"});
  f.Put("PC02__WG.csv", {"PC02__WG", "z"});
  f.Put("ROSTER.CSV", {"old"});
  f.Put("Roster_A.csv", {"old"});
  f.Put("roster2.csv", {"PC,Dept", "pc_1,q", "pc02__wg2,n", "Pc03,p", "pc01,s", "pc02__wg,m", "PC003,r"});
  EXPECT_EQ(f.Run().computers, 3);
  EXPECT_EQ(Text(f.Table("roster.csv")),
            "PC01__A,s,x\nPC01__B,,y\nPC02__WG,m,z\nPC003,r\nPC02__WG2,n\nPC03,p\nPC_1,q\n");
}

TEST(FleetTables, MenuAndCommandLine) {
  test::FakePlatform p;
  p.files.Put(kDir + "PC01__WG.csv", "PC01__WG\r\nv2\r\n");
  TForm1 form(p.platform, {"/a"});
  form.OnMenu(MenuId::OneSheet1);
  ASSERT_EQ(p.dialogs.shown.size(), 1u);
  EXPECT_EQ(p.dialogs.shown[0].text, kFleetTablesDoneMessage);
  EXPECT_EQ(p.files.Get(kDir + "roster.csv"), "PC01__WG,v2\r\n");

  Fleet f;
  f.Put("PC01__WG.csv", {"PC01__WG"});
  for (const test::Case& c : test::LoadCases("record_fleet_command.txt")) {
    const FleetCommandOutcome o = RunFleetCommand(Split(c[0], ' '), f.files, f.codec, f.tables, {});
    EXPECT_EQ(o.exitCode, c.Int(1)) << c.where;
    EXPECT_EQ(o.isError, c[2] == "1") << c.where;
    EXPECT_TRUE(StartsWith(o.message, c[3])) << c.where << ": " << o.message;
  }
  f.files.failReads.insert(LowerCase(kDir + "PC01__WG.csv"));
  const FleetCommandOutcome o = RunFleetCommand({kDir}, f.files, f.codec, f.tables, {});
  EXPECT_EQ(o.exitCode, 1);
  EXPECT_EQ(o.message, "PC01__WG.csvが開けません");
}

// The tables streamed into a real folder, as the programs write them.
class StreamedTables : public test::TempFolderTest {
 protected:
  FleetTablesResult Build() {
    PosixFiles files;
    StreamedTableFiles tables;
    return BuildFleetTables(files, IconvCodec(), tables, root_.string());
  }
};

// A disk that fills up, or a builder that dies, while the tables are written: the previous tables
// stay whole, and what a killed builder leaves behind does not stop the next run.
TEST_F(StreamedTables, TablesCutShortOrKilledLeaveThePreviousTables) {
  for (int pc = 100; pc < 160; ++pc) {
    const std::string id = "PC" + std::to_string(pc) + "__WG";
    Put(id + ".csv", id + "\r\n" + std::string(150, 'v') + "\r\n/UninstallInfo\r\nApp\r\n");
  }
  Put("Roster2.csv", "PC,Dept\r\npc100,Sales\r\n");  // found whatever its letter case
  Put("roster.csv", "previous main\r\n");
  Put("roster_a.csv", "previous A\r\n");
  for (bool killed : {false, true})
    for (rlim_t limit : {rlim_t{0}, rlim_t{100}, rlim_t{5000}}) {
      SCOPED_TRACE(std::string(killed ? "killed" : "write fails") + " at " + std::to_string(limit) + " bytes");
      EXPECT_EQ(test::InChild([&] { return Build().ok; }, limit, 0, killed), killed ? -SIGXFSZ : 1);
      EXPECT_EQ(Content("roster.csv") + Content("roster_a.csv"), "previous main\r\nprevious A\r\n");
    }
  EXPECT_TRUE(Build().ok);
  EXPECT_EQ(SplitLines(Content("roster.csv")).size(), 60u);
  EXPECT_NE(Content("roster.csv").find("PC100__WG,Sales,"), std::string::npos);
  EXPECT_EQ(SplitLines(Content("roster_a.csv")).size(), 60u);
}

}  // namespace
}  // namespace orv
