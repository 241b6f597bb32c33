// StringGrid1: the model's geometry and moves without a window, then the real
// grid window driven by messages (clicks, typing, the in-place editor's keys).
#include "app/win32/string_grid.h"

#include <commctrl.h>
#include <gtest/gtest.h>
#include <imm.h>
#include <windows.h>

#include <ostream>
#include <string>
#include <vector>

#include "app/form_texts.h"
#include "app/win32/cp932.h"
#include "app/win32/grid_menu.h"
#include "app/win32/layout.h"

namespace {

// Table rows print as their name in test lists.
template <typename T>
  requires requires(const T& row) { row.name; }
void PrintTo(const T& row, std::ostream* os) {
  *os << row.name;
}

constexpr int kDpi = 96;

// ---- model ----

TEST(GridModelCells, OutsideTheGridReadsEmptyAndCannotBeSet) {
  TGridModel model;
  EXPECT_TRUE(model.SetCell(16, 16, L"30000"));
  EXPECT_EQ(model.Cell(16, 16), L"30000");
  for (auto [col, row] : {std::pair{17, 1}, {1, 17}, {-1, 0}, {0, -1}}) {
    EXPECT_FALSE(model.SetCell(col, row, L"x")) << col << "," << row;
    EXPECT_EQ(model.Cell(col, row), L"") << col << "," << row;
  }
}

struct TMoveCase {
  const char* name;
  int fromCol, fromRow;
  int dCol, dRow;
  int col, row;
};

class GridModelMoves : public testing::TestWithParam<TMoveCase> {};

TEST_P(GridModelMoves, StaysOnDataCells) {
  const TMoveCase& c = GetParam();
  TGridModel model;
  model.MoveTo(c.fromCol, c.fromRow);
  model.MoveBy(c.dCol, c.dRow);
  EXPECT_EQ(model.CurCol(), c.col);
  EXPECT_EQ(model.CurRow(), c.row);
}

INSTANTIATE_TEST_SUITE_P(Rows, GridModelMoves,
                         testing::Values(TMoveCase{"left_of_first_column", 1, 5, -1, 0, 1, 5},
                                         TMoveCase{"above_first_row_not_header", 3, 1, 0, -1, 3, 1},
                                         TMoveCase{"past_last_column", 16, 2, 1, 0, 16, 2},
                                         TMoveCase{"page_past_last_row", 4, 10, 0, 9, 4, 16},
                                         TMoveCase{"header_request_clamped", 0, 0, 0, 0, 1, 1}),
                         [](const auto& row) { return std::string(row.param.name); });

TEST(GridModelTabOrder, WrapsAtRowEndsAndStopsAtTheCorners) {
  TGridModel model;
  model.MoveTo(16, 3);
  model.MoveTabOrder(false);
  EXPECT_EQ(model.CurCol(), 1);
  EXPECT_EQ(model.CurRow(), 4);
  model.MoveTabOrder(true);
  EXPECT_EQ(model.CurCol(), 16);
  EXPECT_EQ(model.CurRow(), 3);
  model.MoveTo(16, 16);
  model.MoveTabOrder(false);
  EXPECT_EQ(model.CurCol(), 16);
  EXPECT_EQ(model.CurRow(), 16);
  model.MoveTo(1, 1);
  model.MoveTabOrder(true);
  EXPECT_EQ(model.CurCol(), 1);
  EXPECT_EQ(model.CurRow(), 1);
}

struct THitCase {
  const char* name;
  int x, y;
  bool hit;
  int col, row;
};

class GridModelHitTest : public testing::TestWithParam<THitCase> {};

// Header column 24 wide, data columns 40, rows 19, each with a 1-pixel line.
TEST_P(GridModelHitTest, FindsTheCellUnderThePoint) {
  const THitCase& c = GetParam();
  TGridModel model;
  model.SetColWidth(0, 24);
  int col = -1;
  int row = -1;
  ASSERT_EQ(model.HitTest(c.x, c.y, kDpi, col, row), c.hit);
  if (!c.hit) return;
  EXPECT_EQ(col, c.col);
  EXPECT_EQ(row, c.row);
}

INSTANTIATE_TEST_SUITE_P(Rows, GridModelHitTest,
                         testing::Values(THitCase{"corner", 0, 0, true, 0, 0},
                                         THitCase{"last_pixel_of_header_column", 24, 30, true, 0, 1},
                                         THitCase{"first_data_column", 25, 20, true, 1, 1},
                                         THitCase{"second_data_column", 25 + 41, 40, true, 2, 2},
                                         THitCase{"last_row", 30, 20 * 16 + 5, true, 1, 16},
                                         THitCase{"below_last_row", 30, 20 * 17 + 2, false, 0, 0},
                                         THitCase{"negative", -1, 5, false, 0, 0}),
                         [](const auto& row) { return std::string(row.param.name); });

TEST(GridModelScrolling, KeepsHeadersAndBringsTheCurrentCellIntoView) {
  TGridModel model;
  model.SetColWidth(0, 24);
  const int width = 268;  // 24 + 1 + 6 x 41 = 271: five whole data columns
  const int height = 164;  // 20 + 7 x 20: seven whole rows
  EXPECT_EQ(model.FullyVisibleCols(width, kDpi), 5);
  EXPECT_EQ(model.FullyVisibleRows(height, kDpi), 7);
  model.MoveTo(16, 16);
  model.EnsureCurrentVisible(width, height, kDpi);
  EXPECT_EQ(model.LeftCol(), 12);
  EXPECT_EQ(model.TopRow(), 10);
  const RECT last = model.CellRect(16, 16, kDpi);
  EXPECT_LE(last.right, width);
  EXPECT_LE(last.bottom, height);
  // Scrolled-out cells have no place; headers keep theirs.
  const RECT gone = model.CellRect(1, 1, kDpi);
  EXPECT_EQ(gone.right - gone.left, 0);
  EXPECT_EQ(model.CellRect(0, 16, kDpi).left, 0);
  EXPECT_EQ(model.CellRect(16, 0, kDpi).top, 0);
  int col = -1;
  int row = -1;
  ASSERT_TRUE(model.HitTest(30, 5, kDpi, col, row));
  EXPECT_EQ(col, 12);
  EXPECT_EQ(row, 0);
  model.MoveTo(1, 1);
  model.EnsureCurrentVisible(width, height, kDpi);
  EXPECT_EQ(model.LeftCol(), 1);
  EXPECT_EQ(model.TopRow(), 1);
}

TEST(GridModelScrolling, ScrollPositionIsLimitedToWhatFillsTheView) {
  TGridModel model;
  model.SetColWidth(0, 24);
  model.ScrollTo(99, 99, 268, 164, kDpi);
  EXPECT_EQ(model.LeftCol(), model.MaxLeftCol(268, kDpi));
  EXPECT_EQ(model.TopRow(), model.MaxTopRow(164, kDpi));
  EXPECT_EQ(model.LeftCol(), 12);
  EXPECT_EQ(model.TopRow(), 10);
  model.ScrollTo(-5, 0, 268, 164, kDpi);
  EXPECT_EQ(model.LeftCol(), 1);
  EXPECT_EQ(model.TopRow(), 1);
}

TEST(GridModelScaling, CellsGrowWithTheDpi) {
  TGridModel model;
  model.SetColWidth(0, 24);
  const RECT at96 = model.CellRect(1, 1, 96);
  const RECT at192 = model.CellRect(1, 1, 192);
  EXPECT_EQ(at96.right - at96.left, 41);
  EXPECT_EQ(at192.right - at192.left, 81);
  EXPECT_EQ(at192.left, 49);
  EXPECT_EQ(at192.top, 39);
}

TEST(GridNumberChars, FullWidthDigitsAndSignsBecomeAscii) {
  struct Row {
    const wchar_t* typed;
    const wchar_t* stored;
  };
  for (const Row& row : {Row{L"\xFF11\xFF12", L"12"}, Row{L"\xFF0D\xFF15", L"-5"}, Row{L"\x2212\xFF13", L"-3"},
                         Row{L"\xFF0B\xFF17\xFF10", L"+70"}, Row{L"\xFF10\xFF19", L"09"},
                         Row{L"12", L"12"}, Row{L"", L""},
                         // Anything else is left for the cell's own rules (it reads as 0).
                         Row{L"\xFF41\xFF11", L"\xFF41" L"1"}, Row{L"\x3000\xFF11", L"\x3000" L"1"},
                         Row{L"\xFF0E\xFF15", L"\xFF0E" L"5"}}) {
    EXPECT_EQ(NarrowNumberChars(row.typed), row.stored);
  }
}

// ---- window ----

class GridWindow : public testing::Test {
 protected:
  void SetUp() override {
    const HINSTANCE instance = GetModuleHandleW(nullptr);
    ASSERT_TRUE(TStringGrid::Register(instance));
    host_ = CreateWindowExW(0, L"STATIC", L"grid host", WS_POPUP | WS_VISIBLE, 0, 0, 400, 300, nullptr, nullptr,
                            instance, nullptr);
    ASSERT_NE(host_, nullptr);
    const HWND hwnd = CreateWindowExW(WS_EX_CLIENTEDGE, TStringGrid::kClassName, L"",
                                      WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_HSCROLL | WS_VSCROLL, 24, 64, 289, 185,
                                      host_, nullptr, instance, nullptr);
    grid_ = TStringGrid::FromHwnd(hwnd);
    ASSERT_NE(grid_, nullptr);
    grid_->SetColWidth(0, 24);
    for (int r = 1; r <= 16; ++r) {
      for (int c = 1; c <= 16; ++c) grid_->SetCellText(c, r, L"-1");
    }
    SetForegroundWindow(host_);
    SetFocus(grid_->Hwnd());
    Pump();
  }
  void TearDown() override {
    if (host_) DestroyWindow(host_);
    Pump();
  }
  static void Pump() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
  }
  void Click(int col, int row) {
    const RECT r = grid_->Model().CellRect(col, row, grid_->Dpi());
    SendMessageW(grid_->Hwnd(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM((r.left + r.right) / 2, (r.top + r.bottom) / 2));
    SendMessageW(grid_->Hwnd(), WM_LBUTTONUP, 0, MAKELPARAM((r.left + r.right) / 2, (r.top + r.bottom) / 2));
  }
  void EditorKey(WPARAM key) { SendMessageW(grid_->Editor(), WM_KEYDOWN, key, 0); }
  // Text as a user leaves it after typing: the caret at its end.
  void TypeInEditor(const wchar_t* text) {
    SendMessageW(grid_->Editor(), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text));
    SendMessageW(grid_->Editor(), EM_SETSEL, wcslen(text), static_cast<LPARAM>(wcslen(text)));
  }
  std::wstring EditorText() const {
    wchar_t buffer[64] = {};
    GetWindowTextW(grid_->Editor(), buffer, 64);
    return buffer;
  }

  // WM_COMMAND notifications the grid sends its parent.
  static LRESULT CALLBACK CountChanges(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                       DWORD_PTR data) {
    if (msg == WM_COMMAND && HIWORD(wParam) == EN_CHANGE) ++*reinterpret_cast<int*>(data);
    return DefSubclassProc(hwnd, msg, wParam, lParam);
  }
  void CountChangesOfTheGrid() { SetWindowSubclass(host_, CountChanges, 1, reinterpret_cast<DWORD_PTR>(&changes_)); }
  COLORREF PixelInCell(int col, int row) {
    RedrawWindow(grid_->Hwnd(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    const RECT r = grid_->Model().CellRect(col, row, grid_->Dpi());
    const HDC dc = GetDC(grid_->Hwnd());
    const COLORREF pixel = GetPixel(dc, r.right - 4, r.bottom - 4);  // clear of the text
    ReleaseDC(grid_->Hwnd(), dc);
    return pixel;
  }

  HWND host_ = nullptr;
  TStringGrid* grid_ = nullptr;
  int changes_ = 0;
};

TEST_F(GridWindow, ClickOpensTheEditorOverTheCellWithItsText) {
  Click(3, 2);
  ASSERT_TRUE(grid_->Editing());
  EXPECT_TRUE(IsWindowVisible(grid_->Editor()));
  EXPECT_EQ(GetFocus(), grid_->Editor());
  EXPECT_EQ(EditorText(), L"-1");
  RECT editor{};
  GetWindowRect(grid_->Editor(), &editor);
  MapWindowPoints(nullptr, grid_->Hwnd(), reinterpret_cast<POINT*>(&editor), 2);
  const RECT cell = grid_->Model().CellRect(3, 2, grid_->Dpi());
  EXPECT_GE(editor.left, cell.left);
  EXPECT_LE(editor.right, cell.right);
  EXPECT_GE(editor.top, cell.top);
  EXPECT_LE(editor.bottom, cell.bottom);
}

TEST_F(GridWindow, ClickOnAHeaderStartsNoEdit) {
  Click(0, 4);
  Click(4, 0);
  EXPECT_FALSE(grid_->Editing());
}

TEST_F(GridWindow, TextTypedCountsBeforeTheEditEnds) {
  Click(2, 5);
  TypeInEditor(L"120");
  EXPECT_TRUE(grid_->Editing());
  EXPECT_EQ(grid_->CellText(2, 5), L"120");
  SendMessageW(grid_->Editor(), WM_CHAR, L'5', 1);
  EXPECT_EQ(grid_->CellText(2, 5), L"1205");
}

TEST_F(GridWindow, EscapeInTheEditorRestoresTheCellAndKeepsTheGrid) {
  Click(2, 5);
  SendMessageW(grid_->Editor(), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"999"));
  EditorKey(VK_ESCAPE);
  EXPECT_FALSE(grid_->Editing());
  EXPECT_EQ(grid_->CellText(2, 5), L"-1");
  EXPECT_TRUE(IsWindow(grid_->Hwnd()));
  EXPECT_EQ(GetFocus(), grid_->Hwnd());
}

TEST_F(GridWindow, EditorAsksForEveryKeySoDialogKeysDoNotReachTheButtons) {
  Click(1, 1);
  MSG escape{grid_->Editor(), WM_KEYDOWN, VK_ESCAPE, 0, 0, {0, 0}};
  const auto code = SendMessageW(grid_->Editor(), WM_GETDLGCODE, VK_ESCAPE, reinterpret_cast<LPARAM>(&escape));
  EXPECT_TRUE(code & DLGC_WANTALLKEYS);
  EXPECT_TRUE(code & DLGC_WANTTAB);
}

struct TEditorKeyCase {
  const char* name;
  WPARAM key;
  int col, row;  // the current cell afterwards, editing from (5, 5)
};

class GridEditorKeys : public GridWindow, public testing::WithParamInterface<TEditorKeyCase> {};

TEST_P(GridEditorKeys, CommitAndMove) {
  const TEditorKeyCase& c = GetParam();
  Click(5, 5);
  TypeInEditor(L"77");
  EditorKey(c.key);
  EXPECT_FALSE(grid_->Editing());
  EXPECT_EQ(grid_->CellText(5, 5), L"77");
  EXPECT_EQ(grid_->Model().CurCol(), c.col);
  EXPECT_EQ(grid_->Model().CurRow(), c.row);
}

INSTANTIATE_TEST_SUITE_P(Rows, GridEditorKeys,
                         testing::Values(TEditorKeyCase{"enter_moves_down", VK_RETURN, 5, 6},
                                         TEditorKeyCase{"tab_moves_right", VK_TAB, 6, 5},
                                         TEditorKeyCase{"up", VK_UP, 5, 4},
                                         TEditorKeyCase{"down", VK_DOWN, 5, 6},
                                         TEditorKeyCase{"right_at_text_end", VK_RIGHT, 6, 5}),
                         [](const auto& row) { return std::string(row.param.name); });

TEST_F(GridWindow, LeftMovesTheCaretUntilTheTextStart) {
  Click(5, 5);
  SendMessageW(grid_->Editor(), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"12"));
  SendMessageW(grid_->Editor(), EM_SETSEL, 1, 1);
  EditorKey(VK_LEFT);
  EXPECT_TRUE(grid_->Editing());
  SendMessageW(grid_->Editor(), EM_SETSEL, 0, 0);
  EditorKey(VK_LEFT);
  EXPECT_FALSE(grid_->Editing());
  EXPECT_EQ(grid_->Model().CurCol(), 4);
}

TEST_F(GridWindow, TypingOnTheGridReplacesTheCellText) {
  grid_->SelectCell(7, 8);
  SendMessageW(grid_->Hwnd(), WM_CHAR, L'3', 1);
  ASSERT_TRUE(grid_->Editing());
  EXPECT_EQ(grid_->CellText(7, 8), L"3");
  SendMessageW(grid_->Editor(), WM_CHAR, L'0', 1);
  EXPECT_EQ(grid_->CellText(7, 8), L"30");
  EditorKey(VK_ESCAPE);
  EXPECT_EQ(grid_->CellText(7, 8), L"-1");
}

TEST_F(GridWindow, FocusLeavingTheEditorKeepsTheText) {
  Click(9, 9);
  SendMessageW(grid_->Editor(), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"40"));
  SetFocus(host_);
  EXPECT_FALSE(grid_->Editing());
  EXPECT_FALSE(IsWindowVisible(grid_->Editor()));
  EXPECT_EQ(grid_->CellText(9, 9), L"40");
}

TEST_F(GridWindow, ArrowKeysScrollTheLastCellIntoViewWithHeadersKept) {
  for (int i = 0; i < 20; ++i) {
    SendMessageW(grid_->Hwnd(), WM_KEYDOWN, VK_RIGHT, 0);
    SendMessageW(grid_->Hwnd(), WM_KEYDOWN, VK_DOWN, 0);
  }
  EXPECT_EQ(grid_->Model().CurCol(), 16);
  EXPECT_EQ(grid_->Model().CurRow(), 16);
  EXPECT_GT(grid_->Model().LeftCol(), 1);
  EXPECT_GT(grid_->Model().TopRow(), 1);
  RECT client{};
  GetClientRect(grid_->Hwnd(), &client);
  const RECT last = grid_->Model().CellRect(16, 16, grid_->Dpi());
  EXPECT_LE(last.right, client.right);
  EXPECT_LE(last.bottom, client.bottom);
  SCROLLINFO si{sizeof(si), SIF_POS, 0, 0, 0, 0, 0};
  GetScrollInfo(grid_->Hwnd(), SB_VERT, &si);
  EXPECT_EQ(si.nPos, grid_->Model().TopRow());
  // The header row still answers a click at the top.
  int col = -1;
  int row = -1;
  ASSERT_TRUE(grid_->Model().HitTest(client.right / 2, 2, grid_->Dpi(), col, row));
  EXPECT_EQ(row, 0);
}

TEST_F(GridWindow, ScrollBarMovesTheRowsUnderTheHeader) {
  SendMessageW(grid_->Hwnd(), WM_VSCROLL, SB_PAGEDOWN, 0);
  const int top = grid_->Model().TopRow();
  EXPECT_GT(top, 1);
  Click(1, top);
  EXPECT_EQ(grid_->Model().CurRow(), top);
  SendMessageW(grid_->Hwnd(), WM_VSCROLL, SB_TOP, 0);
  EXPECT_FALSE(grid_->Editing());  // scrolling ends the edit, keeping its text
  EXPECT_EQ(grid_->Model().TopRow(), 1);
}

TEST_F(GridWindow, SettingTheEditedCellFromCodeShowsInTheEditor) {
  Click(4, 4);
  grid_->SetCellText(4, 4, L"0");
  EXPECT_EQ(EditorText(), L"0");
  EXPECT_EQ(grid_->CellText(4, 4), L"0");
  grid_->CommitEdit();
  EXPECT_FALSE(grid_->Editing());
  EXPECT_EQ(grid_->CellText(4, 4), L"0");
}

TEST_F(GridWindow, FullWidthTextInTheEditorIsStoredAsAscii) {
  Click(2, 3);
  TypeInEditor(L"\xFF11\xFF12");
  EXPECT_EQ(grid_->CellText(2, 3), L"12");
  EXPECT_EQ(EditorText(), L"12");
  DWORD start = 0;
  DWORD end = 0;
  SendMessageW(grid_->Editor(), EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
  EXPECT_EQ(end, 2u);  // the caret stays after what was typed
  grid_->CommitEdit();
  grid_->SelectCell(5, 5);
  SendMessageW(grid_->Hwnd(), WM_CHAR, 0xFF0D, 1);  // full-width minus typed on the grid
  EXPECT_EQ(grid_->CellText(5, 5), L"-");
}

TEST_F(GridWindow, InputMethodIsOffInTheGridAndItsEditor) {
  Click(2, 3);
  ASSERT_NE(grid_->Editor(), nullptr);
  for (HWND hwnd : {grid_->Hwnd(), grid_->Editor()}) {
    const HIMC context = ImmGetContext(hwnd);
    EXPECT_EQ(context, nullptr);
    if (context) ImmReleaseContext(hwnd, context);
  }
}

TEST_F(GridWindow, ParentHearsOfUserEditsOnly) {
  CountChangesOfTheGrid();
  grid_->SetCellText(3, 3, L"7");  // from code: the form knows already
  EXPECT_EQ(changes_, 0);
  Click(3, 3);  // opening the editor changes nothing
  EXPECT_EQ(changes_, 0);
  TypeInEditor(L"25");
  EXPECT_EQ(changes_, 1);
  EditorKey(VK_ESCAPE);  // the old text comes back: a change too
  EXPECT_EQ(changes_, 2);
  grid_->SelectCell(4, 4);
  SendMessageW(grid_->Hwnd(), WM_CHAR, L'9', 1);
  EXPECT_EQ(changes_, 3);
}

TEST_F(GridWindow, UsedCellsAreTintedAndUnusedOnesStayWhite) {
  TGridUse use{};
  use[1 * 17 + 3] = TCellUse::Converts;
  use[2 * 17 + 4] = TCellUse::Untouched;
  grid_->SetUse(use);
  grid_->SelectCell(6, 6);
  SetFocus(host_);  // the current cell is drawn apart; keep it away from the cells checked
  EXPECT_EQ(PixelInCell(3, 1), layout::kUsedConvertsColour);
  EXPECT_EQ(PixelInCell(4, 2), layout::kUsedUntouchedColour);
  EXPECT_EQ(PixelInCell(5, 3), layout::kFormColour);
  EXPECT_NE(layout::kUsedConvertsColour, layout::kUsedUntouchedColour);
  grid_->SetUse(TGridUse{});
  EXPECT_EQ(PixelInCell(3, 1), layout::kFormColour);
}

TEST_F(GridWindow, HeadersOfUsedRowsAndColumnsCarryAMark) {
  TGridUse use{};
  use[0 * 17 + 3] = TCellUse::Converts;   // column header of layer 2
  use[2 * 17 + 0] = TCellUse::Untouched;  // row header of group 1
  grid_->SetUse(use);
  RedrawWindow(grid_->Hwnd(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
  const HDC dc = GetDC(grid_->Hwnd());
  const RECT col = grid_->Model().CellRect(3, 0, grid_->Dpi());
  const RECT row = grid_->Model().CellRect(0, 2, grid_->Dpi());
  const RECT plain = grid_->Model().CellRect(0, 5, grid_->Dpi());
  EXPECT_EQ(GetPixel(dc, col.left + 3, col.top + 1), layout::kMarkConvertsColour);
  EXPECT_EQ(GetPixel(dc, row.left + 1, row.top + 3), layout::kMarkUntouchedColour);
  EXPECT_EQ(GetPixel(dc, plain.left + 1, plain.top + 3), GetSysColor(COLOR_BTNFACE));
  ReleaseDC(grid_->Hwnd(), dc);
}

TEST_F(GridWindow, TooltipAsksTheSourceForTheCellUnderTheMouse) {
  grid_->SetTipSource([](int col, int row) { return std::to_wstring(col) + L"/" + std::to_wstring(row); });
  ASSERT_NE(grid_->Tooltip(), nullptr);
  const auto tipAt = [this](int col, int row) {
    const RECT r = grid_->Model().CellRect(col, row, grid_->Dpi());
    SendMessageW(grid_->Hwnd(), WM_MOUSEMOVE, 0, MAKELPARAM(r.left + 2, r.top + 2));
    NMTTDISPINFOW info{};
    info.hdr.hwndFrom = grid_->Tooltip();
    info.hdr.code = TTN_GETDISPINFOW;
    SendMessageW(grid_->Hwnd(), WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&info));
    return std::wstring(info.lpszText ? info.lpszText : L"");
  };
  EXPECT_EQ(tipAt(3, 2), L"3/2");
  EXPECT_EQ(tipAt(0, 5), L"0/5");
  EXPECT_EQ(tipAt(4, 0), L"4/0");
  SendMessageW(grid_->Hwnd(), WM_VSCROLL, SB_PAGEDOWN, 0);
  // Scrolled under a resting mouse, the old cell's text is not shown for another cell.
  NMTTDISPINFOW stale{};
  stale.hdr.hwndFrom = grid_->Tooltip();
  stale.hdr.code = TTN_GETDISPINFOW;
  SendMessageW(grid_->Hwnd(), WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&stale));
  EXPECT_EQ(std::wstring(stale.lpszText ? stale.lpszText : L""), L"");
  const int top = grid_->Model().TopRow();
  EXPECT_EQ(tipAt(2, top), L"2/" + std::to_wstring(top));  // the cell as scrolled
}

struct TRevealCase {
  const char* name;
  int usedCol, usedRow;
  bool scrolls;
};

class GridReveal : public GridWindow, public testing::WithParamInterface<TRevealCase> {};

TEST_P(GridReveal, FirstUsedCellComesIntoViewOnlyWhenNoneShows) {
  const TRevealCase& c = GetParam();
  TGridUse use{};
  use[static_cast<std::size_t>(c.usedRow * 17 + c.usedCol)] = TCellUse::Untouched;
  grid_->SetUse(use);
  grid_->RevealFirstUsed();
  EXPECT_EQ(grid_->Model().LeftCol() != 1 || grid_->Model().TopRow() != 1, c.scrolls);
  RECT client{};
  GetClientRect(grid_->Hwnd(), &client);
  const RECT cell = grid_->Model().CellRect(c.usedCol, c.usedRow, grid_->Dpi());
  EXPECT_GT(cell.right, cell.left);
  EXPECT_LE(cell.right, client.right);
  EXPECT_LE(cell.bottom, client.bottom);
}

INSTANTIATE_TEST_SUITE_P(Rows, GridReveal,
                         testing::Values(TRevealCase{"already_in_view", 2, 3, false},
                                         TRevealCase{"far_corner", 16, 16, true},
                                         TRevealCase{"right_of_view", 12, 1, true},
                                         TRevealCase{"below_view", 1, 14, true}),
                         [](const auto& row) { return std::string(row.param.name); });

}  // namespace

// ---- ranges: mouse, keys, and what the grid asks its parent to do ----

class GridRange : public GridWindow {
 protected:
  // Holds Shift and Ctrl in this thread's key state, which the grid reads.
  void Hold(bool shift, bool ctrl) {
    BYTE keys[256] = {};
    GetKeyboardState(keys);
    keys[VK_SHIFT] = shift ? 0x80 : 0;
    keys[VK_CONTROL] = ctrl ? 0x80 : 0;
    SetKeyboardState(keys);
  }
  void TearDown() override {
    Hold(false, false);
    GridWindow::TearDown();
  }
  void GridKey(WPARAM key, bool shift = false, bool ctrl = false) {
    Hold(shift, ctrl);
    SendMessageW(grid_->Hwnd(), WM_KEYDOWN, key, 0);
    Hold(false, false);
  }
  LPARAM Middle(int col, int row) const {
    const RECT r = grid_->Model().CellRect(col, row, grid_->Dpi());
    return MAKELPARAM((r.left + r.right) / 2, (r.top + r.bottom) / 2);
  }
  std::vector<int> Range() const {
    const TGridSelection& s = grid_->Selection();
    return {s.Left(), s.Top(), s.Right(), s.Bottom(), s.CurCol(), s.CurRow()};
  }
  // The grid's range commands that reach the parent, in order.
  static LRESULT CALLBACK RecordCommands(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                         DWORD_PTR data) {
    if (msg == WM_COMMAND && HIWORD(wParam) >= kGridFill && HIWORD(wParam) <= kGridRedo) {
      reinterpret_cast<std::vector<int>*>(data)->push_back(HIWORD(wParam));
    }
    return DefSubclassProc(hwnd, msg, wParam, lParam);
  }
  void RecordGridCommands() { SetWindowSubclass(host_, RecordCommands, 2, reinterpret_cast<DWORD_PTR>(&commands_)); }
  std::vector<int> commands_;
};

TEST_F(GridRange, MouseChoosesRangesByDragShiftClickAndHeaders) {
  const HWND g = grid_->Hwnd();
  SendMessageW(g, WM_LBUTTONDOWN, MK_LBUTTON, Middle(2, 2));
  SendMessageW(g, WM_MOUSEMOVE, MK_LBUTTON, Middle(4, 5));
  SendMessageW(g, WM_LBUTTONUP, 0, Middle(4, 5));
  EXPECT_EQ(Range(), (std::vector<int>{2, 2, 4, 5, 2, 2}));
  EXPECT_FALSE(grid_->Editing()) << "a drag closes the editor the press opened";
  SendMessageW(g, WM_MOUSEMOVE, 0, Middle(6, 6));  // button up: no more stretching
  EXPECT_EQ(Range(), (std::vector<int>{2, 2, 4, 5, 2, 2}));
  SendMessageW(g, WM_LBUTTONDOWN, MK_LBUTTON | MK_SHIFT, Middle(1, 1));
  EXPECT_EQ(Range(), (std::vector<int>{1, 1, 2, 2, 2, 2}));
  Click(0, 3);
  EXPECT_EQ(Range(), (std::vector<int>{1, 3, 16, 3, 1, 3}));
  Click(5, 0);
  EXPECT_EQ(Range(), (std::vector<int>{5, 1, 5, 16, 5, 1}));
  Click(0, 0);
  EXPECT_EQ(Range(), (std::vector<int>{1, 1, 16, 16, 5, 1}));
  EXPECT_FALSE(grid_->Editing());
}

TEST_F(GridRange, ShiftKeysStretchAndPlainKeysCollapse) {
  grid_->SelectCell(3, 3);
  GridKey(VK_RIGHT, true);
  GridKey(VK_DOWN, true);
  EXPECT_EQ(Range(), (std::vector<int>{3, 3, 4, 4, 3, 3}));
  GridKey(VK_HOME, true);
  EXPECT_EQ(Range(), (std::vector<int>{1, 3, 3, 4, 3, 3}));
  GridKey(VK_NEXT, true);
  EXPECT_GT(grid_->Selection().Bottom(), 5) << "a page down";
  EXPECT_EQ(grid_->Selection().Top(), 3);
  GridKey('A', false, true);
  EXPECT_EQ(Range(), (std::vector<int>{1, 1, 16, 16, 3, 3}));
  GridKey(VK_LEFT);
  EXPECT_EQ(Range(), (std::vector<int>{2, 3, 2, 3, 2, 3}));
}

TEST_F(GridRange, KeysAskTheParentForTheRangeCommands) {
  RecordGridCommands();
  grid_->SelectCell(2, 2);
  GridKey('C', false, true);
  GridKey(VK_INSERT, false, true);
  GridKey('X', false, true);
  GridKey(VK_DELETE, true);
  GridKey('V', false, true);
  GridKey(VK_INSERT, true);
  GridKey(VK_DELETE);
  GridKey('Z', false, true);
  GridKey('Y', false, true);
  GridKey('Z', true, true);
  EXPECT_EQ(commands_, (std::vector<int>{kGridCopy, kGridCopy, kGridCut, kGridCut, kGridPaste, kGridPaste,
                                         kGridDelete, kGridUndo, kGridRedo, kGridRedo}));
}

TEST_F(GridRange, EnterAfterTypingOverARangeFillsAndWithoutTypingOnlyCloses) {
  RecordGridCommands();
  grid_->SelectCell(2, 2);
  GridKey(VK_DOWN, true);
  SendMessageW(grid_->Hwnd(), WM_CHAR, L'7', 1);
  ASSERT_TRUE(grid_->Editing());
  EditorKey(VK_RETURN);
  EXPECT_EQ(commands_, (std::vector<int>{kGridFill}));
  EXPECT_EQ(grid_->CellText(2, 2), L"7");
  EXPECT_EQ(Range(), (std::vector<int>{2, 2, 2, 3, 2, 2})) << "the range stays for the fill";
  GridKey(VK_F2);
  EditorKey(VK_RETURN);
  EXPECT_EQ(commands_.size(), 1u);
  EXPECT_FALSE(grid_->Editing());
}

TEST_F(GridRange, RangeIsShadedOverTheTintAndBadTextIsRed) {
  TGridUse use{};
  use[3 * 17 + 3] = TCellUse::Converts;
  grid_->SetUse(use);
  grid_->SelectCell(2, 2);
  GridKey(VK_RIGHT, true);
  GridKey(VK_DOWN, true);
  const COLORREF shaded = PixelInCell(3, 3);
  EXPECT_NE(shaded, layout::kUsedConvertsColour);
  EXPECT_NE(shaded, PixelInCell(3, 2)) << "the tint still shows through the shade";
  EXPECT_EQ(PixelInCell(5, 5), layout::kFormColour);
  // A word in a cell is drawn in red: some pixel of its text is red.
  grid_->SetCellText(6, 4, L"abc");
  RedrawWindow(grid_->Hwnd(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
  const RECT r = grid_->Model().CellRect(6, 4, grid_->Dpi());
  const HDC dc = GetDC(grid_->Hwnd());
  int red = 0;
  for (int y = r.top; y < r.bottom; ++y) {
    for (int x = r.left; x < r.right; ++x) {
      const COLORREF p = GetPixel(dc, x, y);
      if (GetRValue(p) > 150 && GetGValue(p) < 80 && GetBValue(p) < 80) ++red;
    }
  }
  ReleaseDC(grid_->Hwnd(), dc);
  EXPECT_GT(red, 0);
}

TEST(GridMenu, OffersEachCommandWithItsShortcutGreyedWhereItCannotAct) {
  const HMENU menu = BuildGridMenu(false, true, false);
  ASSERT_NE(menu, nullptr);
  const struct {
    UINT id;
    const char* text;
    const wchar_t* shortcut;
    bool enabled;
  } items[] = {
      {kGridUndo, kMenuUndo, L"Ctrl+Z", false},     {kGridRedo, kMenuRedo, L"Ctrl+Y", true},
      {kGridCut, kMenuCut, L"Ctrl+X", true},        {kGridCopy, kMenuCopy, L"Ctrl+C", true},
      {kGridPaste, kMenuPaste, L"Ctrl+V", false},   {kGridDelete, kMenuDelete, L"Delete", true},
      {kGridMenuSelectAll, kMenuSelectAll, L"Ctrl+A", true},
  };
  for (const auto& item : items) {
    wchar_t text[64] = {};
    ASSERT_GT(GetMenuStringW(menu, item.id, text, 64, MF_BYCOMMAND), 0) << item.id;
    EXPECT_EQ(std::wstring(text), SjisToWide(item.text) + L"\t" + item.shortcut);
    EXPECT_EQ((GetMenuState(menu, item.id, MF_BYCOMMAND) & MF_GRAYED) == 0, item.enabled) << item.id;
  }
  DestroyMenu(menu);
}
