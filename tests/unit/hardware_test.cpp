// The hardware, network adapter, update and anti-virus product probes and the WMI tables under them, over
// WMI answers of real machines (tests/data/wmi) and hand-made instances; the cases are in
// tests/data/cases/probes_wmi.txt, and those of the rendering of CIM values in probes_wmi_values.txt.
// The processor probes over recorded identification leaves and scripted clocks; the cases and their
// format are in tests/data/cases/probes_cpuid.txt.
#include <gtest/gtest.h>

#include <map>
#include <sstream>

#include "fakes/case_table.h"
#include "fakes/fake_cpu.h"
#include "fakes/fake_wmi.h"
#include "platform/update_history.h"
#include "probes/antivirus_products.h"
#include "probes/hardware.h"
#include "probes/installed_updates.h"
#include "probes/network_info.h"
#include "probes/processor.h"
#include "probes/windows_info.h"
#include "probes/wmi_table.h"
#include "util/text.h"

namespace orv {
namespace {

// The update history of the instances of the pseudo-class "UpdateHistory" (Title and Date).
struct ListedHistory final : IUpdateHistory {
  std::vector<HistoryUpdate> updates;
  std::optional<std::vector<HistoryUpdate>> InstalledUpdates(std::chrono::milliseconds) override { return updates; }
};

// The probes that read WMI alone, and those that turn a text into another.
const std::map<std::string, std::string (*)(IWmi&)> kWmiProbes = {
    {"memory-slots", GetMemorySlots}, {"memory-speed", GetMemorySpeed}, {"memory-array", GetMemoryArray},
    {"board", GetBaseBoard}, {"bios", GetBiosVersion}, {"model", GetComputerModel}, {"cdrom", GetCDROMName}};
const std::map<std::string, std::string (*)(const std::string&)> kTextProbes = {
    {"installed-on", InstalledOnDate}, {"kb", KbNumber}, {"ie-label", GetIEVersionLabel},
    {"update-date", NormaliseUpdateDate}, {"trim-trailing", TrimTrailingSpaces},
    {"address-columns", FormatAddressColumns}};

// What probe "NAME" or "NAME:ARGUMENT" reads.
std::string Probe(test::FakeWmi& wmi, const std::string& probe) {
  const size_t colon = probe.find(':');
  const std::string name = probe.substr(0, colon);
  const std::string argument = colon == std::string::npos ? "" : probe.substr(colon + 1);
  if (kWmiProbes.count(name)) return kWmiProbes.at(name)(wmi);
  if (kTextProbes.count(name)) return kTextProbes.at(name)(argument);
  if (name == "disk-model") return GetDiskModel(wmi, std::stoi(argument));
  if (name == "disk-serial") return GetDiskSerial(wmi, std::stoi(argument));
  if (name == "processor") return GetProcessorProperty(wmi, argument);
  if (name == "os") return GetOSProperty(wmi, argument);
  if (name == "unix-time") return FormatDateTime(UnixTimeToDateTime(std::stoll(argument)));
  if (name == "updates" || name == "updates-without-wmi") {
    ListedHistory history;
    for (WmiInstance& row : wmi.classes["UpdateHistory"]) {
      DateTime t;
      EXPECT_TRUE(ParseDateTime(InstalledOnDate(RenderWmiValue(*test::FindProperty(row, "Date"))), t)) << probe;
      history.updates.push_back({t, RenderWmiValue(*test::FindProperty(row, "Title"))});
    }
    IUpdateHistory* source = history.updates.empty() ? nullptr : &history;
    return Join(UpdatesWordValues(name == "updates" ? &wmi : nullptr, source, std::stoi(argument)), ";");
  }
  if (name == "product-state") return ProductStateText(static_cast<uint32_t>(std::stoul(argument)));
  if (name == "antivirus") return Join(AntivirusWordValues(&wmi, std::stoi(argument)), ";");
  if (name == "antivirus-products") return Join(AntiVirusProducts(wmi), ";");
  if (name == "wmi-table") {  // "ok/count", then the rows with their cells joined by ','
    int count = -1;
    T2DimStrArray table{{"stale"}};
    std::string rows = RunWmiTable(wmi, argument, count, table) ? "1/" : "0/";
    rows += std::to_string(count);
    for (const std::vector<std::string>& row : table) rows += ";" + Join(row, ",");
    return rows;
  }
  if (name == "adapters") {
    std::vector<std::string> values;
    CollectAdapters(wmi, [&values](const std::string& v) { values.push_back(v); });
    return argument.empty() ? Join(values, ";") : values.at(std::stoul(argument));
  }
  ADD_FAILURE() << "unknown probe " << probe;
  return {};
}

TEST(WmiProbes, RealMachinesAndHandMadeInstances) {
  for (const test::Case& c : test::LoadCases("probes_wmi.txt")) {
    test::FakeWmi wmi;
    for (size_t i = 2; i < c.fields.size(); ++i) {
      const size_t eq = c[i].find('=');
      if (c[i] == "down") wmi.down = true;
      else if (c[i].substr(0, eq) == "failing") wmi.failing.insert(c[i].substr(eq + 1));
      else if (eq != std::string::npos) {
        std::vector<WmiInstance>& instances = wmi.classes[c[i].substr(0, eq)];  // named: the class exists
        const std::vector<WmiInstance> found = test::WmiSourceInstances(c[i].substr(eq + 1));
        instances.insert(instances.end(), found.begin(), found.end());
      }
    }
    EXPECT_EQ(Probe(wmi, c[0]), c[1]) << c.where;
  }
}

// A value of a case of probes_wmi_values.txt: "int" 7, "text" x ...
WmiScalar Scalar(const std::string& kind, const std::string& text) {
  if (kind == "int") return int64_t{std::stoll(text)};
  if (kind == "uint") return uint64_t{std::stoull(text)};
  if (kind == "real") return std::stod(text);
  if (kind == "bool") return text == "1";
  return text;
}

TEST(RenderWmiValue, EveryCimType) {
  for (const test::Case& c : test::LoadCases("probes_wmi_values.txt")) {
    const bool array = EndsWith(c[1], "[]");
    const std::string kind = array ? c[1].substr(0, c[1].size() - 2) : c[1];
    WmiProperty p{"P", static_cast<int>(c.Int(0)), array, kind == "null", {}};
    if (array && !c[2].empty())
      for (const std::string& v : Split(c[2], ',')) p.values.push_back(Scalar(kind, v));
    if (!array && kind != "null") p.values.push_back(Scalar(kind, c[2]));
    EXPECT_EQ(RenderWmiValue(p), c[3]) << c.where;
  }
}

// Sets up the processor of one case.
void Load(test::FakeCpu& cpu, const test::Case& c) {
  cpu.SetVendor(c[2], std::stoul(c[3], nullptr, 16));
  for (const std::string& word : Split(c[4], ' ')) {
    const size_t eq = word.find('='), dot = word.find('.');
    const std::string key = word.substr(0, std::min(eq, dot));
    const std::string value = eq == std::string::npos ? "" : word.substr(eq + 1);
    if (dot < eq) {
      CpuidLeaf& leaf = cpu.leaves[std::stoul(key, nullptr, 16)];
      uint32_t* regs[] = {&leaf.eax, &leaf.ebx, &leaf.ecx, &leaf.edx};
      *regs[std::string("abcd").find(word.at(dot + 2))] =
          std::stoul(value, nullptr, 16);  // eax, ebx, ecx or edx
    } else if (key == "nocpuid") cpu.available = false;
    else if (key == "os") cpu.processorType = std::stoul(value);
    else if (key == "ms")
      for (const std::string& v : Split(value, ',')) cpu.milliseconds.push_back(std::stoul(v));
    else if (key == "counters")
      for (const std::string& v : Split(value, ',')) cpu.counters.push_back(std::stoll(v));
    else if (key == "stamps")
      for (const std::string& v : Split(value, ',')) cpu.stamps.push_back(std::stoull(v));
    else if (key == "freq") cpu.frequency = std::stoll(value);
    else if (!key.empty()) ADD_FAILURE() << "unknown word " << word;
  }
}

// What the case's check reads from the processor, as the table writes it.
std::string Check(const test::Case& c) {
  test::FakeCpu cpu;
  Load(cpu, c);
  const std::string& check = c[0];
  std::ostringstream out;
  if (check == "name") return GetProcessorName(cpu);
  if (check == "tsc") return HasTimeStampCounter(cpu) ? "1" : "0";
  if (check == "clock") return Trim(std::to_string(MeasureProcessorClock(cpu)) + " " + cpu.clockReads);
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
