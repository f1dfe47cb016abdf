#pragma once
// Owners of the user-interface handles of the window layer: windows, fonts, menus, image lists,
// timers, the argument vector of the command line and the COM apartment. Each releases its
// handle exactly once, on every path.

#include "platform/win32/wide.h"
#include "platform/win32/win32_handles.h"

#include <commctrl.h>
#include <objbase.h>
#include <shellapi.h>

#include <memory>
#include <type_traits>

namespace orv::win32 {

// A window this program created. A window that Windows destroys on its own (a child destroyed
// with its parent, a top-level window closed by DestroyWindow in its own procedure) is given up
// with Release() from WM_NCDESTROY, so the owner never destroys a handle twice.
class UniqueWindow {
 public:
  UniqueWindow() = default;
  explicit UniqueWindow(HWND h) : h_(h) {}
  UniqueWindow(const UniqueWindow&) = delete;
  UniqueWindow& operator=(const UniqueWindow&) = delete;
  UniqueWindow(UniqueWindow&& other) noexcept : h_(other.Release()) {}
  UniqueWindow& operator=(UniqueWindow&& other) noexcept {
    if (this != &other) Reset(other.Release());
    return *this;
  }
  ~UniqueWindow() { Reset(); }

  HWND Get() const { return h_; }
  explicit operator bool() const { return h_ != nullptr; }
  HWND Release() {
    HWND h = h_;
    h_ = nullptr;
    return h;
  }
  void Reset(HWND h = nullptr) {
    if (h_ && IsWindow(h_)) DestroyWindow(h_);
    h_ = h;
  }

 private:
  HWND h_ = nullptr;
};

using UniqueFont = std::unique_ptr<std::remove_pointer_t<HFONT>, GdiObjectDeleter>;

// A menu bar or popup menu that no window owns (yet).
struct MenuDestroyer {
  void operator()(HMENU h) const {
    if (h) DestroyMenu(h);
  }
};
using UniqueMenu = std::unique_ptr<std::remove_pointer_t<HMENU>, MenuDestroyer>;

struct ImageListDestroyer {
  void operator()(HIMAGELIST h) const {
    if (h) ImageList_Destroy(h);
  }
};
using UniqueImageList = std::unique_ptr<std::remove_pointer_t<HIMAGELIST>, ImageListDestroyer>;

// The argument vector of CommandLineToArgvW.
struct LocalFreer {
  void operator()(void* p) const {
    if (p) LocalFree(p);
  }
};
using UniqueArgv = std::unique_ptr<LPWSTR, LocalFreer>;

// A window timer: started and stopped by the window that receives its WM_TIMER.
class WindowTimer {
 public:
  WindowTimer(HWND owner, UINT_PTR id) : owner_(owner), id_(id) {}
  WindowTimer(const WindowTimer&) = delete;
  WindowTimer& operator=(const WindowTimer&) = delete;
  ~WindowTimer() { Stop(); }

  // (Re)starts the timer with `intervalMs` (0 fires as soon as the message queue allows).
  void Start(unsigned intervalMs) {
    running_ = owner_ && SetTimer(owner_, id_, intervalMs, nullptr) != 0;
    interval_ = intervalMs;
  }
  void Stop() {
    if (running_ && IsWindow(owner_)) KillTimer(owner_, id_);
    running_ = false;
  }
  void SetOwner(HWND owner) {
    Stop();
    owner_ = owner;
  }
  // The owner is gone; Windows has removed its timers.
  void Forget() {
    running_ = false;
    owner_ = nullptr;
  }
  bool Running() const { return running_; }
  unsigned Interval() const { return interval_; }
  UINT_PTR Id() const { return id_; }

 private:
  HWND owner_;
  UINT_PTR id_;
  bool running_ = false;
  unsigned interval_ = 0;
};

// The COM apartment of the user-interface thread (WMI is reached through COM).
class ComApartment {
 public:
  ComApartment() : hr_(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)) {}
  ComApartment(const ComApartment&) = delete;
  ComApartment& operator=(const ComApartment&) = delete;
  ~ComApartment() {
    if (SUCCEEDED(hr_)) CoUninitialize();
  }
  bool Ok() const { return SUCCEEDED(hr_); }

 private:
  HRESULT hr_;
};

// The font every window of this program uses: "ＭＳ Ｐゴシック", Shift-JIS character set, with a
// character height of `pixelHeight` pixels.
inline UniqueFont CreateUiFont(int pixelHeight) {
  return UniqueFont(CreateFontW(-pixelHeight, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, SHIFTJIS_CHARSET,
                                OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                                DEFAULT_PITCH | FF_DONTCARE, L"ＭＳ Ｐゴシック"));
}

// The text of a window as UTF-16.
inline std::wstring WindowTextW(HWND h) {
  int n = GetWindowTextLengthW(h);
  if (n <= 0) return {};
  std::wstring text(static_cast<size_t>(n) + 1, L'\0');
  int got = GetWindowTextW(h, text.data(), n + 1);
  text.resize(got > 0 ? static_cast<size_t>(got) : 0);
  return text;
}

// Top-left position that centres a window of `width` x `height` on the primary screen.
inline POINT ScreenCentre(int width, int height) {
  POINT p;
  p.x = (GetSystemMetrics(SM_CXSCREEN) - width) / 2;
  p.y = (GetSystemMetrics(SM_CYSCREEN) - height) / 2;
  if (p.x < 0) p.x = 0;
  if (p.y < 0) p.y = 0;
  return p;
}

}  // namespace orv::win32
