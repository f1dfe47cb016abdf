// The six disk-health rows of the inventory record: read live from drive 0, or taken from the last
// line of this computer's health history when the drive cannot be read.
#include "diskhealth/health_items.h"

#include <vector>

#include "diskhealth/health_history.h"
#include "diskhealth/smart_attributes.h"
#include "diskhealth/smart_read.h"
#include "platform/files.h"
#include "platform/platform.h"
#include "util/text.h"
#include "util/text_file.h"

namespace orv {

namespace {

// Status, current, worst and threshold of the group at position `group` (0 = attribute 1).
std::string SavedGroup(const std::vector<std::string>& f, size_t group) {
  const size_t first = kHistoryFieldFirstGroup + 5 * group;
  return HistoryField(f, first) + "/" + HistoryField(f, first + 1) + "/" + HistoryField(f, first + 2) + "/" +
         HistoryField(f, first + 3);
}

}  // namespace

void DiskHealthItems(Platform& platform, const std::string& historyPath,
                     const std::function<void(const std::string&)>& addValue) {
  TSmartResult r;
  std::string error;
  ReadSmartData(platform, 0, r, error);
  if (error.empty()) {
    addValue(std::to_string(r.SmartFailTot) + "/" + std::to_string(r.SmartWarnTot));
    addValue(AttrCell(r, 1));
    addValue(AttrCell(r, 5) + "/" + std::to_string(r.ReallocSector));
    addValue(AttrCell(r, 7));
    addValue(AttrCell(r, 10));
    addValue(AttrCell(r, 194) + "/" + std::to_string(r.Temperature) + "/" + std::to_string(r.TempWorst));
    return;
  }

  // No rights, no drive or a failed read: the latest saved line stands in. A missing or unreadable
  // history (or one without any line) gives six empty values.
  std::optional<std::vector<std::string>> lines;
  if (platform.files.FileExists(historyPath)) lines = ReadTextLines(platform.files, platform.codec, historyPath);
  if (!lines || lines->empty()) {
    for (int i = 0; i < 6; ++i) addValue("");
    return;
  }
  const std::vector<std::string> f = Split(lines->back(), ',');
  addValue(HistoryField(f, kHistoryFieldFailures) + "/" + HistoryField(f, kHistoryFieldWarnings) + " (" +
           HistoryField(f, kHistoryFieldDateTime) + ")");
  addValue(SavedGroup(f, 0));
  addValue(SavedGroup(f, 1) + "/" + HistoryField(f, kHistoryFieldRealloc));
  addValue(SavedGroup(f, 2));
  addValue(SavedGroup(f, 3));
  addValue(SavedGroup(f, 5) + "/" + HistoryField(f, kHistoryFieldTemperature) + "/" + HistoryField(f, kHistoryFieldTempWorst));
}

}  // namespace orv
