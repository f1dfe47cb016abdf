// The script editor and the lookup tools are not built yet.
#include "app/form1.h"

namespace orv {

void TForm1::ReadSetting1Click() {}
void TForm1::SaveSetting1Click() {}
void TForm1::SearchStr1Click() {}
void TForm1::RegistrySearchClick(MenuId) {}
void TForm1::RunningProg1Click() {}
void TForm1::FileVersion1Click() {}

}  // namespace orv
