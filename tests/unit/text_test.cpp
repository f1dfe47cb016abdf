// Text, field and row functions over the cases of data/cases/record_functions.txt (the CP932 codec
// among them; the codec's round trip over any bytes is a property of the codec fuzz target).
#include <gtest/gtest.h>

#include <functional>
#include <map>

#include "app/command_line.h"
#include "fakes/case_table.h"
#include "fakes/fake_files.h"
#include "fakes/fake_registry.h"
#include "fleet/fleet_tables.h"
#include "inventory/collection_run.h"
#include "inventory/csv_field.h"
#include "platform/clock.h"
#include "platform/posix/iconv_codec.h"
#include "probes/wmi_word.h"
#include "regscript/lookup_tools.h"
#include "regscript/registry_ex.h"
#include "regscript/registry_search.h"
#include "util/file_name_match.h"
#include "util/text.h"

namespace orv {
namespace {

using Args = std::vector<std::string>;
std::string Flag(bool b) { return b ? "1" : "0"; }

// Each function's result as a text: truth as 1 or 0, a refusal as "refused" or "none".
const std::map<std::string, std::function<std::string(const Args&)>> kFunctions = {
    {"FileNameMatches", [](const Args& a) { return Flag(FileNameMatches(a[0], a[1])); }},
    {"CharSubstr", [](const Args& a) { return CharSubstr(a[0], std::stoul(a[1]), std::stoul(a[2])); }},
    {"LeftChars", [](const Args& a) { return LeftChars(a[0], std::stoul(a[1])); }},
    {"LowerCase", [](const Args& a) { return LowerCase(a[0]); }},
    {"UpperCase", [](const Args& a) { return UpperCase(a[0]); }},
    {"SplitLines", [](const Args& a) { return Join(SplitLines(a[0]), "\n"); }},
    {"ParseInt32", [](const Args& a) { return ParseInt32(a[0]) ? std::to_string(*ParseInt32(a[0])) : "none"; }},
    {"FormatThousands", [](const Args& a) { return FormatThousands(std::stoll(a[0])); }},
    {"ToCp932", [](const Args& a) { return IconvCodec().ToCp932(a[0]); }},
    {"FromCp932", [](const Args& a) { return IconvCodec().FromCp932(a[0]); }},
    {"CsvField", [](const Args& a) { return CsvField(a[0]); }},
    {"ParseDateTime", [](const Args& a) {
       DateTime t;
       return ParseDateTime(a[0], t) ? FormatDateTime(t) : "refused";
     }},
    {"FormatClockMHz", [](const Args& a) { return FormatClockMHz(std::stoll(a[0])); }},
    {"RoundMemoryMB", [](const Args& a) { return RoundMemoryMB(a[0]); }},
    {"GroupProductId", [](const Args& a) { return GroupProductId(a[0]); }},
    {"ServerOfFolder", [](const Args& a) { return ServerOfFolder(a[0]); }},
    {"PackedFileDateTime", [](const Args& a) { return PackedFileDateTime(static_cast<uint32_t>(std::stoul(a[0]))); }},
    {"ClockDifferenceMinutes", [](const Args& a) { return ClockDifferenceMinutes(a[0], a[1]); }},
    {"ParseSearchText", [](const Args& a) {
       const SearchText s = ParseSearchText(a[0]);
       return s.text + (s.caseSensitive ? " case" : "") + (s.prefixMatch ? " prefix" : "");
     }},
    {"SearchMatches", [](const Args& a) { return Flag(SearchMatches(ParseSearchText(a[0]), a[1])); }},
    {"ParseWmiWord", [](const Args& a) {
       const auto word = ParseWmiWord(a[0]);
       return word ? word->wmiNamespace + " " + word->className + " " + Join(word->properties, ",") : "refused";
     }},
    {"ReadSaveFolder", [](const Args& a) {
       test::FakeFiles files;
       if (a[0] != "missing") files.Put("C:\\s.ini", a[0]);
       return ReadSaveFolder(files, IconvCodec(), "C:\\s.ini");
     }},
    {"ReadProgramFilesFolder", [](const Args& a) {
       test::FakeRegistry registry;
       const std::string key = "HKLM\\Software\\Microsoft\\Windows\\CurrentVersion";
       if (a[0] != "unset") registry.SetString(key, "ProgramFilesDir", a[0]);
       if (a[1] != "unset") registry.SetString(key, "ProgramFilesPath", a[1]);
       TRegistryEx reg(registry);
       return ReadProgramFilesFolder(reg);
     }},
    {"NameLessIgnoringCase", [](const Args& a) { return Flag(NameLessIgnoringCase(a[0], a[1])); }},
    {"CharCount", [](const Args& a) { return std::to_string(CharCount(a[0])); }},
    {"CompareMasterEntries", [](const Args& a) { return std::to_string((CompareMasterEntries(a[0], a[1]) > 0) - (CompareMasterEntries(a[0], a[1]) < 0)); }},
};

TEST(TextFunctions, Cases) {
  for (const test::Case& c : test::LoadCases("record_functions.txt")) {
    const Args args(c.fields.begin() + 1, c.fields.end() - 1);
    EXPECT_EQ(kFunctions.at(c[0])(args), c.fields.back()) << c.where;
  }
  EXPECT_EQ(ParseSearchText("&" + std::string(600, 'X')).text, std::string(512, 'x'));
}

}  // namespace
}  // namespace orv
