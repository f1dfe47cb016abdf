// The hardware queries against WMI answers built from real machines' outputs (tests/data/wmi).
#include <gtest/gtest.h>

#include "fakes/fake_wmi.h"
#include "probes/hardware.h"

namespace orv {
namespace {

using test::FakeWmi;
using test::FindProperty;
using test::NullProperty;
using test::ParseWmiColumns;
using test::ParseWmiListing;
using test::ReadTestData;
using test::ScalarProperty;

std::vector<WmiInstance> Listing(const std::string& file) { return ParseWmiListing(ReadTestData("wmi/" + file)); }

const char kT490Memory[] = "wmi_win32_physicalmemory_wmic-listfull_lenovo-t490_oc-little-translated.txt";
const char kAzureMemory[] = "wmi_win32_physicalmemory_formatlist_gha-windows2022-azure_maruel-query-github-runner.txt";
const char kLenovoJapanese[] = "wmi_win32_bios_and_baseboard_wmic-listfull_lenovo-20DC-japanese_go-comment.txt";
const char kDellHp[] =
    "wmi_win32_baseboard_bios_csproduct_getwmiobject_dell-optiplex790_hp-elitedesk800g4_meshcentral-issue4432.txt";
const char kAsrock[] = "wmi_win32_baseboard_memphysical_systeminfo_win7-asrock_jekyll-post.txt";
const char kVirtualBoxDisk[] = "wmi_win32_diskdrive_wmic-value_virtualbox-win10_systeminformation-issue421.txt";
const char kAzureCpu[] = "wmi_win32_processor_formatlist_gha-windows2022-azure_maruel-query-github-runner.txt";
const char kWin11Os[] = "wmi_win32_operatingsystem_formatlist_win11-de-parallels-vm_olray-delphifun.txt";

// A memory module as WMI gives it on Windows: Capacity is an unsigned 64-bit number in text.
WmiInstance Module(const char* slot, const char* bytes, int64_t formFactor, int64_t type, int64_t speed) {
  return WmiInstance{{ScalarProperty("Capacity", 21, std::string(bytes)),
                      ScalarProperty("DeviceLocator", 8, std::string(slot)),
                      ScalarProperty("FormFactor", 18, formFactor), ScalarProperty("MemoryType", 18, type),
                      ScalarProperty("Speed", 19, speed), ScalarProperty("TotalWidth", 18, int64_t{64})}};
}

TEST(MemoryTest, SlotsAndSpeedOfRealMachines) {
  struct Case {
    const char* file;
    const char* slots;
    const char* speed;
  };
  const Case cases[] = {
      // ThinkPad T490: two 8 GB SODIMMs; MemoryType 0 (newer Windows report DDR4 elsewhere).
      {kT490Memory, "ChannelA-DIMM0:SODIMM/8192/2667/64/Unknown +ChannelB-DIMM0:SODIMM/8192/2667/64/Unknown", "2667"},
      // Hyper-V memory without Speed and TotalWidth: those fields read as empty, the slashes stay.
      {kAzureMemory, "M0:Unknown/1024///Other +M1:Unknown/15360///Other", ""},
  };
  for (const Case& c : cases) {
    FakeWmi wmi;
    wmi.classes["Win32_PhysicalMemory"] = Listing(c.file);
    EXPECT_EQ(GetMemorySlots(wmi), c.slots) << c.file;
    EXPECT_EQ(GetMemorySpeed(wmi), c.speed) << c.file;
  }
}

TEST(MemoryTest, SlotRulesForSmallModulesUnknownCodesAndNulls) {
  struct Case {
    const char* what;
    std::vector<WmiInstance> modules;
    const char* slots;
    const char* speed;
  };
  // Windows 10 and 11 leave MemoryType at 0 (or past the table) and name the kind in SMBIOSMemoryType.
  auto smbios = [](WmiInstance module, int64_t type) {
    module.properties.push_back(ScalarProperty("SMBIOSMemoryType", 19, type));
    return module;
  };
  WmiInstance nullSpeed = Module("DIMM2", "536870912", 8, 20, 0);
  *FindProperty(nullSpeed, "Speed") = NullProperty("Speed", 19);
  const Case cases[] = {
      {"two DDR modules",
       {Module("DIMM0", "536870912", 8, 20, 400), Module("DIMM1", "268435456", 8, 20, 400)},
       "DIMM0:DIMM/512/400/64/DDR +DIMM1:DIMM/256/400/64/DDR", "400"},
      {"16 MB module left out, speed of the last counted module",
       {Module("A", "33554432", 8, 17, 133), Module("B", "16777216", 8, 17, 66)}, "A:DIMM/32/133/64/SDRAM", "133"},
      {"only small modules", {Module("A", "16777216", 8, 17, 66)}, "", "0"},
      {"codes past the tables have no name", {Module("A", "8589934592", 26, 24, 3200)}, "A:/8192/3200/64/", "3200"},
      {"last codes of the tables", {Module("A", "8589934592", 23, 20, 3200)}, "A:LGA/8192/3200/64/DDR", "3200"},
      {"null speed passes on as NULL", {nullSpeed}, "DIMM2:DIMM/512/NULL/64/DDR", "NULL"},
      {"SMBIOS names newer kinds; its unknown and reserved codes, and an old name, stand back",
       {smbios(Module("A", "1073741824", 12, 0, 3200), 26), smbios(Module("B", "1073741824", 12, 24, 4800), 35),
        smbios(Module("C", "1073741824", 8, 0, 800), 2), smbios(Module("D", "1073741824", 8, 20, 400), 21)},
       "A:SODIMM/1024/3200/64/DDR4 +B:SODIMM/1024/4800/64/LPDDR5 +C:DIMM/1024/800/64/Unknown +D:DIMM/1024/400/64/DDR",
       "400"},
  };
  for (const Case& c : cases) {
    FakeWmi wmi;
    wmi.classes["Win32_PhysicalMemory"] = c.modules;
    EXPECT_EQ(GetMemorySlots(wmi), c.slots) << c.what;
    EXPECT_EQ(GetMemorySpeed(wmi), c.speed) << c.what;
  }
}

TEST(MemoryTest, MemoryArrayTakesTheLastLargeArray) {
  FakeWmi wmi;
  EXPECT_EQ(GetMemoryArray(wmi), "");  // the class cannot be read at all
  EXPECT_EQ(GetMemorySpeed(wmi), "");
  EXPECT_EQ(GetMemorySlots(wmi), "");

  wmi.classes["Win32_PhysicalMemoryArray"] = {};  // as under Wine: no instances
  EXPECT_EQ(GetMemoryArray(wmi), "");

  // ASRock board: "wmic memphysical get MaxCapacity" shows 16 GB (in KB); MemoryDevices was not asked.
  wmi.classes["Win32_PhysicalMemoryArray"] = ParseWmiColumns(ReadTestData(std::string("wmi/") + kAsrock), "MaxCapacity");
  ASSERT_EQ(wmi.classes["Win32_PhysicalMemoryArray"].size(), 1u);
  EXPECT_EQ(GetMemoryArray(wmi), "16384//");

  auto array = [](int64_t kb, int64_t devices) {
    return WmiInstance{{ScalarProperty("MaxCapacity", 19, kb), ScalarProperty("MemoryDevices", 18, devices)}};
  };
  wmi.classes["Win32_PhysicalMemoryArray"] = {array(16777216, 2), array(31999, 1)};
  EXPECT_EQ(GetMemoryArray(wmi), "16384//2");
  wmi.classes["Win32_PhysicalMemoryArray"] = {array(16777216, 2), array(32768, 1)};
  EXPECT_EQ(GetMemoryArray(wmi), "32//1");
}

TEST(BoardAndBiosTest, RealMachines) {
  // The Japanese Lenovo listing holds the BIOS block, then the board block.
  auto lenovo = Listing(kLenovoJapanese);
  ASSERT_EQ(lenovo.size(), 2u);
  FakeWmi wmi;
  wmi.classes["Win32_BIOS"] = {lenovo[0]};
  wmi.classes["Win32_BaseBoard"] = {lenovo[1]};
  EXPECT_EQ(GetBaseBoard(wmi), "LENOVO 20DCA09BCD");
  EXPECT_EQ(GetBiosVersion(wmi), "J5ET56WW (1.27 ) v2.7");
  EXPECT_EQ(wmi.asked.front(), "SELECT Manufacturer, Product FROM Win32_BaseBoard");

  // Dell OptiPlex 790 and HP EliteDesk 800 G4: board, BIOS and product blocks per machine.
  auto dellHp = Listing(kDellHp);
  ASSERT_GE(dellHp.size(), 6u);
  wmi.classes["Win32_BaseBoard"] = {dellHp[0]};
  EXPECT_EQ(GetBaseBoard(wmi), "Dell Inc. 0HY9JP");
  wmi.classes["Win32_BaseBoard"] = {dellHp[3]};
  EXPECT_EQ(GetBaseBoard(wmi), "HP 83E1");

  // ASRock: "wmic baseboard list /format:LIST".
  auto asrock = Listing(kAsrock);
  ASSERT_EQ(asrock.size(), 1u);
  wmi.classes["Win32_BaseBoard"] = asrock;
  EXPECT_EQ(GetBaseBoard(wmi), "ASRock A780FullDisplayPort");
}

TEST(BoardAndBiosTest, NeedExactlyOneInstanceAndKeepNullParts) {
  auto lenovo = Listing(kLenovoJapanese);
  FakeWmi wmi;
  wmi.classes["Win32_BIOS"] = {lenovo[0], lenovo[0]};
  wmi.classes["Win32_BaseBoard"] = {lenovo[1], lenovo[1]};
  EXPECT_EQ(GetBaseBoard(wmi), "");
  EXPECT_EQ(GetBiosVersion(wmi), "");

  *FindProperty(lenovo[1], "Manufacturer") = NullProperty("Manufacturer", 8);
  wmi.classes["Win32_BaseBoard"] = {lenovo[1]};
  EXPECT_EQ(GetBaseBoard(wmi), "NULL 20DCA09BCD");
}

TEST(DiskTest, ModelAndSerialOfTheNumberedDrive) {
  auto disk = Listing(kVirtualBoxDisk);
  ASSERT_EQ(disk.size(), 1u);
  FakeWmi wmi;
  wmi.classes["Win32_DiskDrive"] = disk;
  // Win32_PhysicalMedia of the same VirtualBox disk: tagged with the device path, the serial of the drive.
  wmi.classes["Win32_PhysicalMedia"] = {
      WmiInstance{{ScalarProperty("SerialNumber", 8, std::string("VB48714f98-fcbf9ac2")),
                   ScalarProperty("Tag", 8, std::string(R"(\\.\PHYSICALDRIVE0)"))}}};

  EXPECT_EQ(GetDiskModel(wmi, 0), "VBOX HARDDISK/(Standard disk drives)");
  EXPECT_EQ(wmi.asked.front(), R"(SELECT Model FROM Win32_DiskDrive WHERE Name = "\\\\.\\PHYSICALDRIVE0")");
  EXPECT_EQ(GetDiskSerial(wmi, 0), "VB48714f98-fcbf9ac2");
  EXPECT_EQ(wmi.asked.back(), R"(SELECT SerialNumber FROM Win32_PhysicalMedia WHERE Tag = "\\\\.\\PHYSICALDRIVE0")");
  EXPECT_EQ(GetDiskModel(wmi, 1), "");
  EXPECT_EQ(GetDiskSerial(wmi, 1), "");

  // Without a Name property (as under Wine) the drive cannot be found: both rows stay empty.
  auto noName = disk[0];
  std::erase_if(noName.properties, [](const WmiProperty& p) { return p.name == "Name"; });
  wmi.classes["Win32_DiskDrive"] = {noName};
  wmi.classes["Win32_PhysicalMedia"].clear();
  EXPECT_EQ(GetDiskModel(wmi, 0), "");
  EXPECT_EQ(GetDiskSerial(wmi, 0), "");
}

TEST(SingleValueTest, ProcessorAndOperatingSystemProperties) {
  FakeWmi wmi;
  wmi.classes["Win32_Processor"] = Listing(kAzureCpu);
  wmi.classes["Win32_OperatingSystem"] = Listing(kWin11Os);
  struct Case {
    std::string result;
    const char* expected;
  };
  const Case cases[] = {
      {GetProcessorProperty(wmi, "Name"), "AMD EPYC 7763 64-Core Processor"},
      {GetProcessorProperty(wmi, "ProcessorId"), "178BFBFF00A00F11"},
      {GetProcessorProperty(wmi, "L2CacheSize"), "NULL"},  // printed empty on that VM
      {GetProcessorProperty(wmi, "NoSuchProperty"), ""},   // the query is refused
      {GetOSProperty(wmi, "Caption"), "Microsoft Windows 11 Pro"},
      {GetOSProperty(wmi, "CSDVersion"), "NULL"},
  };
  for (const Case& c : cases) EXPECT_EQ(c.result, c.expected);

  wmi.classes["Win32_Processor"].push_back(wmi.classes["Win32_Processor"].front());  // two sockets
  EXPECT_EQ(GetProcessorProperty(wmi, "Name"), "");
}

TEST(SingleInstanceTest, ComputerModelAndCdRom) {
  FakeWmi wmi;
  EXPECT_EQ(GetComputerModel(wmi), "");
  EXPECT_EQ(GetCDROMName(wmi), "");
  // The ASRock PC's systeminfo: "System Manufacturer" and "System Model" are Win32_ComputerSystem's.
  wmi.classes["Win32_ComputerSystem"] = {
      WmiInstance{{ScalarProperty("Manufacturer", 8, std::string("To Be Filled By O.E.M.")),
                   ScalarProperty("Model", 8, std::string("To Be Filled By O.E.M."))}}};
  EXPECT_EQ(GetComputerModel(wmi), "To Be Filled By O.E.M. / To Be Filled By O.E.M.");

  wmi.classes["Win32_CDROMDrive"] = {};  // as under Wine
  EXPECT_EQ(GetCDROMName(wmi), "");
  wmi.classes["Win32_CDROMDrive"] =
      Listing("wmi_win32_cdromdrive_formatlist_azure-vm_storagedsc-issue289_TRUNCATED.txt");
  EXPECT_EQ(GetCDROMName(wmi), "Msft Virtual CD/ROM ATA Device");
  // Hyper-V VM with three virtual DVD drives: no single name.
  wmi.classes["Win32_CDROMDrive"] =
      ParseWmiColumns(ReadTestData("wmi/wmi_win32_cdromdrive_table_hyperv-ws2019-vm_storagedsc-pr286.txt"), "Caption");
  ASSERT_EQ(wmi.classes["Win32_CDROMDrive"].size(), 3u);
  EXPECT_EQ(GetCDROMName(wmi), "");
}

}  // namespace
}  // namespace orv
