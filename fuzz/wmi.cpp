// WMI answers as text: RenderWmiValue of any property (every CIM type, arrays, nulls, every kind
// of variant), the table query and the probes built on it (memory, board, BIOS, disks, network
// adapters, anti-virus products, installed updates, the "#wmi:" word), over a WMI that answers
// every query, in any namespace, with the instances of the input.
//
// Input: [0] bit 0 every query fails, bits 1-2 the instance count (0..3); then per instance a
// property count byte (0..15) and per property: a name byte (an index into kNames, or a
// generated name), the CIM type byte, a flags byte (bit 0 array, bit 1 null), a value count byte
// (0..3) and per value a kind byte (empty, int64, uint64, double, bool, string) with its data
// (8 bytes for numbers, a length byte and the bytes for a string). Missing bytes read as 0.
//
// Properties: a null renders "NULL"; the table has one row per instance under the header, all
// of the header's width; the adapters give exactly 16 values; the script words exactly their
// count; every update line starts with a real date "yyyy/mm/dd" (or the unknown date).

#include "platform/wmi.h"

#include "fuzz_support.h"
#include "platform/clock.h"
#include "probes/antivirus_products.h"
#include "probes/hardware.h"
#include "probes/installed_updates.h"
#include "probes/network_info.h"
#include "probes/wmi_table.h"
#include "probes/wmi_word.h"

namespace orv {
namespace {

// Property names the probes look for.
const std::vector<std::string> kNames = Split(
    "Model Manufacturer Name Capacity FormFactor MemoryType Speed TotalWidth DeviceLocator MaxCapacity "
    "MemoryDevices SMBIOSBIOSVersion SMBIOSMajorVersion SMBIOSMinorVersion SerialNumber Product Description "
    "IPEnabled DHCPEnabled IPAddress IPSubnet DefaultIPGateway DNSServerSearchOrder MACAddress "
    "WINSPrimaryServer WINSSecondaryServer L2CacheSize Caption SMBIOSMemoryType HotFixID InstalledOn "
    "displayName productState AMProductVersion AntivirusEnabled RealTimeProtectionEnabled "
    "AntivirusSignatureVersion AntivirusSignatureLastUpdated",
    ' ');

WmiScalar ReadScalar(fuzz::ByteReader& in) {
  switch (in.Below(6)) {
    case 1: return static_cast<int64_t>(in.Le64());
    case 2: return in.Le64();
    case 3: return in.Double();
    case 4: return in.Bit();
    case 5: return std::string(in.Bytes(in.Byte()));
    default: return std::monostate{};
  }
}

std::vector<WmiInstance> ReadInstances(fuzz::ByteReader& in, unsigned count) {
  std::vector<WmiInstance> instances(count);
  for (WmiInstance& instance : instances)
    for (unsigned k = in.Below(16); k > 0; --k) {
      WmiProperty& p = instance.properties.emplace_back();
      const uint8_t name = in.Byte();
      p.name = name < kNames.size() ? kNames[name] : "Prop" + std::to_string(name);
      p.cimType = in.Byte(8);
      const uint8_t flags = in.Byte();
      p.isArray = flags & 1, p.isNull = flags & 2;
      for (unsigned v = in.Below(4); v > 0; --v) p.values.push_back(ReadScalar(in));
    }
  return instances;
}

// Answers every query with the same instances, or fails them all.
struct FuzzWmi final : IWmi {
  std::optional<std::vector<WmiInstance>> answer;
  std::optional<std::vector<WmiInstance>> ExecQuery(const std::string&) override { return answer; }
  std::optional<std::vector<WmiInstance>> InstancesOf(const std::string&) override { return answer; }
  std::optional<std::vector<WmiInstance>> Query(const WmiRequest&) override { return answer; }
};

}  // namespace
}  // namespace orv

ORV_FUZZ_TARGET(bytes) {
  ByteReader in(bytes);
  const uint8_t head = in.Byte();
  const std::vector<WmiInstance> instances = ReadInstances(in, (head >> 1) & 3);
  FuzzWmi wmi;
  if (!(head & 1)) wmi.answer = instances;

  std::vector<std::string> texts;
  for (const WmiInstance& instance : instances)
    for (const WmiProperty& p : instance.properties) {
      const std::string text = RenderWmiValue(p);
      if (p.isNull) ORV_FUZZ_CHECK(text == "NULL", text);
      for (const WmiScalar& v : p.values)
        if (const std::string* s = std::get_if<std::string>(&v)) texts.push_back(*s);
    }

  int count = -1;
  T2DimStrArray table;
  if (RunWmiTable(wmi, "Win32_PhysicalMemory", count, table) && count > 0) {
    ORV_FUZZ_CHECK(table.size() == static_cast<size_t>(count) + 1, table.size(), " rows, count ", count);
    for (const auto& row : table) ORV_FUZZ_CHECK(row.size() == table[0].size(), row.size());
  } else {
    ORV_FUZZ_CHECK(count == 0 && table.empty(), count);
  }
  GetWmiCell(table, "Capacity");

  GetProcessorProperty(wmi, "Name"), GetOSProperty(wmi, "Caption"), GetComputerModel(wmi),
      GetMemorySlots(wmi);
  GetMemoryArray(wmi), GetMemorySpeed(wmi), GetBaseBoard(wmi), GetBiosVersion(wmi), GetCDROMName(wmi);
  GetDiskModel(wmi, 0), GetDiskSerial(wmi, 1);
  int values = 0;
  CollectAdapters(wmi, [&values](const std::string&) { ++values; });
  ORV_FUZZ_CHECK(values == 16, values);

  ORV_FUZZ_CHECK(AntivirusWordValues(&wmi, 3).size() == 3, "antivirus");
  DateTime t;
  for (const std::string& line : UpdatesWordValues(&wmi, nullptr, 3))
    ORV_FUZZ_CHECK(
        line.empty() || StartsWith(line, kUnknownUpdateDate) || ParseDateTime(line.substr(0, 10), t), line);
  for (const std::string& text : texts) {
    const std::string date = InstalledOnDate(text);
    ORV_FUZZ_CHECK(date.empty() || (date.size() == 10 && ParseDateTime(date, t)), date);
    ORV_FUZZ_CHECK(WmiWordValues(&wmi, ParseWmiWord(text), 2).size() == 2, text);
  }
}
