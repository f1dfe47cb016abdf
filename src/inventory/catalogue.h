#pragma once
// The item catalogue: the label of every row of the inventory record. A record value carries no
// name of its own; its row number is its key, and this catalogue names the rows.
//
// Rows 1 to 90 are fixed items, labelled by the Japanese label list (the catalogue of the current
// record). The English key list is an older layout with its own order, used only by the English
// item-list export. Both lists end with the names of the registry item script's items, read from
// "regitems.txt" with the same line rules as the script's evaluator, so that names and values
// stay row for row.

#include <string>
#include <string_view>
#include <vector>

#include "util/record_sink.h"

namespace orv {

class IFiles;
class ITextCodec;

inline constexpr const char* kOsKindNT = "NT";
inline constexpr const char* kOsKind9x = "9x";
inline constexpr const char* kScriptFileName = "regitems.txt";
inline constexpr const char* kItemListFileName = "itemlist.csv";

inline constexpr int kJapaneseLabelRows = 90;
inline constexpr int kEnglishKeyRows = 61;

// The fixed labels of rows 1 to 90 for an OS kind; rows 25 and 35 are labelled only for "NT"
// (empty otherwise, the rows stay). Element 0 is row 1.
std::vector<std::string> JapaneseLabels(const std::string& osKind);
// The 61 keys of the English list; rows 25, 33 and 35 only for "NT", row 7 always empty.
std::vector<std::string> EnglishKeys(const std::string& osKind);

// The most rows one "#" line yields. More printers or shared folders than this do not exist on
// one PC; a larger count is a slip of the keyboard ("#printers 20000000") that would otherwise
// stall every collection run and its label list on millions of empty rows, then exhaust memory.
inline constexpr int kMaxCountLineRows = 1000;

// The count of a "#" line: the text after its first blank read as a whole number, at most
// kMaxCountLineRows; a line without a blank, a text that is not a whole number, or zero give 1.
// The script's evaluator and the catalogue read the count alike, so a "#" line yields as many
// names as values.
int CountLineCount(std::string_view line);

// The names the catalogue gives the script's items, in script order, for the lines of
// "regitems.txt" and an OS kind:
//  - the last line never yields a name (the reader handles a line only when the end of the
//    file does not follow it directly);
//  - a "?" line is a section header: when it contains the OS kind (case-sensitive) the lines
//    after it are handled, otherwise they are skipped up to the next "?" line, which is then a
//    header in turn ("?end" is no different here);
//  - lines starting with "\", "HKEY_" or "//" yield no name;
//  - a "#" line yields the text before its first blank (the whole line without a blank), then
//    count - 1 empty names;
//  - any other line, an empty one included, yields the text after its first "==" when it holds
//    one, else the whole line.
std::vector<std::string> ScriptItemNames(const std::vector<std::string>& lines, const std::string& osKind);

// ScriptItemNames of "regitems.txt" in `programFolder` (with its trailing backslash); nothing
// when the file is missing or cannot be read.
std::vector<std::string> ReadScriptItemNames(IFiles& files, const ITextCodec& codec,
                                             const std::string& programFolder, const std::string& osKind);

// Writes `name` into the counter's row of the grid and advances the counter. The grid grows when
// it has no such row (row count = counter + 1). Mode 1 writes column 1, mode 2 column 2, any
// other mode both.
void AddLabel(ITableSink& grid, int& counter, const std::string& name, int mode);

// Set the counter to 1, then add the list's labels for `osKind` and after them `scriptNames`.
void WriteJapaneseLabels(ITableSink& grid, int& counter, const std::string& osKind, int mode,
                         const std::vector<std::string>& scriptNames);
void WriteEnglishKeys(ITableSink& grid, int& counter, const std::string& osKind, int mode,
                      const std::vector<std::string>& scriptNames);

// The lines of "itemlist.csv": for every grid row from 1 to the last one, column 1 and column 2
// as CSV fields joined by ",". No header line.
std::vector<std::string> ItemListLines(const ITableSink& grid);

}  // namespace orv
