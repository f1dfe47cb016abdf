// ReadSmartData over a scripted device: the exact command blocks, the drive-position loop, the
// error texts, and the parsing of identify and attribute sectors.
#include <gtest/gtest.h>

#include "diskhealth/smart_read.h"
#include "fakes/fake_platform.h"
#include "fakes/fake_smart_device.h"

namespace orv {
namespace {

using test::FakeSmartDevice;

std::string Block(std::initializer_list<int> bytes) {  // a 32-byte command block
  std::string b(32, '\0');
  size_t k = 0;
  for (int v : bytes) b[k++] = static_cast<char>(v);
  return b;
}

const std::vector<test::FakeAttr> kAttrs = {
    {1, 0x000B, 100, 100, 0, 62}, {5, 0x0033, 100, 100, 3, 5}, {194, 0x0022, 36, 45, 0x2D00140024ULL, 0}};

struct Reading {
  bool ok;
  TSmartResult r;
  std::string error;
};
Reading Read(ISmartDevice& dev, uint32_t platformId, int drive) {
  Reading x;
  x.ok = ReadSmartData(dev, platformId, drive, x.r, x.error);
  return x;
}

TEST(SmartCommands, PositionZeroFailsAndPositionOneRunsWithTheExactBlocks) {
  FakeSmartDevice dev;
  auto& drive = dev.PhysicalDrive(3);
  drive.map = 0x03;
  drive.positions[0] = test::DrivePosition("ZERO", "S0", kAttrs);
  drive.positions[0].identifyCmd.fail = true;
  drive.positions[1] = test::DrivePosition("ONE", "S1", kAttrs);
  const auto [ok, r, error] = Read(dev, kPlatformNT, 3);
  ASSERT_TRUE(ok);
  EXPECT_EQ(std::to_string(r.DriveNum) + "|" + r.ModelNumber + "|" + r.SerialNumber + "|" + r.FirmwareRev, "1|ONE|S1|FW01");
  EXPECT_EQ(r.Capacity, 234441648LL * 512);
  // The last failure met, although position 1 was read.
  EXPECT_EQ(error, "Identify Command Failed on Drive: Error from IDE controller bIDEStatus=0004 : message 1117");
  // A query handle without access first, then the ATA path's own read/write handle.
  ASSERT_EQ(dev.opens.size(), 2u);
  EXPECT_EQ(dev.opens[0].access, kNoAccess);
  EXPECT_EQ(dev.opens[1].path + " " + std::to_string(dev.opens[1].access) + " " +
                std::to_string(dev.opens[1].shareMode) + " " + std::to_string(dev.opens[1].disposition),
            "\\\\.\\PhysicalDrive3 3221225472 3 3");
  const std::vector<std::pair<uint32_t, std::string>> expected = {
      {0x00074080, ""},
      {0x0007C084, Block({0, 0, 0, 0, 0xD8, 1, 1, 0x4F, 0xC2, 0xA0, 0xB0, 0, 0})},
      {0x0007C088, Block({0, 2, 0, 0, 0, 1, 1, 0, 0, 0xA0, 0xEC, 0, 0})},
      {0x0007C084, Block({0, 0, 0, 0, 0xD8, 1, 1, 0x4F, 0xC2, 0xB0, 0xB0, 0, 1})},
      {0x0007C088, Block({0, 2, 0, 0, 0, 1, 1, 0, 0, 0xB0, 0xEC, 0, 1})},
      {0x0007C088, Block({0, 2, 0, 0, 0xD0, 1, 1, 0x4F, 0xC2, 0xB0, 0xB0, 0, 1})},
      {0x0007C088, Block({0, 2, 0, 0, 0xD1, 1, 1, 0x4F, 0xC2, 0xB0, 0xB0, 0, 1})},
  };
  ASSERT_EQ(dev.calls.size(), expected.size());
  for (size_t k = 0; k < expected.size(); ++k) {
    SCOPED_TRACE(k);
    EXPECT_EQ(dev.calls[k].code, expected[k].first);
    EXPECT_EQ(dev.calls[k].input, expected[k].second);
    EXPECT_EQ(dev.calls[k].outputBefore.size(), k == 0 ? 24u : expected[k].second[10] == '\xEC' ? 529u : 528u);
  }
}

TEST(SmartCommands, DeviceMapDecidesThePositionsTried) {
  // map, the position read (-1: none, ATAPI bits only), the calls made
  for (const auto [map, position, calls] : {std::tuple{0x00, 0, 5u}, {0x04, 2, 5u}, {0x08, 3, 5u}, {0x0C, 2, 5u},
                                            {0xF0, -1, 1u}, {0x11, 0, 4u}}) {
    SCOPED_TRACE(map);
    FakeSmartDevice dev;
    auto& drive = dev.PhysicalDrive(0);
    drive.map = static_cast<uint8_t>(map);
    for (int p = 0; p < 4; ++p) drive.positions[p] = test::DrivePosition("P" + std::to_string(p), "S", kAttrs);
    const auto [ok, r, error] = Read(dev, kPlatformNT, 0);
    EXPECT_TRUE(ok && error.empty()) << error;
    EXPECT_EQ(r.DriveNum, position);
    EXPECT_EQ(r.AttrCount, position < 0 ? 0 : 3);
    ASSERT_EQ(dev.calls.size(), calls);
    if (map == 0x11) {  // an ATAPI device: IDENTIFY PACKET DEVICE and no SMART ENABLE
      EXPECT_EQ(dev.calls[1].input, Block({0, 2, 0, 0, 0, 1, 1, 0, 0, 0xA0, 0xA1, 0, 0}));
    }
  }
}

TEST(SmartCommands, NineXFamilyOpensTheVxdAndIgnoresTheDriveNumber) {
  FakeSmartDevice dev;
  dev.devices["\\\\.\\SMARTVSD"].positions[0] = test::DrivePosition("VXD", "S", kAttrs);
  EXPECT_EQ(Read(dev, kPlatformWin9x, 7).r.ModelNumber, "VXD");
  ASSERT_EQ(dev.opens.size(), 1u);
  EXPECT_EQ(dev.opens[0].path + " " + std::to_string(dev.opens[0].access) + " " + std::to_string(dev.opens[0].shareMode) +
                " " + std::to_string(dev.opens[0].disposition),
            "\\\\.\\SMARTVSD 0 0 1");
}

TEST(SmartCommands, FailuresGiveTheirExactTexts) {
  struct Case {
    void (*arrange)(test::FakeSmartDrive&);
    uint32_t platformId;
    bool ok;
    int driveNum, attrCount;
    const char* error;
  };
  using D = test::FakeSmartDrive;
  const Case cases[] = {
      {[](D& d) { d.openError = 5; }, kPlatformNT, false, -1, 0, "Unable to open physical drive: message 5"},
      {[](D&) {}, kPlatformWin9x, false, -1, 0, "Unable to open SMARTVSD: message 2"},
      {[](D&) {}, 3, false, -1, 0, "Unable to open physical drive: message 50"},
      {[](D& d) { d.versionFails = true; }, kPlatformNT, false, -1, 0, "DFP_GET_VERSION failed: message 50"},
      {[](D& d) { d.positions[0].enable = {true, 1, 0, 0}; }, kPlatformNT, true, 0, 3,
       "SMART Enable Command Failed, Drive: 0 : message 1"},
      {[](D& d) { d.positions[0].identifyCmd = {true, 87, 7, 0xAB}; }, kPlatformNT, false, -1, 0,
       "Identify Command Failed on Drive: Could not lock user\"s buffer bIDEStatus=00AB : message 87"},
      {[](D& d) { d.positions[0].identifyCmd = {true, 31, 11, 0}; }, kPlatformNT, false, -1, 0,
       "Identify Command Failed on Drive: Driver error 11 bIDEStatus=0000 : message 31"},
      {[](D& d) { d.positions[0].readData.fail = true; }, kPlatformNT, false, 0, 0,
       "SMART Read Attr Command Failed, Drive: 0 : message 1117; DriverStatus: Error from IDE controller; "
       "bIDEStatus=0004"},
      {[](D& d) { d.map = 0x02, d.positions[1].readThresholds = {true, 1117, 10, 0x10}; }, kPlatformNT, false, 1, 0,
       "SMART Read Threshold Command Failed, Drive: 1 : message 1117; DriverStatus: Cmd issued to device not present "
       "although drive number is valid; bIDEStatus=0010"},
      {[](D& d) { d.map = 0x03, d.positions[0].readData.fail = true; }, kPlatformNT, true, 1, 3,
       "SMART Read Attr Command Failed, Drive: 0 : message 1117; DriverStatus: Error from IDE controller; "
       "bIDEStatus=0004"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.error);
    FakeSmartDevice dev;
    if (c.platformId != kPlatformWin9x) {  // no SMARTVSD for the 9x case
      for (int p : {0, 1}) dev.PhysicalDrive(0).positions[p] = test::DrivePosition("M", "S", kAttrs);
      c.arrange(dev.PhysicalDrive(0));
    }
    const auto [ok, r, error] = Read(dev, c.platformId, 0);
    EXPECT_EQ(ok, c.ok);
    EXPECT_EQ(error, c.error);
    EXPECT_EQ(std::pair(r.DriveNum, r.AttrCount), std::pair(c.driveNum, c.attrCount));
  }
  test::FakePlatform fake;  // a platform without a S.M.A.R.T. device
  TSmartResult r;
  std::string error;
  EXPECT_EQ(ReadSmartDrive(fake.platform, 0, r, error), DriveState::Absent);
  EXPECT_EQ(error, "Unable to open physical drive: The request is not supported.");
}

TEST(SmartParse, TablesEndAtIdZeroAndCountersComeFromRawValuesInRange) {
  struct Case {
    int id;
    uint64_t raw;
    int realloc, hours, cycles;
  };
  const Case cases[] = {{5, 17, 17, 0, 0},  {5, 2147483647, 0, 0, 0}, {5, 2147483646, 2147483646, 0, 0},
                        {9, 59, 0, 1, 0},   {9, 60, 0, 2, 0},         {9, 0, 0, 0, 0},
                        {12, 745, 0, 0, 745}};
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.id) + " raw " + std::to_string(c.raw));
    FakeSmartDevice dev;
    dev.PhysicalDrive(0).positions[0] =
        test::DrivePosition("M", "S", {{c.id, 0x0032, 100, 100, c.raw, 0}, {0, 0, 1, 1, 0, 5}, {5, 0x33, 1, 1, 9, 5}});
    const TSmartResult r = Read(dev, kPlatformNT, 0).r;
    EXPECT_EQ(std::pair(r.AttrCount, r.RawValue[0]), std::pair(1, static_cast<int64_t>(c.raw)));
    EXPECT_EQ(std::tuple(r.ReallocSector, r.HoursRunning, r.PowerCycles), std::tuple(c.realloc, c.hours, c.cycles));
  }
}

TEST(SwapAtaString, SwapsPairsAndTrims) {
  const std::pair<std::string, std::string> cases[] = {
      {"BADC  ", "ABCD"}, {std::string("BADC\0\0", 6), "ABCD"}, {" A B", "A B"}, {"BADCE", "ABCDE"},
      {"    ", ""},       {std::string("\x01\x02\x41\x20", 4), "A"}};
  for (const auto& [in, out] : cases) EXPECT_EQ(SwapAtaString(in), out) << in;
}

}  // namespace
}  // namespace orv
