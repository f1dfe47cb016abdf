// ReadSmartData over a scripted device: the exact command blocks, the drive-position loop, the
// error texts, and the parsing of identify and attribute sectors.
#include <gtest/gtest.h>

#include <initializer_list>
#include <string>

#include "diskhealth/smart_read.h"
#include "fakes/fake_platform.h"
#include "fakes/fake_smart_device.h"

namespace orv {
namespace {

using test::FakeAttr;
using test::FakeSmartDevice;
using test::FakeSmartPosition;

// A 32-byte command block: the given leading bytes, then zeros.
std::string Block(std::initializer_list<int> bytes) {
  std::string b(32, '\0');
  size_t k = 0;
  for (int v : bytes) b[k++] = static_cast<char>(v);
  return b;
}

const std::vector<FakeAttr> kAttrs = {
    {1, 0x000B, 100, 100, 0, 62},
    {5, 0x0033, 100, 100, 3, 5},
    {194, 0x0022, 36, 45, 0x2D00140024ULL, 0},
};

struct Read {
  bool ok;
  TSmartResult r;
  std::string error;
};

Read ReadWith(FakeSmartDevice& dev, int drive = 0, uint32_t platformId = kPlatformNT) {
  Read out;
  out.ok = ReadSmartData(dev, platformId, drive, out.r, out.error);
  EXPECT_EQ(dev.liveHandles, 0) << "the device handle must be closed before returning";
  return out;
}

TEST(SmartCommands, PositionsZeroAndOneGetTheExactBlocksAndBuffers) {
  FakeSmartDevice dev;
  auto& drive = dev.PhysicalDrive(3);
  drive.map = 0x03;
  drive.positions[0] = test::DrivePosition("ZERO", "S0", kAttrs);
  drive.positions[0].identifyCmd.fail = true;  // position 0 fails, so position 1 runs in full
  drive.positions[1] = test::DrivePosition("ONE", "S1", kAttrs);

  Read res = ReadWith(dev, 3);
  ASSERT_TRUE(res.ok);
  EXPECT_EQ(res.r.DriveNum, 1);
  EXPECT_EQ(res.r.ModelNumber, "ONE");

  // The query handle without access rights comes first; the ATA commands go through their own.
  ASSERT_EQ(dev.opens.size(), 2u);
  EXPECT_EQ(dev.opens[0].access, 0u);
  const auto opens = dev.AtaOpens();
  ASSERT_EQ(opens.size(), 1u);
  EXPECT_EQ(opens[0].path, "\\\\.\\PhysicalDrive3");
  EXPECT_EQ(opens[0].access, 0xC0000000u);
  EXPECT_EQ(opens[0].shareMode, 3u);
  EXPECT_EQ(opens[0].disposition, 3u);

  struct Expected {
    uint32_t code;
    std::string input;
    size_t outputSize;
    bool identifyBuffer;  // cBufferSize 512 written before the call
  };
  const std::vector<Expected> expected = {
      {0x00074080, "", 24, false},
      {0x0007C084, Block({0, 0, 0, 0, 0xD8, 1, 1, 0x4F, 0xC2, 0xA0, 0xB0, 0, 0}), 528, false},
      {0x0007C088, Block({0, 2, 0, 0, 0, 1, 1, 0, 0, 0xA0, 0xEC, 0, 0}), 529, true},
      {0x0007C084, Block({0, 0, 0, 0, 0xD8, 1, 1, 0x4F, 0xC2, 0xB0, 0xB0, 0, 1}), 528, false},
      {0x0007C088, Block({0, 2, 0, 0, 0, 1, 1, 0, 0, 0xB0, 0xEC, 0, 1}), 529, true},
      {0x0007C088, Block({0, 2, 0, 0, 0xD0, 1, 1, 0x4F, 0xC2, 0xB0, 0xB0, 0, 1}), 528, false},
      {0x0007C088, Block({0, 2, 0, 0, 0xD1, 1, 1, 0x4F, 0xC2, 0xB0, 0xB0, 0, 1}), 528, false},
  };
  const auto calls = dev.AtaCalls();
  ASSERT_EQ(calls.size(), expected.size());
  for (size_t k = 0; k < expected.size(); ++k) {
    SCOPED_TRACE("call " + std::to_string(k));
    EXPECT_EQ(calls[k].code, expected[k].code);
    EXPECT_EQ(calls[k].input, expected[k].input);
    ASSERT_EQ(calls[k].outputBefore.size(), expected[k].outputSize);
    std::string before(expected[k].outputSize, '\0');
    if (expected[k].identifyBuffer) before[1] = 2;
    EXPECT_EQ(calls[k].outputBefore, before) << "reply buffers are zero-filled before each command";
  }
  // Position 0's failure is the last failure met, although position 1 was read.
  EXPECT_EQ(res.error, "Identify Command Failed on Drive: Error from IDE controller bIDEStatus=0004 : message 1117");
}

TEST(SmartCommands, AtapiPositionGetsIdentifyPacketAndNoEnable) {
  FakeSmartDevice dev;
  auto& drive = dev.PhysicalDrive(0);
  drive.map = 0x11;  // device at position 0, and it is ATAPI
  drive.positions[0] = test::DrivePosition("CDROM", "C1", kAttrs);
  Read res = ReadWith(dev);
  EXPECT_TRUE(res.ok);
  const auto calls = dev.AtaCalls();
  ASSERT_EQ(calls.size(), 4u);
  EXPECT_EQ(calls[1].input, Block({0, 2, 0, 0, 0, 1, 1, 0, 0, 0xA0, 0xA1, 0, 0}));
  for (const auto& c : calls) EXPECT_NE(c.code, kSmartSendDriveCommand);
}

TEST(SmartCommands, DeviceMapDecidesWhichPositionsAreTried) {
  struct Case {
    uint8_t map;
    int positionRead;  // -1: none
  };
  for (const Case& c : {Case{0x00, 0}, Case{0x01, 0}, Case{0x04, 2}, Case{0x08, 3}, Case{0x0C, 2}}) {
    SCOPED_TRACE(static_cast<int>(c.map));
    FakeSmartDevice dev;
    auto& drive = dev.PhysicalDrive(0);
    drive.map = c.map;
    for (int p = 0; p < 4; ++p) drive.positions[p] = test::DrivePosition("P" + std::to_string(p), "S", kAttrs);
    Read res = ReadWith(dev);
    EXPECT_TRUE(res.ok);
    EXPECT_EQ(res.error, "");
    EXPECT_EQ(res.r.DriveNum, c.positionRead);
    EXPECT_EQ(res.r.ModelNumber, "P" + std::to_string(c.positionRead));
    EXPECT_EQ(res.r.AttrCount, 3);
    // Only the first position that succeeds is read.
    EXPECT_EQ(dev.AtaCalls().size(), 5u);
  }
}

TEST(SmartCommands, OnlyAtapiBitsSkipEveryPositionAndSucceedEmpty) {
  FakeSmartDevice dev;
  dev.PhysicalDrive(0).map = 0xF0;
  Read res = ReadWith(dev);
  EXPECT_TRUE(res.ok);
  EXPECT_EQ(res.error, "");
  EXPECT_EQ(res.r.DriveNum, -1);
  EXPECT_EQ(res.r.AttrCount, 0);
  EXPECT_EQ(dev.AtaCalls().size(), 1u);  // the version query only
}

TEST(SmartCommands, NineXFamilyOpensTheVxdAndIgnoresTheDriveNumber) {
  FakeSmartDevice dev;
  auto& vxd = dev.devices["\\\\.\\SMARTVSD"];
  vxd.positions[0] = test::DrivePosition("VXD", "S", kAttrs);
  Read res = ReadWith(dev, 7, kPlatformWin9x);
  EXPECT_TRUE(res.ok);
  EXPECT_EQ(res.r.ModelNumber, "VXD");
  ASSERT_EQ(dev.opens.size(), 1u);
  EXPECT_EQ(dev.opens[0].path, "\\\\.\\SMARTVSD");
  EXPECT_EQ(dev.opens[0].access, 0u);
  EXPECT_EQ(dev.opens[0].shareMode, 0u);
  EXPECT_EQ(dev.opens[0].disposition, 1u);
}

// Each failure with its exact text, the return value and what the record keeps.
struct FailureCase {
  const char* name;
  void (*arrange)(FakeSmartDevice&);
  uint32_t platformId;
  bool ok;
  const char* error;
  int driveNum;
  int attrCount;
};

void TwoPositions(FakeSmartDevice& d, uint8_t map = 0x01) {
  auto& drive = d.PhysicalDrive(0);
  drive.map = map;
  drive.positions[0] = test::DrivePosition("M0", "S0", kAttrs);
  drive.positions[1] = test::DrivePosition("M1", "S1", kAttrs);
}

const FailureCase kFailures[] = {
    {"no such drive", [](FakeSmartDevice&) {}, kPlatformNT, false,
     "Unable to open physical drive: message 2", -1, 0},
    {"open refused", [](FakeSmartDevice& d) { d.PhysicalDrive(0).openError = 5; }, kPlatformNT, false,
     "Unable to open physical drive: message 5", -1, 0},
    {"vxd missing", [](FakeSmartDevice&) {}, kPlatformWin9x, false, "Unable to open SMARTVSD: message 2", -1, 0},
    {"other family", [](FakeSmartDevice& d) { TwoPositions(d); }, 3, false,
     "Unable to open physical drive: message 50", -1, 0},
    {"version query unsupported (as under Wine)",
     [](FakeSmartDevice& d) {
       TwoPositions(d);
       d.PhysicalDrive(0).versionFails = true;
     },
     kPlatformNT, false, "DFP_GET_VERSION failed: message 50", -1, 0},
    {"enable refused is not fatal",
     [](FakeSmartDevice& d) {
       TwoPositions(d);
       d.PhysicalDrive(0).positions[0].enable = {true, 1, 0, 0};
     },
     kPlatformNT, true, "SMART Enable Command Failed, Drive: 0 : message 1", 0, 3},
    {"identify with driver error and IDE status",
     [](FakeSmartDevice& d) {
       TwoPositions(d);
       d.PhysicalDrive(0).positions[0].identifyCmd = {true, 1117, 5, 0x51};
     },
     kPlatformNT, false, "Identify Command Failed on Drive: Drive number not valid bIDEStatus=0051 : message 1117", -1,
     0},
    {"identify with the quote in the driver text",
     [](FakeSmartDevice& d) {
       TwoPositions(d);
       d.PhysicalDrive(0).positions[0].identifyCmd = {true, 87, 7, 0xAB};
     },
     kPlatformNT, false,
     "Identify Command Failed on Drive: Could not lock user\"s buffer bIDEStatus=00AB : message 87", -1, 0},
    {"identify with an undefined driver error",
     [](FakeSmartDevice& d) {
       TwoPositions(d);
       d.PhysicalDrive(0).positions[0].identifyCmd = {true, 31, 200, 0};
     },
     kPlatformNT, false, "Identify Command Failed on Drive: Driver error 200 bIDEStatus=0000 : message 31", -1, 0},
    {"attribute read keeps the identity",
     [](FakeSmartDevice& d) {
       TwoPositions(d);
       d.PhysicalDrive(0).positions[0].readData = {true, 1117, 1, 0x04};
     },
     kPlatformNT, false,
     "SMART Read Attr Command Failed, Drive: 0 : message 1117; DriverStatus: Error from IDE controller; "
     "bIDEStatus=0004",
     0, 0},
    {"threshold read on position 1",
     [](FakeSmartDevice& d) {
       TwoPositions(d, 0x02);
       d.PhysicalDrive(0).positions[1].readThresholds = {true, 1117, 10, 0x10};
     },
     kPlatformNT, false,
     "SMART Read Threshold Command Failed, Drive: 1 : message 1117; DriverStatus: Cmd issued to device not present "
     "although drive number is valid; bIDEStatus=0010",
     1, 0},
    {"first position fails, second reads: true with the first failure's text",
     [](FakeSmartDevice& d) {
       TwoPositions(d, 0x03);
       d.PhysicalDrive(0).positions[0].readData = {true, 1117, 1, 0x04};
     },
     kPlatformNT, true,
     "SMART Read Attr Command Failed, Drive: 0 : message 1117; DriverStatus: Error from IDE controller; "
     "bIDEStatus=0004",
     1, 3},
};

TEST(SmartCommands, FailuresGiveTheirExactTexts) {
  for (const FailureCase& c : kFailures) {
    SCOPED_TRACE(c.name);
    FakeSmartDevice dev;
    c.arrange(dev);
    Read res = ReadWith(dev, 0, c.platformId);
    EXPECT_EQ(res.ok, c.ok);
    EXPECT_EQ(res.error, c.error);
    EXPECT_EQ(res.r.DriveNum, c.driveNum);
    EXPECT_EQ(res.r.AttrCount, c.attrCount);
  }
}

TEST(SmartCommands, PlatformWithoutDeviceReportsAnOpenFailure) {
  test::FakePlatform fake;  // its platform has no S.M.A.R.T. device
  TSmartResult r;
  std::string error;
  EXPECT_FALSE(ReadSmartData(fake.platform, 0, r, error));
  EXPECT_EQ(error, "Unable to open physical drive: The request is not supported.");
}

// ---- parsing ----

Read ReadAttributes(const std::vector<FakeAttr>& attrs, uint32_t lba = 1000) {
  FakeSmartDevice dev;
  dev.PhysicalDrive(0).positions[0] = test::DrivePosition("M", "S", attrs, lba);
  return ReadWith(dev);
}

TEST(SmartParse, AZeroIdEndsTheTable) {
  Read res = ReadAttributes({{1, 0x000B, 100, 100, 0, 62}, {0, 0x0033, 1, 1, 0, 5}, {5, 0x0033, 1, 1, 0, 5}});
  EXPECT_EQ(res.r.AttrCount, 1);
  EXPECT_EQ(res.r.SmartFailTot, 0);
}

TEST(SmartParse, ThirtyEntriesFillThirtySlots) {
  std::vector<FakeAttr> attrs;
  for (int k = 0; k < 30; ++k) attrs.push_back({192 + k, 0x0032, 100, 100, 0, 0});
  Read res = ReadAttributes(attrs);
  EXPECT_EQ(res.r.AttrCount, 30);
  EXPECT_EQ(res.r.AttrId[29], 221);
  EXPECT_EQ(res.r.AttrName[29], "G-Sense Error Rate");
}

TEST(SmartParse, CountersComeFromRawValuesInRange) {
  struct Case {
    int id;
    uint64_t raw;
    int realloc, hours, cycles;
  };
  const Case cases[] = {
      {5, 0, 0, 0, 0},          {5, 17, 17, 0, 0},          {5, 2147483647, 0, 0, 0},
      {5, 2147483646, 2147483646, 0, 0},                     {5, 0xFFFFFFFFFFFFULL, 0, 0, 0},
      {9, 59, 0, 1, 0},         {9, 60, 0, 2, 0},           {9, 62382, 0, 1040, 0},
      {9, 0, 0, 0, 0},          {12, 745, 0, 0, 745},       {12, 4294967295ULL, 0, 0, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.id) + " raw " + std::to_string(c.raw));
    Read res = ReadAttributes({{c.id, 0x0032, 100, 100, c.raw, 0}});
    EXPECT_EQ(res.r.RawValue[0], static_cast<int64_t>(c.raw));
    EXPECT_EQ(res.r.ReallocSector, c.realloc);
    EXPECT_EQ(res.r.HoursRunning, c.hours);
    EXPECT_EQ(res.r.PowerCycles, c.cycles);
  }
}

TEST(SwapAtaString, SwapsPairsAndTrims) {
  struct Case {
    std::string in, out;
  };
  const Case cases[] = {
      {"BADC  ", "ABCD"},
      {std::string("BADC\0\0", 6), "ABCD"},
      {" A B", "A B"},           // pairs " A" and " B" become "A " and "B "
      {"BADCE", "ABCDE"},        // odd length: the last byte stays where it is
      {"BA ", "AB"},
      {"", ""},
      {"    ", ""},
      {std::string("\x01\x02\x41\x20", 4), "A"},
  };
  for (const Case& c : cases) EXPECT_EQ(SwapAtaString(c.in), c.out) << c.in;
}

}  // namespace
}  // namespace orv
