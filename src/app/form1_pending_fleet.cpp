// The fleet tables are not built yet.
#include "app/form1.h"

namespace orv {

void TForm1::OneSheet1Click() {}

}  // namespace orv
