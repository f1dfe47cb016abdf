#pragma once
// Names the processor from its identification leaves and measures its clock.
//
// The name is a pure function of the leaf results (CpuidRecord), so that every row of the vendor
// tables can be checked with recorded leaves; GetProcessorName only gathers the record.

#include <cstdint>
#include <optional>
#include <string>

#include "platform/cpu.h"

namespace orv {

std::string GetProcessorName(ICpu& cpu);
// Processor cycles per second, or 0 when they cannot be measured.
int64_t MeasureProcessorClock(ICpu& cpu);

// ---- Leaf query -------------------------------------------------------------------------------

enum CpuidStatus : int {
  kCpuidDone = 0,
  kCpuidNotAvailable = 1,  // the identification instruction does not exist
  kCpuidBeyondRange = 2,   // the leaf is beyond the highest standard leaf
};

// Executes one leaf. The range check compares the leaf with leaf 0's EAX as signed 32-bit numbers,
// so extended leaves (0x80000000 and up, 0x80860000 and up) always pass. `out` is written only
// when the result is kCpuidDone.
int QueryCpuidLeaf(ICpu& cpu, uint32_t leaf, CpuidLeaf& out);

// True when leaf 0 answers a non-zero highest leaf and leaf 1 EDX bit 4 is set.
bool HasTimeStampCounter(ICpu& cpu);

// ---- Name decision ----------------------------------------------------------------------------

// Everything the name decision reads. A leaf is empty when QueryCpuidLeaf did not answer it;
// the decision then reads it as four zeros.
struct CpuidRecord {
  bool available = false;          // the identification instruction exists
  std::optional<CpuidLeaf> leaf0;  // highest standard leaf and vendor text
  std::optional<CpuidLeaf> leaf1;  // signature, brand index, feature flags
  std::optional<CpuidLeaf> leaf2;  // cache descriptors
  std::optional<CpuidLeaf> ext1;   // 0x80000001: MP flag, 64-bit flag, brand
  std::optional<CpuidLeaf> ext6;   // 0x80000006: L2 size
  std::optional<CpuidLeaf> ext7;   // 0x80000007: power management (mobile flag)
  std::optional<CpuidLeaf> tm0;    // 0x80860000: Transmeta highest leaf
  std::optional<CpuidLeaf> tm1;    // 0x80860001: Transmeta revision and nominal clock
  uint32_t processorType = 0;      // dwProcessorType of GetSystemInfo
};

struct CpuSignature {
  uint32_t stepping = 0, model = 0, family = 0, type = 0, extendedFamily = 0, brandIndex = 0;
};

// Sizes in kilobytes; L3 matters only as zero or non-zero.
struct CacheSizes {
  uint16_t l2 = 0;
  uint16_t l3 = 0;
};

// Reads every leaf the name decision needs, and the OS processor type.
CpuidRecord ReadCpuidRecord(ICpu& cpu);

// The 12 characters of leaf 0 (EBX, EDX, ECX), or "Unknown" without the instruction.
std::string VendorText(const CpuidRecord& record);
CpuSignature SignatureOf(const CpuidRecord& record);
CacheSizes GetCacheSizes(const CpuidRecord& record);
// Leaf 1 EBX bits 16-23 when leaf 1 EDX bit 28 is set, else 0.
unsigned GetLogicalProcessorCount(const CpuidRecord& record);
// Leaf 0x80000007 EDX bit 1.
bool IsAmdMobile(const CpuidRecord& record);

// The processor name by the vendor tables; may be empty.
std::string ProcessorNameFromLeaves(const CpuidRecord& record);

}  // namespace orv
