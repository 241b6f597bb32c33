// The preview pane's window: a strip with the 変換前 / 変換後 buttons and the
// words about what lies under the mouse, and the canvas below it.
#include "app/win32/preview_pane.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstring>
#include <utility>

#include "app/form_texts.h"
#include "app/preview_raster.h"
#include "app/preview_texts.h"
#include "app/win32/cp932.h"
#include "app/win32/layout.h"

namespace {

constexpr int kFitMargin = 8;
constexpr double kWheelStep = 1.25;  // zoom per wheel notch
constexpr int kDragSlop = 3;         // pixels a click may move and still be a click
constexpr double kHitTolerance = 3;

double Milliseconds(std::chrono::steady_clock::time_point since) {
  return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - since).count();
}

}  // namespace

bool TPreviewPane::Register(HINSTANCE instance) {
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof(wc);
  wc.style = CS_DBLCLKS;
  wc.lpfnWndProc = WndProc;
  wc.hInstance = instance;
  wc.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32515));  // IDC_CROSS
  wc.lpszClassName = kClassName;
  return RegisterClassExW(&wc) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

TPreviewPane* TPreviewPane::FromHwnd(HWND hwnd) {
  if (!hwnd) return nullptr;
  wchar_t name[32] = {};
  if (!GetClassNameW(hwnd, name, 32) || std::wcscmp(name, kClassName) != 0) return nullptr;
  return reinterpret_cast<TPreviewPane*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
}

LRESULT CALLBACK TPreviewPane::WndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  try {
    if (msg == WM_NCCREATE) {
      auto* self = new TPreviewPane(hwnd);
      SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    }
    auto* self = reinterpret_cast<TPreviewPane*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (!self) return DefWindowProcW(hwnd, msg, wParam, lParam);
    if (msg == WM_NCDESTROY) {
      SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
      delete self;
      return DefWindowProcW(hwnd, msg, wParam, lParam);
    }
    return self->Route(msg, wParam, lParam);
  } catch (...) {
    // No exception may cross the system's code; the message counts as handled.
    return 0;
  }
}

LRESULT TPreviewPane::Route(UINT msg, WPARAM wParam, LPARAM lParam) {
  const auto x = static_cast<int>(static_cast<short>(LOWORD(lParam)));
  const auto y = static_cast<int>(static_cast<short>(HIWORD(lParam)));
  switch (msg) {
    case WM_CREATE: return OnCreate(), 0;
    case WM_SIZE: return OnSize(LOWORD(lParam), HIWORD(lParam)), 0;
    case WM_ERASEBKGND: return 1;  // the back buffer covers everything
    case WM_PAINT: return OnPaint(), 0;
    case WM_MOUSEWHEEL: return OnMouseWheel(x, y, GET_WHEEL_DELTA_WPARAM(wParam)), 0;
    case WM_LBUTTONDOWN: return OnButtonDown(x, y, true), 0;
    case WM_MBUTTONDOWN: return OnButtonDown(x, y, false), 0;
    case WM_MOUSEMOVE: return OnMouseMove(x, y, wParam), 0;
    case WM_LBUTTONUP:
    case WM_MBUTTONUP: return OnButtonUp(x, y), 0;
    case WM_CAPTURECHANGED: return dragging_ = false, 0;
    case WM_MOUSELEAVE: return OnMouseLeave(), 0;
    case WM_KEYDOWN:
      if (wParam == VK_HOME) return Fit(), 0;
      return DefWindowProcW(hwnd_, msg, wParam, lParam);
    case WM_GETDLGCODE: return DLGC_WANTARROWS;
    case WM_COMMAND: return OnCommand(LOWORD(wParam)), 0;
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORSTATIC: return reinterpret_cast<LRESULT>(GetStockObject(WHITE_BRUSH));
    case WM_DESTROY: return FreeBuffer(), 0;
    default: return DefWindowProcW(hwnd_, msg, wParam, lParam);
  }
}

void TPreviewPane::OnCreate() {
  const HINSTANCE instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(hwnd_, GWLP_HINSTANCE));
  const DWORD style = WS_CHILD | WS_VISIBLE | BS_AUTORADIOBUTTON | BS_PUSHLIKE;
  beforeButton_ = CreateWindowExW(0, L"BUTTON", SjisToWide(kPreviewBeforeText).c_str(), style | WS_GROUP, 0, 0, 0, 0,
                                  hwnd_, reinterpret_cast<HMENU>(static_cast<INT_PTR>(IDB_PREVIEW_BEFORE)), instance,
                                  nullptr);
  afterButton_ = CreateWindowExW(0, L"BUTTON", SjisToWide(kPreviewAfterText).c_str(), style, 0, 0, 0, 0, hwnd_,
                                 reinterpret_cast<HMENU>(static_cast<INT_PTR>(IDB_PREVIEW_AFTER)), instance, nullptr);
  SendMessageW(beforeButton_, BM_SETCHECK, BST_CHECKED, 0);
}

int TPreviewPane::StripHeight() const { return layout::Scale(layout::kPreviewStripHeight, dpi_); }

int TPreviewPane::CanvasHeight() const { return std::max(0, height_ - StripHeight()); }

void TPreviewPane::SetDpi(int dpi) {
  dpi_ = dpi;
  OnSize(width_, height_);
}

void TPreviewPane::SetFont(HFONT font) {
  font_ = font;
  for (HWND button : {beforeButton_, afterButton_}) SendMessageW(button, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
  InvalidateRect(hwnd_, nullptr, FALSE);
}

void TPreviewPane::FreeBuffer() {
  if (memDc_) {
    SelectObject(memDc_, oldBitmap_);
    DeleteDC(memDc_);
    memDc_ = nullptr;
  }
  if (dib_) DeleteObject(dib_);
  dib_ = nullptr;
  bits_ = nullptr;
}

void TPreviewPane::OnSize(int width, int height) {
  width_ = width;
  height_ = height;
  const auto s = [this](int v) { return layout::Scale(v, dpi_); };
  const int pad = s(2);
  const int bw = s(layout::kPreviewButtonWidth);
  const int bh = StripHeight() - 2 * pad;
  SetWindowPos(beforeButton_, nullptr, pad, pad, bw, bh, SWP_NOZORDER | SWP_NOACTIVATE);
  SetWindowPos(afterButton_, nullptr, pad + bw, pad, bw, bh, SWP_NOZORDER | SWP_NOACTIVATE);

  FreeBuffer();
  if (width <= 0 || height <= 0) return;
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(info.bmiHeader);
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;  // top-down rows
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  const HDC screen = GetDC(hwnd_);
  void* bits = nullptr;
  dib_ = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  memDc_ = CreateCompatibleDC(screen);
  ReleaseDC(hwnd_, screen);
  if (!dib_ || !memDc_) return FreeBuffer();
  bits_ = static_cast<uint32_t*>(bits);
  oldBitmap_ = SelectObject(memDc_, dib_);

  const TPreviewView old = view_;
  view_.width = CanvasWidth();
  view_.height = CanvasHeight();
  if (!fitted_) {
    Fit();
    return;
  }
  // A new size keeps the drawing's centre and zoom.
  view_.zoom = old.zoom;
  view_.centreX = old.centreX;
  view_.centreY = old.centreY;
  Changed();
}

void TPreviewPane::SetDrawing(TPreviewDrawing drawing, TPreviewIndex index) {
  drawing_ = std::move(drawing);
  index_ = std::move(index);
  hasDrawing_ = true;
  preparing_ = false;
  fitted_ = false;
  Fit();
}

void TPreviewPane::SetPreparing(bool preparing) {
  if (preparing_ == preparing) return;
  preparing_ = preparing;
  const RECT strip{0, 0, width_, StripHeight()};
  InvalidateRect(hwnd_, &strip, FALSE);
}

void TPreviewPane::Fit() {
  if (CanvasWidth() <= 0 || CanvasHeight() <= 0) return;
  view_ = FitView(drawing_.minX, drawing_.minY, drawing_.maxX, drawing_.maxY, CanvasWidth(), CanvasHeight(),
                  layout::Scale(kFitMargin, dpi_));
  fitted_ = true;
  Changed();
}

void TPreviewPane::SetView(const TPreviewView& view) {
  view_ = view;
  view_.width = CanvasWidth();
  view_.height = CanvasHeight();
  fitted_ = true;
  Changed();
}

void TPreviewPane::SetWidths(const TPreviewWidths& widths) {
  const bool shows = widths.after || widths_.after;  // before, the table plays no part
  widths_ = widths;
  if (shows) Changed();
}

void TPreviewPane::SetAfter(bool after) {
  SendMessageW(beforeButton_, BM_SETCHECK, after ? BST_UNCHECKED : BST_CHECKED, 0);
  SendMessageW(afterButton_, BM_SETCHECK, after ? BST_CHECKED : BST_UNCHECKED, 0);
  if (widths_.after == after) return;
  widths_.after = after;
  Changed();
}

void TPreviewPane::HighlightLayer(int layer) {
  if (layer == highlight_) return;
  highlight_ = layer;
  Changed();
}

void TPreviewPane::Changed() {
  canvasDirty_ = true;
  InvalidateRect(hwnd_, nullptr, FALSE);
}

void TPreviewPane::RedrawNow() {
  canvasDirty_ = true;
  RedrawWindow(hwnd_, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
}

void TPreviewPane::RenderCanvas() {
  const int strip = StripHeight();
  const int w = CanvasWidth(), h = CanvasHeight();
  if (h <= 0) return;
  uint32_t* canvas = bits_ + static_cast<std::size_t>(strip) * static_cast<std::size_t>(width_);
  std::fill(canvas, canvas + static_cast<std::size_t>(w) * static_cast<std::size_t>(h),
            PixelOf(layout::kPreviewPaper));
  if (!hasDrawing_) return;

  const auto start = std::chrono::steady_clock::now();
  builder_.Paint(drawing_, index_, view_, widths_, highlight_, painter_, TCanvas{canvas, w, h, width_});
  lastRenderMs_ = Milliseconds(start);
}

void TPreviewPane::RenderStrip() {
  const int strip = StripHeight();
  RECT r{0, 0, width_, strip};
  SetDCBrushColor(memDc_, layout::kPreviewStrip);
  FillRect(memDc_, &r, static_cast<HBRUSH>(GetStockObject(DC_BRUSH)));
  std::wstring text = hover_;
  if (text.empty() && preparing_) text = SjisToWide(kPreviewPreparing);
  if (text.empty() && hasDrawing_ && !drawing_.widthsExchanged) text = SjisToWide(kPreviewNoWidths);
  if (text.empty()) return;
  r.left = layout::Scale(2 + 2 * layout::kPreviewButtonWidth + 6, dpi_);
  const HGDIOBJ oldFont = SelectObject(memDc_, font_ ? font_ : GetStockObject(DEFAULT_GUI_FONT));
  SetBkMode(memDc_, TRANSPARENT);
  SetTextColor(memDc_, RGB(0, 0, 0));
  DrawTextW(memDc_, text.c_str(), static_cast<int>(text.size()), &r,
            DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS);
  SelectObject(memDc_, oldFont);
}

void TPreviewPane::OnPaint() {
  PAINTSTRUCT ps;
  const HDC dc = BeginPaint(hwnd_, &ps);
  if (memDc_ && bits_) {
    if (canvasDirty_) RenderCanvas();
    canvasDirty_ = false;
    RenderStrip();
    BitBlt(dc, 0, 0, width_, height_, memDc_, 0, 0, SRCCOPY);
  }
  EndPaint(hwnd_, &ps);
}

void TPreviewPane::OnMouseWheel(int screenX, int screenY, int delta) {
  POINT p{screenX, screenY};
  ScreenToClient(hwnd_, &p);
  ZoomAbout(view_, p.x, p.y - StripHeight(), std::pow(kWheelStep, delta / static_cast<double>(WHEEL_DELTA)));
  Changed();
}

void TPreviewPane::OnButtonDown(int x, int y, bool left) {
  SetFocus(hwnd_);
  if (y < StripHeight()) return;
  dragging_ = true;
  moved_ = false;
  dragLeft_ = left;
  dragFrom_ = downAt_ = POINT{x, y};
  SetCapture(hwnd_);
}

void TPreviewPane::OnMouseMove(int x, int y, WPARAM keys) {
  if (!tracking_) {
    TRACKMOUSEEVENT track{sizeof(track), TME_LEAVE, hwnd_, 0};
    tracking_ = TrackMouseEvent(&track) != FALSE;
  }
  if (dragging_ && (keys & (MK_LBUTTON | MK_MBUTTON))) {
    if (std::abs(x - downAt_.x) > kDragSlop || std::abs(y - downAt_.y) > kDragSlop) moved_ = true;
    if (moved_) {
      PanBy(view_, x - dragFrom_.x, y - dragFrom_.y);
      dragFrom_ = POINT{x, y};
      Changed();
    }
    return;
  }
  if (!hasDrawing_ || y < StripHeight()) return SetHoverText({});
  const int64_t hit = HitTest(drawing_, index_, view_, widths_, x, y - StripHeight(), kHitTolerance);
  SetHoverText(hit < 0 ? std::wstring()
                       : SjisToWide(PreviewEntityText(drawing_, drawing_.entities[static_cast<std::size_t>(hit)],
                                                      widths_)));
}

void TPreviewPane::OnButtonUp(int x, int y) {
  if (!dragging_) return;
  dragging_ = false;
  ReleaseCapture();
  if (moved_ || !dragLeft_ || !hasDrawing_) return;
  // A click without a drag picks the entity under the mouse.
  const int64_t hit = HitTest(drawing_, index_, view_, widths_, x, y - StripHeight(), kHitTolerance);
  if (hit >= 0 && onPick_) onPick_(drawing_.entities[static_cast<std::size_t>(hit)].layer);
}

void TPreviewPane::OnMouseLeave() {
  tracking_ = false;
  SetHoverText({});
}

void TPreviewPane::SetHoverText(std::wstring text) {
  if (text == hover_) return;
  hover_ = std::move(text);
  const RECT strip{0, 0, width_, StripHeight()};
  InvalidateRect(hwnd_, &strip, FALSE);
}

void TPreviewPane::OnCommand(int id) {
  if (id == IDB_PREVIEW_BEFORE) SetAfter(false);
  if (id == IDB_PREVIEW_AFTER) SetAfter(true);
}
