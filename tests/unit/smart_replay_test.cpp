// The replay device over the real captures of tests/data/smart: ReadSmartData must read every
// captured drive as the drive reported itself (the whole reading is the golden file
// tests/data/disk/reading_<capture>.txt), and the replay device must fail like a drive or a
// missing device where a capture lacks.
#include <gtest/gtest.h>

#include "diskhealth/replay_device.h"
#include "diskhealth/smart_read.h"
#include "fakes/fake_files.h"
#include "fakes/fake_smart_device.h"
#include "util/text.h"

namespace orv {
namespace {

using test::FakeFiles;

// The real captures; the WD drive has 3 TB, so it needs the 48-bit sector count.
const char* const kCaptures[] = {"trac1070_CT500MX500SSD1", "trac1070_SSDSC2KB019T7R", "cdi_WDC_WD30EFRX-68EUZN0",
                                 "cdi_SanDisk_SSD_PLUS_120_GB", "cdi_Crucial_CT250MX200SSD1"};
const char* const kCt500 = kCaptures[0];
const char* const kWd30 = kCaptures[2];

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

// The whole reading of every capture (the golden files were checked against smartctl's reading of
// the same drives, tests/data/smart/tables.tsv); .bin files are read in the capacity case.
TEST_F(Replay, EveryCaptureReadsAsTheDriveReportedItself) {
  for (const char* prefix : kCaptures) {
    SCOPED_TRACE(prefix);
    SetUp();
    Put(prefix, 2);
    const auto [ok, r, error] = Read(2);
    ASSERT_TRUE(ok && error.empty()) << error;
    test::ExpectGolden(std::string("reading_") + prefix + ".txt", test::ReadingText(r));
  }
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
  identify[12] = 1;  // a physical drive's handle reads its own drive, whatever drive the block names
  const auto [shortCall, shortOutput] = call(0, kSmartRcvDriveData, identify, 36);
  const std::string sector = *ParseSectorDump(test::SmartDataFile(std::string(kCt500) + "_identify.hexdump.txt"));
  EXPECT_TRUE(shortCall.ok && shortCall.bytesReturned == 36) << shortCall.bytesReturned;
  EXPECT_EQ(shortOutput.substr(16), sector.substr(0, 20));
  EXPECT_EQ(shortOutput.c_str()[36], '\0');
  std::tie(readData[4], readData[7], readData[8], readData[10]) = std::tuple('\xD0', '\x4F', '\xC2', '\xB0');
  EXPECT_TRUE(call(0, kSmartRcvDriveData, identify).first.ok);
  EXPECT_TRUE(call(0, kSmartRcvDriveData, readData).first.ok);
  std::string enable = readData;
  enable[4] = '\xD8';  // SMART ENABLE OPERATIONS
  EXPECT_TRUE(call(0, kSmartSendDriveCommand, enable).first.ok);
  readData[7] = enable[7] = 0;
  EXPECT_FALSE(call(0, kSmartRcvDriveData, readData).first.ok);
  EXPECT_FALSE(call(0, kSmartSendDriveCommand, enable).first.ok);
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

}  // namespace
}  // namespace orv
