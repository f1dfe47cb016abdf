#pragma once
// The six disk-health rows of the inventory record.

#include <functional>
#include <string>

namespace orv {

struct Platform;

// Appends exactly six values (failure/warning counts, read errors, reallocated sectors, seek
// errors, spin retries, temperature) for drive 0, falling back on the last line of the history
// file at `historyPath` when the drive cannot be read.
void DiskHealthItems(Platform& platform, const std::string& historyPath,
                     const std::function<void(const std::string&)>& addValue);

}  // namespace orv
