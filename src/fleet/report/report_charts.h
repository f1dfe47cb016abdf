#pragma once
// The report's charts, drawn by the chart component on its SVG canvas and given as inline SVG
// elements (no XML declaration) for the HTML page.

#include <array>
#include <string>
#include <vector>

#include "fleet/report/pc_health.h"

namespace orv::report {

// The distribution of the drives' latest temperatures: bins of five degrees from below 25 °C
// (bin 0) to 65 °C and above (the last bin).
inline constexpr int kTemperatureBins = 10;
inline constexpr int kFirstBinCelsius = 25;  // bin 1 starts here; bin 0 is everything below
int TemperatureBin(int celsius);
std::string TemperatureDistributionChart(const std::array<int, kTemperatureBins>& drives);

// The computers with a failure, and with a failure or a warning, per week of the last 13 (index 0
// = the last seven days).
std::string WeeklyConcernChart(const std::array<int, kTrendWeeks>& withFailure,
                               const std::array<int, kTrendWeeks>& withFailureOrWarning);

// One drive's last 90 days: its temperature above, its failure and warning counts below.
std::string DriveTrendChart(const std::vector<TrendPoint>& trend);

}  // namespace orv::report
