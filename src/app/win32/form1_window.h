#pragma once
// TForm1, the main window: renders the TForm1 model into Win32 controls after every event and
// forwards the user's commands, the timer and the close request to the model's handlers. All
// screen rules live in the model; this class only maps.

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "app/form1.h"
#include "app/win32/graph_panel_view.h"
#include "app/win32/gui_handles.h"
#include "app/win32/memo_view.h"

namespace orv::win32 {

class Form1Window {
 public:
  explicit Form1Window(TForm1& model) : model_(model) {}
  Form1Window(const Form1Window&) = delete;
  Form1Window& operator=(const Form1Window&) = delete;
  // Destroys the window (and with it its controls) while every member is still alive.
  ~Form1Window() { hwnd_.Reset(); }

  // Creates the window hidden, with its controls and menu, and renders the model once.
  bool Create(HINSTANCE instance);
  void Show(int showCommand);
  HWND Handle() const { return hwnd_.Get(); }

  // Menu command ids are this base plus the MenuId.
  static constexpr UINT kMenuCommandBase = 1000;

 private:
  // Set as the model's ProcessMessages: renders the model and paints what waits to be painted, so
  // that a long command (the registry search) shows its status and progress bars.
  void ProcessPaintMessages();

  static LRESULT CALLBACK WndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
  LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam);

  bool CreateControls();
  // Runs a model handler: the user's edits first go into the model, and afterwards the whole model
  // is rendered. An exception that escapes a handler is shown in a box, as the window must live on.
  void RunHandler(const std::function<void()>& handler);
  void OnClose();
  LRESULT OnNotify(const NMHDR* header);

  // ---- model <- controls ----
  void PullMemo();

  // ---- model -> controls ----
  void Render();
  void RenderMenu();
  void RebuildMenuBar();
  void RenderMemo();
  void RenderGrid();
  void RenderTimer();
  void Layout();
  void FocusVisibleScreen();

  TForm1& model_;
  GraphPanelView graphView_{model_.Panel1};  // the controls inside Panel1
  HINSTANCE instance_ = nullptr;

  // Fonts and the grid's image list outlive the controls that use them (declared before them).
  UniqueFont font_;      // 12 px, every control
  UniqueFont memoFont_;  // 16 px, Memo1
  UniqueImageList rowHeightImages_;  // sets StringGrid1's row height
  UniqueMenu menuBar_;   // detached from the window before it is destroyed

  UniqueWindow hwnd_;
  UniqueWindow memo1_;
  UniqueWindow grid1_;
  UniqueWindow panel1_;
  UniqueWindow progressBar1_;
  UniqueWindow statusBar1_;
  WindowTimer timer1_{nullptr, 1};  // Timer1; its owner is set when the window exists

  // What the controls show, to render only what changed.
  std::string renderedCaption_;
  bool captionRendered_ = false;
  std::array<MenuItemState, kMenuCount> renderedMenu_{};
  bool menuRendered_ = false;
  MemoView memoView_;
  bool memoUserChanged_ = false;  // EN_CHANGE from the user since the text was last synchronised
  uint64_t renderedGridRevision_ = 0;
  bool gridRendered_ = false;
  int renderedGridColumns_ = 0;
  int renderedGridItems_ = -1;
  std::vector<std::string> renderedHeaders_;
  std::vector<int> renderedColWidths_;  // the model's widths last applied; user sizing persists
  std::string renderedStatus_;
  ProgressModel renderedProgress_{};
  bool progressRendered_ = false;
  bool renderedMemoVisible_ = false, renderedGridVisible_ = false, renderedPanelVisible_ = false;
  bool visibilityRendered_ = false;
  int handlerDepth_ = 0;
  bool closing_ = false;
};

}  // namespace orv::win32
