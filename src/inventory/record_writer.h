#pragma once
// The record writer: the only way a row of the inventory record is written. Every value goes, as
// a CSV field, into the table screen's "Value" column and as one line of the text screen (the
// lines the save command writes to the per-PC file).

#include <string>

namespace orv {

class GridModel;
struct MemoModel;

class RecordWriter {
 public:
  // `rowCounter` is the shared counter of the next grid row; the writer advances it.
  RecordWriter(GridModel& grid, MemoModel& memo, int& rowCounter) : grid_(grid), memo_(memo), counter_(rowCounter) {}

  void AddValue(const std::string& text);
  // Number of values written so far by this writer.
  int Count() const { return count_; }

 private:
  GridModel& grid_;
  MemoModel& memo_;
  int& counter_;
  int count_ = 0;
};

}  // namespace orv
