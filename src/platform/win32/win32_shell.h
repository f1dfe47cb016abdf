#pragma once
// Starting programs and documents, and the shell's administrator query.

#include "platform/shell.h"

// The window handle type of <windows.h> (HWND is a pointer to this struct), declared here so that
// this header does not need <windows.h>.
struct HWND__;

namespace orv {

class Win32Shell final : public IShell {
 public:
  // `owner` is the window that owns the shell's dialogs; the main window is created after the
  // platform objects, so it is usually given later through SetOwner.
  explicit Win32Shell(HWND__* owner = nullptr) : owner_(owner) {}
  void SetOwner(HWND__* owner) { owner_ = owner; }

  bool StartProcess(const std::string& application, const std::string& commandLine) override;
  bool OpenDocument(const std::string& path) override;
  std::optional<bool> IsUserAnAdmin() override;

 private:
  HWND__* owner_ = nullptr;
};

}  // namespace orv
