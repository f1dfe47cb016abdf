#include <gtest/gtest.h>

#include "platform/posix/iconv_codec.h"
#include "util/text.h"

namespace orv {
namespace {

TEST(Text, CharCountAndSubstrCountCodePoints) {
  EXPECT_EQ(CharCount("日本語abc"), 6u);
  EXPECT_EQ(CharSubstr("日本語abc", 1, 3), "本語a");
  EXPECT_EQ(LeftChars("日本語", 2), "日本");
}

TEST(Text, SplitLinesAcceptsEveryLineEnd) {
  EXPECT_EQ(SplitLines("a\r\nb\nc\rd"), (std::vector<std::string>{"a", "b", "c", "d"}));
  EXPECT_EQ(SplitLines("a\r\n\r\n"), (std::vector<std::string>{"a", ""}));
  EXPECT_TRUE(SplitLines("").empty());
}

TEST(Text, ParseInt32LikeStrToInt) {
  EXPECT_EQ(ParseInt32("10"), 10);
  EXPECT_EQ(ParseInt32(" -7 "), -7);
  EXPECT_EQ(ParseInt32("$1A"), 26);
  EXPECT_FALSE(ParseInt32("10/p"));
  EXPECT_FALSE(ParseInt32(""));
  EXPECT_FALSE(ParseInt32("4294967296"));
}

TEST(Text, FormatThousands) {
  EXPECT_EQ(FormatThousands(1234567), "1,234,567");
  EXPECT_EQ(FormatThousands(999), "999");
  EXPECT_EQ(FormatThousands(-1000), "-1,000");
}

TEST(Cp932, RoundTripAndReplacement) {
  IconvCodec codec;
  std::string sjis = codec.ToCp932("ファイル(&F)");
  EXPECT_EQ(sjis.substr(0, 2), "\x83\x74");
  EXPECT_EQ(codec.FromCp932(sjis), "ファイル(&F)");
  EXPECT_EQ(codec.ToCp932("a\xF0\x9F\x98\x80" "b"), "a?b");  // an emoji has no CP932 form
  EXPECT_EQ(codec.FromCp932("a\x81 b\xFF"), "a? b?");  // a lead byte without its trail byte
  EXPECT_EQ(codec.ToCp932("～①"), "\x81\x60\x87\x40");  // Microsoft's wave dash mapping and NEC specials
}

}  // namespace
}  // namespace orv
