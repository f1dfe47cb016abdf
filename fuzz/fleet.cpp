// The fleet folder: the table builder (BuildFleetTables) and the disk health report
// (BuildDiskReport) over the same random files: per-PC files, the item catalogue export
// "itemlist.csv", the master list "roster2.csv", histories read from their end and an event log.
//
// Input: one part per file, each the file's name, a LF, then its bytes (CP932). A name that starts
// with "hdd/" is a file of the history folder (a history, or "_hddfail.txt"); any other name is
// a file of the folder itself. A part without a name is left out; a name without ".csv" is a file
// both builders must ignore.
//
// Properties: both runs succeed (the fake folder never fails). The report is one HTML page in
// valid UTF-8 with one table body per per-PC file, and every "<" of it opens one of the page's own
// elements, so that no text of a file became markup. Each table has one line per merged per-PC
// file, one per master entry without a file and the header line when the folder has an item list;
// every line ends with CR LF and no other CR or LF is in a table.

#include <set>

#include "fleet/fleet_tables.h"
#include "fleet/report/disk_report.h"
#include "fleet/table_files.h"
#include "fuzz_support.h"

namespace {

// The first "<" that does not open or close an element of the page's own vocabulary; npos if none.
size_t StrayMarkup(const std::string& page) {
  static const std::vector<std::string> list = orv::Split(
      "!DOCTYPE html head meta title style body h1 h2 p br ul li span div figure figcaption pre table "
      "thead tbody tr th td svg rect path text clipPath g polygon ellipse",
      ' ');
  static const std::set<std::string> tags(list.begin(), list.end());
  for (size_t at = page.find('<'); at != std::string::npos; at = page.find('<', at + 1)) {
    size_t from = at + 1 + (at + 1 < page.size() && page[at + 1] == '/' ? 1 : 0);
    size_t end = page.find_first_of(" >\n/", from);
    if (end == std::string::npos || !tags.count(page.substr(from, end - from))) return at;
  }
  return std::string::npos;
}

}  // namespace

ORV_FUZZ_TARGET(input) {
  const std::string folder = "C:\\pcdata";
  test::FakeFiles files;
  files.AddFolder(folder + "\\hdd");
  PutFiles(files, Parts(input), [&](std::string& name) {
    if (name.rfind("hdd/", 0) != 0) return folder;
    name.erase(0, 4);
    return folder + "\\hdd";
  });
  long perPcFiles = 0;
  for (const std::string& name : files.ListFiles(folder, "*.csv").value_or(std::vector<std::string>{}))
    perPcFiles += IsPerPcFileName(name) ? 1 : 0;
  const bool itemList = files.FileExists(folder + "\\itemlist.csv");
  IconvCodec codec;

  BufferedTableFiles pages(files);
  const DiskReportResult r = BuildDiskReport(files, codec, pages, folder, DateTime{2026, 12, 6, 9, 0, 0, 0});
  ORV_FUZZ_CHECK(r.ok, r.message);
  const std::string page = files.Get(r.path);
  ORV_FUZZ_CHECK(page.rfind("<!DOCTYPE html>", 0) == 0 && page.ends_with("</html>\n"), "not a whole page");
  ORV_FUZZ_CHECK(ValidUtf8(page), "not UTF-8");
  ORV_FUZZ_CHECK(Occurrences(page, "<tbody class=\"pc\">") == perPcFiles, perPcFiles, " per-PC files");
  const size_t stray = StrayMarkup(page);
  ORV_FUZZ_CHECK(stray == std::string::npos, page.substr(stray, 60));

  BufferedTableFiles tables(files);
  const FleetTablesResult result = BuildFleetTables(files, codec, tables, folder);
  ORV_FUZZ_CHECK(result.ok, result.message);
  ORV_FUZZ_CHECK(result.computers == perPcFiles, result.computers);
  const long expected = itemList + result.computers + result.masterOnlyRows;
  for (const char* table : {kMainTableFileName, kATableFileName}) {
    const long lines = CrLfLines(files.Get(folder + "\\" + table));
    ORV_FUZZ_CHECK(lines == expected, table, ": ", lines, " lines, expected ", expected);
  }
}
