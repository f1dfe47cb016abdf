#include "fakes/fake_wmi.h"

#include <algorithm>
#include <regex>

#include "fakes/test_data.h"
#include "probes/wmi_table.h"
#include "util/text.h"

namespace orv::test {

namespace {

// One element from its printed text: True and False are booleans, anything else a text (the code
// renders every number from its text exactly as from the number, so the CIM type does not matter).
WmiScalar ElementFromText(const std::string& text) {
  if (SameTextIgnoringCase(text, "true") || SameTextIgnoringCase(text, "false"))
    return LowerCase(text) == "true";
  return text;
}

// A property from its printed text: empty is null, {a,b} or {"a","b"} an array of texts ({} none).
WmiProperty PropertyFromText(const std::string& name, const std::string& text) {
  const bool isArray = text.size() >= 2 && text.front() == '{' && text.back() == '}';
  WmiProperty p{name, std::holds_alternative<bool>(ElementFromText(text)) ? 11 : 8, isArray, text.empty(), {}};
  if (!isArray && !text.empty()) p.values.push_back(ElementFromText(text));
  const std::string inner = isArray ? Trim(text.substr(1, text.size() - 2)) : std::string();
  static const std::regex quoted(R"re(^"(.*)"$)re");
  if (!inner.empty())
    for (const std::string& element : Split(inner, ','))
      p.values.push_back(ElementFromText(std::regex_replace(Trim(element), quoted, "$1")));
  return p;
}

// "Name : Value" or "Name=Value" (after any indent) as name and value; nothing for any other line.
// The colon ends the line or a blank follows it: "C:\..." is no property.
std::optional<std::pair<std::string, std::string>> PropertyLine(const std::string& line) {
  static const std::regex property(R"(^[ \t]*([A-Za-z_]\w*)(?:=(.*)| *:(?: (.*))?)$)");
  std::smatch m;
  if (!std::regex_match(line, m, property)) return std::nullopt;
  return std::pair(m[1].str(), m[2].matched ? m[2].str() : Trim(m[3].str()));  // wmic's values are not trimmed
}

// "SELECT a, b FROM Class WHERE Prop = "literal"" taken apart; nothing when it is not of that form.
struct ParsedQuery {
  std::vector<std::string> properties;  // empty for *
  std::string className, whereProperty, whereValue;
};

std::optional<ParsedQuery> ReadQuery(const std::string& wql) {
  static const std::regex query(R"re(^SELECT +(.+?) +FROM +(\S+)(?: +WHERE +(\w+) *= *"((?:[^"\\]|\\["\\])*)")? *$)re",
                                std::regex::icase);
  std::smatch m;
  if (!std::regex_match(wql, m, query)) return std::nullopt;
  ParsedQuery q{{}, m[2], m[3], std::regex_replace(m[4].str(), std::regex(R"(\\(.))"), "$1")};  // WQL's \\ and \"
  if (Trim(m[1].str()) != "*")
    for (const std::string& p : Split(m[1].str(), ',')) q.properties.push_back(Trim(p));
  return q;
}

}  // namespace

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
  const std::optional<ParsedQuery> q = request.listClass ? ParsedQuery{{}, request.text} : ReadQuery(request.text);
  if (!q || failing.count(prefix + q->className)) return std::nullopt;
  auto named = std::find_if(classes.begin(), classes.end(), [&](const auto& c) {
    return SameTextIgnoringCase(c.first, prefix + q->className);
  });
  if (named == classes.end()) return std::nullopt;
  std::vector<WmiInstance> answer;
  for (WmiInstance instance : named->second) {
    if (!q->whereProperty.empty()) {
      const WmiProperty* p = FindProperty(instance, q->whereProperty);
      if (!p || p->isNull || !SameTextIgnoringCase(RenderWmiValue(*p), q->whereValue)) continue;
    }
    if (!q->properties.empty()) {
      WmiInstance projected;
      for (const std::string& name : q->properties) {
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
  std::vector<std::optional<std::pair<std::string, std::string>>> lines;
  for (const std::string& line : SplitLines(text)) lines.push_back(PropertyLine(line));
  // wmic's /format:list puts a blank line after every value: there separators separate nothing.
  bool separatorsCount = false;
  for (size_t i = 1; i < lines.size(); ++i) separatorsCount = separatorsCount || (lines[i - 1] && lines[i]);
  std::vector<WmiInstance> instances(1);
  for (const auto& line : lines) {
    if (!line) {
      if (separatorsCount && !instances.back().properties.empty()) instances.emplace_back();
    } else if (line->first != "PSComputerName" && !StartsWith(line->first, "Cim")) {  // PowerShell's own additions
      if (FindProperty(instances.back(), line->first)) instances.emplace_back();  // a name again: the next instance
      instances.back().properties.push_back(PropertyFromText(line->first, line->second));
    }
  }
  if (instances.back().properties.empty()) instances.pop_back();
  return instances;
}

std::vector<WmiInstance> ParseWmiColumns(std::string_view text, std::string_view firstColumn) {
  const std::vector<std::string> lines = SplitLines(text);
  auto row = std::find_if(lines.begin(), lines.end(), [&](const std::string& l) { return StartsWith(l, firstColumn); });
  if (row == lines.end()) return {};
  const std::string header = *row++;
  std::vector<size_t> starts;  // where the names of the header start
  for (size_t i = 0; i < header.size(); ++i)
    if (header[i] != ' ' && (i == 0 || header[i - 1] == ' ')) starts.push_back(i);
  auto cell = [&](const std::string& line, size_t c) {
    if (starts[c] >= line.size()) return std::string();
    return Trim(line.substr(starts[c], c + 1 < starts.size() ? starts[c + 1] - starts[c] : std::string::npos));
  };
  if (row != lines.end() && std::regex_match(*row, std::regex("[- ]*-[- ]*"))) ++row;  // the line of dashes
  std::vector<WmiInstance> instances;
  for (; row != lines.end() && !Trim(*row).empty(); ++row) {
    WmiInstance& instance = instances.emplace_back();
    for (size_t c = 0; c < starts.size(); ++c)
      instance.properties.push_back(PropertyFromText(cell(header, c), cell(*row, c)));
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

std::vector<WmiInstance> WmiSourceInstances(const std::string& source) {
  if (StartsWith(source, "text:")) return ParseWmiListing(source.substr(5));
  const size_t hash = source.find('#');
  const std::vector<std::string> parts = Split(source.substr(0, hash), ':');
  const std::string text = ReadTestData("wmi/" + parts.back());
  if (parts[0] == "merged") return {MergeInstances(ParseWmiListing(text))};
  std::vector<WmiInstance> all =
      parts[0] == "columns" ? ParseWmiColumns(text, parts[1]) : ParseWmiListing(text);
  if (hash == std::string::npos) return all;
  std::vector<WmiInstance> chosen;
  for (const std::string& index : Split(source.substr(hash + 1), ','))
    chosen.push_back(all.at(std::stoul(index)));
  return chosen;
}

}  // namespace orv::test
