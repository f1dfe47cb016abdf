#pragma once
// The two table screens of the disk-health menu, as layouts of StringGrid1: the status grid (one
// block of summary and attribute rows per drive, live or from the latest saved line) and the
// history table (the history file as it stands, one line per row).

#include <string>
#include <vector>

#include "app/screen_model.h"
#include "diskhealth/smart_result.h"

namespace orv {

// Rows of the status grid before the first drive block; the first block starts at row 1.
inline constexpr int kStatusFirstBlockRow = 1;

// Sets up the status grid anew: 11 columns (3 fixed), 1 fixed row, 20 rows, the widths and the
// header row. `live` adds the header cells "イベント?" and "エラー率?" of the live reading.
void SetUpStatusGrid(GridModel& grid, bool live);

// Writes the block of drive `driveNumber` (its reading `r`, the model text of the hardware query)
// from row `row`: ten summary rows, one empty row, then one row per logged attribute slot. The grid
// grows so that every row written is inside it and one row stays free below. Returns the row where
// the next drive's block starts (one empty row after the last row of this block).
int WriteDriveBlock(GridModel& grid, int row, int driveNumber, const std::string& model, const TSmartResult& r);

// The saved-data view: the status grid filled from the history file's two header lines and its
// latest data line, field by field from the left (labels from the headers, values from the data).
void FillSavedHealthGrid(GridModel& grid, const std::string& englishHeader, const std::string& japaneseHeader,
                         const std::string& dataLine);

// The history table: every line of the history file as a row, each comma-ended field in its own
// column (the header decides the column count), 2 fixed rows and 1 fixed column, and the widths
// of the model, serial, attribute name and raw value columns.
void LoadHistoryGrid(GridModel& grid, const std::vector<std::string>& lines);

}  // namespace orv
