#include "fleet/report/history_line.h"

#include <algorithm>
#include <bit>
#include <charconv>
#include <cstdint>
#include <cstring>
#include <string>

#include "platform/clock.h"

namespace orv::report {

namespace {

constexpr int kFixedGroups = 6;  // attributes 1, 5, 7, 10, 3, 194
constexpr int kGroupFields = 5;  // status, current, worst, threshold, raw

// The high bit of every byte of `word` that is a comma, exactly (no carry between bytes).
uint64_t CommaBits(uint64_t word) {
  constexpr uint64_t kCommas = 0x2C2C2C2C2C2C2C2CULL, kLow7 = 0x7F7F7F7F7F7F7F7FULL;
  const uint64_t x = word ^ kCommas;
  return ~(((x & kLow7) + kLow7) | x | kLow7);
}

// The number of bits of CommaBits: one bit a byte at most, so a multiply adds them up (the
// portable build has no population count instruction, and its library call costs more).
int CountCommaBits(uint64_t bits) { return static_cast<int>(((bits >> 7) * 0x0101010101010101ULL) >> 56); }

// The number of commas in [p, end), eight bytes at a time.
size_t CountCommas(const char* p, const char* end) {
  size_t count = 0;
  for (; end - p >= 8; p += 8) {
    uint64_t word;
    std::memcpy(&word, p, 8);
    count += static_cast<size_t>(CountCommaBits(CommaBits(word)));
  }
  for (; p < end; ++p) count += *p == ',' ? 1 : 0;
  return count;
}

// The first ",," in [p, end), nullptr when there is none. Eight bytes at a time: the groups
// between hold a comma every few bytes, so a search for the first comma stops too often.
const char* FindTwoCommas(const char* p, const char* end) {
  bool previousEndsWithComma = false;
  for (; end - p >= 8; p += 8) {
    uint64_t word;
    std::memcpy(&word, p, 8);
    const uint64_t commas = CommaBits(word);
    if (previousEndsWithComma && (commas & 0x80)) return p - 1;
    // Bytes i and i + 1 both commas (little-endian: byte i + 1 is 8 bits up).
    if (const uint64_t pairs = commas & (commas >> 8)) return p + std::countr_zero(pairs) / 8;
    previousEndsWithComma = (commas >> 63) != 0;
  }
  if (previousEndsWithComma && p < end && *p == ',') return p - 1;
  for (; p + 1 < end; ++p)
    if (p[0] == ',' && p[1] == ',') return p;
  return nullptr;
}

// The fields of a line, one after the other. CP932 never uses the comma byte inside a character,
// so the bytes split without decoding. A line of a hundred short fields is split for every save
// of every computer of the report: plain pointers, no library call per field.
class FieldCursor {
 public:
  explicit FieldCursor(std::string_view line) : p_(line.data()), end_(line.data() + line.size()) {}
  bool AtEnd() const { return done_; }
  // The next field; "" (and AtEnd) once the line is used up.
  std::string_view Next() {
    if (done_) return {};
    const char* start = p_;
    while (p_ < end_ && *p_ != ',') ++p_;
    std::string_view field(start, static_cast<size_t>(p_ - start));
    if (p_ == end_)
      done_ = true;
    else
      ++p_;
    return field;
  }
  // Skips `n` fields (fewer at the end of the line), eight bytes at a time.
  void Skip(int n) {
    if (n <= 0 || done_) return;
    size_t left = static_cast<size_t>(n);  // commas still to pass
    while (end_ - p_ >= 8) {
      uint64_t word;
      std::memcpy(&word, p_, 8);
      uint64_t commas = CommaBits(word);
      const auto here = static_cast<size_t>(CountCommaBits(commas));
      if (here < left) {
        left -= here;
        p_ += 8;
        continue;
      }
      while (--left > 0) commas &= commas - 1;  // the left-th comma of the word
      p_ += std::countr_zero(commas) / 8 + 1;
      return;
    }
    for (; p_ < end_; ++p_)
      if (*p_ == ',' && --left == 0) {
        ++p_;
        return;
      }
    done_ = true;  // the line ended within the fields skipped
  }
  // Skips the groups of five fields up to the next empty field, and that field; false when the
  // line ends first or the fields before it are not whole groups (a line cut short). The bytes
  // are searched for the empty field at once: the groups of further attributes are most of a
  // line, and the report needs none of them.
  bool SkipGroupsAndEmptyField(int groupFields) {
    if (done_) return false;
    if (p_ == end_) {  // the empty last field
      done_ = true;
      return true;
    }
    if (*p_ == ',') {  // no groups: the empty field, then more
      ++p_;
      return true;
    }
    const char* groupsEnd = FindTwoCommas(p_, end_);
    if (!groupsEnd) {  // the block ends the line, which ends with the comma before its empty field
      if (end_[-1] != ',') return false;
      groupsEnd = end_ - 1;
    }
    const size_t fields = CountCommas(p_, groupsEnd) + 1;
    if (fields % static_cast<size_t>(groupFields) != 0) return false;
    p_ = groupsEnd + 1;
    if (p_ == end_)
      done_ = true;
    else
      ++p_;
    return true;
  }

 private:
  const char* p_;
  const char* end_;
  bool done_ = false;
};

template <typename T>
bool Number(std::string_view s, T& out) {
  if (s.empty()) return false;
  auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), out);
  return ec == std::errc() && end == s.data() + s.size();
}

bool TwoDigits(std::string_view s, size_t at, int& out) {
  if (s[at] < '0' || s[at] > '9' || s[at + 1] < '0' || s[at + 1] > '9') return false;
  out = (s[at] - '0') * 10 + (s[at + 1] - '0');
  return true;
}

std::optional<double> StampDay(std::string_view stamp) {
  // The history writes exactly "yyyy/mm/dd hh:mm:ss"; a hand-edited line may not, and goes the
  // long way.
  DateTime t;
  int hi = 0, lo = 0;
  if (stamp.size() == 19 && stamp[4] == '/' && stamp[7] == '/' && stamp[10] == ' ' && stamp[13] == ':' &&
      stamp[16] == ':' && TwoDigits(stamp, 0, hi) && TwoDigits(stamp, 2, lo) && TwoDigits(stamp, 5, t.month) &&
      TwoDigits(stamp, 8, t.day) && TwoDigits(stamp, 11, t.hour) && TwoDigits(stamp, 14, t.minute) &&
      TwoDigits(stamp, 17, t.second) && t.month >= 1 && t.month <= 12 && t.day >= 1 && t.day <= 31 &&
      t.hour <= 23 && t.minute <= 59 && t.second <= 59) {
    t.year = hi * 100 + lo;
    // Days beyond the month's end (2024/02/31) are refused as the long way refuses them.
    constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    const bool leap = (t.year % 4 == 0 && t.year % 100 != 0) || t.year % 400 == 0;
    if (t.day > kDays[t.month - 1] + (t.month == 2 && leap ? 1 : 0)) return std::nullopt;
    return ToDayCount(t);
  }
  if (stamp.size() < 8 || stamp.size() > 32) return std::nullopt;
  if (!ParseDateTime(std::string(stamp), t)) return std::nullopt;
  return ToDayCount(t);
}

bool ParseBlock(FieldCursor& c, DriveBlock& b) {
  if (!Number(c.Next(), b.driveNumber) || !Number(c.Next(), b.capacityMb)) return false;
  b.model = c.Next();
  b.serial = c.Next();
  if (!Number(c.Next(), b.temperature) || !Number(c.Next(), b.tempWorst) || !Number(c.Next(), b.tempLow) ||
      !Number(c.Next(), b.reallocated) || !Number(c.Next(), b.failures) || !Number(c.Next(), b.warnings) ||
      !Number(c.Next(), b.powerCycles) || !Number(c.Next(), b.hoursRunning) || c.AtEnd())
    return false;
  b.attribute5Current = -1;
  // The six fixed groups; of them only attribute 5's status and current value are needed.
  c.Skip(kGroupFields);
  std::string_view status = c.Next();
  std::string_view current = c.Next();
  if (!status.empty() && !Number(current, b.attribute5Current)) b.attribute5Current = -1;
  c.Skip(kGroupFields * (kFixedGroups - 1) - 2);
  if (c.AtEnd()) return false;  // every group is followed by at least the block's end
  // Further attributes (a status is never empty), then the empty field that ends the block.
  return c.SkipGroupsAndEmptyField(kGroupFields);
}

}  // namespace

std::optional<double> HistoryLineDay(std::string_view line) {
  return StampDay(line.substr(0, std::min(line.find(','), line.size())));
}

bool ParseHistoryLine(std::string_view line, HistoryLine& out) {
  FieldCursor c(line);
  std::optional<double> day = StampDay(c.Next());
  int dayOfWeek = 0;
  if (!day || !Number(c.Next(), dayOfWeek) || c.AtEnd()) return false;
  out.day = *day;
  out.drives.clear();
  while (!c.AtEnd()) {
    DriveBlock& b = out.drives.emplace_back();
    if (!ParseBlock(c, b)) return false;
  }
  return !out.drives.empty();
}

std::vector<bool> NvmeBlocksOfHeader(std::string_view englishHeader) {
  std::vector<bool> blocks;
  FieldCursor c(englishHeader);
  if (c.Next() != "DateTime") return blocks;
  while (!c.AtEnd()) {
    std::string_view f = c.Next();
    if (f == "DriveNum")
      blocks.push_back(false);
    else if (!blocks.empty() && (f.starts_with("213:") || f.starts_with("*213:")))
      blocks.back() = true;
  }
  return blocks;
}

}  // namespace orv::report
