// The fleet table builder (BuildFleetTables) over a folder of random files: per-PC files, the
// item catalogue export "itemlist.csv" and the master list "roster2.csv".
//
// Input: one part per file, each the file's name, a LF, then its bytes (CP932). A part without a
// name is left out; a name without ".csv" is a file the builder must ignore.
//
// Properties: the run succeeds (the fake folder never fails); each table has one line per
// merged per-PC file, one per master entry without a file and the header line when the folder
// has an item list; every line ends with CR LF and no other CR or LF is in a table.

#include "fleet/fleet_tables.h"
#include "fleet/table_files.h"
#include "fuzz_support.h"

ORV_FUZZ_TARGET(input) {
  const std::string folder = "C:\\pcdata";
  test::FakeFiles files;
  files.AddFolder(folder);
  PutFiles(files, Parts(input), [&](std::string&) { return folder; });
  int perPcFiles = 0;
  for (const std::string& name : files.ListFiles(folder, "*.csv").value_or(std::vector<std::string>{})) {
    const std::string lower = LowerCase(name);
    perPcFiles += lower != "itemlist.csv" && lower != kMainTableFileName && lower != kATableFileName &&
                  lower != kMasterListFileName;
  }
  IconvCodec codec;
  BufferedTableFiles tables(files);
  const FleetTablesResult result = BuildFleetTables(files, codec, tables, folder);
  ORV_FUZZ_CHECK(result.ok, result.message);
  ORV_FUZZ_CHECK(result.computers == perPcFiles, result.computers);
  const long expected =
      files.FileExists(folder + "\\itemlist.csv") + result.computers + result.masterOnlyRows;
  for (const char* table : {kMainTableFileName, kATableFileName}) {
    const long lines = CrLfLines(files.Get(folder + "\\" + table));
    ORV_FUZZ_CHECK(lines == expected, table, ": ", lines, " lines, expected ", expected);
  }
}
