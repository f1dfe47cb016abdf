#pragma once
// A scripted S.M.A.R.T. device: drives by path, each with its device map and per-position sectors
// and failures. Every open and every I/O control call is recorded with its exact bytes. Also the
// real captures of tests/data/smart and the golden files of tests/data/disk for the disk tests.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <map>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "diskhealth/smart_read.h"
#include "diskhealth/smart_result.h"
#include "platform/smart_device.h"

#ifdef ORV_TEST_DATA
#include "fakes/test_data.h"
#endif

namespace orv::test {

struct FakeFailure {
  bool fail = false;
  uint32_t lastError = kErrorIoDevice;
  uint8_t driverError = 1, ideError = 0x04;
};

struct FakeSmartPosition {
  std::string identify = std::string(512, '\0'), data = std::string(512, '\0'), thresholds = std::string(512, '\0');
  FakeFailure enable, identifyCmd, readData, readThresholds;
};

struct FakeSmartDrive {
  uint32_t openError = 0;  // not 0: the open fails with this code
  bool versionFails = false;
  uint8_t map = 0x01;
  std::map<int, FakeSmartPosition> positions;
};

struct FakeOpenCall {
  std::string path;
  uint32_t access, shareMode, disposition;
};

struct FakeIoCall {
  uint32_t code;
  std::string input, outputBefore;  // outputBefore: the buffer as the caller handed it in
};

// One attribute: data entry and threshold entry at the same position.
struct FakeAttr {
  int id;
  uint16_t flags;
  int current, worst;
  uint64_t raw;
  int threshold;
};

inline void PutLe(std::string& s, size_t at, uint64_t v, int bytes) {
  for (int k = 0; k < bytes; ++k) s[at + k] = static_cast<char>((v >> (8 * k)) & 0xFF);
}

// 32-bit words as little-endian bytes, as the storage query structures lay them out.
inline std::string LeWords(std::initializer_list<uint32_t> words) {
  std::string b(4 * words.size(), '\0');
  size_t at = 0;
  for (uint32_t w : words) PutLe(b, (at += 4) - 4, w, 4);
  return b;
}

// A drive position: an ATA identify sector (its strings blank-padded with the bytes of each pair
// exchanged) and the attribute sectors.
inline FakeSmartPosition DrivePosition(const std::string& model, const std::string& serial,
                                       const std::vector<FakeAttr>& attrs, uint32_t lbaSectors = 234441648) {
  FakeSmartPosition p;
  for (auto [at, len, text] : {std::tuple<size_t, size_t, std::string>{20, 20, serial}, {46, 8, "FW01"}, {54, 40, model}}) {
    text.resize(len, ' ');
    for (size_t k = 0; k < len; k += 2) p.identify[at + k] = text[k + 1], p.identify[at + k + 1] = text[k];
  }
  PutLe(p.identify, 120, lbaSectors, 4);
  for (size_t i = 0; i < attrs.size() && i < 30; ++i) {
    const size_t at = 2 + 12 * i;
    const FakeAttr& a = attrs[i];
    p.data[at] = p.thresholds[at] = static_cast<char>(a.id);
    PutLe(p.data, at + 1, a.flags, 2);
    p.data[at + 3] = static_cast<char>(a.current);
    p.data[at + 4] = static_cast<char>(a.worst);
    PutLe(p.data, at + 5, a.raw, 6);
    p.thresholds[at + 1] = static_cast<char>(a.threshold);
  }
  return p;
}

class FakeSmartDevice final : public ISmartDevice {
 public:
  std::map<std::string, FakeSmartDrive> devices;
  std::vector<FakeOpenCall> opens;
  std::vector<FakeIoCall> calls;  // the calls of the ATA interface (the storage queries are refused)

  FakeSmartDrive& PhysicalDrive(int n) { return devices["\\\\.\\PhysicalDrive" + std::to_string(n)]; }

  SmartOpenResult Open(const std::string& path, uint32_t access, uint32_t shareMode, uint32_t disposition) override {
    opens.push_back({path, access, shareMode, disposition});
    auto it = devices.find(path);
    if (it == devices.end()) return {nullptr, kErrorFileNotFound};
    if (it->second.openError) return {nullptr, it->second.openError};
    return {std::make_unique<Handle>(*this, it->second), 0};
  }
  std::string ErrorText(uint32_t code) override { return "message " + std::to_string(code); }

 private:
  struct Handle final : ISmartHandle {
    Handle(FakeSmartDevice& owner, FakeSmartDrive& drive) : owner(owner), drive(drive) {}
    SmartIoStatus IoControl(uint32_t code, std::string_view input, std::string& output) override {
      if (code != kSmartGetVersion && code != kSmartSendDriveCommand && code != kSmartRcvDriveData)
        return {false, kErrorInvalidFunction, 0};  // a driver without the storage queries
      owner.calls.push_back({code, std::string(input), output});
      output.assign(output.size(), '\0');
      if (code == kSmartGetVersion) {
        output[3] = static_cast<char>(drive.map);
        return drive.versionFails ? SmartIoStatus{false, kErrorNotSupported, 0} : SmartIoStatus{true, 0, 24};
      }
      // A command block too short to name its drive, or of an unknown position: as a missing drive.
      auto it = input.size() > 12 ? drive.positions.find(static_cast<uint8_t>(input[12])) : drive.positions.end();
      if (it == drive.positions.end()) return Answer(output, {true, kErrorIoDevice, 5, 0}, "");
      FakeSmartPosition& p = it->second;
      if (code == kSmartSendDriveCommand) return Answer(output, p.enable, "");
      if (input[10] == '\xEC' || input[10] == '\xA1') return Answer(output, p.identifyCmd, p.identify);
      if (input[4] == '\xD0') return Answer(output, p.readData, p.data);
      if (input[4] == '\xD1') return Answer(output, p.readThresholds, p.thresholds);
      return Answer(output, {true, kErrorInvalidParameter, 3, 0}, "");  // a feature the drive does not know
    }
    // The sector goes after the 16-byte header as far as the caller's zeroed buffer reaches (never
    // grown); a failure leaves the driver and IDE error bytes instead.
    static SmartIoStatus Answer(std::string& output, const FakeFailure& f, const std::string& sector) {
      if (f.fail) {
        output[4] = static_cast<char>(f.driverError);
        output[5] = static_cast<char>(f.ideError);
        return {false, f.lastError, 0};
      }
      const size_t n = output.size() > 16 ? std::min(sector.size(), output.size() - 16) : 0;
      output.replace(std::min<size_t>(16, output.size()), n, sector, 0, n);
      return {true, 0, static_cast<uint32_t>(output.size())};
    }
    FakeSmartDevice& owner;
    FakeSmartDrive& drive;
  };
};

#ifdef ORV_TEST_DATA
// A file of tests/data/smart (real captures; see its README).
inline std::string SmartDataFile(const std::string& name) { return ReadTestData("smart/" + name); }

// Compares `text` with the golden file tests/data/disk/<name>. With ORV_DISK_GOLDEN set the file is
// written instead, to accept a changed output after reading its difference (see that README).
inline void ExpectGolden(const std::string& name, const std::string& text) {
  ExpectGoldenFile("disk/" + name, text, "ORV_DISK_GOLDEN");
}
#endif

// ReadSmartData's outcome returned whole.
struct SmartReading {
  bool ok;
  TSmartResult r;
  std::string error;
};
inline SmartReading ReadDrive(ISmartDevice& dev, uint32_t platformId, int drive) {
  SmartReading x;
  x.ok = ReadSmartData(dev, platformId, drive, x.r, x.error);
  return x;
}

// A reading as one text: the identity, the counters, then one line per slot (P: pre-failure,
// E: event count, R: error rate).
inline std::string ReadingText(const TSmartResult& r) {
  std::ostringstream out;
  out << "bus " << r.BusType << " | model " << r.ModelNumber << " | serial " << r.SerialNumber << " | firmware "
      << r.FirmwareRev << " | " << r.Capacity / 1048576 << " MB\ntemperature " << r.Temperature << " lowest "
      << r.TempLow << " highest " << r.TempWorst << " | hours " << r.HoursRunning << " | cycles " << r.PowerCycles
      << " | reallocated " << r.ReallocSector << " | failures " << r.SmartFailTot << " warnings " << r.SmartWarnTot
      << "\n";
  for (int i = 0; i < r.AttrCount; ++i)
    out << r.AttrId[i] << "\t" << r.AttrName[i] << "\t" << r.AttrStatus[i] << "\t" << r.Current[i] << "/" << r.Worst[i]
        << "/" << r.Threshold[i] << "\t" << r.RawValue[i] << "\t" << (r.PreFailure[i] ? "P" : "") << (r.EventCount[i] ? "E" : "")
        << (r.ErrorRate[i] ? "R" : "") << "\n";
  return out.str();
}

}  // namespace orv::test
