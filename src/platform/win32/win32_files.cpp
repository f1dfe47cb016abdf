#include "platform/win32/win32_files.h"

#include "util/file_name_match.h"

#include <string>

#include "platform/win32/win32_handles.h"
#include "platform/win32/win32_replace.h"

// <windows.h> maps CreateDirectory to CreateDirectoryW; the IFiles method of that name is defined
// below, so the macro goes (this file calls CreateDirectoryW by its own name).
#undef CreateDirectory

namespace orv {

namespace {

using win32::Narrow;
using win32::RetryWhileLocked;
using win32::SystemMessage;
using win32::UniqueFind;
using win32::UniqueHandle;
using win32::Widen;

// Temporary names tried before a whole-file write gives up.
constexpr int kTempAttempts = 100;

void SetError(std::string* error, const std::string& path, DWORD code) {
  if (error) *error = path + ": " + SystemMessage(code);
}

// Whole-buffer write; WriteFile takes at most 4 GB minus one per call.
bool WriteAll(HANDLE file, std::string_view bytes) {
  constexpr size_t kChunk = 1u << 30;
  while (!bytes.empty()) {
    DWORD want = static_cast<DWORD>(bytes.size() < kChunk ? bytes.size() : kChunk);
    DWORD written = 0;
    if (!::WriteFile(file, bytes.data(), want, &written, nullptr)) return false;
    if (written == 0) {
      SetLastError(ERROR_WRITE_FAULT);
      return false;
    }
    bytes.remove_prefix(written);
  }
  return true;
}

// FindFirstFileW also matches a pattern against the short 8.3 alias, so "*.csv" would list
// "a.csvx" through its alias "A~1.CSV"; the long name is checked again.
// An exclusive byte-range lock far beyond any real end of file, held by appenders of this program
// for the moment of their write. Appends through append-only handles are atomic on Windows' own
// file systems, but not everywhere (Wine computes the end and writes in two steps, and so may
// other file servers), so concurrent appenders of one log also take turns through this lock. The
// range holds no data: readers and other programs are not affected. Released on scope exit (and
// by the system when the handle closes or the process ends).
class AppendLock {
 public:
  explicit AppendLock(HANDLE file) : file_(file) {
    overlapped_.Offset = 0;
    overlapped_.OffsetHigh = 0x40000000;  // byte 2^62
    locked_ =
        LockFileEx(file_, LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, 1, 0, &overlapped_) != 0;
    // Only a lock held by someone else means waiting; a handle or file system that cannot lock
    // (for example an append-only handle) writes without it.
    busy_ = !locked_ && GetLastError() == ERROR_LOCK_VIOLATION;
  }
  ~AppendLock() {
    if (locked_) UnlockFileEx(file_, 0, 1, 0, &overlapped_);
  }
  AppendLock(const AppendLock&) = delete;
  AppendLock& operator=(const AppendLock&) = delete;
  bool Busy() const { return busy_; }

 private:
  HANDLE file_;
  OVERLAPPED overlapped_{};
  bool locked_ = false;
  bool busy_ = false;
};

std::optional<WIN32_FILE_ATTRIBUTE_DATA> Attributes(const std::string& path) {
  WIN32_FILE_ATTRIBUTE_DATA data{};
  if (!GetFileAttributesExW(Widen(path).c_str(), GetFileExInfoStandard, &data)) return std::nullopt;
  return data;
}

}  // namespace

bool Win32Files::FileExists(const std::string& path) {
  DWORD attributes = GetFileAttributesW(Widen(path).c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool Win32Files::DirectoryExists(const std::string& path) {
  DWORD attributes = GetFileAttributesW(Widen(path).c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool Win32Files::CreateDirectory(const std::string& path) {
  return CreateDirectoryW(Widen(path).c_str(), nullptr) != 0;
}

std::optional<std::string> Win32Files::ReadFile(const std::string& path) {
  // A file another process holds without read sharing for a moment (an anti-virus scan, a save
  // in progress) is waited for, as writes wait: one locked per-PC file must not stop a whole run.
  UniqueHandle file;
  RetryWhileLocked(false, [&]() -> DWORD {
    file.Reset(CreateFileW(Widen(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                           nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    return file ? 0 : GetLastError();
  });
  if (!file) return std::nullopt;
  LARGE_INTEGER size{};
  if (!GetFileSizeEx(file.Get(), &size) || size.QuadPart < 0) return std::nullopt;
  std::string bytes;
  bytes.reserve(static_cast<size_t>(size.QuadPart));
  // Read to the end rather than to the size seen at the start: an appended log may have grown.
  char buffer[65536];
  for (;;) {
    DWORD got = 0;
    if (!::ReadFile(file.Get(), buffer, sizeof buffer, &got, nullptr)) return std::nullopt;
    if (got == 0) break;
    bytes.append(buffer, got);
  }
  return bytes;
}

bool Win32Files::WriteFileAtomic(const std::string& path, std::string_view bytes, std::string* error) {
  size_t cut = path.find_last_of("\\/");
  std::string folder = cut == std::string::npos ? std::string() : path.substr(0, cut + 1);
  std::string name = cut == std::string::npos ? path : path.substr(cut + 1);
  std::wstring widePath = Widen(path);
  std::wstring wideTemp;

  // In a folder that lets this user write the file but not delete it, the replace below would be
  // refused and its temporary file could not be removed either: written in place at once.
  if (win32::DeleteRefused(widePath)) {
    DWORD code = win32::OverwriteInPlace(widePath, bytes);
    if (code != 0) SetError(error, path, code);
    return code == 0;
  }

  {
    // Unique across the PCs and processes writing into one shared folder: the name of the target,
    // the process id and a counter of this process. A save that was killed leaves its temporary
    // file behind, and process ids come round again (under Wine the same few ids every run): a
    // name that is taken is passed over, never written into.
    UniqueHandle file;
    for (int attempt = 0; !file && attempt < kTempAttempts; ++attempt) {
      wideTemp = Widen(folder + "~" + name + "." + std::to_string(GetCurrentProcessId()) + "." +
                       std::to_string(tempCounter_.fetch_add(1) + 1) + ".tmp");
      file.Reset(
          CreateFileW(wideTemp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
      if (!file && GetLastError() != ERROR_FILE_EXISTS && GetLastError() != ERROR_ALREADY_EXISTS) break;
    }
    if (!file) {
      SetError(error, path, GetLastError());
      return false;
    }
    if (!WriteAll(file.Get(), bytes) || !FlushFileBuffers(file.Get())) {
      DWORD code = GetLastError();
      file.Reset();
      DeleteFileW(wideTemp.c_str());
      SetError(error, path, code);
      return false;
    }
  }  // closed before the rename

  DWORD code = win32::ReplaceWithTemporary(wideTemp, widePath, bytes);
  if (code != 0) {
    DeleteFileW(wideTemp.c_str());
    SetError(error, path, code);
    return false;
  }
  return true;
}

bool Win32Files::AppendToFile(const std::string& path, std::string_view bytes, std::string* error) {
  if (bytes.size() > 0xFFFFFFFFu) {
    SetError(error, path, ERROR_INVALID_PARAMETER);
    return false;
  }
  std::wstring widePath = Widen(path);
  DWORD code = RetryWhileLocked(false, [&]() -> DWORD {
    // Append-only access (no FILE_WRITE_DATA) makes every write land at the end of the file. Read
    // access is asked for too because Windows grants byte-range locks only with it; a folder that
    // allows appending but not reading still gets its line, without the lock.
    const DWORD share = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
    UniqueHandle file(CreateFileW(widePath.c_str(), FILE_APPEND_DATA | FILE_READ_DATA, share, nullptr,
                                  OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file && GetLastError() == ERROR_ACCESS_DENIED)
      file.Reset(CreateFileW(widePath.c_str(), FILE_APPEND_DATA, share, nullptr, OPEN_ALWAYS,
                             FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return GetLastError();
    if (bytes.empty()) return 0;
    AppendLock lock(file.Get());
    if (lock.Busy()) return ERROR_LOCK_VIOLATION;  // another writer is appending: wait and retry
    // One write call: appends of other processes land before or after this line, never inside it.
    DWORD written = 0;
    if (!::WriteFile(file.Get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr)) {
      DWORD writeError = GetLastError();
      return writeError != 0 ? writeError : static_cast<DWORD>(ERROR_WRITE_FAULT);
    }
    // A short write on a full disk; the line is not retried, so that it is never written twice.
    return written == bytes.size() ? 0 : static_cast<DWORD>(ERROR_HANDLE_DISK_FULL);
  });
  if (code != 0) {
    SetError(error, path, code);
    return false;
  }
  return true;
}

bool Win32Files::RemoveFile(const std::string& path) { return DeleteFileW(Widen(path).c_str()) != 0; }

std::optional<std::vector<std::string>> Win32Files::ListFiles(const std::string& folder,
                                                              const std::string& pattern) {
  std::wstring wideFolder = Widen(folder);
  if (!wideFolder.empty() && wideFolder.back() != L'\\' && wideFolder.back() != L'/') wideFolder += L'\\';
  std::wstring widePattern = Widen(pattern);
  std::vector<std::string> names;
  WIN32_FIND_DATAW data{};
  UniqueFind find(FindFirstFileW((wideFolder + widePattern).c_str(), &data));
  if (!find || find.get() == INVALID_HANDLE_VALUE) {
    // No match is an empty folder; any other code (no such folder, the share gone) a failure.
    if (GetLastError() == ERROR_FILE_NOT_FOUND) return names;
    return std::nullopt;
  }
  do {
    if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) continue;
    std::wstring name(data.cFileName);
    if (FileNameMatches(Narrow(name), pattern)) names.push_back(Narrow(name));
  } while (FindNextFileW(find.get(), &data));
  if (GetLastError() != ERROR_NO_MORE_FILES) return std::nullopt;  // the listing broke off
  return names;
}

std::optional<int64_t> Win32Files::FileSize(const std::string& path) {
  auto data = Attributes(path);
  if (!data || (data->dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) return std::nullopt;
  return static_cast<int64_t>((static_cast<uint64_t>(data->nFileSizeHigh) << 32) | data->nFileSizeLow);
}

std::optional<DateTime> Win32Files::LastWriteTime(const std::string& path) {
  auto data = Attributes(path);
  if (!data) return std::nullopt;
  FILETIME local{};
  SYSTEMTIME st{};
  if (!FileTimeToLocalFileTime(&data->ftLastWriteTime, &local) || !FileTimeToSystemTime(&local, &st))
    return std::nullopt;
  return win32::FromSystemTime(st);
}

}  // namespace orv
