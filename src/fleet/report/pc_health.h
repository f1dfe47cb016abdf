#pragma once
// One computer as the disk health report judges it: what its per-PC file says of it, what the
// latest lines of its history say of its drives, and which concerns follow, worst first.

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "fleet/report/history_excerpt.h"

namespace orv {
class IFiles;
class ITextCodec;
}  // namespace orv

namespace orv::report {

// The report's days: the drives' trends, and the fleet chart by week, cover this many days.
inline constexpr int kTrendDays = 90;
inline constexpr int kTrendWeeks = 13;
// A drive this warm or warmer is a concern, and so is a computer that has not saved this long.
inline constexpr int kHotCelsius = 55;
inline constexpr int kStaleDays = 30;

// The concerns of a computer, in the order of the ranking (a computer ranks by its first one).
enum class Concern : int { Failure, Warning, Worsened, Hot, Stale, NoHistory, Fine };
inline constexpr int kConcernCount = 7;

// Rows 1, 3, 12 and 30 of a per-PC file, as texts (UTF-8, CSV quoting taken off).
struct PcIdentity {
  std::string fileName;   // "<computer>__<workgroup>.csv"
  std::string computer;   // row 1 before its "__" (the file name's when row 1 is empty)
  std::string workgroup;  // row 1 after it
  std::string user, model, windows;
  bool readable = false;  // false: the file could not be read, the rows are empty
};

// Reads the first rows of a per-PC file; only the start of the file is read.
PcIdentity ReadPcIdentity(IFiles& files, const ITextCodec& codec, const std::string& folder,
                          const std::string& fileName);

// A per-PC line as its value: a quoted field unquoted, the apostrophe that protects a leading
// "+", "-", "=" or "@" taken off.
std::string PcFileValue(std::string_view line);

// Eight bytes: the report keeps the points of every drive of the fleet until its rows are written.
struct TrendPoint {
  float daysAgo = 0;  // 0 = the report's time, 90 = ninety days before
  int16_t temperature = 0;
  uint8_t failures = 0, warnings = 0;  // at most 30 attributes to count
};

// One drive of the latest history line.
struct DriveHealth {
  std::string model;  // UTF-8
  int64_t capacityMb = 0;
  int temperature = 0, tempWorst = 0;
  int64_t reallocated = 0;
  bool nvme = false;
  int spare = -1;  // NVMe: available spare in percent (attribute 5's current value); -1 unknown
  int failures = 0, warnings = 0;
  int64_t powerCycles = 0;
  bool worsened = false;  // a count rose (or the spare fell) since the save before
  std::vector<TrendPoint> trend;  // the last kTrendDays, oldest first
};

struct HistoryHealth {
  bool readable = false;  // the latest line parses
  double latestDay = 0;
  std::vector<DriveHealth> drives;
  bool failure = false, warning = false, worsened = false, hot = false;
  // Bit w: some save in week w before the report (0 = its last seven days) counted a failure,
  // respectively a warning, on some drive.
  uint32_t failureWeeks = 0, warningWeeks = 0;
};

// Judges the lines of a history (see ReadHistoryExcerpt) at the day count `nowDay`.
HistoryHealth AssessHistory(const HistoryExcerpt& excerpt, const ITextCodec& codec, double nowDay);

// The concerns of a computer, one bit per Concern; `lastSaveDay` is nullopt when unknown.
uint32_t ConcernsOf(const HistoryHealth& health, std::optional<double> lastSaveDay, double nowDay);
// The first concern of a set (Fine for none).
Concern WorstConcern(uint32_t concerns);

}  // namespace orv::report
