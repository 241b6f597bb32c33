// The range of data cells selected in the grid, kept as spreadsheets keep it:
// the current cell (framed; typing and F2 act on it) is also the anchor from
// which Shift+click and Shift+arrows stretch the range to their end cell. The
// grid control turns mouse and keys into these moves; the form reads the range.
#pragma once

// Data cells run 1..16 both ways (column = layer + 1, row = group + 1).
class TGridSelection {
 public:
  static constexpr int kFirst = 1;
  static constexpr int kLast = 16;

  int CurCol() const { return curCol_; }
  int CurRow() const { return curRow_; }
  // The corner that Shift moves; the current cell when nothing is stretched.
  int EndCol() const { return endCol_; }
  int EndRow() const { return endRow_; }

  int Left() const { return left_; }
  int Right() const { return right_; }
  int Top() const { return top_; }
  int Bottom() const { return bottom_; }
  int Width() const { return right_ - left_ + 1; }
  int Height() const { return bottom_ - top_ + 1; }
  int Count() const { return Width() * Height(); }
  bool IsSingle() const { return Count() == 1; }
  bool Contains(int col, int row) const { return col >= left_ && col <= right_ && row >= top_ && row <= bottom_; }

  // A click or a plain arrow: the one cell (kept within the data cells).
  void MoveTo(int col, int row);
  // Shift+click, Shift+arrows, a drag: the range from the current cell to this end.
  void ExtendTo(int col, int row);
  // Shift+arrows by whole cells from the end cell.
  void ExtendBy(int dCol, int dRow) { ExtendTo(endCol_ + dCol, endRow_ + dRow); }
  // A row header: the whole group row; a column header: the layer in every
  // group. With `extend` (Shift) the range runs from the current cell's row or
  // column to this one.
  void SelectRow(int row, bool extend);
  void SelectColumn(int col, bool extend);
  // The corner and Ctrl+A: the whole table; the current cell stays.
  void SelectAll();
  // Sets the range outright (as a paste leaves it); the current cell goes to its top left.
  void SetRange(int left, int top, int right, int bottom);

 private:
  static int Clamp(int v) { return v < kFirst ? kFirst : (v > kLast ? kLast : v); }
  void Span(int c1, int r1, int c2, int r2);
  int curCol_ = kFirst, curRow_ = kFirst;
  int endCol_ = kFirst, endRow_ = kFirst;
  int left_ = kFirst, top_ = kFirst, right_ = kFirst, bottom_ = kFirst;
};
