#include <gtest/gtest.h>

#include <string>

#include "inventory/csv_field.h"

namespace orv {
namespace {

struct FieldCase {
  const char* text;
  const char* field;
};

class CsvFieldTest : public ::testing::TestWithParam<FieldCase> {};

TEST_P(CsvFieldTest, EscapesOneValue) { EXPECT_EQ(CsvField(GetParam().text), GetParam().field); }

INSTANTIATE_TEST_SUITE_P(
    Cases, CsvFieldTest,
    ::testing::Values(
        FieldCase{"", ""},
        FieldCase{"plain text", "plain text"},
        FieldCase{"=1+2", "'=1+2"},
        FieldCase{"+81 3", "'+81 3"},
        FieldCase{"-", "'-"},
        FieldCase{"@SUM", "'@SUM"},
        FieldCase{"a=1", "a=1"},          // only the first character counts
        FieldCase{"'=x", "'=x"},          // already protected: unchanged
        FieldCase{"a,b", "\"a,b\""},
        FieldCase{",", "\",\""},
        FieldCase{"-1,5", "\"'-1,5\""},   // the apostrophe goes inside the quotes
        FieldCase{"say \"hi\", then go", "say \"hi\"  then go"},
        FieldCase{"=\"x\",y", "'=\"x\" y"},
        FieldCase{"1\" disk", "1\" disk"},  // a quote without a comma is neither quoted nor doubled
        // a leading quote: quoted, quotes doubled, commas kept, no apostrophe
        FieldCase{"\"", "\"\"\"\""},
        FieldCase{"\"abc", "\"\"\"abc\""},
        FieldCase{"\"C:\\Program Files\\A.exe\" /S,/q", "\"\"\"C:\\Program Files\\A.exe\"\" /S,/q\""},
        FieldCase{"ＭＳ ゴシック,標準", "\"ＭＳ ゴシック,標準\""},
        // line breaks become blanks before anything else
        FieldCase{"line1\r\nline2", "line1  line2"},
        FieldCase{"a\nb,c", "\"a b,c\""},
        FieldCase{"\r=1", " =1"},
        FieldCase{"x\"\ry,z", "x\" y z"}));

TEST(CsvField, QuoteAndManyCommasKeepsEveryCharacterOfALongValue) {
  // Far beyond 512 characters after each comma: nothing may be cut.
  std::string text = "x\"";
  std::string expected = "x\"";
  for (int i = 0; i < 40; ++i) {
    std::string part(700, static_cast<char>('a' + i % 26));
    text += part + ",";
    expected += part + " ";
  }
  text += "末尾";
  expected += "末尾";
  std::string field = CsvField(text);
  EXPECT_EQ(field.size(), text.size());
  EXPECT_EQ(field, expected);
}

}  // namespace
}  // namespace orv
