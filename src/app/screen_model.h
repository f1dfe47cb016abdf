#pragma once
// The state of TForm1's controls as plain data. The core changes it; the Win32 window renders it
// after every event and reports the user's edits back (the view stays humble).

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "util/record_sink.h"

namespace orv {

// Memo1: the text screen. `lines` changes through Add, Clear and Assign only, so that the view can
// tell lines added at the end from a new text.
struct MemoModel : ITextSink {
  std::vector<std::string> lines;
  bool visible = true;
  bool readOnly = false;
  bool modified = false;     // the control's modified mark
  std::string selectedText;  // reported by the view before each command
  uint64_t revision = 0;     // bumped by the core whenever `lines` change, so the view reloads
  uint64_t rewrites = 0;     // bumped when `lines` change other than by lines added at the end

  void Clear() {
    lines.clear();
    ++revision;
    ++rewrites;
  }
  void Assign(std::vector<std::string> text) {
    lines = std::move(text);
    ++revision;
    ++rewrites;
  }
  void Add(const std::string& line) override {
    lines.push_back(line);
    ++revision;
  }
};

// StringGrid1: the table screen. Cells are addressed [column, row] like the grid they model.
class GridModel : public ITableSink {
 public:
  GridModel() { Resize(); }

  int RowCount() const override { return rowCount_; }
  int ColCount() const { return colCount_; }
  void SetRowCount(int rows) override;
  void SetColCount(int cols);

  const std::string& Cell(int col, int row) const override;
  // Writing outside the grid is ignored, as the control does.
  void SetCell(int col, int row, const std::string& text) override;
  // Empties every cell of every column (the grid keeps its size).
  void ClearAllColumns();

  int ColWidth(int col) const;
  void SetColWidth(int col, int width);
  int DefaultColWidth() const { return defaultColWidth_; }
  // Sets the default width and gives it to every column.
  void SetDefaultColWidth(int width);

  int fixedRows = 1;
  int fixedCols = 1;
  int defaultRowHeight = 16;
  bool visible = false;
  bool columnSizing = true;
  uint64_t revision = 0;  // bumped on every change

 private:
  void Resize();
  int rowCount_ = 10;
  int colCount_ = 3;
  int defaultColWidth_ = 64;
  std::vector<std::vector<std::string>> rows_;
  std::vector<int> colWidths_;
};

struct ProgressModel {
  bool visible = false;
  int min = 0, max = 100, position = 0;
};

struct TimerModel {
  bool enabled = false;
  unsigned intervalMs = 1000;
};

}  // namespace orv
