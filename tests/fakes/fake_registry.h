#pragma once
// In-memory registry: keys and value names compare without regard to case, as on Windows;
// enumeration follows insertion order (tests state the order they want).

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/registry.h"

namespace orv::test {

class FakeRegistry final : public IRegistry {
 public:
  struct Key {
    std::vector<std::string> subKeyOrder;    // names as given
    std::vector<std::pair<std::string, RegValue>> values;  // in enumeration order
    bool denyOpen = false;                    // the key exists but cannot be opened
  };

  // Creates the key and its parents. `path` is "HKLM\Software\X" style with a root prefix of
  // HKLM, HKCU, HKCR, HKU or HKCC.
  Key& AddKey(const std::string& path, RegView view = RegView::Native);
  void SetString(const std::string& keyPath, const std::string& name, const std::string& text) {
    SetValue(keyPath, name, {.type = regtype::String, .text = text});
  }
  void SetExpandString(const std::string& keyPath, const std::string& name, const std::string& text) {
    SetValue(keyPath, name, {.type = regtype::ExpandString, .text = text});
  }
  void SetDword(const std::string& keyPath, const std::string& name, uint32_t value) {
    SetValue(keyPath, name, {.type = regtype::Dword, .number = value});
  }
  void SetMulti(const std::string& keyPath, const std::string& name, const std::vector<std::string>& strings) {
    SetValue(keyPath, name, {.type = regtype::MultiString, .strings = strings});
  }
  void SetBinary(const std::string& keyPath, const std::string& name, const std::vector<uint8_t>& bytes,
                 uint32_t type = regtype::Binary) {
    SetValue(keyPath, name, {.type = type, .bytes = bytes});
  }
  void SetValue(const std::string& keyPath, const std::string& name, const RegValue& value);
  // Adds the keys and values of tests/data/registry/<name>, a .reg-like file described in the
  // README.md beside it.
  void Load(const std::string& name);

  std::unique_ptr<IRegistryKey> OpenKey(RegRoot root, std::string_view path, RegView view) override;

  int openCount = 0;  // how many OpenKey calls were made

 private:
  std::map<std::string, Key> keys_;  // normalised lower-case path -> key
};

}  // namespace orv::test
