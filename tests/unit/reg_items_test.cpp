// The reg item script (regitems.txt) evaluated as the collection run does, and the catalogue's
// names of the same lines. Most scripts are cases in data/cases/record_reg_items.txt over the
// machine of data/registry/reg_items.reg; what needs more than a script and its values is here.
#include <gtest/gtest.h>

#include "app/form1.h"
#include "fakes/case_table.h"
#include "fakes/fake_platform.h"
#include "fakes/fake_wmi.h"
#include "inventory/catalogue.h"
#include "regscript/reg_items.h"
#include "regscript/value_readers.h"
#include "util/text.h"
#include "util/text_file.h"

namespace orv {
namespace {

using Lines = std::vector<std::string>;

const std::string kScriptPath = "C:\\tools\\inv\\regitems.txt";

// One evaluation of a script over the machine of reg_items.reg, as the collection run makes it.
struct Script {
  test::FakePlatform p;
  test::FakeWmi wmi;
  Lines programs = {"Microsoft Office 2003 11.0", "Office Tools 1.0", "Windows Media Player 9", "Other 1"};
  MemoModel memo;
  bool keyOpen = false;
  std::string programFiles = "C:\\Program Files";

  Script() {
    p.registry.Load("reg_items.reg");
    p.platform.wmi = &wmi;
    wmi.classes["Win32_BIOS"] = test::ParseWmiListing("Manufacturer=LENOVO\nSMBIOSBIOSVersion=J5ET56WW (1.27 )");
    wmi.classes["Win32_QuickFixEngineering"] = test::ParseWmiListing("HotFixID=KB5026446\nInstalledOn=5/12/2023");
    p.system.environment = {{"USERNAME", "sato"}, {"X", "env"}};
    p.system.processes = Lines{"[System Process]", "C:\\Windows\\Explorer.EXE", "winword.exe", "C:\\x\\WINWORD.EXE"};
    p.network.shares = {ShareEnumResult::Status::Ok, 0, {"\\\\PC01\\data", "\\\\PC01\\tools"}};
    const std::string block = "\\StringFileInfo\\041104B0\\";
    p.versions.files["c:\\program files\\app\\x.exe"] = {{"041104B0"}, {{block + "OriginalFilename", "X.EXE"}, {block + "ProductVersion", "2.0"}}};
    p.versions.files["c:\\apps\\notepad.exe"] = {
        {"041104B0"}, {{block + "OriginalFilename", "NOTEPAD.EXE"}, {block + "ProductVersion", "10.0"}, {block + "CompanyName", "Maker"}}};
  }
  // Evaluates exactly these lines (the last one is read but not handled).
  Lines RunExactly(const Lines& lines, const std::string& osKind = "NT") {
    p.files.Put(kScriptPath, EncodeLines(p.codec, lines));
    Lines values;
    TRegistryEx reg(p.registry);
    reg.SetRootKey(RegRoot::LocalMachine);
    ReaderContext readers = ReaderContext::From(reg, keyOpen, programFiles, p.platform);
    RegItemsContext context{readers,          p.platform, programs, "Windows 10 Pro", "C:\\tools\\inv\\",
                            [&values](const std::string& v) { values.push_back(v); }, memo};
    EvaluateRegItems(context, osKind);
    return values;
  }
};

// The fields of a case from `from` up to the next "=" field; `from` ends after it.
Lines FieldsUpToEquals(const test::Case& c, size_t& from) {
  Lines out;
  while (from < c.fields.size() && c[from] != "=") out.push_back(c[from++]);
  ++from;
  return out;
}

MsgResult Answer(const std::string& name) {
  const std::map<std::string, MsgResult> answers = {
      {"Yes", MsgResult::Yes}, {"No", MsgResult::No}, {"Ok", MsgResult::Ok}, {"Cancel", MsgResult::Cancel}};
  return answers.at(name);
}

TEST(RegItems, ScriptsGiveTheirValuesAndTheCatalogueTheirNames) {
  for (const test::Case& c : test::LoadCases("record_reg_items.txt")) {
    SCOPED_TRACE(c.where);
    Script s;
    const bool exact = EndsWith(c[0], " exact");
    const std::string osKind = c[0].substr(0, 2);
    if (!c[1].empty()) s.p.system.printers = Split(c[1], ',');
    if (!c[2].empty())
      for (const std::string& answer : Split(c[2], ',')) s.p.dialogs.answers.push_back(Answer(answer));
    size_t field = 3;
    Lines script = FieldsUpToEquals(c, field);
    const Lines values = FieldsUpToEquals(c, field);
    if (!exact) script.push_back("// end");
    EXPECT_EQ(s.RunExactly(script, osKind), values);
    EXPECT_EQ(s.p.dialogs.shown.size(), Split(c[2], ',').size() - c[2].empty()) << "dialogs shown";
    if (field < c.fields.size()) {
      EXPECT_EQ(ScriptItemNames(script, osKind), FieldsUpToEquals(c, field));
    }
    for (const std::string& asked : s.wmi.asked) EXPECT_FALSE(StartsWith(asked, "\\\\")) << asked;  // never remote
  }
}

// A stray digit in a count must not stall the collection run on millions of empty rows: the
// count stops at kMaxCountLineRows, for the values and the catalogue's names alike.
TEST(RegItems, HugeCountsStopAtTheRowLimit) {
  Script s;
  for (const char* line : {"#shareddir 99999999", "#printers $7FFFFFFF", "#printers 1001"}) {
    EXPECT_EQ(s.RunExactly({line, "// end"}).size(), static_cast<size_t>(kMaxCountLineRows)) << line;
    EXPECT_EQ(ScriptItemNames({line, "// end"}, "NT").size(), static_cast<size_t>(kMaxCountLineRows)) << line;
  }
}

// The script editor reads the CP932 script for editing and saves it back as CP932.
TEST(ScriptEditor, ReadEditAndSave) {
  test::FakePlatform p;
  p.files.Put(kScriptPath, "\x83\x65\x83\x58\x83\x67\r\n\\Software\\X\r\n");  // "テスト" in CP932
  TForm1 f(p.platform, {"/a"});
  f.OnMenu(MenuId::ReadSetting1);
  EXPECT_EQ(f.Memo1.lines, (Lines{"テスト", "\\Software\\X"}));
  f.Memo1.lines = {"テスト", "new line"};
  f.Memo1.modified = true;
  f.OnMenu(MenuId::SaveSetting1);
  EXPECT_EQ(p.files.Get(kScriptPath), "\x83\x65\x83\x58\x83\x67\r\nnew line\r\n");
  EXPECT_FALSE(f.Memo1.modified);
}

}  // namespace
}  // namespace orv
