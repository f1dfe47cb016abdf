// The replay device over the real captures of tests/data/smart: ReadSmartData must read every
// captured drive as the drive reported itself (tables.tsv holds smartctl's reading of the same
// drives; the whole reading is the golden file tests/data/disk/reading_<capture>.txt), and the
// replay device must fail like a drive or a missing device where a capture lacks.
#include <gtest/gtest.h>

#include "diskhealth/replay_device.h"
#include "diskhealth/smart_read.h"
#include "fakes/fake_files.h"
#include "fakes/fake_smart_device.h"
#include "util/text.h"

namespace orv {
namespace {

using test::FakeFiles;

// Each capture and its table number in tables.tsv.
const std::pair<const char*, const char*> kCaptures[] = {
    {"trac1070_CT500MX500SSD1", "11"},     {"trac1070_SSDSC2KB019T7R", "12"}, {"cdi_WDC_WD30EFRX-68EUZN0", "34"},
    {"cdi_SanDisk_SSD_PLUS_120_GB", "35"}, {"cdi_Crucial_CT250MX200SSD1", "36"}};
const char* const kCt500 = kCaptures[0].first;
const char* const kWd30 = kCaptures[2].first;  // 3 TB: it needs the 48-bit sector count

class Replay : public ::testing::Test {
 public:
  void SetUp() override {
    files = FakeFiles();
    files.AddFolder("D:\\captures");
  }
  void Put(const std::string& prefix, int n, bool binary = false) {
    for (const char* kind : {"identify", "smart_read_data", "smart_read_thresholds"}) {
      const std::string text = test::SmartDataFile(prefix + "_" + kind + ".hexdump.txt");
      const std::string name = "D:\\captures\\drive" + std::to_string(n) + "_" + kind;
      files.Put(name + (binary ? ".bin" : ".hexdump.txt"), binary ? *ParseSectorDump(text) : text);
    }
  }
  test::SmartReading Read(int drive, uint32_t platformId = kPlatformNT) {
    ReplaySmartDevice device(files, "D:\\captures\\");
    return test::ReadDrive(device, platformId, drive);
  }
  FakeFiles files;
};

// smartctl's columns of a slot: id value worst, the flag bits the slot keeps, the threshold where
// the threshold sector has the slot's id at its position, and the raw value where the table has it.
std::string SmartctlColumns(const std::string& id, int current, int worst, int flags, const std::string& threshold,
                            const std::string& raw) {
  return id + " " + std::to_string(current) + " " + std::to_string(worst) + " flags " + std::to_string(flags & 0x19) +
         " thresh " + threshold + " raw " + raw;
}

TEST_F(Replay, EveryCaptureReadsAsSmartctlReadTheDrive) {
  std::vector<std::vector<std::string>> rows;  // table model id flag value worst thresh when raw bytes note
  for (const std::string& line : SplitLines(test::SmartDataFile("tables.tsv")))
    if (!line.empty() && line[0] != '#') rows.push_back(Split(line, '\t'));
  for (bool binary : {false, true}) {
    for (const auto& [prefix, table] : kCaptures) {
      SCOPED_TRACE(std::string(prefix) + (binary ? " .bin" : " hexdump"));
      SetUp();
      Put(prefix, 2, binary);
      const auto [ok, r, error] = Read(2);
      ASSERT_TRUE(ok && error.empty()) << error;
      test::ExpectGolden(std::string("reading_") + prefix + ".txt", test::ReadingText(r));
      std::string smartctl, read;
      int i = 0;
      for (const auto& row : rows) {
        if (row[0] != table) continue;
        const bool aligned = row[10] == "-" && row[6] != "-";
        smartctl += SmartctlColumns(row[2], std::stoi(row[4]), std::stoi(row[5]), std::stoi(row[3], nullptr, 16),
                                    aligned ? row[6] : "?", row[8]) + "\n";
        read += SmartctlColumns(std::to_string(r.AttrId[i]), r.Current[i], r.Worst[i],
                                r.PreFailure[i] * 1 + r.ErrorRate[i] * 8 + r.EventCount[i] * 16,
                                aligned ? std::to_string(r.Threshold[i]) : "?",
                                row[8] == "-" ? "-" : std::to_string(r.RawValue[i])) + "\n";
        ++i;
      }
      EXPECT_EQ(read, smartctl);
      EXPECT_EQ(i, r.AttrCount);
    }
  }
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
  const std::pair<void (*)(Replay&), std::string> cases[] = {
      {[](Replay& t) { t.files = FakeFiles(); }, "Unable to open physical drive: The system cannot find the path specified."},
      {[](Replay& t) { t.files.RemoveFile("D:\\captures\\drive0_smart_read_thresholds.hexdump.txt"); },
       "SMART Read Threshold Command Failed, Drive: 0 : " + io + "; DriverStatus: Error from IDE controller; bIDEStatus=0004"},
      {[](Replay& t) {
         t.Put(kCt500, 0, true);
         t.files.Put("D:\\captures\\drive0_identify.bin", std::string(100, 'x'));
       },
       "Identify Command Failed on Drive: Error from IDE controller bIDEStatus=0004 : " + io},
  };
  for (const auto& [arrange, text] : cases) {
    SetUp();
    Put(kCt500, 0);
    arrange(*this);
    EXPECT_EQ(std::pair(Read(0).ok, Read(0).error), std::pair(false, text));
  }
  EXPECT_EQ(Read(1).error, "Unable to open physical drive: The system cannot find the file specified.");
}

TEST_F(Replay, TheVxdAddressesCapturedDrivesByPosition) {
  Put(kCt500, 0);
  Put(kWd30, 1);
  files.RemoveFile("D:\\captures\\drive0_smart_read_data.hexdump.txt");
  const auto [ok, r, error] = Read(5, kPlatformWin9x);
  EXPECT_TRUE(ok);
  EXPECT_EQ(r.DriveNum, 1);
  EXPECT_EQ(r.ModelNumber, "WDC WD30EFRX-68EUZN0");
  EXPECT_TRUE(StartsWith(error, "SMART Read Attr Command Failed, Drive: 0 : ")) << error;
}

// The 48-bit count is words 100-102: word 103 (bytes 206-207, zero on every drive) never adds to it.
TEST_F(Replay, TheCapacityIgnoresWord103) {
  Put(kWd30, 0, true);
  std::string identify = files.Get("D:\\captures\\drive0_identify.bin");
  identify[206] = '\x01';
  files.Put("D:\\captures\\drive0_identify.bin", identify);
  EXPECT_EQ(Read(0).r.Capacity / 1048576, 2861588);
}

// The handle of a captured drive answers single calls as a driver does: a buffer too short for
// the sector gets what fits after the header; a command block just long enough to name its drive;
// a SMART command only with its cylinder signature; the disk size with the rest of the buffer
// zeroed; and an NVMe drive refuses the ATA interface.
TEST_F(Replay, TheHandleAnswersSingleCallsAsADriverDoes) {
  Put(kCt500, 0);
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
  const auto [shortCall, shortOutput] = call(0, kSmartRcvDriveData, identify, 36);
  const std::string sector = *ParseSectorDump(test::SmartDataFile(std::string(kCt500) + "_identify.hexdump.txt"));
  EXPECT_TRUE(shortCall.ok && shortCall.bytesReturned == 36) << shortCall.bytesReturned;
  EXPECT_EQ(shortOutput.substr(16), sector.substr(0, 20));
  EXPECT_EQ(shortOutput.c_str()[36], '\0');
  std::tie(readData[4], readData[7], readData[8], readData[10]) = std::tuple('\xD0', '\x4F', '\xC2', '\xB0');
  EXPECT_TRUE(call(0, kSmartRcvDriveData, identify).first.ok);
  EXPECT_TRUE(call(0, kSmartRcvDriveData, readData).first.ok);
  readData[7] = 0;
  EXPECT_FALSE(call(0, kSmartRcvDriveData, readData).first.ok);
  const auto [size, geometry] = call(0, kDiskGetDriveGeometryEx, "", 40);
  EXPECT_TRUE(size.ok);
  EXPECT_EQ(geometry.substr(0, 24) + geometry.substr(32), std::string(32, '\0'));
  EXPECT_EQ(call(1, kSmartRcvDriveData, identify).first.lastError, kErrorInvalidFunction);
  // The NVMe drive answers its identify controller query only: no other property, request or log.
  auto query = [](std::initializer_list<uint32_t> words) { return test::LeWords(words) + std::string(16 + 4096, '\0'); };
  EXPECT_TRUE(call(1, kStorageQueryProperty, query({50, 0, 3, 1, 1, 0, 40, 4096}), 8192).first.ok);
  for (const std::string& refused : {query({50, 0, 3, 1, 2, 0, 40, 512}), query({50, 0, 3, 2, 2, 0, 40, 512}),
                                     query({51, 0, 3, 1, 1, 0, 40, 4096})})
    EXPECT_FALSE(call(1, kStorageQueryProperty, refused, 8192).first.ok);
  EXPECT_FALSE(call(1, kStorageQueryProperty, query({50, 0, 3, 1, 1, 0, 40, 4096}), 100).first.ok);  // buffer too short
  files.Put("D:\\captures\\drive0_length.txt", "-5\r\n");  // no size: the disk size query fails
  EXPECT_FALSE(call(0, kDiskGetDriveGeometryEx, "", 40).first.ok);
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
