#pragma once
// The registry through the W functions, read-only (KEY_READ), in the 64-bit or the 32-bit view.

#include "platform/registry.h"

namespace orv {

class Win32Registry final : public IRegistry {
 public:
  std::unique_ptr<IRegistryKey> OpenKey(RegRoot root, std::string_view path,
                                        RegView view = RegView::Native) override;
};

}  // namespace orv
