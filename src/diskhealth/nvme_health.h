#pragma once
// An NVMe drive as attribute slots: the identity from the Identify Controller data and the SMART /
// Health Information log (page 02h) turned into slots of the ATA ids that mean the same, so that
// the record rows, the history, the event logs, the dialogs and the screens treat an NVMe drive
// like any other. The judgement of every slot is the one rule of smart_attributes.h.
//
//   log bytes                        slot
//   1-2 composite temperature (K)    194 advisory, raw bytes 0, 2, 4 = current = worst = deg C
//   3 available spare, 4 threshold   5 pre-failure: current = worst = spare %, threshold
//   5 percentage used                233 advisory: current = worst = 100 - min(used, 100), raw used
//   0 critical warning, bits 1-5     213 pre-failure, threshold 10: current 100, 30 (temperature
//                                    bit only) or 1 (reliability, read-only, backup, memory)
//   112, 128, 144, 160 (16 each)     raw of 12 power cycles, 9 power-on hours, 192 unsafe
//                                    shutdowns, 198 media and data integrity errors
//   48 / 32 (16 each)                raw of 241 data units written / 242 data units read
// 128-bit counters are clamped to the 48 bits of a raw value. Ids 1, 3, 7 and 10 have no NVMe
// counterpart and stay absent.

#include <cstdint>
#include <string_view>

#include "diskhealth/smart_result.h"

namespace orv {

// The attribute id that carries the NVMe critical warning.
inline constexpr int kNvmeCriticalWarningId = 213;

// Fills `r` (cleared first) from the Identify Controller data (at least its first 512 bytes) and
// the health log (512 bytes; shorter data reads as zeros). `Capacity` is TNVMCAP (bytes 280-295),
// 0 when the controller does not report it; the caller then asks the disk's length.
void FillNvmeResult(TSmartResult& r, std::string_view identify, std::string_view healthLog);

}  // namespace orv
