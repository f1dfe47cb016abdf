// Hardware facts read through WMI. Each operation asks its own query and turns the answer into
// one text; any failure (no connection, a refused query, a missing property, too many or too few
// instances) gives the empty text.
#include <array>
#include <optional>

#include "probes/hardware.h"
#include "probes/wmi_table.h"
#include "util/text.h"

namespace orv {

namespace {

// Names of Win32_PhysicalMemory.FormFactor, indexed by the code.
constexpr std::array<const char*, 24> kFormFactorNames = {
    "Unknown", "Other", "SIP",  "DIP", "ZIP",  "SOJ",  "Proprietary", "SIMM", "DIMM", "TSOP", "PGA",   "RIMM",
    "SODIMM",  "SRIMM", "SMD",  "SSMP", "QFP", "TQFP", "SOIC",        "LCC",  "PLCC", "BGA",  "FPBGA", "LGA"};

// Names of Win32_PhysicalMemory.MemoryType, indexed by the code.
constexpr std::array<const char*, 21> kMemoryTypeNames = {
    "Unknown", "Other", "DRAM",  "Synchronous DRAM", "Cache DRAM", "EDO",    "EDRAM", "VRAM",  "SRAM", "RAM", "ROM",
    "Flash",   "EEPROM", "FEPROM", "EPROM",          "CDRAM",      "3DRAM", "SDRAM", "SGRAM", "RDRAM", "DDR"};

// Names of the SMBIOS memory types (SMBIOSMemoryType, SMBIOS type 17), indexed by the code.
// Windows leaves MemoryType at 0 for DDR3 and later memory, or sets codes above the old table;
// this code names them. Codes without a name here (reserved ones) give none.
constexpr std::array<const char*, 37> kSmbiosMemoryTypeNames = {
    "",      "Other",  "Unknown", "DRAM",   "EDRAM",  "VRAM",   "SRAM",  "RAM",  "ROM",   "FLASH",
    "EEPROM", "FEPROM", "EPROM",  "CDRAM",  "3DRAM",  "SDRAM",  "SGRAM", "RDRAM", "DDR",  "DDR2",
    "DDR2 FB-DIMM", "", "",       "",       "DDR3",   "FBD2",   "DDR4",  "LPDDR", "LPDDR2", "LPDDR3",
    "LPDDR4", "Logical non-volatile device", "HBM", "HBM2", "DDR5", "LPDDR5", "HBM3"};

// Memory modules and arrays below these sizes are not counted (bytes, kilobytes).
constexpr int64_t kMinModuleBytes = 32000000;
constexpr int64_t kMinArrayKB = 32000;

// The name of a code in a table; codes the table does not know (newer memory kinds) have none.
template <size_t N>
std::string CodeName(const std::array<const char*, N>& names, const std::string& code) {
  auto n = ParseInt64(code);
  if (!n || *n < 0 || *n >= static_cast<int64_t>(N)) return {};
  return names[static_cast<size_t>(*n)];
}

// Cell of instance row `row` in column `name`; a column the class does not have reads as empty.
std::string Cell(const T2DimStrArray& table, size_t row, const std::string& name) {
  int column = FindWmiColumn(table, name);
  if (column == 0 || row >= table.size()) return {};
  return table[row][static_cast<size_t>(column)];
}

// The memory type of module row `row`: the old table's name, or the SMBIOS type's name when the
// old code says nothing (0, "Unknown") or has no name; the old name stands when SMBIOS has none.
std::string MemoryTypeName(const T2DimStrArray& table, size_t row) {
  const std::string code = Cell(table, row, "MemoryType");
  std::string name = CodeName(kMemoryTypeNames, code);
  if (!name.empty() && ParseInt64(code) != 0) return name;
  std::string smbios = CodeName(kSmbiosMemoryTypeNames, Cell(table, row, "SMBIOSMemoryType"));
  if (smbios == "Unknown" || smbios == "Other") smbios.clear();
  return smbios.empty() ? name : smbios;
}

// A property of one instance, rendered; nullopt when the instance has no such property.
std::optional<std::string> PropertyText(const WmiInstance& instance, const std::string& name) {
  for (const WmiProperty& p : instance.properties)
    if (SameTextIgnoringCase(p.name, name)) return RenderWmiValue(p);
  return std::nullopt;
}

// The only instance of a class; nullopt for none, several or a failed query.
std::optional<WmiInstance> OnlyInstance(std::optional<std::vector<WmiInstance>> instances) {
  if (!instances || instances->size() != 1) return std::nullopt;
  return std::move(instances->front());
}

// The device path of physical drive n as a WQL string literal: "\\\\.\\PHYSICALDRIVEn" with its
// quotes (the backslashes of \\.\ doubled for WQL).
std::string DriveLiteral(int drive) { return R"("\\\\.\\PHYSICALDRIVE)" + std::to_string(drive) + "\""; }

// Capacity of a module in bytes; WMI gives it as the text of an unsigned 64-bit number.
std::optional<int64_t> Bytes(const std::string& text) { return ParseInt64(text); }

}  // namespace

std::string GetProcessorProperty(IWmi& wmi, const std::string& name) {
  return GetWmiValue(wmi, "SELECT " + name + " FROM Win32_Processor", name);
}

std::string GetOSProperty(IWmi& wmi, const std::string& name) {
  return GetWmiValue(wmi, "SELECT " + name + " FROM Win32_OperatingSystem", name);
}

std::string GetComputerModel(IWmi& wmi) {
  auto instance = OnlyInstance(wmi.InstancesOf("Win32_ComputerSystem"));
  if (!instance) return {};
  auto model = PropertyText(*instance, "Model");
  auto manufacturer = PropertyText(*instance, "Manufacturer");
  if (!model || !manufacturer) return {};
  return *model + " / " + *manufacturer;
}

std::string GetCDROMName(IWmi& wmi) {
  auto instance = OnlyInstance(wmi.InstancesOf("Win32_CDROMDrive"));
  if (!instance) return {};
  return PropertyText(*instance, "Name").value_or("");
}

std::string GetMemoryArray(IWmi& wmi) {
  int count = 0;
  T2DimStrArray table;
  RunWmiTable(wmi, "Win32_PhysicalMemoryArray", count, table);
  std::string result;
  for (size_t k = 1; k <= static_cast<size_t>(count); ++k) {
    auto maxKB = ParseInt64(Cell(table, k, "MaxCapacity"));
    if (!maxKB || *maxKB < kMinArrayKB) continue;
    result = std::to_string(*maxKB / 1024) + "//" + Cell(table, k, "MemoryDevices");  // the last array wins
  }
  return result;
}

std::string GetMemorySlots(IWmi& wmi) {
  int count = 0;
  T2DimStrArray table;
  RunWmiTable(wmi, "Win32_PhysicalMemory", count, table);
  std::string result;
  for (size_t k = 1; k <= static_cast<size_t>(count); ++k) {
    auto bytes = Bytes(Cell(table, k, "Capacity"));
    if (!bytes || *bytes < kMinModuleBytes) continue;
    // slot:form/MB/MHz/width/type
    result += Cell(table, k, "DeviceLocator") + ":" + CodeName(kFormFactorNames, Cell(table, k, "FormFactor")) + "/" +
              std::to_string(*bytes / 1048576) + "/" + Cell(table, k, "Speed") + "/" + Cell(table, k, "TotalWidth") +
              "/" + MemoryTypeName(table, k) + " +";
  }
  if (!result.empty()) result.resize(result.size() - 2);  // the last " +"
  return result;
}

std::string GetMemorySpeed(IWmi& wmi) {
  int count = 0;
  T2DimStrArray table;
  if (!RunWmiTable(wmi, "Win32_PhysicalMemory", count, table)) return {};
  std::string speed = "0";
  for (size_t k = 1; k <= static_cast<size_t>(count); ++k) {
    auto bytes = Bytes(Cell(table, k, "Capacity"));
    if (bytes && *bytes >= kMinModuleBytes) speed = Cell(table, k, "Speed");  // the last module wins
  }
  return speed;
}

std::string GetBaseBoard(IWmi& wmi) {
  int count = 0;
  T2DimStrArray table;
  RunWmiTable(wmi, "SELECT Manufacturer, Product FROM Win32_BaseBoard", count, table);
  if (count != 1) return {};
  return GetWmiCell(table, "Manufacturer") + " " + GetWmiCell(table, "Product");
}

std::string GetBiosVersion(IWmi& wmi) {
  int count = 0;
  T2DimStrArray table;
  RunWmiTable(wmi, "Win32_BIOS", count, table);
  if (count != 1) return {};
  return GetWmiCell(table, "SMBIOSBIOSVersion") + " v" + GetWmiCell(table, "SMBIOSMajorVersion") + "." +
         GetWmiCell(table, "SMBIOSMinorVersion");
}

std::string GetDiskSerial(IWmi& wmi, int drive) {
  return GetWmiValue(wmi, "SELECT SerialNumber FROM Win32_PhysicalMedia WHERE Tag = " + DriveLiteral(drive),
                     "SerialNumber");
}

std::string GetDiskModel(IWmi& wmi, int drive) {
  const std::string where = " FROM Win32_DiskDrive WHERE Name = " + DriveLiteral(drive);
  auto instance = OnlyInstance(wmi.ExecQuery("SELECT Model" + where));
  if (!instance) return {};
  auto model = PropertyText(*instance, "Model");
  if (!model) return {};
  // A query that names its properties answers with those alone; the manufacturer of the same drive
  // then comes from a second query with the same condition.
  auto manufacturer = PropertyText(*instance, "Manufacturer");
  if (!manufacturer) {
    auto again = OnlyInstance(wmi.ExecQuery("SELECT Manufacturer" + where));
    if (again) manufacturer = PropertyText(*again, "Manufacturer");
  }
  if (!manufacturer) return {};
  return *model + "/" + *manufacturer;
}

}  // namespace orv
