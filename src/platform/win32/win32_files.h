#pragma once
// Files through the W functions. Whole-file writes go through a temporary file in the target's
// folder and one rename (overwritten in place where the folder refuses that, win32_replace.h);
// appends are one write call on a shared handle.
//
// This header deliberately does not include <windows.h>: there CreateDirectory is a macro that
// would rename the IFiles method in every file that includes both. Files that include both should
// include this header (and the platform headers) before <windows.h>.

#include <atomic>
#include <cstdint>

#include "platform/files.h"

namespace orv {

class Win32Files final : public IFiles {
 public:
  bool FileExists(const std::string& path) override;
  bool DirectoryExists(const std::string& path) override;
  bool CreateDirectory(const std::string& path) override;
  std::optional<std::string> ReadFile(const std::string& path) override;
  bool WriteFileAtomic(const std::string& path, std::string_view bytes,
                       std::string* error = nullptr) override;
  bool AppendToFile(const std::string& path, std::string_view bytes, std::string* error = nullptr) override;
  bool RemoveFile(const std::string& path) override;
  std::optional<std::vector<std::string>> ListFiles(const std::string& folder, const std::string& pattern) override;
  std::optional<int64_t> FileSize(const std::string& path) override;
  std::optional<DateTime> LastWriteTime(const std::string& path) override;
  // In win32_files_part.cpp.
  std::optional<std::string> ReadFilePart(const std::string& path, int64_t offset, size_t length) override;

 private:
  std::atomic<uint32_t> tempCounter_{0};  // makes temporary names unique within this process
};

}  // namespace orv
