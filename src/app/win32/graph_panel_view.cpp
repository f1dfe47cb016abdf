#include "app/win32/graph_panel_view.h"

#include "platform/win32/gdi_canvas.h"

namespace orv::win32 {

namespace {

constexpr wchar_t kGraphClass[] = L"TXYGraph";
constexpr int kRightColumn = 270;  // the two groups beside the chart
constexpr int kCaptionWidth = 92;
constexpr int kRowHeight = 22;

HMENU ControlId(int id) { return reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)); }

COLORREF ToColorRef(xy::TColor c) { return static_cast<COLORREF>(c & 0xFFFFFF); }

void SetText(HWND control, const std::string& text) {
  if (!control) return;
  const std::wstring wide = Widen(text);
  if (WindowTextW(control) != wide) SetWindowTextW(control, wide.c_str());
}

}  // namespace

GraphPanelView::~GraphPanelView() {
  // The controls are children of Panel1 and go with it.
  for (UniqueWindow* w : {&comboBox1_, &graph_, &label26_, &label27_, &latestGroup_, &specGroup_}) w->Release();
  for (auto* rows : {&latestRows_, &specRows_})
    for (Row& r : *rows)
      for (UniqueWindow* w : {&r.caption, &r.value, &r.second}) w->Release();
  model_.XYGraph1.OnRepaintRequest = nullptr;
}

HWND GraphPanelView::Static(const wchar_t* text, HFONT font) {
  HWND h = CreateWindowExW(0, L"STATIC", text, WS_CHILD | WS_VISIBLE | SS_LEFTNOWORDWRAP | SS_NOPREFIX, 0, 0, 0, 0, panel_,
                           nullptr, instance_, nullptr);
  if (h && font) SendMessageW(h, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
  return h;
}

bool GraphPanelView::Create(HINSTANCE instance, HWND panel, HFONT font) {
  instance_ = instance;
  panel_ = panel;

  WNDCLASSEXW wc{};
  if (!GetClassInfoExW(instance, kGraphClass, &wc)) {
    wc.cbSize = sizeof(wc);
    wc.style = CS_HREDRAW | CS_VREDRAW;
    wc.lpfnWndProc = &GraphPanelView::GraphProc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.lpszClassName = kGraphClass;
    if (!RegisterClassExW(&wc)) return false;
  }

  judgementFont_.reset(CreateFontW(-19, 0, 0, 0, FW_BOLD, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                                   CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_SWISS, L"Arial"));

  comboBox1_.Reset(CreateWindowExW(0, WC_COMBOBOXW, L"", WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST,
                                   0, 0, 0, 0, panel, ControlId(kComboBox1Id), instance, nullptr));
  if (!comboBox1_) return false;
  SendMessageW(comboBox1_.Get(), WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);

  graph_.Reset(CreateWindowExW(WS_EX_CLIENTEDGE, kGraphClass, L"", WS_CHILD | WS_VISIBLE, 0, 0, 0, 0, panel, nullptr,
                               instance, this));
  if (!graph_) return false;
  model_.XYGraph1.OnRepaintRequest = [this](xy::TXYGraph&) {
    if (graph_) InvalidateRect(graph_.Get(), nullptr, FALSE);
  };

  label26_.Reset(Static(L"", font));
  label27_.Reset(Static(L"", judgementFont_ ? judgementFont_.get() : font));

  auto group = [&](const wchar_t* caption) {
    HWND h = CreateWindowExW(0, L"BUTTON", caption, WS_CHILD | WS_VISIBLE | BS_GROUPBOX, 0, 0, 0, 0, panel, nullptr,
                             instance, nullptr);
    if (h) SendMessageW(h, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    return h;
  };
  latestGroup_.Reset(group(L"最新のデータ"));
  specGroup_.Reset(group(L"ハードディスク仕様"));

  auto row = [&](std::vector<Row>& rows, const wchar_t* caption, const LabelModel* value,
                 const LabelModel* captionModel = nullptr, const LabelModel* second = nullptr) {
    Row r;
    r.caption.Reset(Static(caption, font));
    r.value.Reset(Static(L"", font));
    if (second) r.second.Reset(Static(L"", font));
    r.captionModel = captionModel;
    r.valueModel = value;
    r.secondModel = second;
    rows.push_back(std::move(r));
  };
  const HealthGraphPanel& m = model_;
  row(latestRows_, L"温度", &m.Label10);
  row(latestRows_, L"最高温度", &m.Label12);
  row(latestRows_, L"再配置セクタ数", &m.Label14);
  row(latestRows_, L"起動回数", &m.Label16);
  row(latestRows_, L"運転時間", &m.Label18);
  row(latestRows_, L"警戒項目数", &m.Label20, &m.Label19);
  row(latestRows_, L"故障項目数", &m.Label22, &m.Label21);
  row(latestRows_, L"記録日時", &m.Label24, nullptr, &m.Label25);
  row(specRows_, L"ディスク番号", &m.Label2);
  row(specRows_, L"容量(MB)", &m.Label8);
  row(specRows_, L"モデル", &m.Label4);
  row(specRows_, L"シリアルNo", &m.Label6);
  Render();
  return true;
}

void GraphPanelView::Layout(int width, int height) {
  const int right = width - kRightColumn;  // left edge of the groups
  const int chartWidth = right - 16;
  MoveWindow(comboBox1_.Get(), 8, 8, 240, 300, TRUE);
  MoveWindow(label26_.Get(), 8, 38, chartWidth, 18, TRUE);
  MoveWindow(graph_.Get(), 8, 60, chartWidth, height - 60 - 36, TRUE);
  MoveWindow(label27_.Get(), 8, height - 30, chartWidth, 24, TRUE);

  auto placeGroup = [&](HWND group, std::vector<Row>& rows, int top) {
    const int groupHeight = 24 + static_cast<int>(rows.size()) * kRowHeight;
    MoveWindow(group, right, top, kRightColumn - 8, groupHeight, TRUE);
    const int valueLeft = right + 12 + kCaptionWidth;
    const int valueWidth = kRightColumn - 8 - 10 - (valueLeft - right);
    int y = top + 20;
    for (Row& r : rows) {
      MoveWindow(r.caption.Get(), right + 10, y, kCaptionWidth, kRowHeight - 4, TRUE);
      // The date and the time of the latest save stand side by side.
      const int firstWidth = r.second ? 84 : valueWidth;
      MoveWindow(r.value.Get(), valueLeft, y, firstWidth, kRowHeight - 4, TRUE);
      if (r.second) MoveWindow(r.second.Get(), valueLeft + firstWidth, y, valueWidth - firstWidth, kRowHeight - 4, TRUE);
      y += kRowHeight;
    }
    return top + groupHeight;
  };
  const int next = placeGroup(latestGroup_.Get(), latestRows_, 4);
  placeGroup(specGroup_.Get(), specRows_, next + 8);

  RECT area{};
  GetClientRect(graph_.Get(), &area);
  if (area.right > 0 && area.bottom > 0) model_.XYGraph1.SetBounds(area.right, area.bottom);
}

void GraphPanelView::Render() {
  if (!Created() || (rendered_ && renderedRevision_ == model_.revision)) return;
  HWND combo = comboBox1_.Get();
  // The list is rebuilt only when its entries changed (a rebuild would close an open list).
  const int count = static_cast<int>(SendMessageW(combo, CB_GETCOUNT, 0, 0));
  bool same = count == static_cast<int>(model_.ComboBox1.items.size());
  for (int i = 0; same && i < count; ++i) {
    const int len = static_cast<int>(SendMessageW(combo, CB_GETLBTEXTLEN, i, 0));
    std::wstring text(static_cast<size_t>(len > 0 ? len : 0) + 1, L'\0');
    SendMessageW(combo, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(text.data()));
    text.resize(static_cast<size_t>(len > 0 ? len : 0));
    same = text == Widen(model_.ComboBox1.items[static_cast<size_t>(i)]);
  }
  if (!same) {
    SendMessageW(combo, CB_RESETCONTENT, 0, 0);
    for (const std::string& item : model_.ComboBox1.items)
      SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Widen(item).c_str()));
  }
  if (SendMessageW(combo, CB_GETCURSEL, 0, 0) != model_.ComboBox1.itemIndex)
    SendMessageW(combo, CB_SETCURSEL, static_cast<WPARAM>(model_.ComboBox1.itemIndex), 0);

  SetText(label26_.Get(), model_.Label26.caption);
  SetText(label27_.Get(), model_.Label27.caption);
  for (auto* rows : {&latestRows_, &specRows_})
    for (Row& r : *rows) {
      SetText(r.value.Get(), r.valueModel->caption);
      if (r.second) SetText(r.second.Get(), r.secondModel->caption);
      // Colours are taken when the labels paint.
      InvalidateRect(r.caption.Get(), nullptr, TRUE);
      InvalidateRect(r.value.Get(), nullptr, TRUE);
    }
  InvalidateRect(graph_.Get(), nullptr, FALSE);
  renderedRevision_ = model_.revision;
  rendered_ = true;
}

int GraphPanelView::SelectedIndex() const {
  return static_cast<int>(SendMessageW(comboBox1_.Get(), CB_GETCURSEL, 0, 0));
}

bool GraphPanelView::LabelColor(HWND control, COLORREF& color) const {
  if (!control) return false;
  if (control == label27_.Get()) {
    color = ToColorRef(model_.Label27.color);
    return true;
  }
  if (control == label26_.Get()) {
    color = ToColorRef(model_.Label26.color);
    return true;
  }
  for (const auto* rows : {&latestRows_, &specRows_})
    for (const Row& r : *rows) {
      if (control == r.caption.Get()) {
        color = r.captionModel ? ToColorRef(r.captionModel->color) : GetSysColor(COLOR_BTNTEXT);
        return true;
      }
      if (control == r.value.Get()) {
        color = ToColorRef(r.valueModel->color);
        return true;
      }
      if (r.second && control == r.second.Get()) {
        color = ToColorRef(r.secondModel->color);
        return true;
      }
    }
  return false;
}

LRESULT CALLBACK GraphPanelView::GraphProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_NCCREATE) {
    auto* cs = reinterpret_cast<CREATESTRUCTW*>(lParam);
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(cs->lpCreateParams));
  }
  auto* self = reinterpret_cast<GraphPanelView*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  switch (msg) {
    case WM_ERASEBKGND:
      return 1;  // the whole area is painted from the off-screen bitmap
    case WM_PAINT:
      if (self) {
        self->PaintGraph(hwnd);
        return 0;
      }
      break;
    case WM_NCDESTROY:
      SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
      break;
    default:
      break;
  }
  return DefWindowProcW(hwnd, msg, wParam, lParam);
}

void GraphPanelView::PaintGraph(HWND hwnd) {
  PAINTSTRUCT ps;
  HDC dc = BeginPaint(hwnd, &ps);
  RECT area{};
  GetClientRect(hwnd, &area);
  if (dc && area.right > 0 && area.bottom > 0) {
    GdiCanvas canvas(dc, area.right, area.bottom);
    if (canvas.Valid()) {
      try {
        model_.XYGraph1.Paint(canvas);
      } catch (const xy::EXYGraphError&) {
        // Data the axes cannot scale: the area stays as far as it was drawn. The screen's own
        // settings were checked when they were made, so this is never a state the user caused.
      }
      canvas.CopyTo(dc, 0, 0);
    }
  }
  if (dc) EndPaint(hwnd, &ps);
}

}  // namespace orv::win32
