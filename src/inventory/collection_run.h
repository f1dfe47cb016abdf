#pragma once
// The collection run: rows 1 to 90 of the inventory record in their fixed order, then the script
// rows, the installed programs (padded to 100 rows) and the patches.

#include <functional>
#include <string>
#include <vector>

#include "probes/bounded_sources.h"
#include "util/record_sink.h"

namespace orv {

struct Platform;
class ICpu;
class IWmi;
class TRegistryEx;

struct CollectionServices {
  Platform& platform;
  IWmi& wmi;
  ICpu& cpu;
  // Called after each group of rows with the group's name (for the collection benchmark).
  std::function<void(const char* group)> groupDone = nullptr;
  // All the time WMI and the update history may take in one run; after it the rows they feed
  // are empty. `now` is the steady clock unless a test sets its own.
  std::chrono::milliseconds wmiBudget = kCollectionWmiBudget;
  SteadyClock now = nullptr;
};

// What the run needs of the program's state.
struct CollectionInput {
  std::string saveFolder;  // "SaveDir" without a trailing backslash (row 25 asks its server's clock)
  bool keyOpen = false;    // the latest key opening by the script or printer lookup before this run
};

struct CollectionResult {
  std::string osKind;              // "NT" or "9x"
  std::string windowsProductName;  // the value of row 30
  bool scriptUnreadable = false;   // regitems.txt is there but could not be read: its rows are missing
  std::string computerStem;        // "<computer name>__<workgroup>", for the saves
  std::string programFilesFolder;
  bool keyOpen = false;            // the latest key opening of this run
};

// "<computer name>__<workgroup>": the stem of this computer's per-PC and history files.
std::string ComputerStem(Platform& platform);

// Writes the whole record through `addValue`. `memo` is the record text (prompt answers of the
// script go straight into it).
CollectionResult CollectRecord(CollectionServices& services, const CollectionInput& input,
                               const std::string& programFolder, ITextSink& memo,
                               const std::function<void(const std::string&)>& addValue);

// ---- row formats, exposed for their tests ----
// Row 14: whole MHz of a measured clock, rounded by its number of digits ("3193 MHz" -> "3200").
std::string FormatClockMHz(int64_t hertz);
// Row 16: megabytes rounded to the nearest multiple of 8.
std::string RoundMemoryMB(const std::string& megabytes);
// Row 37: a product ID without dashes in groups of 5, 3, 7 and 5 characters.
std::string GroupProductId(const std::string& productId);
// Row 25: the server part of a save folder ("\\srv\share\dir" -> "\\srv").
std::string ServerOfFolder(const std::string& saveFolder);
// Row 25: (local - server) in minutes with "%8.2f"; empty when either time is not a date-time.
std::string ClockDifferenceMinutes(const std::string& localTime, const std::string& serverTime);
// Row 36 on 9x: a packed file date-time (date in the high word) as "yyyy/mm/dd hh:mm:ss".
std::string PackedFileDateTime(uint32_t packed);
// The installed programs padded with empty rows to 100, then the patches newest first, each as
// the text after its first "0@".
std::vector<std::string> ProgramAndPatchRows(const std::vector<std::string>& programs,
                                             const std::vector<std::string>& patches);

}  // namespace orv
