#include "diskhealth/smart_read.h"

#include <cstdio>
#include <optional>

#include "diskhealth/nvme_read.h"
#include "diskhealth/smart_attributes.h"
#include "platform/platform.h"
#include "platform/smart_device.h"
#include "platform/system.h"

namespace orv {

namespace {

// Wire layouts of the Windows drive S.M.A.R.T. interface, byte-packed and little-endian. They are
// built and read byte by byte here, never through compiler struct layouts.
constexpr size_t kGetVersionSize = 24;     // GETVERSIONOUTPARAMS
constexpr size_t kDeviceMapOffset = 3;     // GETVERSIONOUTPARAMS.bIDEDeviceMap
constexpr size_t kCommandInputSize = 32;   // SENDCMDINPARAMS without its one-byte bBuffer
constexpr size_t kReplyBufferSize = 529;   // SENDCMDOUTPARAMS header (17) + 512
constexpr size_t kReplyLength = 528;       // output length of the SMART commands
constexpr size_t kDriverErrorOffset = 4;   // SENDCMDOUTPARAMS.DriverStatus.bDriverError
constexpr size_t kIdeErrorOffset = 5;      // SENDCMDOUTPARAMS.DriverStatus.bIDEError
constexpr size_t kSectorOffset = 16;       // SENDCMDOUTPARAMS.bBuffer
constexpr uint32_t kSectorSize = 512;

// ATA commands and SMART sub-commands.
constexpr uint8_t kAtaIdentify = 0xEC;
constexpr uint8_t kAtapiIdentify = 0xA1;
constexpr uint8_t kAtaSmart = 0xB0;
constexpr uint8_t kSmartEnable = 0xD8;
constexpr uint8_t kSmartReadData = 0xD0;
constexpr uint8_t kSmartReadThresholds = 0xD1;
constexpr uint8_t kSmartCylLow = 0x4F;
constexpr uint8_t kSmartCylHigh = 0xC2;

struct AtaRegisters {
  uint32_t bufferSize;
  uint8_t features, sectorCount, sectorNumber, cylLow, cylHigh, command;
};

void PutLe32(std::string& b, size_t at, uint32_t v) {
  for (int k = 0; k < 4; ++k) b[at + k] = static_cast<char>((v >> (8 * k)) & 0xFF);
}

uint8_t Byte(std::string_view b, size_t at) { return at < b.size() ? static_cast<uint8_t>(b[at]) : 0; }

// SENDCMDINPARAMS: cBufferSize (4), IDEREGS (8), bDriveNumber (1), bReserved (3), dwReserved (16).
std::string CommandBlock(const AtaRegisters& regs, int position) {
  std::string b(kCommandInputSize, '\0');
  PutLe32(b, 0, regs.bufferSize);
  b[4] = static_cast<char>(regs.features);
  b[5] = static_cast<char>(regs.sectorCount);
  b[6] = static_cast<char>(regs.sectorNumber);
  b[7] = static_cast<char>(regs.cylLow);
  b[8] = static_cast<char>(regs.cylHigh);
  b[9] = static_cast<char>(0xA0 | ((position & 1) << 4));  // bDriveHeadReg: master or slave
  b[10] = static_cast<char>(regs.command);
  b[12] = static_cast<char>(position);  // bDriveNumber
  return b;
}

std::string DriverErrorText(uint8_t code) {
  // A driver may report a value the interface does not define; name it by its number.
  return code < DriverErrorTexts.size() ? DriverErrorTexts[code] : "Driver error " + std::to_string(code);
}

std::string Hex4(uint8_t v) {
  char buf[8];
  std::snprintf(buf, sizeof buf, "%04X", static_cast<unsigned>(v));
  return buf;
}

// An identify string: byte pairs swapped, blanks and NULs trimmed, and any byte that is not
// printable ASCII (as ATA defines these fields) shown as "?", so that the text stays valid UTF-8
// and cannot break a history line.
std::string AtaText(std::string_view sector, size_t offset, size_t length) {
  std::string text = SwapAtaString(sector.substr(offset, length));
  for (char& c : text) {
    unsigned char u = static_cast<unsigned char>(c);
    if (u < 0x20 || u > 0x7E) c = '?';
  }
  return text;
}

// The user-addressable sectors: words 100-103 (48-bit count) when word 83 says the drive
// supports 48-bit addressing (bit 10, in a word marked valid by bits 15-14 = 01), words 60-61
// otherwise. Words 60-61 stop at 0x0FFFFFFF sectors (128 GiB), so a larger drive needs the
// 48-bit count.
int64_t AtaSectors(std::string_view identify) {
  const unsigned word83 = Byte(identify, 166) | (Byte(identify, 167) << 8);
  if ((word83 & 0xC000) == 0x4000 && (word83 & 0x0400)) {
    uint64_t sectors48 = 0;
    for (int k = 0; k < 6; ++k) sectors48 |= static_cast<uint64_t>(Byte(identify, 200 + k)) << (8 * k);
    if (sectors48 != 0) return static_cast<int64_t>(sectors48);
  }
  uint32_t sectors = 0;
  for (int k = 0; k < 4; ++k) sectors |= static_cast<uint32_t>(Byte(identify, 120 + k)) << (8 * k);  // words 60-61
  return sectors;
}

void FillIdentity(TSmartResult& r, std::string_view identify) {
  r.Capacity = AtaSectors(identify) * kSectorSize;
  r.SerialNumber = AtaText(identify, 20, 20);  // words 10-19
  r.FirmwareRev = AtaText(identify, 46, 8);    // words 23-26
  r.ModelNumber = AtaText(identify, 54, 40);   // words 27-46
}

// Walks the attribute and threshold entries in step (the threshold is taken from the entry at the
// same position, not matched by id) up to the first id 0.
void ParseTables(TSmartResult& r, std::string_view data, std::string_view thresholds) {
  int i = 0;
  for (int entry = 0; entry < kSmartEntries; ++entry) {
    const size_t at = 2 + 12 * static_cast<size_t>(entry);
    const uint8_t id = Byte(data, at);
    if (id == 0) break;
    const uint16_t flags = static_cast<uint16_t>(Byte(data, at + 1) | (Byte(data, at + 2) << 8));
    std::array<uint8_t, 6> raw{};
    int64_t rawValue = 0;
    for (int k = 0; k < 6; ++k) {
      raw[k] = Byte(data, at + 5 + k);
      rawValue |= static_cast<int64_t>(raw[k]) << (8 * k);
    }
    r.AttrId[i] = id;
    r.AttrName[i] = EnglishAttrNames(id);
    r.PreFailure[i] = (flags & 0x0001) != 0;
    r.ErrorRate[i] = (flags & 0x0008) != 0;
    r.EventCount[i] = (flags & 0x0010) != 0;
    r.Current[i] = Byte(data, at + 3);
    r.Worst[i] = Byte(data, at + 4);
    r.Threshold[i] = Byte(thresholds, at + 1);
    r.RawValue[i] = rawValue;
    if (rawValue > 0 && rawValue < 2147483647) {
      if (id == 5) r.ReallocSector = static_cast<int32_t>(rawValue);
      if (id == 9) r.HoursRunning = static_cast<int32_t>(rawValue / 60 + 1);
      if (id == 12) r.PowerCycles = static_cast<int32_t>(rawValue);
    }
    JudgeAttribute(r, i);
    if (id == 194) TakeTemperature(r, i, raw);
    ++i;
  }
  r.AttrCount = i;
}

}  // namespace

std::string SwapAtaString(std::string_view bytes) {
  std::string s(bytes);
  for (size_t k = 0; k + 1 < s.size(); k += 2) std::swap(s[k], s[k + 1]);
  size_t begin = 0, end = s.size();
  while (begin < end && static_cast<unsigned char>(s[begin]) <= 32) ++begin;
  while (end > begin && static_cast<unsigned char>(s[end - 1]) <= 32) --end;
  return s.substr(begin, end - begin);
}

namespace {

// The ATA path: SMART_GET_VERSION, then IDENTIFY, SMART READ DATA and SMART READ THRESHOLDS per
// drive position. `opened` tells whether the device could be opened at all.
bool ReadAta(ISmartDevice& device, uint32_t platformId, int32_t driveNumber, TSmartResult& result,
             std::string& errorText, bool& opened) {
  result = TSmartResult{};
  errorText.clear();
  opened = false;

  SmartOpenResult open;
  if (platformId == kPlatformWin9x) {
    open = device.Open("\\\\.\\SMARTVSD", 0, 0, kCreateNew);
    if (!open.handle) {
      errorText = "Unable to open SMARTVSD: " + device.ErrorText(open.lastError);
      return false;
    }
  } else if (platformId == kPlatformNT) {
    open = device.Open("\\\\.\\PhysicalDrive" + std::to_string(driveNumber), kGenericReadWrite,
                         kFileShareReadWrite, kOpenExisting);
    if (!open.handle) {
      errorText = "Unable to open physical drive: " + device.ErrorText(open.lastError);
      return false;
    }
  } else {
    // Neither family offers the interface: report it like a device that is not there, so that
    // every caller stops instead of taking the empty record for data.
    errorText = "Unable to open physical drive: " + device.ErrorText(kErrorNotSupported);
    return false;
  }
  ISmartHandle& handle = *open.handle;
  opened = true;

  std::string version(kGetVersionSize, '\0');
  SmartIoStatus status = handle.IoControl(kSmartGetVersion, {}, version);
  if (!status.ok) {
    errorText = "DFP_GET_VERSION failed: " + device.ErrorText(status.lastError);
    return false;
  }
  const uint8_t map = Byte(version, kDeviceMapOffset);

  std::string identify, attributes, thresholds;
  bool ok = true;  // the outcome of the last device call
  bool read = false;
  for (int d = 0; d < 4 && !read; ++d) {
    if (!(map & (1u << d)) && !(d == 0 && map == 0)) continue;
    const bool atapi = (map & (0x10u << d)) != 0;
    const std::string pos = std::to_string(d);

    if (!atapi) {
      identify.assign(kReplyBufferSize, '\0');
      identify.resize(kReplyLength);
      status = handle.IoControl(
          kSmartSendDriveCommand,
          CommandBlock({0, kSmartEnable, 1, 1, kSmartCylLow, kSmartCylHigh, kAtaSmart}, d), identify);
      ok = status.ok;
      if (!ok)
        errorText = "SMART Enable Command Failed, Drive: " + pos + " : " + device.ErrorText(status.lastError);
    }

    identify.assign(kReplyBufferSize, '\0');
    PutLe32(identify, 0, kSectorSize);
    status = handle.IoControl(kSmartRcvDriveData,
                              CommandBlock({kSectorSize, 0, 1, 1, 0, 0, atapi ? kAtapiIdentify : kAtaIdentify}, d),
                              identify);
    ok = status.ok;
    if (!ok) {
      errorText = "Identify Command Failed on Drive: " + DriverErrorText(Byte(identify, kDriverErrorOffset)) +
                  " bIDEStatus=" + Hex4(Byte(identify, kIdeErrorOffset)) + " : " +
                  device.ErrorText(status.lastError);
      continue;
    }
    result.DriveNum = d;
    FillIdentity(result, std::string_view(identify).substr(kSectorOffset));

    attributes.assign(kReplyBufferSize, '\0');
    attributes.resize(kReplyLength);
    status = handle.IoControl(
        kSmartRcvDriveData,
        CommandBlock({kSectorSize, kSmartReadData, 1, 1, kSmartCylLow, kSmartCylHigh, kAtaSmart}, d), attributes);
    ok = status.ok;
    if (!ok) {
      errorText = "SMART Read Attr Command Failed, Drive: " + pos + " : " + device.ErrorText(status.lastError) +
                  "; DriverStatus: " + DriverErrorText(Byte(attributes, kDriverErrorOffset)) +
                  "; bIDEStatus=" + Hex4(Byte(attributes, kIdeErrorOffset));
      continue;
    }

    thresholds.assign(kReplyBufferSize, '\0');
    thresholds.resize(kReplyLength);
    status = handle.IoControl(
        kSmartRcvDriveData,
        CommandBlock({kSectorSize, kSmartReadThresholds, 1, 1, kSmartCylLow, kSmartCylHigh, kAtaSmart}, d),
        thresholds);
    ok = status.ok;
    if (!ok) {
      errorText = "SMART Read Threshold Command Failed, Drive: " + pos + " : " +
                  device.ErrorText(status.lastError) + "; DriverStatus: " +
                  DriverErrorText(Byte(thresholds, kDriverErrorOffset)) +
                  "; bIDEStatus=" + Hex4(Byte(thresholds, kIdeErrorOffset));
      continue;
    }
    read = true;
  }

  if (read)
    ParseTables(result, std::string_view(attributes).substr(kSectorOffset),
                std::string_view(thresholds).substr(kSectorOffset));
  return ok;
}

// The NT family's path to drive n: a handle without access rights for the storage queries (the
// bus type, and the NVMe queries of an NVMe drive), the ATA path with its own read/write handle,
// and the NVMe queries again for a drive whose ATA path failed. A drive that answers neither
// keeps the ATA path's error text.
bool ReadNtDrive(ISmartDevice& device, int32_t driveNumber, TSmartResult& result, std::string& errorText,
                 DriveState& state) {
  const std::string path = "\\\\.\\PhysicalDrive" + std::to_string(driveNumber);
  SmartOpenResult query = device.Open(path, kNoAccess, kFileShareReadWrite, kOpenExisting);
  if (!query.handle) {
    result = TSmartResult{};
    errorText = "Unable to open physical drive: " + device.ErrorText(query.lastError);
    state = DriveState::Absent;
    return false;
  }
  const std::optional<uint32_t> bus = QueryBusType(*query.handle);
  const bool nvmeBus = bus == storage::kBusNvme;
  auto readNvme = [&] {
    TSmartResult nvme;
    if (!ReadNvmeDrive(device, path, query.handle, nvme)) return false;
    result = std::move(nvme);
    result.BusType = BusTypeName(storage::kBusNvme);
    errorText.clear();
    state = DriveState::Read;
    return true;
  };
  if (nvmeBus && readNvme()) return true;

  bool opened = false;
  const bool ok = ReadAta(device, kPlatformNT, driveNumber, result, errorText, opened);
  if (errorText.empty()) {
    result.BusType = bus ? BusTypeName(*bus) : "ATA";
    state = DriveState::Read;
    return ok;
  }
  if (!nvmeBus && readNvme()) return true;
  result.BusType = bus ? BusTypeName(*bus) : "";
  state = DriveState::Unreadable;
  return ok;
}

bool ReadAnyDrive(ISmartDevice& device, uint32_t platformId, int32_t driveNumber, TSmartResult& result,
                  std::string& errorText, DriveState& state) {
  if (platformId == kPlatformNT) return ReadNtDrive(device, driveNumber, result, errorText, state);
  bool opened = false;
  const bool ok = ReadAta(device, platformId, driveNumber, result, errorText, opened);
  state = !opened ? DriveState::Absent : errorText.empty() ? DriveState::Read : DriveState::Unreadable;
  if (state == DriveState::Read) result.BusType = "ATA";
  return ok;
}

bool ReadPlatformDrive(Platform& platform, int32_t driveNumber, TSmartResult& result, std::string& errorText,
                       DriveState& state) {
  const uint32_t platformId = platform.system.GetOsVersion().platformId;
  if (!platform.smart) {
    result = TSmartResult{};
    errorText = std::string(platformId == kPlatformWin9x ? "Unable to open SMARTVSD: "
                                                         : "Unable to open physical drive: ") +
                "The request is not supported.";
    state = DriveState::Absent;
    return false;
  }
  return ReadAnyDrive(*platform.smart, platformId, driveNumber, result, errorText, state);
}

}  // namespace

bool ReadSmartData(ISmartDevice& device, uint32_t platformId, int32_t driveNumber, TSmartResult& result,
                   std::string& errorText) {
  DriveState state;
  return ReadAnyDrive(device, platformId, driveNumber, result, errorText, state);
}

bool ReadSmartData(Platform& platform, int32_t driveNumber, TSmartResult& result, std::string& errorText) {
  DriveState state;
  return ReadPlatformDrive(platform, driveNumber, result, errorText, state);
}

DriveState ReadSmartDrive(Platform& platform, int32_t driveNumber, TSmartResult& result, std::string& errorText) {
  DriveState state;
  ReadPlatformDrive(platform, driveNumber, result, errorText, state);
  return state;
}

std::vector<DriveReading> ReadEveryDrive(Platform& platform, int maxDrives) {
  std::vector<DriveReading> drives;
  for (int n = 0; n < maxDrives; ++n) {
    DriveReading d;
    d.number = n;
    d.state = ReadSmartDrive(platform, n, d.result, d.error);
    if (d.state == DriveState::Absent) break;
    drives.push_back(std::move(d));
  }
  return drives;
}

}  // namespace orv
