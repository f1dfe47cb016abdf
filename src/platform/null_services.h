#pragma once
// Stand-ins for a platform that has no WMI and no processor identification: every query fails,
// which the probes turn into their documented empty values.

#include "platform/cpu.h"
#include "platform/wmi.h"

namespace orv {

class NullWmi final : public IWmi {
 public:
  std::optional<std::vector<WmiInstance>> ExecQuery(const std::string&) override { return std::nullopt; }
  std::optional<std::vector<WmiInstance>> InstancesOf(const std::string&) override { return std::nullopt; }
};

class NullCpu final : public ICpu {
 public:
  bool CpuidAvailable() override { return false; }
  CpuidLeaf Cpuid(uint32_t) override { return {}; }
  uint32_t ProcessorType() override { return 0; }
  uint64_t TimeStampCounter() override { return 0; }
  int64_t PerformanceCounter() override { return 0; }
  int64_t PerformanceFrequency() override { return 1; }
  uint32_t Milliseconds() override { return 0; }
};

}  // namespace orv
