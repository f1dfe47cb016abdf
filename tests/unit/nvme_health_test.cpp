// NVMe drives over the real capture in a replay folder: identity, slots and the six rows; drivers
// that answer only one of the two queries or refuse a handle without access.
#include <gtest/gtest.h>

#include "diskhealth/health_items.h"
#include "diskhealth/nvme_read.h"
#include "diskhealth/replay_device.h"
#include "diskhealth/smart_read.h"
#include "fakes/case_table.h"
#include "fakes/fake_platform.h"
#include "fakes/fake_smart_device.h"
#include "util/text.h"

namespace orv {
namespace {

const char* const kHistory = "C:\\tools\\inv\\hdd\\PC01__WORKGROUP.csv";
const char* const kXpg = "cdi_XPG_GAMMIX_S50_Lite_nvme_";

// A driver over the replay device: it may answer only the device or only the adapter query,
// refuse a handle opened without access, and it refuses the length query on such a handle as
// Windows does (read access needed). The requests of the NVMe queries are kept.
class Driver final : public ISmartDevice {
 public:
  explicit Driver(IFiles& files) : replay_(files, "C:\\replay") {}
  bool device = true, adapter = true, wantsAccess = false;
  std::vector<uint32_t> opens;
  std::vector<std::string> requests;

  SmartOpenResult Open(const std::string& path, uint32_t access, uint32_t share, uint32_t how) override {
    opens.push_back(access);
    SmartOpenResult r = replay_.Open(path, access, share, how);
    if (r.handle) r.handle = std::make_unique<Handle>(*this, std::move(r.handle), access);
    return r;
  }
  std::string ErrorText(uint32_t code) override { return "message " + std::to_string(code); }

 private:
  struct Handle final : ISmartHandle {
    Handle(Driver& d, std::unique_ptr<ISmartHandle> inner, uint32_t access)
        : d(d), inner(std::move(inner)), access(access) {}
    SmartIoStatus IoControl(uint32_t code, std::string_view in, std::string& out) override {
      const uint8_t property = in.empty() ? 0 : static_cast<uint8_t>(in[0]);
      if (code == kStorageQueryProperty && property != storage::kDeviceProperty) {
        d.requests.emplace_back(in);
        if (!(property == storage::kDeviceProtocolSpecific ? d.device : d.adapter)) return {false, kErrorNotSupported, 0};
        if (d.wantsAccess && access == kNoAccess) return {false, kErrorAccessDenied, 0};
      }
      if (code == kDiskGetLengthInfo && access == kNoAccess) return {false, kErrorAccessDenied, 0};
      return inner->IoControl(code, in, out);
    }
    Driver& d;
    std::unique_ptr<ISmartHandle> inner;
    uint32_t access;
  };
  ReplaySmartDevice replay_;
};

class Nvme : public ::testing::Test {
 public:
  void SetUp() override {
    fake.files.AddFolder("C:\\replay");
    fake.platform.smart = &driver;
  }
  // The real capture as drive n (its health log left out when `log` is off), with a 1 TB length:
  // the capture holds no size and its TNVMCAP is 0.
  void PutCapture(int n, bool log = true) {
    const std::string drive = "C:\\replay\\drive" + std::to_string(n) + "_";
    fake.files.Put(drive + "nvme_identify_controller.hexdump.txt",
                   test::SmartDataFile(std::string(kXpg) + "identify_controller_first512.hexdump.txt"));
    if (log) fake.files.Put(drive + "nvme_smart_health_log02.hexdump.txt", test::SmartDataFile(std::string(kXpg) + "smart_health_log02.hexdump.txt"));
    fake.files.Put(drive + "length.txt", "1000204886016\r\n");
  }
  test::FakePlatform fake;
  Driver driver{fake.files};
};

// The slots, judged as an ATA drive's, and the history line and the six rows written from them.
TEST_F(Nvme, TheRealCaptureFillsTheSlotsAndTheRows) {
  PutCapture(0);
  TSmartResult r;
  std::string error;
  ASSERT_TRUE(ReadSmartData(fake.platform, 0, r, error));
  EXPECT_EQ(error, "");
  test::ExpectGolden("reading_cdi_XPG_GAMMIX_S50_Lite_nvme.txt", test::ReadingText(r));
  std::vector<std::string> rows;
  DiskHealthItems(fake.platform, kHistory, [&](const std::string& v) { rows.push_back(v); });
  EXPECT_EQ(rows, (std::vector<std::string>{"0/0", "", "OK/100/100/10/0", "", "", "-/43/43/0/43/43"}));
}

TEST_F(Nvme, DriversThatAnswerOneQueryOrWantMoreAccess) {
  PutCapture(0);
  for (const test::Case& c : test::LoadCases("disk_nvme_drivers.txt")) {
    SCOPED_TRACE(c.where);
    const bool device = c[0] == "1", adapter = c[1] == "1", wantsAccess = c[2] == "1";
    const std::string& text = c[4];
    std::vector<uint32_t> opens;
    for (const std::string& access : Split(c[3], ' ')) opens.push_back(std::stoul(access));
    std::tie(driver.device, driver.adapter, driver.wantsAccess) = std::tie(device, adapter, wantsAccess);
    driver.opens.clear();
    driver.requests.clear();
    TSmartResult r;
    std::string error;
    EXPECT_EQ(ReadSmartDrive(fake.platform, 0, r, error), text.empty() ? DriveState::Read : DriveState::Unreadable);
    EXPECT_EQ(std::pair(error, driver.opens), std::pair(text, opens));
    if (!text.empty()) continue;
    // The length from the length query on a read/write handle, from the geometry on the other.
    EXPECT_EQ(r.Capacity, 1000204886016);
    if (!device || !adapter || wantsAccess) continue;
    // The requests byte for byte: STORAGE_PROPERTY_QUERY (device property, standard query) and the
    // protocol data block (NVMe, identify controller / health log, offset 40 and length).
    EXPECT_EQ(driver.requests,
              (std::vector<std::string>{test::LeWords({50, 0, 3, 1, 1, 0, 40, 4096}) + std::string(16 + 4096, '\0'),
                                        test::LeWords({50, 0, 3, 2, 2, 0, 40, 512}) + std::string(16 + 512, '\0')}));
  }
}

}  // namespace
}  // namespace orv
