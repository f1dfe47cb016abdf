#pragma once
// The script word "#wmi:[<namespace>\]<class>.<property>[,<property>...] n": the first n
// instances of any WMI class, each one value of its named properties joined by one blank.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace orv {

class IWmi;

struct WmiWordSpec {
  std::string wmiNamespace;  // root\CIMV2 when the word names none
  std::string className;
  std::vector<std::string> properties;
};

// The part after "#wmi:" up to the first blank, as written. nullopt unless every name is a WMI
// name (letters, digits, "_"), the namespace starts with "root" and at least one property is
// named, so that nothing but "SELECT <properties> FROM <class>" on this PC is ever asked.
std::optional<WmiWordSpec> ParseWmiWord(std::string_view spec);
// Exactly `count` values: one per instance in WMI's order, rendered as the hardware rows render
// WMI values, then empty values. A class or namespace that does not exist, a refused query, or a
// spec that does not parse gives `count` empty values. `wmi` may be null (no WMI).
std::vector<std::string> WmiWordValues(IWmi* wmi, const std::optional<WmiWordSpec>& spec, int count);

}  // namespace orv
