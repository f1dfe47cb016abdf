#pragma once
// The printer-details lookup shared by the collection run (the default printer's rows) and the
// registry item script ("#printers"): a printer's driver and port from the printers key.

#include <string>
#include <utility>

namespace orv {

class TRegistryEx;

// Driver and port (in this order) of the printer whose "Name" value equals `searchName`: the
// first matching subkey of \System\CurrentControlSet\Control\Print\Printers under
// HKEY_LOCAL_MACHINE. Both empty when no subkey matches. Leaves the root at HKEY_LOCAL_MACHINE and
// sets the key-open flag like every key opening the script's readers rely on.
std::pair<std::string, std::string> PrinterDetails(TRegistryEx& registry, bool& keyOpen,
                                                   const std::string& searchName);

// The name a printer is looked up by: on Windows 9x the platform lists "name on port", and only
// the part before " on " is the name (empty without one); on the NT family the name itself.
std::string PrinterSearchName(const std::string& printer, bool is9x);

}  // namespace orv
