#include "diskhealth/replay_device.h"

#include <algorithm>
#include <vector>

#include "platform/files.h"
#include "util/text.h"

namespace orv {

namespace {

constexpr size_t kSector = 512;
constexpr const char* kPhysicalDrivePrefix = "\\\\.\\PhysicalDrive";
constexpr const char* kSmartVsd = "\\\\.\\SMARTVSD";

// Reply layout (SENDCMDOUTPARAMS): cBufferSize (4), bDriverError (1), bIDEError (1), reserved
// (10), then the sector from offset 16.
constexpr size_t kReplySector = 16;
constexpr uint8_t kDriverErrorIde = 1;  // "Error from IDE controller"
constexpr uint8_t kAtaErrorAbort = 0x04;  // ATA error register: command aborted
constexpr uint32_t kErrorInsufficientBuffer = 122;
constexpr const char* kNvmeIdentifyKind = "nvme_identify_controller";
constexpr const char* kNvmeHealthKind = "nvme_smart_health_log02";

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

bool AllDigits(std::string_view s) {
  if (s.empty()) return false;
  for (char c : s)
    if (c < '0' || c > '9') return false;
  return true;
}

class ReplayHandle final : public ISmartHandle {
 public:
  // `drive` >= 0: a physical drive's own handle, which answers for that drive whatever position a
  // command names. -1: the SMARTVSD handle, which addresses the drives by their position.
  ReplayHandle(ReplaySmartDevice& device, int drive) : device_(device), drive_(drive) {}

  SmartIoStatus IoControl(uint32_t controlCode, std::string_view input, std::string& output) override {
    if (controlCode == kStorageQueryProperty) return StorageQuery(input, output);
    if (controlCode == kDiskGetLengthInfo || controlCode == kDiskGetDriveGeometryEx)
      return DiskLength(controlCode, output);
    // A captured NVMe drive has no ATA path: its driver refuses the drive S.M.A.R.T. interface.
    if (drive_ >= 0 && !device_.IsAtaDrive(drive_) &&
        (controlCode == kSmartGetVersion || controlCode == kSmartSendDriveCommand || controlCode == kSmartRcvDriveData))
      return {false, kErrorInvalidFunction, 0};
    if (controlCode == kSmartGetVersion) return Version(output);
    if (controlCode != kSmartSendDriveCommand && controlCode != kSmartRcvDriveData)
      return {false, kErrorInvalidFunction, 0};
    if (input.size() < 13) return {false, kErrorInvalidParameter, 0};
    auto reg = [&](size_t at) { return static_cast<uint8_t>(input[at]); };
    const uint8_t features = reg(4), cylLow = reg(7), cylHigh = reg(8), command = reg(10);
    const int drive = drive_ >= 0 ? drive_ : reg(12);
    const bool smart = command == 0xB0 && cylLow == 0x4F && cylHigh == 0xC2;

    if (controlCode == kSmartSendDriveCommand) {
      // SMART ENABLE OPERATIONS: a captured drive had S.M.A.R.T. on.
      if (smart && features == 0xD8 && device_.DriveExists(drive)) return Reply(output, std::string(), 0);
      return Abort(output);
    }
    std::optional<std::string> sector;
    if (command == 0xEC)
      sector = device_.Sector(drive, "identify");
    else if (smart && features == 0xD0)
      sector = device_.Sector(drive, "smart_read_data");
    else if (smart && features == 0xD1)
      sector = device_.Sector(drive, "smart_read_thresholds");
    // Anything else, IDENTIFY PACKET DEVICE included, is refused as an ATA disk refuses it.
    if (!sector) return Abort(output);
    return Reply(output, *sector, static_cast<uint32_t>(kSector));
  }

 private:
  SmartIoStatus Version(std::string& output) {
    if (output.size() < 24) return {false, kErrorInvalidParameter, 0};
    uint8_t map = 0;
    if (drive_ >= 0) {
      map = 0x01;  // a physical drive's handle: its one device at position 0
    } else {
      for (int d = 0; d < 4; ++d)
        if (device_.DriveExists(d)) map |= static_cast<uint8_t>(1u << d);
    }
    std::fill(output.begin(), output.begin() + 24, '\0');
    output[0] = 1;  // bVersion
    output[1] = 1;  // bRevision
    output[3] = static_cast<char>(map);
    output[4] = 0x05;  // fCapabilities: CAP_ATA_ID_CMD | CAP_SMART_CMD
    return {true, 0, 24};
  }

  // IOCTL_STORAGE_QUERY_PROPERTY as a driver answers it: the bus type (NVMe for a captured NVMe
  // drive, ATA otherwise), and for an NVMe drive its identify data and health log as a
  // STORAGE_PROTOCOL_DATA_DESCRIPTOR, by the device and the adapter query alike.
  SmartIoStatus StorageQuery(std::string_view input, std::string& output) {
    namespace st = storage;
    if (drive_ < 0 || input.size() < st::kQueryHeaderSize) return {false, kErrorInvalidFunction, 0};
    const uint32_t property = Le32(input, 0);
    std::fill(output.begin(), output.end(), '\0');
    const bool nvme = device_.IsNvmeDrive(drive_);
    if (property == st::kDeviceProperty) {
      if (output.size() < st::kDeviceDescriptorSize) return {false, kErrorInsufficientBuffer, 0};
      PutLe(output, 0, st::kDeviceDescriptorSize, 4);  // Version
      PutLe(output, 4, st::kDeviceDescriptorSize, 4);  // Size: no vendor or product texts
      PutLe(output, st::kDeviceDescriptorBusType, nvme ? st::kBusNvme : st::kBusAta, 4);
      return {true, 0, static_cast<uint32_t>(st::kDeviceDescriptorSize)};
    }
    if (property != st::kDeviceProtocolSpecific && property != st::kAdapterProtocolSpecific)
      return {false, kErrorInvalidFunction, 0};
    const size_t block = st::kQueryHeaderSize;
    if (!nvme || input.size() < block + st::kProtocolDataSize || Le32(input, block + st::kProtocolTypeAt) != st::kProtocolNvme)
      return {false, kErrorNotSupported, 0};
    const uint32_t type = Le32(input, block + st::kDataTypeAt), value = Le32(input, block + st::kRequestValueAt);
    const uint32_t length = Le32(input, block + st::kDataLengthAt);
    std::optional<std::string> data;
    if (type == st::kNvmeDataIdentify && value == st::kNvmeIdentifyController)
      data = device_.Sector(drive_, kNvmeIdentifyKind);
    else if (type == st::kNvmeDataLogPage && value == st::kNvmeLogHealth)
      data = device_.Sector(drive_, kNvmeHealthKind);
    else
      return {false, kErrorInvalidParameter, 0};
    if (!data) return {false, kErrorIoDevice, 0};
    const size_t start = block + st::kProtocolDataSize;
    if (output.size() < start + length) return {false, kErrorInsufficientBuffer, 0};
    PutLe(output, 0, st::kProtocolDescriptorSize, 4);
    PutLe(output, 4, st::kProtocolDescriptorSize, 4);
    for (size_t k = 0; k < st::kProtocolDataSize; ++k) output[block + k] = input[block + k];
    PutLe(output, block + st::kDataOffsetAt, st::kProtocolDataSize, 4);
    PutLe(output, block + st::kDataLengthAt, length, 4);
    // A capture holds the first 512 bytes of the data; the rest reads as zeros.
    for (size_t k = 0; k < data->size() && k < length; ++k) output[start + k] = (*data)[k];
    return {true, 0, static_cast<uint32_t>(start + length)};
  }

  // IOCTL_DISK_GET_LENGTH_INFO and the disk size of IOCTL_DISK_GET_DRIVE_GEOMETRY_EX (without
  // a geometry) from the drive's length file; refused without one.
  SmartIoStatus DiskLength(uint32_t controlCode, std::string& output) {
    const std::optional<int64_t> length = drive_ >= 0 ? device_.Length(drive_) : std::nullopt;
    const size_t at = controlCode == kDiskGetLengthInfo ? 0 : storage::kGeometryExDiskSizeAt;
    if (!length || output.size() < at + 8) return {false, kErrorInvalidFunction, 0};
    std::fill(output.begin(), output.end(), '\0');
    PutLe(output, at, static_cast<uint64_t>(*length), 8);
    return {true, 0, static_cast<uint32_t>(at + 8)};
  }

  static uint32_t Le32(std::string_view b, size_t at) {
    uint32_t v = 0;
    for (int k = 0; k < 4; ++k) v |= static_cast<uint32_t>(static_cast<uint8_t>(b[at + k])) << (8 * k);
    return v;
  }
  static void PutLe(std::string& b, size_t at, uint64_t v, int bytes) {
    for (int k = 0; k < bytes; ++k) b[at + k] = static_cast<char>((v >> (8 * k)) & 0xFF);
  }

  static SmartIoStatus Reply(std::string& output, const std::string& sector, uint32_t bufferSize) {
    std::fill(output.begin(), output.end(), '\0');
    for (size_t k = 0; k < 4 && k < output.size(); ++k)
      output[k] = static_cast<char>((bufferSize >> (8 * k)) & 0xFF);
    size_t n = 0;
    for (; n < sector.size() && kReplySector + n < output.size(); ++n) output[kReplySector + n] = sector[n];
    return {true, 0, static_cast<uint32_t>(std::min(output.size(), kReplySector + sector.size()))};
  }

  static SmartIoStatus Abort(std::string& output) {
    std::fill(output.begin(), output.end(), '\0');
    if (output.size() > 5) {
      output[4] = static_cast<char>(kDriverErrorIde);
      output[5] = static_cast<char>(kAtaErrorAbort);
    }
    return {false, kErrorIoDevice, 0};
  }

  ReplaySmartDevice& device_;
  int drive_;
};

}  // namespace

std::optional<std::string> ParseSectorDump(std::string_view text) {
  std::string sector(kSector, '\0');
  std::vector<bool> given(kSector, false);
  for (const std::string& raw : SplitLines(text)) {
    const std::string line = Trim(raw);
    const size_t colon = line.find(':');
    const size_t dash = line.find('-');
    if (colon == std::string::npos || dash == std::string::npos || dash > colon) continue;
    const std::string from = line.substr(0, dash);
    if (!AllDigits(from) || !AllDigits(line.substr(dash + 1, colon - dash - 1))) continue;
    size_t offset = from.size() > 6 ? kSector : std::stoul(from);
    size_t at = colon + 1;
    while (at < line.size()) {
      while (at < line.size() && (line[at] == ' ' || line[at] == '\t')) ++at;
      size_t end = at;
      while (end < line.size() && line[end] != ' ' && line[end] != '\t') ++end;
      if (end == at) break;
      if (end - at != 2 || HexDigit(line[at]) < 0 || HexDigit(line[at + 1]) < 0) break;  // a text column
      if (offset < kSector) {
        sector[offset] = static_cast<char>(HexDigit(line[at]) * 16 + HexDigit(line[at + 1]));
        given[offset] = true;
      }
      ++offset;
      at = end;
    }
  }
  for (bool g : given)
    if (!g) return std::nullopt;
  return sector;
}

ReplaySmartDevice::ReplaySmartDevice(IFiles& files, std::string folder, std::unique_ptr<ISmartDevice> messages)
    : files_(files), folder_(std::move(folder)), messages_(std::move(messages)) {
  // Without its trailing separator, except a drive's root ("C:\\").
  while (folder_.size() > 1 && (folder_.back() == '\\' || folder_.back() == '/') &&
         !(folder_.size() == 3 && folder_[1] == ':'))
    folder_.pop_back();
}

std::string ReplaySmartDevice::FilePath(int drive, std::string_view kind, std::string_view extension) const {
  const char* sep = !folder_.empty() && folder_.back() == '\\' ? "" : "\\";
  return folder_ + sep + "drive" + std::to_string(drive) + "_" + std::string(kind) + std::string(extension);
}

bool ReplaySmartDevice::HasCapture(int drive, std::string_view kind) {
  for (const char* ext : {".bin", ".hexdump.txt", ".txt"})
    if (files_.FileExists(FilePath(drive, kind, ext))) return true;
  return false;
}

bool ReplaySmartDevice::IsAtaDrive(int drive) { return HasCapture(drive, "identify"); }

bool ReplaySmartDevice::IsNvmeDrive(int drive) { return !IsAtaDrive(drive) && HasCapture(drive, kNvmeIdentifyKind); }

bool ReplaySmartDevice::DriveExists(int drive) { return IsAtaDrive(drive) || IsNvmeDrive(drive); }

std::optional<int64_t> ReplaySmartDevice::Length(int drive) {
  auto text = files_.ReadFile(FilePath(drive, "length", ".txt"));
  if (!text) return std::nullopt;
  auto bytes = ParseInt64(Trim(*text));
  if (!bytes || *bytes <= 0) return std::nullopt;
  return bytes;
}

std::optional<std::string> ReplaySmartDevice::Sector(int drive, std::string_view kind) {
  if (auto bytes = files_.ReadFile(FilePath(drive, kind, ".bin"))) {
    if (bytes->size() >= kSector) return bytes->substr(0, kSector);
    return std::nullopt;  // a short capture is not a sector
  }
  for (const char* ext : {".hexdump.txt", ".txt"})
    if (auto text = files_.ReadFile(FilePath(drive, kind, ext))) return ParseSectorDump(*text);
  return std::nullopt;
}

SmartOpenResult ReplaySmartDevice::Open(const std::string& path, uint32_t, uint32_t, uint32_t) {
  if (!files_.DirectoryExists(folder_)) return {nullptr, kErrorPathNotFound};
  if (SameTextIgnoringCase(path, kSmartVsd)) return {std::make_unique<ReplayHandle>(*this, -1), 0};
  const std::string prefix = kPhysicalDrivePrefix;
  if (path.size() > prefix.size() && SameTextIgnoringCase(path.substr(0, prefix.size()), prefix)) {
    const std::string number = path.substr(prefix.size());
    if (AllDigits(number) && number.size() <= 3) {
      const int drive = std::stoi(number);
      if (DriveExists(drive)) return {std::make_unique<ReplayHandle>(*this, drive), 0};
    }
  }
  return {nullptr, kErrorFileNotFound};
}

std::string ReplaySmartDevice::ErrorText(uint32_t code) {
  if (messages_) return messages_->ErrorText(code);
  switch (code) {
    case kErrorInvalidFunction: return "Incorrect function.";
    case kErrorFileNotFound: return "The system cannot find the file specified.";
    case kErrorPathNotFound: return "The system cannot find the path specified.";
    case kErrorNotSupported: return "The request is not supported.";
    case kErrorInvalidParameter: return "The parameter is incorrect.";
    case kErrorIoDevice: return "The request could not be performed because of an I/O device error.";
    default: return "Error " + std::to_string(code) + ".";
  }
}

std::unique_ptr<ISmartDevice> MakeSmartDevice(IFiles& files, const std::string& replayFolder,
                                              const std::string& programFolder, std::unique_ptr<ISmartDevice> real) {
  const std::string folder = Trim(replayFolder);
  if (folder.empty()) return real;
  const bool absolute = folder[0] == '\\' || folder[0] == '/' || (folder.size() >= 2 && folder[1] == ':');
  return std::make_unique<ReplaySmartDevice>(files, absolute ? folder : programFolder + folder, std::move(real));
}

}  // namespace orv
