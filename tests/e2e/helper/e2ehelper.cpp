// e2ehelper.exe: the end-to-end tests' eyes and hands inside Wine.
//
// It runs in the same prefix and on the same display as qumbel.exe and looks at that program's
// windows from outside, the way a person would:
//
//   e2ehelper boxes                        visible dialog boxes (class "#32770"): title, texts, buttons
//   e2ehelper press <button id|caption>    clicks a button of the topmost visible dialog box
//   e2ehelper text <title> [class [n]]     text of a top-level window, or of its n-th child control
//                                          of that class (e.g. "Edit": the text screen)
//   e2ehelper controls <title>             the child controls of a window: class, id, visibility, text
//   e2ehelper windows                      top-level windows: title, class, visible, process id
//   e2ehelper close <title>                asks a top-level window to close (WM_CLOSE)
//   e2ehelper grid <title> [n]             the n-th list view (table screen) of a window: a line
//                                          {"columns":[...]} and then one JSON array per row
//   e2ehelper settext <title> <class> <n> <text>   sets the text of a child control (WM_SETTEXT)
//
// Output is UTF-8, one JSON object per line (except "text", which prints the plain text). Texts are
// read with SendMessageTimeoutW(WM_GETTEXT), which crosses process boundaries (GetWindowText does
// not for other processes' controls). List view cells are read through a buffer allocated in the
// owning process (VirtualAllocEx), as the list view messages carry pointers that are not
// marshalled. Exit code: 0 done, 1 nothing found, 2 usage error.
//
// Menus belong to their process under Wine and cannot be walked from here; the tests drive menus
// with access keys through xdotool.

#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <cwchar>
#include <cwctype>
#include <string>
#include <vector>

namespace {

constexpr UINT kTimeoutMs = 2000;

void WriteOut(const std::string& s) {
  HANDLE h = GetStdHandle(STD_OUTPUT_HANDLE);
  DWORD written = 0;
  if (h != nullptr && h != INVALID_HANDLE_VALUE && !s.empty())
    WriteFile(h, s.data(), static_cast<DWORD>(s.size()), &written, nullptr);
}

void WriteErr(const std::string& s) {
  HANDLE h = GetStdHandle(STD_ERROR_HANDLE);
  DWORD written = 0;
  if (h != nullptr && h != INVALID_HANDLE_VALUE && !s.empty())
    WriteFile(h, s.data(), static_cast<DWORD>(s.size()), &written, nullptr);
}

std::string Utf8(const std::wstring& w) {
  if (w.empty()) return {};
  int n = WideCharToMultiByte(CP_UTF8, 0, w.data(), static_cast<int>(w.size()), nullptr, 0, nullptr, nullptr);
  std::string s(static_cast<size_t>(n), '\0');
  WideCharToMultiByte(CP_UTF8, 0, w.data(), static_cast<int>(w.size()), s.data(), n, nullptr, nullptr);
  return s;
}

std::string Json(const std::wstring& w) {
  std::string in = Utf8(w);
  std::string out = "\"";
  for (unsigned char c : in) {
    switch (c) {
      case '"': out += "\\\""; break;
      case '\\': out += "\\\\"; break;
      case '\n': out += "\\n"; break;
      case '\r': out += "\\r"; break;
      case '\t': out += "\\t"; break;
      default:
        if (c < 0x20) {
          char buf[8];
          wsprintfA(buf, "\\u%04x", c);
          out += buf;
        } else {
          out += static_cast<char>(c);
        }
    }
  }
  return out + "\"";
}

std::string Hwnd(HWND h) {
  unsigned long long v = reinterpret_cast<UINT_PTR>(h);
  std::string digits;
  do {
    digits.insert(digits.begin(), "0123456789abcdef"[v & 15]);
    v >>= 4;
  } while (v);
  return "\"0x" + digits + "\"";
}

// The text of a window of any process; empty when it does not answer in time.
std::wstring TextOf(HWND h) {
  DWORD_PTR len = 0;
  if (!SendMessageTimeoutW(h, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, kTimeoutMs, &len)) return {};
  std::vector<wchar_t> buf(len + 2, L'\0');
  DWORD_PTR got = 0;
  if (!SendMessageTimeoutW(h, WM_GETTEXT, buf.size(), reinterpret_cast<LPARAM>(buf.data()), SMTO_ABORTIFHUNG,
                           kTimeoutMs, &got))
    return {};
  if (got > len + 1) got = len + 1;
  return std::wstring(buf.data(), wcsnlen(buf.data(), got));
}

std::wstring ClassOf(HWND h) {
  wchar_t buf[256] = {};
  GetClassNameW(h, buf, 255);
  return buf;
}

bool SameClass(const std::wstring& a, const std::wstring& b) { return _wcsicmp(a.c_str(), b.c_str()) == 0; }

std::vector<HWND> TopLevelWindows() {
  std::vector<HWND> all;
  EnumWindows(
      [](HWND h, LPARAM p) -> BOOL {
        reinterpret_cast<std::vector<HWND>*>(p)->push_back(h);
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&all));
  return all;
}

std::vector<HWND> Children(HWND parent) {
  std::vector<HWND> all;
  EnumChildWindows(
      parent,
      [](HWND h, LPARAM p) -> BOOL {
        reinterpret_cast<std::vector<HWND>*>(p)->push_back(h);
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&all));
  return all;
}

// Visible dialog boxes, topmost first (EnumWindows walks the Z order from the top).
std::vector<HWND> VisibleBoxes() {
  std::vector<HWND> boxes;
  for (HWND h : TopLevelWindows())
    if (IsWindowVisible(h) && SameClass(ClassOf(h), L"#32770")) boxes.push_back(h);
  return boxes;
}

// A visible top-level window with exactly this title; falls back to a hidden one.
HWND FindTopLevel(const std::wstring& title) {
  HWND hidden = nullptr;
  for (HWND h : TopLevelWindows()) {
    if (TextOf(h) != title) continue;
    if (IsWindowVisible(h)) return h;
    if (!hidden) hidden = h;
  }
  return hidden;
}

// ",\"topmost\":true" or false: whether the window stays above the others.
std::string TopmostField(HWND h) {
  return std::string(",\"topmost\":") + ((GetWindowLongPtrW(h, GWL_EXSTYLE) & WS_EX_TOPMOST) ? "true" : "false");
}

DWORD ProcessOf(HWND h) {
  DWORD pid = 0;
  GetWindowThreadProcessId(h, &pid);
  return pid;
}

int CmdBoxes() {
  for (HWND box : VisibleBoxes()) {
    std::string line = "{\"hwnd\":" + Hwnd(box) + ",\"pid\":" + std::to_string(ProcessOf(box)) +
                       ",\"title\":" + Json(TextOf(box)) + TopmostField(box) + ",\"texts\":[";
    std::string buttons;
    bool firstText = true;
    bool firstButton = true;
    for (HWND c : Children(box)) {
      if (GetParent(c) != box) continue;
      std::wstring cls = ClassOf(c);
      if (SameClass(cls, L"Static")) {
        std::wstring t = TextOf(c);
        if (t.empty()) continue;  // the icon
        line += (firstText ? "" : ",") + Json(t);
        firstText = false;
      } else if (SameClass(cls, L"Button") && IsWindowVisible(c)) {
        buttons += std::string(firstButton ? "" : ",") + "{\"id\":" + std::to_string(GetDlgCtrlID(c)) +
                   ",\"caption\":" + Json(TextOf(c)) + "}";
        firstButton = false;
      }
    }
    line += "],\"buttons\":[" + buttons + "]}\n";
    WriteOut(line);
  }
  return 0;
}

std::wstring WithoutAmpersands(const std::wstring& s) {
  std::wstring out;
  for (wchar_t c : s)
    if (c != L'&') out += static_cast<wchar_t>(std::towlower(c));
  // "キャンセル(&C)" style captions: drop a trailing "(x)" access-key part.
  if (out.size() >= 3 && out.back() == L')' && out[out.size() - 3] == L'(') out.resize(out.size() - 3);
  return out;
}

int StandardId(const std::wstring& name) {
  static const struct {
    const wchar_t* name;
    int id;
  } ids[] = {{L"ok", IDOK},       {L"cancel", IDCANCEL}, {L"abort", IDABORT}, {L"retry", IDRETRY},
             {L"ignore", IDIGNORE}, {L"yes", IDYES},       {L"no", IDNO},       {L"close", IDCLOSE}};
  for (const auto& e : ids)
    if (_wcsicmp(e.name, name.c_str()) == 0) return e.id;
  return 0;
}

int CmdPress(const std::wstring& which) {
  std::vector<HWND> boxes = VisibleBoxes();
  if (boxes.empty()) {
    WriteErr("no visible dialog box\n");
    return 1;
  }
  HWND box = boxes.front();
  int id = 0;
  HWND button = nullptr;
  bool numeric = !which.empty();
  for (wchar_t c : which) numeric = numeric && c >= L'0' && c <= L'9';
  if (numeric) id = _wtoi(which.c_str());
  for (HWND c : Children(box)) {
    if (GetParent(c) != box || !SameClass(ClassOf(c), L"Button")) continue;
    int cid = GetDlgCtrlID(c);
    if (numeric ? cid == id : WithoutAmpersands(TextOf(c)) == WithoutAmpersands(which)) {
      id = cid;
      button = c;
      break;
    }
  }
  if (!button && !numeric) {
    // "ok", "cancel", "yes", "no" ... name the standard ids whatever the captions' language.
    id = StandardId(which);
    if (id != 0) button = GetDlgItem(box, id);
  }
  if (!button) {
    WriteErr("no such button: " + Utf8(which) + "\n");
    return 1;
  }
  PostMessageW(box, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(button));
  WriteOut("{\"hwnd\":" + Hwnd(box) + ",\"pressed\":" + std::to_string(id) + "}\n");
  return 0;
}

int CmdText(const std::wstring& title, const std::wstring& cls, int index) {
  HWND w = FindTopLevel(title);
  if (!w) {
    WriteErr("no window titled " + Utf8(title) + "\n");
    return 1;
  }
  if (cls.empty()) {
    WriteOut(Utf8(TextOf(w)));
    return 0;
  }
  int n = 0;
  for (HWND c : Children(w)) {
    if (!SameClass(ClassOf(c), cls)) continue;
    if (n++ == index) {
      WriteOut(Utf8(TextOf(c)));
      return 0;
    }
  }
  WriteErr("no control of class " + Utf8(cls) + "\n");
  return 1;
}

int CmdControls(const std::wstring& title) {
  HWND w = FindTopLevel(title);
  if (!w) {
    WriteErr("no window titled " + Utf8(title) + "\n");
    return 1;
  }
  for (HWND c : Children(w)) {
    WriteOut("{\"hwnd\":" + Hwnd(c) + ",\"parent\":" + Hwnd(GetParent(c)) + ",\"class\":" + Json(ClassOf(c)) +
             ",\"id\":" + std::to_string(GetDlgCtrlID(c)) +
             ",\"visible\":" + (IsWindowVisible(c) ? "true" : "false") + ",\"text\":" + Json(TextOf(c)) + "}\n");
  }
  return 0;
}

int CmdWindows() {
  for (HWND h : TopLevelWindows()) {
    WriteOut("{\"hwnd\":" + Hwnd(h) + ",\"pid\":" + std::to_string(ProcessOf(h)) + ",\"title\":" + Json(TextOf(h)) +
             ",\"class\":" + Json(ClassOf(h)) + ",\"visible\":" + (IsWindowVisible(h) ? "true" : "false") +
             TopmostField(h) + "}\n");
  }
  return 0;
}

int CmdClose(const std::wstring& title) {
  HWND w = FindTopLevel(title);
  if (!w) {
    WriteErr("no window titled " + Utf8(title) + "\n");
    return 1;
  }
  PostMessageW(w, WM_CLOSE, 0, 0);
  return 0;
}

// A buffer in another process's memory, freed at the end.
class RemoteBuffer {
 public:
  RemoteBuffer(DWORD pid, size_t size)
      : process_(OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE | PROCESS_QUERY_INFORMATION,
                             FALSE, pid)),
        size_(size) {
    if (process_) memory_ = VirtualAllocEx(process_, nullptr, size, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
  }
  ~RemoteBuffer() {
    if (memory_) VirtualFreeEx(process_, memory_, 0, MEM_RELEASE);
    if (process_) CloseHandle(process_);
  }
  RemoteBuffer(const RemoteBuffer&) = delete;
  RemoteBuffer& operator=(const RemoteBuffer&) = delete;

  bool ok() const { return memory_ != nullptr; }
  char* at(size_t offset) const { return static_cast<char*>(memory_) + offset; }
  bool Write(size_t offset, const void* data, size_t n) const {
    return offset + n <= size_ && WriteProcessMemory(process_, at(offset), data, n, nullptr);
  }
  bool Read(size_t offset, void* data, size_t n) const {
    return offset + n <= size_ && ReadProcessMemory(process_, at(offset), data, n, nullptr);
  }

 private:
  HANDLE process_;
  void* memory_ = nullptr;
  size_t size_;
};

constexpr int kCellChars = 4096;

// Reads the text the message put into the remote text buffer (the item struct comes first).
std::wstring RemoteText(const RemoteBuffer& remote, size_t textOffset) {
  std::vector<wchar_t> buf(kCellChars + 1, L'\0');
  if (!remote.Read(textOffset, buf.data(), kCellChars * sizeof(wchar_t))) return {};
  return std::wstring(buf.data(), wcsnlen(buf.data(), kCellChars));
}

std::wstring ListViewCell(HWND lv, const RemoteBuffer& remote, int item, int sub) {
  const size_t textOffset = 1024;  // room for the item struct
  LVITEMW it{};
  it.mask = LVIF_TEXT;
  it.iItem = item;
  it.iSubItem = sub;
  it.cchTextMax = kCellChars;
  it.pszText = reinterpret_cast<LPWSTR>(remote.at(textOffset));
  wchar_t zero = 0;
  remote.Write(textOffset, &zero, sizeof zero);
  if (!remote.Write(0, &it, sizeof it)) return {};
  DWORD_PTR len = 0;
  if (!SendMessageTimeoutW(lv, LVM_GETITEMTEXTW, item, reinterpret_cast<LPARAM>(remote.at(0)), SMTO_ABORTIFHUNG,
                           kTimeoutMs, &len))
    return {};
  return RemoteText(remote, textOffset);
}

std::wstring ListViewColumn(HWND lv, const RemoteBuffer& remote, int column) {
  const size_t textOffset = 1024;
  LVCOLUMNW col{};
  col.mask = LVCF_TEXT;
  col.cchTextMax = kCellChars;
  col.pszText = reinterpret_cast<LPWSTR>(remote.at(textOffset));
  wchar_t zero = 0;
  remote.Write(textOffset, &zero, sizeof zero);
  if (!remote.Write(0, &col, sizeof col)) return {};
  DWORD_PTR ok = 0;
  if (!SendMessageTimeoutW(lv, LVM_GETCOLUMNW, column, reinterpret_cast<LPARAM>(remote.at(0)), SMTO_ABORTIFHUNG,
                           kTimeoutMs, &ok) ||
      !ok)
    return {};
  return RemoteText(remote, textOffset);
}

int CmdGrid(const std::wstring& title, int index) {
  HWND w = FindTopLevel(title);
  if (!w) {
    WriteErr("no window titled " + Utf8(title) + "\n");
    return 1;
  }
  HWND lv = nullptr;
  int n = 0;
  for (HWND c : Children(w))
    if (SameClass(ClassOf(c), WC_LISTVIEWW) && n++ == index) {
      lv = c;
      break;
    }
  if (!lv) {
    WriteErr("no list view\n");
    return 1;
  }
  RemoteBuffer remote(ProcessOf(lv), 1024 + (kCellChars + 1) * sizeof(wchar_t));
  if (!remote.ok()) {
    WriteErr("cannot reach the list view's process\n");
    return 1;
  }
  DWORD_PTR header = 0, columns = 0, rows = 0;
  SendMessageTimeoutW(lv, LVM_GETHEADER, 0, 0, SMTO_ABORTIFHUNG, kTimeoutMs, &header);
  if (header)
    SendMessageTimeoutW(reinterpret_cast<HWND>(header), HDM_GETITEMCOUNT, 0, 0, SMTO_ABORTIFHUNG, kTimeoutMs,
                        &columns);
  SendMessageTimeoutW(lv, LVM_GETITEMCOUNT, 0, 0, SMTO_ABORTIFHUNG, kTimeoutMs, &rows);
  const int columnCount = static_cast<int>(static_cast<INT_PTR>(columns) < 0 ? 0 : columns);
  std::string line = "{\"visible\":" + std::string(IsWindowVisible(lv) ? "true" : "false") + ",\"columns\":[";
  for (int c = 0; c < columnCount; ++c) line += (c ? "," : "") + Json(ListViewColumn(lv, remote, c));
  WriteOut(line + "]}\n");
  for (int r = 0; r < static_cast<int>(rows); ++r) {
    line = "[";
    for (int c = 0; c < std::max(columnCount, 1); ++c) line += (c ? "," : "") + Json(ListViewCell(lv, remote, r, c));
    WriteOut(line + "]\n");
  }
  return 0;
}

int CmdSetText(const std::wstring& title, const std::wstring& cls, int index, const std::wstring& text) {
  HWND w = FindTopLevel(title);
  if (!w) {
    WriteErr("no window titled " + Utf8(title) + "\n");
    return 1;
  }
  int n = 0;
  for (HWND c : Children(w)) {
    if (!SameClass(ClassOf(c), cls) || n++ != index) continue;
    DWORD_PTR r = 0;
    return SendMessageTimeoutW(c, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()), SMTO_ABORTIFHUNG, kTimeoutMs,
                               &r) && r
               ? 0
               : 1;
  }
  WriteErr("no control of class " + Utf8(cls) + "\n");
  return 1;
}

int Usage() {
  WriteErr(
      "usage: e2ehelper boxes | press <button id|caption> | text <title> [class [n]] | controls <title> |"
      " windows | close <title> | grid <title> [n] | settext <title> <class> <n> <text>\n");
  return 2;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc < 2) return Usage();
  std::wstring cmd = argv[1];
  if (cmd == L"boxes" && argc == 2) return CmdBoxes();
  if (cmd == L"press" && argc == 3) return CmdPress(argv[2]);
  if (cmd == L"text" && argc >= 3 && argc <= 5)
    return CmdText(argv[2], argc >= 4 ? argv[3] : L"", argc == 5 ? _wtoi(argv[4]) : 0);
  if (cmd == L"controls" && argc == 3) return CmdControls(argv[2]);
  if (cmd == L"windows" && argc == 2) return CmdWindows();
  if (cmd == L"close" && argc == 3) return CmdClose(argv[2]);
  if (cmd == L"grid" && (argc == 3 || argc == 4)) return CmdGrid(argv[2], argc == 4 ? _wtoi(argv[3]) : 0);
  if (cmd == L"settext" && argc == 6) return CmdSetText(argv[2], argv[3], _wtoi(argv[4]), argv[5]);
  return Usage();
}
