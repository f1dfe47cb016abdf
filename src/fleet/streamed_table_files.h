#pragma once
// Tables of the command-line builder, streamed: each table is written through a buffer into a
// temporary file beside it ("~roster.csv.<process id>.tmp"), flushed to the disk, and renamed over
// the previous table at the end. Memory stays at one buffer per table however large the fleet,
// and the previous table stays whole until the rename. A table that is not replaced (the run
// stopped) has its temporary file deleted.
//
// Native: open/write/fsync/rename. Windows: CreateFileW/WriteFile/FlushFileBuffers and
// MoveFileExW, retried for a moment while another process (a spreadsheet, say) holds the table.

#include "fleet/table_files.h"

namespace orv {

class StreamedTableFiles final : public ITableFiles {
 public:
  std::unique_ptr<ITableWriter> Create(const std::string& path, std::string* error) override;
};

}  // namespace orv
