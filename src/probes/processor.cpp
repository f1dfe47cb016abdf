// The identification instruction and the clock measurement: everything here that touches the
// processor goes through ICpu; the naming itself is in processor_names.cpp.
#include "probes/processor.h"

#include <cmath>

namespace orv {

int QueryCpuidLeaf(ICpu& cpu, uint32_t leaf, CpuidLeaf& out) {
  if (!cpu.CpuidAvailable()) return kCpuidNotAvailable;
  const CpuidLeaf highest = cpu.Cpuid(0);
  // Signed on purpose: extended leaves are negative and therefore never out of range.
  if (static_cast<int32_t>(leaf) > static_cast<int32_t>(highest.eax)) return kCpuidBeyondRange;
  out = leaf == 0 ? highest : cpu.Cpuid(leaf);
  return kCpuidDone;
}

bool HasTimeStampCounter(ICpu& cpu) {
  CpuidLeaf leaf0, leaf1;
  if (QueryCpuidLeaf(cpu, 0, leaf0) != kCpuidDone || leaf0.eax == 0) return false;
  if (QueryCpuidLeaf(cpu, 1, leaf1) != kCpuidDone) return false;
  return (leaf1.edx & (1u << 4)) != 0;
}

CpuidRecord ReadCpuidRecord(ICpu& cpu) {
  // Reading a leaf has no side effects, so all of them are read up front even where the decision
  // looks at a leaf only for some vendors.
  auto read = [&cpu](uint32_t leaf) -> std::optional<CpuidLeaf> {
    CpuidLeaf result;
    if (QueryCpuidLeaf(cpu, leaf, result) != kCpuidDone) return std::nullopt;
    return result;
  };
  CpuidRecord record;
  record.available = cpu.CpuidAvailable();
  record.leaf0 = read(0);
  record.leaf1 = read(1);
  record.leaf2 = read(2);
  record.ext1 = read(0x80000001);
  record.ext6 = read(0x80000006);
  record.ext7 = read(0x80000007);
  record.tm0 = read(0x80860000);
  record.tm1 = read(0x80860001);
  record.processorType = cpu.ProcessorType();
  return record;
}

std::string GetProcessorName(ICpu& cpu) { return ProcessorNameFromLeaves(ReadCpuidRecord(cpu)); }

int64_t MeasureProcessorClock(ICpu& cpu) {
  // A Transmeta processor tells its nominal clock in megahertz; the product is taken in 32 bits.
  CpuidLeaf tm;
  if (QueryCpuidLeaf(cpu, 0x80860000, tm) == kCpuidDone && tm.eax > 0x80860000u) {
    CpuidLeaf info;
    QueryCpuidLeaf(cpu, 0x80860001, info);
    const uint32_t hertz = info.ecx * 1000000u;
    return static_cast<int64_t>(hertz);
  }
  if (!HasTimeStampCounter(cpu)) return 0;

  // Count cycles over one second of the millisecond clock, timed by both clocks. The order of the
  // reads matters: the two counter reads before the window measure the cost of one counter call.
  const int64_t p0 = cpu.PerformanceCounter();
  const int64_t p1 = cpu.PerformanceCounter();
  const uint64_t c0 = cpu.TimeStampCounter();
  const uint32_t m0 = cpu.Milliseconds();
  const uint32_t start = cpu.Milliseconds();
  // Unsigned differences stay right when the millisecond clock wraps (every 49.7 days).
  while (static_cast<uint32_t>(cpu.Milliseconds() - start) < 1000) {
  }
  const uint32_t m1 = cpu.Milliseconds();
  const uint64_t c1 = cpu.TimeStampCounter();
  const int64_t p2 = cpu.PerformanceCounter();
  const int64_t frequency = cpu.PerformanceFrequency();

  // Without a counter frequency Q is taken as 0, so that the millisecond clock decides.
  const double q =
      frequency > 0 ? static_cast<double>((p2 - p1) - (p1 - p0)) / static_cast<double>(frequency) : 0.0;
  const double t = static_cast<double>(static_cast<uint32_t>(m1 - m0)) / 1000.0;
  // The high-resolution counter is trusted only while it agrees with the millisecond clock to
  // within 0.1 s; otherwise the millisecond clock is taken as the true one.
  const double divisor = (t - 0.1 >= q || t + 0.1 <= q) ? t : q;
  if (!(divisor > 0.0)) return 0;
  const auto cycles = static_cast<int64_t>(c1 - c0);
  return std::llround(static_cast<double>(cycles) / divisor);
}

}  // namespace orv
