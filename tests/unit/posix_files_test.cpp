// The native file layer in a real temporary folder: whole-file writes through a temporary file,
// appends, listings; and the same when writes are cut short (a file size limit, as a full disk),
// when the writer is killed, and in a folder that refuses renames.
#include "platform/posix/posix_files.h"

#include <fcntl.h>
#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "fakes/temp_folder.h"
#include "fleet/fleet_tables.h"
#include "fleet/streamed_table_files.h"
#include "platform/posix/iconv_codec.h"
#include "util/text.h"

namespace orv {
namespace {

namespace fs = std::filesystem;
using Names = std::vector<std::string>;

using test::InChild;

class PosixFilesTest : public test::TempFolderTest {
 protected:
  PosixFiles files_;
};

TEST_F(PosixFilesTest, WritesAppendsReadsAndListings) {
  const std::string path = WinPath("PC01.csv"), bytes("new\0\xFF\r\n", 7);
  std::string error;
  ASSERT_TRUE(files_.WriteFileAtomic(path, "old contents, longer\r\n", &error)) << error;
  ASSERT_TRUE(files_.WriteFileAtomic(path, bytes, &error)) << error;
  EXPECT_EQ(files_.ReadFile(path), bytes);
  EXPECT_EQ(files_.ReadFilePart(path, 3, 2).value() + "|" + files_.ReadFilePart(path, 5, 99).value() + "|" +
                files_.ReadFilePart(path, 7, 1).value(), std::string("\0\xFF|\r\n|", 6));
  EXPECT_EQ(files_.FileSize(path), 7);
  EXPECT_GE(files_.LastWriteTime(path).value().year, 2020);
  for (const char* line : {"first\r\n", "", "second\r\n"})
    ASSERT_TRUE(files_.AppendToFile(WinPath("log"), line));
  EXPECT_EQ(Content("log"), "first\r\nsecond\r\n");
  // A missing folder: nothing is left, and the error names the path and then the reason.
  const std::string missing = WinPath("missing\\PC01.csv");
  EXPECT_FALSE(files_.WriteFileAtomic(missing, "data", &error));
  EXPECT_TRUE(StartsWith(error, missing + ": ") && error.size() > missing.size() + 3) << error;
  EXPECT_FALSE(files_.AppendToFile(missing, "line\r\n", &error));
  EXPECT_TRUE(StartsWith(error, missing + ": ")) << error;
  // A folder of the target's name: the rename fails after the temporary file was written.
  ASSERT_TRUE(files_.CreateDirectory(WinPath("g.csv")));
  EXPECT_FALSE(files_.CreateDirectory(WinPath("g.csv"))) << "exists already";
  EXPECT_FALSE(files_.WriteFileAtomic(WinPath("g.csv"), "data", &error));
  EXPECT_TRUE(StartsWith(error, WinPath("g.csv") + ": ")) << error;
  EXPECT_EQ(Entries(), (Names{"PC01.csv", "g.csv", "log"})) << "no temporary file stays";
  // Files and folders are told apart, and a missing folder is a failure, not an empty listing.
  ASSERT_TRUE(files_.WriteFileAtomic(WinPath("B.CSV"), "x"));
  Names names = files_.ListFiles(root_.string(), "*.csv").value();
  std::sort(names.begin(), names.end());
  EXPECT_EQ(names, (Names{"B.CSV", "PC01.csv"}));
  EXPECT_EQ(files_.ListFiles(WinPath("nowhere"), "*"), std::nullopt);
  EXPECT_EQ(files_.ListFiles(WinPath("g.csv"), "*"), Names{});
  const std::string folder = WinPath("g.csv");
  EXPECT_TRUE(files_.DirectoryExists(folder) && files_.FileExists(path));
  EXPECT_FALSE(files_.FileExists(folder) || files_.DirectoryExists(path));
  EXPECT_FALSE(files_.FileSize(folder) || files_.ReadFile(folder) || files_.ReadFilePart(folder, 0, 1));
  EXPECT_FALSE(files_.RemoveFile(folder));
  EXPECT_TRUE(files_.RemoveFile(path));
  EXPECT_FALSE(files_.RemoveFile(path) || files_.FileSize(path) || files_.LastWriteTime(path) ||
               files_.ReadFile(path) || files_.ReadFilePart(path, 0, 1));
}

TEST_F(PosixFilesTest, AWriteCutShortLeavesThePreviousFileAndAnAppendCutShortAddsNothing) {
  const std::string old = "PC01__WG\r\nold\r\n", fresh(20000, 'v');
  for (rlim_t limit : {rlim_t{0}, rlim_t{4096}, rlim_t{fresh.size() - 1}, rlim_t{fresh.size()}}) {
    SCOPED_TRACE("limit " + std::to_string(limit));
    Put("PC01.csv", old);
    EXPECT_EQ(InChild([&] { return PosixFiles().WriteFileAtomic(WinPath("PC01.csv"), fresh); }, limit),
              limit < fresh.size() ? 1 : 0);
    EXPECT_EQ(Content("PC01.csv"), limit < fresh.size() ? old : fresh);
    EXPECT_EQ(Entries(), Names{"PC01.csv"});
  }
  const std::string line = "PC01               2026/12/06 10:00:00  故障 1/0  警告 0/0\r\n";
  for (rlim_t limit : {rlim_t{0}, rlim_t{old.size() + 1}, rlim_t{old.size() + line.size() - 1}}) {
    Put("_failed.txt", old);
    EXPECT_EQ(InChild([&] { return PosixFiles().AppendToFile(WinPath("_failed.txt"), line); }, limit), 1);
    EXPECT_EQ(Content("_failed.txt"), old) << "limit " << limit;
  }
}

// Saves killed at every moment of their course: the file is the old or the new one, whole, and
// what cut-off saves leave behind (also under the very names this process takes next) neither
// looks like a per-PC file nor stops the next save.
TEST_F(PosixFilesTest, AKilledSaveLeavesTheOldOrTheNewFile) {
  const std::string a(1 << 20, 'a'), b((3 << 19) + 3, 'b');
  Put("PC01.csv", a);
  int sawOld = 0, sawNew = 0;
  for (int round = 0; round < 40; ++round) {
    const std::string& next = round % 2 ? a : b;
    const pid_t pid = fork();
    if (pid == 0) _exit(PosixFiles().WriteFileAtomic(WinPath("PC01.csv"), next) ? 0 : 1);
    std::this_thread::sleep_for(std::chrono::microseconds(round * round * 60));
    kill(pid, SIGKILL);
    waitpid(pid, nullptr, 0);
    const std::string now = Content("PC01.csv");
    ASSERT_TRUE(now == a || now == b) << "round " << round << ": " << now.size() << " bytes";
    (now == next ? sawNew : sawOld)++;
    if (now != next) Put("PC01.csv", next == a ? b : a);  // the next round writes the other text
  }
  EXPECT_TRUE(sawOld > 0 && sawNew > 0) << sawOld << " old, " << sawNew << " new";
  EXPECT_EQ(files_.ListFiles(root_.string(), "*.csv"), Names{"PC01.csv"});

  const std::string stem = "~PC01.csv." + std::to_string(getpid()) + ".";
  Put(stem + "1.tmp", "hal");
  Put(stem + "2.tmp", "complete\r\n");
  ASSERT_TRUE(files_.WriteFileAtomic(WinPath("PC01.csv"), "new\r\n"));
  EXPECT_EQ(Content("PC01.csv") + Content(stem + "1.tmp"), "new\r\nhal")
      << "another save's file is never written into";
}

// A collection share that lets users create and write files but not delete or rename them: a
// sticky folder whose files belong to root, written by the user nobody (the tests run as root,
// for whom no permission applies). The per-PC file and the streamed tables are overwritten in
// place, no temporary file stays, and an overwrite waits for the lock another writer holds.
TEST_F(PosixFilesTest, AFolderThatRefusesRenamesIsWrittenInPlace) {
  if (geteuid() != 0) GTEST_SKIP() << "needs root to give the files to another user";
  constexpr uid_t kNobody = 65534;
  fs::permissions(root_, fs::perms::all | fs::perms::sticky_bit);
  const Names names = {"PC01__WG.csv", "roster.csv", "roster_a.csv"};
  for (const std::string& name : names) {
    Put(name, "previous\r\n");
    fs::permissions(root_ / name, static_cast<fs::perms>(0666));
  }
  const int locked = open((root_ / "PC01__WG.csv").c_str(), O_RDWR);
  struct flock lock {};
  lock.l_type = F_WRLCK;
  ASSERT_EQ(fcntl(locked, F_SETLK, &lock), 0);
  const pid_t writer = fork();
  const auto overwrite = [&] { return PosixFiles().WriteFileAtomic(WinPath("PC01__WG.csv"), "PC01__WG\r\n"); };
  if (writer == 0) _exit(InChild(overwrite, RLIM_INFINITY, kNobody));
  std::this_thread::sleep_for(std::chrono::milliseconds(300));
  EXPECT_EQ(waitpid(writer, nullptr, WNOHANG), 0) << "the overwrite did not wait for the lock";
  close(locked);
  int status = -1;
  EXPECT_TRUE(waitpid(writer, &status, 0) == writer && WIFEXITED(status) && WEXITSTATUS(status) == 0);
  EXPECT_EQ(Content("PC01__WG.csv"), "PC01__WG\r\n");
  EXPECT_EQ(InChild([&] {
              PosixFiles files;
              StreamedTableFiles tables;
              return BuildFleetTables(files, IconvCodec(), tables, root_.string()).ok;
            }, RLIM_INFINITY, kNobody), 0);
  EXPECT_EQ(Content("roster.csv"), "PC01__WG\r\n");
  EXPECT_EQ(Entries(), names);
}

}  // namespace
}  // namespace orv
