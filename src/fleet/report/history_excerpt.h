#pragma once
// What the report reads of one disk health history: its English header line and its data lines
// of the last days, read from the end of the file, so that a history of 499 lines costs the few
// lines the page shows and not the whole file.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace orv {
class IFiles;
}

namespace orv::report {

enum class ExcerptState {
  Read,        // header and lines as below
  Missing,     // no history file
  Unreadable,  // the file is there but cannot be read, or holds no header line
};

struct HistoryExcerpt {
  ExcerptState state = ExcerptState::Missing;
  std::string header;  // line 1, CP932
  // The data lines, oldest first, CP932 (see ReadHistoryExcerpt): one buffer, no string per line.
  size_t LineCount() const { return lines.size(); }
  std::string_view Line(size_t i) const { return std::string_view(bytes).substr(lines[i].first, lines[i].second); }

  std::string bytes;
  std::vector<std::pair<size_t, size_t>> lines;  // offset and length in `bytes`
};

// Reads the history at `path`: the header, and the data lines whose time stamp is no earlier than
// `sinceDay` (a day count), always with the last two data lines (the latest save and the one
// before it, however old) and every line after them. A line whose time stamp cannot be read is
// kept where it stands (the caller finds it does not parse). The lines are read in chunks from
// the end until one older than `sinceDay` is met.
HistoryExcerpt ReadHistoryExcerpt(IFiles& files, const std::string& path, double sinceDay);

// The last `count` lines of a text file (an event log), oldest first, CP932; nullopt when the
// file cannot be read (an empty list when it does not exist).
std::optional<std::vector<std::string>> ReadLastLines(IFiles& files, const std::string& path, size_t count);

// The lines of `bytes` (CR LF, LF or a lone CR end a line; a final line end starts no line).
std::vector<std::string_view> TextLines(std::string_view bytes);

}  // namespace orv::report
