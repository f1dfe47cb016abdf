// The search menu: the registry search and the lookup tools.
#include <string>

#include "app/form1.h"
#include "regscript/lookup_tools.h"
#include "regscript/lookups.h"
#include "regscript/registry_search.h"
#include "regscript/value_readers.h"
#include "util/text.h"

namespace orv {

namespace {

struct SearchCommand {
  MenuId id;
  const char* rootName;
  const char* startKey;
};

constexpr SearchCommand kSearchCommands[] = {
    {MenuId::LOCALMACHINE1, "HKEY_LOCAL_MACHINE", "\\Software"},
    {MenuId::HKEYLOCALMACHINESystem21, "HKEY_LOCAL_MACHINE", "\\System"},
    {MenuId::HKEYCURRENTUSERSoftware31, "HKEY_CURRENT_USER", "\\Software"},
    {MenuId::HKEYCURRENTUSERSystem41, "HKEY_CURRENT_USER", "\\System"},
    {MenuId::HKEYLOCALMACHINESoftwareClasses11, "HKEY_LOCAL_MACHINE", "\\Software\\Classes"},
};

}  // namespace

void TForm1::SearchStr1Click() {
  caption = "Orvanta 検索";
  if (ConfirmDiscard()) return;
  ResetScreen();
  StatusBar1Text = "検索文字を１行目に書いてください";
  Memo1.readOnly = false;
  Panel1Visible = false;
}

void TForm1::RegistrySearchClick(MenuId which) {
  const SearchCommand* command = nullptr;
  for (const SearchCommand& c : kSearchCommands)
    if (c.id == which) command = &c;
  if (!command) return;

  if (ConfirmDiscard()) return;
  // A selection (also in the read-only results) is the search text, else the first line.
  const std::string typed =
      !Memo1.selectedText.empty() ? Memo1.selectedText : (Memo1.lines.empty() ? std::string() : Memo1.lines.front());
  ResetScreen();
  Memo1.selectedText.clear();
  Memo1.Add(typed);

  const SearchText search = ParseSearchText(typed);
  if (CharCount(search.text) < kMinimumSearchLength) return;

  Memo1.readOnly = true;
  const std::string rootName = command->rootName;
  Memo1.Add(rootName);
  TRegistryEx registry(platform_.registry);
  registry.SetRootKey(rootName == "HKEY_LOCAL_MACHINE" ? RegRoot::LocalMachine : RegRoot::CurrentUser);
  ProgressBar1.visible = true;
  ProgressBar1.min = 0;
  ProgressBar1.max = 9999;
  ProgressBar1.position = 0;
  if (ProcessMessages) ProcessMessages();
  SearchScreen screen{Memo1, StatusBar1Text, ProgressBar1.max, ProgressBar1.position, ProcessMessages};
  SearchRegistry(registry, search, command->startKey, screen);
  Memo1.modified = false;
}

void TForm1::RunningProg1Click() {
  caption = "Orvanta 実行中プログラム";
  if (ConfirmDiscard()) return;
  ResetScreen();
  Memo1.selectedText.clear();
  std::vector<std::string> programs;
  ListRunningPrograms(platform_.system, programs);
  for (const std::string& program : programs) Memo1.Add(program);
  Memo1.readOnly = false;
  Panel1Visible = false;
}

void TForm1::FileVersion1Click() {
  caption = "Orvanta ファイルバージョン";
  if (ConfirmDiscard()) return;
  const std::string extension = Memo1.lines.empty() ? std::string() : Memo1.lines.front();
  ResetScreen();
  Memo1.selectedText.clear();
  TRegistryEx registry(platform_.registry);
  ReaderContext readers = ReaderContext::From(registry, state.keyOpen, state.programFilesFolder, platform_);
  for (const std::string& line : FileVersionLines(readers, extension)) Memo1.Add(line);
}

}  // namespace orv
