#include "platform/wmi.h"

#include <algorithm>
#include <cctype>

namespace orv {

namespace {

bool SameIgnoringCase(const std::string& a, const std::string& b) {
  return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
    return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
  });
}

}  // namespace

std::optional<std::vector<WmiInstance>> IWmi::Query(const WmiRequest& request) {
  if (!SameIgnoringCase(request.wmiNamespace, kDefaultWmiNamespace)) return std::nullopt;
  return request.listClass ? InstancesOf(request.text) : ExecQuery(request.text);
}

}  // namespace orv
