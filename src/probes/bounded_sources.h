#pragma once
// The slow sources of one collection run (WMI and the Windows Update history) under one time
// budget. On a real PC a WMI provider or the update agent may take seconds or never answer; once
// the budget is spent every further call fails at once, so the remaining rows take their empty
// values and an unattended run always ends. Answers are kept for the run: a query asked twice
// (the memory modules, the installed updates for row 32 and the script) is asked once.

#include <chrono>
#include <functional>
#include <map>
#include <memory>
#include <tuple>

#include "platform/update_history.h"
#include "platform/wmi.h"

namespace orv {

using SteadyClock = std::function<std::chrono::steady_clock::time_point()>;

// The whole WMI time of a collection run.
inline constexpr std::chrono::milliseconds kCollectionWmiBudget{60000};

class SourceBudget {
 public:
  // `now` may be empty: the steady clock.
  SourceBudget(std::chrono::milliseconds total, SteadyClock now);
  // Time left; zero when spent.
  std::chrono::milliseconds Remaining() const;

 private:
  SteadyClock now_;
  std::chrono::steady_clock::time_point deadline_;
};

class BoundedWmi final : public IWmi {
 public:
  BoundedWmi(IWmi& inner, SourceBudget& budget) : inner_(inner), budget_(budget) {}
  std::optional<std::vector<WmiInstance>> ExecQuery(const std::string& wql) override;
  std::optional<std::vector<WmiInstance>> InstancesOf(const std::string& className) override;
  // Passes on at most the time left, or fails at once when none is.
  std::optional<std::vector<WmiInstance>> Query(const WmiRequest& request) override;

 private:
  IWmi& inner_;
  SourceBudget& budget_;
  std::map<std::tuple<std::string, bool, std::string>, std::optional<std::vector<WmiInstance>>> answers_;
};

class BoundedUpdateHistory final : public IUpdateHistory {
 public:
  // `inner` may be null (no history on this platform).
  BoundedUpdateHistory(IUpdateHistory* inner, SourceBudget& budget) : inner_(inner), budget_(budget) {}
  std::optional<std::vector<HistoryUpdate>> InstalledUpdates(std::chrono::milliseconds timeLimit) override;

 private:
  IUpdateHistory* inner_;
  SourceBudget& budget_;
  bool asked_ = false;
  std::optional<std::vector<HistoryUpdate>> answer_;
};

}  // namespace orv
