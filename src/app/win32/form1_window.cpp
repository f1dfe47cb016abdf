#include "app/win32/form1_window.h"

#include <algorithm>
#include <exception>

#include "util/text.h"

namespace orv::win32 {

namespace {

constexpr wchar_t kFormClass[] = L"TForm1";
constexpr wchar_t kPanelClass[] = L"TPanel";

constexpr int kMemo1Id = 101;
constexpr int kGrid1Id = 102;
constexpr int kPanel1Id = 103;
constexpr int kProgressBar1Id = 104;
constexpr int kStatusBar1Id = 105;
constexpr int kProgressBarHeight = 16;

HMENU ControlId(int id) { return reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)); }

bool RegisterWindowClass(HINSTANCE instance, const wchar_t* name, WNDPROC proc) {
  WNDCLASSEXW wc{};
  if (GetClassInfoExW(instance, name, &wc)) return true;
  wc.cbSize = sizeof(wc);
  wc.style = CS_HREDRAW | CS_VREDRAW;
  wc.lpfnWndProc = proc;
  wc.hInstance = instance;
  wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  wc.hIcon = LoadIconW(nullptr, IDI_APPLICATION);
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  wc.lpszClassName = name;
  return RegisterClassExW(&wc) != 0;
}

// Panel1 is a plain container for the graph screen; what it holds forwards its notifications to
// the main window.
LRESULT CALLBACK PanelProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    case WM_COMMAND:
    case WM_NOTIFY:
    case WM_CTLCOLORSTATIC:
      return SendMessageW(GetParent(hwnd), msg, wParam, lParam);
    default:
      return DefWindowProcW(hwnd, msg, wParam, lParam);
  }
}

void SetFont(HWND control, HFONT font) {
  if (control && font) SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
}

void SetVisible(HWND control, bool visible) {
  if (control && (IsWindowVisible(control) != FALSE) != visible) ShowWindow(control, visible ? SW_SHOWNA : SW_HIDE);
}

// Copies `text` into a notification's buffer of `capacity` characters, cut to fit.
void CopyToBuffer(const std::wstring& text, wchar_t* buffer, int capacity) {
  if (!buffer || capacity <= 0) return;
  size_t n = text.size() < static_cast<size_t>(capacity - 1) ? text.size() : static_cast<size_t>(capacity - 1);
  text.copy(buffer, n);
  buffer[n] = L'\0';
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// Creation

bool Form1Window::Create(HINSTANCE instance) {
  instance_ = instance;
  if (!RegisterWindowClass(instance, kFormClass, &Form1Window::WndProc)) return false;
  if (!RegisterWindowClass(instance, kPanelClass, &PanelProc)) return false;
  font_ = CreateUiFont(12);
  memoFont_ = CreateUiFont(16);

  POINT at = ScreenCentre(model_.width, model_.height);
  HWND h = CreateWindowExW(0, kFormClass, Widen(model_.caption).c_str(), WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN,
                           at.x, at.y, model_.width, model_.height, nullptr, nullptr, instance, this);
  // hwnd_ is set in WM_NCCREATE; a failed WM_CREATE destroys the window again.
  if (!h || hwnd_.Get() != h) return false;

  Render();
  Layout();
  model_.ProcessMessages = [this] { ProcessPaintMessages(); };
  return true;
}

void Form1Window::ProcessPaintMessages() {
  if (!hwnd_) return;
  Render();
  // Only paint and timer messages: no menu command, key or click is handled inside the running
  // command. A window that does not validate its update region would be offered WM_PAINT again
  // and again, hence the bound.
  MSG msg;
  for (int i = 0; i < 256 && PeekMessageW(&msg, nullptr, WM_PAINT, WM_PAINT, PM_REMOVE); ++i) DispatchMessageW(&msg);
  for (int i = 0; i < 256 && PeekMessageW(&msg, nullptr, WM_TIMER, WM_TIMER, PM_REMOVE); ++i) DispatchMessageW(&msg);
}

bool Form1Window::CreateControls() {
  HWND self = hwnd_.Get();
  timer1_.SetOwner(self);

  // Memo1: the text screen.
  memo1_.Reset(CreateWindowExW(WS_EX_CLIENTEDGE, L"EDIT", L"",
                               WS_CHILD | WS_VSCROLL | WS_HSCROLL | ES_MULTILINE | ES_AUTOVSCROLL | ES_AUTOHSCROLL |
                                   ES_WANTRETURN,
                               0, 0, 0, 0, self, ControlId(kMemo1Id), instance_, nullptr));
  if (!memo1_) return false;
  memoView_.SetControl(memo1_.Get());
  SetFont(memo1_.Get(), memoFont_.get());
  SendMessageW(memo1_.Get(), EM_SETLIMITTEXT, 0, 0);  // 0: as large as the control allows

  // StringGrid1: the table screen, a virtual report list. Row 0 of the grid is the header, the
  // other rows are the list's items; the cells are read from the model when an item is painted.
  grid1_.Reset(CreateWindowExW(WS_EX_CLIENTEDGE, WC_LISTVIEWW, L"",
                               WS_CHILD | WS_TABSTOP | LVS_REPORT | LVS_OWNERDATA | LVS_SHOWSELALWAYS |
                                   LVS_NOSORTHEADER | LVS_SHAREIMAGELISTS | LVS_SINGLESEL,
                               0, 0, 0, 0, self, ControlId(kGrid1Id), instance_, nullptr));
  if (!grid1_) return false;
  SetFont(grid1_.Get(), font_.get());
  ListView_SetExtendedListViewStyle(grid1_.Get(), LVS_EX_GRIDLINES | LVS_EX_FULLROWSELECT | LVS_EX_DOUBLEBUFFER);
  // A report list takes its row height from its small images: an empty list of one-pixel-wide
  // images of the grid's row height gives the rows that height.
  int rowHeight = model_.StringGrid1.defaultRowHeight > 0 ? model_.StringGrid1.defaultRowHeight : 16;
  rowHeightImages_.reset(ImageList_Create(1, rowHeight, ILC_COLOR, 1, 0));
  if (rowHeightImages_) ListView_SetImageList(grid1_.Get(), rowHeightImages_.get(), LVSIL_SMALL);

  // Panel1: the graph screen's container.
  panel1_.Reset(CreateWindowExW(0, kPanelClass, L"", WS_CHILD | WS_CLIPCHILDREN, 0, 0, 0, 0, self,
                                ControlId(kPanel1Id), instance_, nullptr));
  if (!panel1_) return false;
  SetFont(panel1_.Get(), font_.get());
  // The graph screen's controls are made when it first shows (an unattended run never needs them).

  progressBar1_.Reset(CreateWindowExW(0, PROGRESS_CLASSW, L"", WS_CHILD, 0, 0, 0, 0, self,
                                      ControlId(kProgressBar1Id), instance_, nullptr));
  if (!progressBar1_) return false;

  statusBar1_.Reset(CreateWindowExW(0, STATUSCLASSNAMEW, L"", WS_CHILD | WS_VISIBLE | SBARS_SIZEGRIP, 0, 0, 0, 0,
                                    self, ControlId(kStatusBar1Id), instance_, nullptr));
  if (!statusBar1_) return false;
  SetFont(statusBar1_.Get(), font_.get());
  SendMessageW(statusBar1_.Get(), SB_SIMPLE, TRUE, 0);
  return true;
}

void Form1Window::Show(int showCommand) {
  HWND self = hwnd_.Get();
  if (!self) return;
  ShowWindow(self, showCommand == SW_HIDE ? SW_SHOWNORMAL : showCommand);
  UpdateWindow(self);
}

// ---------------------------------------------------------------------------------------------
// Events

LRESULT CALLBACK Form1Window::WndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  Form1Window* self = nullptr;
  if (msg == WM_NCCREATE) {
    auto* cs = reinterpret_cast<CREATESTRUCTW*>(lParam);
    self = static_cast<Form1Window*>(cs->lpCreateParams);
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    if (self) self->hwnd_.Reset(hwnd);
  } else {
    self = reinterpret_cast<Form1Window*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  }
  if (!self) return DefWindowProcW(hwnd, msg, wParam, lParam);
  if (msg == WM_NCDESTROY) {
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
    self->hwnd_.Release();
    return DefWindowProcW(hwnd, msg, wParam, lParam);
  }
  return self->HandleMessage(msg, wParam, lParam);
}

LRESULT Form1Window::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
  HWND self = hwnd_.Get();
  switch (msg) {
    case WM_CREATE:
      return CreateControls() ? 0 : -1;

    case WM_COMMAND: {
      const UINT id = LOWORD(wParam);
      const UINT code = HIWORD(wParam);
      if (lParam == 0 && code == 0 && id >= kMenuCommandBase && id < kMenuCommandBase + kMenuCount) {
        const auto item = static_cast<MenuId>(id - kMenuCommandBase);
        RunHandler([this, item] { model_.OnMenu(item); });
        return 0;
      }
      if (id == kMemo1Id && code == EN_CHANGE && !memoView_.SettingText()) memoUserChanged_ = true;
      if (id == GraphPanelView::kComboBox1Id && code == CBN_SELCHANGE) {
        const int selected = graphView_.SelectedIndex();
        RunHandler([this, selected] {
          model_.Panel1.ComboBox1.itemIndex = selected;
          model_.ComboBox1Change();
        });
      }
      return 0;
    }

    case WM_NOTIFY:
      return OnNotify(reinterpret_cast<const NMHDR*>(lParam));

    case WM_TIMER:
      if (wParam != timer1_.Id()) break;
      // The model's timer decides: a tick that arrives after its handler disabled it (for example
      // while a message box of that handler is open) is dropped, and so is a tick during another
      // handler.
      if (!model_.Timer1.enabled) {
        timer1_.Stop();
        return 0;
      }
      if (handlerDepth_ > 0) return 0;
      RunHandler([this] { model_.Timer1Timer(); });
      return 0;

    case WM_CTLCOLORSTATIC:
      // A read-only Memo1 keeps the white of an editable one: the text screen looks the same
      // whether or not it can be edited.
      if (reinterpret_cast<HWND>(lParam) == memo1_.Get()) {
        HDC dc = reinterpret_cast<HDC>(wParam);
        SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
        SetBkColor(dc, GetSysColor(COLOR_WINDOW));
        return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_WINDOW));
      }
      // The graph screen's labels draw in the colours the screen gives them.
      if (COLORREF color; graphView_.LabelColor(reinterpret_cast<HWND>(lParam), color)) {
        HDC dc = reinterpret_cast<HDC>(wParam);
        SetTextColor(dc, color);
        SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
        return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_BTNFACE));
      }
      break;

    case WM_SIZE:
      Layout();
      return 0;

    case WM_SETFOCUS:
      FocusVisibleScreen();
      return 0;

    case WM_CLOSE:
      OnClose();
      return 0;

    case WM_QUERYENDSESSION: {
      bool mayEnd = true;
      RunHandler([this, &mayEnd] { mayEnd = model_.FormCloseQuery(); });
      return mayEnd ? TRUE : FALSE;
    }

    case WM_DESTROY:
      // Windows removes the timer and destroys the controls with the window; the menu bar is
      // detached so that its owner destroys it.
      timer1_.Forget();
      model_.ProcessMessages = nullptr;
      SetMenu(self, nullptr);
      memo1_.Release();
      grid1_.Release();
      panel1_.Release();
      progressBar1_.Release();
      statusBar1_.Release();
      PostQuitMessage(0);
      return 0;

    default:
      break;
  }
  return DefWindowProcW(self, msg, wParam, lParam);
}

LRESULT Form1Window::OnNotify(const NMHDR* header) {
  if (!header || !grid1_ || header->hwndFrom != grid1_.Get()) return 0;
  switch (header->code) {
    case LVN_GETDISPINFOW: {
      auto* info = const_cast<NMLVDISPINFOW*>(reinterpret_cast<const NMLVDISPINFOW*>(header));
      if (info->item.mask & LVIF_TEXT) {
        const std::string& cell = model_.StringGrid1.Cell(info->item.iSubItem, info->item.iItem + 1);
        CopyToBuffer(Widen(cell), info->item.pszText, info->item.cchTextMax);
      }
      if (info->item.mask & LVIF_IMAGE) info->item.iImage = I_IMAGENONE;
      return 0;
    }
    case LVN_ODFINDITEMW:
      return -1;  // typing in the grid does not search it
    default:
      return 0;
  }
}

void Form1Window::RunHandler(const std::function<void()>& handler) {
  ++handlerDepth_;
  PullMemo();
  try {
    handler();
  } catch (const std::exception& e) {
    MessageBoxW(hwnd_.Get(), Widen(e.what()).c_str(), Widen(kProgramTitle).c_str(), MB_OK | MB_ICONERROR);
  } catch (...) {
    MessageBoxW(hwnd_.Get(), L"予期しないエラーが発生しました", Widen(kProgramTitle).c_str(), MB_OK | MB_ICONERROR);
  }
  --handlerDepth_;
  if (!hwnd_) return;
  Render();
  if (model_.closeRequested && !closing_) {
    model_.closeRequested = false;
    PostMessageW(hwnd_.Get(), WM_CLOSE, 0, 0);
  }
}

void Form1Window::OnClose() {
  if (closing_) return;
  model_.closeRequested = false;
  bool mayClose = false;
  closing_ = true;
  RunHandler([this, &mayClose] { mayClose = model_.FormCloseQuery(); });
  closing_ = false;
  if (mayClose && hwnd_) DestroyWindow(hwnd_.Get());
}

// ---------------------------------------------------------------------------------------------
// Controls -> model

void Form1Window::PullMemo() {
  HWND memo = memo1_.Get();
  if (!memo) return;
  const bool controlModified = SendMessageW(memo, EM_GETMODIFY, 0, 0) != 0;
  DWORD selStart = 0, selEnd = 0;
  SendMessageW(memo, EM_GETSEL, reinterpret_cast<WPARAM>(&selStart), reinterpret_cast<LPARAM>(&selEnd));
  const bool textChanged = controlModified || memoUserChanged_;
  const bool hasSelection = selEnd > selStart;

  std::wstring text;
  if (textChanged || hasSelection) text = WindowTextW(memo);
  if (textChanged) {
    model_.Memo1.Assign(SplitLines(Narrow(text)));
    memoView_.Adopted(model_.Memo1);  // the control holds these lines now
    memoUserChanged_ = false;
  }
  model_.Memo1.modified = controlModified;
  model_.Memo1.selectedText.clear();
  if (hasSelection && selStart < text.size()) {
    size_t end = selEnd < text.size() ? selEnd : text.size();
    model_.Memo1.selectedText = Narrow(std::wstring_view(text).substr(selStart, end - selStart));
  }
}

// ---------------------------------------------------------------------------------------------
// Model -> controls

void Form1Window::Render() {
  HWND self = hwnd_.Get();
  if (!self) return;

  if (!captionRendered_ || renderedCaption_ != model_.caption) {
    SetWindowTextW(self, Widen(model_.caption).c_str());
    renderedCaption_ = model_.caption;
    captionRendered_ = true;
  }

  RenderMenu();
  RenderMemo();
  RenderGrid();
  if (model_.Panel1Visible && !graphView_.Created() && panel1_) {
    graphView_.Create(instance_, panel1_.Get(), font_.get());
    Layout();
  }
  graphView_.Render();

  if (renderedStatus_ != model_.StatusBar1Text) {
    SendMessageW(statusBar1_.Get(), SB_SETTEXTW, SB_SIMPLEID, reinterpret_cast<LPARAM>(Widen(model_.StatusBar1Text).c_str()));
    renderedStatus_ = model_.StatusBar1Text;
  }

  const ProgressModel& p = model_.ProgressBar1;
  if (!progressRendered_ || p.min != renderedProgress_.min || p.max != renderedProgress_.max)
    SendMessageW(progressBar1_.Get(), PBM_SETRANGE32, static_cast<WPARAM>(p.min), static_cast<LPARAM>(p.max));
  if (!progressRendered_ || p.position != renderedProgress_.position)
    SendMessageW(progressBar1_.Get(), PBM_SETPOS, static_cast<WPARAM>(p.position), 0);

  // Which screen shows, and whether the progress bar takes its place at the bottom.
  const bool layoutChanged = !progressRendered_ || p.visible != renderedProgress_.visible;
  const bool screensChanged = !visibilityRendered_ || model_.Memo1.visible != renderedMemoVisible_ ||
                              model_.StringGrid1.visible != renderedGridVisible_ ||
                              model_.Panel1Visible != renderedPanelVisible_;
  renderedProgress_ = p;
  progressRendered_ = true;
  if (layoutChanged) Layout();
  if (screensChanged) {
    SetVisible(memo1_.Get(), model_.Memo1.visible);
    SetVisible(grid1_.Get(), model_.StringGrid1.visible);
    SetVisible(panel1_.Get(), model_.Panel1Visible);
    renderedMemoVisible_ = model_.Memo1.visible;
    renderedGridVisible_ = model_.StringGrid1.visible;
    renderedPanelVisible_ = model_.Panel1Visible;
    visibilityRendered_ = true;
    // The control that had the focus may just have been hidden.
    HWND focus = GetFocus();
    if (GetActiveWindow() == self && (!focus || focus == self || !IsWindowVisible(focus))) FocusVisibleScreen();
  }
  SetVisible(progressBar1_.Get(), p.visible);

  RenderTimer();
}

void Form1Window::RenderMenu() {
  bool visibilityChanged = !menuRendered_;
  for (int i = 0; i < kMenuCount && !visibilityChanged; ++i)
    visibilityChanged = model_.menu[static_cast<size_t>(i)].visible != renderedMenu_[static_cast<size_t>(i)].visible;
  if (visibilityChanged) {
    // Menus have no hidden items: the bar is built again from the visible ones.
    RebuildMenuBar();
    return;
  }

  HMENU bar = menuBar_.get();
  if (!bar) return;
  bool barChanged = false;
  int topPosition = -1;
  for (const MenuEntry& entry : MenuLayout()) {
    const bool topLevel = entry.parent == entry.id;
    const MenuItemState& now = model_.Item(entry.id);
    MenuItemState& shown = renderedMenu_[static_cast<size_t>(entry.id)];
    if (topLevel && now.visible) ++topPosition;
    if (now.enabled == shown.enabled) continue;
    shown.enabled = now.enabled;
    if (!now.visible || entry.caption == "-") continue;
    const UINT state = now.enabled ? MF_ENABLED : MF_GRAYED;
    if (topLevel) {
      EnableMenuItem(bar, static_cast<UINT>(topPosition), MF_BYPOSITION | state);
      barChanged = true;
    } else {
      EnableMenuItem(bar, kMenuCommandBase + static_cast<UINT>(entry.id), MF_BYCOMMAND | state);
    }
  }
  if (barChanged) DrawMenuBar(hwnd_.Get());
}

void Form1Window::RebuildMenuBar() {
  UniqueMenu bar(CreateMenu());
  if (!bar) return;
  const auto& layout = MenuLayout();
  for (const MenuEntry& top : layout) {
    if (top.parent != top.id || !model_.Item(top.id).visible) continue;
    HMENU popup = CreatePopupMenu();
    if (!popup) continue;
    const UINT topState = model_.Item(top.id).enabled ? MF_ENABLED : MF_GRAYED;
    if (!AppendMenuW(bar.get(), MF_POPUP | MF_STRING | topState, reinterpret_cast<UINT_PTR>(popup),
                     Widen(top.caption).c_str())) {
      DestroyMenu(popup);
      continue;
    }
    // From here on the bar owns the popup.
    for (const MenuEntry& entry : layout) {
      if (entry.parent != top.id || entry.id == top.id) continue;
      const MenuItemState& state = model_.Item(entry.id);
      if (!state.visible) continue;
      if (entry.caption == "-") {
        AppendMenuW(popup, MF_SEPARATOR, 0, nullptr);
      } else {
        AppendMenuW(popup, MF_STRING | (state.enabled ? MF_ENABLED : MF_GRAYED),
                    kMenuCommandBase + static_cast<UINT>(entry.id), Widen(entry.caption).c_str());
      }
    }
  }
  if (!SetMenu(hwnd_.Get(), bar.get())) return;
  menuBar_ = std::move(bar);  // the previous bar, now detached, is destroyed here
  renderedMenu_ = model_.menu;
  menuRendered_ = true;
  DrawMenuBar(hwnd_.Get());
}

void Form1Window::RenderMemo() {
  if (memoView_.Render(model_.Memo1)) memoUserChanged_ = false;
}

void Form1Window::RenderGrid() {
  HWND grid = grid1_.Get();
  if (!grid) return;
  const GridModel& g = model_.StringGrid1;
  if (gridRendered_ && g.revision == renderedGridRevision_) return;

  const int columns = g.ColCount();
  while (renderedGridColumns_ > columns) {
    ListView_DeleteColumn(grid, renderedGridColumns_ - 1);
    --renderedGridColumns_;
  }
  renderedHeaders_.resize(static_cast<size_t>(columns));
  renderedColWidths_.resize(static_cast<size_t>(columns), -1);
  while (renderedGridColumns_ < columns) {
    const int c = renderedGridColumns_;
    std::wstring header = Widen(g.Cell(c, 0));
    LVCOLUMNW col{};
    col.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM | LVCF_FMT;
    col.fmt = LVCFMT_LEFT;
    col.cx = g.ColWidth(c);
    col.pszText = header.data();
    col.iSubItem = c;
    if (ListView_InsertColumn(grid, c, &col) < 0) break;
    renderedHeaders_[static_cast<size_t>(c)] = g.Cell(c, 0);
    renderedColWidths_[static_cast<size_t>(c)] = g.ColWidth(c);
    ++renderedGridColumns_;
  }
  for (int c = 0; c < renderedGridColumns_; ++c) {
    const size_t i = static_cast<size_t>(c);
    if (renderedHeaders_[i] != g.Cell(c, 0)) {
      std::wstring header = Widen(g.Cell(c, 0));
      LVCOLUMNW col{};
      col.mask = LVCF_TEXT;
      col.pszText = header.data();
      ListView_SetColumn(grid, c, &col);
      renderedHeaders_[i] = g.Cell(c, 0);
    }
    // A width the user dragged stays until the model itself sets another one.
    if (renderedColWidths_[i] != g.ColWidth(c)) {
      ListView_SetColumnWidth(grid, c, g.ColWidth(c));
      renderedColWidths_[i] = g.ColWidth(c);
    }
  }

  const int items = g.RowCount() > 1 ? g.RowCount() - 1 : 0;
  if (items != renderedGridItems_) {
    ListView_SetItemCountEx(grid, items, LVSICF_NOSCROLL);
    renderedGridItems_ = items;
  }
  // The cells themselves are read while painting.
  InvalidateRect(grid, nullptr, FALSE);
  renderedGridRevision_ = g.revision;
  gridRendered_ = true;
}

void Form1Window::RenderTimer() {
  const TimerModel& t = model_.Timer1;
  if (t.enabled) {
    if (!timer1_.Running() || timer1_.Interval() != t.intervalMs) timer1_.Start(t.intervalMs);
  } else if (timer1_.Running()) {
    timer1_.Stop();
  }
}

void Form1Window::Layout() {
  HWND self = hwnd_.Get();
  if (!self) return;
  RECT client{};
  GetClientRect(self, &client);
  const int width = client.right - client.left;
  int bottom = client.bottom - client.top;

  if (statusBar1_) {
    SendMessageW(statusBar1_.Get(), WM_SIZE, 0, 0);  // the bar places itself at the bottom
    RECT bar{};
    GetWindowRect(statusBar1_.Get(), &bar);
    bottom -= bar.bottom - bar.top;
  }
  if (progressBar1_ && model_.ProgressBar1.visible) {
    bottom -= kProgressBarHeight;
    MoveWindow(progressBar1_.Get(), 0, bottom, width, kProgressBarHeight, TRUE);
  }
  if (bottom < 0) bottom = 0;
  for (HWND screen : {memo1_.Get(), grid1_.Get(), panel1_.Get()})
    if (screen) MoveWindow(screen, 0, 0, width, bottom, TRUE);
  if (panel1_ && graphView_.Created()) graphView_.Layout(width, bottom);
}

void Form1Window::FocusVisibleScreen() {
  if (model_.Memo1.visible && memo1_) SetFocus(memo1_.Get());
  else if (model_.StringGrid1.visible && grid1_) SetFocus(grid1_.Get());
  else if (model_.Panel1Visible && graphView_.ComboBox()) SetFocus(graphView_.ComboBox());
}

}  // namespace orv::win32
