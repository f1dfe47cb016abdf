#include "app/win32/memo_view.h"

#include <string>
#include <vector>

namespace orv::win32 {

namespace {

// Lines from `first` on as one text, joined with CR LF as the edit control holds them.
std::wstring MemoText(const std::vector<std::string>& lines, size_t first) {
  std::string joined;
  for (size_t i = first; i < lines.size(); ++i) {
    if (i > first) joined += "\r\n";
    joined += lines[i];
  }
  return Widen(joined);
}

}  // namespace

bool MemoView::Render(const MemoModel& memo) {
  if (!edit_) return false;
  bool textSet = false;
  if (!rendered_ || memo.revision != revision_) {
    settingText_ = true;
    if (rendered_ && memo.rewrites == rewrites_ && memo.lines.size() > lines_) {
      std::wstring tail = MemoText(memo.lines, lines_);
      if (lines_ > 0) tail.insert(0, L"\r\n");
      const int length = GetWindowTextLengthW(edit_);
      SendMessageW(edit_, EM_SETSEL, static_cast<WPARAM>(length), static_cast<LPARAM>(length));
      SendMessageW(edit_, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(tail.c_str()));
      SendMessageW(edit_, EM_SCROLLCARET, 0, 0);
    } else {
      SetWindowTextW(edit_, MemoText(memo.lines, 0).c_str());
    }
    settingText_ = false;
    Adopted(memo);
    textSet = true;
  }
  if ((SendMessageW(edit_, EM_GETMODIFY, 0, 0) != 0) != memo.modified)
    SendMessageW(edit_, EM_SETMODIFY, memo.modified ? TRUE : FALSE, 0);
  const bool readOnlyNow = (GetWindowLongPtrW(edit_, GWL_STYLE) & ES_READONLY) != 0;
  if (readOnlyNow != memo.readOnly) SendMessageW(edit_, EM_SETREADONLY, memo.readOnly ? TRUE : FALSE, 0);
  return textSet;
}

void MemoView::Adopted(const MemoModel& memo) {
  rendered_ = true;
  revision_ = memo.revision;
  rewrites_ = memo.rewrites;
  lines_ = memo.lines.size();
}

}  // namespace orv::win32
