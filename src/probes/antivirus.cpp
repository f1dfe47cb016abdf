// The anti-virus status: seven items from the registry entries of the two product lines the
// program knows, always seven and always in the same order, read in either registry view.
#include <algorithm>
#include <optional>

#include "platform/clock.h"
#include "platform/files.h"
#include "probes/software.h"
#include "regscript/registry_ex.h"
#include "regscript/value_readers.h"
#include "util/text.h"

namespace orv {

namespace {

constexpr const char* kProductKeys[] = {
    "\\Software\\Network Associates\\ePolicy Orchestrator\\Application Plugins\\VIRUSCAN8000",
    "\\Software\\Network Associates\\ePolicy Orchestrator\\Application Plugins\\VIRUSCAN7100",
    "\\Software\\Network Associates\\ePolicy Orchestrator\\Application Plugins\\VIRUSCAN6500",
};
constexpr const char* kEngineKey =
    "\\SOFTWARE\\Network Associates\\TVD\\Shared Components\\VirusScan Engine\\4.0.xx";
constexpr const char* kOnlineKey = "\\Software\\McAfee.com\\Virusscan Online";
constexpr const char* kLastDataKey =
    "\\Software\\Network Associates\\TVD\\VirusScan Enterprise\\CurrentVersion\\TaskLastData\\"
    "{818C7543-358A-4C84-899A-14334EMS4BGS}";
constexpr const char* kTaskKey =
    "\\Software\\Network Associates\\TVD\\VirusScan Enterprise\\CurrentVersion\\Tasks\\"
    "{818C7543-358A-4C84-899A-14334EMS4BGS}";
constexpr const char* kMcShieldKey =
    "\\Software\\Network Associates\\TVD\\Shared Components\\On Access Scanner\\McShield\\Configuration";
constexpr const char* kScanTaskKey =
    "\\SOFTWARE\\Network Associates\\TVD\\VirusScan\\AVConsol\\ScanTasks\\item_3";
constexpr const char* kVirusScanKey = "\\Software\\Network Associates\\TVD\\VirusScan";
constexpr const char* kPatternKeys[] = {
    "\\Software\\TrendMicro\\PC-cillinNTCorp\\CurrentVersion\\Misc.",
    "\\SOFTWARE\\TrendMicro\\PC-cillinNTCorp\\Misc.",
};
constexpr const char* kManualScanKey = "\\SOFTWARE\\TrendMicro\\PC-cillin\\ManualScan";

constexpr const char* kAllUsersVariable = "%ALLUSERSPROFILE%";
constexpr const char* kAllUsersFolder = "c:\\Documents and Settings\\All Users";

// The scanner's end time counts seconds from 1601-01-01, the day -109205 of the day count; the
// time is shown in Japanese standard time, nine hours ahead, whatever this PC's zone.
constexpr int kDayCount1601 = -109205;
constexpr int64_t kJapanOffsetSeconds = 9 * 3600;
constexpr size_t kEndTimeLength = 11;

struct Items {
  std::string productVersion;  // the "Version" value; the item is it with a "'" in front
  std::string engine, definition, lastScan, infected, onAccess, pattern;
};

// Both product lines are 32-bit programs: on 64-bit Windows their keys are in the 32-bit view
// (under WOW6432Node), which a 64-bit program reads only when it asks for it. A key is read in
// the program's own view when it is there, else in the 32-bit view.
class Views {
 public:
  explicit Views(TRegistryEx& native) : native_(native), wow32_(native.Registry(), RegView::Wow32) {
    wow32_.SetRootKey(native.CurrentRoot());
  }
  // The registry object in which `keyPath` is now open; nullptr when neither view has it.
  TRegistryEx* Open(const char* keyPath) {
    if (native_.OpenKeyReadOnly(keyPath)) return &native_;
    if (wow32_.OpenKeyReadOnly(keyPath)) return &wow32_;
    return nullptr;
  }
  void Close() {
    native_.CloseKey();
    wow32_.CloseKey();
  }

 private:
  TRegistryEx& native_;
  TRegistryEx wow32_;
};

// A value of `keyPath` as text; "" when the key cannot be opened.
std::string ValueOf(Views& views, const char* keyPath, const char* name) {
  TRegistryEx* reg = views.Open(keyPath);
  return reg ? ReadRegValue(*reg, name) : std::string();
}

// A string value of `keyPath`; "" when the key, or a string value of that name, is absent.
std::string StringValueOf(Views& views, const char* keyPath, const char* name) {
  TRegistryEx* reg = views.Open(keyPath);
  if (!reg) return {};
  const RegDataType type = reg->GetDataType(name);
  if (type != RegDataType::String && type != RegDataType::ExpandString) return {};
  return reg->ReadString(name);
}

std::string LastChars(const std::string& s, size_t count) {
  const size_t length = CharCount(s);
  return CharSubstr(s, length > count ? length - count : 0);
}

// Seconds since 1601-01-01 00:00:00 as "yyyy/mm/dd hh:mm:ss" nine hours later.
std::string EndTimeText(int64_t seconds) {
  seconds += kJapanOffsetSeconds;
  int64_t days = seconds / 86400, inDay = seconds % 86400;
  if (inDay < 0) {
    inDay += 86400;
    --days;
  }
  DateTime t = FromDayCount(static_cast<double>(kDayCount1601 + days));
  t.hour = static_cast<int>(inDay / 3600);
  t.minute = static_cast<int>(inDay / 60 % 60);
  t.second = static_cast<int>(inDay % 60);
  return FormatDateTime(t);
}

// "0" when the on-access scanner is set not to start, "1" when it starts, "" when not configured.
// A setting that could not be read stays the reader's "Error!": it says nothing about the scanner.
std::string OnAccessFlag(Views& views) {
  const std::string disabled = ValueOf(views, kMcShieldKey, "bStartDisabled");
  if (disabled.empty() || disabled == "Error!") return disabled;
  const std::optional<int64_t> number = ParseInt64(disabled);
  return number && *number == 0 ? "1" : "0";
}

// Version 8: the last run of the on-demand task.
void ReadVersion8Scan(Views& views, Items& items) {
  TRegistryEx* reg = views.Open(kLastDataKey);
  if (!reg) return;
  const std::string endTime = ReadRegValue(*reg, "szEndTime");
  if (CharCount(endTime) < kEndTimeLength) return;
  // An end time that is not a number leaves the date empty; the other two items still stand.
  if (std::optional<int64_t> seconds = ParseInt64(LeftChars(endTime, kEndTimeLength)))
    items.lastScan = EndTimeText(*seconds);
  items.infected = ReadRegValue(*reg, "nFileInfected");
  items.onAccess = OnAccessFlag(views);
}

// Version 7: the task's counter and the time its log file was last written.
void ReadVersion7Scan(Views& views, IFiles& files, Items& items) {
  if (TRegistryEx* reg = views.Open(kTaskKey)) {
    items.infected = ReadRegValue(*reg, "dwNumFInfected");
    std::string logFile = ReadRegValue(*reg, "szLogFileName");
    // Environment variable names are not case-sensitive.
    if (SameTextIgnoringCase(LeftChars(logFile, CharCount(kAllUsersVariable)), kAllUsersVariable))
      logFile = kAllUsersFolder + logFile.substr(std::string_view(kAllUsersVariable).size());
    if (!logFile.empty() && files.FileExists(logFile))
      if (std::optional<DateTime> written = files.LastWriteTime(logFile))
        items.lastScan = FormatDateTime(*written);
  }
  items.onAccess = OnAccessFlag(views);
}

// "2003,7,9,10,5,30,..." (year, month, day, hour, minute, second, ...) -> "2003/7/9 10:05:30".
// Year to hour stay as written. The seconds are the two characters after the fifth comma, so a
// one-digit second brings the comma that follows it along ("3," for "...,5,3,...").
// The seconds are the sixth field: the two characters after the fifth comma would take the comma
// itself into the time when the seconds have one digit ("...,5,3,..." -> "3,").
std::string ScanStartedText(const std::string& started) {
  if (!StartsWith(started, "2")) return {};
  const std::vector<std::string> fields = Split(started, ',');
  auto field = [&fields](size_t i) { return i < fields.size() ? fields[i] : std::string(); };
  return field(0) + "/" + field(1) + "/" + field(2) + " " + field(3) + ":" + LastChars("0" + field(4), 2) +
         ":" + LastChars("0" + field(5), 2);
}

// Versions before 7: the console's scheduled scan and the shield setting.
void ReadOlderScan(Views& views, Items& items) {
  if (TRegistryEx* reg = views.Open(kScanTaskKey)) {
    items.lastScan = ScanStartedText(ReadRegValue(*reg, "szTimeScanStarted"));
    items.infected = ReadRegValue(*reg, "uNumInfectedFiles");
  }
  items.onAccess = ValueOf(views, kVirusScanKey, "bVshieldEnabled");
}

// Definition version: the newest of the three places a definition version is kept.
std::string DefinitionVersion(Views& views) {
  std::string definition, newer;
  if (TRegistryEx* reg = views.Open(kEngineKey)) {
    definition = ReadRegValue(*reg, "szDatVersion");
    newer = ReadRegValue(*reg, "szVirDefVer");
  }
  if (VersionToNumber(newer) > VersionToNumber(definition)) definition = newer;
  const std::string sourceDisk = ValueOf(views, kOnlineKey, "SourceDisk");
  const size_t equals = sourceDisk.find('=');
  const std::string online =
      equals == std::string::npos ? std::string() : CharSubstr(sourceDisk.substr(equals + 1), 0, 8);
  if (VersionToNumber(online) > VersionToNumber(definition)) definition = online;
  return definition;
}

// A scan end time "yyyymmddhhmmss" ordered by its digits from the year's third to the minute.
int64_t ScanEndOrder(const std::string& endTime) {
  return ParseInt64(CharSubstr(endTime, 2, 10)).value_or(0);
}

// Second product line: pattern versions, then the newer of the two manual scans' end times.
std::string PatternAndScan(Views& views) {
  std::string pattern;
  for (const char* key : kPatternKeys) pattern += StringValueOf(views, key, "PatternVer");
  std::string full, manual;
  if (TRegistryEx* reg = views.Open(kManualScanKey)) {
    full = ReadRegValue(*reg, "LastTScanEndTime");
    manual = ReadRegValue(*reg, "LastMScanEndTime");
  }
  const std::string& latest = ScanEndOrder(full) > ScanEndOrder(manual) ? full : manual;
  if (!StartsWith(latest, "2")) return pattern;
  auto part = [&latest](size_t from, size_t count) { return CharSubstr(latest, from, count); };
  return pattern + " " + part(0, 4) + "/" + part(4, 2) + "/" + part(6, 2) + " " + part(8, 2) + ":" +
         part(10, 2) + ":" + part(12, 2);
}

// Runs one step; a registry error leaves the items it had not reached empty.
template <typename Step>
void Guarded(Step step) {
  try {
    step();
  } catch (const ERegistryError&) {
  }
}

}  // namespace

void GetAntiVirusStatus(TRegistryEx& reg, IFiles& files,
                        const std::function<void(const std::string&)>& addValue) {
  Items items;
  Views views(reg);
  Guarded([&] {
    for (const char* key : kProductKeys) {
      items.productVersion = ValueOf(views, key, "Version");
      if (!items.productVersion.empty()) break;
    }
  });
  Guarded([&] { items.engine = ValueOf(views, kEngineKey, "szEngineVer"); });
  Guarded([&] { items.definition = DefinitionVersion(views); });
  Guarded([&] {
    if (StartsWith(items.productVersion, "8"))
      ReadVersion8Scan(views, items);
    else if (StartsWith(items.productVersion, "7"))
      ReadVersion7Scan(views, files, items);
    else
      ReadOlderScan(views, items);
  });
  Guarded([&] { items.pattern = PatternAndScan(views); });
  views.Close();

  addValue("'" + items.productVersion);
  addValue(items.engine);
  addValue(items.definition);
  addValue(items.lastScan);
  addValue(items.infected);
  addValue(items.onAccess);
  addValue(items.pattern);
}

}  // namespace orv
