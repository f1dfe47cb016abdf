// regitems.txt: the evaluator (EvaluateRegItems) over a fake computer, and the item catalogue's
// names of the same file (ScriptItemNames).
//
// Input parts: [0] the script's bytes (CP932); [1] setting bytes: [0] bit 0 OS kind 9x (else NT),
// bit 1 leave the file's last line as it is (else a closing "//" line is added, so that every
// line of the input is handled); [1] printers (0..3); [2] running processes (0..3); [3] share
// listing status (0..4).
//
// Property: names and values stay row for row. The catalogue and the evaluator read the same
// lines, so a script yields as many names as values, except for the lines whose counts differ
// by design: questions (">") and prompts ("<"), "?end" (the evaluator stops, the catalogue reads
// on), and "#" lines that do not yield exactly one value, such as "#notes.txt", "#running" with
// more or fewer than one process, or a count of 2 or more (a plain key block reads a "#" line as
// one value name while the catalogue still gives it count names). A script whose last line is
// not a comment may end inside a key block, whose last value line the evaluator reads and the
// catalogue does not name, so the check needs a closing comment line.

#include "app/screen_model.h"
#include "fakes/fake_platform.h"
#include "fuzz_support.h"
#include "inventory/catalogue.h"
#include "regscript/reg_items.h"
#include "regscript/value_readers.h"
#include "util/text_file.h"

namespace orv {
namespace {

// The registry of tests/data/registry/fuzz_regitems.reg with the first `printers` of its three
// printers installed, `processes` of three programs running, and version resources for the
// registered programs.
void FillMachine(test::FakePlatform& p, unsigned printers, unsigned processes) {
  static const test::FakeRegistry registry = [] {  // read once, not for every input
    test::FakeRegistry loaded;
    loaded.Load("fuzz_regitems.reg");
    return loaded;
  }();
  p.registry = registry;
  const std::vector<std::string> names = {"Laser1", "Ink Jet on LPT2:", "Fax"};
  p.system.printers.assign(names.begin(), names.begin() + printers);
  const std::vector<std::string> running = {"C:\\Windows\\explorer.exe", "C:\\Office\\WINWORD.EXE",
                                            "c:\\x\\excel.exe"};
  p.system.processes = std::vector<std::string>(running.begin(), running.begin() + processes);
  p.system.environment = {{"USERNAME", "sato"}, {"LONG", std::string(3000, 'x')}};
  const std::string block = "\\StringFileInfo\\041104B0\\";
  const test::FakeVersionInfo::Resource notepad{{"041104B0"},
                                                {{block + "OriginalFilename", "NOTEPAD.EXE"},
                                                 {block + "ProductVersion", "10.0.19041.1"},
                                                 {block + "FileVersion", "10.0"}}};
  p.versions.files = {{"c:\\windows\\notepad.exe", notepad},
                      {"c:\\program files\\app\\app.exe", notepad},
                      {"c:\\office\\winword.exe", {}}};
}

bool IsCountLineOfOneValue(const std::string& line, size_t processes) {
  if (CountLineCount(line) != 1) return false;
  const size_t blank = line.find(' ');
  const std::string word =
      LowerCase(line.substr(1, blank == std::string::npos ? std::string::npos : blank - 1));
  if (word.size() > 512) return false;  // the evaluator cuts a long word
  if (word == "printers" || word == "shareddir") return true;
  if (word == "running") return (blank != std::string::npos && blank + 1 != line.size()) || processes == 1;
  return EndsWith(word, ".dll") || EndsWith(word, ".exe") || EndsWith(word, ".ocx");
}

// True when every line of the script yields as many names as values in every place it can stand.
bool NamesMatchValuesByDesign(const std::vector<std::string>& lines, size_t processes) {
  if (lines.empty() || !StartsWith(lines.back(), "//")) return false;
  return std::none_of(lines.begin(), lines.end(), [&](const std::string& line) {
    return StartsWith(line, ">") || StartsWith(line, "<") || LowerCase(line) == "?end" ||
           (StartsWith(line, "#") && !IsCountLineOfOneValue(line, processes));
  });
}

}  // namespace
}  // namespace orv

ORV_FUZZ_TARGET(input) {
  const Parts parts(input);
  ByteReader settings(parts[1]);
  const uint8_t flags = settings.Byte();
  const std::string osKind = (flags & 1) ? kOsKind9x : kOsKindNT;
  test::FakePlatform p;
  const unsigned printers = settings.Below(4, 1), processes = settings.Below(4, 1);
  FillMachine(p, printers, processes);
  if (osKind == kOsKind9x) p.system.os.platformId = 1;
  const auto shareStatus = static_cast<ShareEnumResult::Status>(settings.Below(5));
  p.network.shares = {shareStatus, 5, {"\\\\PC01\\data", "\\\\PC01\\none"}};

  const std::string programFolder = "C:\\tools\\inv\\";
  const std::string script = parts.Text(0) + ((flags & 2) ? "" : "\r\n// end");
  p.files.Put(programFolder + kScriptFileName, script);

  std::vector<std::string> programs = {"Orvanta Office A", "Orvanta Office B", "Windows Media Player 12",
                                       "Tool 3.0"};
  std::vector<std::string> values;
  MemoModel memo;
  bool keyOpen = false;
  std::string programFiles = "C:\\Program Files";
  TRegistryEx reg(p.registry);
  reg.SetRootKey(RegRoot::LocalMachine);
  ReaderContext readers = ReaderContext::From(reg, keyOpen, programFiles, p.platform);
  auto addValue = [&values](const std::string& v) { values.push_back(v); };
  RegItemsContext context{readers, p.platform, programs, "Windows 10 Pro", programFolder, addValue, memo};
  EvaluateRegItems(context, osKind);

  const std::vector<std::string> names = ReadScriptItemNames(p.files, p.codec, programFolder, osKind);
  if (NamesMatchValuesByDesign(SplitLines(p.codec.FromCp932(script)), processes))
    ORV_FUZZ_CHECK(names.size() == values.size(), "names [", Join(names, "] ["), "]\nvalues [",
                   Join(values, "] ["), "]");
}
