#pragma once
// Where the fleet table builder writes its two tables. A table is written line by line while the
// folder is read, but it takes the place of the previous table only at the very end, in one step:
// a run that stops half-way (an unreadable file, a full disk, a crash) leaves the previous
// complete tables in place, and a reader on another PC never sees half a table.

#include <memory>
#include <string>
#include <string_view>

namespace orv {

class IFiles;

// One table (or any file written the same way, such as the disk health report) being written.
class ITableWriter {
 public:
  // A table that was not replaced is discarded and the previous one stays untouched; after a
  // replace, the previous table kept aside is let go.
  virtual ~ITableWriter() = default;
  // Adds bytes at the end. A failure is kept and reported by Finish.
  virtual void Append(std::string_view bytes) = 0;
  // Makes everything appended durable beside the table; false (and `error`) on any failure so far.
  virtual bool Finish(std::string* error) = 0;
  // Puts the finished table in place of the previous one, which is kept aside until the writer
  // goes, so that Restore can put it back; false (and `error`) when it cannot.
  virtual bool Replace(std::string* error) = 0;
  // After a Replace: puts the previous table back (or removes the new one when there was none),
  // so that two tables replaced one after the other stay a pair when the second one fails. False
  // when it cannot.
  virtual bool Restore() = 0;
};

class ITableFiles {
 public:
  virtual ~ITableFiles() = default;
  // Starts a new table for `path`; nullptr (and `error`) when it cannot be created.
  virtual std::unique_ptr<ITableWriter> Create(const std::string& path, std::string* error) = 0;
};

// Tables kept in memory and written with IFiles::WriteFileAtomic when they are replaced: works on
// every platform and in the tests, at the cost of holding both tables until the end. The programs
// stream through temporary files instead (StreamedTableFiles).
class BufferedTableFiles final : public ITableFiles {
 public:
  explicit BufferedTableFiles(IFiles& files) : files_(files) {}
  std::unique_ptr<ITableWriter> Create(const std::string& path, std::string* error) override;

 private:
  IFiles& files_;
};

}  // namespace orv
