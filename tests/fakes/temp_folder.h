#pragma once
// A real folder for the tests of the native file layer, and children that write into it under a
// file size limit or as another user (the tests run as root, for whom no permission applies).

#include <gtest/gtest.h>
#include <grp.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

namespace orv::test {

// Runs `body` in a child process, as `uid` when it is not root's, whose files may not grow past
// `limit` bytes: writes past it fail, or end the child (SIGXFSZ) when `limitKills`. The child's exit
// code (0 when `body` returned true), or minus the signal that ended it.
inline int InChild(const std::function<bool()>& body, rlim_t limit = RLIM_INFINITY, uid_t uid = 0,
                   bool limitKills = false) {
  const pid_t pid = fork();
  if (pid == 0) {
    alarm(30);  // a child that hangs does not outlive the test
    signal(SIGXFSZ, limitKills ? SIG_DFL : SIG_IGN);
    rlimit r{limit, limit};
    if (setrlimit(RLIMIT_FSIZE, &r) != 0) _exit(2);
    if (uid && (setgroups(0, nullptr) != 0 || setgid(uid) != 0 || setuid(uid) != 0)) _exit(2);
    _exit(body() ? 0 : 1);
  }
  int status = 0;
  waitpid(pid, &status, 0);
  return WIFEXITED(status) ? WEXITSTATUS(status) : -WTERMSIG(status);
}

// A fresh temporary folder per test, removed with everything in it afterwards.
class TempFolderTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string templ = (std::filesystem::temp_directory_path() / "orv-test-XXXXXX").string();
    ASSERT_NE(mkdtemp(templ.data()), nullptr);
    root_ = templ;
  }
  void TearDown() override { std::filesystem::remove_all(root_); }
  // The core's form of a path in the folder: backslashes.
  std::string WinPath(const std::string& name) const { return root_.string() + "\\" + name; }
  std::string Content(const std::string& name) const {
    std::ifstream in(root_ / name, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  }
  void Put(const std::string& name, const std::string& bytes) const {
    std::ofstream(root_ / name, std::ios::binary) << bytes;
  }
  // The names in the folder, sorted.
  std::vector<std::string> Entries() const {
    std::vector<std::string> names;
    for (const auto& e : std::filesystem::directory_iterator(root_)) names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
  }
  std::filesystem::path root_;
};

}  // namespace orv::test
