#pragma once
// The one field-escaping rule of the program, used for every record line and for the item-list
// export, so that every file the program writes splits into the same fields.

#include <string>
#include <string_view>

namespace orv {

// One value as a CSV field:
//  - each CR and each LF becomes a blank first, so a value never splits its row into lines;
//  - a first character "+", "-", "=" or "@" gets a "'" in front, so a spreadsheet never takes
//    the value for a formula;
//  - a value with a comma is enclosed in double quotes, or, when it also holds a double quote,
//    keeps every character but has each comma replaced by a blank (and stays unquoted);
//  - embedded double quotes are never doubled; a value without a comma is never quoted;
//  - except a value that begins with a double quote: it is enclosed in double quotes with each of
//    its double quotes doubled (commas kept), since every reader takes that first quote for the
//    start of a quoted field. Registry values do so all the time ("C:\Program Files\..." /S).
std::string CsvField(std::string_view text);

// `text` enclosed in double quotes, each of its double quotes doubled.
std::string QuotedCsvField(std::string_view text);

}  // namespace orv
