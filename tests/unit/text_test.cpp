#include <gtest/gtest.h>

#include <tuple>

#include "platform/posix/iconv_codec.h"
#include "util/file_name_match.h"
#include "util/text.h"

namespace orv {
namespace {

TEST(FileNameMatches, WildcardsAsWindowsReadsThem) {
  const std::tuple<const char*, const char*, bool> rows[] = {
      {"ab", "?b", true},         {"日本.txt", "??.txt", true}, {"日本.txt", "?.txt", false},
      {"README", "readme", true}, {"xAy", "x?Y", true},         {"abc", "a*c", true},
      {"abc", "a*d", false},      {"", "*", true},              {"a", "", false},
      {"ab", "a", false},         {"a", "ab", false},           {"noext", "noext.*", true},
      {"a.b", "a.*", true},       {"ab", "a.*", false},         {"aXbXc", "*x*c", true}};
  for (const auto& [name, pattern, matches] : rows) EXPECT_EQ(FileNameMatches(name, pattern), matches) << name << " " << pattern;
}

TEST(Text, CharCountAndSubstrCountCodePoints) {
  EXPECT_EQ(CharCount("日本語abc"), 6u);
  EXPECT_EQ(CharSubstr("日本語abc", 1, 3), "本語a");
  EXPECT_EQ(LeftChars("日本語", 2), "日本");
}

TEST(Text, CaseOfAsciiLettersOnly) {
  EXPECT_EQ(LowerCase("@AZ[ÄÉ"), "@az[ÄÉ");
  EXPECT_EQ(UpperCase("`az{ä"), "`AZ{ä");
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

// A broken UTF-8 sequence becomes one "?" and takes nothing valid after it along (a file name in
// raw CP932 bytes on a Linux share reaches the encoder like this).
TEST(Cp932, BrokenUtf8KeepsTheCharactersAfterIt) {
  IconvCodec codec;
  struct Case {
    std::string utf8, cp932;
  } cases[] = {
      {"\xE3" "A,", "?A,"},
      {"@\xED@\x0F" "10", "@?@\x0F" "10"},   // found by the codec fuzzer
      {"\xE0\x40__WG", "?@__WG"},             // CP932 bytes of a kanji taken as UTF-8
      {"a\xF0\x9F\x98", "a?"},                // cut at the end
      {"\xC3\xE6\x97\xA5", "?\x93\xFA"},      // a lead byte, then a whole character
      {"\x80x", "?x"},
  };
  for (const Case& c : cases) EXPECT_EQ(codec.ToCp932(c.utf8), c.cp932) << c.utf8;
}

// Every character CP932 holds decodes to one character and encodes back. The characters CP932
// holds twice (NEC row 13, the NEC-selected and the IBM extensions) encode to the one code
// Windows writes for them, which decodes to the same character.
TEST(Cp932, EveryCharacterRoundTrips) {
  IconvCodec codec;
  std::vector<std::string> codes;
  for (int b = 0; b < 0x100; ++b)
    if (b < 0x81 || (b >= 0xA0 && b <= 0xDF) || b > 0xFC) codes.emplace_back(1, static_cast<char>(b));
  for (int lead = 0x81; lead <= 0xFC; ++lead) {
    if (lead >= 0xA0 && lead <= 0xDF) continue;
    for (int trail = 0x40; trail <= 0xFC; ++trail)
      if (trail != 0x7F) codes.push_back({static_cast<char>(lead), static_cast<char>(trail)});
  }
  int held = 0, duplicates = 0;
  for (const std::string& code : codes) {
    const std::string text = codec.FromCp932(code);
    if (text == "?" && code != "?") continue;  // no character there
    ++held;
    ASSERT_EQ(CharCount(text), 1u) << std::hex << static_cast<unsigned>(static_cast<unsigned char>(code[0]));
    const std::string back = codec.ToCp932(text);
    ASSERT_EQ(codec.FromCp932(back), text) << text;
    if (back != code) {
      ++duplicates;
      const auto lead = static_cast<unsigned char>(code[0]);
      EXPECT_TRUE(lead == 0x87 || lead == 0xED || lead == 0xEE || lead >= 0xFA) << text;
    }
  }
  EXPECT_EQ(held, 191 + 9604);  // ASCII and half-width katakana, and the double-byte codes
  EXPECT_EQ(duplicates, 398);
}

}  // namespace
}  // namespace orv
