#include "inventory/csv_field.h"

namespace orv {

std::string CsvField(std::string_view text) {
  std::string s(text);
  for (char& c : s)
    if (c == '\r' || c == '\n') c = ' ';

  // Every CSV reader takes a leading double quote for the start of a quoted field and reads on to
  // the next lone quote, across commas and line ends: such a value must be a quoted field itself.
  if (!s.empty() && s[0] == '"') return QuotedCsvField(s);

  if (!s.empty() && (s[0] == '+' || s[0] == '-' || s[0] == '=' || s[0] == '@')) s.insert(0, 1, '\'');

  if (s.find(',') == std::string::npos) return s;
  if (s.find('"') != std::string::npos) {
    // Quoting cannot help here (quotes are never doubled), so the commas go. The whole value is
    // kept: nothing after a replaced comma is cut.
    for (char& c : s)
      if (c == ',') c = ' ';
    return s;
  }
  return "\"" + s + "\"";
}

std::string QuotedCsvField(std::string_view text) {
  std::string out;
  out.reserve(text.size() + 8);
  out += '"';
  for (char c : text) {
    if (c == '"') out += '"';
    out += c;
  }
  out += '"';
  return out;
}

}  // namespace orv
