#pragma once
// Read-only access to the Windows registry. The core reaches the registry only through this
// interface; src/platform/win32/ implements it with the W functions and KEY_READ, the tests with an
// in-memory fake.

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace orv {

enum class RegRoot { ClassesRoot, CurrentUser, LocalMachine, Users, CurrentConfig };

// Which registry view a 64-bit process opens: its own, or the one 32-bit programs see.
enum class RegView { Native, Wow32 };

// Registry type codes as stored (REG_SZ = 1 ...).
namespace regtype {
inline constexpr uint32_t None = 0;
inline constexpr uint32_t String = 1;        // REG_SZ
inline constexpr uint32_t ExpandString = 2;  // REG_EXPAND_SZ
inline constexpr uint32_t Binary = 3;        // REG_BINARY
inline constexpr uint32_t Dword = 4;         // REG_DWORD
inline constexpr uint32_t DwordBigEndian = 5;
inline constexpr uint32_t Link = 6;
inline constexpr uint32_t MultiString = 7;   // REG_MULTI_SZ
inline constexpr uint32_t Qword = 11;
}  // namespace regtype

// One value as stored. Only the member that belongs to `type` is filled:
// String/ExpandString -> text (UTF-8, up to the first NUL); Dword -> number;
// MultiString -> strings; every other type -> bytes.
struct RegValue {
  uint32_t type = regtype::None;
  std::string text;
  uint32_t number = 0;
  std::vector<std::string> strings;
  std::vector<uint8_t> bytes;
};

class IRegistryKey {
 public:
  virtual ~IRegistryKey() = default;
  // Subkey names in the order the registry enumerates them; empty when there are none or on failure.
  virtual std::vector<std::string> SubKeyNames() = 0;
  // Value names in enumeration order ("" is the default value); empty on failure.
  virtual std::vector<std::string> ValueNames() = 0;
  // True and the value when it exists ("" names the default value); false when it does not or
  // cannot be read.
  virtual bool QueryValue(std::string_view name, RegValue& out) = 0;
  // Every value with its name, in enumeration order; a value that cannot be read is left out.
  // The Win32 key reads name, type and data in one call per value.
  virtual std::vector<std::pair<std::string, RegValue>> Values() {
    std::vector<std::pair<std::string, RegValue>> values;
    for (std::string& name : ValueNames())
      if (RegValue value; QueryValue(name, value)) values.emplace_back(std::move(name), std::move(value));
    return values;
  }
};

class IRegistry {
 public:
  virtual ~IRegistry() = default;
  // Opens `path` (with or without a leading backslash; "" is the root itself) under `root` for
  // reading only. nullptr when the key does not exist or cannot be opened.
  virtual std::unique_ptr<IRegistryKey> OpenKey(RegRoot root, std::string_view path,
                                                RegView view = RegView::Native) = 0;
};

}  // namespace orv
