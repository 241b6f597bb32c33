// StringGrid1's model and window: drawing, scrolling with fixed headers, and
// the in-place editor whose every change is the cell's text at once.
#include "app/win32/string_grid.h"

#include <commctrl.h>
#include <imm.h>
#include <windowsx.h>

#include <algorithm>
#include <cwchar>
#include <new>

#include "app/cell_check.h"
#include "app/win32/cp932.h"
#include "app/win32/layout.h"

namespace {

constexpr int kGridLine = 1;  // one device pixel at any DPI
constexpr UINT_PTR kEditorSubclassId = 1;
constexpr int kEditorId = 1;

const std::wstring& EmptyText() {
  static const std::wstring empty;
  return empty;
}

std::size_t CellIndex(int col, int row) { return static_cast<std::size_t>(row * TGridModel::kCols + col); }

std::wstring WindowText(HWND hwnd) {
  const int length = GetWindowTextLengthW(hwnd);
  std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
  const int got = GetWindowTextW(hwnd, text.data(), length + 1);
  text.resize(static_cast<std::size_t>(std::max(got, 0)));
  return text;
}

// The tint of a data cell by its use; white when its layer holds nothing.
COLORREF UseColour(TCellUse use) {
  switch (use) {
    case TCellUse::Converts: return layout::kUsedConvertsColour;
    case TCellUse::Untouched: return layout::kUsedUntouchedColour;
    case TCellUse::Unused: break;
  }
  return layout::kFormColour;
}

// A range's shade over a cell's tint: a quarter of the highlight, so the
// used-layer tint and the text under it stay readable.
constexpr COLORREF kErrorColour = RGB(204, 0, 0);

COLORREF Shade(COLORREF base, COLORREF highlight) {
  const auto mix = [](int b, int h) { return static_cast<BYTE>((b * 3 + h) / 4); };
  return RGB(mix(GetRValue(base), GetRValue(highlight)), mix(GetGValue(base), GetGValue(highlight)),
             mix(GetBValue(base), GetBValue(highlight)));
}

}  // namespace

std::wstring NarrowNumberChars(std::wstring_view text) {
  std::wstring out(text);
  for (wchar_t& ch : out) {
    if (ch >= L'\xFF10' && ch <= L'\xFF19') {
      ch = static_cast<wchar_t>(L'0' + (ch - L'\xFF10'));
    } else if (ch == L'\xFF0D' || ch == L'\x2212') {  // full-width hyphen-minus, minus sign
      ch = L'-';
    } else if (ch == L'\xFF0B') {
      ch = L'+';
    }
  }
  return out;
}

// ---- model ----

TGridModel::TGridModel() : rowHeight_(layout::kGridRowHeight) { colWidths_.fill(layout::kGridDefaultColWidth); }

const std::wstring& TGridModel::Cell(int col, int row) const {
  if (!InRange(col, row)) return EmptyText();
  return cells_[CellIndex(col, row)];
}

bool TGridModel::SetCell(int col, int row, std::wstring_view text) {
  if (!InRange(col, row)) return false;
  cells_[CellIndex(col, row)].assign(text);
  return true;
}

int TGridModel::ColWidth(int col) const {
  if (col < 0 || col >= kCols) return 0;
  return colWidths_[static_cast<std::size_t>(col)];
}

void TGridModel::SetColWidth(int col, int width) {
  if (col < 0 || col >= kCols || width < 0) return;
  colWidths_[static_cast<std::size_t>(col)] = width;
}

void TGridModel::MoveTo(int col, int row) {
  curCol_ = std::clamp(col, kFirstData, kLastCol);
  curRow_ = std::clamp(row, kFirstData, kLastRow);
}

void TGridModel::MoveBy(int dCol, int dRow) { MoveTo(curCol_ + dCol, curRow_ + dRow); }

void TGridModel::MoveTabOrder(bool backwards) {
  if (!backwards) {
    if (curCol_ < kLastCol) return MoveTo(curCol_ + 1, curRow_);
    if (curRow_ < kLastRow) return MoveTo(kFirstData, curRow_ + 1);
    return;
  }
  if (curCol_ > kFirstData) return MoveTo(curCol_ - 1, curRow_);
  if (curRow_ > kFirstData) MoveTo(kLastCol, curRow_ - 1);
}

int TGridModel::ColExtent(int col, int dpi) const { return layout::Scale(ColWidth(col), dpi) + kGridLine; }

int TGridModel::RowExtent(int dpi) const { return layout::Scale(rowHeight_, dpi) + kGridLine; }

int TGridModel::FullyVisibleCols(int clientWidth, int dpi) const {
  int room = clientWidth - ColExtent(0, dpi);
  int count = 0;
  for (int c = leftCol_; c <= kLastCol && ColExtent(c, dpi) <= room; ++c) {
    room -= ColExtent(c, dpi);
    ++count;
  }
  return std::max(count, 1);
}

int TGridModel::FullyVisibleRows(int clientHeight, int dpi) const {
  const int room = clientHeight - RowExtent(dpi);
  return std::clamp(room / RowExtent(dpi), 1, kLastRow - topRow_ + 1);
}

int TGridModel::MaxLeftCol(int clientWidth, int dpi) const {
  const int room = clientWidth - ColExtent(0, dpi);
  int used = 0;
  int first = kLastCol + 1;
  while (first > kFirstData && used + ColExtent(first - 1, dpi) <= room) {
    used += ColExtent(first - 1, dpi);
    --first;
  }
  return std::min(first, kLastCol);
}

int TGridModel::MaxTopRow(int clientHeight, int dpi) const {
  const int fit = std::max((clientHeight - RowExtent(dpi)) / RowExtent(dpi), 1);
  return std::max(kLastRow - fit + 1, kFirstData);
}

void TGridModel::ScrollTo(int leftCol, int topRow, int clientWidth, int clientHeight, int dpi) {
  leftCol_ = std::clamp(leftCol, kFirstData, MaxLeftCol(clientWidth, dpi));
  topRow_ = std::clamp(topRow, kFirstData, MaxTopRow(clientHeight, dpi));
}

RECT TGridModel::CellRect(int col, int row, int dpi) const {
  RECT r{0, 0, 0, 0};
  if (!InRange(col, row) || (col != 0 && col < leftCol_) || (row != 0 && row < topRow_)) return r;
  int x = 0;
  if (col != 0) {
    x = ColExtent(0, dpi);
    for (int c = leftCol_; c < col; ++c) x += ColExtent(c, dpi);
  }
  const int y = row == 0 ? 0 : RowExtent(dpi) * (1 + row - topRow_);
  r.left = x;
  r.top = y;
  r.right = x + ColExtent(col, dpi);
  r.bottom = y + RowExtent(dpi);
  return r;
}

bool TGridModel::HitTest(int x, int y, int dpi, int& col, int& row) const {
  if (x < 0 || y < 0) return false;
  int hitCol = -1;
  if (x < ColExtent(0, dpi)) {
    hitCol = 0;
  } else {
    int left = ColExtent(0, dpi);
    for (int c = leftCol_; c <= kLastCol; ++c) {
      if (x < left + ColExtent(c, dpi)) {
        hitCol = c;
        break;
      }
      left += ColExtent(c, dpi);
    }
  }
  const int band = y / RowExtent(dpi);
  const int hitRow = band == 0 ? 0 : topRow_ + band - 1;
  if (hitCol < 0 || hitRow > kLastRow) return false;
  col = hitCol;
  row = hitRow;
  return true;
}

void TGridModel::EnsureCurrentVisible(int clientWidth, int clientHeight, int dpi) {
  if (curCol_ < leftCol_) leftCol_ = curCol_;
  while (leftCol_ < curCol_ && CellRect(curCol_, 0, dpi).right > clientWidth) ++leftCol_;
  if (curRow_ < topRow_) topRow_ = curRow_;
  while (topRow_ < curRow_ && CellRect(0, curRow_, dpi).bottom > clientHeight) ++topRow_;
}

// ---- window ----

bool TStringGrid::Register(HINSTANCE instance) {
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof(wc);
  wc.style = CS_DBLCLKS;
  wc.lpfnWndProc = WndProc;
  wc.hInstance = instance;
  wc.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));  // IDC_ARROW
  wc.lpszClassName = kClassName;
  return RegisterClassExW(&wc) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

TStringGrid* TStringGrid::FromHwnd(HWND hwnd) {
  wchar_t name[64] = {};
  if (!hwnd || !GetClassNameW(hwnd, name, 64) || std::wstring_view(name) != kClassName) return nullptr;
  return reinterpret_cast<TStringGrid*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
}

TStringGrid::TStringGrid(HWND hwnd) : hwnd_(hwnd) {}

LRESULT CALLBACK TStringGrid::WndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  try {
    if (msg == WM_NCCREATE) {
      auto* grid = new (std::nothrow) TStringGrid(hwnd);
      if (!grid) return FALSE;
      SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(grid));
    }
    auto* grid = reinterpret_cast<TStringGrid*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (msg == WM_NCDESTROY) {
      SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
      delete grid;
      return DefWindowProcW(hwnd, msg, wParam, lParam);
    }
    if (!grid) return DefWindowProcW(hwnd, msg, wParam, lParam);
    return grid->Route(msg, wParam, lParam);
  } catch (...) {
    // Nothing may unwind into the system's code; the message counts as handled.
    return 0;
  }
}

LRESULT TStringGrid::Route(UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    case WM_PAINT: return OnPaint(), 0;
    case WM_ERASEBKGND: return 1;
    case WM_SIZE: return UpdateScrollBars(), PlaceEditor(), 0;
    case WM_SETFONT:
      font_ = reinterpret_cast<HFONT>(wParam);
      // The tooltip shows names in Japanese: it takes the grid's font, not the system's.
      if (tooltip_) SendMessageW(tooltip_, WM_SETFONT, wParam, FALSE);
      return PlaceEditor(), 0;
    case WM_GETFONT: return reinterpret_cast<LRESULT>(font_);
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
      return OnLButtonDown(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam), (wParam & MK_SHIFT) != 0), 0;
    case WM_LBUTTONUP: return OnLButtonUp(), 0;
    case WM_CAPTURECHANGED: return dragging_ = false, 0;
    case WM_RBUTTONDOWN: return OnRButtonDown(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)), 0;
    case WM_KEYDOWN: return OnKeyDown(wParam) ? 0 : DefWindowProcW(hwnd_, msg, wParam, lParam);
    case WM_CHAR: return OnChar(static_cast<wchar_t>(wParam)), 0;
    case WM_VSCROLL: return OnScroll(SB_VERT, LOWORD(wParam)), 0;
    case WM_HSCROLL: return OnScroll(SB_HORZ, LOWORD(wParam)), 0;
    case WM_MOUSEWHEEL: return OnMouseWheel(GET_WHEEL_DELTA_WPARAM(wParam)), 0;
    case WM_SETFOCUS: return InvalidateRect(hwnd_, nullptr, FALSE), 0;
    case WM_KILLFOCUS: return InvalidateRect(hwnd_, nullptr, FALSE), 0;
    case WM_GETDLGCODE: return OnGetDlgCode(reinterpret_cast<const MSG*>(lParam));
    case WM_CREATE: return CreateTooltip(), ImmAssociateContext(hwnd_, nullptr), 0;
    case WM_MOUSEMOVE: return OnMouseMove(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)), 0;
    case WM_NOTIFY: return OnNotify(reinterpret_cast<NMHDR*>(lParam));
    case WM_COMMAND:
      if (HIWORD(wParam) == EN_CHANGE && reinterpret_cast<HWND>(lParam) == editor_) OnEditorChange();
      return 0;
    default: return DefWindowProcW(hwnd_, msg, wParam, lParam);
  }
}

LRESULT CALLBACK TStringGrid::EditorProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                         DWORD_PTR data) {
  try {
    return reinterpret_cast<TStringGrid*>(data)->RouteEditor(hwnd, msg, wParam, lParam);
  } catch (...) {
    return 0;
  }
}

LRESULT TStringGrid::RouteEditor(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    // Every key reaches the editor: Enter, Tab, arrows and Escape end the edit
    // here instead of pressing the window's buttons.
    case WM_GETDLGCODE: return DLGC_WANTALLKEYS | DLGC_WANTARROWS | DLGC_WANTCHARS | DLGC_WANTTAB;
    case WM_KEYDOWN: return OnEditorKey(wParam) ? 0 : DefSubclassProc(hwnd, msg, wParam, lParam);
    case WM_CHAR:
      // Enter, Tab and Escape were acted on at WM_KEYDOWN; as characters they would only beep.
      if (wParam == L'\r' || wParam == L'\t' || wParam == 0x1B || wParam == L'\n') return 0;
      return DefSubclassProc(hwnd, msg, wParam, lParam);
    case WM_KILLFOCUS: {
      const LRESULT result = DefSubclassProc(hwnd, msg, wParam, lParam);
      if (editing_ && !ending_) EndEdit(true);
      return result;
    }
    case WM_NCDESTROY:
      RemoveWindowSubclass(hwnd, EditorProc, kEditorSubclassId);
      return DefSubclassProc(hwnd, msg, wParam, lParam);
    default: return DefSubclassProc(hwnd, msg, wParam, lParam);
  }
}

void TStringGrid::SetCellText(int col, int row, std::wstring_view text) {
  if (!model_.SetCell(col, row, text)) return;
  if (editing_ && col == editCol_ && row == editRow_) {
    settingEditor_ = true;
    SetWindowTextW(editor_, model_.Cell(col, row).c_str());
    settingEditor_ = false;
  }
  const RECT r = model_.CellRect(col, row, dpi_);
  InvalidateRect(hwnd_, &r, FALSE);
}

void TStringGrid::SetColWidth(int col, int width96) {
  model_.SetColWidth(col, width96);
  UpdateScrollBars();
  PlaceEditor();
  InvalidateRect(hwnd_, nullptr, FALSE);
}

void TStringGrid::SetDpi(int dpi) {
  dpi_ = dpi > 0 ? dpi : layout::kBaseDpi;
  if (tooltip_) SendMessageW(tooltip_, TTM_SETMAXTIPWIDTH, 0, layout::Scale(layout::kTooltipMaxWidth, dpi_));
  UpdateScrollBars();
  PlaceEditor();
  InvalidateRect(hwnd_, nullptr, FALSE);
}

void TStringGrid::SelectCell(int col, int row) {
  if (editing_) EndEdit(true);
  model_.MoveTo(col, row);
  selection_.MoveTo(model_.CurCol(), model_.CurRow());
  AfterMove();
}

void TStringGrid::SetSelection(const TGridSelection& selection) {
  if (editing_) EndEdit(true);
  selection_ = selection;
  model_.MoveTo(selection_.CurCol(), selection_.CurRow());
  AfterMove();
}

void TStringGrid::ClientSize(int& width, int& height) const {
  RECT client{};
  GetClientRect(hwnd_, &client);
  width = client.right;
  height = client.bottom;
}

bool TStringGrid::HasFocusWithin() const {
  const HWND focus = GetFocus();
  return focus && (focus == hwnd_ || focus == editor_);
}

void TStringGrid::UpdateScrollBars() {
  int width = 0;
  int height = 0;
  ClientSize(width, height);
  model_.ScrollTo(model_.LeftCol(), model_.TopRow(), width, height, dpi_);
  // Other cells now lie under the mouse: the tooltip speaks of none until it moves.
  if (model_.LeftCol() != tipLeftCol_ || model_.TopRow() != tipTopRow_) ForgetTipCell();
  SCROLLINFO si{};
  si.cbSize = sizeof(si);
  si.fMask = SIF_ALL | SIF_DISABLENOSCROLL;
  si.nMin = TGridModel::kFirstData;
  si.nMax = TGridModel::kLastCol;
  si.nPage = static_cast<UINT>(model_.FullyVisibleCols(width, dpi_));
  si.nPos = model_.LeftCol();
  SetScrollInfo(hwnd_, SB_HORZ, &si, TRUE);
  si.nMax = TGridModel::kLastRow;
  si.nPage = static_cast<UINT>(model_.FullyVisibleRows(height, dpi_));
  si.nPos = model_.TopRow();
  SetScrollInfo(hwnd_, SB_VERT, &si, TRUE);
}

void TStringGrid::OnPaint() {
  PAINTSTRUCT ps;
  const HDC dc = BeginPaint(hwnd_, &ps);
  RECT client{};
  GetClientRect(hwnd_, &client);
  // Drawn off screen first so that scrolling and typing do not flicker.
  const HDC mem = CreateCompatibleDC(dc);
  const HBITMAP bitmap = CreateCompatibleBitmap(dc, std::max<LONG>(client.right, 1), std::max<LONG>(client.bottom, 1));
  if (mem && bitmap) {
    const HGDIOBJ oldBitmap = SelectObject(mem, bitmap);
    Draw(mem, client);
    BitBlt(dc, 0, 0, client.right, client.bottom, mem, 0, 0, SRCCOPY);
    SelectObject(mem, oldBitmap);
  } else {
    Draw(dc, client);
  }
  if (bitmap) DeleteObject(bitmap);
  if (mem) DeleteDC(mem);
  EndPaint(hwnd_, &ps);
}

void TStringGrid::Draw(HDC dc, const RECT& client) {
  const HBRUSH background = CreateSolidBrush(layout::kFormColour);
  FillRect(dc, &client, background);
  DeleteObject(background);
  const HGDIOBJ oldFont = font_ ? SelectObject(dc, font_) : nullptr;
  SetBkMode(dc, TRANSPARENT);
  for (int row = 0; row <= TGridModel::kLastRow; ++row) {
    if (row != 0 && row < model_.TopRow()) continue;
    for (int col = 0; col <= TGridModel::kLastCol; ++col) {
      if (col != 0 && col < model_.LeftCol()) continue;
      const RECT r = model_.CellRect(col, row, dpi_);
      if (r.left >= client.right || r.top >= client.bottom) continue;
      DrawCell(dc, col, row);
    }
  }
  if (oldFont) SelectObject(dc, oldFont);
}

void TStringGrid::DrawCell(HDC dc, int col, int row) {
  const RECT r = model_.CellRect(col, row, dpi_);
  const bool fixed = col == 0 || row == 0;
  const bool current = col == model_.CurCol() && row == model_.CurRow();
  const bool focused = HasFocusWithin();
  const bool inRange = !fixed && !selection_.IsSingle() && selection_.Contains(col, row);
  COLORREF back = layout::kFormColour;
  COLORREF fore = GetSysColor(COLOR_WINDOWTEXT);
  if (fixed) {
    back = GetSysColor(COLOR_BTNFACE);
    fore = GetSysColor(COLOR_BTNTEXT);
  } else if (inRange && !current) {
    back = Shade(UseColour(Use(col, row)), focused ? GetSysColor(COLOR_HIGHLIGHT) : RGB(160, 160, 160));
  } else {
    // The current cell keeps its tint and is framed instead (below), as spreadsheets draw it.
    back = UseColour(Use(col, row));
  }
  RECT inner{r.left, r.top, r.right - kGridLine, r.bottom - kGridLine};
  const HBRUSH brush = CreateSolidBrush(back);
  FillRect(dc, &inner, brush);
  DeleteObject(brush);
  if (fixed) DrawHeaderMark(dc, inner, col, row);

  const HPEN pen = CreatePen(PS_SOLID, 1, fixed ? GetSysColor(COLOR_BTNSHADOW) : RGB(192, 192, 192));
  const HGDIOBJ oldPen = SelectObject(dc, pen);
  MoveToEx(dc, r.right - 1, r.top, nullptr);
  LineTo(dc, r.right - 1, r.bottom - 1);
  LineTo(dc, r.left - 1, r.bottom - 1);
  SelectObject(dc, oldPen);
  DeleteObject(pen);

  if (current && !fixed && !editing_) {
    // Framed in the highlight while the grid has the focus, in grey without it
    // (at start the focus is on OK), so the tint inside stays readable either way.
    const int thick = std::max(2, layout::Scale(2, dpi_));
    const HBRUSH frame = CreateSolidBrush(focused ? GetSysColor(COLOR_HIGHLIGHT) : RGB(128, 128, 128));
    for (int i = 0; i < thick; ++i) {
      const RECT ring{inner.left + i, inner.top + i, inner.right - i, inner.bottom - i};
      FrameRect(dc, &ring, frame);
    }
    DeleteObject(frame);
  }

  const std::wstring& text = model_.Cell(col, row);
  // Text that is no width shows in red (its tooltip says what OK will store);
  // an empty cell gets a red mark, having no text to colour.
  if (!fixed && !CheckCellText(WideToSjis(text)).valid) {
    fore = kErrorColour;
    if (text.empty()) {
      const int mark = layout::Scale(3, dpi_);
      RECT corner{inner.left + 1, inner.top + 1, inner.left + 1 + mark, inner.top + 1 + mark};
      const HBRUSH red = CreateSolidBrush(kErrorColour);
      FillRect(dc, &corner, red);
      DeleteObject(red);
    }
  }
  if (text.empty()) return;
  SetTextColor(dc, fore);
  const int pad = layout::Scale(2, dpi_);
  RECT textBox{inner.left + pad, inner.top, inner.right - pad, inner.bottom};
  const UINT align = fixed ? DT_CENTER : DT_LEFT;
  DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &textBox,
            align | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS);
}

// A used group or layer shows a strip on its header: at the left of a row
// header, along the top of a column header.
void TStringGrid::DrawHeaderMark(HDC dc, const RECT& inner, int col, int row) {
  const TCellUse use = Use(col, row);
  if (use == TCellUse::Unused || (col == 0 && row == 0)) return;
  const int width = layout::Scale(layout::kHeaderMarkWidth, dpi_);
  RECT strip = inner;
  if (col == 0) {
    strip.right = std::min<LONG>(strip.left + width, strip.right);
  } else {
    strip.bottom = std::min<LONG>(strip.top + width, strip.bottom);
  }
  const HBRUSH brush =
      CreateSolidBrush(use == TCellUse::Converts ? layout::kMarkConvertsColour : layout::kMarkUntouchedColour);
  FillRect(dc, &strip, brush);
  DeleteObject(brush);
}

void TStringGrid::SetUse(const TGridUse& use) {
  if (use == use_) return;
  use_ = use;
  InvalidateRect(hwnd_, nullptr, FALSE);
}

TCellUse TStringGrid::Use(int col, int row) const {
  if (!TGridModel::InRange(col, row)) return TCellUse::Unused;
  return use_[static_cast<std::size_t>(row * TGridModel::kCols + col)];
}

void TStringGrid::RevealFirstUsed() {
  int width = 0;
  int height = 0;
  ClientSize(width, height);
  const int lastCol = model_.LeftCol() + model_.FullyVisibleCols(width, dpi_) - 1;
  const int lastRow = model_.TopRow() + model_.FullyVisibleRows(height, dpi_) - 1;
  for (int row = model_.TopRow(); row <= lastRow; ++row) {
    for (int col = model_.LeftCol(); col <= lastCol; ++col) {
      if (Use(col, row) != TCellUse::Unused) return;
    }
  }
  int col = 0;
  int row = 0;
  if (!FirstUsedCell(use_, col, row)) return;
  // The used cell comes to the top left, or as near as the grid's end allows.
  model_.ScrollTo(col, row, width, height, dpi_);
  UpdateScrollBars();
  PlaceEditor();
  InvalidateRect(hwnd_, nullptr, FALSE);
}

void TStringGrid::CreateTooltip() {
  const auto instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(hwnd_, GWLP_HINSTANCE));
  tooltip_ = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_NOPREFIX | TTS_ALWAYSTIP,
                             CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, hwnd_, nullptr, instance,
                             nullptr);
  if (!tooltip_) return;
  // One tool whose rectangle follows the cell under the mouse: leaving a cell
  // leaves the tool, so the next cell's text is asked for afresh.
  TTTOOLINFOW info{};
  info.cbSize = sizeof(info);
  info.uFlags = TTF_SUBCLASS;
  info.hwnd = hwnd_;
  info.uId = 1;
  info.lpszText = LPSTR_TEXTCALLBACKW;
  SendMessageW(tooltip_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&info));
  SendMessageW(tooltip_, TTM_SETMAXTIPWIDTH, 0, layout::Scale(layout::kTooltipMaxWidth, dpi_));
  // Long enough to read a few lines of counts.
  SendMessageW(tooltip_, TTM_SETDELAYTIME, TTDT_AUTOPOP, 20000);
}

void TStringGrid::ForgetTipCell() {
  tipLeftCol_ = model_.LeftCol();
  tipTopRow_ = model_.TopRow();
  if (!tooltip_ || tipCol_ < 0) return;
  tipCol_ = tipRow_ = -1;
  SendMessageW(tooltip_, TTM_POP, 0, 0);
  TTTOOLINFOW info{};
  info.cbSize = sizeof(info);
  info.hwnd = hwnd_;
  info.uId = 1;
  SendMessageW(tooltip_, TTM_NEWTOOLRECTW, 0, reinterpret_cast<LPARAM>(&info));
}

void TStringGrid::OnMouseMove(int x, int y) {
  if (dragging_) {
    int col = 0;
    int row = 0;
    if (model_.HitTest(x, y, dpi_, col, row) && col > 0 && row > 0 &&
        (col != selection_.EndCol() || row != selection_.EndRow())) {
      ExtendTo(col, row);
    }
  }
  if (!tooltip_) return;
  int col = -1;
  int row = -1;
  if (!model_.HitTest(x, y, dpi_, col, row)) col = row = -1;
  if (col == tipCol_ && row == tipRow_) return;
  tipCol_ = col;
  tipRow_ = row;
  TTTOOLINFOW info{};
  info.cbSize = sizeof(info);
  info.hwnd = hwnd_;
  info.uId = 1;
  if (col >= 0) info.rect = model_.CellRect(col, row, dpi_);
  SendMessageW(tooltip_, TTM_NEWTOOLRECTW, 0, reinterpret_cast<LPARAM>(&info));
}

LRESULT TStringGrid::OnNotify(NMHDR* header) {
  if (!header || header->hwndFrom != tooltip_ || header->code != TTN_GETDISPINFOW) return 0;
  auto* info = reinterpret_cast<NMTTDISPINFOW*>(header);
  tipText_.clear();
  if (tipSource_ && tipCol_ >= 0) tipText_ = tipSource_(tipCol_, tipRow_);
  info->lpszText = tipText_.data();
  return 0;
}

void TStringGrid::NotifyChanged() {
  const HWND parent = GetParent(hwnd_);
  if (!parent) return;
  SendMessageW(parent, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(hwnd_), EN_CHANGE), reinterpret_cast<LPARAM>(hwnd_));
}

void TStringGrid::OnLButtonDown(int x, int y, bool shift) {
  SetFocus(hwnd_);
  int col = 0;
  int row = 0;
  if (!model_.HitTest(x, y, dpi_, col, row)) return;
  if (col == 0 || row == 0) {
    // Headers take a whole group row, a layer's column, or (the corner) the table.
    if (editing_) EndEdit(true);
    if (col == 0 && row == 0) {
      selection_.SelectAll();
    } else if (col == 0) {
      selection_.SelectRow(row, shift);
    } else {
      selection_.SelectColumn(col, shift);
    }
    model_.MoveTo(selection_.CurCol(), selection_.CurRow());
    return AfterMove();
  }
  if (shift) return ExtendTo(col, row);
  SelectCell(col, row);
  BeginEdit();
  // Held and moved, the button stretches a range from this cell.
  dragging_ = true;
  SetCapture(hwnd_);
}

void TStringGrid::OnLButtonUp() {
  if (!dragging_) return;
  dragging_ = false;
  ReleaseCapture();
}

void TStringGrid::OnRButtonDown(int x, int y) {
  int col = 0;
  int row = 0;
  // A right click outside the range moves there first, so the menu acts on what was clicked.
  if (model_.HitTest(x, y, dpi_, col, row) && col > 0 && row > 0 && !selection_.Contains(col, row)) {
    SelectCell(col, row);
  }
  if (editing_) EndEdit(true);
  SetFocus(hwnd_);
}

void TStringGrid::ExtendTo(int col, int row) {
  if (editing_) EndEdit(true);
  selection_.ExtendTo(col, row);
  // The end cell is scrolled into view, the current cell stays where it was.
  int width = 0;
  int height = 0;
  ClientSize(width, height);
  TGridModel probe = model_;
  probe.MoveTo(selection_.EndCol(), selection_.EndRow());
  probe.EnsureCurrentVisible(width, height, dpi_);
  model_.ScrollTo(probe.LeftCol(), probe.TopRow(), width, height, dpi_);
  UpdateScrollBars();
  InvalidateRect(hwnd_, nullptr, FALSE);
}

void TStringGrid::Command(TGridCommand code) {
  const HWND parent = GetParent(hwnd_);
  if (!parent) return;
  SendMessageW(parent, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(hwnd_), code), reinterpret_cast<LPARAM>(hwnd_));
}

bool TStringGrid::OnRangeKey(WPARAM key, bool ctrl, bool shift) {
  int width = 0;
  int height = 0;
  ClientSize(width, height);
  const int page = model_.FullyVisibleRows(height, dpi_);
  if (shift && !ctrl) {
    switch (key) {
      case VK_LEFT: return ExtendTo(selection_.EndCol() - 1, selection_.EndRow()), true;
      case VK_RIGHT: return ExtendTo(selection_.EndCol() + 1, selection_.EndRow()), true;
      case VK_UP: return ExtendTo(selection_.EndCol(), selection_.EndRow() - 1), true;
      case VK_DOWN: return ExtendTo(selection_.EndCol(), selection_.EndRow() + 1), true;
      case VK_PRIOR: return ExtendTo(selection_.EndCol(), selection_.EndRow() - page), true;
      case VK_NEXT: return ExtendTo(selection_.EndCol(), selection_.EndRow() + page), true;
      case VK_HOME: return ExtendTo(TGridModel::kFirstData, selection_.EndRow()), true;
      case VK_END: return ExtendTo(TGridModel::kLastCol, selection_.EndRow()), true;
      case VK_INSERT: return Command(kGridPaste), true;
      case VK_DELETE: return Command(kGridCut), true;
      default: break;
    }
  }
  if (ctrl) {
    switch (key) {
      case 'A':
        selection_.SelectAll();
        return InvalidateRect(hwnd_, nullptr, FALSE), true;
      case 'C':
      case VK_INSERT: return Command(kGridCopy), true;
      case 'X': return Command(kGridCut), true;
      case 'V': return Command(kGridPaste), true;
      case 'Z': return Command(shift ? kGridRedo : kGridUndo), true;
      case 'Y': return Command(kGridRedo), true;
      default: break;
    }
  }
  if (key == VK_DELETE && !ctrl && !shift) return Command(kGridDelete), true;
  return false;
}

bool TStringGrid::OnKeyDown(WPARAM key) {
  const bool ctrl = (GetKeyState(VK_CONTROL) & 0x8000) != 0;
  const bool shift = (GetKeyState(VK_SHIFT) & 0x8000) != 0;
  if (OnRangeKey(key, ctrl, shift)) return true;
  int width = 0;
  int height = 0;
  ClientSize(width, height);
  const int page = model_.FullyVisibleRows(height, dpi_);
  switch (key) {
    case VK_LEFT: return MoveCurrent(-1, 0), true;
    case VK_RIGHT: return MoveCurrent(1, 0), true;
    case VK_UP: return MoveCurrent(0, -1), true;
    case VK_DOWN: return MoveCurrent(0, 1), true;
    case VK_PRIOR: return MoveCurrent(0, -page), true;
    case VK_NEXT: return MoveCurrent(0, page), true;
    case VK_HOME: return SelectCell(TGridModel::kFirstData, ctrl ? TGridModel::kFirstData : model_.CurRow()), true;
    case VK_END: return SelectCell(TGridModel::kLastCol, ctrl ? TGridModel::kLastRow : model_.CurRow()), true;
    case VK_F2: return BeginEdit(), true;
    case VK_APPS: return false;
    case VK_RETURN: return BeginEdit(), true;
    default: return false;
  }
}

void TStringGrid::OnChar(wchar_t ch) {
  if (ch < 0x20 || ch == 0x7F || editing_) return;
  BeginEditWith(std::wstring_view(&ch, 1));
}

void TStringGrid::OnScroll(int bar, WORD code) {
  if (editing_) EndEdit(true);
  SCROLLINFO si{};
  si.cbSize = sizeof(si);
  si.fMask = SIF_ALL;
  GetScrollInfo(hwnd_, bar, &si);
  int pos = si.nPos;
  const int page = static_cast<int>(si.nPage);
  switch (code) {
    case SB_LINEUP: pos -= 1; break;
    case SB_LINEDOWN: pos += 1; break;
    case SB_PAGEUP: pos -= page; break;
    case SB_PAGEDOWN: pos += page; break;
    case SB_THUMBTRACK:
    case SB_THUMBPOSITION: pos = si.nTrackPos; break;
    case SB_TOP: pos = si.nMin; break;
    case SB_BOTTOM: pos = si.nMax; break;
    default: return;
  }
  int width = 0;
  int height = 0;
  ClientSize(width, height);
  if (bar == SB_HORZ) {
    model_.ScrollTo(pos, model_.TopRow(), width, height, dpi_);
  } else {
    model_.ScrollTo(model_.LeftCol(), pos, width, height, dpi_);
  }
  UpdateScrollBars();
  InvalidateRect(hwnd_, nullptr, FALSE);
}

void TStringGrid::OnMouseWheel(short delta) {
  if (editing_) EndEdit(true);
  int width = 0;
  int height = 0;
  ClientSize(width, height);
  const int rows = -delta / WHEEL_DELTA * 3;
  model_.ScrollTo(model_.LeftCol(), model_.TopRow() + rows, width, height, dpi_);
  UpdateScrollBars();
  InvalidateRect(hwnd_, nullptr, FALSE);
}

LRESULT TStringGrid::OnGetDlgCode(const MSG* msg) const {
  LRESULT code = DLGC_WANTARROWS | DLGC_WANTCHARS;
  // Enter on a cell opens its editor rather than pressing OK.
  if (msg && msg->message == WM_KEYDOWN && msg->wParam == VK_RETURN) code |= DLGC_WANTMESSAGE;
  return code;
}

void TStringGrid::MoveCurrent(int dCol, int dRow) {
  model_.MoveBy(dCol, dRow);
  selection_.MoveTo(model_.CurCol(), model_.CurRow());
  AfterMove();
}

void TStringGrid::AfterMove() {
  int width = 0;
  int height = 0;
  ClientSize(width, height);
  model_.EnsureCurrentVisible(width, height, dpi_);
  UpdateScrollBars();
  PlaceEditor();
  InvalidateRect(hwnd_, nullptr, FALSE);
}

void TStringGrid::CreateEditor() {
  if (editor_) return;
  const auto instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(hwnd_, GWLP_HINSTANCE));
  editor_ = CreateWindowExW(0, L"EDIT", L"", WS_CHILD | ES_LEFT | ES_AUTOHSCROLL, 0, 0, 0, 0, hwnd_,
                            reinterpret_cast<HMENU>(static_cast<INT_PTR>(kEditorId)), instance, nullptr);
  if (!editor_) return;
  // Cells hold numbers: the input method stays off here, as in any numeric field.
  ImmAssociateContext(editor_, nullptr);
  SetWindowSubclass(editor_, EditorProc, kEditorSubclassId, reinterpret_cast<DWORD_PTR>(this));
}

void TStringGrid::PlaceEditor() {
  if (!editor_) return;
  if (font_) SendMessageW(editor_, WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);
  if (!editing_) return;
  const RECT r = model_.CellRect(editCol_, editRow_, dpi_);
  const int inset = 1;
  MoveWindow(editor_, r.left + inset, r.top + inset, std::max<int>(r.right - r.left - kGridLine - 2 * inset, 0),
             std::max<int>(r.bottom - r.top - kGridLine - 2 * inset, 0), TRUE);
  SendMessageW(editor_, EM_SETMARGINS, EC_LEFTMARGIN | EC_RIGHTMARGIN,
               MAKELPARAM(layout::Scale(1, dpi_), layout::Scale(1, dpi_)));
}

void TStringGrid::BeginEdit() {
  if (editing_) return;
  BeginEditWith(model_.Cell(model_.CurCol(), model_.CurRow()));
  if (editor_) SendMessageW(editor_, EM_SETSEL, 0, -1);
}

void TStringGrid::BeginEditWith(std::wstring_view typed) {
  if (editing_) return;
  CreateEditor();
  if (!editor_) return;
  editCol_ = model_.CurCol();
  editRow_ = model_.CurRow();
  editOriginal_ = model_.Cell(editCol_, editRow_);
  editing_ = true;
  AfterMove();
  // What is typed is the cell's text at once.
  model_.SetCell(editCol_, editRow_, NarrowNumberChars(typed));
  settingEditor_ = true;
  SetWindowTextW(editor_, model_.Cell(editCol_, editRow_).c_str());
  settingEditor_ = false;
  const auto end = static_cast<WPARAM>(typed.size());
  SendMessageW(editor_, EM_SETSEL, end, static_cast<LPARAM>(end));
  ShowWindow(editor_, SW_SHOW);
  SetFocus(editor_);
  if (model_.Cell(editCol_, editRow_) != editOriginal_) NotifyChanged();
}

void TStringGrid::CommitEdit() { EndEdit(true); }

void TStringGrid::CancelEdit() { EndEdit(false); }

void TStringGrid::EndEdit(bool keep) {
  if (!editing_ || ending_) return;
  ending_ = true;
  const bool restored = !keep && model_.Cell(editCol_, editRow_) != editOriginal_;
  if (!keep) model_.SetCell(editCol_, editRow_, editOriginal_);
  editing_ = false;
  if (GetFocus() == editor_) SetFocus(hwnd_);
  ShowWindow(editor_, SW_HIDE);
  ending_ = false;
  InvalidateRect(hwnd_, nullptr, FALSE);
  if (restored) NotifyChanged();
}

void TStringGrid::OnEditorChange() {
  if (!editing_ || settingEditor_) return;
  const std::wstring typed = WindowText(editor_);
  const std::wstring narrowed = NarrowNumberChars(typed);
  if (narrowed != typed) {
    // Each full-width character becomes one ASCII character, so the caret stays put.
    DWORD selStart = 0;
    DWORD selEnd = 0;
    SendMessageW(editor_, EM_GETSEL, reinterpret_cast<WPARAM>(&selStart), reinterpret_cast<LPARAM>(&selEnd));
    settingEditor_ = true;
    SetWindowTextW(editor_, narrowed.c_str());
    SendMessageW(editor_, EM_SETSEL, selStart, static_cast<LPARAM>(selEnd));
    settingEditor_ = false;
  }
  model_.SetCell(editCol_, editRow_, narrowed);
  NotifyChanged();
}

bool TStringGrid::EditorFresh() const {
  return editing_ && model_.Cell(editCol_, editRow_) == editOriginal_;
}

bool TStringGrid::OnEditorGridKey(WPARAM key, bool ctrl, bool shift) {
  // Enter (or Ctrl+Enter) after typing over a range fills it; Ctrl+Enter on
  // one cell keeps it current.
  if (key == VK_RETURN && (!selection_.IsSingle() || ctrl)) {
    // Enter without typing only closes the editor; Ctrl+Enter fills all the same.
    const bool typed = !EditorFresh();
    EndEdit(true);
    if (!selection_.IsSingle() && (typed || ctrl)) Command(kGridFill);
    return true;
  }
  if (ctrl && (key == 'Z' || key == 'Y')) {
    EndEdit(true);
    Command(key == 'Y' || shift ? kGridRedo : kGridUndo);
    return true;
  }
  // A block on the clipboard goes into the grid, never into one cell's text.
  if (ctrl && key == 'V' && !EditorFresh() && IsClipboardFormatAvailable(CF_UNICODETEXT)) {
    if (OpenClipboard(hwnd_)) {
      bool block = false;
      if (HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
        if (const auto* chars = static_cast<const wchar_t*>(GlobalLock(data))) {
          block = std::wcspbrk(chars, L"\t\r\n") != nullptr;
          GlobalUnlock(data);
        }
      }
      CloseClipboard();
      if (block) return EndEdit(true), Command(kGridPaste), true;
    }
    return false;
  }
  // Until something is typed, the editor is only the cell: the grid's keys act on the grid.
  if (!EditorFresh()) return false;
  const bool rangeKey = (shift && !ctrl && key != VK_TAB && key != VK_RETURN) ||
                        (ctrl && (key == 'A' || key == 'C' || key == 'X' || key == 'V' || key == VK_INSERT)) ||
                        (key == VK_DELETE && !selection_.IsSingle());
  if (!rangeKey) return false;
  if (shift && !ctrl && (key == VK_HOME || key == VK_END || key == VK_LEFT || key == VK_RIGHT) &&
      GetWindowTextLengthW(editor_) > 0 && selection_.IsSingle()) {
    // Within a cell's own text these still select characters, as in any edit box.
    DWORD selStart = 0;
    DWORD selEnd = 0;
    SendMessageW(editor_, EM_GETSEL, reinterpret_cast<WPARAM>(&selStart), reinterpret_cast<LPARAM>(&selEnd));
    const auto length = static_cast<DWORD>(GetWindowTextLengthW(editor_));
    if (!(selStart == 0 && selEnd == length)) return false;
  }
  EndEdit(true);
  return OnRangeKey(key, ctrl, shift);
}

bool TStringGrid::OnEditorKey(WPARAM key) {
  const bool shift = (GetKeyState(VK_SHIFT) & 0x8000) != 0;
  const bool ctrl = (GetKeyState(VK_CONTROL) & 0x8000) != 0;
  if (OnEditorGridKey(key, ctrl, shift)) return true;
  DWORD selStart = 0;
  DWORD selEnd = 0;
  SendMessageW(editor_, EM_GETSEL, reinterpret_cast<WPARAM>(&selStart), reinterpret_cast<LPARAM>(&selEnd));
  const auto length = static_cast<DWORD>(GetWindowTextLengthW(editor_));
  switch (key) {
    case VK_ESCAPE: return EndEdit(false), true;
    case VK_RETURN: return EndEdit(true), MoveCurrent(0, 1), true;
    case VK_TAB:
      EndEdit(true);
      model_.MoveTabOrder(shift);
      selection_.MoveTo(model_.CurCol(), model_.CurRow());
      return AfterMove(), true;
    case VK_UP: return EndEdit(true), MoveCurrent(0, -1), true;
    case VK_DOWN: return EndEdit(true), MoveCurrent(0, 1), true;
    case VK_LEFT:
      // Left and Right move the caret; only at the text's edge do they leave the cell.
      if (selStart != selEnd || selStart != 0) return false;
      return EndEdit(true), MoveCurrent(-1, 0), true;
    case VK_RIGHT:
      if (selStart != selEnd || selEnd != length) return false;
      return EndEdit(true), MoveCurrent(1, 0), true;
    default: return false;
  }
}
