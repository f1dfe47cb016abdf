#pragma once
// Owners of the Win32 handles this layer opens, and the run-time lookups of optional exports.
// Every handle is closed by its owner, on every path out of a function.

#include <memory>
#include <type_traits>

#include "platform/clock.h"
#include "platform/win32/wide.h"

namespace orv::win32 {

// A kernel object handle (files, processes, snapshots). Both null and INVALID_HANDLE_VALUE
// count as "no handle", as different calls report failure with one or the other.
class UniqueHandle {
 public:
  UniqueHandle() = default;
  explicit UniqueHandle(HANDLE h) : h_(h) {}
  UniqueHandle(const UniqueHandle&) = delete;
  UniqueHandle& operator=(const UniqueHandle&) = delete;
  UniqueHandle(UniqueHandle&& other) noexcept : h_(other.Release()) {}
  UniqueHandle& operator=(UniqueHandle&& other) noexcept {
    if (this != &other) Reset(other.Release());
    return *this;
  }
  ~UniqueHandle() { Reset(); }

  HANDLE Get() const { return h_; }
  bool Valid() const { return h_ != nullptr && h_ != INVALID_HANDLE_VALUE; }
  explicit operator bool() const { return Valid(); }
  HANDLE Release() {
    HANDLE h = h_;
    h_ = nullptr;
    return h;
  }
  void Reset(HANDLE h = nullptr) {
    if (Valid()) CloseHandle(h_);
    h_ = h;
  }

 private:
  HANDLE h_ = nullptr;
};

// A GDI object (font, brush, pen, bitmap).
struct GdiObjectDeleter {
  void operator()(HGDIOBJ object) const {
    if (object) DeleteObject(object);
  }
};
using UniqueGdiObject = std::unique_ptr<std::remove_pointer_t<HGDIOBJ>, GdiObjectDeleter>;

// A find handle of FindFirstFileW.
struct FindCloser {
  void operator()(HANDLE h) const {
    if (h && h != INVALID_HANDLE_VALUE) FindClose(h);
  }
};
using UniqueFind = std::unique_ptr<std::remove_pointer_t<HANDLE>, FindCloser>;

// A library loaded by name at run time.
struct ModuleFreer {
  void operator()(HMODULE m) const {
    if (m) FreeLibrary(m);
  }
};
using UniqueModule = std::unique_ptr<std::remove_pointer_t<HMODULE>, ModuleFreer>;

inline UniqueModule LoadLibraryByName(const wchar_t* name) { return UniqueModule(LoadLibraryW(name)); }

// An export of `module` as a typed function pointer; nullptr when it is missing.
template <typename Fn>
Fn FindExport(HMODULE module, const char* name) {
  if (!module) return nullptr;
  FARPROC proc = GetProcAddress(module, name);
  // Through void*: a direct cast between unrelated function pointer types draws a warning.
  return proc ? reinterpret_cast<Fn>(reinterpret_cast<void*>(proc)) : nullptr;
}

// True when the program runs under Wine: its ntdll exports wine_get_version. Some services are
// stubs there that abort the process when called, so their callers ask first.
inline bool RunningUnderWine() {
  HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");  // always loaded; not reference-counted here
  return ntdll != nullptr && GetProcAddress(ntdll, "wine_get_version") != nullptr;
}

// Text from an ANSI API (the PC's ANSI code page) as UTF-8, and back.
inline std::string AnsiToUtf8(std::string_view ansi) {
  if (ansi.empty()) return {};
  int n = MultiByteToWideChar(CP_ACP, 0, ansi.data(), static_cast<int>(ansi.size()), nullptr, 0);
  if (n <= 0) return {};
  std::wstring wide(static_cast<size_t>(n), L'\0');
  MultiByteToWideChar(CP_ACP, 0, ansi.data(), static_cast<int>(ansi.size()), wide.data(), n);
  return Narrow(wide);
}

inline std::string Utf8ToAnsi(std::string_view utf8) {
  std::wstring wide = Widen(utf8);
  if (wide.empty()) return {};
  int n = WideCharToMultiByte(CP_ACP, 0, wide.data(), static_cast<int>(wide.size()), nullptr, 0, nullptr,
                              nullptr);
  if (n <= 0) return {};
  std::string out(static_cast<size_t>(n), '\0');
  WideCharToMultiByte(CP_ACP, 0, wide.data(), static_cast<int>(wide.size()), out.data(), n, nullptr, nullptr);
  return out;
}

// A SYSTEMTIME as the core's calendar time.
inline DateTime FromSystemTime(const SYSTEMTIME& st) {
  DateTime t;
  t.year = st.wYear;
  t.month = st.wMonth;
  t.day = st.wDay;
  t.hour = st.wHour;
  t.minute = st.wMinute;
  t.second = st.wSecond;
  t.millisecond = st.wMilliseconds;
  return t;
}

}  // namespace orv::win32
