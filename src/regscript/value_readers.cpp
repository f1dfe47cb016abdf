#include "regscript/value_readers.h"

#include <algorithm>
#include <exception>
#include <vector>

#include "platform/platform.h"
#include "platform/system.h"
#include "util/text.h"

namespace orv {

ReaderContext ReaderContext::From(TRegistryEx& registry, bool& keyOpen, std::string& programFilesFolder,
                                  Platform& platform) {
  return ReaderContext{registry,
                       keyOpen,
                       programFilesFolder,
                       platform.system.SystemDirectory().value_or(""),
                       platform.versions,
                       platform.files,
                       platform.system,
                       platform.network};
}

namespace {

constexpr const char* kErrorText = "Error!";

// A single name split into its parts.
struct ParsedName {
  std::string name;
  bool quote = false;    // leading "'"
  bool version = false;  // leading "%"
  bool cut = false;      // "(start/end)" or "(end)"
  std::string start, end;
  bool filtered = false;  // "/filter"
  std::string filter;
};

ParsedName ParseName(std::string_view text) {
  ParsedName s;
  if (text == "DEFAULT") return s;  // the default value has the empty name
  if (size_t open = text.find('('); open != std::string_view::npos) {
    s.name = text.substr(0, open);
    s.cut = true;
    // Inside the parentheses (up to the first ")" or the end of the text): "start/end" or "end".
    std::string_view inside = text.substr(open + 1);
    inside = inside.substr(0, inside.find(')'));
    if (size_t slash = inside.find('/'); slash != std::string_view::npos) {
      s.start = inside.substr(0, slash);
      s.end = inside.substr(slash + 1);
    } else {
      s.end = inside;
    }
  } else if (size_t slash = text.find('/'); slash != std::string_view::npos) {
    s.name = text.substr(0, slash);
    s.filtered = true;
    s.filter = text.substr(slash + 1);
  } else {
    s.name = text;
  }
  if (StartsWith(s.name, "'")) {
    s.quote = true;
    s.name.erase(0, 1);
  }
  if (StartsWith(s.name, "%")) {
    s.version = true;
    s.name.erase(0, 1);
  }
  return s;
}

// The text after the first `start` (all of it when start is empty) and before the next `end`.
// A start that does not occur, an empty end or an end that does not follow give "".
std::string CutBetween(const std::string& value, const std::string& start, const std::string& end) {
  size_t from = 0;
  if (!start.empty()) {
    size_t hit = value.find(start);
    if (hit == std::string::npos) return {};
    from = hit + start.size();
  }
  if (end.empty()) return {};
  size_t to = value.find(end, from);
  if (to == std::string::npos) return {};
  return value.substr(from, to - from);
}

std::string ReadPlain(TRegistryEx& registry, const std::string& name) {
  if (!registry.ValueExists(name)) return {};
  if (registry.GetDataType(name) == RegDataType::Integer) return std::to_string(registry.ReadInteger(name));
  return registry.ReadString(name);  // raises for types that are neither string nor integer
}

std::string ReadVersion(TRegistryEx& registry, const std::string& name) {
  // Only a plain string is read as text; anything else (a multi-string such as "1","2","3") goes
  // through the multi-string read, which gives nothing for other types.
  if (registry.GetDataType(name) == RegDataType::String) return PadVersion(registry.ReadString(name));
  std::vector<std::string> parts;
  registry.ReadMultiString(name, parts);
  return PadVersion(Join(parts, "."));
}

}  // namespace

std::string ReadRegValue(TRegistryEx& registry, std::string_view text) {
  try {
    const ParsedName s = ParseName(text);
    std::string result = s.version ? ReadVersion(registry, s.name) : ReadPlain(registry, s.name);
    if (s.cut) result = CutBetween(result, s.start, s.end);
    if (s.filtered) {
      if (s.filter.empty() && result.empty())
        result = " ";
      else if (!s.filter.empty() && !Contains(result, s.filter))
        result.clear();
    }
    if (s.quote && !result.empty()) result.insert(0, "'");
    return result;
  } catch (const std::exception&) {
    return kErrorText;
  }
}

std::string ReadItemValue(TRegistryEx& registry, bool keyOpen, std::string_view item) {
  std::string result;
  try {
    if (size_t label = item.find("=="); label != std::string_view::npos) item = item.substr(0, label);
    if (Contains(item, "|")) {
      for (const std::string& part : Split(item, '|')) {
        result = ReadRegValue(registry, part);
        if (!result.empty()) break;
      }
    } else if (Contains(item, "+")) {
      // "A+xB+yC": each "+" is followed by one separator character that is copied as it is.
      std::string_view rest = item;
      for (size_t plus = rest.find('+'); plus != std::string_view::npos; plus = rest.find('+')) {
        result += ReadRegValue(registry, rest.substr(0, plus));
        std::string_view after = rest.substr(plus + 1);
        size_t sepSize = CharOffset(after, 1);
        result.append(after.substr(0, sepSize));
        rest = after.substr(sepSize);
      }
      if (!rest.empty()) result += ReadRegValue(registry, rest);
    } else {
      result = ReadRegValue(registry, item);
    }
  } catch (const std::exception&) {
    result = kErrorText;
  }
  if (!keyOpen) return {};
  return result;
}

std::string PadVersion(std::string_view text) {
  if (text.empty()) return {};
  const std::vector<std::string> parts = Split(text, '.');
  std::string out;
  for (size_t i = 0; i < parts.size(); ++i) {
    const bool last = i + 1 == parts.size();
    const std::string part = last ? parts[i] : parts[i] + ".";
    const size_t width = last ? 3 : 4;
    const size_t chars = CharCount(part);
    const size_t blanks = chars >= width ? 0 : std::min<size_t>(2, width - chars);
    out.append(blanks, ' ');
    out += part;
  }
  return out;
}

}  // namespace orv
