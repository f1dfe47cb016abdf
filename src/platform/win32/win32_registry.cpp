#include "platform/win32/win32_registry.h"

#include <algorithm>
#include <vector>

#include "platform/win32/wide.h"

namespace orv {

namespace {

using win32::Narrow;
using win32::Widen;

struct KeyCloser {
  void operator()(HKEY key) const {
    if (key) RegCloseKey(key);
  }
};
using UniqueKey = std::unique_ptr<std::remove_pointer_t<HKEY>, KeyCloser>;

HKEY RootKey(RegRoot root) {
  switch (root) {
    case RegRoot::ClassesRoot: return HKEY_CLASSES_ROOT;
    case RegRoot::CurrentUser: return HKEY_CURRENT_USER;
    case RegRoot::LocalMachine: return HKEY_LOCAL_MACHINE;
    case RegRoot::Users: return HKEY_USERS;
    case RegRoot::CurrentConfig: return HKEY_CURRENT_CONFIG;
  }
  return HKEY_LOCAL_MACHINE;
}

// Text of a string value: UTF-16 units up to the first NUL (the stored data need not end with one,
// and an odd last byte is ignored).
std::string StringData(const std::vector<BYTE>& data) {
  size_t units = data.size() / sizeof(wchar_t);
  return win32::NarrowZ(reinterpret_cast<const wchar_t*>(data.data()), units);
}

// Strings of a REG_MULTI_SZ value, split at each NUL; the first empty string ends the list.
std::vector<std::string> MultiStringData(const std::vector<BYTE>& data) {
  std::vector<std::string> strings;
  const auto* p = reinterpret_cast<const wchar_t*>(data.data());
  size_t units = data.size() / sizeof(wchar_t);
  size_t start = 0;
  while (start < units) {
    size_t end = start;
    while (end < units && p[end] != L'\0') ++end;
    if (end == start) break;
    strings.push_back(Narrow(std::wstring_view(p + start, end - start)));
    start = end + 1;
  }
  return strings;
}

// Value data that fits at once; longer values take a second call.
constexpr size_t kUsualValueBytes = 512;

RegValue ToRegValue(DWORD type, const std::vector<BYTE>& data) {
  RegValue out;
  out.type = type;
  switch (type) {
    case REG_SZ:
    case REG_EXPAND_SZ: out.text = StringData(data); break;
    case REG_DWORD: {
      uint32_t number = 0;
      for (size_t i = 0; i < data.size() && i < 4; ++i) number |= static_cast<uint32_t>(data[i]) << (8 * i);
      out.number = number;
      break;
    }
    case REG_MULTI_SZ: out.strings = MultiStringData(data); break;
    default: out.bytes.assign(data.begin(), data.end()); break;
  }
  return out;
}

class Win32RegistryKey final : public IRegistryKey {
 public:
  explicit Win32RegistryKey(UniqueKey key) : key_(std::move(key)) {}

  std::vector<std::string> SubKeyNames() override {
    DWORD count = 0, maxLength = 0;
    if (RegQueryInfoKeyW(key_.get(), nullptr, nullptr, nullptr, &count, &maxLength, nullptr, nullptr, nullptr,
                         nullptr, nullptr, nullptr) != ERROR_SUCCESS)
      return {};
    return Enumerate(maxLength, [this](DWORD index, wchar_t* buffer, DWORD* length) {
      return RegEnumKeyExW(key_.get(), index, buffer, length, nullptr, nullptr, nullptr, nullptr);
    });
  }

  std::vector<std::string> ValueNames() override {
    DWORD count = 0, maxLength = 0;
    if (RegQueryInfoKeyW(key_.get(), nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &count, &maxLength,
                         nullptr, nullptr, nullptr) != ERROR_SUCCESS)
      return {};
    return Enumerate(maxLength, [this](DWORD index, wchar_t* buffer, DWORD* length) {
      return RegEnumValueW(key_.get(), index, buffer, length, nullptr, nullptr, nullptr, nullptr);
    });
  }

  bool QueryValue(std::string_view name, RegValue& out) override {
    std::wstring wideName = Widen(name);
    DWORD type = 0;
    // One call for the usual short value: a search reads every value of a branch, and under Wine
    // each call is a round trip to the registry server. A longer value tells its size, and may
    // still grow before the next call; a few rounds settle it.
    std::vector<BYTE> data(kUsualValueBytes);
    LONG rc = ERROR_MORE_DATA;
    for (int attempt = 0; attempt < 8 && rc == ERROR_MORE_DATA; ++attempt) {
      DWORD got = static_cast<DWORD>(data.size());
      rc = RegQueryValueExW(key_.get(), wideName.c_str(), nullptr, &type, data.data(), &got);
      if (rc == ERROR_SUCCESS) data.resize(got);
      else if (rc == ERROR_MORE_DATA) data.resize(got > data.size() ? got : data.size() * 2);
    }
    if (rc != ERROR_SUCCESS) return false;
    out = ToRegValue(type, data);
    return true;
  }

  std::vector<std::pair<std::string, RegValue>> Values() override {
    std::vector<std::pair<std::string, RegValue>> values;
    DWORD count = 0, maxName = 0, maxData = 0;
    if (RegQueryInfoKeyW(key_.get(), nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &count, &maxName,
                         &maxData, nullptr, nullptr) != ERROR_SUCCESS)
      return values;
    std::vector<wchar_t> name(static_cast<size_t>(maxName) + 1);
    std::vector<BYTE> data(static_cast<size_t>(maxData) + 2);
    for (DWORD index = 0;;) {
      DWORD nameLength = static_cast<DWORD>(name.size()), dataLength = static_cast<DWORD>(data.size()), type = 0;
      LONG rc = RegEnumValueW(key_.get(), index, name.data(), &nameLength, nullptr, &type, data.data(), &dataLength);
      if (rc == ERROR_MORE_DATA && name.size() < 65536 && data.size() < (1u << 30)) {
        // A value that grew meanwhile: bigger buffers and the same index again.
        name.resize(name.size() * 2);
        data.resize(std::max<size_t>(dataLength, data.size() * 2));
        continue;
      }
      if (rc != ERROR_SUCCESS) break;  // ERROR_NO_MORE_ITEMS ends the list; other errors end it early
      values.emplace_back(Narrow(std::wstring_view(name.data(), nameLength)),
                          ToRegValue(type, std::vector<BYTE>(data.begin(), data.begin() + dataLength)));
      ++index;
    }
    return values;
  }

 private:
  // Names by index until ERROR_NO_MORE_ITEMS. `maxLength` (without the NUL) sizes the buffer; a
  // name that grew meanwhile gets a bigger buffer and the same index again.
  template <typename EnumFn>
  static std::vector<std::string> Enumerate(DWORD maxLength, EnumFn enumerate) {
    std::vector<std::string> names;
    std::vector<wchar_t> buffer(static_cast<size_t>(maxLength) + 1);
    for (DWORD index = 0;;) {
      DWORD length = static_cast<DWORD>(buffer.size());
      LONG rc = enumerate(index, buffer.data(), &length);
      if (rc == ERROR_MORE_DATA && buffer.size() < 65536) {
        buffer.resize(buffer.size() * 2);
        continue;
      }
      if (rc != ERROR_SUCCESS) break;  // ERROR_NO_MORE_ITEMS ends the list; other errors end it early
      names.push_back(Narrow(std::wstring_view(buffer.data(), length)));
      ++index;
    }
    return names;
  }

  UniqueKey key_;
};

}  // namespace

std::unique_ptr<IRegistryKey> Win32Registry::OpenKey(RegRoot root, std::string_view path, RegView view) {
  while (!path.empty() && path.front() == '\\') path.remove_prefix(1);
  std::wstring widePath = Widen(path);
  REGSAM access = KEY_READ | (view == RegView::Wow32 ? KEY_WOW64_32KEY : KEY_WOW64_64KEY);
  HKEY key = nullptr;
  if (RegOpenKeyExW(RootKey(root), widePath.c_str(), 0, access, &key) != ERROR_SUCCESS) return nullptr;
  UniqueKey owned(key);
  return std::make_unique<Win32RegistryKey>(std::move(owned));
}

}  // namespace orv
