#include "platform/win32/win32_system.h"

#include <string>

// clang-format off
// <windows.h> (through win32_handles.h, with NOMINMAX and WIN32_LEAN_AND_MEAN) comes first.
#include "platform/win32/win32_handles.h"
#include <imm.h>
#include <lmcons.h>
#include <shlobj.h>
#include <tlhelp32.h>
#include <winnetwk.h>
#include <winspool.h>
// clang-format on

namespace orv {

namespace {

using win32::Narrow;
using win32::NarrowZ;
using win32::UniqueHandle;
using win32::Widen;

constexpr DWORD kLongestPath = 32768;  // the longest path the W functions accept

// Calls `get(buffer, capacity)` of the GetWindowsDirectory kind: it returns the length without the
// NUL when the text fits, the needed capacity when it does not, and 0 on failure.
template <typename Get>
std::optional<std::string> ReadSized(DWORD capacity, Get get) {
  std::wstring buffer;
  for (int attempt = 0; attempt < 4; ++attempt) {
    buffer.assign(capacity, L'\0');
    DWORD n = get(buffer.data(), capacity);
    if (n == 0) return std::nullopt;
    if (n < capacity) return Narrow(std::wstring_view(buffer.data(), n));
    capacity = n + 1;
  }
  return std::nullopt;
}

// Restores the thread's error mode on scope exit. Set to fail critical errors at once, so that a
// drive without a medium answers "no" instead of showing a system dialog.
class QuietDriveErrors {
 public:
  QuietDriveErrors() {
    ok_ = SetThreadErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX, &previous_) != 0;
  }
  ~QuietDriveErrors() {
    if (ok_) SetThreadErrorMode(previous_, nullptr);
  }
  QuietDriveErrors(const QuietDriveErrors&) = delete;
  QuietDriveErrors& operator=(const QuietDriveErrors&) = delete;

 private:
  DWORD previous_ = 0;
  bool ok_ = false;
};

struct PidlFreer {
  void operator()(ITEMIDLIST* pidl) const { CoTaskMemFree(pidl); }
};

struct PrinterCloser {
  void operator()(HANDLE printer) const {
    if (printer) ClosePrinter(printer);
  }
};
using UniquePrinter = std::unique_ptr<std::remove_pointer_t<HANDLE>, PrinterCloser>;

// The screen's device context, released on scope exit.
class ScreenDc {
 public:
  ScreenDc() : dc_(GetDC(nullptr)) {}
  ~ScreenDc() {
    if (dc_) ReleaseDC(nullptr, dc_);
  }
  ScreenDc(const ScreenDc&) = delete;
  ScreenDc& operator=(const ScreenDc&) = delete;
  HDC Get() const { return dc_; }

 private:
  HDC dc_;
};

// A byte buffer aligned for the pointer-carrying records the spooler writes into it.
class AlignedBuffer {
 public:
  explicit AlignedBuffer(size_t bytes = 0) { Resize(bytes); }
  void Resize(size_t bytes) { words_.assign((bytes + sizeof(uint64_t) - 1) / sizeof(uint64_t), 0); }
  BYTE* Data() { return reinterpret_cast<BYTE*>(words_.data()); }
  DWORD Size() const { return static_cast<DWORD>(words_.size() * sizeof(uint64_t)); }

 private:
  std::vector<uint64_t> words_;
};

}  // namespace

std::string Win32System::ProgramPath() {
  for (DWORD capacity = MAX_PATH; capacity <= kLongestPath; capacity *= 2) {
    std::wstring buffer(capacity, L'\0');
    DWORD n = GetModuleFileNameW(nullptr, buffer.data(), capacity);
    if (n == 0) return {};
    if (n < capacity) return Narrow(std::wstring_view(buffer.data(), n));  // n == capacity: cut short
  }
  return {};
}

OsVersion Win32System::GetOsVersion() {
  OsVersion version;
  // GetVersionExW reports the version the program's manifest admits to; RtlGetVersion the real one.
  using RtlGetVersionFn = LONG(WINAPI*)(OSVERSIONINFOW*);
  auto rtlGetVersion = win32::FindExport<RtlGetVersionFn>(GetModuleHandleW(L"ntdll.dll"), "RtlGetVersion");
  OSVERSIONINFOW info{};
  info.dwOSVersionInfoSize = sizeof info;
  bool ok = rtlGetVersion && rtlGetVersion(&info) == 0;
  if (!ok) {
    info = OSVERSIONINFOW{};
    info.dwOSVersionInfoSize = sizeof info;
    ok = GetVersionExW(&info) != 0;
  }
  if (!ok) return version;
  version.platformId = info.dwPlatformId;
  version.major = info.dwMajorVersion;
  version.minor = info.dwMinorVersion;
  version.build = info.dwBuildNumber;
  version.servicePack = NarrowZ(info.szCSDVersion, sizeof info.szCSDVersion / sizeof(wchar_t));
  return version;
}

std::optional<std::string> Win32System::ComputerName() {
  DWORD capacity = MAX_COMPUTERNAME_LENGTH + 1;
  for (int attempt = 0; attempt < 3; ++attempt) {
    std::wstring buffer(capacity, L'\0');
    DWORD length = capacity;
    if (GetComputerNameW(buffer.data(), &length)) return Narrow(std::wstring_view(buffer.data(), length));
    if (GetLastError() != ERROR_BUFFER_OVERFLOW || length <= capacity) return std::nullopt;
    capacity = length;  // the needed size, NUL included
  }
  return std::nullopt;
}

std::optional<std::string> Win32System::UserName() {
  DWORD capacity = UNLEN + 1;  // the longest user name there is
  for (int attempt = 0; attempt < 3; ++attempt) {
    std::wstring buffer(capacity, L'\0');
    DWORD length = capacity;
    if (GetUserNameW(buffer.data(), &length)) return NarrowZ(buffer.data(), length);
    if (GetLastError() != ERROR_INSUFFICIENT_BUFFER || length <= capacity) return std::nullopt;
    capacity = length;
  }
  return std::nullopt;
}

std::optional<std::string> Win32System::NetworkUserName() {
  DWORD capacity = MAX_PATH + 1;
  for (int attempt = 0; attempt < 3; ++attempt) {
    std::wstring buffer(capacity, L'\0');
    DWORD length = capacity;
    DWORD rc = WNetGetUserW(nullptr, buffer.data(), &length);
    if (rc == NO_ERROR) return NarrowZ(buffer.data(), capacity);
    if (rc != ERROR_MORE_DATA || length <= capacity) return std::nullopt;
    capacity = length;
  }
  return std::nullopt;
}

std::optional<std::string> Win32System::Environment(const std::string& name) {
  std::wstring wideName = Widen(name);
  DWORD capacity = 1024;
  for (int attempt = 0; attempt < 4; ++attempt) {
    std::wstring buffer(capacity, L'\0');
    SetLastError(ERROR_SUCCESS);
    DWORD n = GetEnvironmentVariableW(wideName.c_str(), buffer.data(), capacity);
    if (n == 0) {
      // 0 is also the length of a variable that is set but empty.
      if (GetLastError() == ERROR_ENVVAR_NOT_FOUND) return std::nullopt;
      return GetLastError() == ERROR_SUCCESS ? std::optional<std::string>(std::string()) : std::nullopt;
    }
    if (n < capacity) return Narrow(std::wstring_view(buffer.data(), n));
    capacity = n;  // the needed size, NUL included; the value may still grow in between
  }
  return std::nullopt;
}

std::optional<std::string> Win32System::WindowsDirectory() {
  return ReadSized(MAX_PATH + 1,
                   [](wchar_t* buffer, DWORD capacity) { return GetWindowsDirectoryW(buffer, capacity); });
}

std::optional<std::string> Win32System::SystemDirectory() {
  return ReadSized(MAX_PATH + 1,
                   [](wchar_t* buffer, DWORD capacity) { return GetSystemDirectoryW(buffer, capacity); });
}

std::optional<std::string> Win32System::DocumentsFolder() {
  ITEMIDLIST* raw = nullptr;
  if (FAILED(SHGetSpecialFolderLocation(nullptr, CSIDL_PERSONAL, &raw)) || !raw) return std::nullopt;
  std::unique_ptr<ITEMIDLIST, PidlFreer> pidl(raw);
  wchar_t path[MAX_PATH + 1] = {};
  if (!SHGetPathFromIDListW(pidl.get(), path)) return std::nullopt;
  return NarrowZ(path, MAX_PATH + 1);
}

MemoryFacts Win32System::Memory() {
  MemoryFacts facts;
  MEMORYSTATUSEX status{};
  status.dwLength = sizeof status;
  if (!GlobalMemoryStatusEx(&status)) return facts;
  facts.totalPhysical = status.ullTotalPhys;
  facts.totalPageFile = status.ullTotalPageFile;
  return facts;
}

DriveFacts Win32System::Drive(char letter) {
  DriveFacts facts;
  wchar_t root[] = {static_cast<wchar_t>(static_cast<unsigned char>(letter)), L':', L'\\', L'\0'};
  facts.driveType = GetDriveTypeW(root);
  if (facts.driveType == DRIVE_UNKNOWN || facts.driveType == DRIVE_NO_ROOT_DIR) return facts;
  QuietDriveErrors quiet;
  wchar_t fileSystem[MAX_PATH + 1] = {};
  if (GetVolumeInformationW(root, nullptr, 0, nullptr, nullptr, nullptr, fileSystem, MAX_PATH + 1))
    facts.fileSystem = NarrowZ(fileSystem, MAX_PATH + 1);
  ULARGE_INTEGER availableToCaller{}, total{}, totalFree{};
  if (GetDiskFreeSpaceExW(root, &availableToCaller, &total, &totalFree)) {
    facts.sizeKnown = true;
    facts.totalBytes = total.QuadPart;
    facts.freeBytes = totalFree.QuadPart;  // the whole free space, not only the caller's quota
  }
  return facts;
}

int Win32System::ScreenWidth() {
  // The program is not aware of display scaling (its window is drawn for 96 dpi and scaled by
  // Windows), so GetSystemMetrics answers in scaled pixels. The display mode is the screen's own.
  DEVMODEW mode{};
  mode.dmSize = sizeof mode;
  if (EnumDisplaySettingsW(nullptr, ENUM_CURRENT_SETTINGS, &mode) && mode.dmPelsWidth > 0)
    return static_cast<int>(mode.dmPelsWidth);
  return GetSystemMetrics(SM_CXSCREEN);
}

int Win32System::ColorBits() {
  ScreenDc dc;
  if (!dc.Get()) return 0;
  return GetDeviceCaps(dc.Get(), BITSPIXEL) * GetDeviceCaps(dc.Get(), PLANES);
}

std::optional<std::string> Win32System::DefaultPrinter() {
  DWORD capacity = 0;
  GetDefaultPrinterW(nullptr, &capacity);
  if (capacity == 0) return std::nullopt;  // no default printer (ERROR_FILE_NOT_FOUND) or failure
  for (int attempt = 0; attempt < 3; ++attempt) {
    std::wstring buffer(capacity, L'\0');
    DWORD length = capacity;
    if (GetDefaultPrinterW(buffer.data(), &length)) return NarrowZ(buffer.data(), capacity);
    if (GetLastError() != ERROR_INSUFFICIENT_BUFFER || length <= capacity) return std::nullopt;
    capacity = length;
  }
  return std::nullopt;
}

std::vector<std::string> Win32System::Printers() {
  std::vector<std::string> names;
  const DWORD flags = PRINTER_ENUM_LOCAL | PRINTER_ENUM_CONNECTIONS;
  DWORD needed = 0, count = 0;
  AlignedBuffer buffer;
  // The list may grow between sizing and reading; a few rounds settle it.
  for (int attempt = 0; attempt < 4; ++attempt) {
    if (EnumPrintersW(flags, nullptr, 4, buffer.Size() ? buffer.Data() : nullptr, buffer.Size(), &needed,
                      &count)) {
      const auto* printers = reinterpret_cast<const PRINTER_INFO_4W*>(buffer.Data());
      for (DWORD i = 0; i < count; ++i) names.push_back(NarrowZ(printers[i].pPrinterName));
      return names;
    }
    if (GetLastError() != ERROR_INSUFFICIENT_BUFFER || needed == 0) return names;
    buffer.Resize(needed);
  }
  return names;
}

std::optional<int> Win32System::PrinterColor(const std::string& printer) {
  std::wstring name = Widen(printer);  // both calls take a writable name
  HANDLE raw = nullptr;
  if (!OpenPrinterW(name.data(), &raw, nullptr) || !raw) return std::nullopt;
  UniquePrinter handle(raw);
  LONG size = DocumentPropertiesW(nullptr, handle.get(), name.data(), nullptr, nullptr, 0);
  if (size <= 0) return std::nullopt;
  AlignedBuffer buffer(static_cast<size_t>(size) < sizeof(DEVMODEW) ? sizeof(DEVMODEW)
                                                                    : static_cast<size_t>(size));
  auto* mode = reinterpret_cast<DEVMODEW*>(buffer.Data());
  if (DocumentPropertiesW(nullptr, handle.get(), name.data(), mode, nullptr, DM_OUT_BUFFER) != IDOK)
    return std::nullopt;
  return static_cast<int>(mode->dmColor);
}

std::string Win32System::DefaultImeName() {
  HKL layout = GetKeyboardLayout(0);
  UINT length = ImmGetDescriptionW(layout, nullptr, 0);  // characters, without the NUL
  if (length == 0) return {};
  std::wstring buffer(static_cast<size_t>(length) + 1, L'\0');
  UINT got = ImmGetDescriptionW(layout, buffer.data(), length + 1);
  return NarrowZ(buffer.data(), got < buffer.size() ? got : buffer.size());
}

uint64_t Win32System::MillisecondsSinceStart() { return GetTickCount64(); }

DateTime Win32System::Now() {
  SYSTEMTIME st{};
  GetLocalTime(&st);
  return win32::FromSystemTime(st);
}

std::optional<std::vector<std::string>> Win32System::RunningProcesses() {
  UniqueHandle snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
  if (!snapshot) return std::nullopt;
  std::vector<std::string> names;
  PROCESSENTRY32W entry{};
  entry.dwSize = sizeof entry;
  for (BOOL more = Process32FirstW(snapshot.Get(), &entry); more;
       more = Process32NextW(snapshot.Get(), &entry))
    names.push_back(NarrowZ(entry.szExeFile, MAX_PATH));
  return names;
}

bool Win32System::IsWine() { return win32::RunningUnderWine(); }

namespace {

// Whether `token` (an impersonation token, or null for the thread's own) holds the
// Administrators group enabled.
std::optional<bool> HoldsAdministrators(HANDLE token) {
  SID_IDENTIFIER_AUTHORITY nt = SECURITY_NT_AUTHORITY;
  PSID administrators = nullptr;
  if (!AllocateAndInitializeSid(&nt, 2, SECURITY_BUILTIN_DOMAIN_RID, DOMAIN_ALIAS_RID_ADMINS, 0, 0, 0, 0, 0, 0,
                                &administrators))
    return std::nullopt;
  BOOL member = FALSE;
  const BOOL ok = CheckTokenMembership(token, administrators, &member);
  FreeSid(administrators);
  if (!ok) return std::nullopt;
  return member != FALSE;
}

}  // namespace

std::optional<bool> Win32System::IsAdministratorsMember() {
  if (auto direct = HoldsAdministrators(nullptr); direct && *direct) return true;
  // Under UAC an administrator's program runs with a filtered token in which the group is
  // present for denying only; the full token linked to it shows the membership.
  HANDLE process = nullptr;
  if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY | TOKEN_DUPLICATE, &process)) return std::nullopt;
  win32::UniqueHandle processToken(process);
  TOKEN_ELEVATION_TYPE type{};
  DWORD size = 0;
  if (!GetTokenInformation(processToken.Get(), TokenElevationType, &type, sizeof type, &size)) return std::nullopt;
  if (type != TokenElevationTypeLimited) return HoldsAdministrators(nullptr);
  TOKEN_LINKED_TOKEN linked{};
  if (!GetTokenInformation(processToken.Get(), TokenLinkedToken, &linked, sizeof linked, &size)) return std::nullopt;
  win32::UniqueHandle fullToken(linked.LinkedToken);
  // CheckTokenMembership needs an impersonation token.
  HANDLE impersonation = nullptr;
  if (!DuplicateToken(fullToken.Get(), SecurityIdentification, &impersonation)) return std::nullopt;
  win32::UniqueHandle identification(impersonation);
  return HoldsAdministrators(identification.Get());
}

}  // namespace orv
