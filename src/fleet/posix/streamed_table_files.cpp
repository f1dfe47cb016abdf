// StreamedTableFiles of the native build (see fleet/streamed_table_files.h).

#include "fleet/streamed_table_files.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <string>

#include "platform/posix/posix_files.h"
#include "platform/posix/posix_replace.h"

namespace orv {

namespace {

constexpr size_t kBufferBytes = 1 << 20;

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
    if (!backup_.empty()) ::unlink(backup_.c_str());
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
    KeepPrevious();
    // Where the folder refuses renames for good, the table is overwritten in place.
    if (const int code = ReplaceWithTemporary(temp_, target_); code != 0) {
      if (!backup_.empty()) ::unlink(backup_.c_str());
      backup_.clear();
      if (error) *error = Reason(target_, code);
      return false;
    }
    replaced_ = true;
    return true;
  }

  bool Restore() override {
    if (!replaced_) return false;
    replaced_ = false;
    if (!hadPrevious_) return ::unlink(target_.c_str()) == 0;
    if (backup_.empty() || ReplaceWithTemporary(backup_, target_) != 0) return false;
    backup_.clear();
    return true;
  }

 private:
  // A second link to the previous table, so that the rename over it leaves it in place. A table
  // that belongs to someone else (a share where users may write files but not delete them) gets a
  // copy of our own instead: a link to it could not be removed again, and the table is then
  // overwritten in place, which would change the link too.
  void KeepPrevious() {
    struct stat st {};
    hadPrevious_ = ::lstat(target_.c_str(), &st) == 0;
    if (!hadPrevious_) return;
    backup_ = temp_.substr(0, temp_.size() - 4) + ".bak";  // "....tmp" -> "....bak"
    ::unlink(backup_.c_str());  // left by a killed run of the same process id
    if (st.st_uid == ::geteuid() && ::link(target_.c_str(), backup_.c_str()) == 0) return;
    std::error_code failed;
    if (!std::filesystem::copy_file(target_, backup_, failed)) backup_.clear();  // no way back: Restore says so
  }

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
  std::string backup_;  // the previous table's second link while it is kept aside
  int failure_ = 0;
  bool replaced_ = false;
  bool hadPrevious_ = false;
};

}  // namespace

std::unique_ptr<ITableWriter> StreamedTableFiles::Create(const std::string& path, std::string* error) {
  const std::string target = PosixFiles::ToPosixPath(path);
  const auto processId = static_cast<unsigned long>(::getpid());
  for (int attempt = 0;; ++attempt) {
    std::string temp = TableSidePath(target, processId, attempt, ".tmp");
    int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd >= 0) return std::make_unique<StreamedTableWriter>(fd, temp, target);
    if (errno != EEXIST || attempt >= 100) {
      if (error) *error = Reason(path, errno);
      return nullptr;
    }
  }
}

}  // namespace orv
