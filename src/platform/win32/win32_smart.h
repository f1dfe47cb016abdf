#pragma once
// The drives' S.M.A.R.T. interface on Windows: CreateFileW on the device name and DeviceIoControl
// with the caller's command blocks. The handle is closed when its object goes.

#include "platform/smart_device.h"

namespace orv::win32 {

class Win32SmartDevice final : public ISmartDevice {
 public:
  SmartOpenResult Open(const std::string& path, uint32_t access, uint32_t shareMode, uint32_t disposition) override;
  // FormatMessage's text for the code.
  std::string ErrorText(uint32_t code) override;
};

}  // namespace orv::win32
