#pragma once
// The Windows Update history: the updates the update agent installed, with their titles.

#include <chrono>
#include <optional>
#include <string>
#include <vector>

#include "platform/clock.h"

namespace orv {

struct HistoryUpdate {
  DateTime installed;  // when it was installed (the agent's time, UTC)
  std::string title;   // "2023-05 Cumulative Update for Windows 11 ... (KB5026446)"
};

class IUpdateHistory {
 public:
  virtual ~IUpdateHistory() = default;
  // The history entries of successful installations, newest first as the agent lists them.
  // nullopt when the agent cannot be asked, refuses, or does not answer within `timeLimit`.
  virtual std::optional<std::vector<HistoryUpdate>> InstalledUpdates(std::chrono::milliseconds timeLimit) = 0;
};

}  // namespace orv
