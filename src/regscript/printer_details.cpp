#include "regscript/printer_details.h"

#include <vector>

#include "regscript/value_readers.h"
#include "util/text.h"

namespace orv {

namespace {
const char* const kPrintersKey = "\\System\\CurrentControlSet\\Control\\Print\\Printers";
}  // namespace

std::pair<std::string, std::string> PrinterDetails(TRegistryEx& reg, bool& keyOpen, const std::string& searchName) {
  reg.SetRootKey(RegRoot::LocalMachine);
  if (!reg.OpenKeyReadOnly(kPrintersKey)) {
    keyOpen = false;
    return {};
  }
  std::vector<std::string> names;
  reg.GetKeyNames(names);
  for (const auto& name : names) {
    keyOpen = reg.OpenKeyReadOnly(std::string(kPrintersKey) + "\\" + name);
    if (ReadItemValue(reg, keyOpen, "Name") == searchName)
      return {ReadItemValue(reg, keyOpen, "Printer Driver"), ReadItemValue(reg, keyOpen, "Port")};
  }
  return {};
}

std::string PrinterSearchName(const std::string& printer, bool is9x) {
  if (!is9x) return printer;
  size_t on = LowerCase(printer).find(" on ");
  return on == std::string::npos ? std::string() : printer.substr(0, on);
}

}  // namespace orv
