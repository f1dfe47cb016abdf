#include "platform/posix/posix_files.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>

namespace orv {
namespace {

namespace fs = std::filesystem;

// A fresh folder under the system's temporary folder, removed with everything in it afterwards.
class PosixFilesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string templ = (fs::temp_directory_path() / "orv-posix-files-XXXXXX").string();
    ASSERT_NE(mkdtemp(templ.data()), nullptr);
    root_ = templ;
  }
  void TearDown() override {
    std::error_code ec;
    fs::remove_all(root_, ec);
  }

  // The core's form of a path in the folder: backslashes.
  std::string WinPath(const std::string& name) const {
    std::string p = root_.string() + "\\" + name;
    std::replace(p.begin(), p.end(), '/', '\\');
    return p;
  }
  std::vector<std::string> Entries() const {
    std::vector<std::string> names;
    for (const auto& e : fs::directory_iterator(root_)) names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
  }
  std::string Content(const std::string& name) const {
    std::ifstream in(root_ / name, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  }

  fs::path root_;
  PosixFiles files_;
};

TEST_F(PosixFilesTest, AtomicWriteReplacesWholeFileAndLeavesNoTemporaryFile) {
  std::string path = WinPath("PC01.csv");
  std::string error;
  ASSERT_TRUE(files_.WriteFileAtomic(path, "old contents, longer\r\n", &error)) << error;
  ASSERT_TRUE(files_.WriteFileAtomic(path, std::string("new\0\xFF\r\n", 7), &error)) << error;
  EXPECT_EQ(Content("PC01.csv"), std::string("new\0\xFF\r\n", 7));
  EXPECT_EQ(files_.ReadFile(path), std::string("new\0\xFF\r\n", 7));
  EXPECT_EQ(Entries(), std::vector<std::string>{"PC01.csv"});
  EXPECT_TRUE(error.empty());

  ASSERT_TRUE(files_.WriteFileAtomic(path, ""));
  EXPECT_EQ(files_.FileSize(path), 0);
}

TEST_F(PosixFilesTest, FailedWriteLeavesNothingAndExplains) {
  std::string path = WinPath("missing\\PC01.csv");
  std::string error;
  EXPECT_FALSE(files_.WriteFileAtomic(path, "data", &error));
  EXPECT_NE(error.find(path), std::string::npos) << error;
  EXPECT_GT(error.size(), path.size() + 2) << "the reason follows the path";
  EXPECT_TRUE(Entries().empty());

  error.clear();
  EXPECT_FALSE(files_.AppendToFile(path, "line\r\n", &error));
  EXPECT_NE(error.find(path), std::string::npos) << error;
  EXPECT_TRUE(Entries().empty());

  EXPECT_FALSE(files_.WriteFileAtomic(path, "data"));  // no error text wanted
}

TEST_F(PosixFilesTest, FailedRenameRemovesTemporaryFile) {
  // The target is a folder: the rename fails after the temporary file was written.
  ASSERT_TRUE(files_.CreateDirectory(WinPath("busy.csv")));
  ASSERT_TRUE(files_.WriteFileAtomic(WinPath("busy.csv\\keep.txt"), "kept"));
  std::string error;
  EXPECT_FALSE(files_.WriteFileAtomic(WinPath("busy.csv"), "data", &error));
  EXPECT_FALSE(error.empty());
  EXPECT_EQ(Entries(), std::vector<std::string>{"busy.csv"});
  EXPECT_EQ(files_.ReadFile(WinPath("busy.csv\\keep.txt")), "kept");
}

TEST_F(PosixFilesTest, AppendCreatesThenExtends) {
  std::string path = WinPath("event.log");
  ASSERT_TRUE(files_.AppendToFile(path, "first\r\n"));
  ASSERT_TRUE(files_.AppendToFile(path, ""));
  ASSERT_TRUE(files_.AppendToFile(path, "second\r\n"));
  EXPECT_EQ(Content("event.log"), "first\r\nsecond\r\n");
  EXPECT_EQ(files_.FileSize(path), 15);
}

TEST_F(PosixFilesTest, ListFilesMatchesPatternIgnoringCaseAndSkipsFolders) {
  for (const char* name : {"a.csv", "B.CSV", "c.Csv", "d.txt", "e.csvx", "fcsv", "README"})
    ASSERT_TRUE(files_.WriteFileAtomic(WinPath(name), "x"));
  ASSERT_TRUE(files_.CreateDirectory(WinPath("g.csv")));

  struct Case {
    const char* pattern;
    std::vector<std::string> expected;
  };
  const Case cases[] = {
      {"*.csv", {"B.CSV", "a.csv", "c.Csv"}},
      {"*.CSV", {"B.CSV", "a.csv", "c.Csv"}},
      {"?.txt", {"d.txt"}},
      {"*.*", {"B.CSV", "README", "a.csv", "c.Csv", "d.txt", "e.csvx", "fcsv"}},
      {"*", {"B.CSV", "README", "a.csv", "c.Csv", "d.txt", "e.csvx", "fcsv"}},
      {"readme", {"README"}},
      {"*.ini", {}},
  };
  for (const Case& c : cases) {
    std::vector<std::string> names = files_.ListFiles(root_.string(), c.pattern).value();
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, c.expected) << c.pattern;
  }
  EXPECT_EQ(files_.ListFiles(WinPath("nowhere"), "*"), std::nullopt) << "a failure, not an empty folder";
  ASSERT_TRUE(files_.CreateDirectory(WinPath("empty")));
  EXPECT_EQ(files_.ListFiles(WinPath("empty"), "*"), std::vector<std::string>{});
}

TEST_F(PosixFilesTest, FilesAndFoldersAreToldApart) {
  std::string folder = WinPath("sub");
  std::string file = WinPath("sub\\f.txt");
  EXPECT_FALSE(files_.DirectoryExists(folder));
  EXPECT_TRUE(files_.CreateDirectory(folder));
  EXPECT_FALSE(files_.CreateDirectory(folder)) << "exists already";
  EXPECT_FALSE(files_.CreateDirectory(WinPath("x\\y"))) << "one level only";
  EXPECT_TRUE(files_.DirectoryExists(folder));
  EXPECT_FALSE(files_.FileExists(folder));
  EXPECT_FALSE(files_.FileSize(folder));
  EXPECT_FALSE(files_.ReadFile(folder));

  ASSERT_TRUE(files_.WriteFileAtomic(file, "abc"));
  EXPECT_TRUE(files_.FileExists(file));
  EXPECT_FALSE(files_.DirectoryExists(file));
  EXPECT_EQ(files_.FileSize(file), 3);
  auto written = files_.LastWriteTime(file);
  ASSERT_TRUE(written);
  EXPECT_GE(written->year, 2020);

  EXPECT_FALSE(files_.RemoveFile(folder));
  EXPECT_TRUE(files_.RemoveFile(file));
  EXPECT_FALSE(files_.RemoveFile(file));
  EXPECT_FALSE(files_.FileExists(file));
  EXPECT_FALSE(files_.FileSize(file));
  EXPECT_FALSE(files_.LastWriteTime(file));
  EXPECT_FALSE(files_.ReadFile(file));
}

}  // namespace
}  // namespace orv
