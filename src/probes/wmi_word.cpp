#include "probes/wmi_word.h"

#include <cctype>

#include "platform/wmi.h"
#include "probes/wmi_table.h"
#include "util/text.h"

namespace orv {

namespace {

bool IsWmiName(std::string_view s) {
  if (s.empty()) return false;
  for (char c : s)
    if (!std::isalnum(static_cast<unsigned char>(c)) && c != '_') return false;
  return true;
}

}  // namespace

std::optional<WmiWordSpec> ParseWmiWord(std::string_view spec) {
  const size_t dot = spec.find('.');
  if (dot == std::string_view::npos) return std::nullopt;
  const std::string_view path = spec.substr(0, dot);
  WmiWordSpec word;
  const size_t slash = path.rfind('\\');
  word.className = std::string(slash == std::string_view::npos ? path : path.substr(slash + 1));
  if (slash == std::string_view::npos) {
    word.wmiNamespace = kDefaultWmiNamespace;
  } else {
    word.wmiNamespace = std::string(path.substr(0, slash));
    // A local namespace only: "\\server\root" would ask another computer.
    const std::vector<std::string> parts = Split(word.wmiNamespace, '\\');
    if (parts.empty() || !SameTextIgnoringCase(parts.front(), "root")) return std::nullopt;
    for (const std::string& part : parts)
      if (!IsWmiName(part)) return std::nullopt;
  }
  if (!IsWmiName(word.className)) return std::nullopt;
  for (const std::string& property : Split(spec.substr(dot + 1), ',')) {
    if (!IsWmiName(property)) return std::nullopt;
    word.properties.push_back(property);
  }
  return word;
}

std::vector<std::string> WmiWordValues(IWmi* wmi, const std::optional<WmiWordSpec>& spec, int count) {
  std::vector<std::string> values;
  if (wmi && spec && count > 0) {
    WmiRequest request;
    request.wmiNamespace = spec->wmiNamespace;
    request.text = "SELECT " + Join(spec->properties, ", ") + " FROM " + spec->className;
    if (auto instances = wmi->Query(request)) {
      for (const WmiInstance& instance : *instances) {
        if (static_cast<int>(values.size()) >= count) break;
        std::vector<std::string> parts;
        for (const std::string& name : spec->properties) {
          std::string text;
          for (const WmiProperty& p : instance.properties)
            if (SameTextIgnoringCase(p.name, name)) text = RenderWmiValue(p);
          parts.push_back(text);
        }
        values.push_back(Join(parts, " "));
      }
    }
  }
  if (count > 0) values.resize(static_cast<size_t>(count));
  return values;
}

}  // namespace orv
