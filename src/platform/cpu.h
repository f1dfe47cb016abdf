#pragma once
// The processor's identification instruction and its clocks.

#include <cstdint>

namespace orv {

struct CpuidLeaf {
  uint32_t eax = 0, ebx = 0, ecx = 0, edx = 0;
};

class ICpu {
 public:
  virtual ~ICpu() = default;
  // False when the identification instruction is not available (the flags register's bit 21
  // cannot be toggled).
  virtual bool CpuidAvailable() = 0;
  // Executes CPUID for `leaf` (sub-leaf 0).
  virtual CpuidLeaf Cpuid(uint32_t leaf) = 0;
  // dwProcessorType of GetSystemInfo.
  virtual uint32_t ProcessorType() = 0;
  // RDTSC (named so as not to meet the ReadTimeStampCounter macro of <windows.h>).
  virtual uint64_t TimeStampCounter() = 0;
  virtual int64_t PerformanceCounter() = 0;
  virtual int64_t PerformanceFrequency() = 0;
  // The millisecond clock (timeGetTime).
  virtual uint32_t Milliseconds() = 0;
};

}  // namespace orv
