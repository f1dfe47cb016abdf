// The script evaluator is not built yet: a run adds no script rows.
#include "regscript/reg_items.h"

namespace orv {

void EvaluateRegItems(RegItemsContext&, const std::string&) {}

}  // namespace orv
