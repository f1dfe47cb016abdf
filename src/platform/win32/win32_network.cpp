#include "platform/win32/win32_network.h"

#include <cstddef>
#include <cstring>
#include <string>

// clang-format off
// <windows.h> (through win32_handles.h, with NOMINMAX and WIN32_LEAN_AND_MEAN) comes first.
#include "platform/win32/win32_handles.h"
#include <winsock2.h>
#include <lm.h>
#include <winnetwk.h>
// clang-format on

namespace orv {

namespace {

using win32::NarrowZ;
using win32::Widen;

// A buffer the network management functions allocated.
struct NetBufferFreer {
  void operator()(void* buffer) const {
    if (buffer) NetApiBufferFree(buffer);
  }
};
template <typename T>
using NetBuffer = std::unique_ptr<T, NetBufferFreer>;

// Winsock started for the lifetime of this object (version 1.1, as the host probes ask for).
class WinsockSession {
 public:
  WinsockSession() {
    WSADATA data{};
    started_ = WSAStartup(MAKEWORD(1, 1), &data) == 0;
  }
  ~WinsockSession() {
    if (started_) WSACleanup();
  }
  WinsockSession(const WinsockSession&) = delete;
  WinsockSession& operator=(const WinsockSession&) = delete;
  bool Started() const { return started_; }

 private:
  bool started_ = false;
};

struct EnumCloser {
  void operator()(HANDLE h) const {
    if (h) WNetCloseEnum(h);
  }
};
using UniqueEnum = std::unique_ptr<std::remove_pointer_t<HANDLE>, EnumCloser>;

// Byte layouts of the remote-access records this program hands to rasapi32: the compact forms
// every version of the library accepts (the current headers define larger records).
constexpr size_t kRasEntryNameChars = 256 + 1;
constexpr size_t kRasPhoneNumberChars = 128 + 1;
constexpr size_t kRasUserNameChars = 256 + 1;
constexpr size_t kRasPasswordChars = 256 + 1;
constexpr size_t kRasDomainChars = 15 + 1;
constexpr size_t kRasEntryCapacity = 100;

struct RasEntryNameRecord {
  uint32_t size;
  char entryName[kRasEntryNameChars];
};
static_assert(sizeof(RasEntryNameRecord) == 264, "entry-name record of 264 bytes");

struct RasDialParamsRecord {
  uint32_t size;
  char entryName[kRasEntryNameChars];
  char phoneNumber[kRasPhoneNumberChars];
  char callbackNumber[kRasPhoneNumberChars];
  char userName[kRasUserNameChars];
  char password[kRasPasswordChars];
  char domain[kRasDomainChars];
};
static_assert(sizeof(RasDialParamsRecord) == 1052, "dial-parameter record of 1052 bytes");
static_assert(offsetof(RasDialParamsRecord, userName) == 4 + 257 + 129 + 129, "user name after the numbers");

using RasEnumEntriesFn = DWORD(WINAPI*)(const char* reserved, const char* phoneBook,
                                        RasEntryNameRecord* entries, DWORD* bytes, DWORD* count);
using RasGetEntryDialParamsFn = DWORD(WINAPI*)(const char* phoneBook, RasDialParamsRecord* params,
                                               BOOL* hasPassword);

// A fixed-size ANSI field as text (it need not end with a NUL).
std::string AnsiField(const char* field, size_t capacity) {
  return win32::AnsiToUtf8(std::string_view(field, strnlen(field, capacity)));
}

std::optional<std::string> DialUpUser(RasGetEntryDialParamsFn getParams, const char* entryName) {
  if (!getParams) return std::nullopt;
  RasDialParamsRecord params{};
  params.size = sizeof params;
  std::memcpy(params.entryName, entryName, strnlen(entryName, kRasEntryNameChars - 1));
  BOOL hasPassword = FALSE;
  if (getParams(nullptr, &params, &hasPassword) != 0) return std::nullopt;
  return AnsiField(params.userName, kRasUserNameChars);
}

}  // namespace

std::optional<std::string> Win32Network::WorkgroupName() {
  LPBYTE raw = nullptr;
  NET_API_STATUS status = NetWkstaGetInfo(nullptr, 100, &raw);
  NetBuffer<WKSTA_INFO_100> info(reinterpret_cast<WKSTA_INFO_100*>(raw));
  if (status != NERR_Success || !info) return std::nullopt;
  return NarrowZ(info->wki100_langroup);
}

std::optional<bool> Win32Network::IsDomainMember() {
  LPWSTR rawName = nullptr;
  NETSETUP_JOIN_STATUS status = NetSetupUnknownStatus;
  NET_API_STATUS rc = NetGetJoinInformation(nullptr, &rawName, &status);
  NetBuffer<wchar_t> name(rawName);
  if (rc != NERR_Success) return std::nullopt;
  return status == NetSetupDomainName;
}

std::optional<DateTime> Win32Network::ServerTime(const std::string& server) {
  // Wine's NetRemoteTOD is an unimplemented stub that ends the whole process when called.
  if (win32::RunningUnderWine()) return std::nullopt;
  std::wstring wideServer = Widen(server);
  if (wideServer.size() > 256) wideServer.resize(256);
  LPBYTE raw = nullptr;
  NET_API_STATUS status = NetRemoteTOD(wideServer.empty() ? nullptr : wideServer.c_str(), &raw);
  NetBuffer<TIME_OF_DAY_INFO> info(reinterpret_cast<TIME_OF_DAY_INFO*>(raw));
  // Only the answer of a successful call is a time; a failed one leaves nothing to report.
  if (status != NERR_Success || !info) return std::nullopt;
  DateTime t;
  t.year = static_cast<int>(info->tod_year);
  t.month = static_cast<int>(info->tod_month);
  t.day = static_cast<int>(info->tod_day);
  t.hour = static_cast<int>(info->tod_hours);
  t.minute = static_cast<int>(info->tod_mins);
  t.second = static_cast<int>(info->tod_secs);
  return t;
}

std::optional<std::string> Win32Network::HostName() {
  WinsockSession winsock;
  if (!winsock.Started()) return std::nullopt;
  char name[256] = {};  // DNS host names have up to 63 characters per label; room for a whole one
  if (gethostname(name, static_cast<int>(sizeof name - 1)) != 0) return std::nullopt;
  return win32::AnsiToUtf8(std::string_view(name, strnlen(name, sizeof name)));
}

HostLookup Win32Network::ResolveHost(const std::string& name) {
  HostLookup result;
  WinsockSession winsock;
  if (!winsock.Started()) {
    result.status = HostLookup::Status::StartupFailed;
    return result;
  }
  std::string ansiName = win32::Utf8ToAnsi(name);
  const hostent* host = gethostbyname(ansiName.c_str());
  result.status = HostLookup::Status::NotFound;
  if (!host || host->h_addrtype != AF_INET || host->h_length != 4 || !host->h_addr_list ||
      !host->h_addr_list[0])
    return result;
  std::memcpy(result.address, host->h_addr_list[0], 4);
  result.status = HostLookup::Status::Ok;
  return result;
}

ShareEnumResult Win32Network::EnumShares(const std::string& container, const std::string& provider) {
  ShareEnumResult result;
  std::wstring wideContainer = Widen(container);  // NETRESOURCEW takes writable texts
  std::wstring wideProvider = Widen(provider);
  NETRESOURCEW resource{};
  resource.dwScope = RESOURCE_GLOBALNET;
  resource.dwType = RESOURCETYPE_DISK;
  resource.dwUsage = RESOURCEUSAGE_CONTAINER;
  resource.lpRemoteName = wideContainer.empty() ? nullptr : wideContainer.data();
  resource.lpProvider = wideProvider.empty() ? nullptr : wideProvider.data();

  HANDLE raw = nullptr;
  DWORD rc = WNetOpenEnumW(RESOURCE_GLOBALNET, RESOURCETYPE_DISK, 0, &resource, &raw);
  if (rc != NO_ERROR) {
    result.status =
        rc == ERROR_NO_NETWORK ? ShareEnumResult::Status::NoNetwork : ShareEnumResult::Status::OpenError;
    result.error = rc;
    return result;
  }
  UniqueEnum enumeration(raw);

  // One request into a buffer of 3200 bytes: what does not fit is not listed.
  constexpr DWORD kBufferBytes = 3200;
  std::vector<uint64_t> buffer(kBufferBytes / sizeof(uint64_t));  // aligned for the records
  DWORD count = static_cast<DWORD>(-1);
  DWORD size = kBufferBytes;
  rc = WNetEnumResourceW(enumeration.get(), &count, buffer.data(), &size);
  if (rc == NO_ERROR) {
    result.status = ShareEnumResult::Status::Ok;
    const auto* resources = reinterpret_cast<const NETRESOURCEW*>(buffer.data());
    for (DWORD i = 0; i < count; ++i) result.names.push_back(NarrowZ(resources[i].lpRemoteName));
  } else if (rc == ERROR_NO_MORE_ITEMS) {
    result.status = ShareEnumResult::Status::NoMoreItems;
  } else {
    result.status = ShareEnumResult::Status::EnumError;
    result.error = rc;
  }
  return result;
}

DialUpList Win32Network::DialUpEntries() {
  DialUpList list;
  win32::UniqueModule ras = win32::LoadLibraryByName(L"rasapi32.dll");
  if (!ras) {
    list.status = DialUpList::Status::LibraryMissing;
    return list;
  }
  auto enumEntries = win32::FindExport<RasEnumEntriesFn>(ras.get(), "RasEnumEntriesA");
  if (!enumEntries) {
    list.status = DialUpList::Status::FunctionMissing;
    return list;
  }
  auto getParams = win32::FindExport<RasGetEntryDialParamsFn>(ras.get(), "RasGetEntryDialParamsA");

  std::vector<RasEntryNameRecord> entries(kRasEntryCapacity);
  entries[0].size = sizeof(RasEntryNameRecord);
  DWORD bytes = static_cast<DWORD>(entries.size() * sizeof(RasEntryNameRecord));
  DWORD count = 0;
  if (enumEntries(nullptr, nullptr, entries.data(), &bytes, &count) != 0) {
    list.status = DialUpList::Status::EnumFailed;
    return list;
  }
  if (count > kRasEntryCapacity) count = kRasEntryCapacity;
  for (DWORD i = 0; i < count; ++i) {
    const char* entryName = entries[i].entryName;
    DialUpEntry entry;
    entry.name = AnsiField(entryName, kRasEntryNameChars);
    // The record takes the name as the library gave it, not a re-encoded copy.
    std::string ansiName(entryName, strnlen(entryName, kRasEntryNameChars));
    entry.user = DialUpUser(getParams, ansiName.c_str());
    list.entries.push_back(std::move(entry));
  }
  list.status = DialUpList::Status::Ok;
  return list;
}

}  // namespace orv
