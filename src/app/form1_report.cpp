// The disk health report (menu DiskReport1, "ディスク健康レポート", shown with "/a" beside the
// fleet tables): the per-PC files in the program's own folder and their histories in its "hdd"
// sub-folder become "report.html" there, which the shell then opens as Help opens the manual. The
// report is shared with qumbel-fleet --report; only a failure is told in a message box.
#include "app/form1.h"
#include "fleet/report/disk_report.h"
#include "fleet/table_files.h"
#include "platform/shell.h"
#include "platform/system.h"

namespace orv {

void TForm1::DiskReport1Click() {
  Platform& p = platform();
  BufferedTableFiles inMemory(p.files);
  ITableFiles& pages = p.tables ? *p.tables : inMemory;
  DiskReportResult result = BuildDiskReport(p.files, p.codec, pages, ProgramFolder(), p.system.Now());
  if (!result.ok) {
    ShowMessage(result.message);
    return;
  }
  p.shell.OpenDocument(result.path);
}

}  // namespace orv
