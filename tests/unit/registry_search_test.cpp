// The registry search of the search menu over small registries (data/registry/search*.reg); the
// search text's options and matching are cases in record_functions.txt.
#include <gtest/gtest.h>

#include "app/form1.h"
#include "fakes/case_table.h"
#include "fakes/fake_platform.h"
#include "regscript/registry_search.h"
#include "util/text.h"

namespace orv {
namespace {

using Lines = std::vector<std::string>;

// The main window with the search menu over the registry of `regFile`.
struct SearchForm {
  test::FakePlatform p;
  TForm1 f{p.platform, {"/a"}};
  explicit SearchForm(const std::string& regFile) { p.registry.Load(regFile); }

  // The text screen after `command` with `typed` as the first line (or `selected` as the selection).
  Lines Search(const std::string& typed, MenuId command = MenuId::LOCALMACHINE1, const std::string& selected = "") {
    f.Memo1.lines = {typed, "second line"};
    f.Memo1.selectedText = selected;
    f.OnMenu(command);
    return f.Memo1.lines;
  }
};

TEST(RegistrySearch, MatchingKeysListTheirStringAndIntegerValuesInNameOrder) {
  const std::map<std::string, MenuId> commands = {{"LOCALMACHINE", MenuId::LOCALMACHINE1},
                                                  {"LOCALMACHINESoftwareClasses", MenuId::HKEYLOCALMACHINESoftwareClasses11},
                                                  {"LOCALMACHINESystem", MenuId::HKEYLOCALMACHINESystem21},
                                                  {"CURRENTUSERSystem", MenuId::HKEYCURRENTUSERSystem41}};
  for (const test::Case& c : test::LoadCases("record_registry_search.txt")) {
    SearchForm s(c[0]);
    EXPECT_EQ(Join(s.Search(c[2], commands.at(c[1]), c[3]), "\n"), c[4]) << c.where;
  }
  SearchForm s("search_values.reg");
  s.Search("ab");  // too short: nothing searched
  EXPECT_FALSE(s.f.ProgressBar1.visible);
  EXPECT_EQ(s.p.registry.openCount, 0);
  s.Search("first line", MenuId::LOCALMACHINE1, "&needle");
  EXPECT_EQ(s.f.Memo1.lines.at(0) + "|" + s.f.Memo1.selectedText, "&needle|");  // the selection, used up
  EXPECT_TRUE(s.f.Memo1.readOnly);
  EXPECT_FALSE(s.f.Memo1.modified);
  SearchForm keys("search.reg");
  keys.Search("found");
  EXPECT_EQ(keys.p.registry.openCount, 7);  // one opening per key, not per value
}

}  // namespace
}  // namespace orv
