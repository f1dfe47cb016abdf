#include "inventory/csv_field.h"

namespace orv {

std::string CsvField(std::string_view text) {
  std::string s(text);
  for (char& c : s)
    if (c == '\r' || c == '\n') c = ' ';

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

}  // namespace orv
