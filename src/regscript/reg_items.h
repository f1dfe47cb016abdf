#pragma once
// The registry item script "regitems.txt": each collection run evaluates it after the fixed rows.

#include <functional>
#include <string>
#include <vector>

namespace orv {

struct MemoModel;
struct Platform;
struct ReaderContext;

struct RegItemsContext {
  ReaderContext& readers;
  Platform& platform;
  std::vector<std::string>& programs;      // installed programs; "&" lines take entries out
  std::string windowsProductName;          // for ">WinVersion"
  std::string programFolder;               // where regitems.txt lives, with a trailing backslash
  std::function<void(const std::string&)> addValue;
  MemoModel& memo;                         // prompt answers go straight into the record text
};

// Appends the script's values for this OS kind ("NT" or "9x").
void EvaluateRegItems(RegItemsContext& context, const std::string& osKind);

}  // namespace orv
