#pragma once
// Windows Management Instrumentation in namespace "root\CIMV2": instances with named properties,
// each with its value, CIM type and array flag.

#include <cstdint>
#include <optional>
#include <string>
#include <variant>
#include <vector>

namespace orv {

using WmiScalar = std::variant<std::monostate, int64_t, uint64_t, double, bool, std::string>;

struct WmiProperty {
  std::string name;
  int cimType = 0;       // CIM_SINT32 = 3, CIM_STRING = 8 ...
  bool isArray = false;
  bool isNull = true;
  std::vector<WmiScalar> values;  // one element for a scalar, every element of an array
};

struct WmiInstance {
  std::vector<WmiProperty> properties;  // in the instance's own order
};

class IWmi {
 public:
  virtual ~IWmi() = default;
  // ExecQuery("WQL", flags 16) of a "SELECT ..." text; nullopt when the connection or query fails.
  virtual std::optional<std::vector<WmiInstance>> ExecQuery(const std::string& wql) = 0;
  // InstancesOf(class, flags 17); nullopt when the connection or query fails.
  virtual std::optional<std::vector<WmiInstance>> InstancesOf(const std::string& className) = 0;
};

}  // namespace orv
