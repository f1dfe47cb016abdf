#include "app/disk_grids.h"

#include <string_view>

#include "diskhealth/smart_attributes.h"
#include "util/text.h"

namespace orv {

namespace {

constexpr int kStatusColumns = 11;
constexpr int kStatusStartRows = 20;

// Grows the grid by a row whenever `row` comes within one row of its end, so the row is inside
// and one empty row stays below it.
void KeepRowInside(GridModel& grid, int row) {
  while (row > grid.RowCount() - 2) grid.SetRowCount(grid.RowCount() + 1);
}

const char* YesNo(bool value) { return value ? "Yes" : "No"; }

// Consumes a comma-separated line from the left: each call gives the text up to the next comma
// (or the rest when none follows) and drops it with its comma.
class FieldCursor {
 public:
  explicit FieldCursor(std::string_view line) : rest_(line) {}
  std::string Next() {
    size_t comma = rest_.find(',');
    std::string field(rest_.substr(0, comma));
    rest_ = comma == std::string_view::npos ? std::string_view() : rest_.substr(comma + 1);
    return field;
  }
  void Skip(int count) {
    for (int i = 0; i < count; ++i) Next();
  }
  size_t Remaining() const { return rest_.size(); }

 private:
  std::string_view rest_;
};

}  // namespace

void SetUpStatusGrid(GridModel& grid, bool live) {
  grid.ClearAllColumns();
  grid.SetColCount(kStatusColumns);
  grid.fixedCols = 3;
  grid.fixedRows = 1;
  grid.SetRowCount(kStatusStartRows);
  grid.SetDefaultColWidth(55);
  grid.SetColWidth(0, 28);
  grid.SetColWidth(1, 160);
  grid.SetColWidth(2, 110);
  grid.SetColWidth(3, 120);
  grid.SetColWidth(7, 80);
  static constexpr const char* kHeaders[] = {"",       "Name",     "項目名",   "状態",     "現在値",
                                             "最悪値", "しきい値", "生データ", "故障警戒?"};
  for (int c = 0; c < static_cast<int>(std::size(kHeaders)); ++c) grid.SetCell(c, 0, kHeaders[c]);
  grid.SetCell(9, 0, live ? "イベント?" : "");
  grid.SetCell(10, 0, live ? "エラー率?" : "");
}

int WriteDriveBlock(GridModel& grid, int row, int driveNumber, const std::string& model, const TSmartResult& r) {
  const struct {
    const char* english;
    const char* japanese;
    std::string value;
  } summary[] = {
      {"DiskNumber", "ディスクNo.", std::to_string(driveNumber)},
      {"Model", "モデル", model},
      {"SerialNumber", "シリアルNo.", r.SerialNumber},
      {"Capacity(MB)", "容量(MB)", std::to_string(r.Capacity / 1048576)},
      {"Reallocated Sector", "再配置セクタ数", std::to_string(r.ReallocSector)},
      {"Hours Running", "運転時間", std::to_string(r.HoursRunning)},
      {"Power Cycles", "電源入り切り回数", std::to_string(r.PowerCycles)},
      {"Temperature Celcius", "温度", std::to_string(r.Temperature)},
      {"Worst Temperature", "最高温度", std::to_string(r.TempWorst)},
      {"Lowest Temperature", "最低温度", std::to_string(r.TempLow)},
  };
  for (const auto& line : summary) {
    KeepRowInside(grid, row);
    grid.SetCell(1, row, line.english);
    grid.SetCell(2, row, line.japanese);
    grid.SetCell(3, row, line.value);
    ++row;
  }
  int last = row - 1;
  ++row;  // one empty row before the attributes
  const int slots = std::min(r.AttrCount, kSmartSlots);
  for (int i = 0; i < slots; ++i) {
    const int id = r.AttrId[i];
    if (!IsLoggedAttrId(id)) continue;
    KeepRowInside(grid, row);
    const std::string japanese = JapaneseAttrNames(id);
    grid.SetCell(0, row, std::to_string(id));
    grid.SetCell(1, row, r.AttrName[i]);
    grid.SetCell(2, row, japanese.empty() ? "(不明な属性)" : japanese);
    grid.SetCell(3, row, r.AttrStatus[i]);
    grid.SetCell(4, row, std::to_string(r.Current[i]));
    grid.SetCell(5, row, std::to_string(r.Worst[i]));
    grid.SetCell(6, row, std::to_string(r.Threshold[i]));
    grid.SetCell(7, row, FormatThousands(r.RawValue[i]));
    grid.SetCell(8, row, YesNo(r.PreFailure[i]));
    grid.SetCell(9, row, YesNo(r.EventCount[i]));
    grid.SetCell(10, row, YesNo(r.ErrorRate[i]));
    last = row++;
  }
  return last + 2;
}

void FillSavedHealthGrid(GridModel& grid, const std::string& englishHeader, const std::string& japaneseHeader,
                         const std::string& dataLine) {
  SetUpStatusGrid(grid, false);
  FieldCursor english(englishHeader), japanese(japaneseHeader), data(dataLine);
  int row = kStatusFirstBlockRow;

  // One row: a label from each header, `n` values from the data line; the headers give one label
  // for a whole attribute group, so they skip the group's further n - 1 fields.
  auto step = [&](int n) {
    if (row >= grid.RowCount()) grid.SetRowCount(row + 1);
    const std::string label = english.Next();
    const size_t colon = label.find(':');
    if (colon == std::string::npos) {
      grid.SetCell(1, row, label);
    } else {
      const bool preFailure = label.starts_with('*');
      grid.SetCell(8, row, YesNo(preFailure));
      grid.SetCell(0, row, label.substr(preFailure ? 1 : 0, colon - (preFailure ? 1 : 0)));
      // "1: Raw Read Error Rate": the name without the blank after the colon.
      std::string name = label.substr(colon + 1);
      if (name.starts_with(' ')) name.erase(0, 1);
      grid.SetCell(1, row, name);
    }
    grid.SetCell(2, row, japanese.Next());
    for (int i = 0; i < n; ++i) grid.SetCell(3 + i, row, data.Next());
    if (n > 1) {
      english.Skip(n - 1);
      japanese.Skip(n - 1);
    }
    ++row;
  };

  step(1);  // date and time of the save
  step(1);  // day of the week: its row is taken over by the drive number
  --row;
  for (int i = 0; i < 12; ++i) step(1);  // drive number ... running time
  while (english.Remaining() >= 2) step(5);
}

void LoadHistoryGrid(GridModel& grid, const std::vector<std::string>& lines) {
  grid.ClearAllColumns();
  grid.SetColCount(1);
  grid.SetRowCount(1);
  grid.SetDefaultColWidth(55);
  grid.SetColWidth(0, 110);
  int row = 0;
  for (const std::string& line : lines) {
    // Only fields followed by a comma are shown; the text after a line's last comma is not.
    std::vector<std::string> fields = Split(line, ',');
    fields.pop_back();
    if (row == 0 && static_cast<int>(fields.size()) > grid.ColCount())
      grid.SetColCount(static_cast<int>(fields.size()));
    for (size_t c = 0; c < fields.size(); ++c) grid.SetCell(static_cast<int>(c), row, fields[c]);
    ++row;
    grid.SetRowCount(row + 1);
  }
  // The two header rows stay fixed; a file without data lines still gets a row below them.
  if (grid.RowCount() < 3) grid.SetRowCount(3);
  grid.fixedCols = 1;
  grid.fixedRows = 2;
  grid.SetColWidth(4, 80);
  grid.SetColWidth(5, 80);
  for (int c = 0; c < grid.ColCount(); ++c) {
    if (grid.Cell(c, 1) != "現在値") continue;
    grid.SetColWidth(c - 1, 110);
    grid.SetColWidth(c + 3, 70);
  }
}

}  // namespace orv
