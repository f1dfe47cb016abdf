// ReadSmartData over a scripted device: the exact command blocks, the drive-position loop and the
// error texts (tests/data/cases/disk_smart_failures.txt); the parsing of the sectors is seen
// whole in the golden readings of the real captures.
#include <gtest/gtest.h>

#include "diskhealth/smart_read.h"
#include "fakes/case_table.h"
#include "fakes/fake_platform.h"
#include "fakes/fake_smart_device.h"

namespace orv {
namespace {

using test::FakeSmartDevice;

std::string OpenText(const test::FakeOpenCall& o) {
  return o.path + " " + std::to_string(o.access) + " " + std::to_string(o.shareMode) + " " + std::to_string(o.disposition);
}

const std::vector<test::FakeAttr> kAttrs = {
    {1, 0x000B, 100, 100, 0, 62}, {5, 0x0033, 100, 100, 3, 5}, {194, 0x0022, 36, 45, 0x2D00140024ULL, 0}};

using test::ReadDrive;

TEST(SmartCommands, PositionZeroFailsAndPositionOneRunsWithTheExactBlocks) {
  FakeSmartDevice dev;
  auto& drive = dev.PhysicalDrive(3);
  drive.map = 0x03;
  drive.positions[0] = test::DrivePosition("ZERO", "S0", kAttrs);
  drive.positions[0].identifyCmd.fail = true;
  drive.positions[1] = test::DrivePosition("ONE", "S1", kAttrs);
  const auto [ok, r, error] = ReadDrive(dev, kPlatformNT, 3);
  ASSERT_TRUE(ok);
  EXPECT_EQ(std::to_string(r.DriveNum) + "|" + r.ModelNumber + "|" + r.SerialNumber + "|" + r.FirmwareRev, "1|ONE|S1|FW01");
  EXPECT_EQ(r.Capacity, 234441648LL * 512);
  EXPECT_EQ(error, "Identify Command Failed on Drive: Error from IDE controller bIDEStatus=0004 : message 1117");
  // A query handle without access first, then the ATA path's own read/write handle.
  ASSERT_EQ(dev.opens.size(), 2u);
  EXPECT_EQ(dev.opens[0].access, kNoAccess);
  EXPECT_EQ(OpenText(dev.opens[1]), "\\\\.\\PhysicalDrive3 3221225472 3 3");
  const std::vector<test::Case> expected = test::LoadCases("disk_smart_commands.txt");
  ASSERT_EQ(dev.calls.size(), expected.size());
  for (size_t k = 0; k < expected.size(); ++k) {
    const test::Case& c = expected[k];
    std::string block = c[1].empty() ? "" : std::string(32, '\0');
    for (size_t at = 0; at < c[1].size(); at += 3) block[at / 3] = static_cast<char>(std::stoi(c[1].substr(at, 2), nullptr, 16));
    EXPECT_EQ(std::tuple(dev.calls[k].code, dev.calls[k].input, dev.calls[k].outputBefore.size()),
              std::tuple(c.Int(0), block, c.Int(2))) << c.where;
  }
}

TEST(SmartCommands, FailuresGiveTheirExactTexts) {
  for (const test::Case& c : test::LoadCases("disk_smart_failures.txt")) {
    FakeSmartDevice dev;
    const auto platformId = static_cast<uint32_t>(c.Int(0));
    if (platformId != kPlatformWin9x) {
      test::FakeSmartDrive& d = dev.PhysicalDrive(0);
      for (int p : {0, 1}) d.positions[p] = test::DrivePosition("M", "S", kAttrs);
      std::tie(d.openError, d.versionFails, d.map) = std::tuple(c.Int(1), c.Int(2) != 0, c.Int(3));
      if (c[4] != "-") {
        test::FakeSmartPosition& p = d.positions[std::stoi(c[4])];
        const std::string command = c[4].substr(2);
        test::FakeFailure& f = command == "enable" ? p.enable : command == "identify" ? p.identifyCmd
                               : command == "data"  ? p.readData : p.readThresholds;
        f = {true, static_cast<uint32_t>(c.Int(5)), static_cast<uint8_t>(c.Int(6)), static_cast<uint8_t>(c.Int(7))};
      }
    }
    const auto [ok, r, error] = ReadDrive(dev, platformId, 0);
    EXPECT_EQ(std::tuple(ok, r.DriveNum, r.AttrCount, error), std::tuple(c.Int(8) != 0, c.Int(9), c.Int(10), c[11]))
        << c.where;
  }
  test::FakePlatform fake;  // a platform without a S.M.A.R.T. device
  TSmartResult r;
  std::string error;
  EXPECT_EQ(ReadSmartDrive(fake.platform, 0, r, error), DriveState::Absent);
  EXPECT_EQ(error, "Unable to open physical drive: The request is not supported.");
}

}  // namespace
}  // namespace orv
