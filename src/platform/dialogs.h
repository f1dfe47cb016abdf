#pragma once
// Modal dialogs of the user-interface thread. The Win32 implementation shows message boxes owned by
// the main window and the prompt dialog TForm2; the tests answer from a script.

#include <string>

namespace orv {

enum class MsgButtons { Ok, OkCancel, YesNo, YesNoCancel };
enum class MsgIcon { None, Information, Warning, Error, Confirmation };
enum class MsgResult { Ok, Cancel, Yes, No };

class IDialogs {
 public:
  virtual ~IDialogs() = default;
  // Shows a modal message box and waits for the answer. Closing the box without a button gives
  // Cancel where there is one, else No, else Ok.
  virtual MsgResult ShowBox(const std::string& text, const std::string& caption, MsgButtons buttons,
                            MsgIcon icon) = 0;
  // Shows the prompt dialog (TForm2) with `prompt` as its label and an empty one-line edit; waits
  // until it is closed (OK button or close box) and returns the edit's text as typed.
  virtual std::string PromptInput(const std::string& prompt) = 0;
};

}  // namespace orv
