#pragma once
// A processor described by recorded identification leaves and scripted clocks.

#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "platform/cpu.h"

namespace orv::test {

class FakeCpu final : public ICpu {
 public:
  bool available = true;
  // Leaves that are not listed answer four zeros.
  std::map<uint32_t, CpuidLeaf> leaves;
  uint32_t processorType = 586;

  // Clocks: each list is answered in order; after its end a clock keeps advancing by its step
  // from the last value, so that a one-second wait costs a few calls, not a second.
  std::vector<int64_t> counters;
  int64_t counterStep = 1000;
  int64_t frequency = 1000000;
  std::vector<uint64_t> stamps;
  uint64_t stampStep = 1000000;
  std::vector<uint32_t> milliseconds;
  uint32_t millisecondStep = 100;

  // One letter per clock read: P counter, F frequency, C time-stamp counter, M millisecond clock.
  std::string clockReads;

  // Leaf 0: the highest standard leaf and the 12-character vendor text.
  void SetVendor(std::string_view vendor, uint32_t highestLeaf) {
    uint32_t words[3] = {0, 0, 0};
    for (size_t i = 0; i < vendor.size() && i < 12; ++i)
      words[i / 4] |= static_cast<uint32_t>(static_cast<unsigned char>(vendor[i])) << (8 * (i % 4));
    leaves[0] = {highestLeaf, words[0], words[2], words[1]};
  }

  bool CpuidAvailable() override { return available; }
  CpuidLeaf Cpuid(uint32_t leaf) override { return leaves.count(leaf) ? leaves[leaf] : CpuidLeaf{}; }
  uint32_t ProcessorType() override { return processorType; }
  uint64_t TimeStampCounter() override { return Read('C', stamps, stampIndex_, stampStep); }
  int64_t PerformanceCounter() override { return Read('P', counters, counterIndex_, counterStep); }
  int64_t PerformanceFrequency() override { return Read('F', frequency); }
  uint32_t Milliseconds() override { return Read('M', milliseconds, millisecondIndex_, millisecondStep); }

 private:
  // Notes the read of clock `letter`; the next value of a script, or the constant `value`.
  template <typename T>
  T Read(char letter, T value) {
    clockReads += letter;
    return value;
  }
  template <typename T>
  T Read(char letter, std::vector<T>& script, size_t& index, T step) {
    if (index == script.size()) script.push_back(script.empty() ? T{} : static_cast<T>(script.back() + step));
    return Read(letter, script[index++]);
  }
  size_t counterIndex_ = 0, stampIndex_ = 0, millisecondIndex_ = 0;
};

}  // namespace orv::test
