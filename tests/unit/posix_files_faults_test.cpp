// The native file implementation when writes fail part-way (a file size limit cuts them short,
// as a full disk does) and when the writing process is killed in the middle of a save: a file is
// always the previous or the new one, an appended log only holds whole lines, and what a killed
// save leaves behind does not stop the next one.
#include <gtest/gtest.h>

#include <grp.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <regex>
#include <thread>

#include "app/form1.h"
#include "fakes/fake_platform.h"
#include "fakes/fake_smart_device.h"
#include "platform/posix/posix_files.h"
#include "util/text.h"
#include "util/text_file.h"

namespace orv {
namespace {

namespace fs = std::filesystem;

// Runs `body` in a child process whose files may not grow beyond `limit` bytes (writes past it
// fail with EFBIG or are cut short); true when it returned true.
bool RunWithFileSizeLimit(rlim_t limit, const std::function<bool()>& body) {
  pid_t pid = fork();
  if (pid == 0) {
    signal(SIGXFSZ, SIG_IGN);
    rlimit r{limit, limit};
    if (setrlimit(RLIMIT_FSIZE, &r) != 0) _exit(2);
    _exit(body() ? 0 : 1);
  }
  int status = 0;
  waitpid(pid, &status, 0);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) < 2) << "limit " << limit;
  return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

class PosixFilesFaults : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string templ = (fs::temp_directory_path() / "orv-posix-faults-XXXXXX").string();
    ASSERT_NE(mkdtemp(templ.data()), nullptr);
    root_ = templ;
  }
  void TearDown() override {
    std::error_code ec;
    fs::remove_all(root_, ec);
  }
  std::string WinPath(const std::string& name) const { return root_.string() + "\\" + name; }
  std::string Content(const std::string& name) const {
    std::ifstream in(root_ / name, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  }
  void Put(const std::string& name, const std::string& bytes) const {
    std::ofstream(root_ / name, std::ios::binary) << bytes;
  }
  std::vector<std::string> Entries(const fs::path& folder) const {
    std::vector<std::string> names;
    for (const auto& e : fs::directory_iterator(folder)) names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
  }

  fs::path root_;
};

TEST_F(PosixFilesFaults, AWholeFileWriteCutShortLeavesThePreviousFileAndNoTemporaryFile) {
  const std::string old = "PC01__WG\r\nold\r\n";
  std::string fresh;
  for (int i = 0; i < 2000; ++i) fresh += "value " + std::to_string(i) + "\r\n";
  for (rlim_t limit : {rlim_t{0}, rlim_t{1}, rlim_t{4095}, rlim_t{4096}, rlim_t{8192}, rlim_t{fresh.size() - 1}}) {
    Put("PC01.csv", old);
    EXPECT_FALSE(RunWithFileSizeLimit(limit, [&] { return PosixFiles().WriteFileAtomic(WinPath("PC01.csv"), fresh); }));
    EXPECT_EQ(Content("PC01.csv"), old) << "limit " << limit;
    EXPECT_EQ(Entries(root_), std::vector<std::string>{"PC01.csv"}) << "limit " << limit;
  }
  EXPECT_TRUE(RunWithFileSizeLimit(fresh.size(), [&] { return PosixFiles().WriteFileAtomic(WinPath("PC01.csv"), fresh); }));
  EXPECT_EQ(Content("PC01.csv"), fresh);
}

TEST_F(PosixFilesFaults, AnAppendCutShortAddsNothing) {
  const std::string first = "PC77               2026/12/05 08:00:00  故障 1/0  警告 0/0\r\n";
  const std::string line = "PC01               2026/12/06 10:00:00  故障 1/0  警告 0/0\r\n";
  for (rlim_t limit = 0; limit < first.size() + line.size(); ++limit) {
    Put("_failed.txt", first);
    const bool ok = RunWithFileSizeLimit(limit, [&] { return PosixFiles().AppendToFile(WinPath("_failed.txt"), line); });
    EXPECT_FALSE(ok) << "limit " << limit;
    EXPECT_EQ(Content("_failed.txt"), first) << "limit " << limit;
  }
  EXPECT_TRUE(PosixFiles().AppendToFile(WinPath("_failed.txt"), line));
  EXPECT_EQ(Content("_failed.txt"), first + line);
}

// The whole save command of an unattended run over the native files, with every file size limit
// up to the largest file it writes: the per-PC file, the history and the event logs stay whole.
TEST_F(PosixFilesFaults, ASaveCutShortAnywhereLeavesEveryFileWhole) {
  fs::create_directories(root_ / "app");
  fs::create_directories(root_ / "pc" / "hdd");
  test::FakePlatform fake;
  PosixFiles files;
  test::FakeSmartDevice device;
  device.PhysicalDrive(0).positions[0] =
      test::DrivePosition("MODEL", "SER0", {{1, 0x000B, 100, 100, 0, 62}, {5, 0x0033, 30, 30, 0, 36}});
  fake.system.programPath = WinPath("app\\qumbel.exe");
  Platform platform{fake.registry, fake.codec, files, fake.dialogs, fake.shell, fake.versions, fake.system,
                    fake.network, nullptr, nullptr, &device};
  Put("app/qumbel.ini", "[General]\r\nSaveDir=" + WinPath("pc") + "\r\n");

  const std::string oldRecord = "PC01__WG\r\nold record\r\n";
  const std::string event = "PC77               2026/12/05 08:00:00  故障 1/0  警告 0/0\r\n";
  std::string history = "DateTime,DayOfWeek\r\nH2\r\n";
  for (int day = 1; day <= 5; ++day)
    history += "2026/12/0" + std::to_string(day) + " 09:00:00,3,0,114473,MODEL,SER0,0,0,0,0,0,0,0,0,\r\n";
  const std::vector<std::string> logs = {"pc/hdd/_hddfail.txt", "pc/hdd/_failed.txt", "pc/hdd/_fail_plus_warning.txt"};
  const std::regex historyLine(R"(2026/12/06 10:00:00,1,0,114473,MODEL,SER0,[^\r\n]*\r\n)");
  const std::regex eventLine(R"(PC01 {15}2026/12/06 10:00:00  \x8c\xcc\x8f\xe1 1/0  \x8c\x78\x8d\x90 0/0\r\n)");

  auto save = [&] {
    TForm1 form(platform, {"/b0"});
    form.state.computerStem = "PC01__WG";
    form.Memo1.Add("PC01__WG");
    form.Memo1.Add("新しい記録");
    form.Save1Click();
    return true;
  };
  int newRecords = 0, grownHistories = 0, grownLogs = 0;
  for (rlim_t limit = 0; limit <= history.size() + 400; limit += 7) {
    Put("pc/PC01__WG.csv", oldRecord);
    Put("pc/hdd/PC01__WG.csv", history);
    for (const auto& log : logs) Put(log, event);
    RunWithFileSizeLimit(limit, save);
    SCOPED_TRACE("limit " + std::to_string(limit));

    const std::string record = Content("pc/PC01__WG.csv");
    newRecords += record != oldRecord;
    EXPECT_TRUE(record == oldRecord || record == "PC01__WG\r\n\x90\x56\x82\xb5\x82\xa2\x8b\x4c\x98\x5e\r\n") << record;
    const std::string h = Content("pc/hdd/PC01__WG.csv");
    grownHistories += h != history;
    EXPECT_TRUE(h == history || (StartsWith(h, history) && std::regex_match(h.substr(history.size()), historyLine)))
        << h.substr(std::min(h.size(), history.size()));
    for (const auto& log : logs) {
      const std::string l = Content(log);
      grownLogs += l != event;
      EXPECT_TRUE(l == event || (StartsWith(l, event) && std::regex_match(l.substr(event.size()), eventLine)))
          << log << ": " << l;
    }
    EXPECT_EQ(Entries(root_ / "pc"), (std::vector<std::string>{"PC01__WG.csv", "hdd"}));
    EXPECT_EQ(Entries(root_ / "pc" / "hdd").size(), 4u) << "a temporary file was left behind";
  }
  // The limits reach past every file: the later saves wrote everything.
  EXPECT_GT(newRecords, 0);
  EXPECT_GT(grownHistories, 0);
  EXPECT_GT(grownLogs, 0);
}

// Saves killed at every moment of their course, from before the temporary file exists to after
// the replace: the file is the old or the new one, whole.
TEST_F(PosixFilesFaults, AKilledSaveLeavesTheOldOrTheNewFile) {
  const std::string a(1 << 20, 'a'), b((3 << 19) + 3, 'b');
  Put("PC01.csv", a);
  int sawOld = 0, sawNew = 0;
  for (int round = 0; round < 40; ++round) {
    const std::string& next = round % 2 ? a : b;
    pid_t pid = fork();
    if (pid == 0) {
      PosixFiles files;
      files.WriteFileAtomic(WinPath("PC01.csv"), next);
      _exit(0);
    }
    std::this_thread::sleep_for(std::chrono::microseconds(round * round * 60));
    kill(pid, SIGKILL);
    int status = 0;
    waitpid(pid, &status, 0);
    const std::string now = Content("PC01.csv");
    ASSERT_TRUE(now == a || now == b) << "round " << round << ": " << now.size() << " bytes";
    (now == next ? sawNew : sawOld)++;
    if (now != next) Put("PC01.csv", round % 2 ? b : a);  // the next round writes the other text
  }
  // Some saves were cut off and some finished, so both ends of the course were met.
  EXPECT_GT(sawOld, 0);
  EXPECT_GT(sawNew, 0);
  // What cut-off saves leave are temporary files that no "*.csv" listing takes for a PC's file.
  EXPECT_EQ(PosixFiles().ListFiles(root_.string(), "*.csv"), std::vector<std::string>{"PC01.csv"});
}

// A killed save of an earlier run whose process had the same id left its temporary files under
// exactly the names this process takes next, one cut off in the middle, one complete.
TEST_F(PosixFilesFaults, LeftoverTemporaryFilesDoNotStopTheNextSave) {
  const std::string stem = "~PC01.csv." + std::to_string(getpid()) + ".";
  Put(stem + "1.tmp", "PC01__WG\r\nhal");
  Put(stem + "2.tmp", "PC01__WG\r\ncomplete\r\n");
  Put("PC01.csv", "PC01__WG\r\nold\r\n");
  PosixFiles files;
  std::string error;
  ASSERT_TRUE(files.WriteFileAtomic(WinPath("PC01.csv"), "PC01__WG\r\nnew\r\n", &error)) << error;
  EXPECT_EQ(Content("PC01.csv"), "PC01__WG\r\nnew\r\n");
  EXPECT_EQ(Content(stem + "1.tmp"), "PC01__WG\r\nhal") << "another save's file is never written into";
  ASSERT_TRUE(files.WriteFileAtomic(WinPath("PC01.csv"), "PC01__WG\r\nnewer\r\n", &error)) << error;
  EXPECT_EQ(Content("PC01.csv"), "PC01__WG\r\nnewer\r\n");
  EXPECT_EQ(Entries(root_).size(), 3u);
}

// A collection share that lets users create and write files but not delete or rename them: a
// sticky folder whose files belong to another user. Root sets it up and the saves run as nobody,
// so that the permissions really apply. The per-PC file (the history goes the same way) and the
// tables of qumbel-fleet are overwritten in place, and no temporary file stays.
TEST_F(PosixFilesFaults, AFolderThatRefusesRenamesIsWrittenInPlace) {
  if (geteuid() != 0) GTEST_SKIP() << "needs root to give the files to another user";
  const fs::path fleet = fs::read_symlink("/proc/self/exe").parent_path() / "qumbel-fleet";
  fs::permissions(root_, fs::perms::all | fs::perms::sticky_bit);
  const std::vector<std::string> names = {"PC01__WG.csv", "roster.csv", "roster_a.csv"};
  for (const std::string& name : names) {
    Put(name, "previous\r\n");
    fs::permissions(root_ / name, static_cast<fs::perms>(0666));
  }
  auto asNobody = [](const std::function<bool()>& body) {
    const pid_t pid = fork();
    if (pid == 0) {
      alarm(30);  // a child that hangs does not outlive the test
      _exit(setgroups(0, nullptr) == 0 && setgid(65534) == 0 && setuid(65534) == 0 && body() ? 0 : 1);
    }
    int status = 1;
    return waitpid(pid, &status, 0) == pid && status == 0;  // exited with 0
  };
  EXPECT_TRUE(asNobody([&] { return PosixFiles().WriteFileAtomic(WinPath("PC01__WG.csv"), "PC01__WG\r\n"); }));
  EXPECT_EQ(Content("PC01__WG.csv"), "PC01__WG\r\n");
  EXPECT_TRUE(asNobody([&] { return execl(fleet.c_str(), "qumbel-fleet", root_.c_str(), nullptr) == 0; }));
  EXPECT_NE(Content("roster.csv").find("PC01__WG"), std::string::npos);
  EXPECT_EQ(Entries(root_), names);
}

}  // namespace
}  // namespace orv
