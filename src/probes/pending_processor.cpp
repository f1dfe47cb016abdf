// Processor identification is not built yet: no name, no clock.
#include "probes/processor.h"

namespace orv {

std::string GetProcessorName(ICpu&) { return {}; }
int64_t MeasureProcessorClock(ICpu&) { return 0; }

}  // namespace orv
