#pragma once
// WMI in "root\CIMV2" through COM. One connection serves every query of the object's lifetime
// (a collection run); every query still fails on its own to "no answer".

#include <memory>

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

 private:
  struct Connection;
  // Connects on first use; nullptr when the service cannot be reached.
  Connection* Connect();
  std::unique_ptr<Connection> connection_;
  bool connectFailed_ = false;
};

}  // namespace orv::win32
