#pragma once
// The processor's identification instruction and clocks on x86-64 Windows.

#include "platform/cpu.h"

namespace orv::win32 {

class Win32Cpu final : public ICpu {
 public:
  // On x86-64 the identification instruction always exists; the flag test is kept for the
  // interface's sake.
  bool CpuidAvailable() override;
  CpuidLeaf Cpuid(uint32_t leaf) override;
  uint32_t ProcessorType() override;
  uint64_t TimeStampCounter() override;
  int64_t PerformanceCounter() override;
  int64_t PerformanceFrequency() override;
  uint32_t Milliseconds() override;
};

}  // namespace orv::win32
