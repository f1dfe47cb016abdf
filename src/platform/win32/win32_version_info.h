#pragma once
// Version resources of program files (GetFileVersionInfoW, VerQueryValueW).

#include "platform/version_info.h"

namespace orv {

class Win32VersionInfo final : public IVersionInfo {
 public:
  std::unique_ptr<IVersionResource> Open(const std::string& path) override;
};

}  // namespace orv
