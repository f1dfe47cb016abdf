#include <gtest/gtest.h>

#include "app/form1.h"
#include "fakes/fake_platform.h"
#include "regscript/registry_search.h"

namespace orv {
namespace {

using test::FakePlatform;
using Lines = std::vector<std::string>;

TEST(RegistrySearch, OptionPrefixes) {
  const struct {
    std::string typed, text;
    bool caseSensitive, prefixMatch;
  } cases[] = {
      {"abc", "abc", true, false},     {"&ABC", "abc", false, false},  {"&-AbC", "abc", false, true},
      {"-&abc", "&abc", true, true},   {"-ABC", "ABC", true, true},    {"&&x", "&x", false, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.typed);
    SearchText s = ParseSearchText(c.typed);
    EXPECT_EQ(s.text, c.text);
    EXPECT_EQ(s.caseSensitive, c.caseSensitive);
    EXPECT_EQ(s.prefixMatch, c.prefixMatch);
  }
  EXPECT_EQ(ParseSearchText("&" + std::string(600, 'X')).text, std::string(512, 'x'));
}

TEST(RegistrySearch, Matching) {
  const struct {
    const char* typed;
    const char* value;
    bool matches;
  } cases[] = {
      {"&abc", "xABCy", true}, {"abc", "xABCy", false}, {"-abc", "abcdef", true},  {"-abc", "xabc", false},
      {"&-abc", "ABCd", true}, {"&-abc", "xABC", false}, {"-&abc", "&abcd", true}, {"abc", "ab", false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.typed) + " in " + c.value);
    EXPECT_EQ(SearchMatches(ParseSearchText(c.typed), c.value), c.matches);
  }
}

TEST(RegistrySearch, NamesSortWithoutRegardToAsciiCase) {
  Lines names = {"b", "A", "_x", "C", "a1", "Ä", ""};
  std::sort(names.begin(), names.end(), [](const auto& a, const auto& b) { return NameLessIgnoringCase(a, b); });
  EXPECT_EQ(names, (Lines{"", "_x", "A", "a1", "b", "C", "Ä"}));
}

// The main window with the search menu and a small registry branch.
struct SearchForm {
  FakePlatform p;
  TForm1 f{p.platform, {"/a"}};

  Lines Search(const std::string& typed, MenuId command = MenuId::LOCALMACHINE1) {
    f.Memo1.lines = {typed, "second line"};
    f.OnMenu(command);
    return f.Memo1.lines;
  }
};

TEST(RegistrySearch, TooShortTextSearchesNothing) {
  SearchForm s;
  s.p.registry.SetString("HKLM\\Software\\A", "V", "ab");
  EXPECT_EQ(s.Search("ab"), Lines{"ab"});
  EXPECT_FALSE(s.f.ProgressBar1.visible);
  EXPECT_EQ(s.p.registry.openCount, 0);
}

TEST(RegistrySearch, MatchingKeyListsAllItsStringAndIntegerValues) {
  SearchForm s;
  const std::string key = "HKLM\\Software\\Vendor\\App";
  s.p.registry.SetString(key, "Name", "has NEEDLE inside");
  s.p.registry.SetDword(key, "big", 4294967295u);
  s.p.registry.SetString(key, "", "default text");
  s.p.registry.SetBinary(key, "Bin", {1, 2});
  s.p.registry.SetExpandString(key, "Exp", "%NEEDLE%");
  s.p.registry.SetMulti(key, "Multi", {"needle"});
  s.p.registry.SetString("HKLM\\Software\\Vendor\\Other", "Name", "no match");
  s.p.registry.SetDword("HKLM\\Software\\Vendor\\Other", "Count", 4294967286u);
  EXPECT_EQ(s.Search("&needle"), (Lines{"&needle", "HKEY_LOCAL_MACHINE", "\\Software\\Vendor\\App",
                                        "    ----  default text", "  big  ----  -1", "  Name  ----  has NEEDLE inside"}));
  EXPECT_TRUE(s.f.Memo1.readOnly);
  EXPECT_FALSE(s.f.Memo1.modified);
  // Case matters without "&"; only plain strings and integers are searched.
  EXPECT_EQ(s.Search("needle"), (Lines{"needle", "HKEY_LOCAL_MACHINE"}));
  // Integers are searched as their signed decimal text.
  EXPECT_EQ(s.Search("--10"), (Lines{"--10", "HKEY_LOCAL_MACHINE", "\\Software\\Vendor\\Other",
                                     "  Count  ----  -10", "  Name  ----  no match"}));
  EXPECT_EQ(s.Search("-has").size(), 6u);
  EXPECT_EQ(s.Search("-NEEDLE"), (Lines{"-NEEDLE", "HKEY_LOCAL_MACHINE"}));
}

TEST(RegistrySearch, SelectionIsTheSearchText) {
  SearchForm s;
  s.p.registry.SetString("HKLM\\Software\\A", "V", "xyzzy");
  s.f.Memo1.lines = {"first line", "xyzzy"};
  s.f.Memo1.selectedText = "yzz";
  s.f.OnMenu(MenuId::LOCALMACHINE1);
  EXPECT_EQ(s.f.Memo1.lines, (Lines{"yzz", "HKEY_LOCAL_MACHINE", "\\Software\\A", "  V  ----  xyzzy"}));
}

TEST(RegistrySearch, KeysInNameOrderDepthFirstAndClassesOnlyByItsOwnCommand) {
  SearchForm s;
  for (const char* key : {"HKLM\\Software\\b", "HKLM\\Software\\A\\z", "HKLM\\Software\\A", "HKLM\\Software\\Classes\\x",
                          "HKLM\\Software\\b\\Classes", "HKCU\\Software\\Classes\\y", "HKLM\\System\\s",
                          "HKLM\\Software\\WOW6432Node\\Classes\\w"})
    s.p.registry.SetString(key, "V", "found it");
  s.p.registry.AddKey("HKLM\\Software\\Locked").denyOpen = true;
  EXPECT_EQ(s.Search("found"), (Lines{"found", "HKEY_LOCAL_MACHINE", "\\Software\\A", "  V  ----  found it",
                                      "\\Software\\A\\z", "  V  ----  found it", "\\Software\\b", "  V  ----  found it",
                                      "\\Software\\b\\Classes", "  V  ----  found it"}));
  // One opening per key, not per value.
  EXPECT_EQ(s.p.registry.openCount, 7);
  EXPECT_EQ(s.Search("found", MenuId::HKEYLOCALMACHINESoftwareClasses11),
            (Lines{"found", "HKEY_LOCAL_MACHINE", "\\Software\\Classes\\x", "  V  ----  found it"}));
  EXPECT_EQ(s.Search("found", MenuId::HKEYLOCALMACHINESystem21),
            (Lines{"found", "HKEY_LOCAL_MACHINE", "\\System\\s", "  V  ----  found it"}));
  EXPECT_EQ(s.Search("found", MenuId::HKEYCURRENTUSERSystem41), (Lines{"found", "HKEY_CURRENT_USER"}));
}

TEST(RegistrySearch, ProgressBarCountsTheStartKeysSubkeys) {
  SearchForm s;
  for (const char* key : {"HKLM\\Software\\A\\1\\2", "HKLM\\Software\\B", "HKLM\\Software\\Classes", "HKLM\\Software\\C"})
    s.p.registry.AddKey(key);
  std::vector<std::pair<int, int>> seen;  // (position, maximum) whenever the window may repaint
  std::vector<std::string> statuses;
  s.f.ProcessMessages = [&] {
    seen.emplace_back(s.f.ProgressBar1.position, s.f.ProgressBar1.max);
    statuses.push_back(s.f.StatusBar1Text);
  };
  s.Search("anything");
  EXPECT_TRUE(s.f.ProgressBar1.visible);
  EXPECT_EQ(s.f.StatusBar1Text, "\\Software\\C");
  ASSERT_FALSE(seen.empty());
  EXPECT_EQ(seen.front(), std::make_pair(0, 9999));  // shown before the walk starts
  EXPECT_EQ(seen.back(), std::make_pair(4, 4));
  EXPECT_EQ(statuses[1], "\\Software\\A\\1\\2");  // after the first subkey of the start key
}

TEST(RegistrySearch, SearchInputScreen) {
  SearchForm s;
  s.f.Memo1.lines = {"old"};
  s.f.Panel1Visible = true;
  s.f.OnMenu(MenuId::SearchStr1);
  EXPECT_EQ(s.f.caption, "Orvanta 検索");
  EXPECT_TRUE(s.f.Memo1.lines.empty());
  EXPECT_FALSE(s.f.Panel1Visible);
  // The search commands keep the caption.
  s.Search("abc");
  EXPECT_EQ(s.f.caption, "Orvanta 検索");
}

}  // namespace
}  // namespace orv
