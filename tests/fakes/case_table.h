#pragma once
// Table-driven tests whose cases live in text files under tests/data/cases: one case per line,
// fields separated by '|' (blanks around a field are trimmed), '#' starts a comment line, blank
// lines are skipped. A field may hold \t \r \n \| \\ and \xHH escapes, so tables can carry tabs,
// line ends and Shift-JIS bytes. Each case keeps its file and line for failure messages.

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "util/text.h"

namespace orv::test {

struct Case {
  std::string where;  // "file.txt:12"
  std::vector<std::string> fields;
  const std::string& operator[](size_t i) const { return fields.at(i); }
  long long Int(size_t i) const { return std::stoll(fields.at(i), nullptr, 0); }
};

inline std::string Unescape(const std::string& s) {
  std::string out;
  for (size_t i = 0; i < s.size(); ++i) {
    if (s[i] != '\\' || i + 1 == s.size()) {
      out += s[i];
      continue;
    }
    char c = s[++i];
    if (c == 't') out += '\t';
    else if (c == 'r') out += '\r';
    else if (c == 'n') out += '\n';
    else if (c == 'x' && i + 2 < s.size()) {
      out += static_cast<char>(std::stoi(s.substr(i + 1, 2), nullptr, 16));
      i += 2;
    } else out += c;  // \| \\ and anything else stand for themselves
  }
  return out;
}

// The cases of tests/data/cases/<name>; a file that is missing or empty fails the test.
inline std::vector<Case> LoadCases(const std::string& name) {
  std::ifstream in(std::string(ORV_TEST_DATA) + "/cases/" + name, std::ios::binary);
  std::vector<Case> cases;
  std::string line;
  for (int number = 1; std::getline(in, line); ++number) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (Trim(line).empty() || Trim(line)[0] == '#') continue;
    Case c{name + ":" + std::to_string(number), {}};
    std::string field;
    for (size_t i = 0; i <= line.size(); ++i) {
      if (i == line.size() || line[i] == '|') {
        c.fields.push_back(Unescape(Trim(field)));
        field.clear();
      } else {
        if (line[i] == '\\' && i + 1 < line.size()) field += line[i++];
        field += line[i];
      }
    }
    cases.push_back(std::move(c));
  }
  EXPECT_FALSE(cases.empty()) << "no cases in tests/data/cases/" << name;
  return cases;
}

}  // namespace orv::test
