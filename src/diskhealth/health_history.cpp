#include "diskhealth/health_history.h"

#include <iterator>

#include "diskhealth/smart_attributes.h"
#include "diskhealth/smart_read.h"
#include "platform/dialogs.h"
#include "platform/files.h"
#include "platform/platform.h"
#include "platform/system.h"
#include "platform/text_codec.h"
#include "util/text.h"
#include "util/text_file.h"

namespace orv {

namespace {

// The attributes every drive block starts with, in this order.
constexpr int kFixedIds[] = {1, 5, 7, 10, 3, 194};

constexpr size_t kMinDataLineBytes = 50;
constexpr size_t kEventNameWidth = 19;

constexpr const char* kFailureText =
    "【重要】ハードディスクが故障しました\n作業をやめ直ちにシステム担当者に連絡してください";
constexpr const char* kWorseningText =
    "【お知らせ】ハードディスクの状態が悪化してきています\n"
    "故障が予想されますので重要ファイルをバックアップしてください";
constexpr const char* kEraseQuestion = "HDD履歴を削除してよろしいか";

// A text written into a history field: the file is split at every comma, so a comma inside a
// drive's own text would shift every later column.
std::string FieldText(const std::string& s) { return ReplaceAll(s, ",", " "); }

// The ids of a drive's attribute groups: the fixed six, then every further logged id in slot
// order, each once.
std::vector<int> GroupIds(const TSmartResult& r) {
  std::vector<int> ids(std::begin(kFixedIds), std::end(kFixedIds));
  const int count = r.AttrCount < 0 ? 0 : (r.AttrCount > kSmartSlots ? kSmartSlots : r.AttrCount);
  for (int i = 0; i < count; ++i) {
    const int id = r.AttrId[i];
    if (!IsLoggedAttrId(id)) continue;
    bool seen = false;
    for (int written : ids) seen = seen || written == id;
    if (!seen) ids.push_back(id);
  }
  return ids;
}

std::string DataGroup(const TSmartResult& r, int id) {
  const int i = FindSlot(r, id);
  if (i < 0) return ",,,,";
  return r.AttrStatus[i] + "," + std::to_string(r.Current[i]) + "," + std::to_string(r.Worst[i]) + "," +
         std::to_string(r.Threshold[i]) + "," + std::to_string(r.RawValue[i]);
}

std::string EnglishGroup(const TSmartResult& r, int id) {
  const int i = FindSlot(r, id);
  if (i < 0) return ",,,,,";
  return std::string(r.PreFailure[i] ? "*" : "") + std::to_string(id) + ": " + FieldText(r.AttrName[i]) +
         ",Current,Worst,Threshold,Raw Value,";
}

std::string JapaneseGroup(const TSmartResult& r, int id) {
  if (FindSlot(r, id) < 0) return ",,,,,";
  return JapaneseAttrNames(id) + ",現在値,最悪値,閾値,生データ,";
}

bool AppendEvent(Platform& p, const std::string& folder, HealthEventLog log, const std::string& line) {
  // One whole line per write call: many PCs append to the same shared file.
  return p.files.AppendToFile(folder + "\\" + HealthEventLogName(log), p.codec.ToCp932(line) + "\r\n");
}

}  // namespace

std::string HealthHistoryFolder(const std::string& pcFilePath) { return ExtractFilePath(pcFilePath) + "hdd"; }

std::string HealthHistoryFile(const std::string& pcFilePath) {
  return HealthHistoryFolder(pcFilePath) + "\\" + ExtractFileName(pcFilePath);
}

const char* HealthEventLogName(HealthEventLog log) {
  switch (log) {
    case HealthEventLog::HddFail: return "_hddfail.txt";
    case HealthEventLog::Failed: return "_failed.txt";
    case HealthEventLog::FailPlusWarning: return "_fail_plus_warning.txt";
  }
  return "_hddfail.txt";
}

std::string HealthEventLine(const std::string& computerName, const DateTime& when, int failures,
                            int refFailures, int warnings, int refWarnings) {
  std::string name = computerName;
  const size_t chars = CharCount(name);
  if (chars < kEventNameWidth) name.append(kEventNameWidth - chars, ' ');
  return name + FormatDateTime(when) + "  故障 " + std::to_string(failures) + "/" + std::to_string(refFailures) +
         "  警告 " + std::to_string(warnings) + "/" + std::to_string(refWarnings);
}

std::vector<TSmartResult> ReadHealthDrives(Platform& platform) {
  std::vector<TSmartResult> drives;
  // An unreadable drive (a card reader, a RAID volume) gets no block but does not hide the drives
  // behind it.
  for (DriveReading& d : ReadEveryDrive(platform, kHistoryMaxDrives))
    if (d.state == DriveState::Read) drives.push_back(std::move(d.result));
  return drives;
}

std::string HealthDataLine(const DateTime& when, const std::vector<TSmartResult>& drives) {
  std::string line = FormatDateTime(when) + "," + std::to_string(DayOfWeek(when));
  for (const TSmartResult& r : drives) {
    line += "," + std::to_string(r.DriveNum) + "," + std::to_string(r.Capacity / 1048576) + "," +
            FieldText(r.ModelNumber) + "," + FieldText(r.SerialNumber) + "," + std::to_string(r.Temperature) + "," +
            std::to_string(r.TempWorst) + "," + std::to_string(r.TempLow) + "," + std::to_string(r.ReallocSector) +
            "," + std::to_string(r.SmartFailTot) + "," + std::to_string(r.SmartWarnTot) + "," +
            std::to_string(r.PowerCycles) + "," + std::to_string(r.HoursRunning) + ",";
    for (int id : GroupIds(r)) line += DataGroup(r, id) + ",";
  }
  return line;
}

std::string EnglishHealthHeader(const std::vector<TSmartResult>& drives) {
  std::string line = "DateTime,DayOfWeek";
  for (const TSmartResult& r : drives) {
    line += ",DriveNum,CapacityMB,ModelNumber,SerialNumber,Temperature,TempWorst,TempLow";
    line += ",ReallocSector,SmartFailTot,SmartWarnTot,PowerCycles,HoursRunning,";
    for (int id : GroupIds(r)) line += EnglishGroup(r, id);
  }
  return line;
}

std::string JapaneseHealthHeader(const std::vector<TSmartResult>& drives) {
  std::string line = "日時,曜日番号";
  for (const TSmartResult& r : drives) {
    line += ",ディスクNo.,容量MB,モデルNo.,シリアルNo.,温度℃,最高温度,最低温度";
    line += ",再配置セクタ,故障数,警告数,電源サイクル,稼働時間,";
    for (int id : GroupIds(r)) line += JapaneseGroup(r, id);
  }
  return line;
}

std::string HistoryField(const std::vector<std::string>& fields, size_t n) {
  return n >= 1 && n <= fields.size() ? fields[n - 1] : std::string();
}

int HistoryCount(const std::vector<std::string>& fields, size_t n) {
  return ParseInt32(HistoryField(fields, n)).value_or(0);
}

void AppendHealthHistory(Platform& platform, const std::string& pcFilePath, bool& historyWritten) {
  if (historyWritten) return;
  IFiles& files = platform.files;
  const std::string folder = HealthHistoryFolder(pcFilePath);
  if (!files.DirectoryExists(folder)) files.CreateDirectory(folder);
  const std::string path = HealthHistoryFile(pcFilePath);

  // One time stamp for the line and its events; one reading of the drives for the line and,
  // for a new file, its headers, so that their blocks line up.
  const DateTime now = platform.system.Now();
  const std::vector<TSmartResult> drives = ReadHealthDrives(platform);
  const std::string dataLine = HealthDataLine(now, drives);
  if (platform.codec.ToCp932(dataLine).size() < kMinDataLineBytes) return;  // no drive answered

  const std::vector<std::string> newFields = Split(dataLine, ',');
  const int failures = HistoryCount(newFields, kHistoryFieldFailures);
  const int warnings = HistoryCount(newFields, kHistoryFieldWarnings);
  int refFailures = 0, lastWarnings = 0, refWarnings = 0;

  bool written = false;
  // Read first, and ask whether the file is there only when that fails: a history that is there
  // but cannot be seen for a moment must never be taken for a new one and replaced by three lines.
  auto lines = ReadTextLines(files, platform.codec, path);
  const bool existing = lines || files.FileExists(path);
  if (!existing) {
    written = WriteTextLines(files, platform.codec, path,
                             {EnglishHealthHeader(drives), JapaneseHealthHeader(drives), dataLine});
  } else if (lines) {
    if (lines->size() > kHistoryMaxLines - 1) {
      // The oldest data lines go; the two headers stay.
      const auto drop = static_cast<std::ptrdiff_t>(lines->size() - (kHistoryMaxLines - 1));
      lines->erase(lines->begin() + 2, lines->begin() + 2 + drop);
    }
    if (lines->size() > 3) {
      const std::vector<std::string> last = Split(lines->back(), ',');
      const std::vector<std::string> before = Split((*lines)[lines->size() - 2], ',');
      refFailures = HistoryCount(last, kHistoryFieldFailures);
      lastWarnings = HistoryCount(last, kHistoryFieldWarnings);
      refWarnings = HistoryCount(before, kHistoryFieldWarnings);
    }
    lines->push_back(dataLine);
    written = WriteTextLines(files, platform.codec, path, *lines);
  }
  // A history that exists but cannot be read now (locked, share gone) is not replaced by this one
  // line: it is left, and a later save of this run tries again. The drive's state still goes into
  // the event logs below, against reference counts of 0, so a failing disk is recorded that day.

  const std::string event = HealthEventLine(platform.system.ComputerName().value_or(""), now, failures,
                                            refFailures, warnings, refWarnings);
  // Announced only against an earlier save: the first line of a history has nothing to compare,
  // and neither has a history that could not be read.
  if (existing && lines) {
    if (failures > refFailures) {
      platform.dialogs.ShowBox(kFailureText, "警告", MsgButtons::Ok, MsgIcon::Warning);
      AppendEvent(platform, folder, HealthEventLog::HddFail, event);
    } else if (warnings > refWarnings && lastWarnings > 0) {
      // A worsening is announced once the previous save already showed a warning and the count
      // has risen over the save before that.
      platform.dialogs.ShowBox(kWorseningText, "情報", MsgButtons::Ok, MsgIcon::Information);
      AppendEvent(platform, folder, HealthEventLog::HddFail, event);
    }
  }
  if (failures > 0) AppendEvent(platform, folder, HealthEventLog::Failed, event);
  if (failures + warnings > 0) AppendEvent(platform, folder, HealthEventLog::FailPlusWarning, event);

  // The disk's state is announced and logged even when the history could not be written (a
  // read-only share); only a written line counts as this run's history.
  if (written) historyWritten = true;
}

bool EraseHealthHistory(Platform& platform, const std::string& pcFilePath) {
  const std::string path = HealthHistoryFile(pcFilePath);
  if (!platform.files.FileExists(path)) return false;
  if (platform.dialogs.ShowBox(kEraseQuestion, "確認", MsgButtons::YesNo, MsgIcon::Confirmation) != MsgResult::Yes)
    return false;
  return platform.files.RemoveFile(path);
}

}  // namespace orv
