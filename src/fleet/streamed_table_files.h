#pragma once
// Tables written by the programs, streamed: each table is written through a buffer into a
// temporary file beside it ("~roster.csv.<process id>.tmp"), flushed to the disk, and renamed over
// the previous table at the end. Memory stays at one buffer per table however large the fleet,
// and the previous table stays whole until the rename. A table that is not replaced (the run
// stopped) has its temporary file deleted. At the replace, the previous table is kept aside
// ("~roster.csv.<process id>.bak", a second link to it, or a copy where the file system has no
// links) until the writer goes, so that Restore can put it back.
//
// One declaration, two implementations: fleet/posix (open/write/fsync/link/rename) for the native
// build, fleet/win32 (CreateFileW/WriteFile/FlushFileBuffers/CreateHardLinkW and MoveFileExW,
// retried for a moment while another process, a spreadsheet say, holds the table).

#include <string>

#include "fleet/table_files.h"

namespace orv {

class StreamedTableFiles final : public ITableFiles {
 public:
  std::unique_ptr<ITableWriter> Create(const std::string& path, std::string* error) override;
};

// "C:\data\roster.csv" -> "C:\data\~roster.csv.<id>[-<attempt>]<suffix>": beside the table (a
// rename never crosses a volume) and not matching "*.csv", so no builder takes it for a per-PC
// file.
std::string TableSidePath(const std::string& path, unsigned long processId, int attempt, const char* suffix);

}  // namespace orv
