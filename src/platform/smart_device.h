#pragma once
// The drives' S.M.A.R.T. control interface as the Windows drive-command interface offers it: open
// a device by name, then move command blocks in and reply buffers out with device I/O control
// calls. Nothing here knows the command layouts; those are built byte by byte by the disk-health
// code (diskhealth/smart_read.cpp), so that the same code talks to the real driver, to the replay
// device of captured sectors and to the test fakes. The same handles carry the storage stack's
// property and length queries of the NVMe path (diskhealth/nvme_read.cpp).

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

namespace orv {

// I/O control codes of the Windows drive S.M.A.R.T. interface.
inline constexpr uint32_t kSmartGetVersion = 0x00074080;
inline constexpr uint32_t kSmartSendDriveCommand = 0x0007C084;
inline constexpr uint32_t kSmartRcvDriveData = 0x0007C088;

// I/O control codes of the storage stack that the NVMe path and the bus query use. The property
// query needs no access right on the handle (FILE_ANY_ACCESS); the length query needs read access,
// the geometry query none.
inline constexpr uint32_t kStorageQueryProperty = 0x002D1400;   // IOCTL_STORAGE_QUERY_PROPERTY
inline constexpr uint32_t kDiskGetLengthInfo = 0x0007405C;      // IOCTL_DISK_GET_LENGTH_INFO
inline constexpr uint32_t kDiskGetDriveGeometryEx = 0x000700A0; // IOCTL_DISK_GET_DRIVE_GEOMETRY_EX

// Wire layouts of those queries (little-endian, the public Windows structures; checked against
// the compiler's own headers in platform/win32/win32_smart.cpp).
namespace storage {
// STORAGE_PROPERTY_QUERY: PropertyId (4), QueryType (4), AdditionalParameters from offset 8.
inline constexpr size_t kQueryHeaderSize = 8;
inline constexpr uint32_t kDeviceProperty = 0;                  // StorageDeviceProperty
inline constexpr uint32_t kAdapterProtocolSpecific = 49;        // StorageAdapterProtocolSpecificProperty
inline constexpr uint32_t kDeviceProtocolSpecific = 50;         // StorageDeviceProtocolSpecificProperty
inline constexpr uint32_t kStandardQuery = 0;                   // PropertyStandardQuery
// STORAGE_DEVICE_DESCRIPTOR: Version (4), Size (4), ..., BusType (4) at offset 28.
inline constexpr size_t kDeviceDescriptorBusType = 28;
inline constexpr size_t kDeviceDescriptorSize = 40;
// STORAGE_BUS_TYPE values named by this program.
inline constexpr uint32_t kBusScsi = 0x01, kBusAtapi = 0x02, kBusAta = 0x03, kBus1394 = 0x04, kBusSsa = 0x05,
                          kBusFibre = 0x06, kBusUsb = 0x07, kBusRaid = 0x08, kBusIscsi = 0x09, kBusSas = 0x0A,
                          kBusSata = 0x0B, kBusSd = 0x0C, kBusMmc = 0x0D, kBusVirtual = 0x0E,
                          kBusFileBackedVirtual = 0x0F, kBusSpaces = 0x10, kBusNvme = 0x11, kBusScm = 0x12,
                          kBusUfs = 0x13;
// STORAGE_PROTOCOL_SPECIFIC_DATA, 40 bytes: ProtocolType, DataType, ProtocolDataRequestValue,
// ProtocolDataRequestSubValue, ProtocolDataOffset, ProtocolDataLength, FixedProtocolReturnData,
// ProtocolDataRequestSubValue2..4 (4 bytes each). It follows the query header in the request and
// the descriptor header (Version, Size) in STORAGE_PROTOCOL_DATA_DESCRIPTOR, also at offset 8.
inline constexpr size_t kProtocolDataSize = 40;
inline constexpr size_t kProtocolDescriptorSize = 48;           // STORAGE_PROTOCOL_DATA_DESCRIPTOR
inline constexpr size_t kProtocolTypeAt = 0, kDataTypeAt = 4, kRequestValueAt = 8, kRequestSubValueAt = 12,
                        kDataOffsetAt = 16, kDataLengthAt = 20;
inline constexpr uint32_t kProtocolNvme = 3;                    // ProtocolTypeNvme
inline constexpr uint32_t kNvmeDataIdentify = 1;                // NVMeDataTypeIdentify
inline constexpr uint32_t kNvmeDataLogPage = 2;                 // NVMeDataTypeLogPage
inline constexpr uint32_t kNvmeIdentifyController = 1;          // NVME_IDENTIFY_CNS_CONTROLLER
inline constexpr uint32_t kNvmeLogHealth = 2;                   // NVME_LOG_PAGE_HEALTH_INFO
inline constexpr size_t kNvmeIdentifySize = 4096;               // NVME_MAX_LOG_SIZE, the identify data
inline constexpr size_t kNvmeHealthLogSize = 512;               // NVME_HEALTH_INFO_LOG
// GET_LENGTH_INFORMATION: Length (8). DISK_GEOMETRY_EX: Geometry (24), DiskSize (8) at 24.
inline constexpr size_t kLengthInfoSize = 8;
inline constexpr size_t kGeometryExDiskSizeAt = 24;
}  // namespace storage

// CreateFile arguments used for the devices.
inline constexpr uint32_t kNoAccess = 0;                   // enough for the storage queries
inline constexpr uint32_t kGenericRead = 0x80000000;       // GENERIC_READ
inline constexpr uint32_t kGenericReadWrite = 0xC0000000;  // GENERIC_READ | GENERIC_WRITE
inline constexpr uint32_t kFileShareReadWrite = 3;         // FILE_SHARE_READ | FILE_SHARE_WRITE
inline constexpr uint32_t kCreateNew = 1;                  // CREATE_NEW
inline constexpr uint32_t kOpenExisting = 3;               // OPEN_EXISTING

// Win32 error codes the device layers report themselves.
inline constexpr uint32_t kErrorInvalidFunction = 1;
inline constexpr uint32_t kErrorFileNotFound = 2;
inline constexpr uint32_t kErrorPathNotFound = 3;
inline constexpr uint32_t kErrorAccessDenied = 5;
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
