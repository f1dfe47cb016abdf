#include "fleet/fleet_tables.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <optional>
#include <unordered_map>
#include <vector>

#include "fleet/table_files.h"
#include "inventory/csv_field.h"
#include "platform/files.h"
#include "platform/text_codec.h"
#include "util/text.h"

namespace orv {

namespace {

constexpr const char* kItemListName = "itemlist.csv";
constexpr std::string_view kLineEnd = "\r\n";

// ---- bytes and texts ---------------------------------------------------------------------------

char FoldAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

std::string Folded(std::string_view s) {
  std::string out(s);
  for (char& c : out) c = FoldAscii(c);
  return out;
}

bool IsAscii(std::string_view s) {
  for (char c : s)
    if (static_cast<unsigned char>(c) >= 0x80) return false;
  return true;
}

// UTF-8 text as table bytes. ASCII is the same in CP932, which spares the converter the
// identities and computer names of a whole fleet.
std::string TableBytes(const ITextCodec& codec, std::string_view utf8) {
  return IsAscii(utf8) ? std::string(utf8) : codec.ToCp932(utf8);
}

// Number of characters of CP932 bytes: a lead byte with its trail byte is one character, any
// other byte one (as the converter counts them when it decodes: a bad byte becomes one "?").
size_t Cp932CharCount(std::string_view s) {
  size_t count = 0;
  for (size_t i = 0; i < s.size(); ++count) {
    auto lead = static_cast<unsigned char>(s[i]);
    bool isLead = (lead >= 0x81 && lead <= 0x9F) || (lead >= 0xE0 && lead <= 0xFC);
    if (isLead && i + 1 < s.size()) {
      auto trail = static_cast<unsigned char>(s[i + 1]);
      if (trail >= 0x40 && trail <= 0xFC && trail != 0x7F) {
        i += 2;
        continue;
      }
    }
    ++i;
  }
  return count;
}

// Calls `f` with each line of `bytes`. CR LF, LF and a lone CR end a line; a final line end
// starts no further line, so an empty file has no line. CP932 never uses CR or LF inside a
// character, so the bytes can be split without decoding them.
template <typename F>
void ForEachLine(std::string_view bytes, F&& f) {
  const char* p = bytes.data();
  const char* end = p + bytes.size();
  while (p < end) {
    const char* lf = static_cast<const char*>(std::memchr(p, '\n', static_cast<size_t>(end - p)));
    const char* segmentEnd = lf ? lf : end;
    const char* cr = static_cast<const char*>(std::memchr(p, '\r', static_cast<size_t>(segmentEnd - p)));
    if (cr && cr + 1 != segmentEnd) {  // a lone CR
      f(std::string_view(p, static_cast<size_t>(cr - p)));
      p = cr + 1;
      continue;
    }
    f(std::string_view(p, static_cast<size_t>((cr ? cr : segmentEnd) - p)));
    p = lf ? lf + 1 : end;
  }
}

std::vector<std::string> Lines(std::string_view text) {
  std::vector<std::string> lines;
  ForEachLine(text, [&](std::string_view line) { lines.emplace_back(line); });
  return lines;
}

// ---- master list -------------------------------------------------------------------------------

std::string_view FirstField(std::string_view entry) {
  size_t comma = entry.find(',');
  return comma == std::string_view::npos ? entry : entry.substr(0, comma);
}

class MasterList {
 public:
  // The list from its text (UTF-8); an empty text is a list without header and entries.
  MasterList(const ITextCodec& codec, std::string_view text) {
    std::vector<std::string> lines = Lines(text);
    if (lines.empty()) return;
    header_ = lines[0];
    filler_.assign(static_cast<size_t>(std::count(header_.begin(), header_.end(), ',')), ',');

    // Entries: the first field in upper case, the rest as written; sorted, equal ones in file order.
    std::vector<std::string> entries;
    entries.reserve(lines.size() - 1);
    for (size_t i = 1; i < lines.size(); ++i) {
      std::string& line = lines[i];
      size_t firstFieldEnd = std::min(line.find(','), line.size());
      entries.push_back(UpperCase(std::string_view(line).substr(0, firstFieldEnd)) +
                        line.substr(firstFieldEnd));
    }
    std::vector<std::string> folded;
    folded.reserve(entries.size());
    for (const auto& e : entries) folded.push_back(Folded(e));
    std::vector<size_t> order(entries.size());
    for (size_t i = 0; i < order.size(); ++i) order[i] = i;
    std::stable_sort(order.begin(), order.end(), [&](size_t a, size_t b) { return folded[a] < folded[b]; });
    entries_.reserve(entries.size());
    folded_.reserve(entries.size());
    for (size_t i : order) {
      entries_.push_back(std::move(entries[i]));
      folded_.push_back(std::move(folded[i]));
    }
    used_.assign(entries_.size(), false);
    for (size_t i = 0; i < entries_.size(); ++i)
      byFirstField_[std::string(FirstField(entries_[i]))].push_back(i);
    EncodeEntries(codec);
  }

  const std::string& header() const { return header_; }
  const std::string& filler() const { return filler_; }
  size_t size() const { return entries_.size(); }
  bool used(size_t i) const { return used_[i]; }
  const std::string& entry(size_t i) const { return entries_[i]; }
  const std::string& entryBytes(size_t i) const { return bytes_[i]; }
  void Use(size_t i) { used_[i] = true; }

  // The first free entry, in sorted order, whose first n characters are `id`.
  std::optional<size_t> FindByIdentity(const std::string& id, size_t n) const {
    // Such an entry starts with `id`, so it lies in the run of entries that start with it
    // letter case aside.
    std::string key = Folded(id);
    auto it = std::lower_bound(folded_.begin(), folded_.end(), key);
    for (; it != folded_.end() && StartsWith(*it, key); ++it) {
      size_t i = static_cast<size_t>(it - folded_.begin());
      if (!used_[i] && LeftChars(entries_[i], n) == id) return i;
    }
    return std::nullopt;
  }

  // The first free entry, in sorted order, whose first field is `name`.
  std::optional<size_t> FindByFirstField(const std::string& name) const {
    auto it = byFirstField_.find(name);
    if (it == byFirstField_.end()) return std::nullopt;
    for (size_t i : it->second)
      if (!used_[i]) return i;
    return std::nullopt;
  }

 private:
  // The table bytes of every entry, converted in one call: entries hold no line break, and the
  // converter keeps LF as LF.
  void EncodeEntries(const ITextCodec& codec) {
    std::string joined;
    for (const auto& e : entries_) {
      joined += e;
      joined += '\n';
    }
    std::string encoded = TableBytes(codec, joined);
    bytes_.reserve(entries_.size());
    size_t start = 0;
    while (bytes_.size() < entries_.size()) {
      size_t lf = encoded.find('\n', start);
      if (lf == std::string::npos) break;
      bytes_.push_back(encoded.substr(start, lf - start));
      start = lf + 1;
    }
    if (bytes_.size() != entries_.size() || start != encoded.size()) {  // never expected; be exact anyway
      bytes_.clear();
      for (const auto& e : entries_) bytes_.push_back(TableBytes(codec, e));
    }
  }

  std::string header_;
  std::string filler_;
  std::vector<std::string> entries_;  // sorted
  std::vector<std::string> folded_;   // the same, ASCII letters in lower case: the search keys
  std::vector<std::string> bytes_;    // the same as table bytes
  std::vector<bool> used_;
  std::unordered_map<std::string, std::vector<size_t>> byFirstField_;  // indices in sorted order
};

// ---- headers -----------------------------------------------------------------------------------

// The part of an item catalogue export line that names the item on the NT family, with the
// comma in front of it: from the end of the first field on. A quoted first field ends at its
// closing double quote (a doubled quote inside it is a quote of the name). A line without a
// second field (not written by the export, but a hand-made list may hold one) names the item
// with an empty name, so that every line is one column.
std::string_view LabelTail(std::string_view line) {
  size_t from = 0;
  if (!line.empty() && line[0] == '"') {
    size_t close = line.find('"', 1);
    while (close != std::string_view::npos && close + 1 < line.size() && line[close + 1] == '"')
      close = line.find('"', close + 2);
    from = close == std::string_view::npos ? line.size() : close + 1;
  }
  size_t comma = line.find(',', from);
  return comma == std::string_view::npos ? std::string_view(",") : line.substr(comma);
}

struct Headers {
  std::string main, a;
};

// `master` is null without a master list.
Headers BuildHeaders(const std::vector<std::string>& itemLines, const MasterList* master) {
  Headers h;
  size_t start = 0;
  if (master && !itemLines.empty()) {
    // The master columns take the place of the first item, the computer's identity.
    start = 1;
    h.main = master->header();
    h.a = master->header();
  }
  bool toA = false;
  for (size_t i = start; i < itemLines.size(); ++i) {
    const std::string& line = itemLines[i];
    if (line == kSplitMarkerItemLine)
      toA = true;
    else
      (toA ? h.a : h.main) += LabelTail(line);
    // Without a master list the A table's first column is the identity item too.
    if (!master && i == 0) h.a = h.main;
  }
  if (StartsWith(h.a, ",")) h.a.erase(0, 1);
  if (!master && StartsWith(h.main, ",")) h.main.erase(0, 1);
  // The end of the main header stays as assembled: every export line gave exactly one column, so
  // the header is as wide as the rows. A comma at its end separates an empty last name (an empty
  // script line before the marker, say), whose column every row has too.
  return h;
}

// ---- rows --------------------------------------------------------------------------------------

// A per-PC line as one table field. Files written before the program quoted values that begin
// with a double quote hold such values as they are (`"C:\Program Files\A\a.exe" /S`, `"abc`),
// and every CSV reader would run such a field on into the next ones: the builder quotes them as
// it copies them. A line that is already a quoted field, as the program writes one (a value with
// a comma, or one that begins with a quote), stays as it is.
bool IsQuotedField(std::string_view line) {
  if (line.size() < 2 || line.front() != '"' || line.back() != '"') return false;
  bool comma = false;
  for (size_t i = 1; i + 1 < line.size(); ++i) {
    if (line[i] == ',') comma = true;
    if (line[i] != '"') continue;
    if (i + 2 >= line.size() || line[i + 1] != '"') return false;  // a lone quote inside
    ++i;
  }
  const bool valueBeginsWithQuote = line.size() >= 4 && line[1] == '"' && line[2] == '"';
  return comma || valueBeginsWithQuote;
}

void AppendField(std::string& row, std::string_view line) {
  if (!line.empty() && line.front() == '"' && !IsQuotedField(line))
    row += QuotedCsvField(line);  // CP932 never uses the quote byte inside a character
  else
    row.append(line);
}

// One per-PC file split at the marker, as table bytes. Every value keeps a comma in front.
struct PcValues {
  std::string_view first;    // the first line: the computer's identity
  bool firstIsMain = false;  // false for an empty file, or one that starts with the marker
  size_t firstFieldSize = 0;  // the first line as a field of the main row
  std::string main;          // ",v1,v2,..." the values before the marker, the first included
  std::string a;             // ",a1,a2,..." the values after it
  bool hasA = false;         // at least one value after the marker

  void Read(std::string_view bytes) {
    first = {};
    firstIsMain = false;
    firstFieldSize = 0;
    main.clear();
    a.clear();
    hasA = false;
    bool toA = false;
    bool isFirst = true;
    ForEachLine(bytes, [&](std::string_view line) {
      const bool isFirstLine = isFirst;
      if (isFirst) {
        first = line;
        isFirst = false;
        firstIsMain = line != kSplitMarkerLine;
      }
      if (line == kSplitMarkerLine) {
        toA = true;
        return;
      }
      std::string& row = toA ? a : main;
      row += ',';
      AppendField(row, line);
      if (isFirstLine) firstFieldSize = main.size() - 1;
      hasA = hasA || toA;
    });
  }

  // The first value as a field.
  std::string_view FirstField() const {
    return firstIsMain ? std::string_view(main).substr(1, firstFieldSize) : std::string_view();
  }
  // The main values after the first one, each with its comma.
  std::string_view MainAfterFirst() const {
    return firstIsMain ? std::string_view(main).substr(1 + firstFieldSize) : std::string_view(main);
  }
};

std::string_view WithoutLeadingComma(std::string_view row) { return row.empty() ? row : row.substr(1); }

// The upper-cased file name up to its first ".".
std::string FileIdentity(const std::string& name) {
  return UpperCase(std::string_view(name).substr(0, std::min(name.find('.'), name.size())));
}

// The computer name part of an identity: before its first "__", or else before its last "_".
std::string ComputerNamePart(const std::string& id) {
  size_t cut = id.find("__");
  if (cut == std::string::npos) {
    cut = id.rfind('_');
    if (cut == std::string::npos) return {};
  }
  return id.substr(0, cut);
}

std::string WithFolderSeparator(const std::string& folder) {
  if (folder.empty() || folder.back() == '\\' || folder.back() == '/') return folder;
  return folder + "\\";
}

// The name of a special file as the folder lists it (any letter case), so that a list saved as
// "Roster2.csv" is found where names are case-sensitive too; `name` when it is not there.
std::string ListedName(const std::vector<std::string>& listing, const std::string& name) {
  if (std::find(listing.begin(), listing.end(), name) != listing.end()) return name;
  for (const auto& n : listing)
    if (LowerCase(n) == name) return n;
  return name;
}

FleetTablesResult Failure(const std::string& fileName) {
  FleetTablesResult r;
  r.message = fileName + kCannotOpenSuffix;
  return r;
}

}  // namespace

bool IsPerPcFileName(const std::string& name) {
  const std::string lower = LowerCase(name);
  return lower != kItemListName && lower != kMainTableFileName && lower != kATableFileName &&
         lower != kMasterListFileName;
}

int CompareMasterEntries(std::string_view a, std::string_view b) {
  size_t n = std::min(a.size(), b.size());
  for (size_t i = 0; i < n; ++i) {
    auto x = static_cast<unsigned char>(FoldAscii(a[i]));
    auto y = static_cast<unsigned char>(FoldAscii(b[i]));
    if (x != y) return x < y ? -1 : 1;
  }
  return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
}

FleetTablesResult BuildFleetTables(IFiles& files, const ITextCodec& codec, ITableFiles& tables,
                                   const std::string& folder) {
  const std::string dir = WithFolderSeparator(folder);
  // A folder that cannot be listed is not an empty one: tables without a computer must never
  // replace the previous ones because the share failed for a moment.
  const std::optional<std::vector<std::string>> listed = files.ListFiles(dir, "*.csv");
  if (!listed) return Failure(folder.empty() ? std::string(".") : folder);
  const std::vector<std::string>& listing = *listed;
  std::string error;

  // 1. The two new tables, beside the previous ones until the end.
  std::unique_ptr<ITableWriter> mainTable =
      tables.Create(dir + ListedName(listing, kMainTableFileName), &error);
  if (!mainTable) return Failure(kMainTableFileName);
  std::unique_ptr<ITableWriter> aTable = tables.Create(dir + ListedName(listing, kATableFileName), &error);
  if (!aTable) return Failure(kATableFileName);
  auto writeBoth = [&](std::string_view mainLine, std::string_view aLine) {
    mainTable->Append(mainLine);
    mainTable->Append(kLineEnd);
    aTable->Append(aLine);
    aTable->Append(kLineEnd);
  };

  // 2. The master list. Both optional files are read first and looked for only when that fails:
  // one that is there but cannot be seen for a moment would otherwise give tables of another
  // shape (no master columns, no header line).
  std::unique_ptr<MasterList> master;
  const std::string masterPath = dir + ListedName(listing, kMasterListFileName);
  if (std::optional<std::string> bytes = files.ReadFile(masterPath)) {
    master = std::make_unique<MasterList>(codec, codec.FromCp932(*bytes));
  } else if (files.FileExists(masterPath)) {
    return Failure(kMasterListFileName);
  }

  // 3. The header lines, from the item catalogue export.
  const std::string itemListPath = dir + ListedName(listing, kItemListName);
  if (std::optional<std::string> bytes = files.ReadFile(itemListPath)) {
    Headers h = BuildHeaders(Lines(codec.FromCp932(*bytes)), master.get());
    writeBoth(TableBytes(codec, h.main), TableBytes(codec, h.a));
  } else if (files.FileExists(itemListPath)) {
    return Failure(kItemListName);
  }

  // 4. One row per per-PC file, in the order the folder lists them.
  FleetTablesResult result;
  PcValues pc;
  for (const std::string& name : listing) {
    if (!IsPerPcFileName(name)) continue;
    std::optional<std::string> bytes = files.ReadFile(dir + name);
    if (!bytes) return Failure(name);
    pc.Read(*bytes);
    ++result.computers;

    if (!master) {
      mainTable->Append(WithoutLeadingComma(pc.main));
      mainTable->Append(kLineEnd);
      // The A row starts with the identity, as the A header does.
      if (pc.firstIsMain) {
        aTable->Append(pc.FirstField());
        aTable->Append(pc.a);
      } else {
        aTable->Append(WithoutLeadingComma(pc.a));
      }
      aTable->Append(kLineEnd);
      continue;
    }

    // The master columns replace the identity: the computer's entry when one is found, else the
    // identity and empty master columns.
    const std::string id = FileIdentity(name);
    const size_t n = Cp932CharCount(pc.first);
    std::string head;
    if (std::optional<size_t> i = master->FindByIdentity(id, n)) {
      head = master->entryBytes(*i);
      master->Use(*i);
    } else if (std::string computer = ComputerNamePart(id);
               !computer.empty() && (i = master->FindByFirstField(computer))) {
      // Found by the computer name alone: the row carries the full identity.
      const std::string& entry = master->entry(*i);
      head = TableBytes(codec, id + entry.substr(std::min(entry.find(','), entry.size())));
      master->Use(*i);
    } else {
      head = TableBytes(codec, id) + master->filler();
    }
    mainTable->Append(head);
    mainTable->Append(pc.MainAfterFirst());
    mainTable->Append(kLineEnd);
    aTable->Append(head);
    // The A row is the master columns, a comma and the values after the marker: without such
    // values it ends with that comma (an empty first A column, as wide as the rows that have one).
    aTable->Append(pc.hasA ? std::string_view(pc.a) : std::string_view(","));
    aTable->Append(kLineEnd);
  }

  // 5. Computers of the master list without a per-PC file.
  if (master) {
    for (size_t i = 0; i < master->size(); ++i) {
      if (master->used(i)) continue;
      writeBoth(master->entryBytes(i), master->entryBytes(i));
      ++result.masterOnlyRows;
    }
  }

  // 6. Both tables complete: now they replace the previous ones.
  if (!mainTable->Finish(&error)) return Failure(kMainTableFileName);
  if (!aTable->Finish(&error)) return Failure(kATableFileName);
  if (!mainTable->Replace(&error)) return Failure(kMainTableFileName);
  if (!aTable->Replace(&error)) {
    // The new main table without its A table would be half a pair: the previous one goes back.
    mainTable->Restore();
    return Failure(kATableFileName);
  }
  result.ok = true;
  result.message = kFleetTablesDoneMessage;
  return result;
}

}  // namespace orv
