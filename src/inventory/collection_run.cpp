#include "inventory/collection_run.h"

#include <algorithm>
#include <cstdio>
#include <string_view>

#include "diskhealth/health_history.h"
#include "diskhealth/health_items.h"
#include "inventory/pc_file.h"
#include "platform/files.h"
#include "platform/network.h"
#include "platform/platform.h"
#include "platform/shell.h"
#include "platform/system.h"
#include "probes/bounded_sources.h"
#include "probes/hardware.h"
#include "probes/installed_updates.h"
#include "probes/network_info.h"
#include "probes/processor.h"
#include "probes/software.h"
#include "probes/windows_info.h"
#include "regscript/printer_details.h"
#include "regscript/lookup_tools.h"
#include "regscript/reg_items.h"
#include "regscript/registry_ex.h"
#include "regscript/value_readers.h"
#include "util/ini_text.h"
#include "util/program_name.h"
#include "util/text.h"
#include "util/text_file.h"

namespace orv {

namespace {

const char* const kCurrentVersion9x = "\\Software\\Microsoft\\Windows\\CurrentVersion";
const char* const kCurrentVersionNT = "\\Software\\Microsoft\\Windows NT\\CurrentVersion";
const char* const kVnetsup = "\\System\\CurrentControlSet\\Services\\VxD\\VNETSUP";

// Reads one string value of a key of the current root; empty when the key, the value or the type
// is missing. The run never stops for one unreadable value.
std::string RegText(TRegistryEx& reg, const std::string& keyPath, const std::string& name) {
  if (!reg.OpenKeyReadOnly(keyPath)) return {};
  try {
    if (reg.GetDataType(name) == RegDataType::Integer) return std::to_string(reg.ReadInteger(name));
    return reg.ReadString(name);
  } catch (const ERegistryError&) {
    return {};
  }
}

// The text after the last comma ("x,y,WG" -> "WG").
std::string AfterLastComma(const std::string& s) {
  size_t cut = s.rfind(',');
  return cut == std::string::npos ? s : s.substr(cut + 1);
}

std::string ReplaceServicePack(const std::string& s) { return ReplaceAll(s, "Service Pack ", "SP"); }

// The service pack WMI reports. Windows without service packs (every release since 8) answers
// null, which the rendering turns into "NULL": that is no service pack, not a name to show.
std::string WmiServicePack(IWmi& wmi) {
  std::string csd = GetOSProperty(wmi, "CSDVersion");
  return csd == "NULL" ? std::string() : csd;
}

std::string DropMicrosoftWindows(const std::string& s) {
  static const std::string prefix = "Microsoft Windows ";
  return StartsWith(s, prefix) ? s.substr(prefix.size()) : s;
}

// Row 12 when WMI names no model: maker and product / manufacturer and model / model number.
std::string MakerText(TRegistryEx& reg, IFiles& files, const ITextCodec& codec, const std::string& windowsFolder,
                      bool is9x) {
  const std::string oem = "\\Software\\Microsoft\\Windows\\CurrentVersion\\WindowsUpdate\\OemInfo";
  std::string maker = TrimTrailingSpaces(RegText(reg, oem, "SmbOem")) + " " + RegText(reg, oem, "SmbProduct");
  if (CharCount(maker) < 2)
    maker = TrimTrailingSpaces(RegText(reg, oem, "WbemOem")) + " " + RegText(reg, oem, "WbemProduct");
  std::string ini = windowsFolder + (is9x ? "system\\oeminfo.ini" : "system32\\oeminfo.ini");
  std::string manufacturer, model;
  if (auto lines = ReadTextLines(files, codec, ini)) {
    manufacturer = IniValue(*lines, "General", "Manufacturer").value_or("");
    model = IniValue(*lines, "General", "Model").value_or("");
  }
  std::string modelNum = RegText(reg, "\\Software\\environment\\registration\\customerinfo", "ModelNum");
  return maker + "/" + manufacturer + " " + model + "/" + modelNum;
}

// Rows 32 and 34 on 9x come from the automatic-update state file.
struct AuState {
  std::string lastUpdate, setting;
};

AuState ReadAuState(IFiles& files, const std::string& programFilesFolder) {
  AuState s;
  auto bytes = files.ReadFile(programFilesFolder + "\\WindowsUpdate\\AUState.cfg");
  if (!bytes) return s;
  if (bytes->size() > 32) s.lastUpdate = ReplaceAll(bytes->substr(32, 19), ".", "/");
  if (bytes->size() > 16) {
    switch (static_cast<unsigned char>((*bytes)[16])) {
      case 1: s.setting = "3:自動ダウンロード後通知"; break;
      case 2: s.setting = "2:ダウンロード前に通知"; break;
      case 3: s.setting = "1:マニュアル"; break;
      default: break;
    }
  }
  return s;
}

std::string AutoUpdateSettingOf(TRegistryEx& reg, const char* keyPath) {
  if (!reg.OpenKeyReadOnly(keyPath)) return {};
  if (reg.GetDataType("AUOptions") != RegDataType::Integer) return {};
  try {
    switch (int32_t v = reg.ReadInteger("AUOptions")) {
      case 4: return "4:自動アップデート";
      case 3: return "3:自動ダウンロード後通知";
      case 2: return "2:ダウンロード前に通知";
      case 1: return "1:マニュアル";
      default: return std::to_string(v);
    }
  } catch (const ERegistryError&) {
    return {};
  }
}

// Row 34. Where Group Policy sets Windows Update (the usual case in a managed fleet), the setting
// lives in the policy key and the key of the control panel has none.
std::string AutoUpdateSettingNT(TRegistryEx& reg) {
  std::string setting =
      AutoUpdateSettingOf(reg, "\\Software\\Microsoft\\Windows\\CurrentVersion\\WindowsUpdate\\Auto Update");
  if (setting.empty()) setting = AutoUpdateSettingOf(reg, "\\SOFTWARE\\Policies\\Microsoft\\Windows\\WindowsUpdate\\AU");
  return setting;
}

// Row 31 on NT. "CurrentVersion" stays "6.3" on Windows 10 and 11; their version is in the two
// integer values beside it.
std::string WindowsVersionNT(TRegistryEx& reg) {
  const std::string build = RegText(reg, kCurrentVersionNT, "CurrentBuildNumber");
  try {
    if (reg.OpenKeyReadOnly(kCurrentVersionNT) && reg.GetDataType("CurrentMajorVersionNumber") == RegDataType::Integer &&
        reg.GetDataType("CurrentMinorVersionNumber") == RegDataType::Integer)
      return std::to_string(reg.ReadInteger("CurrentMajorVersionNumber")) + "." +
             std::to_string(reg.ReadInteger("CurrentMinorVersionNumber")) + "." + build;
  } catch (const ERegistryError&) {
  }
  return RegText(reg, kCurrentVersionNT, "CurrentVersion") + "." + build;
}

// The patch rows when the uninstall list has no dated update: the installed updates, in the
// patch list's own form (its date text sorts them, the text after "0@" is the row).
void AddUpdatePatches(const std::vector<WindowsUpdate>& updates, std::vector<std::string>& patches) {
  for (const WindowsUpdate& update : updates) patches.push_back(update.date + " " + update.kb + "0@" + UpdateLine(update));
  SortTextList(patches);
}

// Row 35: the Administrators group counts also when UAC has filtered the token, as it does for
// every administrator who has not chosen "run as administrator".
bool IsAdministrator(Platform& p) { return IsUserAdmin(p.shell) || p.system.IsAdministratorsMember().value_or(false); }

std::string InstallDate(TRegistryEx& reg, bool is9x) {
  try {
    if (is9x) {
      if (!reg.OpenKeyReadOnly(kCurrentVersion9x)) return {};
      auto bytes = reg.ReadBinaryData("FirstInstallDateTime");
      if (bytes.size() < 4) return {};
      uint32_t packed = bytes[0] | (bytes[1] << 8) | (bytes[2] << 16) | (static_cast<uint32_t>(bytes[3]) << 24);
      return PackedFileDateTime(packed);
    }
    if (!reg.OpenKeyReadOnly(kCurrentVersionNT) || reg.GetDataType("InstallDate") != RegDataType::Integer) return {};
    return FormatDateTime(UnixTimeToDateTime(reg.ReadInteger("InstallDate")));
  } catch (const ERegistryError&) {
    return {};
  }
}

std::string WindowsProductName(TRegistryEx& reg, IWmi& wmi, bool is9x) {
  if (is9x) {
    std::string name = RegText(reg, kCurrentVersion9x, "ProductName");
    auto parts = Split(RegText(reg, kCurrentVersion9x, "VersionNumber"), '.');
    int build = parts.size() > 2 ? ParseInt32(parts[2]).value_or(0) : 0;
    if (Contains(name, "95")) {
      if (build > 1211)
        name += " OSR2";
      else if (build > 1110)
        name += " OSR1";
    } else if (Contains(name, "98") && build > 2221) {
      name += " SE";
    }
    std::string csd = WmiServicePack(wmi);
    std::string value = csd.empty() ? name : GetOSProperty(wmi, "Caption") + " " + ReplaceServicePack(csd);
    return DropMicrosoftWindows(value);
  }
  std::string version = RegText(reg, kCurrentVersionNT, "CurrentVersion");
  std::string name;
  if (StartsWith(version, "3.")) {
    name = "Microsoft Windows NT 3.51";
  } else if (StartsWith(version, "4.")) {
    std::string type = RegText(reg, "\\SYSTEM\\CurrentControlSet\\Control\\ProductOptions", "ProductType");
    name = std::string("Microsoft Windows NT 4.0") + (SameTextIgnoringCase(type, "WinNT") ? " WorkStation" : " Server");
  } else {
    name = RegText(reg, kCurrentVersionNT, "ProductName");
  }
  if (std::string csd = RegText(reg, kCurrentVersionNT, "CSDVersion"); !csd.empty()) name += " " + ReplaceServicePack(csd);
  // The WMI caption is preferred; without one the registry's name (with its service pack) stands.
  // Windows without a service pack (every release since 8) gets no blank after its caption.
  std::string caption = GetOSProperty(wmi, "Caption");
  const std::string servicePack = ReplaceServicePack(WmiServicePack(wmi));
  std::string value = caption.empty() ? name : servicePack.empty() ? caption : caption + " " + servicePack;
  return DropMicrosoftWindows(value);
}

}  // namespace

std::string FormatClockMHz(int64_t hertz) {
  int64_t c = hertz / 1000000;
  if (c >= 100) {
    size_t digits = std::to_string(c).size();
    int64_t u = digits == 3 ? 10 : digits == 4 ? 100 : digits == 5 ? 1000 : 10000;
    c = ((c + u / 2) / u) * u;
  }
  // "###." writes no digit for zero.
  return c == 0 ? std::string() : std::to_string(c);
}

std::string RoundMemoryMB(const std::string& megabytes) {
  auto m = ParseInt64(megabytes);
  if (!m) return {};
  return std::to_string(((*m + 4) / 8) * 8);
}

std::string GroupProductId(const std::string& id) {
  if (id.empty() || Contains(id, "-")) return id;
  return CharSubstr(id, 0, 5) + "-" + CharSubstr(id, 5, 3) + "-" + CharSubstr(id, 8, 7) + "-" + CharSubstr(id, 15, 5);
}

std::string ServerOfFolder(const std::string& saveFolder) {
  size_t cut = saveFolder.size() > 3 ? saveFolder.find('\\', 3) : std::string::npos;
  return cut == std::string::npos ? saveFolder : saveFolder.substr(0, cut);
}

std::string ClockDifferenceMinutes(const std::string& localTime, const std::string& serverTime) {
  DateTime local, server;
  if (!ParseDateTime(localTime, local) || !ParseDateTime(serverTime, server)) return {};
  double minutes = (ToDayCount(local) - ToDayCount(server)) * 24 * 60;
  char buf[64];
  std::snprintf(buf, sizeof buf, "%8.2f", minutes);
  return buf;
}

std::string PackedFileDateTime(uint32_t packed) {
  uint16_t date = static_cast<uint16_t>(packed >> 16), time = static_cast<uint16_t>(packed & 0xFFFF);
  DateTime t;
  t.year = 1980 + (date >> 9);
  t.month = (date >> 5) & 0x0F;
  t.day = date & 0x1F;
  t.hour = time >> 11;
  t.minute = (time >> 5) & 0x3F;
  t.second = (time & 0x1F) * 2;
  if (t.month < 1 || t.month > 12 || t.day < 1 || t.day > 31 || t.hour > 23 || t.minute > 59 || t.second > 59)
    return {};
  DateTime check;
  if (!ParseDateTime(FormatDateTime(t), check)) return {};
  return FormatDateTime(t);
}

std::vector<std::string> ProgramAndPatchRows(const std::vector<std::string>& programs,
                                             const std::vector<std::string>& patches) {
  std::vector<std::string> rows = programs;
  if (rows.size() < 100) rows.resize(100);
  for (auto it = patches.rbegin(); it != patches.rend(); ++it) {
    size_t at = it->find("0@");
    std::string text = at == std::string::npos ? std::string() : it->substr(at + 2);
    rows.push_back(LeftChars(text, 512));
  }
  return rows;
}

namespace {

struct ComputerIdentity {
  std::string computer, workgroup;
};

ComputerIdentity ReadComputerIdentity(Platform& p, TRegistryEx& reg, bool is9x) {
  return {GetComputerNameText(p.system),
          is9x ? AfterLastComma(RegText(reg, kVnetsup, "WorkGroup")) : GetWorkgroupName(p.network)};
}

}  // namespace

std::string ComputerStem(Platform& p) {
  TRegistryEx reg(p.registry);
  reg.SetRootKey(RegRoot::LocalMachine);
  const auto id = ReadComputerIdentity(p, reg, p.system.GetOsVersion().platformId == 1);
  return id.computer + "__" + id.workgroup;
}

CollectionResult CollectRecord(CollectionServices& services, const CollectionInput& input,
                               const std::string& programFolder, ITextSink& memo,
                               const std::function<void(const std::string&)>& addValue) {
  // Each run connects to WMI anew, and WMI and the update history share one time budget (the
  // script's words use them through the same bounds).
  services.wmi.Reconnect();
  SourceBudget budget(services.wmiBudget, services.now);
  BoundedWmi wmi(services.wmi, budget);
  BoundedUpdateHistory updateHistory(services.platform.updateHistory, budget);
  Platform p = services.platform;
  p.wmi = &wmi;
  p.updateHistory = &updateHistory;
  TRegistryEx reg(p.registry);
  reg.SetRootKey(RegRoot::LocalMachine);

  const OsVersion os = p.system.GetOsVersion();
  CollectionResult result;
  result.keyOpen = input.keyOpen;
  result.osKind = os.platformId == 2 ? "NT" : "9x";
  const bool is9x = os.platformId == 1;
  const char* currentVersion = is9x ? kCurrentVersion9x : kCurrentVersionNT;
  auto mark = [&services](const char* group) {
    if (services.groupDone) services.groupDone(group);
  };

  // Rows 1 and 2: the file stem and this program.
  const auto [computer, workgroup] = ReadComputerIdentity(p, reg, is9x);
  result.computerStem = computer + "__" + workgroup;
  addValue(result.computerStem);
  addValue(kProgramVersionText);

  // Rows 3 to 11: user, workgroup or domain, computer, comment, owner and organisation.
  addValue(GetLogonUserName(p.system));
  addValue(GetNetworkUserName(p.system));
  if (is9x) {
    addValue(AfterLastComma(RegText(reg, kVnetsup, "WorkGroup")));
    addValue(RegText(reg, "\\System\\CurrentControlSet\\Services\\VxD\\MSTCP", "Domain"));
  } else if (IsDomainMember(p.network)) {
    addValue("");
    addValue(workgroup);
  } else {
    addValue(workgroup);
    addValue("");
  }
  addValue("");
  addValue(computer);
  addValue(is9x ? RegText(reg, kVnetsup, "Comment")
                : RegText(reg, "\\System\\CurrentControlSet\\Services\\lanmanserver\\parameters", "srvcomment"));
  addValue(RegText(reg, currentVersion, "RegisteredOwner"));
  addValue(RegText(reg, currentVersion, "RegisteredOrganization"));

  mark("identity");
  // Row 12: the model.
  const std::string windowsFolder = GetWindowsFolder(p.system);
  std::string model = is9x ? std::string() : GetComputerModel(wmi);
  if (model.empty()) model = MakerText(reg, p.files, p.codec, windowsFolder, is9x);
  addValue(model);

  mark("model");
  // Rows 13 to 17: processor, clock, memory speed and cache, memory, page file.
  std::string cpuName = Trim(GetProcessorProperty(wmi, "Name"));
  if (cpuName.empty()) cpuName = RegText(reg, "\\Hardware\\Description\\System\\CentralProcessor\\0", "Identifier");
  if (cpuName.empty()) cpuName = GetProcessorName(services.cpu);
  addValue(cpuName);
  addValue(FormatClockMHz(MeasureProcessorClock(services.cpu)));
  addValue(GetMemorySpeed(wmi) + "/" + Trim(GetProcessorProperty(wmi, "L2CacheSize")));
  addValue(RoundMemoryMB(GetPhysicalMemoryMB(p.system)));
  addValue(GetPageFileMB(p.system));

  mark("processor and memory");
  // Rows 18 to 23: the Windows drive and the next one.
  const std::string systemFolder = GetSystemFolder(p.system);
  const int windowsDrive = (!systemFolder.empty() && (systemFolder[0] == 'a' || systemFolder[0] == 'A')) ? 1 : 3;
  for (int d = windowsDrive; d <= windowsDrive + 1; ++d) {
    DriveInfoText info = GetDriveInfo(p.system, d);
    std::string letter(1, static_cast<char>('A' + d - 1));
    if (d == windowsDrive)
      addValue(letter + ": " + info.fileSystem);
    else
      addValue(info.freeMB.empty() ? std::string() : letter + ": " + info.fileSystem);
    addValue(info.freeMB);
    addValue(info.sizeMB);
  }

  mark("drives");
  // Rows 24 and 25: time of the run and the clock difference to the save folder's server.
  addValue(FormatNow(p.system));
  std::string clockDifference;
  if (!is9x && !input.saveFolder.empty() && p.files.DirectoryExists(input.saveFolder)) {
    std::string serverTime = GetServerTime(p.network, ServerOfFolder(input.saveFolder));
    std::string localTime = GetServerTime(p.network, "");
    clockDifference = ClockDifferenceMinutes(localTime, serverTime);
  }
  addValue(result.osKind == "NT" ? clockDifference : std::string());

  mark("time");
  // Rows 26 to 29: folders and screen.
  addValue(systemFolder);
  addValue(GetDocumentsFolder(p.system));
  addValue(std::to_string(p.system.ScreenWidth()));
  addValue(std::to_string(p.system.ColorBits()));

  mark("folders and screen");
  std::vector<std::string> programs, patches;
  reg.SetRootKey(RegRoot::LocalMachine);
  const bool patchesDated = CollectInstalledSoftware(reg, programs, patches) != kNoPatchDate;
  reg.SetRootKey(RegRoot::LocalMachine);
  result.programFilesFolder = ReadProgramFilesFolder(reg);

  mark("installed software");
  // Rows 30 to 40: Windows.
  result.windowsProductName = WindowsProductName(reg, wmi, is9x);
  addValue(result.windowsProductName);
  if (is9x) {
    addValue(RegText(reg, kCurrentVersion9x, "VersionNumber"));
    AuState au = ReadAuState(p.files, result.programFilesFolder);
    addValue(au.lastUpdate);
    addValue("");
    addValue(au.setting);
    addValue("");
  } else {
    addValue(WindowsVersionNT(reg));
    std::vector<std::string> dates;
    CollectUpdateDates(reg, "\\Software\\Microsoft\\Updates", dates);
    std::sort(dates.begin(), dates.end());
    // Windows 10 and 11 write their updates to neither of the lists the rows were made for.
    std::vector<WindowsUpdate> updates;
    if (dates.empty() || !patchesDated) updates = InstalledWindowsUpdates(wmi, &updateHistory);
    std::string lastUpdate = dates.empty() ? std::string() : dates.back();
    if (dates.empty() && !updates.empty() && updates.front().date != kUnknownUpdateDate)
      lastUpdate = updates.front().date;
    addValue(lastUpdate);
    if (!patchesDated) AddUpdatePatches(updates, patches);
    addValue("");
    addValue(AutoUpdateSettingNT(reg));
    addValue(IsAdministrator(p) ? "AdminUser" : "Non-AdminUser");
  }
  addValue(InstallDate(reg, is9x));
  addValue(GroupProductId(RegText(reg, currentVersion, "ProductId")));
  addValue(RegText(reg, currentVersion, "ProductKey"));
  if (is9x) {
    std::string plus = RegText(reg, kCurrentVersion9x, "Plus! VersionNumber");
    if (StartsWith(plus, "IE")) plus = CharSubstr(plus, 5);
    addValue(GetIEVersionLabel(plus));
  } else {
    addValue(GetIEVersionLabel(RegText(reg, "\\SOFTWARE\\Microsoft\\Internet Explorer", "Version")));
  }
  addValue(RegText(reg, "\\Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings", "MinorVersion"));

  mark("windows");
  // Rows 41 to 45: input method and default printer.
  addValue(p.system.DefaultImeName());
  std::string printer = p.system.DefaultPrinter().value_or("");
  addValue(printer);
  auto [driver, port] = printer.empty() ? std::pair<std::string, std::string>()
                                        : PrinterDetails(reg, result.keyOpen, PrinterSearchName(printer, is9x));
  addValue(driver);
  addValue(port);
  std::string color;
  if (!printer.empty()) {
    if (auto c = p.system.PrinterColor(printer)) color = *c == 2 ? "2:Color" : *c == 1 ? "1:Black" : std::to_string(*c);
  }
  addValue(color);

  mark("printer");
  // Rows 46 and 47: host name and address (the first lookup starts the socket layer).
  GetHostAddress(p.dialogs, p.network, "");
  std::string host = p.network.HostName().value_or("");
  addValue(host);
  addValue(FormatAddressColumns(GetHostAddress(p.dialogs, p.network, host)));

  mark("host");
  // Rows 48 to 55: hardware.
  addValue(GetMemorySlots(wmi));
  addValue(GetMemoryArray(wmi));
  addValue(Trim(GetBaseBoard(wmi)));
  addValue(GetBiosVersion(wmi));
  addValue(GetProcessorProperty(wmi, "ProcessorId"));
  addValue(GetCDROMName(wmi));
  addValue(GetDiskModel(wmi, 0));
  addValue(Trim(GetDiskSerial(wmi, 0)));

  mark("hardware");
  // Rows 56 to 61: disk health, with the history of this computer as the fallback.
  const std::string pcFile = PcFilePath(p.files, input.saveFolder, programFolder, result.computerStem);
  DiskHealthItems(p, HealthHistoryFile(pcFile), addValue);

  mark("disk health");
  // Rows 62 to 77: two network adapters; rows 78 to 84: anti-virus.
  CollectAdapters(wmi, addValue);
  reg.SetRootKey(RegRoot::LocalMachine);
  GetAntiVirusStatus(reg, p.files, addValue);

  mark("adapters and anti-virus");
  // Rows 85 to 88: network components; row 89: dial-up; row 90: hours since start.
  reg.SetRootKey(RegRoot::LocalMachine);
  const std::string componentKey =
      is9x ? "\\System\\CurrentControlSet\\Services\\Class\\NetTrans" : "\\System\\CurrentControlSet\\Control\\Network";
  const std::string componentValue = is9x ? "DriverDesc" : "Description";
  // Japanese Windows 8 and later write "プリンター共有" (with the long vowel mark).
  std::string printerSharing = FindNetworkComponent(reg, componentKey, componentValue, "プリンタ共有");
  if (printerSharing.empty()) printerSharing = FindNetworkComponent(reg, componentKey, componentValue, "プリンター共有");
  addValue(printerSharing);
  for (const char* text : {"TCP/IP", "IPX/SPX", "NetBEUI"})
    addValue(FindNetworkComponent(reg, componentKey, componentValue, text));
  addValue(EnumDialUpEntries(p.network));
  addValue(std::to_string(p.system.MillisecondsSinceStart() / 3600 / 1000));

  mark("components, dial-up, uptime");
  // The script rows, then programs and patches.
  reg.SetRootKey(RegRoot::LocalMachine);
  ReaderContext readers = ReaderContext::From(reg, result.keyOpen, result.programFilesFolder, p);
  RegItemsContext script{readers, p, programs, result.windowsProductName, programFolder, addValue, memo};
  result.scriptUnreadable = !EvaluateRegItems(script, result.osKind);
  for (const auto& row : ProgramAndPatchRows(programs, patches)) addValue(row);
  mark("script, programs, patches");
  return result;
}

}  // namespace orv
