// The fleet tables (menu OneSheet1, "一覧表作成"): the per-PC files in the program's own folder
// merged into roster.csv and roster_a.csv, with the column headers of "itemlist.csv" and the
// master list "roster2.csv". The builder is shared with the command-line tool qumbel-fleet; the
// menu command only chooses the folder and shows the builder's message. It touches no screen.
#include "app/form1.h"
#include "fleet/fleet_tables.h"
#include "fleet/table_files.h"

namespace orv {

void TForm1::OneSheet1Click() {
  Platform& p = platform();
  // Streamed where the platform can (a fleet of thousands makes tables of tens of megabytes).
  BufferedTableFiles inMemory(p.files);
  ITableFiles& tables = p.tables ? *p.tables : inMemory;
  FleetTablesResult result = BuildFleetTables(p.files, p.codec, tables, ProgramFolder());
  ShowMessage(result.message);
}

}  // namespace orv
