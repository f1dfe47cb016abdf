#pragma once
// The file-version tool of the search menu: the version information of the program registered
// for a file type.

#include <string>
#include <vector>

namespace orv {

struct ReaderContext;
class TRegistryEx;

// The Program Files folder as HKEY_LOCAL_MACHINE\Software\Microsoft\Windows\CurrentVersion names
// it: "ProgramFilesDir", or "ProgramFilesPath" when that is empty; a quoted folder is taken
// between its quotes. "" when neither is there. Leaves the root at HKEY_LOCAL_MACHINE.
std::string ReadProgramFilesFolder(TRegistryEx& registry);

// The version fields the file-version tool lists, in order.
inline constexpr const char* kVersionFields[] = {"\\CompanyName",    "\\FileDescription", "\\FileVersion",
                                                 "\\InternalName",   "\\LegalCopyright",  "\\OriginalFilename",
                                                 "\\ProductName",    "\\ProductVersion"};

// The file-version tool's lines for an extension (".xls"): the extension, the registered
// program's path (ExeForExtension, or empty), that path lower-cased with "%programfiles%" at its
// start resolved, then "No Version Info" when the file has no version resource, or, when it has
// a translation entry, "Version Information" and one line per field, "Name : text" ("None" for a
// field without text). Sets the context's Program Files folder from the registry on the way.
std::vector<std::string> FileVersionLines(const ReaderContext& context, const std::string& extension);

}  // namespace orv
