#pragma once
// The record sink: where the record, its labels and the search results are written. The window's
// table and text screens implement it; the writers below the window know nothing else of them,
// so that they can be used (and tested) without the window model.

#include <string>

namespace orv {

// A table of text cells addressed [column, row]. Writing outside the table is ignored.
class ITableSink {
 public:
  virtual ~ITableSink() = default;
  virtual int RowCount() const = 0;
  virtual void SetRowCount(int rows) = 0;
  virtual const std::string& Cell(int col, int row) const = 0;
  virtual void SetCell(int col, int row, const std::string& text) = 0;
};

// A text that grows by lines added at its end.
class ITextSink {
 public:
  virtual ~ITextSink() = default;
  virtual void Add(const std::string& line) = 0;
};

}  // namespace orv
