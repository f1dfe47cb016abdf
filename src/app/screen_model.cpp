#include "app/screen_model.h"

namespace orv {

namespace {
const std::string kEmpty;
}

void GridModel::Resize() {
  rows_.resize(static_cast<size_t>(rowCount_));
  for (auto& row : rows_) row.resize(static_cast<size_t>(colCount_));
  colWidths_.resize(static_cast<size_t>(colCount_), defaultColWidth_);
  ++revision;
}

void GridModel::SetRowCount(int rows) {
  rowCount_ = rows < 1 ? 1 : rows;
  Resize();
}

void GridModel::SetColCount(int cols) {
  colCount_ = cols < 1 ? 1 : cols;
  Resize();
}

const std::string& GridModel::Cell(int col, int row) const {
  if (col < 0 || row < 0 || col >= colCount_ || row >= rowCount_) return kEmpty;
  return rows_[static_cast<size_t>(row)][static_cast<size_t>(col)];
}

void GridModel::SetCell(int col, int row, const std::string& text) {
  if (col < 0 || row < 0 || col >= colCount_ || row >= rowCount_) return;
  rows_[static_cast<size_t>(row)][static_cast<size_t>(col)] = text;
  ++revision;
}

void GridModel::ClearAllColumns() {
  for (auto& row : rows_)
    for (auto& cell : row) cell.clear();
  ++revision;
}

int GridModel::ColWidth(int col) const {
  if (col < 0 || col >= colCount_) return defaultColWidth_;
  return colWidths_[static_cast<size_t>(col)];
}

void GridModel::SetColWidth(int col, int width) {
  if (col < 0 || col >= colCount_) return;
  colWidths_[static_cast<size_t>(col)] = width;
  ++revision;
}

void GridModel::SetDefaultColWidth(int width) {
  defaultColWidth_ = width;
  for (auto& w : colWidths_) w = width;
  ++revision;
}

}  // namespace orv
