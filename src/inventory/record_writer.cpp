#include "inventory/record_writer.h"

#include "inventory/csv_field.h"

namespace orv {

void RecordWriter::AddValue(const std::string& text) {
  std::string field = CsvField(text);
  // The grid grows ten rows at a time; it grows before the write so that no value is lost when
  // the counter reaches the last row.
  while (grid_.RowCount() <= counter_) grid_.SetRowCount(grid_.RowCount() + 10);
  grid_.SetCell(2, counter_, field);
  memo_.Add(field);
  ++counter_;
  ++count_;
}

}  // namespace orv
