#pragma once
// The fleet table builder: merges the per-PC inventory files of one folder into two tables with
// one row per computer, the main table "roster.csv" and the A table "roster_a.csv".
//
// Inputs, all in the same folder, CP932 text with CR LF (or LF) line ends:
//  - every "*.csv" file except the four below (compared in any letter case) is a per-PC file:
//    one value per line, each already a CSV field, the computer's identity
//    "<computer>__<workgroup>" first. The line "/UninstallInfo" (a literal line of the registry
//    item script) splits it: the values before it go to the main table, those after it (the
//    rest of the script's items, the program rows, the patch rows) to the A table.
//    Any other CSV dropped in the folder is merged the same way, line by line;
//  - "itemlist.csv", the item catalogue export, optional: gives both tables a header line;
//  - "roster2.csv", the master list, optional: a header line, then one line per computer whose
//    first field names it, by its full identity or by its computer name, in any letter case.
//    Its columns stand in front of each computer's values, and its computers without a per-PC
//    file get a row of their own at the end of both tables.
//
// One piece of code serves the menu command OneSheet1 (the program's folder, message boxes) and
// the command line tool qumbel-fleet (any folder, console); only where the message goes differs.

#include <string>
#include <string_view>

namespace orv {

class IFiles;
class ITableFiles;
class ITextCodec;

inline constexpr const char* kMainTableFileName = "roster.csv";
inline constexpr const char* kATableFileName = "roster_a.csv";
inline constexpr const char* kMasterListFileName = "roster2.csv";
// A per-PC file's line, and an item catalogue export line, that splits main table and A table.
inline constexpr std::string_view kSplitMarkerLine = "/UninstallInfo";
inline constexpr std::string_view kSplitMarkerItemLine = "/UninstallInfo,/UninstallInfo";

inline constexpr const char* kFleetTablesDoneMessage = "集計表を作成しました：roster.csv, roster_a.csv";
inline constexpr const char* kCannotOpenSuffix = "が開けません";

struct FleetTablesResult {
  bool ok = false;
  // The message for the user: kFleetTablesDoneMessage, or the name of the file that could not be
  // read or written followed by kCannotOpenSuffix.
  std::string message;
  int computers = 0;       // per-PC files merged
  int masterOnlyRows = 0;  // master entries that no per-PC file matched
};

// Builds both tables from the files in `folder` (a Windows path; with or without its trailing
// backslash; empty for the current folder) and puts them in place of the previous ones, both at
// the end of a complete run. When a file cannot be read, or a table cannot be written, the run
// stops with the message naming that file (or the folder, when it cannot be listed) and the
// previous tables stay as they were (when the main table was already replaced and only the A
// table fails, the previous main table is put back: the two always belong together).
//
// Rows of the per-PC files are copied as the bytes the PCs wrote (CP932): only line ends become
// commas, so no value is re-encoded on its way into the tables.
FleetTablesResult BuildFleetTables(IFiles& files, const ITextCodec& codec, ITableFiles& tables,
                                   const std::string& folder);

// False for the names (in any letter case) of the files the builder reads or writes besides the
// per-PC files: "itemlist.csv", "roster.csv", "roster_a.csv", "roster2.csv".
bool IsPerPcFileName(const std::string& name);

// The order of the master entries: ASCII letters compared without case (as lower case), then
// byte order of the UTF-8 text, so code point order beyond ASCII. The same on every platform
// whatever its locale. Negative, zero or positive like strcmp.
int CompareMasterEntries(std::string_view a, std::string_view b);

}  // namespace orv
