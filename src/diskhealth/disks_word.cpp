#include "diskhealth/disks_word.h"

#include "diskhealth/health_history.h"
#include "diskhealth/smart_attributes.h"
#include "diskhealth/smart_read.h"

namespace orv {

namespace {

std::string Judgement(const TSmartResult& r) {
  if (r.SmartFailTot > 0) return kStatusFailure;
  if (r.SmartWarnTot > 0) return kStatusWarning;
  return kStatusOk;
}

std::string DiskValue(const DriveReading& d) {
  const TSmartResult& r = d.result;
  const std::string head = std::to_string(d.number) + " " + (r.BusType.empty() ? "-" : r.BusType);
  if (d.state != DriveState::Read) return head + " -";
  const std::string temperature = FindSlot(r, 194) < 0 ? "-" : std::to_string(r.Temperature) + "℃";
  return head + " " + r.ModelNumber + " " + std::to_string(r.Capacity / 1048576) + "MB " + Judgement(r) + " " +
         temperature;
}

}  // namespace

std::vector<std::string> DisksWordValues(Platform& platform, int count) {
  std::vector<std::string> values;
  if (count < 1) return values;
  // The history's bound on drive numbers, also for a count above it.
  for (const DriveReading& d : ReadEveryDrive(platform, count < kHistoryMaxDrives ? count : kHistoryMaxDrives))
    values.push_back(DiskValue(d));
  while (static_cast<int>(values.size()) < count) values.emplace_back();
  return values;
}

}  // namespace orv
