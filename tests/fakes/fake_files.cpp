#include "fakes/fake_files.h"

#include "util/file_name_match.h"
#include "util/text.h"

namespace orv::test {

std::string FakeFiles::Key(const std::string& path) {
  std::string k = LowerCase(path);
  while (k.size() > 3 && k.back() == '\\') k.pop_back();
  return k;
}

namespace {
std::string Parent(const std::string& key) {
  size_t cut = key.find_last_of('\\');
  return cut == std::string::npos ? std::string() : key.substr(0, cut);
}

}  // namespace

void FakeFiles::AddFolder(const std::string& path) {
  std::string k = Key(path);
  while (!k.empty() && !folders_.count(k)) {
    folders_.insert(k);
    k = Parent(k);
  }
}

void FakeFiles::Put(const std::string& path, const std::string& bytes) {
  files_[Key(path)] = {path, bytes};
  AddFolder(Parent(Key(path)));
}

std::string FakeFiles::Get(const std::string& path) const {
  auto it = files_.find(Key(path));
  return it == files_.end() ? std::string() : it->second.second;
}

bool FakeFiles::Has(const std::string& path) const { return files_.count(Key(path)) > 0; }

bool FakeFiles::FileExists(const std::string& path) { return Has(path); }

bool FakeFiles::DirectoryExists(const std::string& path) { return folders_.count(Key(path)) > 0; }

bool FakeFiles::CreateDirectory(const std::string& path) {
  std::string k = Key(path);
  if (folders_.count(k) || !folders_.count(Parent(k))) return false;
  folders_.insert(k);
  return true;
}

std::optional<std::string> FakeFiles::ReadFile(const std::string& path) {
  if (failReads.count(Key(path))) return std::nullopt;
  auto it = files_.find(Key(path));
  if (it == files_.end()) return std::nullopt;
  return it->second.second;
}

bool FakeFiles::WriteFileAtomic(const std::string& path, std::string_view bytes, std::string* error) {
  std::string k = Key(path);
  if (failWrites.count(k) || !folders_.count(Parent(k))) {
    if (error) *error = "write failed";
    return false;
  }
  files_[k] = {path, std::string(bytes)};
  return true;
}

bool FakeFiles::AppendToFile(const std::string& path, std::string_view bytes, std::string* error) {
  std::string k = Key(path);
  if (failWrites.count(k) || !folders_.count(Parent(k))) {
    if (error) *error = "append failed";
    return false;
  }
  auto& entry = files_[k];
  if (entry.first.empty()) entry.first = path;
  entry.second.append(bytes);
  return true;
}

bool FakeFiles::RemoveFile(const std::string& path) { return files_.erase(Key(path)) > 0; }

std::optional<std::vector<std::string>> FakeFiles::ListFiles(const std::string& folder, const std::string& pattern) {
  std::vector<std::string> names;
  std::string f = Key(folder);
  if (!folders_.count(f)) return std::nullopt;
  for (const auto& [key, entry] : files_) {
    if (Parent(key) != f) continue;
    std::string name = entry.first.substr(entry.first.find_last_of('\\') + 1);
    if (FileNameMatches(name, pattern)) names.push_back(name);
  }
  return names;
}

std::optional<int64_t> FakeFiles::FileSize(const std::string& path) {
  if (auto it = sizes.find(Key(path)); it != sizes.end()) return it->second;
  auto it = files_.find(Key(path));
  if (it == files_.end()) return std::nullopt;
  return static_cast<int64_t>(it->second.second.size());
}

std::optional<DateTime> FakeFiles::LastWriteTime(const std::string& path) {
  if (!Has(path)) return std::nullopt;
  if (auto it = writeTimes.find(Key(path)); it != writeTimes.end()) return it->second;
  return DateTime{2024, 1, 1, 0, 0, 0, 0};
}

}  // namespace orv::test
