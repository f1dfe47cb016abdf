#pragma once
// The Windows Update agent's history (IUpdateSearcher::QueryHistory).

#include "platform/update_history.h"

namespace orv::win32 {

class Win32UpdateHistory final : public IUpdateHistory {
 public:
  std::optional<std::vector<HistoryUpdate>> InstalledUpdates(std::chrono::milliseconds timeLimit) override;
};

}  // namespace orv::win32
