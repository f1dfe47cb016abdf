#pragma once
// WMI through COM, in any namespace. A connection per namespace serves every query until the next
// Reconnect (each collection run starts with one); every query still fails on its own to "no
// answer", and no query waits longer than its time limit once connected.

#include <map>
#include <memory>
#include <set>
#include <string>

#include "platform/wmi.h"

namespace orv::win32 {

class Win32Wmi final : public IWmi {
 public:
  Win32Wmi();
  ~Win32Wmi() override;
  Win32Wmi(const Win32Wmi&) = delete;
  Win32Wmi& operator=(const Win32Wmi&) = delete;

  std::optional<std::vector<WmiInstance>> ExecQuery(const std::string& wql) override;
  std::optional<std::vector<WmiInstance>> InstancesOf(const std::string& className) override;
  std::optional<std::vector<WmiInstance>> Query(const WmiRequest& request) override;
  void Reconnect() override;

 private:
  struct Connection;
  // Connects on first use; nullptr when the namespace cannot be reached.
  Connection* Connect(const std::string& wmiNamespace);
  std::map<std::string, std::unique_ptr<Connection>> connections_;  // by lower-case namespace
  std::set<std::string> failed_;
};

}  // namespace orv::win32
