#pragma once
// TRegistryEx: the one registry object every reader of the program goes through. It behaves like
// a classic read-only registry wrapper: a current root (HKEY_CURRENT_USER at first), at most one
// open key, typed reads that raise ERegistryError on a type mismatch, and the multi-string read
// the wrapper lacked. Key paths are always taken from the root (a leading backslash is optional).

#include <cstdint>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "platform/registry.h"

namespace orv {

// Raised by the typed reads; the value readers catch it and answer "Error!".
class ERegistryError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// The data types the program tells apart. None: the value does not exist (or there is no open
// key). Integer is REG_DWORD only; every type not listed is Unknown.
enum class RegDataType { None, String, ExpandString, Integer, Binary, Unknown };

class TRegistryEx {
 public:
  explicit TRegistryEx(IRegistry& registry, RegView view = RegView::Native);

  TRegistryEx(const TRegistryEx&) = delete;
  TRegistryEx& operator=(const TRegistryEx&) = delete;

  // The registry this object reads; a second object over it can read another view.
  IRegistry& Registry() const { return registry_; }

  // Later key paths are taken from this root. The open key stays open.
  void SetRootKey(RegRoot root);
  RegRoot CurrentRoot() const { return root_; }

  // Closes the open key, if any.
  void CloseKey();
  // Closes the open key and opens `path` under the current root for reading. False (and no key
  // open) when it cannot be opened.
  bool OpenKeyReadOnly(std::string_view path);
  bool HasOpenKey() const { return key_ != nullptr; }

  // `name` "" is the key's default value.
  bool ValueExists(std::string_view name);
  RegDataType GetDataType(std::string_view name);
  // Text of a string or expandable-string value (not expanded); "" when the value is missing;
  // raises for any other type.
  std::string ReadString(std::string_view name);
  // A REG_DWORD as a signed 32-bit number (4294967295 gives -1); raises when the value is
  // missing or of another type.
  int32_t ReadInteger(std::string_view name);
  // The bytes of a binary (or otherwise unknown) value; empty when the value is missing; raises
  // for strings and integers. A multi-string gives its UTF-8 strings, each followed by a NUL,
  // and a final NUL.
  std::vector<uint8_t> ReadBinaryData(std::string_view name);
  // Appends each string of a REG_MULTI_SZ value to `list`; any other value (or none) leaves the
  // list unchanged.
  void ReadMultiString(std::string_view name, std::vector<std::string>& list);

  // The type and data of a value in one registry read (GetDataType and then ReadString read it
  // twice). False when the value is missing or no key is open.
  bool ReadValue(std::string_view name, RegValue& out);

  // Replaces `list` with every value of the open key and its name, in enumeration order (empty
  // without an open key).
  void GetValues(std::vector<std::pair<std::string, RegValue>>& list);

  // Replace `list` with the open key's subkey / value names in enumeration order (empty without
  // an open key).
  void GetKeyNames(std::vector<std::string>& list);
  void GetValueNames(std::vector<std::string>& list);
  bool HasSubKeys();

 private:
  IRegistry& registry_;
  RegView view_;
  RegRoot root_ = RegRoot::CurrentUser;
  std::unique_ptr<IRegistryKey> key_;
};

}  // namespace orv
