#pragma once
// The registry item script "regitems.txt": each collection run evaluates it after the fixed rows.

#include <functional>
#include <string>
#include <vector>

#include "util/record_sink.h"

namespace orv {

struct Platform;
struct ReaderContext;

struct RegItemsContext {
  ReaderContext& readers;
  Platform& platform;
  std::vector<std::string>& programs;      // installed programs; "&" lines take entries out
  std::string windowsProductName;          // for ">WinVersion"
  std::string programFolder;               // where regitems.txt lives, with a trailing backslash
  std::function<void(const std::string&)> addValue;
  ITextSink& memo;                         // prompt answers go straight into the record text
};

// Appends the script's values for this OS kind ("NT" or "9x"). False when the script is there but
// could not be read even on a second try, so that its rows are missing from the record; true
// otherwise (also when there is no script).
bool EvaluateRegItems(RegItemsContext& context, const std::string& osKind);

}  // namespace orv
