// The processor probes over recorded identification leaves and scripted clocks; the cases and
// their format are in tests/data/cases/probes_cpuid.txt.
#include "probes/processor.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "fakes/case_table.h"
#include "fakes/fake_cpu.h"
#include "util/text.h"

namespace orv {
namespace {

using test::FakeCpu;

template <typename T>
std::vector<T> Readings(const std::string& list) {
  std::vector<T> values;
  for (const std::string& v : Split(list, ',')) values.push_back(static_cast<T>(std::stoull(v)));
  return values;
}

// Sets up the processor of one case; returns the leaf that a query asks for.
uint32_t Load(FakeCpu& cpu, const test::Case& c) {
  cpu.SetVendor(c[2], std::stoul(c[3], nullptr, 16));
  uint32_t ask = 0;
  for (const std::string& word : Split(c[4], ' ')) {
    const size_t eq = word.find('='), dot = word.find('.');
    const std::string key = word.substr(0, std::min(eq, dot)), value = eq == std::string::npos ? "" : word.substr(eq + 1);
    if (dot < eq) {
      CpuidLeaf& leaf = cpu.leaves[std::stoul(key, nullptr, 16)];
      uint32_t* regs[] = {&leaf.eax, &leaf.ebx, &leaf.ecx, &leaf.edx};
      const std::string reg = word.substr(dot + 1, eq - dot - 1);
      *regs[reg == "eax" ? 0 : reg == "ebx" ? 1 : reg == "ecx" ? 2 : 3] = std::stoul(value, nullptr, 16);
    } else if (key == "nocpuid") {
      cpu.available = false;
    } else if (key == "os") {
      cpu.processorType = std::stoul(value);
    } else if (key == "ask") {
      ask = std::stoul(value, nullptr, 16);
    } else if (key == "ms") {
      cpu.milliseconds = Readings<uint32_t>(value);
    } else if (key == "counters") {
      cpu.counters = Readings<int64_t>(value);
    } else if (key == "stamps") {
      cpu.stamps = Readings<uint64_t>(value);
    } else if (key == "freq") {
      cpu.frequency = std::stoll(value);
    } else if (!key.empty()) {
      ADD_FAILURE() << "unknown word " << word;
    }
  }
  return ask;
}

// What the case's check reads from the processor, as the table writes it.
std::string Check(const test::Case& c) {
  FakeCpu cpu;
  const uint32_t ask = Load(cpu, c);
  const std::string& check = c[0];
  std::ostringstream out;
  if (check == "name") return GetProcessorName(cpu);
  if (check == "tsc") return HasTimeStampCounter(cpu) ? "1" : "0";
  if (check == "clock") return std::to_string(MeasureProcessorClock(cpu));
  if (check == "reads") {
    MeasureProcessorClock(cpu);
    return cpu.clockReads;
  }
  if (check == "query") {
    const CpuidLeaf expected = cpu.leaves[ask], sentinel{9, 9, 9, 9};
    CpuidLeaf leaf = sentinel;
    const int status = QueryCpuidLeaf(cpu, ask, leaf);
    const CpuidLeaf& want = status == kCpuidDone ? expected : sentinel;  // untouched unless done
    EXPECT_TRUE(leaf.eax == want.eax && leaf.ebx == want.ebx && leaf.ecx == want.ecx && leaf.edx == want.edx) << c.where;
    out << status << std::hex;
    for (uint32_t executed : cpu.executed) out << ' ' << executed;
    return out.str();
  }
  const CpuidRecord record = ReadCpuidRecord(cpu);
  if (check == "cache") out << GetCacheSizes(record).l2 << ' ' << GetCacheSizes(record).l3;
  else if (check == "logical") out << GetLogicalProcessorCount(record);
  else if (check == "mobile") out << IsAmdMobile(record);
  else if (check == "vendor") out << VendorText(record);
  else ADD_FAILURE() << "unknown check " << check;
  return out.str();
}

TEST(Processor, RecordedProcessorsAndClocks) {
  for (const test::Case& c : test::LoadCases("probes_cpuid.txt")) EXPECT_EQ(Check(c), c[1]) << c.where;
}

}  // namespace
}  // namespace orv
