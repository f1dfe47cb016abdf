#include "fakes/fake_wmi.h"

#include <gtest/gtest.h>

#include <cctype>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <utility>

#include "util/text.h"

namespace orv::test {

namespace {

struct CimSchema {
  int cimType = 8;
  bool isArray = false;
};

// CIM types of the properties in the sample outputs, as the WMI classes declare them
// (Win32_PhysicalMemory, Win32_PhysicalMemoryArray, Win32_BIOS, Win32_BaseBoard, Win32_Processor,
// Win32_DiskDrive, Win32_CDROMDrive, Win32_OperatingSystem, Win32_NetworkAdapterConfiguration).
// Names not listed are strings.
CimSchema SchemaOf(const std::string& name) {
  static const std::map<std::string, CimSchema> kTypes = {
      // uint8
      {"DefaultTOS", {17}}, {"DefaultTTL", {17}}, {"IGMPLevel", {17}}, {"ForegroundApplicationBoost", {17}},
      {"DataExecutionPrevention_SupportPolicy", {17}},
      // sint16
      {"CurrentTimeZone", {2}},
      // uint16
      {"FormFactor", {18}}, {"MemoryType", {18}}, {"TotalWidth", {18}}, {"DataWidth", {18}}, {"TypeDetail", {18}},
      {"InterleaveDataDepth", {18}}, {"MemoryDevices", {18}}, {"SMBIOSMajorVersion", {18}},
      {"SMBIOSMinorVersion", {18}}, {"SoftwareElementState", {18}}, {"TargetOperatingSystem", {18}},
      {"InstallableLanguages", {18}}, {"Availability", {18}}, {"StatusInfo", {18}}, {"AddressWidth", {18}},
      {"CpuStatus", {18}}, {"CurrentVoltage", {18}}, {"LoadPercentage", {18}},
      {"ProcessorType", {18}}, {"Revision", {18}}, {"Family", {18}}, {"UpgradeMethod", {18}},
      {"Architecture", {18}}, {"Level", {18}}, {"OSType", {18}}, {"ServicePackMajorVersion", {18}},
      {"ServicePackMinorVersion", {18}}, {"SCSITargetId", {18}}, {"TcpWindowSize", {18}}, {"Use", {18}},
      {"Location", {18}}, {"MemoryErrorCorrection", {18}},
      {"BiosCharacteristics", {18, true}}, {"Capabilities", {18, true}}, {"GatewayCostMetric", {18, true}},
      {"PowerManagementCapabilities", {18, true}},
      // uint32
      {"Speed", {19}}, {"ConfiguredClockSpeed", {19}}, {"InterleavePosition", {19}}, {"PositionInRow", {19}},
      {"SMBIOSMemoryType", {19}}, {"MaxCapacity", {19}}, {"ExtClock", {19}}, {"L2CacheSize", {19}},
      {"L2CacheSpeed", {19}}, {"MaxClockSpeed", {19}}, {"CurrentClockSpeed", {19}}, {"L3CacheSize", {19}},
      {"L3CacheSpeed", {19}}, {"NumberOfCores", {19}}, {"NumberOfEnabledCore", {19}},
      {"NumberOfLogicalProcessors", {19}}, {"ThreadCount", {19}}, {"Characteristics", {19}},
      {"ConfigManagerErrorCode", {19}}, {"LastErrorCode", {19}}, {"Index", {19}}, {"Partitions", {19}},
      {"BytesPerSector", {19}}, {"SectorsPerTrack", {19}}, {"TracksPerCylinder", {19}}, {"TotalHeads", {19}},
      {"Signature", {19}}, {"SCSIBus", {19}}, {"SCSILogicalUnit", {19}}, {"SCSIPort", {19}},
      {"InterfaceIndex", {19}}, {"IPConnectionMetric", {19}}, {"TcpipNetbiosOptions", {19}}, {"MTU", {19}},
      {"KeepAliveInterval", {19}}, {"KeepAliveTime", {19}}, {"TcpMaxConnectRetransmissions", {19}},
      {"TcpMaxDataRetransmissions", {19}}, {"TcpNumConnections", {19}}, {"ForwardBufferMemory", {19}},
      {"NumForwardPackets", {19}}, {"IPXMediaType", {19}}, {"NumberOfProcesses", {19}},
      {"NumberOfUsers", {19}}, {"MaxNumberOfProcesses", {19}}, {"NumberOfLicensedUsers", {19}},
      {"OSLanguage", {19}}, {"OSProductSuite", {19}}, {"OperatingSystemSKU", {19}}, {"SuiteMask", {19}},
      {"ProductType", {19}}, {"EncryptionLevel", {19}}, {"LargeSystemCache", {19}},
      {"IPXFrameType", {19, true}},
      // uint64 (WMI hands these over as text)
      {"Capacity", {21}}, {"Size", {21}}, {"TotalSectors", {21}}, {"TotalCylinders", {21}}, {"TotalTracks", {21}},
      {"DefaultBlockSize", {21}}, {"MaxBlockSize", {21}}, {"MaxMediaSize", {21}}, {"MinBlockSize", {21}},
      {"FreePhysicalMemory", {21}}, {"FreeSpaceInPagingFiles", {21}}, {"FreeVirtualMemory", {21}},
      {"MaxProcessMemorySize", {21}}, {"SizeStoredInPagingFiles", {21}}, {"TotalSwapSpaceSize", {21}},
      {"TotalVirtualMemorySize", {21}}, {"TotalVisibleMemorySize", {21}}, {"MaxCapacityEx", {21}},
      // real32
      {"Depth", {4}}, {"Height", {4}}, {"Weight", {4}}, {"Width", {4}},
      // boolean
      {"HotSwappable", {11}}, {"PoweredOn", {11}}, {"Removable", {11}}, {"Replaceable", {11}},
      {"HostingBoard", {11}}, {"RequiresDaughterBoard", {11}}, {"PrimaryBIOS", {11}}, {"SMBIOSPresent", {11}},
      {"MediaLoaded", {11}}, {"NeedsCleaning", {11}}, {"ErrorCleared", {11}}, {"ConfigManagerUserConfig", {11}},
      {"PowerManagementSupported", {11}}, {"DHCPEnabled", {11}}, {"IPEnabled", {11}},
      {"ArpAlwaysSourceRoute", {11}}, {"ArpUseEtherSNAP", {11}}, {"DeadGWDetectEnabled", {11}},
      {"DNSEnabledForWINSResolution", {11}}, {"DomainDNSRegistrationEnabled", {11}},
      {"FullDNSRegistrationEnabled", {11}}, {"IPFilterSecurityEnabled", {11}}, {"IPPortSecurityEnabled", {11}},
      {"IPUseZeroBroadcast", {11}}, {"IPXEnabled", {11}}, {"PMTUBHDetectEnabled", {11}},
      {"PMTUDiscoveryEnabled", {11}}, {"TcpUseRFC1122UrgentPointer", {11}}, {"WINSEnableLMHostsLookup", {11}},
      {"Distributed", {11}}, {"Debug", {11}}, {"Primary", {11}}, {"PortableOperatingSystem", {11}},
      {"PAEEnabled", {11}}, {"DataExecutionPrevention_32BitApplications", {11}},
      {"DataExecutionPrevention_Available", {11}}, {"DataExecutionPrevention_Drivers", {11}},
      {"SecondLevelAddressTranslationExtensions", {11}}, {"VirtualizationFirmwareEnabled", {11}},
      {"VMMonitorModeExtensions", {11}},
      // date-time
      {"InstallDate", {101}}, {"ReleaseDate", {101}}, {"LastBootUpTime", {101}}, {"LocalDateTime", {101}},
      {"DHCPLeaseExpires", {101}}, {"DHCPLeaseObtained", {101}},
      // string arrays
      {"ListOfLanguages", {8, true}}, {"BIOSVersion", {8, true}}, {"ConfigOptions", {8, true}},
      {"IPAddress", {8, true}}, {"IPSubnet", {8, true}}, {"DefaultIPGateway", {8, true}},
      {"DNSServerSearchOrder", {8, true}}, {"DNSDomainSuffixSearchOrder", {8, true}},
      {"IPSecPermitIPProtocols", {8, true}}, {"IPSecPermitTCPPorts", {8, true}},
      {"IPSecPermitUDPPorts", {8, true}}, {"CapabilityDescriptions", {8, true}}, {"MUILanguages", {8, true}},
      {"IPXNetworkNumber", {8, true}},
  };
  auto it = kTypes.find(name);
  return it == kTypes.end() ? CimSchema{} : it->second;
}

bool IsIntegerType(int t) { return t == 2 || t == 3 || t == 16 || t == 17 || t == 18 || t == 19; }

// One element of the given CIM type from its printed text.
WmiScalar ElementFromText(const std::string& text, int cimType) {
  if (IsIntegerType(cimType)) {
    if (auto v = ParseInt64(text)) return *v;
  } else if (cimType == 4 || cimType == 5) {
    char* end = nullptr;
    double d = std::strtod(text.c_str(), &end);
    if (!text.empty() && end && *end == '\0') return d;
  } else if (cimType == 11) {
    if (SameTextIgnoringCase(text, "true")) return true;
    if (SameTextIgnoringCase(text, "false")) return false;
  }
  return text;
}

WmiProperty PropertyFromText(const std::string& name, const std::string& text) {
  CimSchema schema = SchemaOf(name);
  WmiProperty p;
  p.name = name;
  p.cimType = schema.cimType;
  p.isArray = schema.isArray;
  if (text.empty()) return p;  // printed empty: null
  p.isNull = false;
  if (!schema.isArray) {
    p.values.push_back(ElementFromText(text, schema.cimType));
    return p;
  }
  std::string inner = text;
  if (inner.size() >= 2 && (inner.front() == '{' || inner.front() == '(') &&
      (inner.back() == '}' || inner.back() == ')'))
    inner = inner.substr(1, inner.size() - 2);
  if (Trim(inner).empty()) return p;  // {}: an empty array
  for (std::string element : Split(inner, ',')) {
    element = Trim(element);
    if (element.size() >= 2 && element.front() == '"' && element.back() == '"')
      element = element.substr(1, element.size() - 2);
    p.values.push_back(ElementFromText(element, schema.cimType));
  }
  return p;
}

bool IsNameChar(char c, bool first) {
  return std::isalpha(static_cast<unsigned char>(c)) || c == '_' || (!first && std::isdigit(static_cast<unsigned char>(c)));
}

// Splits "Name : Value" or "Name=Value" (after any indent); false for any other line.
bool SplitPropertyLine(std::string_view line, std::string& name, std::string& value) {
  size_t i = 0;
  while (i < line.size() && (line[i] == ' ' || line[i] == '\t')) ++i;
  size_t start = i;
  if (i >= line.size() || !IsNameChar(line[i], true)) return false;
  while (i < line.size() && IsNameChar(line[i], false)) ++i;
  name = std::string(line.substr(start, i - start));
  if (i < line.size() && line[i] == '=') {  // wmic
    value = std::string(line.substr(i + 1));
    return true;
  }
  while (i < line.size() && line[i] == ' ') ++i;
  if (i >= line.size() || line[i] != ':') return false;
  if (i + 1 < line.size() && line[i + 1] != ' ') return false;  // "C:\..." is no property
  value = Trim(line.substr(i + 1));
  return true;
}

bool AddedByPowerShell(const std::string& name) { return name == "PSComputerName" || StartsWith(name, "Cim"); }

// "SELECT a, b FROM Class WHERE Prop = "literal"" taken apart; false when it is not of that form.
struct ParsedQuery {
  std::vector<std::string> properties;  // empty for *
  std::string className;
  std::string whereProperty, whereValue;
};

bool ReadQuery(const std::string& wql, ParsedQuery& q) {
  std::string upper = UpperCase(wql);
  if (!StartsWith(upper, "SELECT ")) return false;
  size_t from = upper.find(" FROM ");
  if (from == std::string::npos) return false;
  std::string list = Trim(wql.substr(7, from - 7));
  if (list != "*")
    for (const std::string& p : Split(list, ',')) q.properties.push_back(Trim(p));
  std::string rest = Trim(wql.substr(from + 6));
  size_t where = UpperCase(rest).find(" WHERE ");
  q.className = Trim(rest.substr(0, where));
  if (q.className.empty() || q.className.find(' ') != std::string::npos) return false;
  if (where == std::string::npos) return true;
  std::string condition = Trim(rest.substr(where + 7));
  size_t eq = condition.find('=');
  if (eq == std::string::npos) return false;
  q.whereProperty = Trim(condition.substr(0, eq));
  std::string literal = Trim(condition.substr(eq + 1));
  if (literal.size() < 2 || literal.front() != '"' || literal.back() != '"') return false;
  literal = literal.substr(1, literal.size() - 2);
  for (size_t i = 0; i < literal.size(); ++i) {
    if (literal[i] == '\\') {
      if (i + 1 >= literal.size() || (literal[i + 1] != '\\' && literal[i + 1] != '"')) return false;
      ++i;
    }
    q.whereValue += literal[i];
  }
  return true;
}

}  // namespace

const std::vector<WmiInstance>* FakeWmi::Class(const std::string& prefix, const std::string& name) const {
  for (const auto& [className, instances] : classes)
    if (SameTextIgnoringCase(className, prefix + name)) return &instances;
  return nullptr;
}

bool FakeWmi::Connected() {
  // The first query after a Reconnect connects, or fails to while failures are left.
  if (!connected_ && !connectFailed_) (connectFailures-- > 0 ? connectFailed_ : connected_) = true;
  return connected_;
}

std::optional<std::vector<WmiInstance>> FakeWmi::ExecQuery(const std::string& wql) {
  return Query({kDefaultWmiNamespace, wql, false});
}

std::optional<std::vector<WmiInstance>> FakeWmi::InstancesOf(const std::string& className) {
  return Query({kDefaultWmiNamespace, className, true});
}

std::optional<std::vector<WmiInstance>> FakeWmi::Query(const WmiRequest& request) {
  const bool cimv2 = SameTextIgnoringCase(request.wmiNamespace, kDefaultWmiNamespace);
  const std::string prefix = cimv2 ? std::string() : request.wmiNamespace + "\\";
  asked.push_back(prefix + request.text);
  if (down || !Connected() || failing.count(prefix + request.text)) return std::nullopt;
  if (request.listClass) {
    const std::vector<WmiInstance>* instances = Class(prefix, request.text);
    if (!instances) return std::nullopt;
    return *instances;
  }
  ParsedQuery q;
  if (!ReadQuery(request.text, q) || failing.count(prefix + q.className)) return std::nullopt;
  const std::vector<WmiInstance>* instances = Class(prefix, q.className);
  if (!instances) return std::nullopt;
  std::vector<WmiInstance> answer;
  for (WmiInstance instance : *instances) {
    if (!q.whereProperty.empty()) {
      const WmiProperty* p = FindProperty(instance, q.whereProperty);
      const std::string* text =
          p && !p->isNull && !p->values.empty() ? std::get_if<std::string>(&p->values[0]) : nullptr;
      if (!text || !SameTextIgnoringCase(*text, q.whereValue)) continue;
    }
    if (!q.properties.empty()) {
      for (const std::string& name : q.properties)
        if (!FindProperty(instance, name)) return std::nullopt;  // no such property: an invalid query
      WmiInstance projected;
      for (const WmiProperty& p : instance.properties)
        for (const std::string& name : q.properties)
          if (SameTextIgnoringCase(p.name, name)) projected.properties.push_back(p);
      instance = std::move(projected);
    }
    answer.push_back(std::move(instance));
  }
  return answer;
}

void FakeWmi::Reconnect() {
  connected_ = false;
  connectFailed_ = false;
}

std::vector<WmiInstance> ParseWmiListing(std::string_view text) {
  std::vector<WmiInstance> instances;
  WmiInstance current;
  auto finish = [&] {
    if (!current.properties.empty()) instances.push_back(std::move(current));
    current = {};
  };
  for (const std::string& raw : SplitLines(text)) {
    std::string name, value;
    if (!SplitPropertyLine(raw, name, value)) {
      finish();
      continue;
    }
    if (!AddedByPowerShell(name)) current.properties.push_back(PropertyFromText(name, value));
  }
  finish();
  return instances;
}

std::vector<WmiInstance> ParseWmicList(std::string_view text) {
  std::vector<WmiInstance> instances;
  WmiInstance current;
  for (const std::string& raw : SplitLines(text)) {
    std::string name, value;
    if (!SplitPropertyLine(raw, name, value)) continue;
    if (FindProperty(current, name)) instances.push_back(std::exchange(current, {}));
    current.properties.push_back(PropertyFromText(name, value));
  }
  if (!current.properties.empty()) instances.push_back(std::move(current));
  return instances;
}

std::vector<WmiInstance> ParseWmiColumns(std::string_view text, std::string_view firstColumn) {
  std::vector<std::string> lines = SplitLines(text);
  size_t h = 0;
  while (h < lines.size() && !StartsWith(lines[h], firstColumn)) ++h;
  if (h == lines.size()) return {};
  const std::string& header = lines[h];
  std::vector<size_t> starts;
  for (size_t i = 0; i < header.size(); ++i)
    if (header[i] != ' ' && (i == 0 || header[i - 1] == ' ')) starts.push_back(i);
  std::vector<std::string> names;
  for (size_t c = 0; c < starts.size(); ++c)
    names.push_back(Trim(header.substr(starts[c], c + 1 < starts.size() ? starts[c + 1] - starts[c] : std::string::npos)));
  size_t r = h + 1;
  if (r < lines.size() && !Trim(lines[r]).empty() && Trim(lines[r]).find_first_not_of("- ") == std::string::npos) ++r;
  std::vector<WmiInstance> instances;
  for (; r < lines.size(); ++r) {
    const std::string& line = lines[r];
    if (Trim(line).empty()) break;
    WmiInstance instance;
    for (size_t c = 0; c < starts.size(); ++c) {
      std::string cell;
      if (starts[c] < line.size())
        cell = Trim(line.substr(starts[c], c + 1 < starts.size() ? starts[c + 1] - starts[c] : std::string::npos));
      instance.properties.push_back(PropertyFromText(names[c], cell));
    }
    instances.push_back(std::move(instance));
  }
  return instances;
}

WmiInstance MergeInstances(const std::vector<WmiInstance>& parts) {
  WmiInstance merged;
  for (const WmiInstance& part : parts)
    merged.properties.insert(merged.properties.end(), part.properties.begin(), part.properties.end());
  return merged;
}

WmiProperty* FindProperty(WmiInstance& instance, const std::string& name) {
  for (WmiProperty& p : instance.properties)
    if (SameTextIgnoringCase(p.name, name)) return &p;
  return nullptr;
}

WmiProperty ScalarProperty(const std::string& name, int cimType, WmiScalar value) {
  WmiProperty p;
  p.name = name;
  p.cimType = cimType;
  p.isNull = false;
  p.values.push_back(std::move(value));
  return p;
}

WmiProperty ArrayProperty(const std::string& name, int cimType, std::vector<WmiScalar> values) {
  WmiProperty p;
  p.name = name;
  p.cimType = cimType;
  p.isArray = true;
  p.isNull = false;
  p.values = std::move(values);
  return p;
}

WmiProperty NullProperty(const std::string& name, int cimType, bool isArray) {
  WmiProperty p;
  p.name = name;
  p.cimType = cimType;
  p.isArray = isArray;
  return p;
}

std::string ReadTestData(const std::string& relativePath) {
  const std::string path = std::string(ORV_TEST_DATA) + "/" + relativePath;
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    ADD_FAILURE() << "cannot read " << path;
    return {};
  }
  std::ostringstream out;
  out << in.rdbuf();
  return out.str();
}

}  // namespace orv::test
