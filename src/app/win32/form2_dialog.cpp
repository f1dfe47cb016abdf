#include "app/win32/form2_dialog.h"

namespace orv::win32 {

namespace {

constexpr wchar_t kClassName[] = L"TForm2";
constexpr wchar_t kCaption[] = L"Kestrum：問い合わせ";

constexpr int kLabel1Id = 101;
constexpr int kEdit1Id = 102;
constexpr int kButton1Id = IDOK;  // Enter in Edit1 presses it (IsDialogMessage sends IDOK)

constexpr int kMargin = 16;
constexpr int kEditWidth = 393;

bool RegisterClassOnce(HINSTANCE instance, WNDPROC proc) {
  WNDCLASSEXW wc{};
  if (GetClassInfoExW(instance, kClassName, &wc)) return true;
  wc.cbSize = sizeof(wc);
  wc.lpfnWndProc = proc;
  wc.hInstance = instance;
  wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  wc.lpszClassName = kClassName;
  return RegisterClassExW(&wc) != 0;
}

}  // namespace

bool Form2Dialog::Create(HINSTANCE instance, HWND owner) {
  instance_ = instance;
  owner_ = owner;
  if (!RegisterClassOnce(instance, &Form2Dialog::WndProc)) return false;
  font_ = CreateUiFont(12);
  POINT at = ScreenCentre(kWidth, kHeight);
  // A fixed-size dialog frame: caption and close box, no resizing, no minimise or maximise.
  HWND h = CreateWindowExW(WS_EX_DLGMODALFRAME, kClassName, kCaption, WS_POPUP | WS_CAPTION | WS_SYSMENU, at.x,
                           at.y, kWidth, kHeight, owner, nullptr, instance, this);
  if (!h) return false;
  // hwnd_ was set in WM_NCCREATE so that the controls could be created in WM_CREATE.
  return hwnd_.Get() == h;
}

void Form2Dialog::CreateControls() {
  HWND self = hwnd_.Get();
  RECT client{};
  GetClientRect(self, &client);
  const int clientWidth = client.right - client.left;

  label1_.Reset(CreateWindowExW(0, L"STATIC", L"", WS_CHILD | WS_VISIBLE | SS_LEFTNOWORDWRAP | SS_NOPREFIX,
                                kMargin, 14, clientWidth - 2 * kMargin, 16, self,
                                reinterpret_cast<HMENU>(static_cast<INT_PTR>(kLabel1Id)), instance_, nullptr));
  edit1_.Reset(CreateWindowExW(WS_EX_CLIENTEDGE, L"EDIT", L"", WS_CHILD | WS_VISIBLE | WS_TABSTOP | ES_AUTOHSCROLL,
                               kMargin, 36, kEditWidth, 21, self,
                               reinterpret_cast<HMENU>(static_cast<INT_PTR>(kEdit1Id)), instance_, nullptr));
  const int buttonWidth = 75, buttonHeight = 25;
  button1_.Reset(CreateWindowExW(0, L"BUTTON", L"OK", WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON,
                                 (clientWidth - buttonWidth) / 2, 68, buttonWidth, buttonHeight, self,
                                 reinterpret_cast<HMENU>(static_cast<INT_PTR>(kButton1Id)), instance_, nullptr));
  for (HWND control : {label1_.Get(), edit1_.Get(), button1_.Get()})
    if (control) SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font_.get()), FALSE);
}

std::string Form2Dialog::Run(const std::string& prompt) {
  HWND self = hwnd_.Get();
  if (!self || running_) return {};
  running_ = true;
  done_ = false;

  SetWindowTextW(label1_.Get(), Widen(prompt).c_str());
  SetWindowTextW(edit1_.Get(), L"");
  POINT at = ScreenCentre(kWidth, kHeight);
  // Owned by the hidden window of the unattended run, the dialog would open behind the user's
  // windows without a taskbar button, and the run would wait for ever: it then gets a taskbar
  // button and stays on top.
  const bool ownerUnseen = !owner_ || !IsWindowVisible(owner_);
  if (ownerUnseen) SetWindowLongPtrW(self, GWL_EXSTYLE, GetWindowLongPtrW(self, GWL_EXSTYLE) | WS_EX_APPWINDOW);
  SetWindowPos(self, ownerUnseen ? HWND_TOPMOST : HWND_TOP, at.x, at.y, 0, 0, SWP_NOSIZE | SWP_FRAMECHANGED);

  // Modal: the owner takes no input while the question is open.
  const bool ownerWasEnabled = owner_ && IsWindowEnabled(owner_);
  if (ownerWasEnabled) EnableWindow(owner_, FALSE);
  ShowWindow(self, SW_SHOW);
  SetForegroundWindow(self);
  SetFocus(edit1_.Get());

  MSG msg;
  bool quit = false;
  WPARAM quitCode = 0;
  while (!done_ && hwnd_) {
    BOOL got = GetMessageW(&msg, nullptr, 0, 0);
    if (got == 0) {  // WM_QUIT: end the dialog and hand the quit on to the outer loop
      quit = true;
      quitCode = msg.wParam;
      break;
    }
    if (got < 0) break;
    if (!IsDialogMessageW(self, &msg)) {
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
  }

  std::string answer = edit1_ ? Narrow(WindowTextW(edit1_.Get())) : std::string();
  // Re-enable the owner before hiding, so that activation returns to it and not to another program.
  if (ownerWasEnabled && IsWindow(owner_)) EnableWindow(owner_, TRUE);
  if (hwnd_) ShowWindow(self, SW_HIDE);
  running_ = false;
  if (quit) PostQuitMessage(static_cast<int>(quitCode));
  return answer;
}

LRESULT CALLBACK Form2Dialog::WndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  Form2Dialog* self = nullptr;
  if (msg == WM_NCCREATE) {
    auto* cs = reinterpret_cast<CREATESTRUCTW*>(lParam);
    self = static_cast<Form2Dialog*>(cs->lpCreateParams);
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    if (self) self->hwnd_.Reset(hwnd);
  } else {
    self = reinterpret_cast<Form2Dialog*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  }
  if (!self) return DefWindowProcW(hwnd, msg, wParam, lParam);
  if (msg == WM_NCDESTROY) {
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
    self->hwnd_.Release();
    self->done_ = true;
    return DefWindowProcW(hwnd, msg, wParam, lParam);
  }
  return self->HandleMessage(msg, wParam, lParam);
}

LRESULT Form2Dialog::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
  HWND self = hwnd_.Get();
  switch (msg) {
    case WM_CREATE:
      CreateControls();
      return 0;
    case WM_COMMAND:
      if (LOWORD(wParam) == kButton1Id && HIWORD(wParam) == BN_CLICKED) {
        EndModal();
        return 0;
      }
      break;  // IDCANCEL (Escape) does nothing: the dialog has no cancel button
    case WM_CLOSE:
      // The close box ends the question like the button; the window is kept for the next prompt.
      if (running_) EndModal();
      else ShowWindow(self, SW_HIDE);
      return 0;
    case WM_DESTROY:
      // The controls are destroyed with the dialog.
      label1_.Release();
      edit1_.Release();
      button1_.Release();
      return 0;
    default:
      break;
  }
  return DefWindowProcW(self, msg, wParam, lParam);
}

}  // namespace orv::win32
