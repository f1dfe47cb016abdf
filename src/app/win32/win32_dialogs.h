#pragma once
// The dialogs of the user-interface thread: message boxes owned by the main window, and the
// prompt dialog TForm2.

#include "app/win32/gui_handles.h"
#include "platform/dialogs.h"

namespace orv::win32 {

class Form2Dialog;

class Win32Dialogs final : public IDialogs {
 public:
  // The window that owns the boxes (the main window, shown or not).
  void SetOwner(HWND owner) { owner_ = owner; }
  // The prompt dialog, created once at start-up after the main window.
  void SetPromptDialog(Form2Dialog* form2) { form2_ = form2; }

  MsgResult ShowBox(const std::string& text, const std::string& caption, MsgButtons buttons,
                    MsgIcon icon) override;
  std::string PromptInput(const std::string& prompt) override;

 private:
  HWND owner_ = nullptr;
  Form2Dialog* form2_ = nullptr;
};

}  // namespace orv::win32
