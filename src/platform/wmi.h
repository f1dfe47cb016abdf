#pragma once
// Windows Management Instrumentation: instances with named properties, each with its value, CIM
// type and array flag, in "root\CIMV2" or any other namespace.

#include <chrono>
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

inline constexpr const char* kDefaultWmiNamespace = "root\\CIMV2";
// How long one WMI call may wait in all unless its caller allows less.
inline constexpr std::chrono::milliseconds kWmiCallLimit{15000};

struct WmiRequest {
  std::string wmiNamespace = kDefaultWmiNamespace;  // "root\SecurityCenter2", "root\wmi" ...
  std::string text;        // a "SELECT ..." query, or a class name when listClass is set
  bool listClass = false;  // list every instance of the class (InstancesOf)
  std::chrono::milliseconds timeLimit = kWmiCallLimit;  // the connection, the query and its answer
};

class IWmi {
 public:
  virtual ~IWmi() = default;
  // ExecQuery("WQL", flags 16) of a "SELECT ..." text in root\CIMV2; nullopt when the connection
  // or query fails.
  virtual std::optional<std::vector<WmiInstance>> ExecQuery(const std::string& wql) = 0;
  // InstancesOf(class, flags 17) in root\CIMV2; nullopt when the connection or query fails.
  virtual std::optional<std::vector<WmiInstance>> InstancesOf(const std::string& className) = 0;
  // A query or class listing in any namespace that waits at most request.timeLimit in all.
  // nullopt when the namespace does not exist, the connection or the query fails, or the time is
  // up. This default serves root\CIMV2 through the two calls above (without a time limit of its
  // own) and knows no other namespace.
  virtual std::optional<std::vector<WmiInstance>> Query(const WmiRequest& request);
  // Drops every connection made so far, a failed one too: the next query connects anew. Each
  // collection run starts with it, so a service that failed once is asked again by the next run.
  virtual void Reconnect() {}
};

}  // namespace orv
