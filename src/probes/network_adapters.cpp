// The configuration of up to two network adapters, read from Win32_NetworkAdapterConfiguration.
#include <array>
#include <optional>

#include "platform/wmi.h"
#include "probes/network_info.h"
#include "util/text.h"

namespace orv {

namespace {

// The eight fields of one adapter, and its first address as WMI gives it (for the row choice).
struct AdapterRow {
  std::array<std::string, 8> fields;
  std::string rawAddress;
};

const WmiProperty* Find(const WmiInstance& instance, const std::string& name) {
  for (const WmiProperty& p : instance.properties)
    if (SameTextIgnoringCase(p.name, name)) return &p;
  return nullptr;
}

std::optional<std::string> ElementText(const WmiScalar& value) {
  if (auto s = std::get_if<std::string>(&value)) return *s;
  if (auto i = std::get_if<int64_t>(&value)) return std::to_string(*i);
  if (auto u = std::get_if<uint64_t>(&value)) return std::to_string(*u);
  return std::nullopt;
}

// Entry `index` of a property (a scalar is its own entry 0); nullopt when the property is missing,
// null, or has no such entry.
std::optional<std::string> Entry(const WmiInstance& instance, const std::string& name, size_t index = 0) {
  const WmiProperty* p = Find(instance, name);
  if (!p || p->isNull || index >= p->values.size()) return std::nullopt;
  return ElementText(p->values[index]);
}

std::optional<bool> Flag(const WmiInstance& instance, const std::string& name) {
  const WmiProperty* p = Find(instance, name);
  if (!p || p->isNull || p->values.empty()) return std::nullopt;
  if (auto b = std::get_if<bool>(&p->values[0])) return *b;
  return std::nullopt;
}

// Only adapters that carry IP with an address are listed.
bool Listed(const WmiInstance& adapter) {
  auto enabled = Flag(adapter, "IPEnabled");
  auto address = Entry(adapter, "IPAddress");
  return enabled && *enabled && address && !address->empty();
}

// Writes the adapter's fields into `row` in field order. False when a field the row cannot do
// without (description, DHCP, address, mask, hardware address) is missing: what was written so far
// stays, and the next adapter taken fills the row again.
bool FillRow(const WmiInstance& adapter, AdapterRow& adapterRow) {
  auto& row = adapterRow.fields;
  auto description = Entry(adapter, "Description");
  if (!description) return false;
  row[0] = *description;
  auto dhcp = Flag(adapter, "DHCPEnabled");
  if (!dhcp) return false;
  row[1].assign(1, *dhcp ? '1' : '0');  // "1" or "0"
  auto address = Entry(adapter, "IPAddress");
  if (!address) return false;
  adapterRow.rawAddress = *address;
  row[2] = FormatAddressColumns(*address);
  auto mask = Entry(adapter, "IPSubnet");
  if (!mask) return false;
  row[3] = *mask;
  row[4] = Entry(adapter, "DefaultIPGateway").value_or("");
  // Name servers: the first two; one server alone is shown too.
  row[5].clear();
  if (auto first = Entry(adapter, "DNSServerSearchOrder")) {
    row[5] = *first;
    if (auto second = Entry(adapter, "DNSServerSearchOrder", 1)) row[5] += ", " + *second;
  }
  auto mac = Entry(adapter, "MACAddress");
  if (!mac) return false;
  row[6] = *mac;
  row[7].clear();
  if (auto primary = Entry(adapter, "WINSPrimaryServer")) {
    row[7] = *primary;
    if (auto secondary = Entry(adapter, "WINSSecondaryServer")) row[7] += "," + *secondary;
  }
  return true;
}

}  // namespace

void CollectAdapters(IWmi& wmi, const std::function<void(const std::string&)>& addValue) {
  std::array<AdapterRow, 2> rows;
  auto adapters = wmi.ExecQuery("Select * From Win32_NetworkAdapterConfiguration");
  if (adapters) {
    size_t filled = 0;
    for (const WmiInstance& adapter : *adapters) {
      if (filled == rows.size()) break;
      if (!Listed(adapter)) continue;
      if (FillRow(adapter, rows[filled])) ++filled;
    }
  }
  // The adapter of the office LAN (192.168.0.x, else any 192.x) goes into the second group, so that
  // its items sit in the same rows on every computer. Rows are numbered 0 and 1; when both
  // addresses qualify, or neither does, row 1 is preferred and the rows keep their order.
  auto preferred = [&]() -> size_t {
    for (const char* prefix : {"192.168.0.", "192."}) {
      if (StartsWith(rows[1].rawAddress, prefix)) return 1;
      if (StartsWith(rows[0].rawAddress, prefix)) return 0;
    }
    return 1;
  }();
  for (const std::string& field : rows[1 - preferred].fields) addValue(field);
  for (const std::string& field : rows[preferred].fields) addValue(field);
}

}  // namespace orv
