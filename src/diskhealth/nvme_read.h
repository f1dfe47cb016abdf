#pragma once
// The storage-stack path to a drive: its bus type (StorageDeviceProperty), and an NVMe drive's
// Identify Controller data and SMART / Health log through the protocol-specific property query
// (ProtocolTypeNvme). Some drivers answer only the device query, others only the adapter query:
// both are tried. The queries need no access right on the handle; when a driver still refuses the
// handle, the drive is opened once more for reading and writing. Every request and reply is built
// and read byte by byte here, so the same code runs over the Win32 device, the replay device and
// the test fakes.

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "diskhealth/smart_result.h"

namespace orv {

class ISmartDevice;
class ISmartHandle;

// The bus type that StorageDeviceProperty names; nullopt when the query fails.
std::optional<uint32_t> QueryBusType(ISmartHandle& handle);

// The text of a bus type: "NVMe", "ATA", "SATA", "USB", ...; the number itself for one this
// program does not name.
std::string BusTypeName(uint32_t busType);

// Reads the NVMe drive behind `handle` (opened on `path` with no access right) into `r`. On a
// refusal of that handle the drive is opened again with read and write access, and `handle` then
// holds the new one. The capacity comes from TNVMCAP or, when that is 0, from the disk's length.
// True when the identify data and the health log were both read; `r` is untouched otherwise.
bool ReadNvmeDrive(ISmartDevice& device, const std::string& path, std::unique_ptr<ISmartHandle>& handle,
                   TSmartResult& r);

}  // namespace orv
