#include "fleet/report/history_line.h"

#include <charconv>
#include <string>

#include "platform/clock.h"

namespace orv::report {

namespace {

constexpr int kFixedGroups = 6;  // attributes 1, 5, 7, 10, 3, 194
constexpr int kGroupFields = 5;  // status, current, worst, threshold, raw

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
  // Whether the next field is empty (also at the end).
  bool NextIsEmpty() const { return done_ || p_ == end_ || *p_ == ','; }

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
  for (int g = 0; g < kFixedGroups; ++g) {
    std::string_view status = c.Next();
    std::string_view current = c.Next();
    for (int k = 2; k < kGroupFields; ++k) c.Next();
    if (c.AtEnd()) return false;  // every group is followed by at least the block's end
    if (g == 1 && !status.empty() && !Number(current, b.attribute5Current)) b.attribute5Current = -1;
  }
  // Further attributes, as long as a status follows; then the empty field that ends the block.
  while (!c.NextIsEmpty()) {
    for (int k = 0; k < kGroupFields; ++k) c.Next();
    if (c.AtEnd()) return false;
  }
  c.Next();
  return true;
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
