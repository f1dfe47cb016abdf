#include <cstdio>

#include "platform/dialogs.h"
#include "platform/network.h"
#include "platform/system.h"
#include "probes/network_info.h"
#include "util/text.h"

namespace orv {

std::string GetComputerNameText(ISystem& system) { return system.ComputerName().value_or(""); }

std::string GetLogonUserName(ISystem& system) { return system.UserName().value_or(""); }

std::string GetNetworkUserName(ISystem& system) { return system.NetworkUserName().value_or(""); }

std::string GetWorkgroupName(INetwork& network) { return network.WorkgroupName().value_or(""); }

bool IsDomainMember(INetwork& network) { return network.IsDomainMember().value_or(false); }

std::string GetHostAddress(IDialogs& dialogs, INetwork& network, const std::string& name) {
  HostLookup r = network.ResolveHost(name);
  switch (r.status) {
    case HostLookup::Status::StartupFailed:
      dialogs.ShowBox("Error Occured", "Error", MsgButtons::Ok, MsgIcon::Error);
      return {};
    case HostLookup::Status::NotFound: return "(N/A)";
    case HostLookup::Status::Ok: break;
  }
  return std::to_string(r.address[0]) + "." + std::to_string(r.address[1]) + "." + std::to_string(r.address[2]) +
         "." + std::to_string(r.address[3]);
}

std::string GetServerTime(INetwork& network, const std::string& server) {
  // A failed query yields no time at all: a made-up clock would give a made-up difference.
  auto t = network.ServerTime(server);
  if (!t) return {};
  char buf[64];
  std::snprintf(buf, sizeof buf, "%d/%02d/%02d %02d:%02d:%02d", t->year, t->month, t->day, t->hour, t->minute,
                t->second);
  return buf;
}

std::string EnumDialUpEntries(INetwork& network) {
  DialUpList list = network.DialUpEntries();
  switch (list.status) {
    case DialUpList::Status::LibraryMissing: return "rasapi32.dll not found.";
    case DialUpList::Status::FunctionMissing: return "RasEnumEntriesA not found.";
    case DialUpList::Status::EnumFailed: return "RasEnumEntries failed.";
    case DialUpList::Status::Ok: break;
  }
  std::string out;
  for (const auto& entry : list.entries) out += entry.name + ":" + entry.user.value_or("RasGetEntryDialParams failed.") + "/";
  if (!out.empty()) out.pop_back();
  return out;
}

std::string FormatAddressColumns(const std::string& address) {
  if (address.empty()) return {};
  auto parts = Split(address, '.');
  std::string out;
  for (size_t i = 0; i < parts.size(); ++i) {
    bool last = i + 1 == parts.size();
    std::string part = last ? parts[i] : parts[i] + ".";
    size_t width = last ? 3 : 4;
    size_t blanks = part.size() < width ? width - part.size() : 0;
    if (blanks > 2) blanks = 2;
    out += std::string(blanks, ' ') + part;
  }
  return out;
}

}  // namespace orv
