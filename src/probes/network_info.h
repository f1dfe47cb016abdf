#pragma once
// Network identity of this computer: names, workgroup or domain, host address, the clock of a
// time server, dial-up entries, installed network components and the network adapters.

#include <functional>
#include <string>

namespace orv {

class IDialogs;
class INetwork;
class ISystem;
class IWmi;
class TRegistryEx;

std::string GetComputerNameText(ISystem& system);
// The logged-on user's whole name; empty only when the call fails.
std::string GetLogonUserName(ISystem& system);
std::string GetNetworkUserName(ISystem& system);
// Workgroup or domain name; empty on failure.
std::string GetWorkgroupName(INetwork& network);
// True when joined to a domain; a failing query counts as false.
bool IsDomainMember(INetwork& network);
// Dotted address of `name` ("" = this computer), "(N/A)" when it does not resolve, empty (after
// the dialog "Error Occured") when the socket layer cannot start.
std::string GetHostAddress(IDialogs& dialogs, INetwork& network, const std::string& name);
// "yyyy/mm/dd hh:mm:ss" of the server's clock ("" = this computer); empty when the query fails.
std::string GetServerTime(INetwork& network, const std::string& server);
// "name:user" per dial-up entry joined by "/", or one of the fixed failure texts.
std::string EnumDialUpEntries(INetwork& network);
// The description (value `valueName`) of the first key at or below `keyPath` whose description
// contains `text` and whose "InfPath" is not empty; empty when none does.
std::string FindNetworkComponent(TRegistryEx& reg, const std::string& keyPath, const std::string& valueName,
                                 const std::string& text);
// Right-aligns each part of a dotted address: "192.168.0.1" -> "192.168.  0.  1".
std::string FormatAddressColumns(const std::string& address);
// Appends the 16 adapter items (two adapters of eight fields).
void CollectAdapters(IWmi& wmi, const std::function<void(const std::string&)>& addValue);

}  // namespace orv
