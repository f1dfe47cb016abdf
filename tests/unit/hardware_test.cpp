// The hardware queries against WMI answers built from real machines' outputs (tests/data/wmi).
#include <gtest/gtest.h>

#include "fakes/fake_wmi.h"
#include "probes/hardware.h"

namespace orv {
namespace {

using test::FakeWmi;
using test::ScalarProperty;

std::vector<WmiInstance> Listing(const std::string& file) { return test::ParseWmiListing(test::ReadTestData("wmi/" + file)); }

// A memory module as Windows 10 and 11 describe it: Capacity the text of a 64-bit number.
WmiInstance Module(const char* slot, const char* bytes, int64_t form, int64_t type, int64_t smbiosType = -1) {
  WmiInstance m{{ScalarProperty("Capacity", 21, std::string(bytes)), ScalarProperty("DeviceLocator", 8, std::string(slot)),
                 ScalarProperty("FormFactor", 18, form), ScalarProperty("MemoryType", 18, type),
                 ScalarProperty("Speed", 19, int64_t{400}), ScalarProperty("TotalWidth", 18, int64_t{64})}};
  if (smbiosType >= 0) m.properties.push_back(ScalarProperty("SMBIOSMemoryType", 19, smbiosType));
  return m;
}

TEST(Memory, SlotsAndSpeedOfTheModules) {
  struct Case {
    const char* what;
    std::vector<WmiInstance> modules;
    const char *slots, *speed;
  } const cases[] = {
      // ThinkPad T490 (MemoryType 0, no SMBIOS type listed); Hyper-V memory without Speed and TotalWidth.
      {"T490", Listing("wmi_win32_physicalmemory_wmic-listfull_lenovo-t490_oc-little-translated.txt"),
       "ChannelA-DIMM0:SODIMM/8192/2667/64/Unknown +ChannelB-DIMM0:SODIMM/8192/2667/64/Unknown", "2667"},
      {"Azure", Listing("wmi_win32_physicalmemory_formatlist_gha-windows2022-azure_maruel-query-github-runner.txt"),
       "M0:Unknown/1024///Other +M1:Unknown/15360///Other", ""},
      {"modules below 32,000,000 bytes are left out", {Module("A", "32000000", 8, 17), Module("B", "31999999", 8, 17)},
       "A:DIMM/30/400/64/SDRAM", "400"},
      {"only small modules", {Module("A", "16777216", 8, 17)}, "", "0"},
      {"codes past the tables have no name", {Module("A", "8589934592", 24, 21)}, "A:/8192/400/64/", "400"},
      {"last codes of the tables", {Module("A", "8589934592", 23, 20)}, "A:LGA/8192/400/64/DDR", "400"},
      // Row 48 on Windows 10/11: MemoryType 0 or past the table, the kind in SMBIOSMemoryType; its
      // "Unknown", "Other" and unnamed codes stand back, and so does SMBIOS behind an old name.
      {"SMBIOS", {Module("A", "1073741824", 12, 0, 26), Module("B", "1073741824", 12, 21, 35),
                  Module("C", "1073741824", 12, 0, 2), Module("D", "1073741824", 12, 0, 21),
                  Module("E", "1073741824", 12, 20, 26), Module("F", "1073741824", 12, 0, 36)},
       "A:SODIMM/1024/400/64/DDR4 +B:SODIMM/1024/400/64/LPDDR5 +C:SODIMM/1024/400/64/Unknown "
       "+D:SODIMM/1024/400/64/Unknown +E:SODIMM/1024/400/64/DDR +F:SODIMM/1024/400/64/HBM3", "400"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    FakeWmi wmi;
    wmi.classes["Win32_PhysicalMemory"] = c.modules;
    EXPECT_EQ(GetMemorySlots(wmi), c.slots);
    EXPECT_EQ(GetMemorySpeed(wmi), c.speed);
  }
  FakeWmi none;
  EXPECT_EQ(GetMemorySpeed(none), "");  // the class cannot be read
}

TEST(Memory, TheLastArrayOf32000KbOrMore) {
  FakeWmi wmi;
  EXPECT_EQ(GetMemoryArray(wmi), "");
  // ASRock board: "wmic memphysical get MaxCapacity" shows 16 GB in KB; MemoryDevices was not asked.
  wmi.classes["Win32_PhysicalMemoryArray"] = test::ParseWmiColumns(
      test::ReadTestData("wmi/wmi_win32_baseboard_memphysical_systeminfo_win7-asrock_jekyll-post.txt"), "MaxCapacity");
  EXPECT_EQ(GetMemoryArray(wmi), "16384//");
  auto array = [](int64_t kb, int64_t devices) {
    return WmiInstance{{ScalarProperty("MaxCapacity", 19, kb), ScalarProperty("MemoryDevices", 18, devices)}};
  };
  wmi.classes["Win32_PhysicalMemoryArray"] = {array(16777216, 2), array(31999, 1)};
  EXPECT_EQ(GetMemoryArray(wmi), "16384//2");
  wmi.classes["Win32_PhysicalMemoryArray"] = {array(16777216, 2), array(32000, 1)};
  EXPECT_EQ(GetMemoryArray(wmi), "31//1");
}

TEST(BoardAndBios, OneInstanceOfRealMachines) {
  auto lenovo = Listing("wmi_win32_bios_and_baseboard_wmic-listfull_lenovo-20DC-japanese_go-comment.txt");
  auto dellHp = Listing("wmi_win32_baseboard_bios_csproduct_getwmiobject_dell-optiplex790_hp-elitedesk800g4_meshcentral-issue4432.txt");
  ASSERT_EQ(lenovo.size(), 2u);
  ASSERT_GE(dellHp.size(), 4u);
  FakeWmi wmi;
  wmi.classes["Win32_BIOS"] = {lenovo[0]};
  wmi.classes["Win32_BaseBoard"] = {lenovo[1]};
  EXPECT_EQ(GetBaseBoard(wmi), "LENOVO 20DCA09BCD");
  EXPECT_EQ(GetBiosVersion(wmi), "J5ET56WW (1.27 ) v2.7");
  wmi.classes["Win32_BaseBoard"] = {dellHp[3]};
  EXPECT_EQ(GetBaseBoard(wmi), "HP 83E1");
  wmi.classes["Win32_BIOS"] = {lenovo[0], lenovo[0]};
  wmi.classes["Win32_BaseBoard"] = {dellHp[0], dellHp[3]};
  EXPECT_EQ(GetBaseBoard(wmi), "");
  EXPECT_EQ(GetBiosVersion(wmi), "");
}

TEST(Disk, ModelAndSerialOfTheNumberedDrive) {
  FakeWmi wmi;
  wmi.classes["Win32_DiskDrive"] = Listing("wmi_win32_diskdrive_wmic-value_virtualbox-win10_systeminformation-issue421.txt");
  wmi.classes["Win32_PhysicalMedia"] = {WmiInstance{{ScalarProperty("SerialNumber", 8, std::string("VB48714f98-fcbf9ac2")),
                                                     ScalarProperty("Tag", 8, std::string(R"(\\.\PHYSICALDRIVE0)"))}}};
  EXPECT_EQ(GetDiskModel(wmi, 0), "VBOX HARDDISK/(Standard disk drives)");
  EXPECT_EQ(GetDiskSerial(wmi, 0), "VB48714f98-fcbf9ac2");
  EXPECT_EQ(GetDiskModel(wmi, 1), "");
  wmi.failing.insert(R"(SELECT Manufacturer FROM Win32_DiskDrive WHERE Name = "\\\\.\\PHYSICALDRIVE0")");
  EXPECT_EQ(GetDiskModel(wmi, 0), "");
}

TEST(SingleValues, ProcessorSystemAndCdRom) {
  FakeWmi wmi;
  wmi.classes["Win32_Processor"] = Listing("wmi_win32_processor_formatlist_gha-windows2022-azure_maruel-query-github-runner.txt");
  wmi.classes["Win32_OperatingSystem"] = Listing("wmi_win32_operatingsystem_formatlist_win11-de-parallels-vm_olray-delphifun.txt");
  EXPECT_EQ(GetProcessorProperty(wmi, "Name"), "AMD EPYC 7763 64-Core Processor");
  EXPECT_EQ(GetProcessorProperty(wmi, "L2CacheSize"), "NULL");  // printed empty on that VM
  EXPECT_EQ(GetOSProperty(wmi, "Caption"), "Microsoft Windows 11 Pro");
  EXPECT_EQ(GetOSProperty(wmi, "CSDVersion"), "NULL");
  EXPECT_EQ(GetComputerModel(wmi), "");
  wmi.classes["Win32_ComputerSystem"] = {WmiInstance{{ScalarProperty("Manufacturer", 8, std::string("LENOVO")),
                                                      ScalarProperty("Model", 8, std::string("20DCA09BCD"))}}};
  EXPECT_EQ(GetComputerModel(wmi), "20DCA09BCD / LENOVO");
  wmi.classes["Win32_CDROMDrive"] = Listing("wmi_win32_cdromdrive_formatlist_azure-vm_storagedsc-issue289_TRUNCATED.txt");
  EXPECT_EQ(GetCDROMName(wmi), "Msft Virtual CD/ROM ATA Device");
  // Hyper-V VM with three virtual DVD drives: no single name.
  wmi.classes["Win32_CDROMDrive"] = test::ParseWmiColumns(
      test::ReadTestData("wmi/wmi_win32_cdromdrive_table_hyperv-ws2019-vm_storagedsc-pr286.txt"), "Caption");
  EXPECT_EQ(GetCDROMName(wmi), "");
}

}  // namespace
}  // namespace orv
