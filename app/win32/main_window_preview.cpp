// Form1's preview pane: the toggle on the form and F4 show it beside the form,
// which grows to the right without moving a control; the grid's widths, the
// check boxes and the grid cell under the mouse reach the pane from here, and
// a click in the pane selects its layer's cell. While the pane shows, the
// window's right and bottom edges size it (the form's controls stay where they
// are). The pane's state and size are kept in their own small file beside the
// preset file.
#include "app/win32/main_window.h"

#include <commctrl.h>

#include <algorithm>
#include <utility>

#include "app/form_texts.h"
#include "app/layer_summary.h"
#include "app/preview_source.h"
#include "app/win32/cp932.h"
#include "app/win32/layout.h"
#include "app/win32/preview_pane.h"
#include "app/win32/string_grid.h"

namespace {

// Only the pane makes the window resizable: without it the form has its fixed size.
constexpr DWORD kResizableStyle = WS_THICKFRAME | WS_MAXIMIZEBOX;

}  // namespace

TPreviewPane* TMainWindow::Preview() const { return TPreviewPane::FromHwnd(Control(IDW_PREVIEW)); }

bool TMainWindow::CreatePreview() {
  if (!TPreviewPane::Register(instance_)) return false;
  const HWND toggle = CreateWindowExW(0, L"BUTTON", SjisToWide(kPreviewToggleText).c_str(),
                                      WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | BS_AUTOCHECKBOX | BS_PUSHLIKE, 0, 0,
                                      0, 0, hwnd_, reinterpret_cast<HMENU>(static_cast<INT_PTR>(IDX_PREVIEW)),
                                      instance_, nullptr);
  const HWND pane = CreateWindowExW(WS_EX_CLIENTEDGE, TPreviewPane::kClassName, L"",
                                    WS_CHILD | WS_CLIPCHILDREN | WS_CLIPSIBLINGS | WS_TABSTOP, 0, 0, 0, 0, hwnd_,
                                    reinterpret_cast<HMENU>(static_cast<INT_PTR>(IDW_PREVIEW)), instance_, nullptr);
  if (!toggle || !pane) return false;
  TPreviewPane* preview = Preview();
  preview->SetPickHandler([this](int layer) {
    if (TStringGrid* grid = Grid()) grid->SelectCell(layer % 16 + 1, layer / 16 + 1);
  });
  if (const HWND grid = Control(IDG_STRINGGRID1)) {
    SetWindowSubclass(grid, GridHoverProc, 1, reinterpret_cast<DWORD_PTR>(this));
  }
  return true;
}

SIZE TMainWindow::ClientSize96() const {
  if (!previewSettings_.shown) return SIZE{layout::kClientWidth, layout::kClientHeight};
  return SIZE{layout::kPreviewLeft + previewSettings_.width, std::max(layout::kClientHeight, previewSettings_.height)};
}

void TMainWindow::PlacePreview() {
  const auto s = [this](int v) { return layout::Scale(v, dpi_); };
  const HWND toggle = Control(IDX_PREVIEW);
  const layout::TBox& t = layout::kPreviewToggle;
  SetWindowPos(toggle, nullptr, s(t.left), s(t.top), s(t.width), s(t.height), SWP_NOZORDER | SWP_NOACTIVATE);
  SendMessageW(toggle, WM_SETFONT, reinterpret_cast<WPARAM>(font_), TRUE);
  SendMessageW(toggle, BM_SETCHECK, previewSettings_.shown ? BST_CHECKED : BST_UNCHECKED, 0);
  TPreviewPane* preview = Preview();
  if (!preview) return;
  preview->SetFont(font_);
  preview->SetDpi(dpi_);
  const SIZE client = ClientSize96();
  SetWindowPos(preview->Hwnd(), nullptr, s(layout::kPreviewLeft), 0, s(previewSettings_.width), s(client.cy),
               SWP_NOZORDER | SWP_NOACTIVATE | (previewSettings_.shown ? SWP_SHOWWINDOW : SWP_HIDEWINDOW));
}

void TMainWindow::SetResizable(bool resizable) {
  // A maximised window is restored before it loses its maximise box.
  if (!resizable && IsZoomed(hwnd_)) ShowWindow(hwnd_, SW_RESTORE);
  const auto style = static_cast<DWORD>(GetWindowLongPtrW(hwnd_, GWL_STYLE));
  const DWORD wanted = resizable ? style | kResizableStyle : style & ~kResizableStyle;
  if (wanted == style) return;
  SetWindowLongPtrW(hwnd_, GWL_STYLE, static_cast<LONG_PTR>(wanted));
  SetWindowPos(hwnd_, nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
}

void TMainWindow::FillPreview() {
  TPreviewPane* preview = Preview();
  if (!preview || !previewSettings_.shown) return;
  RECT client{};
  GetClientRect(hwnd_, &client);
  const int left = layout::Scale(layout::kPreviewLeft, dpi_);
  SetWindowPos(preview->Hwnd(), nullptr, left, 0, std::max(0, static_cast<int>(client.right) - left), client.bottom,
               SWP_NOZORDER | SWP_NOACTIVATE);
}

// The pane follows every new size. One the user dragged to becomes the size
// kept for the next run, in 96-DPI units; the window's own sizing (layout,
// DPI, style) and a maximised window leave the kept size alone.
void TMainWindow::OnSize(UINT kind) {
  FillPreview();
  if (layingOut_ || kind != SIZE_RESTORED || !previewSettings_.shown) return;
  RECT client{};
  GetClientRect(hwnd_, &client);
  previewSettings_.width = std::clamp(layout::Unscale(client.right, dpi_) - layout::kPreviewLeft,
                                      TPreviewSettings::kMinSide, TPreviewSettings::kMaxSide);
  previewSettings_.height =
      std::clamp(layout::Unscale(client.bottom, dpi_), TPreviewSettings::kMinSide, TPreviewSettings::kMaxSide);
}

// The drag stops where the form would be cut or the pane grow past what the settings file keeps.
void TMainWindow::OnGetMinMaxInfo(MINMAXINFO& info) const {
  if (!hwnd_ || !previewSettings_.shown) return;
  const SIZE least = WindowSizeFor({layout::kPreviewLeft + TPreviewSettings::kMinSide, layout::kClientHeight});
  const SIZE most = WindowSizeFor({layout::kPreviewLeft + TPreviewSettings::kMaxSide, TPreviewSettings::kMaxSide});
  info.ptMinTrackSize = POINT{least.cx, least.cy};
  info.ptMaxTrackSize = POINT{most.cx, most.cy};
}

void TMainWindow::ShowPreview(bool shown) {
  TPreviewPane* preview = Preview();
  if (!preview) return;
  if (shown) PreparePreview();
  previewSettings_.shown = shown;
  preview->SetAfter(previewSettings_.after);
  RefreshPreviewWidths();
  ApplyLayout(dpi_, nullptr);
  if (shown) preview->Fit();
}

// The drawing is turned into the pane's records the first time the pane
// shows: a run that never opens it pays nothing. After OK the store holds the
// converted widths, so the pane no longer reads it.
void TMainWindow::PreparePreview() {
  TPreviewPane* preview = Preview();
  if (!preview || preview->HasDrawing() || previewLoader_.Busy() || form_.store.Order.empty() || closed_) return;
  if (form_.store.Order.size() < options_.previewInBackgroundFrom) {
    TPreviewDrawing drawing = MakePreviewDrawing(form_.store);
    TPreviewIndex index(drawing);
    preview->SetDrawing(std::move(drawing), std::move(index));
    return;
  }
  preview->SetPreparing(true);
  const HWND hwnd = hwnd_;
  previewLoader_.Start(form_.store, [hwnd] { PostMessageW(hwnd, kPreviewReadyMessage, 0, 0); });
}

void TMainWindow::OnPreviewReady() {
  std::unique_ptr<TPreviewScene> scene = previewLoader_.Take();
  TPreviewPane* preview = Preview();
  if (!scene || !preview || closed_) return;
  preview->SetDrawing(std::move(scene->drawing), std::move(scene->index));
}

void TMainWindow::StopPreviewLoader() {
  previewLoader_.Stop();
  if (TPreviewPane* preview = Preview()) preview->SetPreparing(false);
}

bool TMainWindow::PreviewKey(WPARAM key) {
  if ((GetKeyState(VK_MENU) & 0x8000) || (GetKeyState(VK_CONTROL) & 0x8000)) return false;
  if (key == VK_F4) {
    ShowPreview(!previewSettings_.shown);
    return true;
  }
  TPreviewPane* preview = Preview();
  if (key == VK_F5 && preview && previewSettings_.shown) {
    previewSettings_.after = !preview->After();
    preview->SetAfter(previewSettings_.after);
    return true;
  }
  return false;
}

void TMainWindow::RefreshPreviewWidths() {
  TPreviewPane* preview = Preview();
  if (!preview || closed_) return;
  previewSettings_.after = preview->After();
  TPreviewWidths widths;
  widths.after = preview->After();
  for (int g = 0; g < 16; ++g) {
    for (int l = 0; l < 16; ++l) widths.table[static_cast<std::size_t>(g * 16 + l)] = CellWidth(GridCell(l + 1, g + 1));
  }
  widths.kinds.points = CheckBox(TCheckBoxId::Points);
  widths.kinds.dims = CheckBox(TCheckBoxId::Dims);
  widths.kinds.solids = CheckBox(TCheckBoxId::Solids);
  widths.kinds.arbitrary = CheckBox(TCheckBoxId::Arbitrary);
  preview->SetWidths(widths);
}

void TMainWindow::LoadPreviewState() {
  previewLoaded_ = previewSettings_ = LoadPreviewSettings(PreviewSettingsPathFor(ExecutablePath()));
  // The pane is asked which view it shows whenever the form re-tints the grid,
  // FormShow first: it must know the kept view before then, or that is lost.
  if (TPreviewPane* preview = Preview()) preview->SetAfter(previewSettings_.after);
}

void TMainWindow::SavePreviewState() {
  if (TPreviewPane* preview = Preview()) previewSettings_.after = preview->After();
  const TPreviewSettings& now = previewSettings_;
  const TPreviewSettings& was = previewLoaded_;
  if (now.shown == was.shown && now.after == was.after && now.width == was.width && now.height == was.height) return;
  // A pane setting that cannot be saved is not worth a message: the next run opens as before.
  if (SavePreviewSettings(PreviewSettingsPathFor(ExecutablePath()), now)) previewLoaded_ = now;
}

// Watches the mouse over the grid: the data cell under it lights its layer in the pane.
LRESULT CALLBACK TMainWindow::GridHoverProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                                            DWORD_PTR data) {
  auto* self = reinterpret_cast<TMainWindow*>(data);
  if (msg == WM_MOUSEMOVE || msg == WM_MOUSELEAVE) {
    TPreviewPane* preview = self->Preview();
    TStringGrid* grid = TStringGrid::FromHwnd(hwnd);
    if (preview && grid) {
      int layer = -1;
      int col = -1, row = -1;
      if (msg == WM_MOUSEMOVE) {
        TRACKMOUSEEVENT track{sizeof(track), TME_LEAVE, hwnd, 0};
        TrackMouseEvent(&track);
        const auto x = static_cast<int>(static_cast<short>(LOWORD(lParam)));
        const auto y = static_cast<int>(static_cast<short>(HIWORD(lParam)));
        if (grid->Model().HitTest(x, y, grid->Dpi(), col, row) && col >= 1 && row >= 1) {
          layer = (row - 1) * 16 + (col - 1);
        }
      }
      preview->HighlightLayer(layer);
    }
  }
  if (msg == WM_NCDESTROY) RemoveWindowSubclass(hwnd, GridHoverProc, id);
  return DefSubclassProc(hwnd, msg, wParam, lParam);
}
