#pragma once
// The record writer: the only way a row of the inventory record is written. Every value goes, as
// a CSV field, into the table's "Value" column and as one line of the text (on the window: the
// table and text screens; the text is what the save command writes to the per-PC file).

#include <string>

#include "util/record_sink.h"

namespace orv {

class RecordWriter {
 public:
  // `rowCounter` is the shared counter of the next grid row; the writer advances it.
  RecordWriter(ITableSink& grid, ITextSink& memo, int& rowCounter) : grid_(grid), memo_(memo), counter_(rowCounter) {}

  void AddValue(const std::string& text);
  // Number of values written so far by this writer.
  int Count() const { return count_; }

 private:
  ITableSink& grid_;
  ITextSink& memo_;
  int& counter_;
  int count_ = 0;
};

}  // namespace orv
