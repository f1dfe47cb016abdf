#include "platform/win32/win32_smart.h"

#include "platform/win32/wide.h"
#include "platform/win32/win32_handles.h"

#include <winioctl.h>
#include <nvme.h>

#include <cstddef>

namespace orv::win32 {

// The storage queries are built byte by byte in the core (diskhealth/nvme_read.cpp); here the
// offsets, sizes and values it uses are held against the Windows headers' own structures.
namespace st = storage;
static_assert(IOCTL_STORAGE_QUERY_PROPERTY == kStorageQueryProperty);
static_assert(IOCTL_DISK_GET_LENGTH_INFO == kDiskGetLengthInfo);
static_assert(IOCTL_DISK_GET_DRIVE_GEOMETRY_EX == kDiskGetDriveGeometryEx);
static_assert(SMART_GET_VERSION == kSmartGetVersion && SMART_SEND_DRIVE_COMMAND == kSmartSendDriveCommand &&
              SMART_RCV_DRIVE_DATA == kSmartRcvDriveData);
static_assert(offsetof(STORAGE_PROPERTY_QUERY, AdditionalParameters) == st::kQueryHeaderSize);
static_assert(StorageDeviceProperty == st::kDeviceProperty && PropertyStandardQuery == st::kStandardQuery);
static_assert(StorageAdapterProtocolSpecificProperty == st::kAdapterProtocolSpecific);
static_assert(StorageDeviceProtocolSpecificProperty == st::kDeviceProtocolSpecific);
static_assert(offsetof(STORAGE_DEVICE_DESCRIPTOR, BusType) == st::kDeviceDescriptorBusType);
static_assert(sizeof(STORAGE_DEVICE_DESCRIPTOR) == st::kDeviceDescriptorSize);
static_assert(BusTypeNvme == st::kBusNvme && BusTypeAta == st::kBusAta && BusTypeSata == st::kBusSata &&
              BusTypeUsb == st::kBusUsb && BusTypeUfs == st::kBusUfs);
static_assert(sizeof(STORAGE_PROTOCOL_SPECIFIC_DATA) == st::kProtocolDataSize);
static_assert(sizeof(STORAGE_PROTOCOL_DATA_DESCRIPTOR) == st::kProtocolDescriptorSize);
static_assert(offsetof(STORAGE_PROTOCOL_DATA_DESCRIPTOR, ProtocolSpecificData) == st::kQueryHeaderSize);
static_assert(offsetof(STORAGE_PROTOCOL_SPECIFIC_DATA, ProtocolType) == st::kProtocolTypeAt &&
              offsetof(STORAGE_PROTOCOL_SPECIFIC_DATA, DataType) == st::kDataTypeAt &&
              offsetof(STORAGE_PROTOCOL_SPECIFIC_DATA, ProtocolDataRequestValue) == st::kRequestValueAt &&
              offsetof(STORAGE_PROTOCOL_SPECIFIC_DATA, ProtocolDataRequestSubValue) == st::kRequestSubValueAt &&
              offsetof(STORAGE_PROTOCOL_SPECIFIC_DATA, ProtocolDataOffset) == st::kDataOffsetAt &&
              offsetof(STORAGE_PROTOCOL_SPECIFIC_DATA, ProtocolDataLength) == st::kDataLengthAt);
static_assert(ProtocolTypeNvme == st::kProtocolNvme && NVMeDataTypeIdentify == st::kNvmeDataIdentify &&
              NVMeDataTypeLogPage == st::kNvmeDataLogPage);
static_assert(NVME_IDENTIFY_CNS_CONTROLLER == st::kNvmeIdentifyController &&
              NVME_LOG_PAGE_HEALTH_INFO == st::kNvmeLogHealth && NVME_MAX_LOG_SIZE == st::kNvmeIdentifySize);
static_assert(sizeof(NVME_HEALTH_INFO_LOG) == st::kNvmeHealthLogSize);
static_assert(sizeof(NVME_IDENTIFY_CONTROLLER_DATA) == st::kNvmeIdentifySize);
// The fields that nvme_health.cpp reads at fixed offsets.
static_assert(offsetof(NVME_IDENTIFY_CONTROLLER_DATA, SN) == 4 && offsetof(NVME_IDENTIFY_CONTROLLER_DATA, MN) == 24 &&
              offsetof(NVME_IDENTIFY_CONTROLLER_DATA, FR) == 64 &&
              offsetof(NVME_IDENTIFY_CONTROLLER_DATA, TNVMCAP) == 280);
static_assert(offsetof(NVME_HEALTH_INFO_LOG, Temperature) == 1 &&
              offsetof(NVME_HEALTH_INFO_LOG, AvailableSpare) == 3 &&
              offsetof(NVME_HEALTH_INFO_LOG, AvailableSpareThreshold) == 4 &&
              offsetof(NVME_HEALTH_INFO_LOG, PercentageUsed) == 5 &&
              offsetof(NVME_HEALTH_INFO_LOG, DataUnitRead) == 32 &&
              offsetof(NVME_HEALTH_INFO_LOG, DataUnitWritten) == 48 &&
              offsetof(NVME_HEALTH_INFO_LOG, PowerCycle) == 112 &&
              offsetof(NVME_HEALTH_INFO_LOG, PowerOnHours) == 128 &&
              offsetof(NVME_HEALTH_INFO_LOG, UnsafeShutdowns) == 144 &&
              offsetof(NVME_HEALTH_INFO_LOG, MediaErrors) == 160);
static_assert(sizeof(GET_LENGTH_INFORMATION) == st::kLengthInfoSize);
static_assert(offsetof(DISK_GEOMETRY_EX, DiskSize) == st::kGeometryExDiskSizeAt);

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
