// The registry search of the search menu over small registries (data/registry/search*.reg); the
// search text's options and matching are cases in record_functions.txt.
#include <gtest/gtest.h>

#include "app/form1.h"
#include "fakes/fake_platform.h"
#include "regscript/registry_search.h"

namespace orv {
namespace {

using Lines = std::vector<std::string>;

// The main window with the search menu over the registry of `regFile`.
struct SearchForm {
  test::FakePlatform p;
  TForm1 f{p.platform, {"/a"}};
  explicit SearchForm(const std::string& regFile) { p.registry.Load(regFile); }

  Lines Search(const std::string& typed, MenuId command = MenuId::LOCALMACHINE1) {
    f.Memo1.lines = {typed, "second line"};
    f.OnMenu(command);
    return f.Memo1.lines;
  }
};

TEST(RegistrySearch, AMatchingKeyListsAllItsStringAndIntegerValues) {
  SearchForm s("search_values.reg");
  EXPECT_EQ(s.Search("ab"), Lines{"ab"});  // too short: nothing searched
  EXPECT_FALSE(s.f.ProgressBar1.visible);
  EXPECT_EQ(s.p.registry.openCount, 0);
  EXPECT_EQ(s.Search("&needle"), (Lines{"&needle", "HKEY_LOCAL_MACHINE", "\\Software\\Vendor\\App",
                                        "    ----  default text", "  big  ----  -1", "  Name  ----  has NEEDLE inside"}));
  EXPECT_TRUE(s.f.Memo1.readOnly);
  EXPECT_FALSE(s.f.Memo1.modified);
  // Case matters without "&"; only plain strings and integers are searched.
  EXPECT_EQ(s.Search("needle"), (Lines{"needle", "HKEY_LOCAL_MACHINE"}));
  // Integers are searched as their signed decimal text.
  EXPECT_EQ(s.Search("--10"), (Lines{"--10", "HKEY_LOCAL_MACHINE", "\\Software\\Vendor\\Other", "  Count  ----  -10", "  Name  ----  no match"}));
  EXPECT_EQ(s.Search("-has").size(), 6u);
  EXPECT_EQ(s.Search("-NEEDLE"), (Lines{"-NEEDLE", "HKEY_LOCAL_MACHINE"}));
}

TEST(RegistrySearch, KeysInNameOrderDepthFirstAndClassesOnlyByItsOwnCommand) {
  SearchForm s("search.reg");
  const std::string found = "  V  ----  found it";
  EXPECT_EQ(s.Search("found"), (Lines{"found", "HKEY_LOCAL_MACHINE", "\\Software\\A", found, "\\Software\\A\\z", found,
                                      "\\Software\\b", found, "\\Software\\b\\Classes", found}));
  EXPECT_EQ(s.p.registry.openCount, 7);  // one opening per key, not per value
  EXPECT_EQ(s.Search("found", MenuId::HKEYLOCALMACHINESoftwareClasses11),
            (Lines{"found", "HKEY_LOCAL_MACHINE", "\\Software\\Classes\\x", found}));
  EXPECT_EQ(s.Search("found", MenuId::HKEYLOCALMACHINESystem21), (Lines{"found", "HKEY_LOCAL_MACHINE", "\\System\\s", found}));
  EXPECT_EQ(s.Search("found", MenuId::HKEYCURRENTUSERSystem41), (Lines{"found", "HKEY_CURRENT_USER"}));
  // A selection is the search text.
  s.f.Memo1.lines = {"first line", "found it"};
  s.f.Memo1.selectedText = "und i";
  s.f.OnMenu(MenuId::HKEYLOCALMACHINESystem21);
  EXPECT_EQ(s.f.Memo1.lines, (Lines{"und i", "HKEY_LOCAL_MACHINE", "\\System\\s", found}));
}

TEST(RegistrySearch, ProgressBarCountsTheStartKeysSubkeys) {
  SearchForm s("search.reg");
  std::vector<std::pair<int, int>> seen;  // (position, maximum) whenever the window may repaint
  std::vector<std::string> statuses;
  s.f.ProcessMessages = [&] {
    seen.emplace_back(s.f.ProgressBar1.position, s.f.ProgressBar1.max);
    statuses.push_back(s.f.StatusBar1Text);
  };
  s.Search("anything");
  EXPECT_TRUE(s.f.ProgressBar1.visible);
  EXPECT_EQ(s.f.StatusBar1Text, "\\Software\\WOW6432Node");
  ASSERT_FALSE(seen.empty());
  EXPECT_EQ(seen.front(), std::make_pair(0, 9999));  // shown before the walk starts
  EXPECT_EQ(seen.back(), std::make_pair(5, 5));
  EXPECT_EQ(statuses[1], "\\Software\\A\\z");  // after the first subkey of the start key
}

TEST(RegistrySearch, SearchInputScreenKeepsItsCaption) {
  SearchForm s("search.reg");
  s.f.Memo1.lines = {"old"};
  s.f.Panel1Visible = true;
  s.f.OnMenu(MenuId::SearchStr1);
  EXPECT_EQ(s.f.caption, "Orvanta 検索");
  EXPECT_TRUE(s.f.Memo1.lines.empty());
  EXPECT_FALSE(s.f.Panel1Visible);
  s.Search("abc");
  EXPECT_EQ(s.f.caption, "Orvanta 検索");
}

}  // namespace
}  // namespace orv
