#include "probes/wmi_table.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <optional>

#include "util/text.h"

namespace orv {

namespace {

// CIM type codes this file cares about.
constexpr int kCimReal32 = 4, kCimReal64 = 5, kCimString = 8, kCimBoolean = 11, kCimObject = 13,
              kCimUint64 = 21, kCimDateTime = 101, kCimReference = 102, kCimChar16 = 103;

bool IsIntegerType(int cimType) {
  switch (cimType) {
    case 2: case 3: case 16: case 17: case 18: case 19: case 20: return true;
    default: return false;
  }
}

// A real in the general form with up to 15 significant digits and no trailing zeros; exponents as
// "1E20" and "1.5E-7" (no plus sign, no leading zeros).
std::string RealText(double value) {
  char buffer[40];
  std::snprintf(buffer, sizeof buffer, "%.15G", value);
  std::string s = buffer;
  size_t e = s.find('E');
  if (e == std::string::npos) return s;
  std::string mantissa = s.substr(0, e);
  std::string exponent = s.substr(e + 1);
  bool negative = !exponent.empty() && exponent[0] == '-';
  if (!exponent.empty() && (exponent[0] == '+' || exponent[0] == '-')) exponent.erase(0, 1);
  while (exponent.size() > 1 && exponent[0] == '0') exponent.erase(0, 1);
  return mantissa + "E" + (negative ? "-" : "") + exponent;
}

// A whole number written in a text (WMI hands 64-bit values over as text), as its low 64 bits.
std::optional<uint64_t> WholeFromText(const std::string& text) {
  if (auto v = ParseInt64(text)) return static_cast<uint64_t>(*v);
  std::string t = Trim(text);
  uint64_t magnitude = 0;
  auto [ptr, ec] = std::from_chars(t.data(), t.data() + t.size(), magnitude);
  if (ec == std::errc() && ptr == t.data() + t.size() && !t.empty()) return magnitude;
  return std::nullopt;
}

// An element of an integer property as a 32-bit integer in decimal. Values outside the 32-bit
// range keep their low 32 bits (two's complement), so 4294967295 reads -1 as a 32-bit variant
// would hold it; refusing such values would lose whole rows for no gain. A text that is no number
// at all is kept as it is.
std::string Int32Text(const WmiScalar& value) {
  std::optional<uint64_t> bits;
  if (auto i = std::get_if<int64_t>(&value)) bits = static_cast<uint64_t>(*i);
  else if (auto u = std::get_if<uint64_t>(&value)) bits = *u;
  else if (auto b = std::get_if<bool>(&value)) bits = *b ? ~uint64_t{0} : 0;  // True is -1 as an integer
  else if (auto d = std::get_if<double>(&value)) {
    double r = std::nearbyint(*d);
    if (std::isfinite(r) && std::fabs(r) < 9.2e18) bits = static_cast<uint64_t>(static_cast<int64_t>(r));
  } else if (auto s = std::get_if<std::string>(&value)) {
    bits = WholeFromText(*s);
    if (!bits) return *s;
  }
  if (!bits) return {};
  return std::to_string(static_cast<int32_t>(static_cast<uint32_t>(*bits)));
}

// An element as plain text.
std::string ScalarText(const WmiScalar& value) {
  if (auto s = std::get_if<std::string>(&value)) return *s;
  if (auto i = std::get_if<int64_t>(&value)) return std::to_string(*i);
  if (auto u = std::get_if<uint64_t>(&value)) return std::to_string(*u);
  if (auto d = std::get_if<double>(&value)) return RealText(*d);
  if (auto b = std::get_if<bool>(&value)) return *b ? "True" : "False";
  return {};
}

std::string RealElementText(const WmiScalar& value) {
  if (auto d = std::get_if<double>(&value)) return RealText(*d);
  if (auto i = std::get_if<int64_t>(&value)) return RealText(static_cast<double>(*i));
  if (auto u = std::get_if<uint64_t>(&value)) return RealText(static_cast<double>(*u));
  return ScalarText(value);
}

std::string BooleanText(const WmiScalar& value) {
  if (auto b = std::get_if<bool>(&value)) return *b ? "True" : "False";
  if (auto i = std::get_if<int64_t>(&value)) return *i != 0 ? "True" : "False";
  return ScalarText(value);
}

// Every element converted, joined with "|" (a scalar is a one-element list).
template <typename Convert>
std::string JoinElements(const WmiProperty& property, Convert convert) {
  std::string out;
  for (size_t i = 0; i < property.values.size(); ++i) {
    if (i > 0) out += '|';
    out += convert(property.values[i]);
  }
  return out;
}

}  // namespace

std::string RenderWmiValue(const WmiProperty& property) {
  if (property.isNull) return "NULL";
  const int type = property.cimType;
  if (IsIntegerType(type)) return JoinElements(property, Int32Text);
  switch (type) {
    case kCimReal32:
    case kCimReal64: return JoinElements(property, RealElementText);
    case kCimString:
    case kCimUint64:
    case kCimDateTime:
    case kCimReference: return JoinElements(property, ScalarText);
    case kCimBoolean: return JoinElements(property, BooleanText);
    case kCimObject: return "<CIM Object>";
    case kCimChar16: return "<16-bit character>";
    default: return {};
  }
}

bool RunWmiTable(IWmi& wmi, const std::string& queryOrClass, int& count, T2DimStrArray& table) {
  count = 0;
  table.clear();
  // Only an upper-case "SELECT" at the very start makes a query; anything else names a class.
  auto instances = StartsWith(queryOrClass, "SELECT") ? wmi.ExecQuery(queryOrClass) : wmi.InstancesOf(queryOrClass);
  if (!instances) return false;
  if (instances->empty()) return true;
  count = static_cast<int>(instances->size());
  const size_t columns = instances->front().properties.size() + 1;
  table.assign(instances->size() + 1, std::vector<std::string>(columns));
  table[0][0] = "Instance";
  for (size_t k = 1; k <= instances->size(); ++k) {
    const auto& properties = (*instances)[k - 1].properties;
    table[k][0] = std::to_string(k);
    // Columns follow the first instance; a later instance with more properties has no room for them.
    for (size_t j = 1; j < columns && j <= properties.size(); ++j) {
      table[k][j] = RenderWmiValue(properties[j - 1]);
      if (k == 1) table[0][j] = properties[j - 1].name;
    }
  }
  return true;
}

int FindWmiColumn(const T2DimStrArray& table, const std::string& name) {
  if (table.empty()) return 0;
  for (size_t j = 1; j < table[0].size(); ++j)
    if (table[0][j] == name) return static_cast<int>(j);
  return 0;
}

std::string GetWmiCell(const T2DimStrArray& table, const std::string& name) {
  int column = FindWmiColumn(table, name);
  if (column == 0 || table.size() < 2 || table[1].size() <= static_cast<size_t>(column)) return {};
  return table[1][column];
}

std::string GetWmiValue(IWmi& wmi, const std::string& query, const std::string& property) {
  auto instances = wmi.ExecQuery(query);
  if (!instances || instances->size() != 1) return {};
  for (const WmiProperty& p : instances->front().properties)
    if (SameTextIgnoringCase(p.name, property)) return RenderWmiValue(p);
  return {};
}

}  // namespace orv
