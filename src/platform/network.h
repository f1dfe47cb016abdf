#pragma once
// Network facts: workgroup and domain, time servers, host names, shared folders, dial-up entries.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/clock.h"

namespace orv {

// Outcome of enumerating the disk shares of a network container.
struct ShareEnumResult {
  enum class Status {
    Ok,             // `names` holds the remote names ("\\PC\data")
    NoMoreItems,    // the container has no shares
    EnumError,      // WNetEnumResource failed with `error`
    NoNetwork,      // WNetOpenEnum: ERROR_NO_NETWORK
    OpenError       // WNetOpenEnum failed otherwise with `error`
  };
  Status status = Status::Ok;
  uint32_t error = 0;
  std::vector<std::string> names;
};

struct HostLookup {
  enum class Status { Ok, StartupFailed, NotFound };
  Status status = Status::NotFound;
  uint8_t address[4] = {0, 0, 0, 0};
};

struct DialUpEntry {
  std::string name;
  std::optional<std::string> user;  // nullopt when the dial parameters cannot be read
};

struct DialUpList {
  enum class Status { Ok, LibraryMissing, FunctionMissing, EnumFailed };
  Status status = Status::Ok;
  std::vector<DialUpEntry> entries;
};

class INetwork {
 public:
  virtual ~INetwork() = default;
  // Workgroup or domain name from the workstation query; nullopt on failure.
  virtual std::optional<std::string> WorkgroupName() = 0;
  // True when joined to a domain; nullopt when the query fails.
  virtual std::optional<bool> IsDomainMember() = 0;
  // The clock of `server` ("" = this computer) as the platform reports it (universal time);
  // nullopt when the query fails or the platform cannot ask.
  virtual std::optional<DateTime> ServerTime(const std::string& server) = 0;
  // gethostname; nullopt on failure.
  virtual std::optional<std::string> HostName() = 0;
  // gethostbyname of `name` ("" = this computer).
  virtual HostLookup ResolveHost(const std::string& name) = 0;
  // Disk shares of `container` ("\\PC") on the provider `provider`, in one request.
  virtual ShareEnumResult EnumShares(const std::string& container, const std::string& provider) = 0;
  // Dial-up phone-book entries and their user names.
  virtual DialUpList DialUpEntries() = 0;
};

}  // namespace orv
