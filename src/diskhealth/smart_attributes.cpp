#include "diskhealth/smart_attributes.h"

#include <utility>

namespace orv {

namespace {

struct AttrNames {
  int id;
  const char* english;   // nullptr: no English entry
  const char* japanese;  // nullptr: no Japanese entry
};

// The attribute catalogue. The English spellings are this program's own and appear as they are
// in every history file written so far, odd ones included; do not "correct" them.
constexpr AttrNames kAttrNames[] = {
    {1, "Raw Read Error Rate", "読み取りエラー"},
    {2, "Throughput Performance", "全般パフォーマンス"},
    {3, "Spin Up Time", "立ち上がり時間"},
    {4, "Start/Stop Count", "起動回数"},
    {5, "Reallocated Sector Count", "再配置セクタ数"},
    {6, "Read Channel Margin", "読み取りチャネル余裕"},
    {7, "Seek Error Rate", "シークエラー"},
    {8, "Seek Time Performance", "シーク時間"},
    {9, "Power On Hours Count", "電源入り時間"},
    {10, "Spin Retry Count", "回転再トライ回数"},
    {11, "Calibration Retry Count", "較正再トライ"},
    {12, "Power Cycle Count", "電源入切回数"},
    {13, nullptr, "ソフト読み取りエラー"},
    {192, "Emergency Retract Cycle", "非常退避回数"},
    {193, "Load Cycle Count", "ヘッド退避回数"},
    {194, "Temperature Celcius", "温度（℃）"},
    {195, "Hardware ECC Recovered", "ハードECC"},
    {196, "Reallocation Event Count", "再配置回数"},
    {197, "Current Pending Sector", "保留セクタ"},
    {198, "Off-line Uncorrectable", "回復不可セクタ"},
    {199, "Ultra ATA CRC Error Rate", "UATA CRCエラー"},
    {200, "Multi Zone Error Rate (Write Error Rate)", "書き込みエラー回数"},
    {201, "Off Track Errors (Soft Read Error Rate)", "オフトラックエラー"},
    {202, "TA Increase Count (Data Address Mark Errors)", "TA増加回数"},
    {203, "ECC Errors (Run Out Cancel)", "ECCエラー"},
    {204, "Shock Count Write Operation (Soft ECC Correction)", "ソフトウェアECCエラー"},
    {205, "Shock Rate Write Operation (Thermal Asperity Rate)", "サーマルアスペリティエラー"},
    {206, "Flying Height", "ヘッド浮上高"},
    {207, "Spin High Current", "回転電流大"},
    {208, "Spin Buzz", "回転ノイズ"},
    {209, "Offline Seek Perf", "オフラインシーク性能"},
    {210, "Vibration During Write", "書き込み中の振動"},
    {211, "Vibration During Read", "読み込み中の振動"},
    {212, "Shock During Write", "書き込み中の衝撃"},
    // 213, 233, 241 and 242 are also the slots of an NVMe drive's health log (nvme_health.h); the
    // names hold for both kinds of drive.
    {213, "Critical Warning", "重大な警告"},
    {220, "Disk Shift", "ディスクずれ"},
    {221, "G-Sense Error Rate", "衝撃エラー"},
    {222, "Loaded Hours", "負荷時間"},
    {223, "Load/Unload Retry Count", "ロード再試行回数"},
    {224, "Load Friction", "ヘッド摩擦負荷"},
    {225, "Load/Unload Cycle Count", nullptr},
    {226, "Load-in Time", "ヘッド負荷時間合計"},
    {227, "Torque Amplification Count", "トルク倍率"},
    {228, "Power-Off Retract Count", "停電退避回数"},
    {230, "GMR Head Amplitude", "GMRヘッド振幅"},
    {231, "Temperature", "温度"},
    {233, "Media Wearout Indicator", "残り寿命"},
    {240, "Head Flying Hours", "ヘッド位置決め時間"},
    {241, "Total Data Written", "総書き込み量"},
    {242, "Total Data Read", "総読み込み量"},
    {250, "Read Error Retry Rate", "読み取りエラー率"},
};

const AttrNames* FindNames(int id) {
  for (const auto& n : kAttrNames)
    if (n.id == id) return &n;
  return nullptr;
}

}  // namespace

std::string EnglishAttrNames(int id) {
  if ((id >= 1 && id <= 12) || (id >= 192 && id <= 250)) {
    const AttrNames* n = FindNames(id);
    return n && n->english ? n->english : "";
  }
  return "Unknown";
}

std::string JapaneseAttrNames(int id) {
  if (!IsLoggedAttrId(id)) return "";
  const AttrNames* n = FindNames(id);
  return n && n->japanese ? n->japanese : "";
}

bool IsLoggedAttrId(int id) { return (id >= 1 && id <= 15) || (id >= 192 && id <= 250); }

void JudgeAttribute(TSmartResult& r, int i) {
  const int id = r.AttrId[i];
  const int current = r.Current[i];
  const int worst = r.Worst[i];
  const int threshold = r.Threshold[i];
  // Spin-up time and start/stop count run on a scale of 253 on some drives.
  const int full = ((id == 3 || id == 4) && current > 230) ? 253 : 100;
  r.AttrStatus[i] = kStatusNone;
  // Advisory attributes and those without a threshold are never judged.
  if (!r.PreFailure[i] || threshold == 0) return;
  r.AttrStatus[i] = kStatusOk;
  if (threshold > current) {
    r.AttrStatus[i] = kStatusFailure;
    ++r.SmartFailTot;
  } else if (threshold > worst) {
    r.AttrStatus[i] = kStatusPastFailure;
    ++r.SmartFailTot;
  } else if (threshold + (full - threshold) * 4 / 10 > current) {
    // The lower 40 % of the way from the threshold to the full value; C++ division truncates
    // toward zero, also for the negative margin of a threshold above the full value.
    r.AttrStatus[i] = kStatusWarning;
    ++r.SmartWarnTot;
  }
}

void TakeTemperature(TSmartResult& r, int i, const std::array<uint8_t, 6>& raw) {
  r.Temperature = raw[0];
  r.TempLow = raw[2];
  r.TempWorst = raw[4];
  // Drives that keep only the current temperature in the raw value report it as the normalised
  // value too; their highest temperature is then the worst value.
  if (raw[0] == r.Current[i]) r.TempWorst = r.Worst[i];
}

int FindSlot(const TSmartResult& r, int id) {
  const int count = r.AttrCount < 0 ? 0 : (r.AttrCount > kSmartSlots ? kSmartSlots : r.AttrCount);
  for (int i = 0; i < count; ++i)
    if (r.AttrId[i] == id) return i;
  return -1;
}

std::string AttrCell(const TSmartResult& r, int id) {
  int i = FindSlot(r, id);
  if (i < 0) return "";
  return r.AttrStatus[i] + "/" + std::to_string(r.Current[i]) + "/" + std::to_string(r.Worst[i]) + "/" +
         std::to_string(r.Threshold[i]);
}

}  // namespace orv
