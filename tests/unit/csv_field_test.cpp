#include <gtest/gtest.h>

#include <string>
#include <utility>

#include "inventory/csv_field.h"

namespace orv {
namespace {

TEST(CsvField, EscapesOneValue) {
  const std::pair<const char*, const char*> cases[] = {
      {"", ""}, {"plain text", "plain text"}, {"a=1", "a=1"},  // only the first character counts
      // a formula's first character gets an apostrophe
      {"=1+2", "'=1+2"}, {"+81 3", "'+81 3"}, {"-", "'-"}, {"@SUM", "'@SUM"}, {"'=x", "'=x"},
      // a comma quotes the field (the apostrophe inside); with a quote the commas become blanks
      {"a,b", "\"a,b\""}, {"-1,5", "\"'-1,5\""}, {"say \"hi\", then go", "say \"hi\"  then go"},
      {"1\" disk", "1\" disk"},  // a quote without a comma is neither quoted nor doubled
      // a value that begins with a double quote: quoted, its quotes doubled, commas kept
      {"\"", "\"\"\"\""}, {"\"C:\\Program Files\\A.exe\" /S,/q", "\"\"\"C:\\Program Files\\A.exe\"\" /S,/q\""},
      // line breaks become blanks before anything else
      {"line1\r\nline2", "line1  line2"}, {"a\nb,c", "\"a b,c\""}, {"\r=1", " =1"}, {"\n\"x", " \"x"},
  };
  for (const auto& [text, field] : cases) EXPECT_EQ(CsvField(text), field) << text;
}

TEST(CsvField, QuoteAndManyCommasKeepsEveryCharacterOfALongValue) {
  std::string text = "x\"", expected = "x\"";
  for (int i = 0; i < 40; ++i) {  // far beyond 512 characters after each comma
    text += std::string(700, static_cast<char>('a' + i % 26)) + ",";
    expected += std::string(700, static_cast<char>('a' + i % 26)) + " ";
  }
  EXPECT_EQ(CsvField(text + "末尾"), expected + "末尾");
}

}  // namespace
}  // namespace orv
