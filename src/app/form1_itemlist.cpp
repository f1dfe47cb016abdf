// The item-list exports (menus ItemList1 and ItemList2).
#include "app/form1.h"

namespace orv {

void TForm1::ItemList1Click() {}
void TForm1::ItemList2Click() {}

}  // namespace orv
