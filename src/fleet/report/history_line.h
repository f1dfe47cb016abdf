#pragma once
// One data line of a disk health history as the report reads it, from its CP932 bytes: the time
// of the save and one block per drive. A block is 12 fields (drive number, capacity, model,
// serial, temperature now, highest and lowest, reallocated sectors, failure and warning counts,
// power cycles, running time), the six groups of five fields of the attributes 1, 5, 7, 10, 3,
// 194, then one group per further attribute (its status is never empty), then the empty field
// that ends the block. The line carries no attribute ids beyond the first six: which further
// attributes a block holds only its header says, so an NVMe drive (whose block has the
// pre-failure "critical warning" attribute 213) is told by the English header line.
//
// Model and serial stay CP932 bytes (views into the line); the caller decodes what it shows.

#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

namespace orv::report {

struct DriveBlock {
  int driveNumber = 0;
  int64_t capacityMb = 0;
  std::string_view model, serial;  // CP932
  int temperature = 0, tempWorst = 0, tempLow = 0;
  int64_t reallocated = 0;
  int failures = 0, warnings = 0;
  int64_t powerCycles = 0, hoursRunning = 0;
  // Current value of attribute 5: on an NVMe drive the available spare in percent; -1 when the
  // block has no attribute 5.
  int attribute5Current = -1;
};

struct HistoryLine {
  double day = 0;  // the save's time as a day count (clock.h)
  std::vector<DriveBlock> drives;
};

// Parses one data line; false (and `out` unspecified) when it is not one: a time stamp that is not
// "yyyy/mm/dd hh:mm:ss", no drive block, a count or a temperature that is not a whole number, a
// block cut short. `out` is reused so that a caller parsing many lines allocates once.
bool ParseHistoryLine(std::string_view line, HistoryLine& out);

// Only the time stamp of a data line, as a day count; nullopt when the line does not start with one.
std::optional<double> HistoryLineDay(std::string_view line);

// Per drive block of the English header line: whether it holds attribute 213 ("213: ..." or
// "*213: ...", the mark of an NVMe drive). Empty for a line that is not such a header.
std::vector<bool> NvmeBlocksOfHeader(std::string_view englishHeader);

}  // namespace orv::report
