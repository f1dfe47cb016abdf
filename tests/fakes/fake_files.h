#pragma once
// In-memory file system. Paths compare without regard to case, as on Windows. Failures can be
// injected per path.

#include <map>
#include <set>
#include <string>

#include "platform/files.h"
#include "util/file_name_match.h"
#include "util/text.h"

namespace orv::test {

class FakeFiles final : public IFiles {
 public:
  std::set<std::string> failWrites;  // lower-case paths whose writes and appends fail
  std::set<std::string> failReads;   // lower-case paths whose reads fail
  std::map<std::string, DateTime> writeTimes;  // last-write times (lower-case paths); else 2024/01/01

  // Adds a file (its folder chain is created too).
  void Put(const std::string& path, const std::string& bytes) {
    files_[Key(path)] = {path, bytes};
    AddFolder(Parent(Key(path)));
  }
  void AddFolder(const std::string& path) {
    for (std::string k = Key(path); !k.empty() && folders_.insert(k).second;) k = Parent(k);
  }
  // The bytes of a file; "" when it does not exist.
  std::string Get(const std::string& path) const {
    auto it = files_.find(Key(path));
    return it == files_.end() ? std::string() : it->second.second;
  }
  bool Has(const std::string& path) const { return files_.count(Key(path)) > 0; }

  bool FileExists(const std::string& path) override { return Has(path); }
  bool DirectoryExists(const std::string& path) override { return folders_.count(Key(path)) > 0; }
  bool CreateDirectory(const std::string& path) override {
    return folders_.count(Parent(Key(path))) && folders_.insert(Key(path)).second;
  }
  std::optional<std::string> ReadFile(const std::string& path) override {
    if (failReads.count(Key(path)) || !Has(path)) return std::nullopt;
    return Get(path);
  }
  bool WriteFileAtomic(const std::string& path, std::string_view bytes, std::string* error) override {
    if (!Writable(path, error)) return false;
    files_[Key(path)] = {path, std::string(bytes)};
    return true;
  }
  bool AppendToFile(const std::string& path, std::string_view bytes, std::string* error) override {
    if (!Writable(path, error)) return false;
    auto& entry = files_[Key(path)];
    if (entry.first.empty()) entry.first = path;
    entry.second.append(bytes);
    return true;
  }
  bool RemoveFile(const std::string& path) override { return files_.erase(Key(path)) > 0; }
  std::optional<std::vector<std::string>> ListFiles(const std::string& folder, const std::string& pattern) override {
    if (!DirectoryExists(folder)) return std::nullopt;
    std::vector<std::string> names;
    for (const auto& [key, entry] : files_) {
      std::string name = entry.first.substr(entry.first.find_last_of('\\') + 1);
      if (Parent(key) == Key(folder) && FileNameMatches(name, pattern)) names.push_back(name);
    }
    return names;
  }
  std::optional<int64_t> FileSize(const std::string& path) override {
    if (!Has(path)) return std::nullopt;
    return static_cast<int64_t>(Get(path).size());
  }
  std::optional<DateTime> LastWriteTime(const std::string& path) override {
    if (!Has(path)) return std::nullopt;
    auto it = writeTimes.find(Key(path));
    return it != writeTimes.end() ? it->second : DateTime{2024, 1, 1, 0, 0, 0, 0};
  }

 private:
  static std::string Key(const std::string& path) {
    std::string k = LowerCase(path);
    while (k.size() > 3 && k.back() == '\\') k.pop_back();
    return k;
  }
  static std::string Parent(const std::string& key) {
    size_t cut = key.find_last_of('\\');
    return cut == std::string::npos ? std::string() : key.substr(0, cut);
  }
  bool Writable(const std::string& path, std::string* error) const {
    if (!failWrites.count(Key(path)) && folders_.count(Parent(Key(path)))) return true;
    if (error) *error = "write failed";
    return false;
  }
  std::map<std::string, std::pair<std::string, std::string>> files_;  // key -> (original path, bytes)
  std::set<std::string> folders_;
};

}  // namespace orv::test
