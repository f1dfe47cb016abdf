#pragma once
// Putting a finished temporary file in the place of its target, in the same folder. Normally one
// rename, retried for a moment while a reader holds the target. A collection share is often set
// up so that users may create and write files but not delete or rename them; there the replace is
// refused for good, and the target is overwritten in place instead: not atomic (a reader may meet
// a half-written file), but the save is not lost, and no temporary file is left behind for it.

#include <optional>
#include <string>
#include <string_view>

#include "platform/win32/wide.h"

namespace orv::win32 {

inline constexpr DWORD kRetryMilliseconds = 2000;
inline constexpr DWORD kRetryStepMilliseconds = 50;

// Another process holds the file in a way that goes away by itself. Replacing a file that a
// reader holds open fails with ERROR_ACCESS_DENIED, so for the rename that code counts too; for
// opening it would mostly mean a read-only file, not worth waiting for.
inline bool IsTransientLock(DWORD code, bool accessDeniedToo) {
  return code == ERROR_SHARING_VIOLATION || code == ERROR_LOCK_VIOLATION ||
         (accessDeniedToo && code == ERROR_ACCESS_DENIED);
}

// Runs `attempt` (returning 0 on success or the error code) until it succeeds, fails for a reason
// other than a lock, or about two seconds have passed. The last code is returned.
template <typename Attempt>
DWORD RetryWhileLocked(bool accessDeniedToo, Attempt attempt) {
  ULONGLONG start = GetTickCount64();
  for (;;) {
    DWORD code = attempt();
    if (code == 0 || !IsTransientLock(code, accessDeniedToo) || GetTickCount64() - start >= kRetryMilliseconds)
      return code;
    Sleep(kRetryStepMilliseconds);
  }
}

// True when `path` exists and this user may not delete it: it can then be neither renamed nor
// replaced, only overwritten.
bool DeleteRefused(const std::wstring& path);

// Writes `bytes` over the file at `path` (created when missing) while no other handle may be open
// on it, and cuts it after them; waits a moment for a reader that holds it. 0 on success, else the
// error code; a write that fails part-way (a full disk) leaves the file cut short.
DWORD OverwriteInPlace(const std::wstring& path, std::string_view bytes);

// Renames `temp` over `target`. Where the folder refuses that for good, the target is overwritten
// in place: with `bytes` when given (the temporary file goes first, so that its room is free), else
// with the temporary file's content (it goes afterwards). A temporary file this user may not
// remove is emptied. 0 on success; otherwise the error code, with `temp` still there.
DWORD ReplaceWithTemporary(const std::wstring& temp, const std::wstring& target,
                           std::optional<std::string_view> bytes = std::nullopt);

}  // namespace orv::win32
