// The replay device over the real captures of tests/data/smart: ReadSmartData must read every
// captured drive as the drive reported itself, and the replay device must behave like a drive
// (aborting what it cannot answer) and like a missing device where there is no capture.
#include <gtest/gtest.h>

#include <map>
#include <sstream>
#include <string>

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

// The bytes of a hexdump capture, read independently of the device's parser.
std::string HexdumpBytes(const std::string& text) {
  std::string bytes;
  std::istringstream in(text);
  std::string line;
  while (std::getline(in, line)) {
    std::istringstream tokens(line.substr(line.find(':') + 1));
    std::string t;
    while (tokens >> t) bytes += static_cast<char>(std::stoul(t, nullptr, 16));
  }
  return bytes;
}

struct Capture {
  const char* prefix;  // file name prefix in tests/data/smart
  int table;           // its rows in tables.tsv
  const char* model;
  const char* serial;
  const char* firmware;
  int64_t capacity;
  int temperature, tempLow, tempWorst, hours, realloc, cycles;
  std::map<int, std::string> judged;  // slots with a judgement other than "-"
};

// Identity as the drives report it: the capacity from the 48-bit sector count (words 60-61 hold
// 0x0FFFFFFF on drives above 128 GB; the 3 TB WD30EFRX reads 2861588 MB); the report the cdi
// captures come from blanked the serial numbers with FFFF.
const Capture kCaptures[] = {
    {"trac1070_CT500MX500SSD1", 11, "CT500MX500SSD1", "1844E1D50A27", "M3CR022", 500107862016LL, 51, 0, 54, 0, 0, 1,
     {}},
    {"trac1070_SSDSC2KB019T7R", 12, "SSDSC2KB019T7R", "PHYS741401K01P9DGN", "SCV1DL57", 1920383410176LL, 26, 0, 0, 12,
     0, 35, {{5, "OK"}, {170, "OK"}, {179, "OK"}, {201, "OK"}, {232, "OK"}}},
    {"cdi_WDC_WD30EFRX-68EUZN0", 34, "WDC WD30EFRX-68EUZN0", "????????????????????", "80.00A80", 3000592982016LL, 40,
     0, 0, 1040, 0, 745, {{1, "OK"}, {3, "OK"}, {5, "OK"}}},
    {"cdi_SanDisk_SSD_PLUS_120_GB", 35, "SanDisk SSD PLUS 120 GB", "????????????????????", "UE3000RL",
     120040980480LL, 40, 0, 65, 485, 0, 164, {}},
    {"cdi_Crucial_CT250MX200SSD1", 36, "Crucial_CT250MX200SSD1", "????????????????????", "MU01", 250059350016LL, 42,
     12, 55, 813, 1, 347, {}},
};

class Replay : public ::testing::Test {
 public:
  void SetUp() override { files.AddFolder("D:\\captures"); }

  // Puts a capture in the replay folder as drive `n`, in text or binary form.
  void Put(const Capture& c, int n, bool binary = false) {
    for (const char* kind : kKinds) {
      std::string text = test::SmartDataFile(std::string(c.prefix) + "_" + kind + ".hexdump.txt");
      ASSERT_FALSE(text.empty()) << c.prefix;
      std::string name = "D:\\captures\\drive" + std::to_string(n) + "_" + kind;
      if (binary)
        files.Put(name + ".bin", HexdumpBytes(text));
      else
        files.Put(name + ".hexdump.txt", text);
    }
  }

  bool Read(int drive, TSmartResult& r, std::string& error, uint32_t platformId = kPlatformNT) {
    ReplaySmartDevice device(files, "D:\\captures\\");
    return ReadSmartData(device, platformId, drive, r, error);
  }

  FakeFiles files;
};

TEST_F(Replay, EveryCaptureReadsAsTheDriveReportedIt) {
  const auto tables = test::RealAttrTables();
  for (bool binary : {false, true}) {
    for (const Capture& c : kCaptures) {
      SCOPED_TRACE(std::string(c.prefix) + (binary ? " (.bin)" : " (hexdump)"));
      files = FakeFiles();
      files.AddFolder("D:\\captures");
      Put(c, 2, binary);
      TSmartResult r;
      std::string error;
      ASSERT_TRUE(Read(2, r, error));
      EXPECT_EQ(error, "");
      EXPECT_EQ(r.DriveNum, 0);
      EXPECT_EQ(r.ModelNumber, c.model);
      EXPECT_EQ(r.SerialNumber, c.serial);
      EXPECT_EQ(r.FirmwareRev, c.firmware);
      EXPECT_EQ(r.Capacity, c.capacity);
      EXPECT_EQ(r.Temperature, c.temperature);
      EXPECT_EQ(r.TempLow, c.tempLow);
      EXPECT_EQ(r.TempWorst, c.tempWorst);
      EXPECT_EQ(r.HoursRunning, c.hours);
      EXPECT_EQ(r.ReallocSector, c.realloc);
      EXPECT_EQ(r.PowerCycles, c.cycles);
      EXPECT_EQ(r.SmartFailTot, 0);
      EXPECT_EQ(r.SmartWarnTot, 0);

      std::vector<test::RealAttrRow> rows;
      for (const auto& row : tables)
        if (row.table == c.table) rows.push_back(row);
      ASSERT_EQ(r.AttrCount, static_cast<int>(rows.size()));
      for (int i = 0; i < r.AttrCount; ++i) {
        const auto& row = rows[i];
        SCOPED_TRACE("slot " + std::to_string(i) + " id " + std::to_string(row.id));
        EXPECT_EQ(r.AttrId[i], row.id);
        EXPECT_EQ(r.AttrName[i], EnglishAttrNames(row.id));
        EXPECT_EQ(r.PreFailure[i], (row.flags & 0x01) != 0);
        EXPECT_EQ(r.ErrorRate[i], (row.flags & 0x08) != 0);
        EXPECT_EQ(r.EventCount[i], (row.flags & 0x10) != 0);
        EXPECT_EQ(r.Current[i], row.value);
        EXPECT_EQ(r.Worst[i], row.worst);
        if (row.thresholdAligned && row.thresh >= 0) {
          EXPECT_EQ(r.Threshold[i], row.thresh);
        }
        if (row.rawInt >= 0) {
          EXPECT_EQ(r.RawValue[i], row.rawInt);
        }
        auto judged = c.judged.find(row.id);
        EXPECT_EQ(r.AttrStatus[i], judged == c.judged.end() ? "-" : judged->second);
      }
    }
  }
}

// The threshold is the entry at the slot's own position even where the drive's threshold sector
// lists other ids there: the SanDisk's id 173 reads the 5 of id 232's entry, and its id 232
// (pre-failure, threshold 5 elsewhere in the sector) reads 0 and is not judged.
TEST_F(Replay, ThresholdsAreTakenByPositionNotById) {
  Put(kCaptures[3], 0);
  TSmartResult r;
  std::string error;
  ASSERT_TRUE(Read(0, r, error));
  std::map<int, int> threshold;
  std::map<int, std::string> status;
  for (int i = 0; i < r.AttrCount; ++i) {
    threshold[r.AttrId[i]] = r.Threshold[i];
    status[r.AttrId[i]] = r.AttrStatus[i];
  }
  EXPECT_EQ(threshold[173], 5);
  EXPECT_EQ(threshold[232], 0);
  EXPECT_EQ(status[232], "-");
  // Intel: id 242 sits where the threshold sector has ended.
  files = FakeFiles();
  files.AddFolder("D:\\captures");
  Put(kCaptures[1], 0);
  ASSERT_TRUE(Read(0, r, error));
  EXPECT_EQ(r.AttrId[27], 242);
  EXPECT_EQ(r.Threshold[27], 0);
}

TEST(SectorDump, AcceptsWhatADumpMayHoldAndRefusesGaps) {
  std::string full;
  for (int line = 0; line < 32; ++line) {
    char head[16];
    std::snprintf(head, sizeof head, "%03d-%03d:", line * 16, line * 16 + 15);
    full += head;
    for (int k = 0; k < 16; ++k) {
      char b[4];
      std::snprintf(b, sizeof b, " %02x", (line * 16 + k) & 0xFF);
      full += b;
    }
    full += "  |................|\r\n";  // a text column is ignored
  }
  auto sector = ParseSectorDump("# captured by hand\n" + full);
  ASSERT_TRUE(sector.has_value());
  for (int k = 0; k < 512; ++k) EXPECT_EQ(static_cast<uint8_t>((*sector)[k]), k & 0xFF);

  // The last line missing: not a sector.
  EXPECT_FALSE(ParseSectorDump(full.substr(0, full.rfind("496-511"))).has_value());
  EXPECT_FALSE(ParseSectorDump("").has_value());
  EXPECT_FALSE(ParseSectorDump("not a dump at all\n").has_value());
  // Upper-case digits and lines in another order are fine.
  std::string shuffled;
  for (int line = 31; line >= 0; --line) {
    char head[16];
    std::snprintf(head, sizeof head, "%03d-%03d:", line * 16, line * 16 + 15);
    shuffled += head;
    for (int k = 0; k < 16; ++k) shuffled += " AB";
    shuffled += "\n";
  }
  auto ab = ParseSectorDump(shuffled);
  ASSERT_TRUE(ab.has_value());
  EXPECT_EQ(*ab, std::string(512, '\xAB'));
}

TEST_F(Replay, MissingCapturesFailAsTheDeviceWould) {
  struct Case {
    const char* name;
    void (*arrange)(Replay&);
    int drive;
    bool ok;
    const char* error;
  };
  const Case cases[] = {
      {"no drive 1", [](Replay& t) { t.Put(kCaptures[0], 0); }, 1, false,
       "Unable to open physical drive: The system cannot find the file specified."},
      {"no folder",
       [](Replay& t) {
         t.files = FakeFiles();
       },
       0, false, "Unable to open physical drive: The system cannot find the path specified."},
      {"no thresholds",
       [](Replay& t) {
         t.Put(kCaptures[0], 0);
         t.files.RemoveFile("D:\\captures\\drive0_smart_read_thresholds.hexdump.txt");
       },
       0, false,
       "SMART Read Threshold Command Failed, Drive: 0 : The request could not be performed because of an I/O device "
       "error.; DriverStatus: Error from IDE controller; bIDEStatus=0004"},
      {"identify only",
       [](Replay& t) {
         t.files.Put("D:\\captures\\drive0_identify.txt",
                     test::SmartDataFile(std::string(kCaptures[0].prefix) + "_identify.hexdump.txt"));
       },
       0, false,
       "SMART Read Attr Command Failed, Drive: 0 : The request could not be performed because of an I/O device "
       "error.; DriverStatus: Error from IDE controller; bIDEStatus=0004"},
      {"a short binary identify",
       [](Replay& t) {
         t.Put(kCaptures[0], 0, true);
         t.files.Put("D:\\captures\\drive0_identify.bin", std::string(100, 'x'));
       },
       0, false,
       "Identify Command Failed on Drive: Error from IDE controller bIDEStatus=0004 : The request could not be "
       "performed because of an I/O device error."},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    files = FakeFiles();
    files.AddFolder("D:\\captures");
    c.arrange(*this);
    TSmartResult r;
    std::string error;
    EXPECT_EQ(Read(c.drive, r, error), c.ok);
    EXPECT_EQ(error, c.error);
  }
}

TEST_F(Replay, TheVxdAddressesCapturedDrivesByPosition) {
  Put(kCaptures[0], 0);
  Put(kCaptures[2], 1);
  files.RemoveFile("D:\\captures\\drive0_smart_read_data.hexdump.txt");
  TSmartResult r;
  std::string error;
  // The 9x path ignores the drive number; position 0 fails its attribute read, position 1 answers.
  EXPECT_TRUE(Read(5, r, error, kPlatformWin9x));
  EXPECT_EQ(r.DriveNum, 1);
  EXPECT_EQ(r.ModelNumber, "WDC WD30EFRX-68EUZN0");
  EXPECT_EQ(r.AttrCount, 17);
  EXPECT_TRUE(StartsWith(error, "SMART Read Attr Command Failed, Drive: 0 : ")) << error;
}

TEST(ReplayCommands, AnswersLikeAnAtaDisk) {
  FakeFiles files;
  files.Put("D:\\c\\drive0_identify.bin", std::string(512, 'I'));
  files.Put("D:\\c\\drive0_smart_read_data.bin", std::string(512, 'D'));
  ReplaySmartDevice device(files, "D:\\c");
  SmartOpenResult open = device.Open("\\\\.\\PHYSICALDRIVE0", kGenericReadWrite, kFileShareReadWrite, kOpenExisting);
  ASSERT_TRUE(open.handle);
  std::string version(24, '\x55');
  EXPECT_TRUE(open.handle->IoControl(kSmartGetVersion, {}, version).ok);
  EXPECT_EQ(static_cast<uint8_t>(version[3]), 0x01);  // one ATA device, not ATAPI

  auto command = [&](uint32_t code, uint8_t features, uint8_t cylLow, uint8_t command) {
    std::string in(32, '\0');
    in[4] = static_cast<char>(features);
    in[7] = static_cast<char>(cylLow);
    in[8] = static_cast<char>(0xC2);
    in[10] = static_cast<char>(command);
    std::string out(528, '\x77');
    SmartIoStatus s = open.handle->IoControl(code, in, out);
    return std::make_pair(s, out);
  };
  auto [enable, enableOut] = command(kSmartSendDriveCommand, 0xD8, 0x4F, 0xB0);
  EXPECT_TRUE(enable.ok);
  EXPECT_EQ(enableOut, std::string(528, '\0'));
  auto [data, dataOut] = command(kSmartRcvDriveData, 0xD0, 0x4F, 0xB0);
  EXPECT_TRUE(data.ok);
  EXPECT_EQ(dataOut.substr(0, 16), std::string("\x00\x02\x00\x00", 4) + std::string(12, '\0'));
  EXPECT_EQ(dataOut.substr(16), std::string(512, 'D'));
  // Without the SMART signature in the cylinder registers, the drive aborts.
  auto [unsigned_, unsignedOut] = command(kSmartRcvDriveData, 0xD0, 0x00, 0xB0);
  EXPECT_FALSE(unsigned_.ok);
  EXPECT_EQ(unsigned_.lastError, kErrorIoDevice);
  EXPECT_EQ(unsignedOut[4], 1);
  EXPECT_EQ(unsignedOut[5], 4);
  EXPECT_FALSE(command(kSmartRcvDriveData, 0, 0, 0xA1).first.ok);  // no packet device here
  EXPECT_FALSE(command(kSmartRcvDriveData, 0xD1, 0x4F, 0xB0).first.ok);  // no threshold capture
  EXPECT_EQ(open.handle->IoControl(0x00070000, {}, version).lastError, kErrorInvalidFunction);

  EXPECT_FALSE(device.Open("\\\\.\\PhysicalDrive1", 0, 0, 0).handle);
  EXPECT_FALSE(device.Open("\\\\.\\PhysicalDriveX", 0, 0, 0).handle);
  EXPECT_FALSE(device.Open("C:\\c\\drive0_identify.bin", 0, 0, 0).handle);
}

// A device that only supplies message texts, as the real one does for the replay device.
class Messages final : public ISmartDevice {
 public:
  SmartOpenResult Open(const std::string&, uint32_t, uint32_t, uint32_t) override { return {nullptr, 5}; }
  std::string ErrorText(uint32_t code) override { return "system text " + std::to_string(code); }
};

TEST(MakeSmartDevice, TheReplayFolderIsChosenOnlyWhenNamed) {
  FakeFiles files;
  files.Put("C:\\tools\\inv\\caps\\drive0_identify.bin", std::string(512, '\0'));
  auto* real = new Messages;
  auto chosen = MakeSmartDevice(files, "", "C:\\tools\\inv\\", std::unique_ptr<ISmartDevice>(real));
  EXPECT_EQ(chosen.get(), real);
  EXPECT_EQ(MakeSmartDevice(files, "  ", "C:\\tools\\inv\\", nullptr), nullptr);

  // A relative folder lies beside the program; the replay device uses the real message texts.
  auto replay = MakeSmartDevice(files, "caps", "C:\\tools\\inv\\", std::make_unique<Messages>());
  ASSERT_NE(replay, nullptr);
  EXPECT_TRUE(replay->Open("\\\\.\\PhysicalDrive0", kGenericReadWrite, kFileShareReadWrite, kOpenExisting).handle);
  EXPECT_EQ(replay->ErrorText(2), "system text 2");
  auto absolute = MakeSmartDevice(files, "C:\\tools\\inv\\caps", "D:\\elsewhere\\", nullptr);
  EXPECT_TRUE(absolute->Open("\\\\.\\PhysicalDrive0", kGenericReadWrite, kFileShareReadWrite, kOpenExisting).handle);
  EXPECT_FALSE(absolute->Open("\\\\.\\PhysicalDrive1", kGenericReadWrite, kFileShareReadWrite, kOpenExisting).handle);
}

}  // namespace
}  // namespace orv
