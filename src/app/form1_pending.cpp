// Commands whose subsystems are not built yet. Each moves to its own file when its subsystem lands.
#include "app/form1.h"

namespace orv {

void TForm1::OneSheet1Click() {}
void TForm1::HDD1Click() {}
void TForm1::HDD2Click() {}
void TForm1::HDDG1Click() {}
void TForm1::HDDE1Click() {}
void TForm1::ReadSetting1Click() {}
void TForm1::SaveSetting1Click() {}
void TForm1::SearchStr1Click() {}
void TForm1::RegistrySearchClick(MenuId) {}
void TForm1::RunningProg1Click() {}
void TForm1::FileVersion1Click() {}

}  // namespace orv
