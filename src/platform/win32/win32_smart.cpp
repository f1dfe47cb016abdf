#include "platform/win32/win32_smart.h"

#include "platform/win32/wide.h"
#include "platform/win32/win32_handles.h"

namespace orv::win32 {

namespace {

class Win32SmartHandle final : public ISmartHandle {
 public:
  explicit Win32SmartHandle(HANDLE h) : handle_(h) {}

  SmartIoStatus IoControl(uint32_t controlCode, std::string_view input, std::string& output) override {
    // DeviceIoControl takes a writable input pointer; the caller's bytes are copied.
    std::string in(input);
    DWORD returned = 0;
    BOOL ok = DeviceIoControl(handle_.Get(), controlCode, in.empty() ? nullptr : in.data(),
                              static_cast<DWORD>(in.size()), output.empty() ? nullptr : output.data(),
                              static_cast<DWORD>(output.size()), &returned, nullptr);
    SmartIoStatus status;
    status.ok = ok != FALSE;
    status.lastError = ok ? 0 : GetLastError();
    status.bytesReturned = returned;
    return status;
  }

 private:
  UniqueHandle handle_;
};

}  // namespace

SmartOpenResult Win32SmartDevice::Open(const std::string& path, uint32_t access, uint32_t shareMode,
                                       uint32_t disposition) {
  HANDLE h = CreateFileW(Widen(path).c_str(), access, shareMode, nullptr, disposition, 0, nullptr);
  SmartOpenResult result;
  if (h == INVALID_HANDLE_VALUE || h == nullptr) {
    result.lastError = GetLastError();
    return result;
  }
  result.handle = std::make_unique<Win32SmartHandle>(h);
  return result;
}

std::string Win32SmartDevice::ErrorText(uint32_t code) { return SystemMessage(code); }

}  // namespace orv::win32
