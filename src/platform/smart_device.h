#pragma once
// The drives' S.M.A.R.T. control interface as the Windows drive-command interface offers it: open
// a device by name, then move command blocks in and reply buffers out with device I/O control
// calls. Nothing here knows the command layouts; those are built byte by byte by the disk-health
// code (diskhealth/smart_read.cpp), so that the same code talks to the real driver, to the replay
// device of captured sectors and to the test fakes.

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

namespace orv {

// I/O control codes of the Windows drive S.M.A.R.T. interface.
inline constexpr uint32_t kSmartGetVersion = 0x00074080;
inline constexpr uint32_t kSmartSendDriveCommand = 0x0007C084;
inline constexpr uint32_t kSmartRcvDriveData = 0x0007C088;

// CreateFile arguments used for the devices.
inline constexpr uint32_t kGenericReadWrite = 0xC0000000;  // GENERIC_READ | GENERIC_WRITE
inline constexpr uint32_t kFileShareReadWrite = 3;         // FILE_SHARE_READ | FILE_SHARE_WRITE
inline constexpr uint32_t kCreateNew = 1;                  // CREATE_NEW
inline constexpr uint32_t kOpenExisting = 3;               // OPEN_EXISTING

// Win32 error codes the device layers report themselves.
inline constexpr uint32_t kErrorInvalidFunction = 1;
inline constexpr uint32_t kErrorFileNotFound = 2;
inline constexpr uint32_t kErrorPathNotFound = 3;
inline constexpr uint32_t kErrorNotSupported = 50;
inline constexpr uint32_t kErrorInvalidParameter = 87;
inline constexpr uint32_t kErrorIoDevice = 1117;

// The outcome of one DeviceIoControl call.
struct SmartIoStatus {
  bool ok = false;
  uint32_t lastError = 0;      // GetLastError() after a failed call; 0 after a successful one
  uint32_t bytesReturned = 0;
};

// An open device; closed when the object goes.
class ISmartHandle {
 public:
  virtual ~ISmartHandle() = default;
  // One DeviceIoControl call: `input` is passed as the input buffer (its size is the input
  // length), `output` is the output buffer (its size is the output length) and holds what the
  // caller put there before the call; the driver's reply overwrites it.
  virtual SmartIoStatus IoControl(uint32_t controlCode, std::string_view input, std::string& output) = 0;
};

struct SmartOpenResult {
  std::unique_ptr<ISmartHandle> handle;  // null when the open failed
  uint32_t lastError = 0;                // GetLastError() of the failed open
};

class ISmartDevice {
 public:
  virtual ~ISmartDevice() = default;
  // CreateFile on a device name ("\\.\PhysicalDrive0", "\\.\SMARTVSD") with the given access,
  // share mode and creation disposition, no security attributes, flags 0 and no template.
  virtual SmartOpenResult Open(const std::string& path, uint32_t access, uint32_t shareMode,
                               uint32_t disposition) = 0;
  // The system's message text for an error code, without its line end.
  virtual std::string ErrorText(uint32_t code) = 0;
};

}  // namespace orv
