#pragma once
// Putting a finished temporary file in the place of its target, in the same folder. Normally one
// rename(). A collection share is often set up so that users may create and write files but not
// delete or rename them (here: a sticky folder where the file belongs to someone else); there
// the rename is refused for good, and the target is overwritten in place instead: not atomic (a
// reader may meet a half-written file), but the save is not lost.

#include <string>
#include <string_view>

namespace orv {

// True when a rename failed for a reason that no retry will mend and an overwrite in place may.
bool RenameRefused(int code);

// Writes `bytes` over the file at `path` (created when missing), under an exclusive lock, and cuts
// it after them. 0 on success, else the errno; a write that fails part-way (a full disk) leaves
// the file cut short.
int OverwriteInPlace(const std::string& path, std::string_view bytes);

// Renames `temp` over `target`; where the folder refuses that, copies the temporary file's bytes
// over the target in place and removes the temporary file. 0 on success; otherwise the errno,
// with `temp` still there (the caller removes it).
int ReplaceWithTemporary(const std::string& temp, const std::string& target);

}  // namespace orv
