#include "diskhealth/nvme_read.h"

#include "diskhealth/nvme_health.h"
#include "platform/smart_device.h"

namespace orv {

namespace {

namespace st = storage;

void PutLe32(std::string& b, size_t at, uint32_t v) {
  for (int k = 0; k < 4; ++k) b[at + k] = static_cast<char>((v >> (8 * k)) & 0xFF);
}

uint64_t GetLe(const std::string& b, size_t at, int bytes) {
  uint64_t v = 0;
  for (int k = 0; k < bytes; ++k)
    if (at + k < b.size()) v |= static_cast<uint64_t>(static_cast<uint8_t>(b[at + k])) << (8 * k);
  return v;
}

// The bytes of the reply the driver says it wrote: never more than the buffer holds.
size_t Returned(const SmartIoStatus& status, const std::string& output) {
  return status.bytesReturned < output.size() ? status.bytesReturned : output.size();
}

// The bytes of the protocol data we read: identify fields up to TNVMCAP, the whole health log.
constexpr size_t kDataNeeded = 512;

struct Query {
  uint32_t dataType;
  uint32_t requestValue;
  size_t length;
};

// One protocol-specific query, by the device property and then by the adapter property. The
// reply is a STORAGE_PROTOCOL_DATA_DESCRIPTOR: its header, the protocol data block with the
// offset (from the block's start) and length of the data, then the data.
std::optional<std::string> QueryNvme(ISmartHandle& handle, const Query& q, uint32_t& lastError) {
  for (uint32_t property : {st::kDeviceProtocolSpecific, st::kAdapterProtocolSpecific}) {
    std::string input(st::kQueryHeaderSize + st::kProtocolDataSize + q.length, '\0');
    PutLe32(input, 0, property);
    PutLe32(input, 4, st::kStandardQuery);
    const size_t block = st::kQueryHeaderSize;
    PutLe32(input, block + st::kProtocolTypeAt, st::kProtocolNvme);
    PutLe32(input, block + st::kDataTypeAt, q.dataType);
    PutLe32(input, block + st::kRequestValueAt, q.requestValue);
    PutLe32(input, block + st::kRequestSubValueAt, 0);
    PutLe32(input, block + st::kDataOffsetAt, static_cast<uint32_t>(st::kProtocolDataSize));
    PutLe32(input, block + st::kDataLengthAt, static_cast<uint32_t>(q.length));
    std::string output(input.size(), '\0');
    const SmartIoStatus status = handle.IoControl(kStorageQueryProperty, input, output);
    if (!status.ok) {
      lastError = status.lastError;
      continue;
    }
    // A reply is taken only when its header is a protocol data descriptor and its data lies
    // inside what was returned.
    const size_t returned = Returned(status, output);
    const uint64_t version = GetLe(output, 0, 4), size = GetLe(output, 4, 4);
    const uint64_t offset = GetLe(output, block + st::kDataOffsetAt, 4);
    const uint64_t length = GetLe(output, block + st::kDataLengthAt, 4);
    if (version < st::kProtocolDescriptorSize || size < st::kProtocolDescriptorSize ||
        offset < st::kProtocolDataSize || length < kDataNeeded || block + offset + kDataNeeded > returned) {
      lastError = kErrorInvalidParameter;
      continue;
    }
    const size_t start = block + static_cast<size_t>(offset);
    const size_t available = returned - start;
    return output.substr(start, length < available ? static_cast<size_t>(length) : available);
  }
  return std::nullopt;
}

// The disk's size in bytes: IOCTL_DISK_GET_LENGTH_INFO, which needs read access, or else the
// disk size of IOCTL_DISK_GET_DRIVE_GEOMETRY_EX, which needs none. 0 when neither answers.
int64_t DiskLength(ISmartHandle& handle) {
  std::string length(st::kLengthInfoSize, '\0');
  SmartIoStatus status = handle.IoControl(kDiskGetLengthInfo, {}, length);
  if (status.ok && Returned(status, length) >= st::kLengthInfoSize) {
    const auto bytes = static_cast<int64_t>(GetLe(length, 0, 8));
    if (bytes > 0) return bytes;
  }
  // Room for the partition and detection information that follows DISK_GEOMETRY_EX.
  std::string geometry(256, '\0');
  status = handle.IoControl(kDiskGetDriveGeometryEx, {}, geometry);
  if (status.ok && Returned(status, geometry) >= st::kGeometryExDiskSizeAt + 8) {
    const auto bytes = static_cast<int64_t>(GetLe(geometry, st::kGeometryExDiskSizeAt, 8));
    if (bytes > 0) return bytes;
  }
  return 0;
}

}  // namespace

std::optional<uint32_t> QueryBusType(ISmartHandle& handle) {
  std::string input(st::kQueryHeaderSize + 4, '\0');  // sizeof(STORAGE_PROPERTY_QUERY)
  PutLe32(input, 0, st::kDeviceProperty);
  PutLe32(input, 4, st::kStandardQuery);
  // The descriptor is followed by the vendor, product and serial texts; 1 KiB holds them.
  std::string output(1024, '\0');
  const SmartIoStatus status = handle.IoControl(kStorageQueryProperty, input, output);
  if (!status.ok || Returned(status, output) < st::kDeviceDescriptorBusType + 4) return std::nullopt;
  return static_cast<uint32_t>(GetLe(output, st::kDeviceDescriptorBusType, 4));
}

std::string BusTypeName(uint32_t busType) {
  static constexpr const char* kNames[] = {
      "Unknown", "SCSI", "ATAPI", "ATA", "1394", "SSA", "Fibre", "USB", "RAID", "iSCSI", "SAS",
      "SATA", "SD", "MMC", "Virtual", "FileBackedVirtual", "Spaces", "NVMe", "SCM", "UFS"};
  if (busType < std::size(kNames)) return kNames[busType];
  return std::to_string(busType);
}

bool ReadNvmeDrive(ISmartDevice& device, const std::string& path, std::unique_ptr<ISmartHandle>& handle,
                   TSmartResult& r) {
  const Query identifyQuery{st::kNvmeDataIdentify, st::kNvmeIdentifyController, st::kNvmeIdentifySize};
  const Query healthQuery{st::kNvmeDataLogPage, st::kNvmeLogHealth, st::kNvmeHealthLogSize};
  uint32_t lastError = 0;
  std::optional<std::string> identify = QueryNvme(*handle, identifyQuery, lastError);
  if (!identify && lastError == kErrorAccessDenied) {
    // A driver that wants more than a query handle: ask once for the access the ATA path asks for.
    SmartOpenResult again = device.Open(path, kGenericReadWrite, kFileShareReadWrite, kOpenExisting);
    if (!again.handle) return false;
    handle = std::move(again.handle);
    identify = QueryNvme(*handle, identifyQuery, lastError);
  }
  if (!identify) return false;
  const std::optional<std::string> health = QueryNvme(*handle, healthQuery, lastError);
  if (!health) return false;
  FillNvmeResult(r, *identify, *health);
  if (r.Capacity == 0) r.Capacity = DiskLength(*handle);
  return true;
}

}  // namespace orv
