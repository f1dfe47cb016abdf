#pragma once
// The controls of the history graph screen inside Panel1: the data selector, the chart area, the
// legend and judgement labels, and the two groups of latest data and of the disk itself. It maps
// the HealthGraphPanel model to these controls and reports the selector's changes; the chart is
// painted by the model's graph on a GDI canvas.

#include <string>
#include <vector>

#include "app/health_graph.h"
#include "app/win32/gui_handles.h"

namespace orv::win32 {

class GraphPanelView {
 public:
  explicit GraphPanelView(HealthGraphPanel& model) : model_(model) {}
  GraphPanelView(const GraphPanelView&) = delete;
  GraphPanelView& operator=(const GraphPanelView&) = delete;
  ~GraphPanelView();

  // Creates the controls as children of `panel` (which forwards their WM_COMMAND and
  // WM_CTLCOLORSTATIC to its parent).
  bool Create(HINSTANCE instance, HWND panel, HFONT font);
  bool Created() const { return static_cast<bool>(comboBox1_); }
  // Places the controls for the panel's size.
  void Layout(int width, int height);
  // Shows the model as it is now.
  void Render();

  // The selector's control id; its CBN_SELCHANGE arrives at the main window.
  static constexpr int kComboBox1Id = 201;
  // The index the user selected in the selector.
  int SelectedIndex() const;
  HWND ComboBox() const { return comboBox1_.Get(); }
  // Colours of the labels: true (with the colour) when `control` is one of this screen's labels.
  bool LabelColor(HWND control, COLORREF& color) const;

 private:
  static LRESULT CALLBACK GraphProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
  void PaintGraph(HWND hwnd);
  HWND Static(const wchar_t* text, HFONT font);

  HealthGraphPanel& model_;
  HINSTANCE instance_ = nullptr;
  HWND panel_ = nullptr;
  UniqueFont judgementFont_;  // Label27: Arial bold 19 px
  UniqueWindow comboBox1_;
  UniqueWindow graph_;  // XYGraph1
  UniqueWindow label26_, label27_;
  UniqueWindow latestGroup_, specGroup_;
  // Caption labels (fixed texts) and value labels, in layout order.
  struct Row {
    UniqueWindow caption;
    UniqueWindow value;
    UniqueWindow second;  // Label25 beside Label24
    const LabelModel* captionModel = nullptr;  // Label19, Label21: coloured captions
    const LabelModel* valueModel = nullptr;
    const LabelModel* secondModel = nullptr;
  };
  std::vector<Row> latestRows_, specRows_;
  uint64_t renderedRevision_ = 0;
  bool rendered_ = false;
};

}  // namespace orv::win32
