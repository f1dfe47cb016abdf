// The disk health screens (status, history table, graph) are not built yet; erasing the history is.
#include "app/form1.h"
#include "diskhealth/health_history.h"
#include "inventory/pc_file.h"

namespace orv {

void TForm1::HDD1Click() {}
void TForm1::HDD2Click() {}
void TForm1::HDDG1Click() {}
void TForm1::HDDE1Click() {
  EraseHealthHistory(platform_, PcFilePath(platform_.files, state.saveFolder, ProgramFolder(), state.computerStem));
}

}  // namespace orv
