#include "fakes/fake_wmi.h"

#include <gtest/gtest.h>

#include <regex>
#include <sstream>

#include "util/text.h"

namespace orv::test {

namespace {

// One element from its printed text: True and False are booleans, anything else a text (the code
// renders every number from its text exactly as from the number, so the CIM type does not matter).
WmiScalar ElementFromText(const std::string& text) {
  if (SameTextIgnoringCase(text, "true")) return true;
  if (SameTextIgnoringCase(text, "false")) return false;
  return text;
}

// A property from its printed text: empty is null, {a,b} or {"a","b"} an array of texts.
WmiProperty PropertyFromText(const std::string& name, const std::string& text) {
  WmiProperty p;
  p.name = name;
  p.cimType = SameTextIgnoringCase(text, "true") || SameTextIgnoringCase(text, "false") ? 11 : 8;
  p.isNull = text.empty();
  p.isArray = text.size() >= 2 && text.front() == '{' && text.back() == '}';
  if (!p.isArray) {
    if (!p.isNull) p.values.push_back(ElementFromText(text));
    return p;
  }
  const std::string inner = text.substr(1, text.size() - 2);
  if (Trim(inner).empty()) return p;  // {}: an empty array
  for (std::string element : Split(inner, ',')) {
    element = Trim(element);
    if (element.size() >= 2 && element.front() == '"' && element.back() == '"')
      element = element.substr(1, element.size() - 2);
    p.values.push_back(ElementFromText(element));
  }
  return p;
}

// Splits "Name : Value" or "Name=Value" (after any indent); false for any other line. The colon
// ends the line or a blank follows it: "C:\..." is no property.
bool SplitPropertyLine(const std::string& line, std::string& name, std::string& value) {
  static const std::regex property(R"(^[ \t]*([A-Za-z_]\w*)(?:=(.*)| *:(?: (.*))?)$)");
  std::smatch m;
  if (!std::regex_match(line, m, property)) return false;
  name = m[1];
  value = m[2].matched ? m[2].str() : Trim(m[3].str());  // wmic's values are not trimmed
  return true;
}

// "SELECT a, b FROM Class WHERE Prop = "literal"" taken apart; false when it is not of that form.
struct ParsedQuery {
  std::vector<std::string> properties;  // empty for *
  std::string className, whereProperty, whereValue;
};

bool ReadQuery(const std::string& wql, ParsedQuery& q) {
  static const std::regex query(R"re(^SELECT +(.+?) +FROM +(\S+)(?: +WHERE +(\w+) *= *"((?:[^"\\]|\\["\\])*)")? *$)re",
                                std::regex::icase);
  std::smatch m;
  if (!std::regex_match(wql, m, query)) return false;
  if (Trim(m[1].str()) != "*")
    for (const std::string& p : Split(m[1].str(), ',')) q.properties.push_back(Trim(p));
  q.className = m[2];
  q.whereProperty = m[3];
  q.whereValue = std::regex_replace(m[4].str(), std::regex(R"(\\(.))"), "$1");  // WQL's \\ and \"
  return true;
}

}  // namespace

const std::vector<WmiInstance>* FakeWmi::Class(const std::string& prefix, const std::string& name) const {
  for (const auto& [className, instances] : classes)
    if (SameTextIgnoringCase(className, prefix + name)) return &instances;
  return nullptr;
}

bool FakeWmi::Connected() {
  // The first query after a Reconnect connects, or fails to while failures are left.
  if (!connected_ && !connectFailed_) (connectFailures-- > 0 ? connectFailed_ : connected_) = true;
  return connected_;
}

std::optional<std::vector<WmiInstance>> FakeWmi::ExecQuery(const std::string& wql) {
  return Query({kDefaultWmiNamespace, wql, false});
}

std::optional<std::vector<WmiInstance>> FakeWmi::InstancesOf(const std::string& className) {
  return Query({kDefaultWmiNamespace, className, true});
}

std::optional<std::vector<WmiInstance>> FakeWmi::Query(const WmiRequest& request) {
  const bool cimv2 = SameTextIgnoringCase(request.wmiNamespace, kDefaultWmiNamespace);
  const std::string prefix = cimv2 ? std::string() : request.wmiNamespace + "\\";
  asked.push_back(prefix + request.text);
  if (hangs) waited += request.timeLimit;
  if (down || hangs || !Connected() || failing.count(prefix + request.text)) return std::nullopt;
  if (request.listClass) {
    const std::vector<WmiInstance>* instances = Class(prefix, request.text);
    if (!instances) return std::nullopt;
    return *instances;
  }
  ParsedQuery q;
  if (!ReadQuery(request.text, q) || failing.count(prefix + q.className)) return std::nullopt;
  const std::vector<WmiInstance>* instances = Class(prefix, q.className);
  if (!instances) return std::nullopt;
  std::vector<WmiInstance> answer;
  for (WmiInstance instance : *instances) {
    if (!q.whereProperty.empty()) {
      const WmiProperty* p = FindProperty(instance, q.whereProperty);
      const std::string* text =
          p && !p->isNull && !p->values.empty() ? std::get_if<std::string>(&p->values[0]) : nullptr;
      if (!text || !SameTextIgnoringCase(*text, q.whereValue)) continue;
    }
    if (!q.properties.empty()) {
      WmiInstance projected;
      for (const std::string& name : q.properties) {
        const WmiProperty* p = FindProperty(instance, name);
        if (!p) return std::nullopt;  // no such property: an invalid query
        projected.properties.push_back(*p);
      }
      instance = std::move(projected);
    }
    answer.push_back(std::move(instance));
  }
  return answer;
}

void FakeWmi::Reconnect() { connected_ = connectFailed_ = false; }

std::vector<WmiInstance> ParseWmiListing(std::string_view text) {
  const std::vector<std::string> lines = SplitLines(text);
  std::vector<bool> isProperty;
  std::string name, value;
  for (const std::string& line : lines) isProperty.push_back(SplitPropertyLine(line, name, value));
  // wmic's /format:list puts a blank line after every value: there separators separate nothing.
  bool separatorsCount = false;
  for (size_t i = 1; i < lines.size(); ++i) separatorsCount = separatorsCount || (isProperty[i - 1] && isProperty[i]);
  std::vector<WmiInstance> instances(1);
  for (size_t i = 0; i < lines.size(); ++i) {
    if (!isProperty[i]) {
      if (separatorsCount && !instances.back().properties.empty()) instances.emplace_back();
      continue;
    }
    SplitPropertyLine(lines[i], name, value);
    if (name == "PSComputerName" || StartsWith(name, "Cim")) continue;  // PowerShell's own additions
    if (FindProperty(instances.back(), name)) instances.emplace_back();  // a name again: the next instance
    instances.back().properties.push_back(PropertyFromText(name, value));
  }
  if (instances.back().properties.empty()) instances.pop_back();
  return instances;
}

std::vector<WmiInstance> ParseWmiColumns(std::string_view text, std::string_view firstColumn) {
  const std::vector<std::string> lines = SplitLines(text);
  size_t r = 0;
  while (r < lines.size() && !StartsWith(lines[r], firstColumn)) ++r;
  if (r == lines.size()) return {};
  const std::string header = lines[r++];
  std::vector<size_t> starts;
  for (size_t i = 0; i < header.size(); ++i)
    if (header[i] != ' ' && (i == 0 || header[i - 1] == ' ')) starts.push_back(i);
  auto cell = [&](const std::string& line, size_t c) {
    if (starts[c] >= line.size()) return std::string();
    return Trim(line.substr(starts[c], c + 1 < starts.size() ? starts[c + 1] - starts[c] : std::string::npos));
  };
  if (r < lines.size() && !Trim(lines[r]).empty() && Trim(lines[r]).find_first_not_of("- ") == std::string::npos) ++r;
  std::vector<WmiInstance> instances;
  for (; r < lines.size() && !Trim(lines[r]).empty(); ++r) {
    WmiInstance& instance = instances.emplace_back();
    for (size_t c = 0; c < starts.size(); ++c)
      instance.properties.push_back(PropertyFromText(cell(header, c), cell(lines[r], c)));
  }
  return instances;
}

WmiInstance MergeInstances(const std::vector<WmiInstance>& parts) {
  WmiInstance merged;
  for (const WmiInstance& part : parts)
    merged.properties.insert(merged.properties.end(), part.properties.begin(), part.properties.end());
  return merged;
}

WmiProperty* FindProperty(WmiInstance& instance, const std::string& name) {
  for (WmiProperty& p : instance.properties)
    if (SameTextIgnoringCase(p.name, name)) return &p;
  return nullptr;
}

WmiProperty ScalarProperty(const std::string& name, int cimType, WmiScalar value) {
  return WmiProperty{name, cimType, false, false, {std::move(value)}};
}

WmiProperty ArrayProperty(const std::string& name, int cimType, std::vector<WmiScalar> values) {
  return WmiProperty{name, cimType, true, false, std::move(values)};
}

WmiProperty NullProperty(const std::string& name, int cimType, bool isArray) {
  return WmiProperty{name, cimType, isArray, true, {}};
}


}  // namespace orv::test
