// The disk health screens are not built yet.
#include "app/form1.h"

namespace orv {

void TForm1::HDD1Click() {}
void TForm1::HDD2Click() {}
void TForm1::HDDG1Click() {}
void TForm1::HDDE1Click() {}

}  // namespace orv
