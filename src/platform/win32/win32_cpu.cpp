#include "platform/win32/win32_cpu.h"

#include <cpuid.h>
#include <x86intrin.h>

#include "platform/win32/wide.h"

#include <mmsystem.h>

namespace orv::win32 {

bool Win32Cpu::CpuidAvailable() {
  // Toggle bit 21 of the flags register; the instruction exists when the bit follows.
  uint64_t before = __readeflags();
  __writeeflags(before ^ 0x200000);
  uint64_t after = __readeflags();
  __writeeflags(before);
  return ((before ^ after) & 0x200000) != 0;
}

CpuidLeaf Win32Cpu::Cpuid(uint32_t leaf) {
  unsigned a = 0, b = 0, c = 0, d = 0;
  __cpuid_count(leaf, 0, a, b, c, d);
  return {a, b, c, d};
}

uint32_t Win32Cpu::ProcessorType() {
  SYSTEM_INFO info{};
  GetSystemInfo(&info);
  return info.dwProcessorType;
}

uint64_t Win32Cpu::TimeStampCounter() { return __rdtsc(); }

int64_t Win32Cpu::PerformanceCounter() {
  LARGE_INTEGER v{};
  QueryPerformanceCounter(&v);
  return v.QuadPart;
}

int64_t Win32Cpu::PerformanceFrequency() {
  LARGE_INTEGER v{};
  if (!QueryPerformanceFrequency(&v) || v.QuadPart <= 0) return 1;
  return v.QuadPart;
}

uint32_t Win32Cpu::Milliseconds() { return timeGetTime(); }

}  // namespace orv::win32
