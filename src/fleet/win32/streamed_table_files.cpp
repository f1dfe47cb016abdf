#include "fleet/cli/streamed_table_files.h"

#include <string>

#ifdef _WIN32
#include "platform/win32/wide.h"
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#endif

namespace orv {

namespace {

constexpr size_t kBufferBytes = 1 << 20;

// "C:\data\roster.csv" -> "C:\data\~roster.csv.<id>.tmp": beside the table (a rename never
// crosses a volume) and not matching "*.csv", so no builder takes it for a per-PC file.
std::string TemporaryPath(const std::string& path, unsigned long processId, int attempt) {
  size_t cut = path.find_last_of("\\/");
  std::string folder = cut == std::string::npos ? std::string() : path.substr(0, cut + 1);
  std::string name = cut == std::string::npos ? path : path.substr(cut + 1);
  std::string temp = folder + "~" + name + "." + std::to_string(processId);
  if (attempt > 0) temp += "-" + std::to_string(attempt);
  return temp + ".tmp";
}

#ifdef _WIN32

using win32::Widen;

constexpr DWORD kRetryMilliseconds = 2000;
constexpr DWORD kRetryStepMilliseconds = 50;

std::string Reason(const std::string& path, DWORD code) { return path + ": error " + std::to_string(code); }

class StreamedTableWriter final : public ITableWriter {
 public:
  StreamedTableWriter(HANDLE file, std::wstring temp, std::string target)
      : file_(file), temp_(std::move(temp)), target_(std::move(target)) {
    buffer_.reserve(kBufferBytes);
  }
  ~StreamedTableWriter() override {
    CloseFile();
    if (!replaced_) DeleteFileW(temp_.c_str());
  }

  void Append(std::string_view bytes) override {
    buffer_.append(bytes);
    if (buffer_.size() >= kBufferBytes) Flush();
  }

  bool Finish(std::string* error) override {
    Flush();
    if (!failure_ && file_ != INVALID_HANDLE_VALUE && !FlushFileBuffers(file_)) failure_ = GetLastError();
    if (!CloseFile() && !failure_) failure_ = GetLastError();
    if (failure_ && error) *error = Reason(target_, failure_);
    return failure_ == 0;
  }

  bool Replace(std::string* error) override {
    std::wstring target = Widen(target_);
    ULONGLONG start = GetTickCount64();
    for (;;) {
      if (MoveFileExW(temp_.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        replaced_ = true;
        return true;
      }
      DWORD code = GetLastError();
      bool locked =
          code == ERROR_SHARING_VIOLATION || code == ERROR_LOCK_VIOLATION || code == ERROR_ACCESS_DENIED;
      if (!locked || GetTickCount64() - start >= kRetryMilliseconds) {
        if (error) *error = Reason(target_, code);
        return false;
      }
      Sleep(kRetryStepMilliseconds);
    }
  }

 private:
  void Flush() {
    const char* p = buffer_.data();
    size_t left = buffer_.size();
    while (!failure_ && left > 0) {
      DWORD want = static_cast<DWORD>(left < (1u << 30) ? left : (1u << 30));
      DWORD written = 0;
      if (!WriteFile(file_, p, want, &written, nullptr)) {
        failure_ = GetLastError();
        break;
      }
      if (written == 0) {
        failure_ = ERROR_WRITE_FAULT;
        break;
      }
      p += written;
      left -= written;
    }
    buffer_.clear();
  }
  bool CloseFile() {
    if (file_ == INVALID_HANDLE_VALUE) return true;
    BOOL ok = CloseHandle(file_);
    file_ = INVALID_HANDLE_VALUE;
    return ok != 0;
  }

  HANDLE file_;
  std::wstring temp_;
  std::string target_;
  std::string buffer_;
  DWORD failure_ = 0;
  bool replaced_ = false;
};

#else

std::string ToPosixPath(std::string path) {
  for (char& c : path)
    if (c == '\\') c = '/';
  return path;
}

std::string Reason(const std::string& path, int code) { return path + ": " + std::strerror(code); }

class StreamedTableWriter final : public ITableWriter {
 public:
  StreamedTableWriter(int fd, std::string temp, std::string target)
      : fd_(fd), temp_(std::move(temp)), target_(std::move(target)) {
    buffer_.reserve(kBufferBytes);
  }
  ~StreamedTableWriter() override {
    CloseFile();
    if (!replaced_) ::unlink(temp_.c_str());
  }

  void Append(std::string_view bytes) override {
    buffer_.append(bytes);
    if (buffer_.size() >= kBufferBytes) Flush();
  }

  bool Finish(std::string* error) override {
    Flush();
    if (!failure_ && fd_ >= 0 && ::fsync(fd_) != 0) failure_ = errno;
    if (!CloseFile() && !failure_) failure_ = errno;
    if (failure_ && error) *error = Reason(target_, failure_);
    return failure_ == 0;
  }

  bool Replace(std::string* error) override {
    if (::rename(temp_.c_str(), target_.c_str()) != 0) {
      if (error) *error = Reason(target_, errno);
      return false;
    }
    replaced_ = true;
    return true;
  }

 private:
  void Flush() {
    const char* p = buffer_.data();
    size_t left = buffer_.size();
    while (!failure_ && left > 0) {
      ssize_t n = ::write(fd_, p, left);
      if (n < 0 && errno == EINTR) continue;
      if (n <= 0) {
        failure_ = n < 0 ? errno : EIO;
        break;
      }
      p += n;
      left -= static_cast<size_t>(n);
    }
    buffer_.clear();
  }
  bool CloseFile() {
    if (fd_ < 0) return true;
    int rc = ::close(fd_);
    fd_ = -1;
    return rc == 0;
  }

  int fd_;
  std::string temp_;
  std::string target_;
  std::string buffer_;
  int failure_ = 0;
  bool replaced_ = false;
};

#endif

}  // namespace

std::unique_ptr<ITableWriter> StreamedTableFiles::Create(const std::string& path, std::string* error) {
#ifdef _WIN32
  const unsigned long processId = GetCurrentProcessId();
  for (int attempt = 0;; ++attempt) {
    std::wstring temp = Widen(TemporaryPath(path, processId, attempt));
    HANDLE file =
        CreateFileW(temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file != INVALID_HANDLE_VALUE) return std::make_unique<StreamedTableWriter>(file, temp, path);
    DWORD code = GetLastError();
    if ((code != ERROR_FILE_EXISTS && code != ERROR_ALREADY_EXISTS) || attempt >= 100) {
      if (error) *error = Reason(path, code);
      return nullptr;
    }
  }
#else
  const std::string target = ToPosixPath(path);
  const auto processId = static_cast<unsigned long>(::getpid());
  for (int attempt = 0;; ++attempt) {
    std::string temp = TemporaryPath(target, processId, attempt);
    int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd >= 0) return std::make_unique<StreamedTableWriter>(fd, temp, target);
    if (errno != EEXIST || attempt >= 100) {
      if (error) *error = Reason(path, errno);
      return nullptr;
    }
  }
#endif
}

}  // namespace orv
