// The replay device over the real captures of tests/data/smart: ReadSmartData must read every
// captured drive as the drive reported itself (tables.tsv holds smartctl's reading of the same
// drives), and the replay device must fail like a drive or a missing device where a capture lacks.
#include <gtest/gtest.h>

#include "diskhealth/replay_device.h"
#include "diskhealth/smart_attributes.h"
#include "diskhealth/smart_read.h"
#include "fakes/fake_files.h"
#include "fakes/fake_smart_device.h"
#include "util/text.h"

namespace orv {
namespace {

using test::FakeFiles;

const char* const kKinds[] = {"identify", "smart_read_data", "smart_read_thresholds"};

struct Capture {
  const char* prefix;
  const char* table;  // its rows in tables.tsv
  const char* identity;
  int64_t capacityMb;
  std::vector<int> summary;  // temperature, lowest, highest, hours, reallocated, cycles
};

// The cdi report blanked the serial numbers with FFFF; the 3 TB WD30EFRX needs the 48-bit count.
const Capture kCaptures[] = {
    {"trac1070_CT500MX500SSD1", "11", "CT500MX500SSD1|1844E1D50A27|M3CR022", 476940, {51, 0, 54, 0, 0, 1}},
    {"trac1070_SSDSC2KB019T7R", "12", "SSDSC2KB019T7R|PHYS741401K01P9DGN|SCV1DL57", 1831420, {26, 0, 0, 12, 0, 35}},
    {"cdi_WDC_WD30EFRX-68EUZN0", "34", "WDC WD30EFRX-68EUZN0|????????????????????|80.00A80", 2861588,
     {40, 0, 0, 1040, 0, 745}},
    {"cdi_SanDisk_SSD_PLUS_120_GB", "35", "SanDisk SSD PLUS 120 GB|????????????????????|UE3000RL", 114480,
     {40, 0, 65, 485, 0, 164}},
    {"cdi_Crucial_CT250MX200SSD1", "36", "Crucial_CT250MX200SSD1|????????????????????|MU01", 238475,
     {42, 12, 55, 813, 1, 347}},
};

class Replay : public ::testing::Test {
 public:
  void SetUp() override {
    files = FakeFiles();
    files.AddFolder("D:\\captures");
  }
  void Put(const Capture& c, int n, bool binary = false) {
    for (const char* kind : kKinds) {
      const std::string text = test::SmartDataFile(std::string(c.prefix) + "_" + kind + ".hexdump.txt");
      const std::string name = "D:\\captures\\drive" + std::to_string(n) + "_" + kind;
      files.Put(name + (binary ? ".bin" : ".hexdump.txt"), binary ? *ParseSectorDump(text) : text);
    }
  }
  bool Read(int drive, TSmartResult& r, std::string& error, uint32_t platformId = kPlatformNT) {
    ReplaySmartDevice device(files, "D:\\captures\\");
    return ReadSmartData(device, platformId, drive, r, error);
  }
  FakeFiles files;
};

TEST_F(Replay, EveryCaptureReadsAsSmartctlReadTheDrive) {
  std::vector<std::vector<std::string>> rows;  // table model id flag value worst thresh when raw bytes note
  for (const std::string& line : SplitLines(test::SmartDataFile("tables.tsv")))
    if (!line.empty() && line[0] != '#') rows.push_back(Split(line, '\t'));
  for (bool binary : {false, true}) {
    for (const Capture& c : kCaptures) {
      SCOPED_TRACE(std::string(c.prefix) + (binary ? " .bin" : " hexdump"));
      SetUp();
      Put(c, 2, binary);
      TSmartResult r;
      std::string error;
      ASSERT_TRUE(Read(2, r, error) && error.empty()) << error;
      EXPECT_EQ(r.ModelNumber + "|" + r.SerialNumber + "|" + r.FirmwareRev, c.identity);
      EXPECT_EQ(r.Capacity / 1048576, c.capacityMb);
      EXPECT_EQ(std::vector<int>({r.Temperature, r.TempLow, r.TempWorst, r.HoursRunning, r.ReallocSector,
                                  r.PowerCycles}), c.summary);
      EXPECT_EQ(r.SmartFailTot + r.SmartWarnTot, 0);
      int i = 0;
      for (const auto& row : rows) {
        if (row[0] != c.table) continue;
        SCOPED_TRACE("id " + row[2]);
        ASSERT_LT(i, r.AttrCount);
        const int flags = std::stoi(row[3], nullptr, 16);
        EXPECT_EQ(std::to_string(r.AttrId[i]) + " " + std::to_string(r.Current[i]) + " " + std::to_string(r.Worst[i]),
                  row[2] + " " + row[4] + " " + row[5]);
        EXPECT_EQ(r.PreFailure[i] * 1 + r.ErrorRate[i] * 8 + r.EventCount[i] * 16, flags & 0x19);
        if (row[10] == "-" && row[6] != "-") { EXPECT_EQ(std::to_string(r.Threshold[i]), row[6]); }
        if (row[8] != "-") { EXPECT_EQ(std::to_string(r.RawValue[i]), row[8]); }
        ++i;
      }
      EXPECT_EQ(i, r.AttrCount);
    }
  }
}

// The threshold is the entry at the slot's own position even where the threshold sector lists other
// ids: the SanDisk's id 232 (pre-failure, threshold 5 at another position) reads 0 and is not judged.
TEST_F(Replay, ThresholdsAreTakenByPositionNotById) {
  Put(kCaptures[3], 0);
  TSmartResult r;
  std::string error;
  ASSERT_TRUE(Read(0, r, error));
  const int s173 = FindSlot(r, 173), s232 = FindSlot(r, 232);
  ASSERT_TRUE(s173 >= 0 && s232 >= 0);
  EXPECT_EQ(std::to_string(r.Threshold[s173]) + " " + std::to_string(r.Threshold[s232]) + r.AttrStatus[s232], "5 0-");
}

TEST(SectorDump, TakesEveryByteOnceAndRefusesGaps) {
  std::string full;
  for (int line = 31; line >= 0; --line) {  // lines in any order, a text column ignored
    char head[16];
    std::snprintf(head, sizeof head, "%03d-%03d:", line * 16, line * 16 + 15);
    full += head;
    for (int k = 0; k < 16; ++k) full += k % 2 ? " ab" : " CD";
    full += "  |................|\r\n";
  }
  std::string expected;
  for (int k = 0; k < 256; ++k) expected += "\xCD\xAB";
  EXPECT_EQ(ParseSectorDump("# by hand\n" + full), expected);
  EXPECT_FALSE(ParseSectorDump(full.substr(full.find("495:") + 4)).has_value());  // line 496-511 only
  EXPECT_FALSE(ParseSectorDump("not a dump at all\n").has_value());
}

TEST_F(Replay, MissingCapturesFailAsTheDeviceWould) {
  const std::string io = "The request could not be performed because of an I/O device error.";
  struct Case {
    void (*arrange)(Replay&);
    int drive;
    std::string error;
  };
  const Case cases[] = {
      {[](Replay& t) { t.Put(kCaptures[0], 0); }, 1,
       "Unable to open physical drive: The system cannot find the file specified."},
      {[](Replay& t) { t.files = FakeFiles(); }, 0,
       "Unable to open physical drive: The system cannot find the path specified."},
      {[](Replay& t) {
         t.Put(kCaptures[0], 0);
         t.files.RemoveFile("D:\\captures\\drive0_smart_read_thresholds.hexdump.txt");
       },
       0, "SMART Read Threshold Command Failed, Drive: 0 : " + io + "; DriverStatus: Error from IDE controller; bIDEStatus=0004"},
      {[](Replay& t) {
         t.Put(kCaptures[0], 0, true);
         t.files.Put("D:\\captures\\drive0_identify.bin", std::string(100, 'x'));
       },
       0, "Identify Command Failed on Drive: Error from IDE controller bIDEStatus=0004 : " + io},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.error);
    SetUp();
    c.arrange(*this);
    TSmartResult r;
    std::string error;
    EXPECT_FALSE(Read(c.drive, r, error));
    EXPECT_EQ(error, c.error);
  }
}

TEST_F(Replay, TheVxdAddressesCapturedDrivesByPosition) {
  Put(kCaptures[0], 0);
  Put(kCaptures[2], 1);
  files.RemoveFile("D:\\captures\\drive0_smart_read_data.hexdump.txt");
  TSmartResult r;
  std::string error;
  EXPECT_TRUE(Read(5, r, error, kPlatformWin9x));
  EXPECT_EQ(r.DriveNum, 1);
  EXPECT_EQ(r.ModelNumber, "WDC WD30EFRX-68EUZN0");
  EXPECT_TRUE(StartsWith(error, "SMART Read Attr Command Failed, Drive: 0 : ")) << error;
}

// The 48-bit count is words 100-102: word 103 (bytes 206-207, zero on every drive) never adds to it.
TEST_F(Replay, TheCapacityIgnoresWord103) {
  const Capture& wd30 = kCaptures[2];
  Put(wd30, 0, true);
  std::string identify = files.Get("D:\\captures\\drive0_identify.bin");
  identify[206] = '\x01';
  files.Put("D:\\captures\\drive0_identify.bin", identify);
  TSmartResult r;
  std::string error;
  ASSERT_TRUE(Read(0, r, error)) << error;
  EXPECT_EQ(r.Capacity / 1048576, wd30.capacityMb);
}

// A caller's buffer too short for the sector gets what fits after the header, and nothing past its end.
TEST_F(Replay, AShortBufferGetsWhatFits) {
  Put(kCaptures[0], 0);
  ReplaySmartDevice device(files, "D:\\captures\\");
  std::string identify(32, '\0'), output(36, 'x');
  identify[10] = '\xEC';
  const SmartIoStatus s =
      device.Open("\\\\.\\PhysicalDrive0", kGenericReadWrite, 3, 3).handle->IoControl(kSmartRcvDriveData, identify, output);
  const std::string sector = *ParseSectorDump(test::SmartDataFile("trac1070_CT500MX500SSD1_identify.hexdump.txt"));
  EXPECT_TRUE(s.ok && s.bytesReturned == 36) << s.bytesReturned;
  EXPECT_EQ(output.substr(16), sector.substr(0, 20));
  EXPECT_EQ(output.c_str()[36], '\0');
}

// The handle of a captured drive answers single calls as a driver does: a command block just long
// enough to name its drive, a SMART command only with its cylinder signature, the disk size with
// the rest of the buffer zeroed, and an NVMe drive refuses the ATA interface.
TEST_F(Replay, TheHandleAnswersSingleCallsAsADriverDoes) {
  Put(kCaptures[0], 0);
  files.Put("D:\\captures\\drive0_length.txt", "500107862016\r\n");
  files.Put("D:\\captures\\drive1_nvme_identify_controller.hexdump.txt",
            test::SmartDataFile("cdi_XPG_GAMMIX_S50_Lite_nvme_identify_controller_first512.hexdump.txt"));
  ReplaySmartDevice device(files, "D:\\captures\\");
  auto call = [&](int drive, uint32_t code, std::string input, size_t outputSize = 528) {
    std::string output(outputSize, 'x');
    const SmartIoStatus s = device.Open("\\\\.\\PhysicalDrive" + std::to_string(drive), kGenericReadWrite, 3, 3)
                                .handle->IoControl(code, input, output);
    return std::pair(s, output);
  };
  std::string identify(13, '\0'), readData(32, '\0');
  identify[10] = '\xEC';
  std::tie(readData[4], readData[7], readData[8], readData[10]) = std::tuple('\xD0', '\x4F', '\xC2', '\xB0');
  EXPECT_TRUE(call(0, kSmartRcvDriveData, identify).first.ok);
  EXPECT_TRUE(call(0, kSmartRcvDriveData, readData).first.ok);
  readData[7] = 0;
  EXPECT_FALSE(call(0, kSmartRcvDriveData, readData).first.ok);
  const auto [size, geometry] = call(0, kDiskGetDriveGeometryEx, "", 40);
  EXPECT_TRUE(size.ok);
  EXPECT_EQ(geometry.substr(0, 24) + geometry.substr(32), std::string(32, '\0'));
  EXPECT_EQ(call(1, kSmartRcvDriveData, identify).first.lastError, kErrorInvalidFunction);
}

class Messages final : public ISmartDevice {  // the real device as the replay device's message source
 public:
  SmartOpenResult Open(const std::string&, uint32_t, uint32_t, uint32_t) override { return {nullptr, 5}; }
  std::string ErrorText(uint32_t code) override { return "system text " + std::to_string(code); }
};

TEST(MakeSmartDevice, TheReplayFolderIsChosenOnlyWhenNamed) {
  FakeFiles files;
  files.Put("C:\\inv\\caps\\drive0_identify.bin", std::string(512, '\0'));
  auto* real = new Messages;
  EXPECT_EQ(MakeSmartDevice(files, " ", "C:\\inv\\", std::unique_ptr<ISmartDevice>(real)).get(), real);
  for (const char* folder : {"caps", "C:\\inv\\caps", "C:\\inv\\caps/"}) {
    auto replay = MakeSmartDevice(files, folder, "C:\\inv\\", std::make_unique<Messages>());
    EXPECT_TRUE(replay->Open("\\\\.\\PHYSICALDRIVE0", 0, 0, 0).handle) << folder;
    EXPECT_FALSE(replay->Open("\\\\.\\PhysicalDrive1", 0, 0, 0).handle);
    EXPECT_EQ(replay->ErrorText(2), "system text 2");
  }
}

}  // namespace
}  // namespace orv
