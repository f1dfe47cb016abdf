#pragma once
// Names the processor from its identification leaves and measures its clock.

#include <cstdint>
#include <string>

namespace orv {

class ICpu;

std::string GetProcessorName(ICpu& cpu);
// Processor cycles per second, or 0 when they cannot be measured.
int64_t MeasureProcessorClock(ICpu& cpu);

}  // namespace orv
