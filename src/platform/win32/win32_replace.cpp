#include "platform/win32/win32_replace.h"

#include "platform/win32/win32_handles.h"

namespace orv::win32 {

namespace {

constexpr DWORD kChunkBytes = 1u << 20;

// Writes the chunks `next` hands out (nullopt at the end; a read error goes into its argument)
// over the start of `path` and cuts the file after them. The handle shares nothing: other
// writers and readers of this program wait for it as for any lock.
template <typename NextChunk>
DWORD Overwrite(const std::wstring& path, NextChunk next) {
  UniqueHandle file;
  DWORD code = RetryWhileLocked(false, [&]() -> DWORD {
    file.Reset(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    return file ? 0 : GetLastError();
  });
  if (code != 0) return code;
  for (;;) {
    DWORD readError = 0;
    std::optional<std::string_view> chunk = next(readError);
    if (readError != 0) return readError;
    if (!chunk) break;
    while (!chunk->empty()) {
      DWORD want = static_cast<DWORD>(chunk->size() < kChunkBytes ? chunk->size() : kChunkBytes);
      DWORD written = 0;
      if (!WriteFile(file.Get(), chunk->data(), want, &written, nullptr)) return GetLastError();
      if (written == 0) return ERROR_WRITE_FAULT;
      chunk->remove_prefix(written);
    }
  }
  if (!SetEndOfFile(file.Get()) || !FlushFileBuffers(file.Get())) return GetLastError();
  return 0;
}

// A refused replace and a reader that holds the target both answer ERROR_ACCESS_DENIED. A file
// this user may not delete can never be renamed over; otherwise only a reader makes an exclusive
// open of the target fail, with a sharing violation, and is worth waiting for.
bool RefusedForGood(const std::wstring& temp, const std::wstring& target) {
  if (DeleteRefused(temp) || DeleteRefused(target)) return true;
  UniqueHandle probe(CreateFileW(target.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL,
                                 nullptr));
  return probe || GetLastError() != ERROR_SHARING_VIOLATION;
}

// Removes the temporary file, or, where this user may not, at least gives back its room.
void Discard(const std::wstring& temp) {
  if (DeleteFileW(temp.c_str())) return;
  UniqueHandle emptied(
      CreateFileW(temp.c_str(), GENERIC_WRITE, 0, nullptr, TRUNCATE_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
}

DWORD CopyInPlace(const std::wstring& temp, const std::wstring& target) {
  UniqueHandle source(CreateFileW(temp.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                  FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
  if (!source) return GetLastError();
  std::string buffer(kChunkBytes, '\0');
  return Overwrite(target, [&](DWORD& error) -> std::optional<std::string_view> {
    DWORD got = 0;
    if (!ReadFile(source.Get(), buffer.data(), kChunkBytes, &got, nullptr)) error = GetLastError();
    if (got == 0) return std::nullopt;
    return std::string_view(buffer.data(), got);
  });
}

}  // namespace

bool DeleteRefused(const std::wstring& path) {
  UniqueHandle file(CreateFileW(path.c_str(), DELETE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  return !file && GetLastError() == ERROR_ACCESS_DENIED;
}

DWORD OverwriteInPlace(const std::wstring& path, std::string_view bytes) {
  bool given = false;
  return Overwrite(path, [&](DWORD&) -> std::optional<std::string_view> {
    if (given) return std::nullopt;
    given = true;
    return bytes;
  });
}

DWORD ReplaceWithTemporary(const std::wstring& temp, const std::wstring& target,
                           std::optional<std::string_view> bytes) {
  const ULONGLONG start = GetTickCount64();
  for (;;) {
    if (MoveFileExW(temp.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) return 0;
    const DWORD code = GetLastError();
    if (code == ERROR_ACCESS_DENIED && RefusedForGood(temp, target)) break;
    if (!IsTransientLock(code, true) || GetTickCount64() - start >= kRetryMilliseconds) return code;
    Sleep(kRetryStepMilliseconds);
  }
  if (bytes) {
    Discard(temp);
    return OverwriteInPlace(target, *bytes);
  }
  const DWORD code = CopyInPlace(temp, target);
  if (code == 0) Discard(temp);
  return code;
}

}  // namespace orv::win32
