#pragma once
// A scripted S.M.A.R.T. device: devices by name, each with its device map and per-position
// sectors and failures. Every open and every I/O control call is recorded with its exact bytes.

#include <algorithm>
#include <cstdint>
#include <fstream>
#include <sstream>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/smart_device.h"

namespace orv::test {

struct FakeFailure {
  bool fail = false;
  uint32_t lastError = kErrorIoDevice;
  uint8_t driverError = 1;
  uint8_t ideError = 0x04;
};

struct FakeSmartPosition {
  std::string identify = std::string(512, '\0');
  std::string data = std::string(512, '\0');
  std::string thresholds = std::string(512, '\0');
  FakeFailure enable, identifyCmd, readData, readThresholds;
};

struct FakeSmartDrive {
  uint32_t openError = 0;  // not 0: the open fails with this code
  bool versionFails = false;
  uint32_t versionError = kErrorNotSupported;
  uint8_t map = 0x01;
  std::map<int, FakeSmartPosition> positions;
};

struct FakeOpenCall {
  std::string path;
  uint32_t access, shareMode, disposition;
};

struct FakeIoCall {
  std::string path;
  uint32_t code;
  std::string input;
  std::string outputBefore;  // the output buffer as the caller handed it in
};

// One attribute of a drive: data entry and threshold entry at the same position.
struct FakeAttr {
  int id;
  uint16_t flags;
  int current, worst;
  uint64_t raw;
  int threshold;
};

// An ATA identify string field: blank-padded and stored with the bytes of each pair exchanged.
inline void PutAtaString(std::string& sector, size_t offset, size_t length, const std::string& text) {
  std::string field = text.substr(0, length);
  field.resize(length, ' ');
  for (size_t k = 0; k + 1 < length; k += 2) {
    sector[offset + k] = field[k + 1];
    sector[offset + k + 1] = field[k];
  }
}

inline std::string IdentifySector(const std::string& model, const std::string& serial, const std::string& firmware,
                                  uint32_t lbaSectors) {
  std::string s(512, '\0');
  PutAtaString(s, 20, 20, serial);
  PutAtaString(s, 46, 8, firmware);
  PutAtaString(s, 54, 40, model);
  for (int k = 0; k < 4; ++k) s[120 + k] = static_cast<char>((lbaSectors >> (8 * k)) & 0xFF);
  return s;
}

inline std::string AttributeSector(const std::vector<FakeAttr>& attrs) {
  std::string s(512, '\0');
  s[0] = 0x10;
  for (size_t i = 0; i < attrs.size() && i < 30; ++i) {
    const size_t at = 2 + 12 * i;
    s[at] = static_cast<char>(attrs[i].id);
    s[at + 1] = static_cast<char>(attrs[i].flags & 0xFF);
    s[at + 2] = static_cast<char>(attrs[i].flags >> 8);
    s[at + 3] = static_cast<char>(attrs[i].current);
    s[at + 4] = static_cast<char>(attrs[i].worst);
    for (int k = 0; k < 6; ++k) s[at + 5 + k] = static_cast<char>((attrs[i].raw >> (8 * k)) & 0xFF);
  }
  return s;
}

inline std::string ThresholdSector(const std::vector<FakeAttr>& attrs) {
  std::string s(512, '\0');
  s[0] = 0x10;
  for (size_t i = 0; i < attrs.size() && i < 30; ++i) {
    s[2 + 12 * i] = static_cast<char>(attrs[i].id);
    s[2 + 12 * i + 1] = static_cast<char>(attrs[i].threshold);
  }
  return s;
}

inline FakeSmartPosition DrivePosition(const std::string& model, const std::string& serial,
                                       const std::vector<FakeAttr>& attrs, uint32_t lbaSectors = 234441648) {
  FakeSmartPosition p;
  p.identify = IdentifySector(model, serial, "FW01", lbaSectors);
  p.data = AttributeSector(attrs);
  p.thresholds = ThresholdSector(attrs);
  return p;
}

class FakeSmartDevice final : public ISmartDevice {
 public:
  std::map<std::string, FakeSmartDrive> devices;
  std::vector<FakeOpenCall> opens;
  std::vector<FakeIoCall> calls;
  int liveHandles = 0;

  static std::string PhysicalDriveName(int n) { return "\\\\.\\PhysicalDrive" + std::to_string(n); }
  FakeSmartDrive& PhysicalDrive(int n) { return devices[PhysicalDriveName(n)]; }

  SmartOpenResult Open(const std::string& path, uint32_t access, uint32_t shareMode, uint32_t disposition) override {
    opens.push_back({path, access, shareMode, disposition});
    auto it = devices.find(path);
    if (it == devices.end()) return {nullptr, kErrorFileNotFound};
    if (it->second.openError) return {nullptr, it->second.openError};
    return {std::make_unique<Handle>(*this, path, it->second), 0};
  }

  // The calls and opens of the ATA path alone, without the storage queries before it.
  std::vector<FakeIoCall> AtaCalls() const {
    std::vector<FakeIoCall> ata;
    for (const auto& c : calls)
      if (c.code != kStorageQueryProperty) ata.push_back(c);
    return ata;
  }
  std::vector<FakeOpenCall> AtaOpens() const {
    std::vector<FakeOpenCall> ata;
    for (const auto& o : opens)
      if (o.access != kNoAccess) ata.push_back(o);
    return ata;
  }

  std::string ErrorText(uint32_t code) override { return "message " + std::to_string(code); }

 private:
  class Handle final : public ISmartHandle {
   public:
    Handle(FakeSmartDevice& owner, std::string path, FakeSmartDrive& drive)
        : owner_(owner), path_(std::move(path)), drive_(drive) {
      ++owner_.liveHandles;
    }
    ~Handle() override { --owner_.liveHandles; }

    SmartIoStatus IoControl(uint32_t code, std::string_view input, std::string& output) override {
      owner_.calls.push_back({path_, code, std::string(input), output});
      // The storage stack's queries: a driver without them (the NVMe path is tested over the
      // replay device).
      if (code != kSmartGetVersion && code != kSmartSendDriveCommand && code != kSmartRcvDriveData)
        return {false, kErrorInvalidFunction, 0};
      if (code == kSmartGetVersion) {
        if (drive_.versionFails) return {false, drive_.versionError, 0};
        std::fill(output.begin(), output.end(), '\0');
        output[0] = 1;
        output[3] = static_cast<char>(drive_.map);
        return {true, 0, 24};
      }
      const int position = input.size() > 12 ? static_cast<uint8_t>(input[12]) : -1;
      auto it = drive_.positions.find(position);
      if (it == drive_.positions.end()) return Fail(output, FakeFailure{true, kErrorIoDevice, 5, 0});
      FakeSmartPosition& p = it->second;
      const uint8_t features = static_cast<uint8_t>(input[4]), command = static_cast<uint8_t>(input[10]);
      if (code == kSmartSendDriveCommand) {
        if (p.enable.fail) return Fail(output, p.enable);
        std::fill(output.begin(), output.end(), '\0');
        return {true, 0, 16};
      }
      if (command == 0xEC || command == 0xA1) return Answer(output, p.identifyCmd, p.identify);
      if (features == 0xD0) return Answer(output, p.readData, p.data);
      if (features == 0xD1) return Answer(output, p.readThresholds, p.thresholds);
      return Fail(output, FakeFailure{true, kErrorInvalidParameter, 3, 0});
    }

   private:
    static SmartIoStatus Fail(std::string& output, const FakeFailure& f) {
      std::fill(output.begin(), output.end(), '\0');
      output[4] = static_cast<char>(f.driverError);
      output[5] = static_cast<char>(f.ideError);
      return {false, f.lastError, 0};
    }
    static SmartIoStatus Answer(std::string& output, const FakeFailure& f, const std::string& sector) {
      if (f.fail) return Fail(output, f);
      std::fill(output.begin(), output.end(), '\0');
      output[0] = 0x00;
      output[1] = 0x02;  // cBufferSize 512
      for (size_t k = 0; k < sector.size() && 16 + k < output.size(); ++k) output[16 + k] = sector[k];
      return {true, 0, static_cast<uint32_t>(output.size())};
    }

    FakeSmartDevice& owner_;
    std::string path_;
    FakeSmartDrive& drive_;
  };
};

// ---- the real captures and attribute tables of tests/data/smart ----

#ifdef ORV_TEST_DATA
inline std::string SmartDataFile(const std::string& name) {
  std::ifstream in(std::string(ORV_TEST_DATA) + "/smart/" + name, std::ios::binary);
  std::ostringstream all;
  all << in.rdbuf();
  return all.str();
}
#endif

// One row of tables.tsv (real attribute tables; see tests/data/smart/README.md).
struct RealAttrRow {
  int table = 0;
  std::string model;
  int id = 0;
  uint16_t flags = 0;
  int value = 0, worst = 0;
  int thresh = -1;             // -1: the source has none
  std::string whenFailed;      // "-", "FAILING_NOW", "In_the_past"
  int64_t rawInt = -1;         // -1: not given
  std::vector<uint8_t> rawBytes;  // empty: not given
  bool thresholdAligned = true;   // the threshold entry at the same position has this id
};

#ifdef ORV_TEST_DATA
inline std::vector<RealAttrRow> RealAttrTables() {
  std::vector<RealAttrRow> rows;
  std::istringstream in(SmartDataFile("tables.tsv"));
  std::string line;
  while (std::getline(in, line)) {
    if (line.empty() || line[0] == '#') continue;
    std::vector<std::string> f;
    std::string cell;
    std::istringstream cells(line);
    while (std::getline(cells, cell, '\t')) f.push_back(cell);
    if (f.size() < 11) continue;
    RealAttrRow r;
    r.table = std::stoi(f[0]);
    r.model = f[1];
    r.id = std::stoi(f[2]);
    r.flags = static_cast<uint16_t>(std::stoul(f[3], nullptr, 16));
    r.value = std::stoi(f[4]);
    r.worst = std::stoi(f[5]);
    if (f[6] != "-") r.thresh = std::stoi(f[6]);
    r.whenFailed = f[7];
    if (f[8] != "-") r.rawInt = std::stoll(f[8]);
    if (f[9] != "-") {
      std::istringstream bytes(f[9]);
      std::string b;
      while (bytes >> b) r.rawBytes.push_back(static_cast<uint8_t>(std::stoul(b, nullptr, 16)));
    }
    r.thresholdAligned = f[10] == "-";
    rows.push_back(r);
  }
  return rows;
}
#endif

}  // namespace orv::test
