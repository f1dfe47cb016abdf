#pragma once

#include <map>
#include <optional>
#include <string>

#include "platform/network.h"

namespace orv::test {

class FakeNetwork final : public INetwork {
 public:
  std::optional<std::string> workgroup = "WORKGROUP";
  std::optional<bool> domainMember = false;
  std::map<std::string, DateTime> serverTimes;  // server ("" = this computer) -> clock
  std::map<std::string, HostLookup> hosts;
  ShareEnumResult shares{ShareEnumResult::Status::NoNetwork, 1222, {}};
  std::string lastShareContainer, lastShareProvider;
  DialUpList dialUp;

  std::optional<std::string> WorkgroupName() override { return workgroup; }
  std::optional<bool> IsDomainMember() override { return domainMember; }
  std::optional<DateTime> ServerTime(const std::string& server) override {
    return serverTimes.count(server) ? std::optional(serverTimes[server]) : std::nullopt;
  }
  std::optional<std::string> HostName() override { return "pc01"; }
  HostLookup ResolveHost(const std::string& name) override { return hosts.count(name) ? hosts[name] : HostLookup{}; }
  ShareEnumResult EnumShares(const std::string& container, const std::string& provider) override {
    lastShareContainer = container;
    lastShareProvider = provider;
    return shares;
  }
  DialUpList DialUpEntries() override { return dialUp; }
};

}  // namespace orv::test
