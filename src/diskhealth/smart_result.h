#pragma once
// One drive's S.M.A.R.T. reading: identity, derived counters and the attribute slots with their
// judgement. Filled by ReadSmartData; every disk-health screen, row and history line reads it.

#include <array>
#include <cstdint>
#include <string>

namespace orv {

inline constexpr int kSmartSlots = 32;       // slot arrays; at most kSmartEntries are filled
inline constexpr int kSmartEntries = 30;     // entries of an attribute or threshold sector

struct TSmartResult {
  int32_t DriveNum = -1;       // drive position (0..3) that answered; -1 when none did
  int64_t Capacity = 0;        // bytes: ATA identify words 100-103 (48-bit drives) or 60-61, x 512;
                               // NVMe TNVMCAP or the disk's length
  std::string SerialNumber;    // identify words 10-19 (NVMe: identify controller bytes 4-23)
  std::string FirmwareRev;     // identify words 23-26 (NVMe: bytes 64-71)
  std::string ModelNumber;     // identify words 27-46 (NVMe: bytes 24-63)
  int32_t Temperature = 0;     // from attribute 194
  int32_t TempWorst = 0;
  int32_t TempLow = 0;
  int32_t HoursRunning = 0;    // attribute 9: raw div 60 + 1
  int32_t ReallocSector = 0;   // attribute 5 raw
  int32_t PowerCycles = 0;     // attribute 12 raw
  int32_t SmartFailTot = 0;    // slots judged "故障" or "過去に故障"
  int32_t SmartWarnTot = 0;    // slots judged "警戒"
  int32_t AttrCount = 0;       // filled slots, from index 0
  std::array<int32_t, kSmartSlots> AttrId{};
  std::array<std::string, kSmartSlots> AttrName{};
  std::array<bool, kSmartSlots> PreFailure{};  // flags bit 0
  std::array<bool, kSmartSlots> EventCount{};  // flags bit 4
  std::array<bool, kSmartSlots> ErrorRate{};   // flags bit 3
  std::array<int32_t, kSmartSlots> Current{};
  std::array<int32_t, kSmartSlots> Worst{};
  std::array<int32_t, kSmartSlots> Threshold{};  // threshold sector entry at the same index
  std::array<int64_t, kSmartSlots> RawValue{};   // 6 bytes little-endian
  std::array<std::string, kSmartSlots> AttrStatus{};
  // The bus the storage stack names for the drive ("NVMe", "SATA", "USB", ...; "ATA" for a drive
  // read through the ATA commands when the stack names none); "" when the drive was not read and
  // the stack named none.
  std::string BusType;
};

}  // namespace orv
