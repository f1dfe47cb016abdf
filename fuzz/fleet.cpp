// The fleet table builder (BuildFleetTables) over a folder of random files: per-PC files, the
// item catalogue export "itemlist.csv" and the master list "roster2.csv".
//
// Input: one part per file (parts separated by 0x1E), each the file's name, a LF, then its bytes
// (CP932). A part without a name is left out; a name without ".csv" is a file the builder must
// ignore.
//
// Properties: the run succeeds (the fake folder never fails); each table has one line per
// merged per-PC file, one per master entry without a file and the header line when the folder
// has an item list; every line ends with CR LF and no other CR or LF is in a table.

#include <string>
#include <vector>

#include "fakes/fake_files.h"
#include "fleet/fleet_tables.h"
#include "fleet/table_files.h"
#include "fuzz_support.h"
#include "platform/posix/iconv_codec.h"
#include "util/text.h"

namespace {

// Lines ended by CR LF; -1 when a CR or LF stands anywhere else.
long CrLfLines(const std::string& table) {
  long lines = 0;
  for (size_t i = 0; i < table.size(); ++i) {
    if (table[i] == '\r' && i + 1 < table.size() && table[i + 1] == '\n') {
      ++lines;
      ++i;
    } else if (table[i] == '\r' || table[i] == '\n') {
      return -1;
    }
  }
  return lines;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace orv;
  const std::string folder = "C:\\pcdata";
  test::FakeFiles files;
  files.AddFolder(folder);
  for (std::string_view part : fuzz::SplitParts(fuzz::AsText(data, size))) {
    const size_t lf = part.find('\n');
    std::string name(part.substr(0, lf));
    std::erase_if(name, [](char c) { return c == '\\' || c == '/' || c == ':' || c == '\r' || c == '\0'; });
    if (name.empty()) continue;
    files.Put(folder + "\\" + name, std::string(lf == std::string_view::npos ? std::string_view() : part.substr(lf + 1)));
  }
  int perPcFiles = 0;
  for (const std::string& name : files.ListFiles(folder, "*.csv").value_or(std::vector<std::string>{})) {
    const std::string lower = LowerCase(name);
    if (lower != "itemlist.csv" && lower != kMainTableFileName && lower != kATableFileName &&
        lower != kMasterListFileName)
      ++perPcFiles;
  }
  const bool hasItemList = files.FileExists(folder + "\\itemlist.csv");

  IconvCodec codec;
  BufferedTableFiles tables(files);
  const FleetTablesResult result = BuildFleetTables(files, codec, tables, folder);

  ORV_FUZZ_CHECK(result.ok, result.message);
  ORV_FUZZ_CHECK(result.computers == perPcFiles, std::to_string(result.computers));
  const long expected = (hasItemList ? 1 : 0) + result.computers + result.masterOnlyRows;
  for (const char* table : {kMainTableFileName, kATableFileName}) {
    const std::string bytes = files.Get(folder + "\\" + table);
    ORV_FUZZ_CHECK(CrLfLines(bytes) == expected,
                   std::string(table) + ": " + std::to_string(CrLfLines(bytes)) + " lines, expected " +
                       std::to_string(expected));
  }
  return 0;
}
