// S.M.A.R.T. acquisition (ReadSmartData) over a device whose every reply comes from the input:
// the version block with its device map, IDENTIFY, attribute and threshold sectors, failures
// with any driver and IDE error bytes; then the history line and headers of the result.
//
// Input: a header of 4 bytes, then one record per device call in the order the reader makes
// them. Header: [0] family (0 NT, 1 9x, 2 neither), [1] device map, [2] bit 0 the open fails,
// bit 1 the version call fails, bit 2 the storage queries are answered from the input (else they
// fail, as on a system without them, and take no input), [3] drive number. A record: [0] bit 0
// the call fails, [1] driver error byte, [2] IDE error byte, then for the three reads (not for
// SMART ENABLE) the 512 bytes of the sector. A storage query record (the bus type and the NVMe
// queries): [0] bit 0 the call fails, bit 1 as an access refusal, [1-2] the bytes returned, then
// the reply's bytes (as many as the output buffer holds). A length record: [0] the call fails,
// then 8 bytes. A missing record answers like a device that returns zeros.
//
// Properties: at most 30 attribute slots are filled, no handle stays open; when the reading
// succeeds, the history data line and both header lines have the same number of fields (their
// columns line up).

#include "diskhealth/health_history.h"
#include "diskhealth/smart_attributes.h"
#include "diskhealth/smart_read.h"
#include "fuzz_support.h"
#include "platform/smart_device.h"

namespace orv {
namespace {

// Zeroes the buffer and puts `bytes` at `at` as far as it reaches.
void Fill(std::string& output, size_t at, std::string_view bytes) {
  std::fill(output.begin(), output.end(), '\0');
  for (size_t k = 0; k < bytes.size() && at + k < output.size(); ++k) output[at + k] = bytes[k];
}

// The device and its handles share the input; `open` counts the handles not yet closed.
struct FuzzDevice final : ISmartDevice {
  FuzzDevice(fuzz::ByteReader& input, uint8_t map, uint8_t flags) : in(input), map(map), flags(flags) {}
  SmartOpenResult Open(const std::string&, uint32_t, uint32_t, uint32_t) override {
    if (flags & 1) return {nullptr, kErrorFileNotFound};
    return {std::make_unique<Handle>(*this), 0};
  }
  std::string ErrorText(uint32_t code) override { return "error " + std::to_string(code); }

  struct Handle final : ISmartHandle {
    explicit Handle(FuzzDevice& device) : d(device) { ++d.open; }
    ~Handle() override { --d.open; }
    SmartIoStatus IoControl(uint32_t code, std::string_view, std::string& output) override;
    FuzzDevice& d;
  };

  fuzz::ByteReader& in;
  const uint8_t map, flags;
  int open = 0;
};

SmartIoStatus FuzzDevice::Handle::IoControl(uint32_t code, std::string_view, std::string& output) {
  const bool storage = d.flags & 4;
  const auto size = static_cast<uint32_t>(output.size());
  if (code == kStorageQueryProperty) {
    if (!storage) return {false, kErrorNotSupported, 0};
    const uint8_t how = d.in.Byte();
    const uint32_t returned = d.in.Byte(0xFF) | (d.in.Byte(0xFF) << 8);
    Fill(output, 0, d.in.Bytes(output.size()));
    if (how & 1) return {false, (how & 2) ? kErrorAccessDenied : kErrorNotSupported, 0};
    return {true, 0, returned};
  }
  if (code == kDiskGetLengthInfo || code == kDiskGetDriveGeometryEx) {
    if (!storage) return {false, kErrorInvalidFunction, 0};
    const bool fails = d.in.Bit();
    Fill(output, code == kDiskGetLengthInfo ? 0 : 24, d.in.Bytes(8));
    return fails ? SmartIoStatus{false, kErrorIoDevice, 0} : SmartIoStatus{true, 0, size};
  }
  if (code == kSmartGetVersion) {
    if (d.flags & 2) return {false, kErrorNotSupported, 0};
    Fill(output, 3, std::string(1, static_cast<char>(d.map)));
    return {true, 0, size};
  }
  const bool fails = d.in.Bit();
  const std::string errors = {static_cast<char>(d.in.Byte()), static_cast<char>(d.in.Byte())};
  Fill(output, 16, code == kSmartRcvDriveData ? d.in.Bytes(512) : std::string_view());
  if (output.size() > 5) output.replace(4, 2, errors);
  return fails ? SmartIoStatus{false, kErrorIoDevice, 0} : SmartIoStatus{true, 0, size};
}

}  // namespace
}  // namespace orv

ORV_FUZZ_TARGET(bytes) {
  ByteReader input(bytes);
  const unsigned family = input.Below(3);
  const uint32_t platformId = family == 0 ? kPlatformNT : family == 1 ? kPlatformWin9x : 3;
  const uint8_t map = input.Byte(1);
  const uint8_t flags = input.Byte();
  const int32_t drive = input.Byte();
  FuzzDevice device(input, map, flags);

  TSmartResult r;
  std::string error;
  ReadSmartData(device, platformId, drive, r, error);
  ORV_FUZZ_CHECK(r.AttrCount >= 0 && r.AttrCount <= kSmartEntries, r.AttrCount);
  ORV_FUZZ_CHECK(device.open == 0, device.open);
  for (int id : {1, 3, 5, 7, 9, 10, 12, 194, 0, 255}) AttrCell(r, id);
  if (!error.empty()) return;

  const std::vector<TSmartResult> drives = {r, r};
  const std::string line = HealthDataLine(DateTime{2026, 12, 6, 10, 0, 0, 0}, drives);
  ORV_FUZZ_CHECK(line.find_first_of("\r\n") == std::string::npos, line);
  for (const std::string& header : {EnglishHealthHeader(drives), JapaneseHealthHeader(drives)})
    ORV_FUZZ_CHECK(Split(header, ',').size() == Split(line, ',').size(), line, "\n", header);
}
