#pragma once
// The per-computer disk-health history: one CSV line per save in the "hdd" folder beside the
// per-PC inventory files, the announcements of a failure or a worsening, and the three shared
// event logs. All files are CP932 with CR LF line ends.

#include <cstddef>
#include <string>
#include <vector>

#include "diskhealth/smart_result.h"
#include "platform/clock.h"

namespace orv {

struct Platform;

// The history keeps its two header lines and at most this many lines in all.
inline constexpr size_t kHistoryMaxLines = 501;
// Drive numbers read for one history line: 0, 1, 2, ... up to the first one that cannot be read,
// and never more than this many (a platform without per-drive addressing answers every number).
inline constexpr int kHistoryMaxDrives = 32;

// "<folder of the per-PC file>hdd".
std::string HealthHistoryFolder(const std::string& pcFilePath);
// "<folder of the per-PC file>hdd\<file name of the per-PC file>".
std::string HealthHistoryFile(const std::string& pcFilePath);

// The shared event logs in the history folder.
enum class HealthEventLog { HddFail, Failed, FailPlusWarning };
// "_hddfail.txt", "_failed.txt", "_fail_plus_warning.txt".
const char* HealthEventLogName(HealthEventLog log);
// One event line (without its line end): the computer name padded with blanks to 19 characters,
// the time stamp, then "  故障 " fail/refFail and "  警告 " warn/refWarn.
std::string HealthEventLine(const std::string& computerName, const DateTime& when, int failures,
                            int refFailures, int warnings, int refWarnings);

// Drive numbers 0, 1, 2, ... read while ReadSmartData leaves its error text empty.
std::vector<TSmartResult> ReadHealthDrives(Platform& platform);

// The data line of one save: time stamp, day of week, then one block per drive.
std::string HealthDataLine(const DateTime& when, const std::vector<TSmartResult>& drives);
// Header lines 1 (English) and 2 (Japanese), with blocks lining up with the data line's.
std::string EnglishHealthHeader(const std::vector<TSmartResult>& drives);
std::string JapaneseHealthHeader(const std::vector<TSmartResult>& drives);

// Fields of a data line, counted from 1, of its first drive block.
inline constexpr size_t kHistoryFieldDateTime = 1;
inline constexpr size_t kHistoryFieldTemperature = 7;
inline constexpr size_t kHistoryFieldTempWorst = 8;
inline constexpr size_t kHistoryFieldRealloc = 10;
inline constexpr size_t kHistoryFieldFailures = 11;
inline constexpr size_t kHistoryFieldWarnings = 12;
inline constexpr size_t kHistoryFieldFirstGroup = 15;  // five fields each for attributes 1, 5, 7, 10, 3, 194

// Field `n` (counted from 1) of a line split at commas; "" when the line is shorter.
std::string HistoryField(const std::vector<std::string>& fields, size_t n);
// A count field as a number; a field that is not one (a hand-edited file) counts as 0.
int HistoryCount(const std::vector<std::string>& fields, size_t n);

// The save step's history: appends this save's line to the history of the per-PC file at
// `pcFilePath`, announces a new failure or a worsening, writes the event logs and sets
// `historyWritten`. Does nothing while `historyWritten` is set.
void AppendHealthHistory(Platform& platform, const std::string& pcFilePath, bool& historyWritten);

// The erase command: asks for confirmation and deletes the history file of the per-PC file at
// `pcFilePath`. True when it was deleted. The event logs stay.
bool EraseHealthHistory(Platform& platform, const std::string& pcFilePath);

}  // namespace orv
