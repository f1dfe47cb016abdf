#pragma once
// File system access. Paths are Windows paths (backslashes) as the core builds them; the native
// implementation maps them onto POSIX paths.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/clock.h"

namespace orv {

class IFiles {
 public:
  virtual ~IFiles() = default;
  // True when `path` names an existing file (not a folder).
  virtual bool FileExists(const std::string& path) = 0;
  // True when `path` names an existing folder.
  virtual bool DirectoryExists(const std::string& path) = 0;
  // Creates one folder level; true when it was created (false when it exists or on failure).
  virtual bool CreateDirectory(const std::string& path) = 0;
  // The whole file as bytes; nullopt when it is missing or cannot be read.
  virtual std::optional<std::string> ReadFile(const std::string& path) = 0;
  // Replaces `path` with `bytes` atomically: a temporary file in the same folder is written and
  // then renamed over the target, so a reader never sees a half-written file. True on success;
  // on failure the previous file stays whole and `error` (when given) receives the reason.
  // In a folder that lets this user write files but not delete or rename them (a collection
  // share set up that way), the rename is refused for good: the file is then overwritten in place
  // under a lock instead, and no temporary file stays behind.
  virtual bool WriteFileAtomic(const std::string& path, std::string_view bytes,
                               std::string* error = nullptr) = 0;
  // Appends `bytes` with a single write call to a file opened for appending with sharing,
  // creating it when absent; retried briefly while another process holds the file.
  virtual bool AppendToFile(const std::string& path, std::string_view bytes,
                            std::string* error = nullptr) = 0;
  // Deletes a file; true on success.
  virtual bool RemoveFile(const std::string& path) = 0;
  // Names (not paths) of the files in `folder` that match `pattern` ("*.csv"), in the order the
  // file system lists them; empty when none matches. nullopt when the folder cannot be listed (it
  // is missing, or the share went away part-way), so that a failure is never taken for an empty
  // folder.
  virtual std::optional<std::vector<std::string>> ListFiles(const std::string& folder,
                                                            const std::string& pattern) = 0;
  // Size in bytes; nullopt when the file does not exist.
  virtual std::optional<int64_t> FileSize(const std::string& path) = 0;
  // Local time of the last write; nullopt when the file does not exist.
  virtual std::optional<DateTime> LastWriteTime(const std::string& path) = 0;
  // Up to `length` bytes of the file from byte `offset` on: fewer at its end, none beyond it;
  // nullopt when it is missing or cannot be read. Readers of the ends of long files (the disk
  // health report) use it. This default reads the whole file; the real file systems read only
  // the part.
  virtual std::optional<std::string> ReadFilePart(const std::string& path, int64_t offset, size_t length) {
    std::optional<std::string> bytes = ReadFile(path);
    if (!bytes) return std::nullopt;
    if (offset < 0 || static_cast<uint64_t>(offset) >= bytes->size()) return std::string();
    return bytes->substr(static_cast<size_t>(offset), length);
  }
};

}  // namespace orv
