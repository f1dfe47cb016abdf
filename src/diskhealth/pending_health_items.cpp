// Disk health is not read yet: the six rows stay empty.
#include "diskhealth/health_items.h"

namespace orv {

void DiskHealthItems(Platform&, const std::string&, const std::function<void(const std::string&)>& addValue) {
  for (int i = 0; i < 6; ++i) addValue("");
}

}  // namespace orv
