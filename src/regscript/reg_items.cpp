// The evaluator of "regitems.txt". Each line is matched on its first characters, in this order:
// "HKEY_" root, "#" count line, "&" installed program, "$" environment, "?" section, ">" question,
// "<" prompt, "." file type version, "\" key block, "//" comment, anything else a literal value.
// The item catalogue names the same lines (ScriptItemNames); the count of a "#" line comes from the
// catalogue's CountLineCount so that names and values stay row for row. The words that ask Windows
// itself ("#antivirus", "#updates", "#wmi:") live in src/probes, one file each; this file only
// dispatches to them.
#include "regscript/reg_items.h"

#include <string_view>
#include <vector>

#include "diskhealth/disks_word.h"
#include "inventory/catalogue.h"
#include "platform/dialogs.h"
#include "platform/files.h"
#include "platform/platform.h"
#include "platform/system.h"
#include "probes/antivirus_products.h"
#include "probes/installed_updates.h"
#include "probes/wmi_word.h"
#include "regscript/lookups.h"
#include "regscript/printer_details.h"
#include "regscript/value_readers.h"
#include "util/text.h"
#include "util/text_file.h"

namespace orv {

namespace {

// A part cut out of a line (the text after a marker, an argument) keeps at most this many
// characters; the line itself is always read whole.
constexpr size_t kPartLimit = 512;

constexpr const char* kQuestionCaption = "Orvanta：問い合わせ";
constexpr const char* kLicenceCaption = "ソフトウェアのライセンス";
constexpr const char* kLicenceQuestion = " の正規ライセンスを持っていますか(わからなければキャンセル)";

std::string Part(std::string_view text) { return LeftChars(text, kPartLimit); }

// The text after the first `skip` bytes of `line` (a one-byte marker), cut to the part limit.
std::string After(std::string_view line, size_t skip) {
  return line.size() > skip ? Part(line.substr(skip)) : std::string();
}

bool StartsWithAny(std::string_view line, std::string_view firstChars) {
  return !line.empty() && firstChars.find(line.front()) != std::string_view::npos;
}

// The script's lines read one after the other. Reading past the end gives an empty line, and the
// end is reached as soon as the last line has been read.
class LineReader {
 public:
  explicit LineReader(std::vector<std::string> lines) : lines_(std::move(lines)) {}
  bool Eof() const { return next_ >= lines_.size(); }
  std::string Next() { return Eof() ? std::string() : lines_[next_++]; }

 private:
  std::vector<std::string> lines_;
  size_t next_ = 0;
};

class Evaluator {
 public:
  Evaluator(RegItemsContext& context, const std::string& osKind, std::vector<std::string> lines)
      : c_(context), readers_(context.readers), osKind_(osKind), reader_(std::move(lines)) {}

  void Run() {
    line_ = reader_.Next();
    // The end test comes before the handling: the file's last line is read but not handled here.
    while (!reader_.Eof()) {
      const Next next = Handle();
      if (next == Next::Stop) return;
      if (next == Next::ReadLine) line_ = reader_.Next();
    }
  }

 private:
  // What the main loop does after a handler: read the next line, handle the line in hand (a
  // handler that read ahead left it in line_), or stop the evaluation.
  enum class Next { ReadLine, HandleInHand, Stop };

  Next Handle() {
    const std::string& line = line_;
    if (StartsWith(line, "HKEY_")) return RootLine(line);
    if (StartsWith(line, "#")) return CountLine(line);
    if (StartsWith(line, "&")) return ProgramLine(line);
    if (StartsWith(line, "$")) return EnvironmentLine(line);
    if (StartsWith(line, "?")) return ConditionLine(line);
    if (StartsWith(line, ">")) return QuestionLine(line);
    if (StartsWith(line, "<")) return PromptLine(line);
    if (StartsWith(line, ".")) return FileTypeLine();
    if (StartsWith(line, "\\")) return KeyLine();
    if (StartsWith(line, "//")) return Next::ReadLine;
    Add(line);
    return Next::ReadLine;
  }

  void Add(const std::string& value) { c_.addValue(value); }

  // ---- root, "&", "$", "?", ">", "<" ----

  Next RootLine(const std::string& line) {
    static const std::pair<const char*, RegRoot> roots[] = {{"HKEY_LOCAL_MACHINE", RegRoot::LocalMachine},
                                                            {"HKEY_CLASSES_ROOT", RegRoot::ClassesRoot},
                                                            {"HKEY_CURRENT_USER", RegRoot::CurrentUser},
                                                            {"HKEY_CURRENT_CONFIG", RegRoot::CurrentConfig},
                                                            {"HKEY_USERS", RegRoot::Users}};
    for (const auto& [name, root] : roots)
      if (line == name) readers_.registry.SetRootKey(root);
    return Next::ReadLine;
  }

  // The first installed program that contains the text; it leaves the list (so that the program
  // rows after the script no longer hold it) unless it is part of Windows.
  Next ProgramLine(const std::string& line) {
    const std::string search = After(line, 1);
    std::string value;
    if (!search.empty()) {
      for (auto it = c_.programs.begin(); it != c_.programs.end(); ++it) {
        if (!Contains(*it, search)) continue;
        value = *it;
        if (!Contains(value, "Windows")) c_.programs.erase(it);
        break;
      }
    }
    Add(value);
    return Next::ReadLine;
  }

  Next EnvironmentLine(const std::string& line) {
    const std::string name = After(line, 1);
    Add(name.empty() ? std::string() : c_.platform.system.Environment(name).value_or(""));
    return Next::ReadLine;
  }

  // Sections: "?end" stops; a "?" line that holds the OS kind lets its lines through; any other
  // skips to the next "?" line, which is then handled in turn (sections do not nest).
  Next ConditionLine(const std::string& line) {
    if (LowerCase(line) == "?end") return Next::Stop;
    if (Contains(line, osKind_)) return Next::ReadLine;
    do {
      line_ = reader_.Next();
    } while (!StartsWith(line_, "?") && !reader_.Eof());
    return Next::HandleInHand;
  }

  Next QuestionLine(const std::string& line) {
    const std::string text = After(line, 1);
    IDialogs& dialogs = c_.platform.dialogs;
    if (text == "WinVersion") {
      dialogs.ShowBox("このウィンドウズのバージョンは " + c_.windowsProductName + " です", "Orvanta", MsgButtons::Ok,
                      MsgIcon::Information);
      return Next::ReadLine;
    }
    const MsgResult answer = dialogs.ShowBox(text, kQuestionCaption, MsgButtons::YesNo, MsgIcon::Confirmation);
    Add(answer == MsgResult::Yes ? "Yes" : "No");
    return Next::ReadLine;
  }

  // The answer goes into the record text only: commas become blanks (so the line needs no
  // quoting) and no grid row is filled.
  Next PromptLine(const std::string& line) {
    const std::string answer = c_.platform.dialogs.PromptInput(After(line, 1));
    c_.memo.Add(ReplaceAll(answer, ",", " "));
    return Next::ReadLine;
  }

  // ---- "#" count lines ----

  Next CountLine(const std::string& line) {
    const size_t blank = line.find(' ');
    const std::string word =
        LowerCase(blank == std::string::npos ? After(line, 1) : Part(std::string_view(line).substr(1, blank - 1)));
    const std::string argument = blank == std::string::npos ? std::string() : After(line, blank + 1);
    // The catalogue's count, so that a "#" line has as many names as values.
    const int count = CountLineCount(line);

    if (word == "printers") {
      Printers(count);
    } else if (word == "shareddir") {
      SharedFolders(count);
    } else if (word == "running") {
      RunningPrograms(argument);
    } else if (word == "disks") {
      AddAll(DisksWordValues(c_.platform, WordCount(count)));
    } else if (StartsWith(word, "wmi:")) {
      // The class and property names as written: WMI gives the properties back under them.
      AddAll(WmiWordValues(c_.platform.wmi, ParseWmiWord(LineWord(line).substr(4)), WordCount(count)));
    } else if (word == "antivirus") {
      AddAll(AntivirusWordValues(c_.platform.wmi, WordCount(count)));
    } else if (word == "updates") {
      AddAll(UpdatesWordValues(c_.platform.wmi, c_.platform.updateHistory, WordCount(count)));
    } else if (EndsWith(word, ".dll") || EndsWith(word, ".exe") || EndsWith(word, ".ocx")) {
      Add(FileVersionText(readers_, word, "ProductVersion"));
    }
    return Next::ReadLine;
  }

  // The words that report facts of Windows always give as many values as the catalogue names:
  // n, and one for a count below 1.
  static int WordCount(int count) { return count < 1 ? 1 : count; }

  // The text between "#" and the first blank, as written.
  static std::string LineWord(const std::string& line) {
    const size_t blank = line.find(' ');
    return Part(std::string_view(line).substr(1, blank == std::string::npos ? std::string::npos : blank - 1));
  }

  void AddAll(const std::vector<std::string>& values) {
    for (const std::string& value : values) Add(value);
  }

  // Appends empty values until `count` values have been appended. The count is whatever the line
  // says, so the values are appended one by one rather than reserved.
  void PadTo(int appended, int count) {
    for (; appended < count; ++appended) Add("");
  }

  void Printers(int count) {
    const std::vector<std::string> printers = c_.platform.system.Printers();
    const bool is9x = osKind_ == kOsKind9x;
    int appended = 0;
    for (size_t i = 0; appended < count && i < printers.size(); ++i, ++appended) {
      const std::string& name = printers[i];
      auto [driver, port] = PrinterDetails(readers_.registry, readers_.keyOpen, PrinterSearchName(name, is9x));
      // On 9x the platform already lists "name on port".
      Add(name + (Contains(name, " on ") ? std::string() : " on " + port) + " " + driver);
    }
    PadTo(appended, count);
  }

  void SharedFolders(int count) {
    std::vector<std::string> shares;
    ListSharedFolders(readers_, shares);
    TRegistryEx& reg = readers_.registry;
    int appended = 0;
    // A message instead of shares goes through the same steps: it names no share, so it yields
    // itself and a blank.
    for (size_t i = 0; appended < count && i < shares.size(); ++i, ++appended) {
      const std::string& remote = shares[i];
      const size_t slash = remote.rfind('\\');
      const std::string share = slash == std::string::npos ? remote : remote.substr(slash + 1);
      std::string folder;
      reg.SetRootKey(RegRoot::LocalMachine);
      if (osKind_ == kOsKind9x) {
        readers_.keyOpen = reg.OpenKeyReadOnly("\\Software\\Microsoft\\Windows\\CurrentVersion\\Network\\LanMan\\" + share);
        folder = ReadItemValue(readers_, "Path");
      } else {
        readers_.keyOpen = reg.OpenKeyReadOnly("\\SYSTEM\\CurrentControlSet\\Services\\lanmanserver\\Shares");
        std::vector<std::string> entries;
        reg.ReadMultiString(share, entries);
        for (const std::string& entry : entries)
          if (StartsWith(entry, "Path=")) {
            folder = entry.substr(5);
            break;
          }
      }
      Add(share + " " + folder);
    }
    PadTo(appended, count);
  }

  void RunningPrograms(const std::string& argument) {
    std::vector<std::string> processes;
    ListRunningPrograms(readers_, processes);
    for (std::string& process : processes) process = LowerCase(ExtractFileName(process));
    if (argument.empty()) {
      for (const std::string& process : processes) Add(process);
      return;
    }
    // One value: every listed name that runs, once per running instance, each with a blank.
    const std::string wanted = " " + LowerCase(argument) + " ";
    std::string value;
    for (const std::string& process : processes)
      if (Contains(wanted, " " + process + " ")) value += process + " ";
    Add(value);
  }

  // ---- "." file type version, with an optional licence question on the next line ----

  Next FileTypeLine() {
    const size_t blank = line_.find(' ');
    const std::string extension = blank == std::string::npos ? line_ : line_.substr(0, blank);
    const std::string fields = blank == std::string::npos ? std::string() : After(line_, blank + 1);
    // ExeForExtension leaves the root at HKEY_CLASSES_ROOT for the rest of the script.
    const std::string value = FileVersionText(readers_, ExeForExtension(readers_, extension), fields);
    Add(value);

    line_ = reader_.Next();
    if (!StartsWith(line_, ">")) return Next::HandleInHand;
    // ">match/product": asked only when the match text occurs in the version text.
    const std::string text = line_.substr(1);
    const size_t slash = text.find('/');
    const std::string match = slash == std::string::npos ? std::string() : text.substr(0, slash);
    if (match.empty() || !Contains(LowerCase(value), LowerCase(match))) {
      Add("");
      return Next::ReadLine;
    }
    const std::string product = Part(std::string_view(text).substr(slash + 1));
    const MsgResult answer = c_.platform.dialogs.ShowBox(product + kLicenceQuestion, kLicenceCaption,
                                                         MsgButtons::YesNoCancel, MsgIcon::Confirmation);
    Add(answer == MsgResult::Yes ? "Yes" : answer == MsgResult::No ? "No" : "??");
    return Next::ReadLine;
  }

  // ---- "\" key blocks ----

  Next KeyLine() {
    if (Contains(line_, "\\*")) return SubkeySearchBlock();
    if (Contains(line_, "*")) return AllOrNothingBlock();
    return PlainBlock();
  }

  bool OpenKey(const std::string& path) {
    readers_.registry.CloseKey();
    readers_.keyOpen = readers_.registry.OpenKeyReadOnly(path);
    return readers_.keyOpen;
  }

  // Every value line is read from the key as it comes; "#", "$" and "&" lines are value names here.
  Next PlainBlock() {
    OpenKey(line_);
    for (;;) {
      if (reader_.Eof()) return Next::HandleInHand;
      line_ = reader_.Next();
      if (StartsWith(line_, "HKEY_") || StartsWithAny(line_, "\\?.><") || line_.empty()) return Next::HandleInHand;
      if (StartsWith(line_, "//")) continue;
      if (StartsWith(line_, "/")) {
        Add(line_);
      } else {
        Add(readers_.keyOpen ? ReadItemValue(readers_, line_) : std::string());
      }
    }
  }

  // The value lines of a subkey-search or all-or-nothing block. The line that ends the list is
  // left in line_ for the main loop.
  std::vector<std::string> CollectBlockLines() {
    std::vector<std::string> list;
    while (!reader_.Eof()) {
      line_ = reader_.Next();
      if (StartsWith(line_, "HKEY_") || StartsWithAny(line_, "\\?.><$#") || line_.empty()) break;
      list.push_back(line_);
    }
    return list;
  }

  static bool IsLiteral(const std::string& line) { return StartsWith(line, "/"); }

  // True when every value line of the list (the "/" lines aside) reads a value from the open key.
  bool AllValuesPresent(const std::vector<std::string>& list) {
    for (const std::string& line : list)
      if (!IsLiteral(line) && ReadItemValue(readers_, line).empty()) return false;
    return true;
  }

  // The block's values: "/" lines as themselves ("//" lines give nothing), every other line read
  // from the open key when the block qualified, else empty.
  void AddBlockValues(const std::vector<std::string>& list, bool qualified) {
    for (const std::string& line : list) {
      if (StartsWith(line, "//")) continue;
      if (IsLiteral(line))
        Add(line);
      else
        Add(qualified ? ReadItemValue(readers_, line) : std::string());
    }
  }

  // "\parent\*\suffix": the first subkey of the parent for which every value line has a value;
  // a parent without subkeys is read itself.
  Next SubkeySearchBlock() {
    const std::string line = line_;
    const std::string parent = line.substr(0, line.find("\\*"));
    const size_t star = line.find('*');
    const std::string prefix = line.substr(0, star);
    const std::string suffix = After(line, star + 1);
    OpenKey(parent);
    std::vector<std::string> subkeys;
    readers_.registry.GetKeyNames(subkeys);
    const std::vector<std::string> list = CollectBlockLines();

    bool qualified = subkeys.empty();
    for (const std::string& name : subkeys) {
      OpenKey(prefix + name + suffix);
      if (AllValuesPresent(list)) {
        qualified = true;
        break;
      }
    }
    AddBlockValues(list, qualified);
    return Next::HandleInHand;
  }

  // "\key*": all values of the block, or none of them.
  Next AllOrNothingBlock() {
    OpenKey(line_.substr(0, line_.find('*')));
    const std::vector<std::string> list = CollectBlockLines();
    AddBlockValues(list, AllValuesPresent(list));
    return Next::HandleInHand;
  }

  RegItemsContext& c_;
  ReaderContext& readers_;
  const std::string osKind_;
  LineReader reader_;
  std::string line_;  // the line in hand
};

}  // namespace

bool EvaluateRegItems(RegItemsContext& context, const std::string& osKind) {
  const std::string path = context.programFolder + kScriptFileName;
  IFiles& files = context.platform.files;
  // The script usually lies on a share beside the program. Without its rows every later row of
  // the record would move up, so a read that fails although the file is there is made once more;
  // only a script that is really missing adds nothing.
  auto lines = ReadTextLines(files, context.platform.codec, path);
  if (!lines) {
    if (!files.FileExists(path)) return true;
    lines = ReadTextLines(files, context.platform.codec, path);
    if (!lines) return false;
  }
  Evaluator(context, osKind, std::move(*lines)).Run();
  return true;
}

}  // namespace orv
