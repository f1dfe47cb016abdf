#include "fleet/report/history_excerpt.h"

#include <algorithm>
#include <cstring>

#include "fleet/report/history_line.h"
#include "platform/files.h"

namespace orv::report {

namespace {

constexpr size_t kHeadBytes = 4096;
constexpr size_t kLongestHeader = 1 << 20;  // 32 drives of 50 attributes stay far below
constexpr size_t kFirstChunk = 40 * 1024;   // about 110 lines of a drive with 20 attributes

std::string_view FirstLine(std::string_view bytes, bool* complete) {
  size_t end = 0;
  while (end < bytes.size() && bytes[end] != '\r' && bytes[end] != '\n') ++end;
  *complete = end < bytes.size();
  return bytes.substr(0, end);
}

struct Tail {
  std::string bytes;
  bool atStart = false;  // the bytes begin at the file's start
};

// The last bytes of a file, grown towards its start in chunks of doubling size until `enough`
// says so or the start is reached. `enough` gets the bytes read so far and whether they begin at
// the file's start. nullopt when a read fails or the file changes size under the reading.
template <typename Enough>
std::optional<Tail> ReadTail(IFiles& files, const std::string& path, int64_t size, Enough enough) {
  Tail tail;
  int64_t start = size;
  size_t chunk = kFirstChunk;
  while (start > 0) {
    const int64_t from = std::max<int64_t>(0, start - static_cast<int64_t>(chunk));
    std::optional<std::string> part = files.ReadFilePart(path, from, static_cast<size_t>(start - from));
    if (!part || part->size() != static_cast<size_t>(start - from)) return std::nullopt;
    if (tail.bytes.empty())
      tail.bytes = std::move(*part);
    else
      tail.bytes.insert(0, *part);
    start = from;
    if (enough(std::string_view(tail.bytes), start == 0)) break;
    chunk *= 2;
  }
  tail.atStart = start == 0;
  return tail;
}

HistoryExcerpt Unreadable(HistoryExcerpt& out) {
  out.state = ExcerptState::Unreadable;
  out.lines.clear();
  return std::move(out);
}

}  // namespace

std::vector<std::string_view> TextLines(std::string_view bytes) {
  std::vector<std::string_view> lines;
  const char* p = bytes.data();
  const char* end = p + bytes.size();
  // From line feed to line feed (memchr), looking for a lone CR only inside each segment.
  while (p < end) {
    const char* lf = static_cast<const char*>(std::memchr(p, '\n', static_cast<size_t>(end - p)));
    const char* segmentEnd = lf ? lf : end;
    const char* cr = static_cast<const char*>(std::memchr(p, '\r', static_cast<size_t>(segmentEnd - p)));
    if (cr && cr + 1 != segmentEnd) {  // a lone CR ends a line too
      lines.emplace_back(p, static_cast<size_t>(cr - p));
      p = cr + 1;
      continue;
    }
    lines.emplace_back(p, static_cast<size_t>((cr ? cr : segmentEnd) - p));
    p = lf ? lf + 1 : end;
  }
  return lines;
}

HistoryExcerpt ReadHistoryExcerpt(IFiles& files, const std::string& path, double sinceDay) {
  HistoryExcerpt out;
  std::optional<int64_t> size = files.FileSize(path);
  if (!size) return out;
  out.state = ExcerptState::Unreadable;

  // The data lines, from the end: the index of the first that stays, given the lines read so far.
  // The first line read is left out, since it may be cut, or is the English header; so is the
  // Japanese header; empty lines are no lines.
  auto keptFrom = [&](const std::vector<std::string_view>& lines, bool atStart, bool* enough) -> size_t {
    size_t first = std::min<size_t>(lines.size(), 1);
    if (atStart && lines.size() > 1 && !HistoryLineDay(lines[1])) first = 2;
    size_t kept = lines.size();
    size_t count = 0;
    *enough = atStart;
    for (size_t i = lines.size(); i > first; --i) {
      if (lines[i - 1].empty()) continue;
      std::optional<double> day = HistoryLineDay(lines[i - 1]);
      if (count >= 2 && day && *day < sinceDay) {
        *enough = true;
        break;
      }
      kept = i - 1;
      ++count;
    }
    return kept;
  };
  // The lines that stay, as worked out by the last look at the bytes read (the reading stops
  // after it, so it saw the final bytes).
  std::optional<Tail> tail = ReadTail(files, path, *size, [&](std::string_view bytes, bool atStart) {
    bool enough = false;
    const std::vector<std::string_view> lines = TextLines(bytes);
    out.lines.clear();
    for (size_t i = keptFrom(lines, atStart, &enough); i < lines.size(); ++i)
      if (!lines[i].empty()) out.lines.emplace_back(static_cast<size_t>(lines[i].data() - bytes.data()), lines[i].size());
    return enough;
  });
  if (!tail) return Unreadable(out);
  // Line 1, the English header: in the bytes read already when they reach the file's start (a
  // history of a few months), else read apart.
  bool complete = false;
  std::optional<std::string> head;
  std::string_view header;
  if (tail->atStart) {
    header = FirstLine(tail->bytes, &complete);
  } else {
    head = files.ReadFilePart(path, 0, std::min<size_t>(static_cast<size_t>(*size), kHeadBytes));
    if (!head) return Unreadable(out);
    header = FirstLine(*head, &complete);
    if (!complete && static_cast<int64_t>(head->size()) < *size) {
      head = files.ReadFilePart(path, 0, std::min<size_t>(static_cast<size_t>(*size), kLongestHeader));
      if (!head) return Unreadable(out);
      header = FirstLine(*head, &complete);
      if (!complete && static_cast<int64_t>(head->size()) < *size) return Unreadable(out);
    }
  }
  if (!header.starts_with("DateTime")) return Unreadable(out);
  out.header = std::string(header);

  out.bytes = std::move(tail->bytes);  // the lines' offsets are in these bytes
  out.state = ExcerptState::Read;
  return out;
}

std::optional<std::vector<std::string>> ReadLastLines(IFiles& files, const std::string& path, size_t count) {
  std::optional<int64_t> size = files.FileSize(path);
  if (!size) return std::vector<std::string>{};
  std::optional<Tail> tail = ReadTail(files, path, *size, [&](std::string_view bytes, bool) {
    return TextLines(bytes).size() > count;  // one more than asked: the first may be cut
  });
  if (!tail) return std::nullopt;
  std::vector<std::string_view> lines = TextLines(tail->bytes);
  size_t from = lines.size() > count ? lines.size() - count : 0;
  if (!tail->atStart && from == 0 && !lines.empty()) from = 1;  // cut
  return std::vector<std::string>(lines.begin() + static_cast<std::ptrdiff_t>(from), lines.end());
}

}  // namespace orv::report
