#include "platform/win32/win32_update_history.h"

#include "platform/win32/com_handles.h"
#include "platform/win32/wide.h"

#include <wuapi.h>

#include <condition_variable>
#include <memory>
#include <mutex>
#include <thread>

namespace orv::win32 {

namespace {

// {4CB43D7F-7EEE-4906-8698-60DA1C38F2FE}: the agent's UpdateSession class.
constexpr CLSID kClsidUpdateSession = {0x4cb43d7f, 0x7eee, 0x4906, {0x86, 0x98, 0x60, 0xda, 0x1c, 0x38, 0xf2, 0xfe}};
// The history lists the newest entries first; a PC that has run for years holds thousands
// (a definition update a day), and what the record shows is near the top.
constexpr LONG kMaxEntries = 1000;

// One history read, shared by the thread that asks the agent and the caller that waits for it:
// when the caller gives up, the thread finishes on its own and the last owner frees it.
struct Reading {
  std::mutex mutex;
  std::condition_variable done;
  bool finished = false;
  std::optional<std::vector<HistoryUpdate>> result;
};

std::optional<DateTime> FromVariantDate(DATE date) {
  SYSTEMTIME st{};
  if (!VariantTimeToSystemTime(date, &st)) return std::nullopt;
  DateTime t;
  t.year = st.wYear;
  t.month = st.wMonth;
  t.day = st.wDay;
  t.hour = st.wHour;
  t.minute = st.wMinute;
  t.second = st.wSecond;
  return t;
}

std::optional<std::vector<HistoryUpdate>> AskAgent() {
  ComPtr<IUpdateSession> session;
  if (FAILED(CoCreateInstance(kClsidUpdateSession, nullptr, CLSCTX_INPROC_SERVER, __uuidof(IUpdateSession),
                              reinterpret_cast<void**>(session.Out()))))
    return std::nullopt;
  ComPtr<IUpdateSearcher> searcher;
  if (FAILED(session->CreateUpdateSearcher(searcher.Out()))) return std::nullopt;
  LONG total = 0;
  if (FAILED(searcher->GetTotalHistoryCount(&total)) || total < 0) return std::nullopt;
  std::vector<HistoryUpdate> updates;
  if (total == 0) return updates;
  ComPtr<IUpdateHistoryEntryCollection> entries;
  if (FAILED(searcher->QueryHistory(0, total < kMaxEntries ? total : kMaxEntries, entries.Out())))
    return std::nullopt;
  LONG count = 0;
  if (FAILED(entries->get_Count(&count))) return std::nullopt;
  for (LONG i = 0; i < count; ++i) {
    ComPtr<IUpdateHistoryEntry> entry;
    if (FAILED(entries->get_Item(i, entry.Out()))) continue;
    UpdateOperation operation{};
    OperationResultCode resultCode{};
    DATE date = 0;
    Bstr title;
    if (FAILED(entry->get_Operation(&operation)) || operation != uoInstallation) continue;
    // Installed, also when the agent noted errors beside it; failed and aborted ones are not.
    if (FAILED(entry->get_ResultCode(&resultCode)) ||
        (resultCode != orcSucceeded && resultCode != orcSucceededWithErrors))
      continue;
    if (FAILED(entry->get_Date(&date)) || FAILED(entry->get_Title(title.Out())) || !title.Get()) continue;
    auto installed = FromVariantDate(date);
    if (!installed) continue;
    updates.push_back({*installed, Narrow(std::wstring_view(title.Get(), SysStringLen(title.Get())))});
  }
  return updates;
}

}  // namespace

std::optional<std::vector<HistoryUpdate>> Win32UpdateHistory::InstalledUpdates(std::chrono::milliseconds timeLimit) {
  if (timeLimit <= std::chrono::milliseconds::zero()) return std::nullopt;
  // QueryHistory has no time limit of its own and reads the agent's database, which can take
  // seconds or hang while the agent is busy. It is asked on a thread of its own (in the
  // multi-threaded apartment, where the agent's objects need no message loop) and waited for at
  // most timeLimit; a reading that is late is left to end by itself.
  auto reading = std::make_shared<Reading>();
  try {
    std::thread([reading] {
      HRESULT init = CoInitializeEx(nullptr, COINIT_MULTITHREADED);
      std::optional<std::vector<HistoryUpdate>> result;
      if (SUCCEEDED(init)) {
        result = AskAgent();
        CoUninitialize();
      }
      std::lock_guard<std::mutex> lock(reading->mutex);
      reading->result = std::move(result);
      reading->finished = true;
      reading->done.notify_all();
    }).detach();
  } catch (const std::system_error&) {
    return std::nullopt;  // no thread could be made
  }
  std::unique_lock<std::mutex> lock(reading->mutex);
  if (!reading->done.wait_for(lock, timeLimit, [&] { return reading->finished; })) return std::nullopt;
  return std::move(reading->result);
}

}  // namespace orv::win32
