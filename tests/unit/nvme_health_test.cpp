// NVMe drives: the real capture through the replay device (identity, slots, the six rows, the
// history line), failing logs judged and announced as for an ATA drive, the storage queries as
// Windows drivers answer them, and every drive past an unreadable one.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/form1.h"
#include "diskhealth/disks_word.h"
#include "diskhealth/health_history.h"
#include "diskhealth/health_items.h"
#include "diskhealth/replay_device.h"
#include "diskhealth/smart_attributes.h"
#include "diskhealth/smart_read.h"
#include "fakes/fake_platform.h"
#include "fakes/fake_smart_device.h"
#include "util/text.h"

namespace orv {
namespace {

const char* const kPcFile = "C:\\tools\\inv\\PC01__WORKGROUP.csv";
const char* const kHistory = "C:\\tools\\inv\\hdd\\PC01__WORKGROUP.csv";
const int64_t kOneTb = 1000204886016;  // 1953525168 sectors: a 1 TB drive's length, not in the capture

std::string Capture(const std::string& kind) {
  return *ParseSectorDump(test::SmartDataFile("cdi_XPG_GAMMIX_S50_Lite_nvme_" + kind + ".hexdump.txt"));
}
const std::string kIdentify = "identify_controller_first512", kHealth = "smart_health_log02";

std::vector<std::string> Lines(test::FakePlatform& fake, const std::string& path) {
  return SplitLines(fake.codec.FromCp932(fake.files.Get(path)));
}

class Nvme : public ::testing::Test {
 public:
  void SetUp() override { fake.platform.smart = &dev; }
  // An NVMe drive as a driver shows it, answering both queries, with the real identify data.
  test::FakeSmartDrive& Drive(int n, std::string log = Capture(kHealth)) {
    auto& d = dev.PhysicalDrive(n);
    d.busType = storage::kBusNvme;
    d.nvme = test::FakeNvme{Capture(kIdentify), std::move(log)};
    d.nvme->length = kOneTb;
    return d;
  }
  test::FakePlatform fake;
  test::FakeSmartDevice dev;
};

TEST_F(Nvme, TheRealCaptureThroughTheReplayDevice) {
  fake.files.AddFolder("C:\\replay");
  for (const std::string& kind : {kIdentify, kHealth})
    fake.files.Put("C:\\replay\\drive0_nvme_" + kind.substr(0, kind.find("_first")) + ".hexdump.txt",
                   test::SmartDataFile("cdi_XPG_GAMMIX_S50_Lite_nvme_" + kind + ".hexdump.txt"));
  fake.files.Put("C:\\replay\\drive0_length.txt", std::to_string(kOneTb) + "\r\n");
  ReplaySmartDevice replay(fake.files, "C:\\replay");
  fake.platform.smart = &replay;

  TSmartResult r;
  std::string error;
  ASSERT_TRUE(ReadSmartData(fake.platform, 0, r, error));
  EXPECT_EQ(error, "");
  EXPECT_EQ(r.BusType, "NVMe");
  EXPECT_EQ(r.ModelNumber, "XPG GAMMIX S50 Lite");
  EXPECT_EQ(r.FirmwareRev, "82A7TBAA");
  EXPECT_EQ(r.SerialNumber, std::string(20, '?'));  // blanked with FF by the report
  EXPECT_EQ(r.Capacity / 1048576, 953869);           // TNVMCAP is 0: the disk's length
  EXPECT_EQ(std::vector<int>({r.Temperature, r.TempWorst, r.TempLow, r.HoursRunning, r.PowerCycles, r.ReallocSector}),
            std::vector<int>({43, 43, 43, 1054, 12, 0}));
  struct Slot {
    int id;
    const char* status;
    int current, worst, threshold;
    int64_t raw;
  };
  const Slot slots[] = {{5, "OK", 100, 100, 10, 0},     {9, "-", 100, 100, 0, 1054},
                        {12, "-", 100, 100, 0, 12},     {192, "-", 100, 100, 0, 2},
                        {194, "-", 43, 43, 0, 0x2B002B002BLL}, {198, "-", 100, 100, 0, 0},
                        {213, "OK", 100, 100, 10, 0},   {233, "-", 89, 89, 0, 11},
                        {241, "-", 100, 100, 0, 44115588}, {242, "-", 100, 100, 0, 4238934}};
  ASSERT_EQ(r.AttrCount, 10);
  for (int i = 0; i < 10; ++i) {
    SCOPED_TRACE(slots[i].id);
    EXPECT_EQ(r.AttrId[i], slots[i].id);
    EXPECT_EQ(r.AttrStatus[i], slots[i].status);
    EXPECT_EQ(std::vector<int>({r.Current[i], r.Worst[i], r.Threshold[i]}),
              std::vector<int>({slots[i].current, slots[i].worst, slots[i].threshold}));
    EXPECT_EQ(r.RawValue[i], slots[i].raw);
  }

  std::vector<std::string> rows;
  DiskHealthItems(fake.platform, kHistory, [&](const std::string& v) { rows.push_back(v); });
  EXPECT_EQ(rows, (std::vector<std::string>{"0/0", "", "OK/100/100/10/0", "", "", "-/43/43/0/43/43"}));

  bool written = false;
  AppendHealthHistory(fake.platform, kPcFile, written);
  const auto lines = Lines(fake, kHistory);
  ASSERT_EQ(lines.size(), 3u);
  const auto english = Split(lines[0], ','), japanese = Split(lines[1], ','), data = Split(lines[2], ',');
  ASSERT_EQ(english.size(), data.size());
  ASSERT_EQ(japanese.size(), data.size());
  EXPECT_EQ(std::vector<std::string>(data.begin() + 2, data.begin() + 14),
            (std::vector<std::string>{"0", "953869", "XPG GAMMIX S50 Lite", std::string(20, '?'), "43", "43", "43",
                                      "0", "0", "0", "12", "1054"}));
  // Groups of five from column 14: attributes 1, 7, 10 and 3 are empty groups.
  const std::vector<std::string> heads = {"", "*5: Reallocated Sector Count", "", "", "", "194: Temperature Celcius",
                                          "9: Power On Hours Count", "12: Power Cycle Count",
                                          "192: Emergency Retract Cycle", "198: Off-line Uncorrectable",
                                          "*213: Critical Warning", "233: Media Wearout Indicator",
                                          "241: Total Data Written", "242: Total Data Read"};
  ASSERT_EQ(data.size(), 14 + 5 * heads.size() + 1);
  for (size_t k = 0; k < heads.size(); ++k) EXPECT_EQ(english[14 + 5 * k], heads[k]);
  EXPECT_EQ(japanese[14 + 5 * 11], "残り寿命");
  EXPECT_EQ(std::vector<std::string>(data.begin() + 64, data.begin() + 69),
            (std::vector<std::string>{"OK", "100", "100", "10", "0"}));  // the critical warning
}

TEST_F(Nvme, FailingLogsAreJudgedAndAnnouncedAsForAnAtaDrive) {
  struct Case {
    const char* name;
    size_t byte;
    uint8_t value;
    int id;
    const char* status;
  };
  const Case cases[] = {
      {"spare below its threshold", 3, 5, 5, "故障"},
      {"spare in the warning band", 3, 40, 5, "警戒"},
      {"critical warning bit 2: reliability degraded", 0, 0x04, 213, "故障"},
      {"critical warning bit 5: persistent memory unreliable", 0, 0x20, 213, "故障"},
      {"critical warning bit 1 alone: temperature", 0, 0x02, 213, "警戒"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    test::FakePlatform p;
    test::FakeSmartDevice device;
    p.platform.smart = &device;
    auto& d = device.PhysicalDrive(0);
    d.busType = storage::kBusNvme;
    d.nvme = test::FakeNvme{Capture(kIdentify), Capture(kHealth)};
    bool written = false;
    AppendHealthHistory(p.platform, kPcFile, written);  // a healthy first save
    d.nvme->health[c.byte] = static_cast<char>(c.value);

    TSmartResult r;
    std::string error;
    ReadSmartData(p.platform, 0, r, error);
    const int slot = FindSlot(r, c.id);
    ASSERT_GE(slot, 0);
    EXPECT_EQ(r.AttrStatus[slot], c.status);
    const bool failure = std::string(c.status) == "故障";
    EXPECT_EQ(r.SmartFailTot + r.SmartWarnTot, 1);

    written = false;
    AppendHealthHistory(p.platform, kPcFile, written);
    const std::string event = std::string("PC01               2026/12/06 10:00:00  故障 ") +
                              (failure ? "1/0  警告 0/0" : "0/0  警告 1/0");
    if (failure) {
      ASSERT_EQ(p.dialogs.shown.size(), 1u);
      EXPECT_EQ(p.dialogs.shown[0].text,
                "【重要】ハードディスクが故障しました\n作業をやめ直ちにシステム担当者に連絡してください");
      EXPECT_EQ(Lines(p, "C:\\tools\\inv\\hdd\\_hddfail.txt"), std::vector<std::string>{event});
      EXPECT_EQ(Lines(p, "C:\\tools\\inv\\hdd\\_failed.txt"), std::vector<std::string>{event});
    } else {
      EXPECT_TRUE(p.dialogs.shown.empty());  // a first warning is not announced yet
    }
    EXPECT_EQ(Lines(p, "C:\\tools\\inv\\hdd\\_fail_plus_warning.txt"), std::vector<std::string>{event});
  }
}

TEST_F(Nvme, DriversThatAnswerOneQueryOrWantMoreAccess) {
  struct Case {
    const char* name;
    bool deviceQuery, adapterQuery, needsReadWrite, busKnown;
    std::vector<uint32_t> opens;  // access of each open, in order
    const char* error;            // "" when the drive is read
  };
  const Case cases[] = {
      {"device query only", true, false, false, true, {0}, ""},
      {"adapter query only", false, true, false, true, {0}, ""},
      {"a driver that refuses the query handle", true, true, true, true, {0, kGenericReadWrite}, ""},
      {"no bus type: the ATA path fails first", true, true, false, false, {0, kGenericReadWrite}, ""},
      {"neither query: the ATA path's text", false, false, false, true, {0, kGenericReadWrite},
       "DFP_GET_VERSION failed: message 1"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    dev = test::FakeSmartDevice{};
    auto& d = Drive(0);
    d.nvme->deviceQuery = c.deviceQuery;
    d.nvme->adapterQuery = c.adapterQuery;
    d.nvme->needsReadWrite = c.needsReadWrite;
    if (!c.busKnown) d.busType.reset();
    d.versionFails = true;  // an NVMe driver has no drive S.M.A.R.T. interface
    d.versionError = kErrorInvalidFunction;
    TSmartResult r;
    std::string error;
    EXPECT_EQ(ReadSmartDrive(fake.platform, 0, r, error), *c.error ? DriveState::Unreadable : DriveState::Read);
    EXPECT_EQ(error, c.error);
    std::vector<uint32_t> opens;
    for (const auto& o : dev.opens) opens.push_back(o.access);
    EXPECT_EQ(opens, c.opens);
    EXPECT_EQ(dev.liveHandles, 0);
    if (*c.error) continue;
    EXPECT_EQ(r.ModelNumber, "XPG GAMMIX S50 Lite");
    // Without read access the length comes from the geometry; with it, from the length query.
    EXPECT_EQ(r.Capacity, kOneTb);
  }

  // The two requests byte for byte: STORAGE_PROPERTY_QUERY with the protocol data block after it.
  auto le = [](std::initializer_list<uint32_t> words) {
    std::string b;
    for (uint32_t w : words)
      for (int k = 0; k < 4; ++k) b += static_cast<char>((w >> (8 * k)) & 0xFF);
    return b;
  };
  dev = test::FakeSmartDevice{};
  Drive(0);
  TSmartResult r;
  std::string error;
  ReadSmartData(fake.platform, 0, r, error);
  std::vector<std::string> requests;
  std::vector<size_t> sizes;
  for (const auto& call : dev.calls)
    if (call.code == kStorageQueryProperty && call.input.size() > 12) {
      requests.push_back(call.input.substr(0, 32));
      sizes.push_back(call.input.size());
    }
  EXPECT_EQ(requests, (std::vector<std::string>{le({50, 0, 3, 1, 1, 0, 40, 4096}), le({50, 0, 3, 2, 2, 0, 40, 512})}));
  EXPECT_EQ(sizes, (std::vector<size_t>{48 + 4096, 48 + 512}));
}

TEST_F(Nvme, AnUnreadableDriveZeroHidesNoDriveBehindIt) {
  dev.PhysicalDrive(0).busType = storage::kBusSata;  // there, but answering neither path
  dev.PhysicalDrive(0).versionFails = true;
  Drive(1);
  bool written = false;
  AppendHealthHistory(fake.platform, kPcFile, written);
  ASSERT_TRUE(written);
  EXPECT_EQ(Split(Lines(fake, kHistory)[2], ',')[4], "XPG GAMMIX S50 Lite");

  TForm1 form(fake.platform, {});
  form.HDD1Click();
  EXPECT_TRUE(fake.dialogs.shown.empty());
  EXPECT_EQ(form.StringGrid1.Cell(3, 1), "1");
  EXPECT_EQ(form.StringGrid1.Cell(3, 4), "953869");

  EXPECT_EQ(DisksWordValues(fake.platform, 3),
            (std::vector<std::string>{"0 SATA -", "1 NVMe XPG GAMMIX S50 Lite 953869MB OK 43℃", ""}));
  EXPECT_EQ(DisksWordValues(fake.platform, 1), std::vector<std::string>{"0 SATA -"});
  EXPECT_TRUE(DisksWordValues(fake.platform, -2).empty());
}

}  // namespace
}  // namespace orv
