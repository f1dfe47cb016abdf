// e2ehelper.exe: the end-to-end tests' eyes and hands inside Wine.
//
// It runs in the same prefix and on the same display as qumbel.exe and looks at that program's
// windows from outside, the way a person would:
//
//   e2ehelper boxes                        visible dialog boxes (class "#32770"): title, texts, buttons
//   e2ehelper press <id>                   clicks a button of the topmost visible dialog box
//   e2ehelper text <title> [class [n]]     text of a top-level window, or of its n-th child control
//                                          of that class (e.g. "Edit": the text screen)
//   e2ehelper windows [title]              top-level windows, or a window's child controls: class,
//                                          id, visible, topmost, text (a window's title)
//   e2ehelper close <title>                asks a top-level window to close (WM_CLOSE)
//   e2ehelper settext <title> <class> <n> <text>   sets the text of a child control (WM_SETTEXT)
//   e2ehelper grid <title>                 the list view (table screen) of a window: a line
//                                          {"columns":[...]} and then one JSON array per row
//
// Output is UTF-8, one JSON object per line (except "text", which prints the plain text). Texts are
// read with SendMessageTimeoutW(WM_GETTEXT), which crosses process boundaries (GetWindowText does
// not for other processes' controls). Exit code: 0 done, 1 nothing found, 2 usage error.
//
// Menus belong to their process under Wine and cannot be walked from here; the tests drive menus
// with access keys through xdotool.

#include <windows.h>
// After windows.h, which it needs.
#include <commctrl.h>

#include <algorithm>
#include <cwchar>
#include <memory>
#include <string>
#include <vector>

namespace {

constexpr UINT kTimeoutMs = 2000;

void Write(DWORD stream, const std::string& s) {
  DWORD written = 0;
  WriteFile(GetStdHandle(stream), s.data(), static_cast<DWORD>(s.size()), &written, nullptr);
}

int Fail(const std::string& why) {
  Write(STD_ERROR_HANDLE, why + "\n");
  return 1;
}

std::string Utf8(const std::wstring& w) {
  int n = WideCharToMultiByte(CP_UTF8, 0, w.data(), static_cast<int>(w.size()), nullptr, 0, nullptr, nullptr);
  std::string s(static_cast<size_t>(n), '\0');
  WideCharToMultiByte(CP_UTF8, 0, w.data(), static_cast<int>(w.size()), s.data(), n, nullptr, nullptr);
  return s;
}

std::string Json(const std::wstring& w) {
  std::string out = "\"";
  for (unsigned char c : Utf8(w)) {
    if (c == '"' || c == '\\') out += '\\';
    char escaped[8] = {static_cast<char>(c), '\0'};
    if (c < 0x20) wsprintfA(escaped, "\\u%04x", c);  // only control characters need formatting
    out += escaped;
  }
  return out + "\"";
}

// ,"name":true or false
std::string Flag(const char* name, bool on) { return std::string(",\"") + name + "\":" + (on ? "true" : "false"); }

std::string Topmost(HWND h) { return Flag("topmost", GetWindowLongPtrW(h, GWL_EXSTYLE) & WS_EX_TOPMOST); }

// The text of a window of any process; empty when it does not answer in time.
std::wstring TextOf(HWND h) {
  DWORD_PTR len = 0;
  if (!SendMessageTimeoutW(h, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, kTimeoutMs, &len)) return {};
  std::vector<wchar_t> buf(len + 2, L'\0');
  if (!SendMessageTimeoutW(h, WM_GETTEXT, buf.size(), reinterpret_cast<LPARAM>(buf.data()), SMTO_ABORTIFHUNG,
                           kTimeoutMs, &len))
    return {};
  return buf.data();
}

std::wstring ClassOf(HWND h) {
  wchar_t buf[256] = {};
  GetClassNameW(h, buf, 255);
  return buf;
}

bool HasClass(HWND h, const wchar_t* cls) { return _wcsicmp(ClassOf(h).c_str(), cls) == 0; }

// The top-level windows in Z order from the top (parent null), or the descendants of a window.
std::vector<HWND> Windows(HWND parent = nullptr) {
  std::vector<HWND> all;
  auto add = [](HWND h, LPARAM p) -> BOOL {
    reinterpret_cast<std::vector<HWND>*>(p)->push_back(h);
    return TRUE;
  };
  parent ? EnumChildWindows(parent, add, reinterpret_cast<LPARAM>(&all))
         : EnumWindows(add, reinterpret_cast<LPARAM>(&all));
  return all;
}

std::vector<HWND> VisibleBoxes() {
  std::vector<HWND> boxes;
  for (HWND h : Windows())
    if (IsWindowVisible(h) && HasClass(h, L"#32770")) boxes.push_back(h);
  return boxes;
}

// A visible top-level window with exactly this title; falls back to a hidden one.
HWND FindTopLevel(const std::wstring& title) {
  HWND hidden = nullptr;
  for (HWND h : Windows()) {
    if (TextOf(h) != title) continue;
    if (IsWindowVisible(h)) return h;
    if (!hidden) hidden = h;
  }
  return hidden;
}

// The index-th child control of a class.
HWND NthChild(HWND w, const std::wstring& cls, int index) {
  for (HWND c : Windows(w))
    if (HasClass(c, cls.c_str()) && index-- == 0) return c;
  return nullptr;
}

int CmdBoxes() {
  for (HWND box : VisibleBoxes()) {
    std::string texts, buttons;
    for (HWND c : Windows(box)) {
      if (GetParent(c) != box) continue;
      std::wstring t = TextOf(c);
      if (HasClass(c, L"Static") && !t.empty())  // an empty one is the icon
        texts += (texts.empty() ? "" : ",") + Json(t);
      else if (HasClass(c, L"Button") && IsWindowVisible(c))
        buttons += (buttons.empty() ? "{\"id\":" : ",{\"id\":") + std::to_string(GetDlgCtrlID(c)) +
                   ",\"caption\":" + Json(t) + "}";
    }
    Write(STD_OUTPUT_HANDLE, "{\"hwnd\":\"" + std::to_string(reinterpret_cast<UINT_PTR>(box)) + "\",\"title\":" +
                                 Json(TextOf(box)) + Topmost(box) + ",\"texts\":[" + texts + "],\"buttons\":[" +
                                 buttons + "]}\n");
  }
  return 0;
}

// The standard ids (IDOK, IDYES ...) whatever the captions' language.
int CmdPress(int id) {
  std::vector<HWND> boxes = VisibleBoxes();
  HWND button = boxes.empty() ? nullptr : GetDlgItem(boxes.front(), id);
  if (!button) return Fail("no visible dialog box with button " + std::to_string(id));
  PostMessageW(boxes.front(), WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(button));
  return 0;
}

// Top-level windows (parent null) or a window's child controls.
int CmdWindows(HWND parent) {
  for (HWND h : Windows(parent))
    Write(STD_OUTPUT_HANDLE, "{\"class\":" + Json(ClassOf(h)) + ",\"id\":" + std::to_string(GetDlgCtrlID(h)) +
                                 Flag("visible", IsWindowVisible(h)) + Topmost(h) + ",\"text\":" + Json(TextOf(h)) +
                                 "}\n");
  return 0;
}

// The texts of a list view's cells and columns. The list view messages carry pointers that are
// not marshalled between processes, so the item struct and its text buffer are put into the list
// view's own process (VirtualAllocEx) and read back from there.
struct CloseProcess {
  void operator()(HANDLE process) const { CloseHandle(process); }
};
struct FreeRemoteMemory {
  HANDLE process;
  void operator()(char* memory) const { VirtualFreeEx(process, memory, 0, MEM_RELEASE); }
};

int CmdGrid(HWND w) {
  HWND lv = NthChild(w, WC_LISTVIEWW, 0);
  if (!lv) return Fail("no list view");
  constexpr size_t kChars = 4096, kTextAt = 1024;  // room for the item struct before the text
  DWORD pid = 0;
  GetWindowThreadProcessId(lv, &pid);
  const std::unique_ptr<void, CloseProcess> owner(
      OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, pid));
  if (!owner) return Fail("cannot reach the list view's process");
  HANDLE process = owner.get();
  const std::unique_ptr<char, FreeRemoteMemory> remote(
      static_cast<char*>(VirtualAllocEx(process, nullptr, kTextAt + (kChars + 1) * sizeof(wchar_t),
                                        MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE)),
      FreeRemoteMemory{process});
  if (!remote) return Fail("cannot reach the list view's process");
  char* memory = remote.get();
  auto send = [](HWND to, UINT message, WPARAM wp, LPARAM lp) {
    DWORD_PTR result = 0;
    SendMessageTimeoutW(to, message, wp, lp, SMTO_ABORTIFHUNG, kTimeoutMs, &result);
    return result;
  };
  // LVM_GETITEMTEXTW with an LVITEMW, LVM_GETCOLUMNW with an LVCOLUMNW: the text as JSON.
  auto text = [&](UINT message, WPARAM wp, auto item) {
    std::vector<wchar_t> buf(kChars + 1, L'\0');
    item.pszText = reinterpret_cast<LPWSTR>(memory + kTextAt);
    item.cchTextMax = kChars;
    const bool written = WriteProcessMemory(process, memory, &item, sizeof item, nullptr) &&
                         WriteProcessMemory(process, memory + kTextAt, buf.data(), sizeof(wchar_t), nullptr);
    if (written) send(lv, message, wp, reinterpret_cast<LPARAM>(memory));
    if (!written ||
        !ReadProcessMemory(process, memory + kTextAt, buf.data(), kChars * sizeof(wchar_t), nullptr))
      return Json({});
    return Json(buf.data());
  };
  HWND header = reinterpret_cast<HWND>(send(lv, LVM_GETHEADER, 0, 0));
  const auto columns = static_cast<int>(header ? send(header, HDM_GETITEMCOUNT, 0, 0) : 0);
  LVCOLUMNW column{};
  column.mask = LVCF_TEXT;
  std::string line = "{\"columns\":[";
  for (int c = 0; c < columns; ++c) line += (c ? "," : "") + text(LVM_GETCOLUMNW, c, column);
  Write(STD_OUTPUT_HANDLE, line + "]}\n");
  LVITEMW item{};
  for (int r = 0; r < static_cast<int>(send(lv, LVM_GETITEMCOUNT, 0, 0)); ++r) {
    line = "[";
    for (item.iSubItem = 0; item.iSubItem < std::max(columns, 1); ++item.iSubItem)
      line += (item.iSubItem ? "," : "") + text(LVM_GETITEMTEXTW, r, item);
    Write(STD_OUTPUT_HANDLE, line + "]\n");
  }
  return 0;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  const std::wstring cmd = argc > 1 ? argv[1] : L"";
  if (cmd == L"boxes" && argc == 2) return CmdBoxes();
  if (cmd == L"windows" && argc == 2) return CmdWindows(nullptr);
  if (cmd == L"press" && argc == 3) return CmdPress(_wtoi(argv[2]));
  const bool titled = (cmd == L"text" && argc <= 5) || (cmd == L"grid" && argc == 3) ||
                      ((cmd == L"windows" || cmd == L"close") && argc == 3) || (cmd == L"settext" && argc == 6);
  if (!titled || argc < 3) {
    Write(STD_ERROR_HANDLE, "usage: e2ehelper boxes | windows [title] | press <id> | text <title> [class [n]] |"
                            " close <title> | grid <title> | settext <title> <class> <n> <text>\n");
    return 2;
  }
  HWND w = FindTopLevel(argv[2]);
  if (!w) return Fail("no window titled " + Utf8(argv[2]));
  if (cmd == L"windows") return CmdWindows(w);
  if (cmd == L"grid") return CmdGrid(w);
  if (cmd == L"close") return PostMessageW(w, WM_CLOSE, 0, 0) ? 0 : 1;
  HWND control = argc >= 4 ? NthChild(w, argv[3], argc >= 5 ? _wtoi(argv[4]) : 0) : w;
  if (!control) return Fail("no control of class " + Utf8(argv[3]));
  if (cmd == L"text") {
    Write(STD_OUTPUT_HANDLE, Utf8(TextOf(control)));
    return 0;
  }
  DWORD_PTR done = 0;  // settext
  SendMessageTimeoutW(control, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(argv[5]), SMTO_ABORTIFHUNG, kTimeoutMs, &done);
  return done ? 0 : 1;
}
