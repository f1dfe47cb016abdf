// StreamedTableFiles of the Windows build (see fleet/streamed_table_files.h).

#include "fleet/streamed_table_files.h"

#include <string>

#include "platform/win32/wide.h"
#include "platform/win32/win32_replace.h"

namespace orv {

namespace {

using win32::Widen;

constexpr size_t kBufferBytes = 1 << 20;
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
    if (!backup_.empty()) DeleteFileW(backup_.c_str());
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
    KeepPrevious(target);
    // Where the share refuses renames for good, the table is overwritten in place.
    if (DWORD code = win32::ReplaceWithTemporary(temp_, target)) {
      if (!backup_.empty()) DeleteFileW(backup_.c_str());
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
    std::wstring target = Widen(target_);
    if (!hadPrevious_) return DeleteFileW(target.c_str()) != 0;
    if (backup_.empty() || win32::ReplaceWithTemporary(backup_, target) != 0) return false;
    backup_.clear();
    return true;
  }

 private:
  // A second name for the previous table, so that the rename over it leaves it in place: a hard
  // link where the file system has them, else a copy. A table this user may not delete (a share
  // where users may write files but not delete them) gets a copy: a link to it could not be
  // removed again, and the table is then overwritten in place, which would change the link too.
  void KeepPrevious(const std::wstring& target) {
    hadPrevious_ = GetFileAttributesW(target.c_str()) != INVALID_FILE_ATTRIBUTES;
    if (!hadPrevious_) return;
    std::wstring temp = temp_;
    backup_ = temp.substr(0, temp.size() - 4) + L".bak";  // "....tmp" -> "....bak"
    DeleteFileW(backup_.c_str());  // left by a killed run of the same process id
    if (!win32::DeleteRefused(target) && CreateHardLinkW(backup_.c_str(), target.c_str(), nullptr)) return;
    if (CopyFileW(target.c_str(), backup_.c_str(), FALSE)) return;
    backup_.clear();  // no way back: Restore will say so
  }

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
  std::wstring backup_;  // the previous table's second name while it is kept aside
  DWORD failure_ = 0;
  bool replaced_ = false;
  bool hadPrevious_ = false;
};

}  // namespace

std::unique_ptr<ITableWriter> StreamedTableFiles::Create(const std::string& path, std::string* error) {
  const unsigned long processId = GetCurrentProcessId();
  for (int attempt = 0;; ++attempt) {
    std::wstring temp = Widen(TableSidePath(path, processId, attempt, ".tmp"));
    HANDLE file =
        CreateFileW(temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file != INVALID_HANDLE_VALUE) return std::make_unique<StreamedTableWriter>(file, temp, path);
    DWORD code = GetLastError();
    if ((code != ERROR_FILE_EXISTS && code != ERROR_ALREADY_EXISTS) || attempt >= 100) {
      if (error) *error = Reason(path, code);
      return nullptr;
    }
  }
}

}  // namespace orv
