#include "fleet/report/pc_health.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "fleet/report/history_line.h"
#include "platform/files.h"
#include "platform/text_codec.h"

namespace orv::report {

namespace {

constexpr size_t kIdentityRows = 30;          // the rows the report shows are among the first 30
constexpr size_t kIdentityHeadBytes = 2048;   // they fit in the first kilobyte or two
constexpr size_t kIdentityMostBytes = 1 << 20;

bool IsAscii(std::string_view s) {
  return std::all_of(s.begin(), s.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

std::string Decoded(const ITextCodec& codec, std::string_view cp932) {
  return IsAscii(cp932) ? std::string(cp932) : codec.FromCp932(cp932);
}

// The drive of `line` that is `drive` of the latest line: the one with its serial number, else
// the one in its place.
const DriveBlock* SameDrive(const HistoryLine& line, const DriveBlock& drive, size_t index) {
  for (const DriveBlock& b : line.drives)
    if (!drive.serial.empty() && b.serial == drive.serial) return &b;
  return index < line.drives.size() && drive.serial.empty() ? &line.drives[index] : nullptr;
}

template <typename T>
T Clamped(int v) {
  return static_cast<T>(std::clamp<int>(v, std::numeric_limits<T>::min(), std::numeric_limits<T>::max()));
}

bool Worsened(const DriveBlock& now, const DriveBlock& before, bool nvme) {
  return now.failures > before.failures || now.warnings > before.warnings || now.reallocated > before.reallocated ||
         (nvme && now.attribute5Current >= 0 && before.attribute5Current >= 0 &&
          now.attribute5Current < before.attribute5Current);
}

}  // namespace

std::string PcFileValue(std::string_view line) {
  std::string value;
  if (line.size() >= 2 && line.front() == '"' && line.back() == '"') {
    for (size_t i = 1; i + 1 < line.size(); ++i) {
      value += line[i];
      if (line[i] == '"' && line[i + 1] == '"') ++i;
    }
    return value;
  }
  if (line.size() >= 2 && line[0] == '\'' && std::string_view("+-=@").find(line[1]) != std::string_view::npos)
    line.remove_prefix(1);
  return std::string(line);
}

PcIdentity ReadPcIdentity(IFiles& files, const ITextCodec& codec, const std::string& folder,
                          const std::string& fileName) {
  PcIdentity id;
  id.fileName = fileName;
  const std::string path = folder + fileName;
  std::vector<std::string_view> rows;
  std::optional<std::string> head;
  for (size_t want = kIdentityHeadBytes; want <= kIdentityMostBytes; want *= 8) {
    head = files.ReadFilePart(path, 0, want);
    if (!head) break;
    rows = TextLines(*head);
    if (rows.size() > kIdentityRows || head->size() < want) break;  // enough rows, or the whole file
  }
  std::string stem = fileName.substr(0, std::min(fileName.rfind('.'), fileName.size()));
  auto row = [&](size_t n) { return n <= rows.size() ? Decoded(codec, PcFileValue(rows[n - 1])) : std::string(); };
  id.readable = head.has_value();
  std::string identity = head ? row(1) : std::string();
  if (identity.empty()) identity = Decoded(codec, stem);
  const size_t cut = identity.find("__");
  id.computer = identity.substr(0, cut);
  if (cut != std::string::npos) id.workgroup = identity.substr(cut + 2);
  if (head) {
    id.user = row(3);
    id.model = row(12);
    id.windows = row(30);
  }
  return id;
}

HistoryHealth AssessHistory(const HistoryExcerpt& excerpt, const ITextCodec& codec, double nowDay) {
  HistoryHealth h;
  if (excerpt.state != ExcerptState::Read || excerpt.LineCount() == 0) return h;
  HistoryLine latest, before, line;
  if (!ParseHistoryLine(excerpt.Line(excerpt.LineCount() - 1), latest)) return h;
  h.readable = true;
  h.latestDay = latest.day;
  const std::vector<bool> nvme = NvmeBlocksOfHeader(excerpt.header);
  const bool hasBefore = excerpt.LineCount() >= 2 && ParseHistoryLine(excerpt.Line(excerpt.LineCount() - 2), before);

  for (size_t k = 0; k < latest.drives.size(); ++k) {
    const DriveBlock& b = latest.drives[k];
    DriveHealth& d = h.drives.emplace_back();
    d.model = Decoded(codec, b.model);
    d.capacityMb = b.capacityMb;
    d.temperature = b.temperature;
    d.tempWorst = b.tempWorst;
    d.reallocated = b.reallocated;
    d.nvme = k < nvme.size() && nvme[k];
    d.spare = d.nvme ? b.attribute5Current : -1;
    d.failures = b.failures;
    d.warnings = b.warnings;
    d.powerCycles = b.powerCycles;
    if (hasBefore)
      if (const DriveBlock* old = SameDrive(before, b, k)) d.worsened = Worsened(b, *old, d.nvme);
    h.failure = h.failure || b.failures > 0;
    h.warning = h.warning || b.warnings > 0;
    h.worsened = h.worsened || d.worsened;
    h.hot = h.hot || b.temperature >= kHotCelsius;
  }

  // The trends, and the weeks with a failure or a warning on any drive.
  for (size_t i = 0; i < excerpt.LineCount(); ++i) {
    const HistoryLine* parsed = &line;
    if (i + 1 == excerpt.LineCount())
      parsed = &latest;
    else if (i + 2 == excerpt.LineCount() && hasBefore)
      parsed = &before;
    else if (!ParseHistoryLine(excerpt.Line(i), line))
      continue;  // a line that does not parse is left out of the charts
    const double daysAgo = std::max(0.0, nowDay - parsed->day);
    if (daysAgo > kTrendDays) continue;
    const auto week = static_cast<uint32_t>(std::min<double>(std::floor(daysAgo / 7), kTrendWeeks - 1));
    for (const DriveBlock& b : parsed->drives) {
      if (b.failures > 0) h.failureWeeks |= 1u << week;
      if (b.warnings > 0) h.warningWeeks |= 1u << week;
    }
    for (size_t k = 0; k < latest.drives.size(); ++k)
      if (const DriveBlock* b = SameDrive(*parsed, latest.drives[k], k))
        h.drives[k].trend.push_back({static_cast<float>(daysAgo), Clamped<int16_t>(b->temperature),
                                     Clamped<uint8_t>(b->failures), Clamped<uint8_t>(b->warnings)});
  }
  for (DriveHealth& d : h.drives) d.trend.shrink_to_fit();
  return h;
}

uint32_t ConcernsOf(const HistoryHealth& health, std::optional<double> lastSaveDay, double nowDay) {
  auto bit = [](Concern c) { return 1u << static_cast<int>(c); };
  uint32_t concerns = 0;
  if (health.failure) concerns |= bit(Concern::Failure);
  if (health.warning) concerns |= bit(Concern::Warning);
  if (health.worsened) concerns |= bit(Concern::Worsened);
  if (health.hot) concerns |= bit(Concern::Hot);
  if (health.readable) lastSaveDay = std::max(lastSaveDay.value_or(health.latestDay), health.latestDay);
  if (!lastSaveDay || nowDay - *lastSaveDay >= kStaleDays) concerns |= bit(Concern::Stale);
  if (!health.readable) concerns |= bit(Concern::NoHistory);
  return concerns ? concerns : bit(Concern::Fine);
}

Concern WorstConcern(uint32_t concerns) {
  for (int c = 0; c < kConcernCount; ++c)
    if (concerns & (1u << c)) return static_cast<Concern>(c);
  return Concern::Fine;
}

}  // namespace orv::report
