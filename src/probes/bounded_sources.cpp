#include "probes/bounded_sources.h"

#include <algorithm>

#include "util/text.h"

namespace orv {

SourceBudget::SourceBudget(std::chrono::milliseconds total, SteadyClock now)
    : now_(now ? std::move(now) : SteadyClock([] { return std::chrono::steady_clock::now(); })),
      deadline_(now_() + total) {}

std::chrono::milliseconds SourceBudget::Remaining() const {
  auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline_ - now_());
  return std::max(left, std::chrono::milliseconds::zero());
}

std::optional<std::vector<WmiInstance>> BoundedWmi::ExecQuery(const std::string& wql) {
  WmiRequest request;
  request.text = wql;
  return Query(request);
}

std::optional<std::vector<WmiInstance>> BoundedWmi::InstancesOf(const std::string& className) {
  WmiRequest request;
  request.text = className;
  request.listClass = true;
  return Query(request);
}

std::optional<std::vector<WmiInstance>> BoundedWmi::Query(const WmiRequest& request) {
  // WMI names ignore case: "root\cimv2" and "root\CIMV2" are one namespace.
  auto key = std::make_tuple(LowerCase(request.wmiNamespace), request.listClass, request.text);
  if (auto it = answers_.find(key); it != answers_.end()) return it->second;
  const std::chrono::milliseconds left = budget_.Remaining();
  if (left <= std::chrono::milliseconds::zero()) return std::nullopt;  // not kept: nothing was asked
  WmiRequest bounded = request;
  bounded.timeLimit = std::min(request.timeLimit, left);
  auto answer = inner_.Query(bounded);
  answers_[key] = answer;
  return answer;
}

std::optional<std::vector<HistoryUpdate>> BoundedUpdateHistory::InstalledUpdates(std::chrono::milliseconds timeLimit) {
  if (asked_) return answer_;
  const std::chrono::milliseconds left = budget_.Remaining();
  if (!inner_ || left <= std::chrono::milliseconds::zero()) return std::nullopt;
  asked_ = true;
  answer_ = inner_->InstalledUpdates(std::min(timeLimit, left));
  return answer_;
}

}  // namespace orv
