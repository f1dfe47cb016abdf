#include "diskhealth/nvme_health.h"

#include <array>
#include <string>

#include "diskhealth/smart_attributes.h"

namespace orv {

namespace {

constexpr int64_t kRawMax = 0xFFFFFFFFFFFFLL;  // the 48 bits of an attribute's raw value
constexpr int kKelvinOffset = 273;

uint8_t Byte(std::string_view b, size_t at) { return at < b.size() ? static_cast<uint8_t>(b[at]) : 0; }

// A little-endian counter of `length` bytes (16 for the log's counters), clamped to 48 bits.
int64_t Counter(std::string_view b, size_t at, size_t length) {
  int64_t value = 0;
  for (size_t k = 0; k < length; ++k) {
    const uint8_t v = Byte(b, at + k);
    if (k >= 6 && v != 0) return kRawMax;
    if (k < 6) value |= static_cast<int64_t>(v) << (8 * k);
  }
  return value;
}

int32_t ClampInt32(int64_t v) { return v > 2147483647 ? 2147483647 : static_cast<int32_t>(v); }

// An identify text: ASCII, blank padded, not byte swapped. Blanks and NULs at either end go; any
// other byte outside printable ASCII becomes "?" as in the ATA identity.
std::string IdentifyText(std::string_view identify, size_t offset, size_t length) {
  std::string text;
  for (size_t k = 0; k < length; ++k) text += static_cast<char>(Byte(identify, offset + k));
  size_t begin = 0, end = text.size();
  while (begin < end && static_cast<unsigned char>(text[begin]) <= 32) ++begin;
  while (end > begin && static_cast<unsigned char>(text[end - 1]) <= 32) --end;
  text = text.substr(begin, end - begin);
  for (char& c : text) {
    const unsigned char u = static_cast<unsigned char>(c);
    if (u < 0x20 || u > 0x7E) c = '?';
  }
  return text;
}

struct Slot {
  int id;
  bool preFailure;
  bool eventCount;
  int current, worst, threshold;
  int64_t raw;
};

void AddSlot(TSmartResult& r, const Slot& s) {
  const int i = r.AttrCount++;
  r.AttrId[i] = s.id;
  r.AttrName[i] = EnglishAttrNames(s.id);
  r.PreFailure[i] = s.preFailure;
  r.EventCount[i] = s.eventCount;
  r.ErrorRate[i] = false;
  r.Current[i] = s.current;
  r.Worst[i] = s.worst;
  r.Threshold[i] = s.threshold;
  r.RawValue[i] = s.raw;
  JudgeAttribute(r, i);
  if (s.id == 194) {
    std::array<uint8_t, 6> raw{};
    for (int k = 0; k < 6; ++k) raw[k] = static_cast<uint8_t>((s.raw >> (8 * k)) & 0xFF);
    TakeTemperature(r, i, raw);
  }
}

// Critical warning bits 2-5 (reliability degraded, read-only, volatile backup failed, persistent
// memory unreliable) fail the drive; bit 1 alone (a temperature over its threshold) puts it in
// the warning band. Bit 0 (spare below its threshold) is judged on the spare slot itself.
int CriticalWarningCurrent(uint8_t bits) {
  if (bits & 0x3C) return 1;
  if (bits & 0x02) return 30;
  return 100;
}

}  // namespace

void FillNvmeResult(TSmartResult& r, std::string_view identify, std::string_view log) {
  r = TSmartResult{};
  r.DriveNum = 0;  // the controller is the one device behind its drive's handle
  r.SerialNumber = IdentifyText(identify, 4, 20);
  r.ModelNumber = IdentifyText(identify, 24, 40);
  r.FirmwareRev = IdentifyText(identify, 64, 8);
  const int64_t capacity = Counter(identify, 280, 16);
  // A capacity beyond the 48-bit clamp is not a size any drive has; leave it to the disk's length.
  r.Capacity = capacity == kRawMax ? 0 : capacity;

  const int kelvin = Byte(log, 1) | (Byte(log, 2) << 8);
  int celsius = kelvin - kKelvinOffset;
  if (celsius < 0) celsius = 0;
  if (celsius > 255) celsius = 255;
  const int64_t temperatureRaw = static_cast<int64_t>(celsius) | (static_cast<int64_t>(celsius) << 16) |
                                 (static_cast<int64_t>(celsius) << 32);
  const int spare = Byte(log, 3), spareThreshold = Byte(log, 4);
  const int used = Byte(log, 5);
  const int life = 100 - (used < 100 ? used : 100);
  const int warning = CriticalWarningCurrent(Byte(log, 0));
  const int64_t hours = Counter(log, 128, 16);
  const int64_t cycles = Counter(log, 112, 16);

  // In id order, as the status screen lists them.
  const Slot slots[] = {
      {5, true, false, spare, spare, spareThreshold, 0},
      {9, false, true, 100, 100, 0, hours},
      {12, false, true, 100, 100, 0, cycles},
      {192, false, true, 100, 100, 0, Counter(log, 144, 16)},
      {194, false, false, celsius, celsius, 0, temperatureRaw},
      {198, false, true, 100, 100, 0, Counter(log, 160, 16)},
      {kNvmeCriticalWarningId, true, false, warning, warning, 10, Byte(log, 0)},
      {233, false, false, life, life, 0, used},
      {241, false, true, 100, 100, 0, Counter(log, 48, 16)},
      {242, false, true, 100, 100, 0, Counter(log, 32, 16)},
  };
  for (const Slot& s : slots) AddSlot(r, s);
  // The log counts hours as hours, so the running time is the count itself; the available spare
  // is no reallocation count, which stays 0.
  r.HoursRunning = ClampInt32(hours);
  r.PowerCycles = ClampInt32(cycles);
  r.ReallocSector = 0;
}

}  // namespace orv
