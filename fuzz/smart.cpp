// S.M.A.R.T. acquisition (ReadSmartData) over a device whose every reply comes from the input:
// the version block with its device map, IDENTIFY, attribute and threshold sectors, failures
// with any driver and IDE error bytes; then the history line and headers of the result.
//
// Input: a header of 4 bytes, then one record per device call in the order the reader makes
// them. Header: [0] family (0 NT, 1 9x, 2 neither), [1] device map, [2] bit 0 the open fails,
// bit 1 the version call fails, bit 2 the storage queries are answered from the input (else they
// fail, as on a system without them, and take no input), [3] drive number. A record: [0] bit 0 the call fails, [1] driver
// error byte, [2] IDE error byte, then for the three reads (not for SMART ENABLE) the 512 bytes
// of the sector. A storage query record (the bus type and the NVMe queries): [0] bit 0 the call
// fails, bit 1 as an access refusal, [1-2] the bytes returned, then the reply's bytes (as many as
// the output buffer holds). A length record: [0] the call fails, then 8 bytes. A missing record
// answers like a device that returns zeros.
//
// Properties: at most 30 attribute slots are filled, no handle stays open; when the reading
// succeeds, the history data line and both header lines have the same number of fields (their
// columns line up).

#include <string>
#include <vector>

#include "diskhealth/health_history.h"
#include "diskhealth/smart_attributes.h"
#include "diskhealth/smart_read.h"
#include "fuzz_support.h"
#include "platform/smart_device.h"
#include "util/text.h"

namespace orv {
namespace {

class FuzzHandle final : public ISmartHandle {
 public:
  FuzzHandle(fuzz::ByteReader& input, uint8_t map, bool versionFails, bool storage, int& open)
      : input_(input), map_(map), versionFails_(versionFails), storage_(storage), open_(open) {
    ++open_;
  }
  ~FuzzHandle() override { --open_; }

  SmartIoStatus IoControl(uint32_t code, std::string_view in, std::string& output) override {
    if (code == kStorageQueryProperty) {
      if (!storage_) return {false, kErrorNotSupported, 0};
      return Storage(output);
    }
    if (code == kDiskGetLengthInfo || code == kDiskGetDriveGeometryEx) {
      if (!storage_) return {false, kErrorInvalidFunction, 0};
      const bool fails = input_.Bit(false);
      const std::string_view value = input_.Bytes(8);
      std::fill(output.begin(), output.end(), '\0');
      const size_t at = code == kDiskGetLengthInfo ? 0 : 24;
      for (size_t k = 0; k < value.size() && at + k < output.size(); ++k) output[at + k] = value[k];
      if (fails) return {false, kErrorIoDevice, 0};
      return {true, 0, static_cast<uint32_t>(output.size())};
    }
    if (code == kSmartGetVersion) {
      if (versionFails_) return {false, kErrorNotSupported, 0};
      std::fill(output.begin(), output.end(), '\0');
      if (output.size() > 3) output[3] = static_cast<char>(map_);
      return {true, 0, static_cast<uint32_t>(output.size())};
    }
    const bool fails = input_.Bit(false);
    const uint8_t driverError = input_.Byte(0), ideError = input_.Byte(0);
    std::fill(output.begin(), output.end(), '\0');
    if (code == kSmartRcvDriveData) {
      const std::string_view sector = input_.Bytes(512);
      for (size_t k = 0; k < sector.size() && 16 + k < output.size(); ++k) output[16 + k] = sector[k];
    }
    if (output.size() > 5) {
      output[4] = static_cast<char>(driverError);
      output[5] = static_cast<char>(ideError);
    }
    if (fails) return {false, kErrorIoDevice, 0};
    return {true, 0, static_cast<uint32_t>(output.size())};
  }

 private:
  SmartIoStatus Storage(std::string& output) {
    const uint8_t how = input_.Byte(0);
    const uint32_t returned = input_.Byte(0xFF) | (input_.Byte(0xFF) << 8);
    const std::string_view reply = input_.Bytes(output.size());
    std::fill(output.begin(), output.end(), '\0');
    std::copy(reply.begin(), reply.end(), output.begin());
    if (how & 1) return {false, (how & 2) ? kErrorAccessDenied : kErrorNotSupported, 0};
    return {true, 0, returned};
  }

  fuzz::ByteReader& input_;
  uint8_t map_;
  bool versionFails_;
  bool storage_;
  int& open_;
};

class FuzzDevice final : public ISmartDevice {
 public:
  FuzzDevice(fuzz::ByteReader& input, uint8_t map, uint8_t flags) : input_(input), map_(map), flags_(flags) {}
  SmartOpenResult Open(const std::string&, uint32_t, uint32_t, uint32_t) override {
    if (flags_ & 1) return {nullptr, kErrorFileNotFound};
    return {std::make_unique<FuzzHandle>(input_, map_, (flags_ & 2) != 0, (flags_ & 4) != 0, open), 0};
  }
  std::string ErrorText(uint32_t code) override { return "error " + std::to_string(code); }
  int open = 0;  // handles not yet closed

 private:
  fuzz::ByteReader& input_;
  uint8_t map_, flags_;
};

}  // namespace
}  // namespace orv

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace orv;
  fuzz::ByteReader input(fuzz::AsText(data, size));
  const unsigned family = input.Below(3, 0);
  const uint32_t platformId = family == 0 ? kPlatformNT : family == 1 ? kPlatformWin9x : 3;
  const uint8_t map = input.Byte(1);
  const uint8_t flags = input.Byte(0);
  const int32_t drive = input.Byte(0);
  FuzzDevice device(input, map, flags);

  TSmartResult r;
  std::string error;
  ReadSmartData(device, platformId, drive, r, error);
  ORV_FUZZ_CHECK(r.AttrCount >= 0 && r.AttrCount <= kSmartEntries, std::to_string(r.AttrCount));
  ORV_FUZZ_CHECK(device.open == 0, std::to_string(device.open));
  for (int id : {1, 3, 5, 7, 9, 10, 12, 194, 0, 255}) AttrCell(r, id);
  if (!error.empty()) return 0;

  const std::vector<TSmartResult> drives = {r, r};
  const DateTime when{2026, 12, 6, 10, 0, 0, 0};
  const std::string line = HealthDataLine(when, drives);
  const std::string english = EnglishHealthHeader(drives);
  const std::string japanese = JapaneseHealthHeader(drives);
  ORV_FUZZ_CHECK(line.find_first_of("\r\n") == std::string::npos, line);
  const size_t fields = Split(line, ',').size();
  ORV_FUZZ_CHECK(Split(english, ',').size() == fields, line + "\n" + english);
  ORV_FUZZ_CHECK(Split(japanese, ',').size() == fields, line + "\n" + japanese);
  return 0;
}
