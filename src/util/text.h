#pragma once
// Text helpers shared by the whole core. Texts are UTF-8; "characters" are code points, so a
// limit of 512 characters keeps 512 Japanese characters too. Letter case is ASCII-only, as the
// program's switches, file names and registry words are ASCII.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace orv {

std::string LowerCase(std::string_view s);
std::string UpperCase(std::string_view s);
bool StartsWith(std::string_view s, std::string_view prefix);
bool EndsWith(std::string_view s, std::string_view suffix);
bool Contains(std::string_view s, std::string_view part);
bool SameTextIgnoringCase(std::string_view a, std::string_view b);

// Every occurrence of `from` replaced by `to`.
std::string ReplaceAll(std::string_view s, std::string_view from, std::string_view to);
// Removes leading and trailing characters with a code of 32 or below.
std::string Trim(std::string_view s);
// Removes trailing blanks (character 32 only).
std::string TrimTrailingBlanks(std::string_view s);

// Number of code points.
size_t CharCount(std::string_view s);
// At most `count` code points from code point `start` (0-based).
std::string CharSubstr(std::string_view s, size_t start, size_t count = std::string::npos);
// The first `count` code points.
std::string LeftChars(std::string_view s, size_t count);
// Byte offset of code point `index`, or s.size() when the text is shorter.
size_t CharOffset(std::string_view s, size_t index);

// Splits at every occurrence of `sep` (keeps empty parts).
std::vector<std::string> Split(std::string_view s, char sep);
// Splits a text into lines at CR LF, LF or a lone CR. A final line end does not start another line.
std::vector<std::string> SplitLines(std::string_view s);
// Joins with `sep`.
std::string Join(const std::vector<std::string>& parts, std::string_view sep);

// A whole number as the program's number conversions read it: optional blanks around, optional sign, decimal
// digits or "$" hex; nullopt when it is not one or does not fit 32 bits.
std::optional<int32_t> ParseInt32(std::string_view s);
std::optional<int64_t> ParseInt64(std::string_view s);

// Formats with thousands separators ("1,234,567").
std::string FormatThousands(int64_t value);

}  // namespace orv
