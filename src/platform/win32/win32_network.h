#pragma once
// Network facts through netapi32, mpr, Winsock 1.1 and, when present, the remote-access library.

#include "platform/network.h"

namespace orv {

class Win32Network final : public INetwork {
 public:
  std::optional<std::string> WorkgroupName() override;
  std::optional<bool> IsDomainMember() override;
  std::optional<DateTime> ServerTime(const std::string& server) override;
  std::optional<std::string> HostName() override;
  HostLookup ResolveHost(const std::string& name) override;
  ShareEnumResult EnumShares(const std::string& container, const std::string& provider) override;
  DialUpList DialUpEntries() override;
};

}  // namespace orv
