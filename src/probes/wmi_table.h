#pragma once
// WMI answers as text: the rendering rule for one property value, the table query (every instance
// as a row of texts under a header row) and the single-value query. All of them work in
// "root\CIMV2", the only namespace this program asks, so the namespace is not a parameter.

#include <string>
#include <vector>

#include "platform/wmi.h"

namespace orv {

// Row 0 is the header: [0][0] = "Instance", [0][1..P] the property names. Rows 1..N are the
// instances in enumeration order: [k][0] = k in decimal, [k][1..P] the rendered values. P is the
// property count of the first instance; every row has P + 1 cells.
using T2DimStrArray = std::vector<std::vector<std::string>>;

// One property value as text: "NULL" for a null value; integers in decimal (as a 32-bit integer),
// reals in general form, strings, unsigned 64-bit values, dates and references as they are,
// arrays joined with "|", booleans "True"/"False", "<CIM Object>", "<16-bit character>"; the empty
// text for any other CIM type.
std::string RenderWmiValue(const WmiProperty& property);

// Runs a query (text starting with "SELECT") or lists a class (any other text). `count` is the
// number of instances; with none, or when the query fails (count 0), the table is empty. False
// when the query fails.
bool RunWmiTable(IWmi& wmi, const std::string& queryOrClass, int& count, T2DimStrArray& table);

// The first header column (from 1 on) named exactly `name`; 0 when there is none.
int FindWmiColumn(const T2DimStrArray& table, const std::string& name);
// The first instance's value of column `name`; empty when the column or the instance is missing.
std::string GetWmiCell(const T2DimStrArray& table, const std::string& name);

// `property` of the only instance the query answers, rendered; empty unless there is exactly one
// instance that has that property.
std::string GetWmiValue(IWmi& wmi, const std::string& query, const std::string& property);

}  // namespace orv
