#include <gtest/gtest.h>

#include <deque>

#include "app/form1.h"
#include "fakes/fake_platform.h"
#include "fakes/fake_wmi.h"
#include "inventory/catalogue.h"
#include "probes/wmi_word.h"
#include "regscript/reg_items.h"
#include "regscript/value_readers.h"
#include "util/text.h"
#include "util/text_file.h"

namespace orv {
namespace {

using test::FakePlatform;
using Lines = std::vector<std::string>;

const std::string kScriptPath = "C:\\tools\\inv\\regitems.txt";
const std::string kPrintersKey = "HKLM\\System\\CurrentControlSet\\Control\\Print\\Printers";

// One evaluation of a script over the fakes, as the collection run makes it.
struct Script {
  FakePlatform p;
  Lines programs;
  Lines values;
  MemoModel memo;
  bool keyOpen = false;
  std::string programFiles = "C:\\Program Files";

  // Evaluates exactly these lines (the last one is read but not handled).
  Lines RunExactly(const Lines& lines, const std::string& osKind = "NT") {
    p.files.Put(kScriptPath, EncodeLines(p.codec, lines));
    return RunFile(osKind);
  }
  // Evaluates the lines followed by a closing comment, so that every listed line is handled.
  Lines Run(Lines lines, const std::string& osKind = "NT") {
    lines.push_back("// end");
    return RunExactly(lines, osKind);
  }
  Lines RunFile(const std::string& osKind = "NT") {
    values.clear();
    TRegistryEx reg(p.registry);
    reg.SetRootKey(RegRoot::LocalMachine);
    ReaderContext readers = ReaderContext::From(reg, keyOpen, programFiles, p.platform);
    RegItemsContext context{readers,          p.platform, programs, "Windows 10 Pro", "C:\\tools\\inv\\",
                            [this](const std::string& v) { values.push_back(v); }, memo};
    EvaluateRegItems(context, osKind);
    return values;
  }

  void AddPrinter(const std::string& name, const std::string& port, const std::string& driver) {
    p.system.printers.push_back(name);
    p.registry.SetString(kPrintersKey + "\\" + name, "Name", name);
    p.registry.SetString(kPrintersKey + "\\" + name, "Port", port);
    p.registry.SetString(kPrintersKey + "\\" + name, "Printer Driver", driver);
  }
};

TEST(RegItems, WorkedExampleRowForRowWithTheCatalogue) {
  Script s;
  s.p.registry.SetString("HKLM\\Software\\Microsoft\\Windows\\CurrentVersion", "ProgramFilesDir", "C:\\Program Files");
  s.p.registry.SetString("HKLM\\Software\\Microsoft\\Windows\\CurrentVersion", "VersionNumber", "5.1");
  s.AddPrinter("Laser1", "LPT1:", "Laser Driver");
  s.p.system.environment["USERNAME"] = "sato";
  const Lines script = {"HKEY_LOCAL_MACHINE", "\\Software\\Microsoft\\Windows\\CurrentVersion", "ProgramFilesDir==Program Files",
                        "%VersionNumber==Version", "/--- local ---", "//comment", "", "#printers 2", "$USERNAME", "?9x", "?NT",
                        "?end", "// last line"};
  const Lines values = s.RunExactly(script);
  EXPECT_EQ(values, (Lines{"C:\\Program Files", "  5.  1", "/--- local ---", "", "Laser1 on LPT1: Laser Driver", "",
                           "sato"}));
  EXPECT_EQ(ScriptItemNames(script, "NT"),
            (Lines{"Program Files", "Version", "/--- local ---", "", "#printers", "", "$USERNAME"}));
}

TEST(RegItems, LastLineIsReadButNotHandledAtTheTop) {
  Script s;
  EXPECT_TRUE(s.RunFile().empty());  // no file
  EXPECT_EQ(s.RunExactly({"first", "last"}), Lines{"first"});
  EXPECT_EQ(ScriptItemNames({"first", "last"}, "NT"), Lines{"first"});
  EXPECT_TRUE(s.RunExactly({"only"}).empty());
  // A key block reads its lines itself and so handles a last value line.
  s.p.registry.SetString("HKLM\\Software\\App", "V", "1");
  EXPECT_EQ(s.RunExactly({"\\Software\\App", "V"}), Lines{"1"});
}

// "#printers n" gives exactly n values (one without a count or for 0, none below 0).
TEST(RegItems, PrinterLinesGiveExactlyTheCountOfValues) {
  const std::tuple<Lines, std::string, Lines> cases[] = {  // printers with port "LPT<n>:" and driver "Driver<n>"
      {{}, "#printers 3", {"", "", ""}}, {{}, "#printers", {""}}, {{}, "#printers 0", {""}}, {{"P"}, "#printers -2", {}},
      {{"P"}, "#printers -2147483648", {}}, {{"A", "B", "C"}, "#PRINTERS 2", {"A on LPT1: Driver1", "B on LPT2: Driver2"}},
  };
  for (const auto& [printers, line, values] : cases) {
    Script s;
    for (size_t i = 0; i < printers.size(); ++i)
      s.AddPrinter(printers[i], "LPT" + std::to_string(i + 1) + ":", "Driver" + std::to_string(i + 1));
    EXPECT_EQ(s.Run({line}), values) << line;
  }
}

// A stray digit in a count must not stall the collection run on millions of empty rows: the
// count stops at kMaxCountLineRows, for the values and the catalogue's names alike.
TEST(RegItems, HugeCountsStopAtTheRowLimit) {
  for (const char* line : {"#shareddir 99999999", "#printers $7FFFFFFF", "#printers 1001"}) {
    Script s;
    s.AddPrinter("Laser1", "LPT1:", "Driver1");
    const Lines values = s.Run({line});
    EXPECT_EQ(values.size(), static_cast<size_t>(kMaxCountLineRows)) << line;
    EXPECT_EQ(ScriptItemNames({line, "// end"}, "NT").size(), values.size()) << line;
  }
  Script s;
  EXPECT_EQ(s.Run({"#printers 1000"}).size(), 1000u);
}

// The "#" words over one machine: printers, shared folders, running programs and files.
TEST(RegItems, WordsOfTheMachine) {
  Script s;
  // No key for the first printer: no port, no driver. 9x lists "name on port" and looks the
  // printer up by the part before " on ".
  s.p.system.printers = {"Ghost", "Ink on LPT2:"};
  s.p.registry.SetString(kPrintersKey + "\\Ink", "Name", "Ink");
  s.p.registry.SetString(kPrintersKey + "\\Ink", "Printer Driver", "Ink Driver");
  s.p.network.shares = {ShareEnumResult::Status::Ok, 0, {"\\\\PC01\\data", "\\\\PC01\\tools"}};
  s.p.registry.SetMulti("HKLM\\SYSTEM\\CurrentControlSet\\Services\\lanmanserver\\Shares", "data",
                        {"CSCFlags=0", "MaxUses=4294967295", "Path=D:\\data", "Type=0"});
  s.p.registry.SetString("HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\\Network\\LanMan\\data", "Path", "C:\\D");
  s.p.system.processes = Lines{"[System Process]", "C:\\Windows\\Explorer.EXE", "winword.exe", "C:\\x\\WINWORD.EXE"};
  s.p.versions.files["c:\\program files\\app\\x.exe"] = {
      {"041104B0"}, {{"\\StringFileInfo\\041104B0\\OriginalFilename", "X.EXE"}, {"\\StringFileInfo\\041104B0\\ProductVersion", "2.0"}}};
  const std::tuple<Lines, const char*, Lines> cases[] = {
      {{"#printers 2"}, "NT", {"Ghost on  ", "Ink on LPT2: "}},
      {{"#printers 2"}, "9x", {"Ghost on  ", "Ink on LPT2: Ink Driver"}},
      {{"#shareddir 3"}, "NT", {"data D:\\data", "tools ", ""}},
      {{"#shareddir"}, "9x", {"data C:\\D"}},
      {{"#running"}, "NT", {"[system process]", "explorer.exe", "winword.exe", "winword.exe"}},
      {{"#running excel.exe WinWord.exe"}, "NT", {"winword.exe winword.exe "}},
      {{"#%ProgramFiles%\\App\\X.exe", "#notes.txt", "#c:\\none.dll"}, "NT", {"x.exe 2.0", ""}},
  };
  for (const auto& [script, osKind, values] : cases) EXPECT_EQ(s.Run(script, osKind), values) << script[0] << " " << osKind;
  EXPECT_EQ(s.p.network.lastShareContainer, "\\\\PC01");
  EXPECT_EQ(ScriptItemNames({"#running", "x"}, "NT"), Lines{"#running"});  // one name, however many processes
  s.p.network.shares = {ShareEnumResult::Status::NoMoreItems, 0, {}};  // a message becomes a value
  EXPECT_EQ(s.Run({"#shareddir 2"}), (Lines{"共有フォルダはありません ", ""}));
}

TEST(RegItems, WindowsWordsGiveTheirCountOfValuesInStepWithTheCatalogue) {
  Script s;
  test::FakeWmi wmi;
  s.p.platform.wmi = &wmi;
  wmi.classes["Win32_BIOS"] = test::ParseWmicList("Manufacturer=LENOVO\nSMBIOSBIOSVersion=J5ET56WW (1.27 )");
  wmi.classes["Win32_QuickFixEngineering"] = test::ParseWmicList("HotFixID=KB5026446\nInstalledOn=5/12/2023");
  const Lines script = {"#wmi:Win32_BIOS.Manufacturer,SMBIOSBIOSVersion", "#wmi:Win32_NoSuchClass.Name 2",
                        "#WMI:root\\wmi\\MSStorageDriver_FailurePredictStatus.InstanceName 0", "#antivirus 2",
                        "#updates 3", "#wmi:\\\\srv\\root\\cimv2\\Win32_BIOS.Manufacturer -1"};
  EXPECT_EQ(s.Run(script), (Lines{"LENOVO J5ET56WW (1.27 )", "", "", "", "", "", "2023/05/12 KB5026446", "", "", ""}));
  Lines withEnd = script;
  withEnd.push_back("// end");
  EXPECT_EQ(ScriptItemNames(withEnd, "NT"),
            (Lines{script[0], "#wmi:Win32_NoSuchClass.Name", "", "#WMI:root\\wmi\\MSStorageDriver_FailurePredictStatus.InstanceName",
                   "#antivirus", "", "#updates", "", "", "#wmi:\\\\srv\\root\\cimv2\\Win32_BIOS.Manufacturer"}));
  for (const std::string& asked : wmi.asked) EXPECT_FALSE(StartsWith(asked, "\\\\")) << asked;  // never remote
}

// A word whose class, property or namespace part is empty or not a WMI name asks nothing.
TEST(RegItems, WmiWordsWithAnEmptyOrStrangeNameAreRefused) {
  for (const char* word : {".Name", "Win32_BIOS.", "Win32_BIOS.Name,", "root\\\\cimv2\\Win32_BIOS.Name", "cimv2\\Win32_BIOS.Name",
                           "Win32 BIOS.Name", "Win32_BIOS.Na-me", "Win32_BIOS"})
    EXPECT_FALSE(ParseWmiWord(word)) << word;
  const auto good = ParseWmiWord("root\\wmi\\MSStorageDriver_FailurePredictStatus.InstanceName,Active");
  ASSERT_TRUE(good);
  EXPECT_EQ(good->wmiNamespace, "root\\wmi");
  EXPECT_EQ(good->properties, (Lines{"InstanceName", "Active"}));
}

// The block and root lines over one registry: each row a script and the values it gives.
TEST(RegItems, KeyBlocksAndRoots) {
  Script s;
  const std::string app = "HKLM\\Software\\Vendor\\App", products = "HKLM\\Software\\Vendor\\Products";
  for (auto [name, text] : {std::pair{"Version", "3.1"}, {"#Count", "7"}, {"$Path", "C:\\App"}, {"&Name", "Tool"}, {"A", "a"}, {"B", "b"}})
    s.p.registry.SetString(app, name, text);
  s.p.registry.SetString(products + "\\A\\Info", "Name", "First");  // no version: does not qualify
  for (auto [key, n] : {std::pair{"\\B\\Info", "2"}, {"\\C\\Info", "3"}}) {
    s.p.registry.SetString(products + key, "Name", n[0] == '2' ? "Second" : "Third");
    s.p.registry.SetString(products + key, "Version", n);
  }
  s.p.registry.SetString("HKLM\\Software\\Leaf", "Name", "leaf");
  s.p.registry.SetString("HKLM\\Software\\X", "V", "machine");
  s.p.registry.SetString("HKCU\\Software\\X", "V", "user");
  s.p.registry.SetString("HKCR\\Software\\X", "V", "classes");
  s.p.system.environment["X"] = "env";
  const std::pair<Lines, Lines> cases[] = {
      {{"\\Software\\Vendor\\App", "Version==Ver", "#Count", "$Path", "&Name", "/-- literal", "// comment", "Missing", "", "$X"},
       {"3.1", "7", "C:\\App", "Tool", "/-- literal", "", "", "env"}},
      {{"\\Software\\Vendor\\None", "Version", "/lit", ""}, {"", "/lit", ""}},  // not opened: empty, literals stay
      // "&" stays in the list as a value name; "$" ends it.
      {{"\\Software\\Vendor\\Products\\*\\Info", "Name", "/-- sep", "//", "Version", "&Missing/", "$X"}, {"Second", "/-- sep", "2", " ", "env"}},
      {{"\\Software\\Vendor\\Products\\*\\Info", "Name", "/lit", "Nothing", "#x"}, {"", "/lit", ""}},  // no subkey has all
      {{"\\Software\\Leaf\\*", "Name", "Missing"}, {"leaf", ""}},  // no subkeys: the parent
      {{"\\Software\\Vendor\\App*ignored", "A", "/lit", "B"}, {"a", "/lit", "b"}},
      {{"\\Software\\Vendor\\App*", "A", "/lit", "Missing", "B"}, {"", "/lit", "", ""}},
      // Only an exact root name changes the root; a "." line leaves HKEY_CLASSES_ROOT.
      {{"HKEY_CURRENT_USER", "HKEY_LOCAL_MACHINE\\Software", "\\Software\\X", "V"}, {"user"}},
      {{"HKEY_CURRENT_USER", ".none", "\\Software\\X", "V"}, {"", "classes"}},
      {{"HKEY_CURRENT_USER", "#printers", "\\Software\\X", "V"}, {"", "user"}},  // no printer: the root stays
      {{"$USERNAME==User", "$MISSING", "$"}, {"", "", ""}},
  };
  for (const auto& [script, values] : cases) EXPECT_EQ(s.Run(script), values) << script[0] << " " << script[1];
  // Every kind of line ends a plain block: the line after it is handled at the top.
  for (const std::string end : {"HKEY_LOCAL_MACHINE", "\\Software\\Vendor\\App", "?NT", ".none", ">WinVersion", "<"}) {
    const Lines values = s.Run({"\\Software\\Vendor\\App", "A", end, "A"});
    EXPECT_EQ(values.front(), "a") << end;
    EXPECT_EQ(values.back(), end == "\\Software\\Vendor\\App" ? "a" : "A") << end;
  }
  s.p.system.printers = {"P"};  // "#printers" with a printer leaves HKEY_LOCAL_MACHINE
  EXPECT_EQ(s.Run({"HKEY_CURRENT_USER", "#printers", "\\Software\\X", "V"}), (Lines{"P on  ", "machine"}));
  EXPECT_TRUE(s.keyOpen);
  s.Run({"\\Software\\Vendor\\None", "V"});
  EXPECT_FALSE(s.keyOpen);
}

TEST(RegItems, ConditionSections) {
  Script s;
  const Lines script = {"?9x", "nine", "?NT 9x", "both", "?nt", "lower", "?NT", "nt", "?END", "after", "x"};
  EXPECT_EQ(s.RunExactly(script, "NT"), (Lines{"both", "nt"}));
  EXPECT_EQ(s.RunExactly(script, "9x"), (Lines{"nine", "both"}));
  // The catalogue follows the sections but reads "?END" as a section header that matches neither.
  EXPECT_EQ(ScriptItemNames(script, "NT"), (Lines{"both", "nt"}));
}

TEST(RegItems, ProgramLinesTakeEntriesOutOfTheList) {
  Script s;
  s.programs = {"Microsoft Office 2003 11.0", "Office Tools 1.0", "Windows Media Player 9", "Other 1"};
  EXPECT_EQ(s.Run({"&Office", "&Office", "&Office", "&Windows Media", "&Windows Media", "&", "&Office==Suite"}),
            (Lines{"Microsoft Office 2003 11.0", "Office Tools 1.0", "", "Windows Media Player 9",
                   "Windows Media Player 9", "", ""}));
  EXPECT_EQ(s.programs, (Lines{"Windows Media Player 9", "Other 1"}));
  EXPECT_EQ(ScriptItemNames({"&Office==Suite", "x"}, "NT"), Lines{"Suite"});
}

TEST(RegItems, QuestionAndPromptLines) {
  Script s;
  s.p.dialogs.answers = {MsgResult::Yes, MsgResult::No, MsgResult::Ok};
  EXPECT_EQ(s.Run({">Do you use a scanner?", ">Laptop?", ">WinVersion"}), (Lines{"Yes", "No"}));
  ASSERT_EQ(s.p.dialogs.shown.size(), 3u);
  EXPECT_EQ(s.p.dialogs.shown[0].buttons, MsgButtons::YesNo);
  EXPECT_EQ(s.p.dialogs.shown[2].text, "このウィンドウズのバージョンは Windows 10 Pro です");
  EXPECT_EQ(s.p.dialogs.shown[2].buttons, MsgButtons::Ok);
  // Prompt answers go into the record text only.
  s.p.dialogs.promptAnswers = {"a,b,c", ""};
  EXPECT_EQ(s.Run({"before", "<Room number?", "<Desk?", "after"}), (Lines{"before", "after"}));
  EXPECT_EQ(s.p.dialogs.prompts, (Lines{"Room number?", "Desk?"}));
  EXPECT_EQ(s.memo.lines, (Lines{"a b c", ""}));
}

// A registered editor with a version resource, for "." lines.
void RegisterEditor(Script& s) {
  s.p.registry.SetString("HKCR\\.txt", "", "txtfile");
  s.p.registry.SetString("HKCR\\txtfile\\shell\\open\\command", "", "\"C:\\Apps\\Notepad.exe\" \"%1\"");
  s.p.versions.files["c:\\apps\\notepad.exe"] = {
      {"041104B0"},
      {{"\\StringFileInfo\\041104B0\\OriginalFilename", "NOTEPAD.EXE"},
       {"\\StringFileInfo\\041104B0\\ProductVersion", "10.0"},
       {"\\StringFileInfo\\041104B0\\CompanyName", "Maker"}}};
}

// ">match/product" after a "." line asks only when the match text is in the version text.
TEST(RegItems, FileTypeAndLicenceLines) {
  const std::tuple<std::string, std::deque<MsgResult>, std::string> cases[] = {
      {">NOTEPAD/Notepad Pro", {MsgResult::Yes}, "Yes"}, {">notepad/Notepad Pro", {MsgResult::Cancel}, "??"},
      {">excel/Excel", {}, ""}, {">notepad", {}, ""}};
  for (const auto& [licenceLine, answers, value] : cases) {
    Script s;
    RegisterEditor(s);
    s.p.dialogs.answers = answers;
    EXPECT_EQ(s.Run({".txt ProductVersion CompanyName", licenceLine}), (Lines{"notepad.exe 10.0 Maker", value}));
    ASSERT_EQ(s.p.dialogs.shown.size(), answers.size()) << licenceLine;
    if (!answers.empty()) {
      EXPECT_EQ(s.p.dialogs.shown[0].buttons, MsgButtons::YesNoCancel);
    }
  }
  Script s;
  RegisterEditor(s);
  // Without a following ">" line, that line is handled normally.
  EXPECT_EQ(s.Run({".txt", "literal"}), (Lines{"notepad.exe", "literal"}));
  // No registered program: empty, and the licence line asks nothing.
  EXPECT_EQ(s.Run({".zzz ProductVersion", ">x/Product"}), (Lines{"", ""}));
  EXPECT_TRUE(s.p.dialogs.shown.empty());
  // A licence line that is the file's last line is still read by the "." line.
  s.p.dialogs.answers = {MsgResult::No};
  EXPECT_EQ(s.RunExactly({".txt", ">notepad/Notepad"}), (Lines{"notepad.exe", "No"}));
}

TEST(RegItems, InvalidBytesAndLongLines) {
  Script s;
  const std::string longLine(2000, 'a');
  const std::string question = ">" + std::string(2000, 'q');
  const std::string bytes = std::string("ok\r\nbad\x81\xff\x80x\r\nnul") + '\0' + "nul\r\n" + longLine + "\n" +
                            question + "\r\n// end\r\n";
  s.p.files.Put(kScriptPath, bytes);
  const Lines values = s.RunFile();
  ASSERT_EQ(values.size(), 5u);
  EXPECT_EQ(values[0], "ok");
  EXPECT_TRUE(StartsWith(values[1], "bad") && values[1].find('?') != std::string::npos);
  EXPECT_EQ(values[2], std::string("nul") + '\0' + "nul");
  EXPECT_EQ(values[3], longLine);  // a literal line is taken whole
  ASSERT_EQ(s.p.dialogs.shown.size(), 1u);
  EXPECT_EQ(s.p.dialogs.shown[0].text, std::string(512, 'q'));  // a part of a line is cut at 512
}

// ---- the script editor ----

TEST(ScriptEditor, ReadShowsTheScriptForEditing) {
  FakePlatform p;
  p.files.Put(kScriptPath, "\x83\x65\x83\x58\x83\x67\r\n\\Software\\X\r\n");  // "テスト" in CP932
  TForm1 f(p.platform, {"/a"});
  f.OnMenu(MenuId::ReadSetting1);
  EXPECT_EQ(f.Memo1.lines, (Lines{"テスト", "\\Software\\X"}));
  EXPECT_FALSE(f.Memo1.readOnly);
  EXPECT_TRUE(f.Item(MenuId::SaveSetting1).enabled);

  f.Memo1.lines = {"テスト", "new line"};
  f.Memo1.modified = true;
  f.OnMenu(MenuId::SaveSetting1);
  EXPECT_EQ(p.files.Get(kScriptPath), "\x83\x65\x83\x58\x83\x67\r\nnew line\r\n");
  EXPECT_FALSE(f.Memo1.modified);

  // Any screen reset ends the editing mode.
  f.ResetScreen();
  EXPECT_FALSE(f.Item(MenuId::SaveSetting1).enabled);
  // A missing script is reported and the screen stays editable.
  p.files.RemoveFile(kScriptPath);
  f.OnMenu(MenuId::ReadSetting1);
  ASSERT_EQ(p.dialogs.shown.size(), 1u);
  EXPECT_TRUE(f.Memo1.lines.empty());
  EXPECT_TRUE(f.Item(MenuId::SaveSetting1).enabled);
}

TEST(ScriptEditor, ChangesAreNotDiscardedWithoutAQuestion) {
  FakePlatform p;
  p.files.Put(kScriptPath, "a\r\n");
  TForm1 f(p.platform, {"/a"});
  f.OnMenu(MenuId::ReadSetting1);
  f.Memo1.lines = {"edited"};
  f.Memo1.modified = true;
  p.dialogs.answers = {MsgResult::Cancel};
  f.OnMenu(MenuId::ReadSetting1);
  EXPECT_EQ(f.Memo1.lines, Lines{"edited"});
  // A failed save keeps the edits marked as changed.
  p.files.failWrites.insert("c:\\tools\\inv\\regitems.txt");
  f.OnMenu(MenuId::SaveSetting1);
  EXPECT_TRUE(f.Memo1.modified);
  EXPECT_EQ(p.files.Get(kScriptPath), "a\r\n");
}

}  // namespace
}  // namespace orv
