#pragma once
// In-memory file system. Paths compare without regard to case, as on Windows. Failures can be
// injected per path.

#include <map>
#include <set>
#include <string>

#include "platform/files.h"

namespace orv::test {

class FakeFiles final : public IFiles {
 public:
  // Adds a file (its folder chain is created too).
  void Put(const std::string& path, const std::string& bytes);
  void AddFolder(const std::string& path);
  // The bytes of a file; "" when it does not exist.
  std::string Get(const std::string& path) const;
  bool Has(const std::string& path) const;

  std::set<std::string> failWrites;  // lower-case paths whose writes and appends fail
  std::set<std::string> failReads;   // lower-case paths whose reads fail
  std::map<std::string, int64_t> sizes;       // overrides of FileSize
  std::map<std::string, DateTime> writeTimes;  // last-write times

  bool FileExists(const std::string& path) override;
  bool DirectoryExists(const std::string& path) override;
  bool CreateDirectory(const std::string& path) override;
  std::optional<std::string> ReadFile(const std::string& path) override;
  bool WriteFileAtomic(const std::string& path, std::string_view bytes, std::string* error) override;
  bool AppendToFile(const std::string& path, std::string_view bytes, std::string* error) override;
  bool RemoveFile(const std::string& path) override;
  std::optional<std::vector<std::string>> ListFiles(const std::string& folder, const std::string& pattern) override;
  std::optional<int64_t> FileSize(const std::string& path) override;
  std::optional<DateTime> LastWriteTime(const std::string& path) override;

 private:
  static std::string Key(const std::string& path);
  std::map<std::string, std::pair<std::string, std::string>> files_;  // key -> (original path, bytes)
  std::set<std::string> folders_;
};

}  // namespace orv::test
