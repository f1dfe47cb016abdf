#pragma once
// The value readers: a short item text in, one registry value as text out. They never
// raise; a registry error becomes "Error!" and a missing value an empty text.
//
// Forms of the item text (ReadItemValue):
//   item "==" label       the label is for the item catalogue; only the text before "==" is read
//   A "|" B "|" C          the first of A, B, C whose value is not empty
//   A "+" x B "+" y C      value of A, the one character x, value of B, y, value of C
// and for each single name (ReadRegValue):
//   "'" name               value with one "'" in front when it is not empty
//   "%" name               the value (a string, or a multi-string joined with ".") by PadVersion
//   name "(" start "/" end ")"  the part after the first start and before the next end
//   name "(" end ")"       the part before the first end
//   name "/" filter        the value when it contains filter, else empty
//   name "/"               the value; an empty value becomes " "
//   "DEFAULT"              the key's default (unnamed) value

#include <string>
#include <string_view>

#include "regscript/registry_ex.h"

namespace orv {

class IVersionInfo;
class IFiles;
class ISystem;
class INetwork;
struct Platform;

// What the readers and lookups work with. The key-open flag and the Program Files folder belong
// to the caller (they live as long as the program run); the readers only read or set them.
struct ReaderContext {
  TRegistryEx& registry;
  bool& keyOpen;                    // result of the latest key opening by the script or printer lookup
  std::string& programFilesFolder;  // empty until the collection run or file-version tool sets it
  std::string systemFolder;         // the Windows system directory
  IVersionInfo& versions;
  IFiles& files;
  ISystem& system;
  INetwork& network;

  // Wires the platform's interfaces; the system folder is asked of the platform once.
  static ReaderContext From(TRegistryEx& registry, bool& keyOpen, std::string& programFilesFolder,
                            Platform& platform);
};

// Reads one item text (a value line of a key block) from the open key of `registry`. Empty whenever `keyOpen` is false.
std::string ReadItemValue(TRegistryEx& registry, bool keyOpen, std::string_view item);
inline std::string ReadItemValue(const ReaderContext& context, std::string_view item) {
  return ReadItemValue(context.registry, context.keyOpen, item);
}

// Reads one single name ("'", "%", "(...)", "/" and "DEFAULT" forms) from the open key.
std::string ReadRegValue(TRegistryEx& registry, std::string_view name);

// Right-aligns the parts of a dotted version: "6.0.2900.2180" -> "  6.  0.2900.2180",
// "5.1" -> "  5.  1".
std::string PadVersion(std::string_view text);

}  // namespace orv
