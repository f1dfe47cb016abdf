#pragma once

namespace orv {

// This program's name and version, as shown by the About box and written into record row 2.
inline constexpr const char* kProgramVersionText = "Orvanta 1.0.0";
inline constexpr const char* kProgramTitle = "Orvanta";

}  // namespace orv
