#pragma once
// The registry search of the search menu: looks for a text in the data of every string and
// integer value of a branch and lists each key that holds it with all its values.

#include <functional>
#include <string>
#include <string_view>

#include "util/record_sink.h"

namespace orv {

class TRegistryEx;

// What the user typed, with its option prefixes read:
//   "&" first: ignore case ("&abc" finds "xABCy");
//   then "-": match only at the start of a value ("-abc" finds "abcdef", not "xabc").
// So "&-abc" ignores case and matches at the start, while "-&abc" looks case-sensitively for
// values that begin with "&abc".
struct SearchText {
  std::string text;  // lower-cased when the search ignores case
  bool caseSensitive = true;
  bool prefixMatch = false;
};
SearchText ParseSearchText(std::string_view typed);

// Texts shorter than this (after the prefixes) are not searched.
inline constexpr size_t kMinimumSearchLength = 3;

// True when a value's text (as stored) matches.
bool SearchMatches(const SearchText& search, std::string_view value);

// The order in which the search lists value and subkey names: ASCII letters compared without
// regard to case, every other character by its code (UTF-8 byte order is code point order);
// names that differ only in case fall back to plain byte order so the order is total. This
// stands in for the locale's collation, which the portable core does not have; for the ASCII
// names of nearly every registry key the two agree.
bool NameLessIgnoringCase(std::string_view a, std::string_view b);

// The controls the search writes into while it runs.
struct SearchScreen {
  ITextSink& memo;          // result lines are added
  std::string& statusText;  // the key being searched
  int& progressMax;         // the start key's number of subkeys
  int& progressPosition;    // those of them done
  // Lets the window repaint now and then during a long search; may be empty.
  std::function<void()> processMessages;
};

// Walks `startKey` ("\Software") of the registry object's current root depth first. For every key
// with a matching value: a line with the key path, then one line per string or integer value in
// name order, "  " name "  ----  " value (integers in signed decimal). At "\Software" the
// "Classes" subkey is passed over (it has its own command). Keys that cannot be opened are passed
// over. Each value is read once.
void SearchRegistry(TRegistryEx& registry, const SearchText& search, const std::string& startKey,
                    SearchScreen& screen);

}  // namespace orv
