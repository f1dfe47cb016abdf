// Win32Files::ReadFilePart: one part of a file, for the readers of the ends of long files.

#include "platform/win32/win32_files.h"

#include "platform/win32/win32_handles.h"

namespace orv {

namespace {

constexpr DWORD kRetryMilliseconds = 2000;
constexpr DWORD kRetryStepMilliseconds = 50;

// Opens for reading with full sharing; a file held without read sharing for a moment (an
// anti-virus scan) is waited for, as whole-file reads wait.
HANDLE OpenForReading(const std::wstring& path) {
  ULONGLONG start = GetTickCount64();
  for (;;) {
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                              nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL | FILE_FLAG_RANDOM_ACCESS, nullptr);
    if (file != INVALID_HANDLE_VALUE) return file;
    DWORD code = GetLastError();
    if ((code != ERROR_SHARING_VIOLATION && code != ERROR_LOCK_VIOLATION) ||
        GetTickCount64() - start >= kRetryMilliseconds)
      return INVALID_HANDLE_VALUE;
    Sleep(kRetryStepMilliseconds);
  }
}

}  // namespace

std::optional<std::string> Win32Files::ReadFilePart(const std::string& path, int64_t offset, size_t length) {
  win32::UniqueHandle file(OpenForReading(win32::Widen(path)));
  if (!file) return std::nullopt;
  LARGE_INTEGER size{};
  if (!GetFileSizeEx(file.Get(), &size)) return std::nullopt;
  std::string bytes;
  if (offset < 0 || offset >= size.QuadPart) return bytes;
  bytes.resize(static_cast<size_t>(std::min<LONGLONG>(static_cast<LONGLONG>(length), size.QuadPart - offset)));
  LARGE_INTEGER at{};
  at.QuadPart = offset;
  if (!SetFilePointerEx(file.Get(), at, nullptr, FILE_BEGIN)) return std::nullopt;
  size_t got = 0;
  while (got < bytes.size()) {
    DWORD want = static_cast<DWORD>(std::min<size_t>(bytes.size() - got, 1u << 30));
    DWORD n = 0;
    if (!::ReadFile(file.Get(), bytes.data() + got, want, &n, nullptr)) return std::nullopt;
    if (n == 0) break;  // the file was cut meanwhile
    got += n;
  }
  bytes.resize(got);
  return bytes;
}

}  // namespace orv
