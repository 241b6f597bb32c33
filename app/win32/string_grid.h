// StringGrid1: a 17 x 17 text grid with a fixed header row and column, edited
// in place. The cell texts, the current cell and the scroll state live in a
// plain model that tests drive without a window; the window only draws the
// model and turns mouse and keys into its moves.
#pragma once

#include <windows.h>

#include <array>
#include <functional>
#include <string>
#include <string_view>

#include "app/grid_selection.h"
#include "app/layer_summary.h"

// Full-width digits, minus and plus (as an input method types them) become
// their ASCII forms; every other character stays.
std::wstring NarrowNumberChars(std::wstring_view text);

class TGridModel {
 public:
  static constexpr int kCols = 17;
  static constexpr int kRows = 17;
  // Row 0 and column 0 are headers; data cells are 1..16 both ways.
  static constexpr int kFirstData = 1;
  static constexpr int kLastCol = kCols - 1;
  static constexpr int kLastRow = kRows - 1;

  TGridModel();

  static bool InRange(int col, int row) { return col >= 0 && col < kCols && row >= 0 && row < kRows; }

  // Outside the grid a cell reads empty and cannot be set.
  const std::wstring& Cell(int col, int row) const;
  bool SetCell(int col, int row, std::wstring_view text);

  // Widths and the row height in 96-DPI pixels, grid line not included.
  int ColWidth(int col) const;
  void SetColWidth(int col, int width);  // ignored outside 0..16 or below 0
  int RowHeight() const { return rowHeight_; }

  int CurCol() const { return curCol_; }
  int CurRow() const { return curRow_; }
  // Moves the current cell, kept within the data cells.
  void MoveTo(int col, int row);
  // Moves by whole cells; Tab order wraps at the row's ends to the next or previous row.
  void MoveBy(int dCol, int dRow);
  void MoveTabOrder(bool backwards);

  // First data column and row shown after the headers.
  int LeftCol() const { return leftCol_; }
  int TopRow() const { return topRow_; }
  void ScrollTo(int leftCol, int topRow, int clientWidth, int clientHeight, int dpi);

  // Geometry in client pixels at `dpi`; a cell's extent includes its grid line
  // on the right and bottom.
  int ColExtent(int col, int dpi) const;
  int RowExtent(int dpi) const;
  // Data columns or rows that fit whole beside the headers (at least 1).
  int FullyVisibleCols(int clientWidth, int dpi) const;
  int FullyVisibleRows(int clientHeight, int dpi) const;
  // Greatest first column or row that still fills the view.
  int MaxLeftCol(int clientWidth, int dpi) const;
  int MaxTopRow(int clientHeight, int dpi) const;
  // The cell's rectangle as it lies now (scrolled); empty when scrolled out of view.
  RECT CellRect(int col, int row, int dpi) const;
  // The cell under a client point, false when none (past the last cell).
  bool HitTest(int x, int y, int dpi, int& col, int& row) const;
  // Scrolls just enough for the current cell to show whole.
  void EnsureCurrentVisible(int clientWidth, int clientHeight, int dpi);

 private:
  std::array<std::wstring, kCols * kRows> cells_;
  std::array<int, kCols> colWidths_{};
  int rowHeight_;
  int curCol_ = kFirstData;
  int curRow_ = kFirstData;
  int leftCol_ = kFirstData;
  int topRow_ = kFirstData;
};

// What the grid asks its parent to do with the range, as WM_COMMAND codes
// beside EN_CHANGE: the form owns the texts, the clipboard and the undo.
enum TGridCommand : WORD {
  kGridFill = 0x7101,  // Enter after typing over a range: the current cell's text into every cell
  kGridCopy,
  kGridCut,
  kGridPaste,
  kGridDelete,
  kGridUndo,
  kGridRedo,
};

// The grid window: its own window class, state made in WM_NCCREATE and freed in
// WM_NCDESTROY. It tells its parent only that the user changed a cell's text
// (WM_COMMAND with EN_CHANGE, as an edit control does); the form reads the
// model when it needs the texts. The in-place editor takes numbers only: the
// input method stays off and full-width digits are narrowed.
class TStringGrid {
 public:
  static constexpr wchar_t kClassName[] = L"T905StringGrid";
  static bool Register(HINSTANCE instance);
  // The grid behind a window of this class, or null.
  static TStringGrid* FromHwnd(HWND hwnd);

  HWND Hwnd() const { return hwnd_; }
  HWND Editor() const { return editor_; }
  bool Editing() const { return editing_; }
  const TGridModel& Model() const { return model_; }

  const std::wstring& CellText(int col, int row) const { return model_.Cell(col, row); }
  void SetCellText(int col, int row, std::wstring_view text);
  void SetColWidth(int col, int width96);
  void SetDpi(int dpi);
  int Dpi() const { return dpi_; }
  void SelectCell(int col, int row);
  // The selected range; its current cell is the model's current cell.
  const TGridSelection& Selection() const { return selection_; }
  void SetSelection(const TGridSelection& selection);

  // How each cell relates to the selection; used cells are tinted, headers marked.
  void SetUse(const TGridUse& use);
  TCellUse Use(int col, int row) const;
  // Scrolls the first used cell into view when no used cell shows now.
  void RevealFirstUsed();
  // Where a cell's tooltip text comes from; without one no tooltip shows.
  using TTipSource = std::function<std::wstring(int col, int row)>;
  void SetTipSource(TTipSource source) { tipSource_ = std::move(source); }
  HWND Tooltip() const { return tooltip_; }

  // Opens the in-place editor on the current cell: with the cell's text all
  // selected, or with `typed` replacing it (typing into the grid).
  void BeginEdit();
  void BeginEditWith(std::wstring_view typed);
  // Closes the editor keeping what was typed (it is in the cell already).
  void CommitEdit();
  // Closes the editor and gives the cell back the text it had before.
  void CancelEdit();

 private:
  explicit TStringGrid(HWND hwnd);
  static LRESULT CALLBACK WndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
  static LRESULT CALLBACK EditorProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                                     DWORD_PTR data);
  LRESULT Route(UINT msg, WPARAM wParam, LPARAM lParam);
  LRESULT RouteEditor(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);

  void OnPaint();
  void OnLButtonDown(int x, int y, bool shift);
  void OnLButtonUp();
  void OnRButtonDown(int x, int y);
  bool OnRangeKey(WPARAM key, bool ctrl, bool shift);
  // The editor's keys that act on the grid rather than on the text.
  bool OnEditorGridKey(WPARAM key, bool ctrl, bool shift);
  // The editor was opened and nothing typed yet: grid keys still act on the grid.
  bool EditorFresh() const;
  void Command(TGridCommand code);
  void ExtendTo(int col, int row);
  bool OnKeyDown(WPARAM key);
  void OnChar(wchar_t ch);
  void OnScroll(int bar, WORD code);
  void OnMouseWheel(short delta);
  void OnEditorChange();
  void OnMouseMove(int x, int y);
  LRESULT OnNotify(NMHDR* header);
  void CreateTooltip();
  void ForgetTipCell();
  void NotifyChanged();
  bool OnEditorKey(WPARAM key);
  LRESULT OnGetDlgCode(const MSG* msg) const;

  void Draw(HDC dc, const RECT& client);
  void DrawCell(HDC dc, int col, int row);
  void DrawHeaderMark(HDC dc, const RECT& inner, int col, int row);
  void CreateEditor();
  void PlaceEditor();
  void EndEdit(bool keep);
  void MoveCurrent(int dCol, int dRow);
  void AfterMove();
  void UpdateScrollBars();
  void ClientSize(int& width, int& height) const;
  bool HasFocusWithin() const;

  HWND hwnd_;
  HWND editor_ = nullptr;
  HFONT font_ = nullptr;
  int dpi_ = 96;
  TGridModel model_;
  TGridSelection selection_;
  bool dragging_ = false;     // the left button went down on a data cell and is held
  bool editing_ = false;
  bool ending_ = false;       // EndEdit is running; focus changes it makes are ours
  bool settingEditor_ = false;  // the editor's text is being set by us, not typed
  int editCol_ = 0;
  int editRow_ = 0;
  std::wstring editOriginal_;  // the cell's text when editing began
  TGridUse use_{};             // TCellUse::Unused everywhere until the form says otherwise
  HWND tooltip_ = nullptr;
  TTipSource tipSource_;
  int tipCol_ = -1;            // the cell the tooltip speaks of, -1 for none
  int tipRow_ = -1;
  int tipLeftCol_ = 1;         // the scroll position the tip cell was found at
  int tipTopRow_ = 1;
  std::wstring tipText_;       // kept alive for the tooltip while it shows
};
