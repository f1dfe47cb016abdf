#pragma once
// TForm2, the prompt dialog of the registry item script: a label with the question, a one-line
// edit and an "OK" button. Created once at start-up, hidden, and shown modally for every prompt.

#include <string>

#include "app/win32/gui_handles.h"

namespace orv::win32 {

class Form2Dialog {
 public:
  Form2Dialog() = default;
  Form2Dialog(const Form2Dialog&) = delete;
  Form2Dialog& operator=(const Form2Dialog&) = delete;
  // Destroys the dialog (and with it its controls) while every member is still alive.
  ~Form2Dialog() { hwnd_.Reset(); }

  // Creates the (hidden) dialog window, owned by `owner`. False when it cannot be created.
  bool Create(HINSTANCE instance, HWND owner);
  HWND Handle() const { return hwnd_.Get(); }

  // Shows the dialog modally with `prompt` as Label1 and an empty Edit1; returns the text of
  // Edit1 as typed when the dialog is closed by Button1 or by the close box.
  std::string Run(const std::string& prompt);

  static constexpr int kWidth = 433;
  static constexpr int kHeight = 146;

 private:
  static LRESULT CALLBACK WndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
  LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam);
  void CreateControls();
  void EndModal() { done_ = true; }

  HINSTANCE instance_ = nullptr;
  HWND owner_ = nullptr;
  UniqueFont font_;  // outlives the controls that use it (declared before them)
  UniqueWindow hwnd_;
  UniqueWindow label1_;
  UniqueWindow edit1_;
  UniqueWindow button1_;
  bool running_ = false;
  bool done_ = false;
};

}  // namespace orv::win32
