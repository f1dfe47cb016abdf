#pragma once
// Files of the native build (the command-line tools): the core's Windows-style paths with
// backslashes are used as POSIX paths with slashes. Same guarantees as on Windows: whole-file
// writes through a temporary file and rename() (overwritten in place where the folder refuses the
// rename), appends with one write() on an O_APPEND file under an advisory lock; an append cut
// short (a full disk) is taken back.

#include <atomic>
#include <cstdint>

#include "platform/files.h"

namespace orv {

class PosixFiles final : public IFiles {
 public:
  // "C:\a\b.csv" style separators become "/"; nothing else changes.
  static std::string ToPosixPath(const std::string& path);

  bool FileExists(const std::string& path) override;
  bool DirectoryExists(const std::string& path) override;
  bool CreateDirectory(const std::string& path) override;
  std::optional<std::string> ReadFile(const std::string& path) override;
  bool WriteFileAtomic(const std::string& path, std::string_view bytes,
                       std::string* error = nullptr) override;
  bool AppendToFile(const std::string& path, std::string_view bytes, std::string* error = nullptr) override;
  bool RemoveFile(const std::string& path) override;
  // Names matching `pattern` ("*" and "?", letter case ignored as on Windows).
  std::optional<std::vector<std::string>> ListFiles(const std::string& folder, const std::string& pattern) override;
  std::optional<int64_t> FileSize(const std::string& path) override;
  std::optional<DateTime> LastWriteTime(const std::string& path) override;
  // In posix_files_part.cpp.
  std::optional<std::string> ReadFilePart(const std::string& path, int64_t offset, size_t length) override;

 private:
  std::atomic<uint32_t> tempCounter_{0};  // makes temporary names unique within this process
};

}  // namespace orv
