#include "app/win32/win32_dialogs.h"

#include "app/win32/form2_dialog.h"

namespace orv::win32 {

namespace {

UINT ButtonFlags(MsgButtons buttons) {
  switch (buttons) {
    case MsgButtons::Ok: return MB_OK;
    case MsgButtons::OkCancel: return MB_OKCANCEL;
    case MsgButtons::YesNo: return MB_YESNO;
    case MsgButtons::YesNoCancel: return MB_YESNOCANCEL;
  }
  return MB_OK;
}

UINT IconFlags(MsgIcon icon) {
  switch (icon) {
    case MsgIcon::None: return 0;
    case MsgIcon::Information: return MB_ICONINFORMATION;
    case MsgIcon::Warning: return MB_ICONWARNING;
    case MsgIcon::Error: return MB_ICONERROR;
    case MsgIcon::Confirmation: return MB_ICONQUESTION;
  }
  return 0;
}

// The answer when the box was closed without a button (or could not be shown): Cancel where the
// box has one, else No, else Ok.
MsgResult ClosedAnswer(MsgButtons buttons) {
  switch (buttons) {
    case MsgButtons::OkCancel:
    case MsgButtons::YesNoCancel: return MsgResult::Cancel;
    case MsgButtons::YesNo: return MsgResult::No;
    case MsgButtons::Ok: return MsgResult::Ok;
  }
  return MsgResult::Ok;
}

}  // namespace

MsgResult Win32Dialogs::ShowBox(const std::string& text, const std::string& caption, MsgButtons buttons,
                                MsgIcon icon) {
  UINT flags = ButtonFlags(buttons) | IconFlags(icon);
  // During the unattended run nothing of this program is on screen, and a box owned by the hidden
  // window would open behind the user's windows with no taskbar button: the run would wait for an
  // answer nobody can see, and the disk-health event lines would be lost at log-off. Such a box
  // has no owner (so it has a taskbar button), stays on top and asks for the foreground. Windows
  // makes MB_TOPMOST and MB_SYSTEMMODAL boxes topmost, Wine only the latter; system-modal means no
  // more than that (the program's own windows, hidden, take no input anyway).
  HWND owner = owner_ && IsWindow(owner_) && IsWindowVisible(owner_) ? owner_ : nullptr;
  if (!owner) flags |= MB_SYSTEMMODAL | MB_TOPMOST | MB_SETFOREGROUND;
  int id = MessageBoxW(owner, Widen(text).c_str(), Widen(caption).c_str(), flags);
  switch (id) {
    case IDOK: return MsgResult::Ok;
    case IDYES: return MsgResult::Yes;
    case IDNO: return MsgResult::No;
    case IDCANCEL: return ClosedAnswer(buttons);
    default: return ClosedAnswer(buttons);
  }
}

std::string Win32Dialogs::PromptInput(const std::string& prompt) {
  if (!form2_) return {};
  return form2_->Run(prompt);
}

}  // namespace orv::win32
