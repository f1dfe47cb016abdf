#pragma once
// Memo1's edit control as the model has it: text, modified mark and read-only state.

#include <cstddef>
#include <cstdint>

#include "app/screen_model.h"
#include "app/win32/gui_handles.h"

namespace orv::win32 {

class MemoView {
 public:
  void SetControl(HWND edit) { edit_ = edit; }

  // Lines the model added at the end since the last render are appended, like typing them in
  // (the caret follows), so that a command which adds lines and repaints now and then, such as the
  // registry search, pays only for the new lines; any other change replaces the whole text. True
  // when the text was set.
  bool Render(const MemoModel& memo);
  // The model has just taken its lines from the control (the user typed): they need no render.
  void Adopted(const MemoModel& memo);
  // True while Render sets the text (the control's EN_CHANGE is then not the user's).
  bool SettingText() const { return settingText_; }

 private:
  HWND edit_ = nullptr;
  bool rendered_ = false;
  bool settingText_ = false;
  uint64_t revision_ = 0;  // of the model when last rendered
  uint64_t rewrites_ = 0;
  size_t lines_ = 0;       // lines the control holds
};

}  // namespace orv::win32
