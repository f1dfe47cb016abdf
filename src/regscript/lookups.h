#pragma once
// Lookups shared by the registry item script and the lookup tools: the program registered for a
// file type, the version text of a file, the running programs and this computer's shared folders.

#include <string>
#include <string_view>
#include <vector>

#include "regscript/value_readers.h"

namespace orv {

class ISystem;
class INetwork;

// Texts of the shared-folder listing when there is nothing to list.
inline constexpr const char* kNoSharedFolders = "共有フォルダはありません";
inline constexpr const char* kNoNetworkPresent = "Error(No network is present.)";

// The path of the program registered to open files of `extension` (".txt"), without quotes and
// arguments, or "" when none is registered; "Error!" when a registry read fails. A command stored
// as an expandable string (Windows' own file types: "%SystemRoot%\system32\NOTEPAD.EXE %1") has
// its environment variables expanded first. Leaves the root at HKEY_CLASSES_ROOT and the command
// key open; the key-open flag is not touched.
std::string ExeForExtension(TRegistryEx& registry, ISystem& system, std::string_view extension);
inline std::string ExeForExtension(const ReaderContext& context, std::string_view extension) {
  return ExeForExtension(context.registry, context.system, extension);
}

// The lower-cased original file name of the file at `path`, followed by a blank and the text of
// each version field named in `fieldNames` (blank-separated, such as "ProductVersion") that has
// text. "" when the path is empty or the file has no version resource; the lower-cased file name
// alone when the resource has no translation entry. "%programfiles%" at the start of the path
// stands for the Program Files folder.
std::string FileVersionText(const ReaderContext& context, std::string_view path, std::string_view fieldNames);

// Clears `list` and fills it with the executable file name of every process, in snapshot order.
void ListRunningPrograms(ISystem& system, std::vector<std::string>& list);
inline void ListRunningPrograms(const ReaderContext& context, std::vector<std::string>& list) {
  ListRunningPrograms(context.system, list);
}

// On success replaces `list` with the remote names of this computer's disk shares ("\\PC\data");
// otherwise appends one message: "共有フォルダはありません", "ネットワークエラー(e)",
// "Error(No network is present.)" or "ネットワークエラー２(e)".
void ListSharedFolders(ISystem& system, INetwork& network, std::vector<std::string>& list);
inline void ListSharedFolders(const ReaderContext& context, std::vector<std::string>& list) {
  ListSharedFolders(context.system, context.network, list);
}

}  // namespace orv
