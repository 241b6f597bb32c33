// The grid's selected range and how mouse and key moves change it.
#include "app/grid_selection.h"

void TGridSelection::Span(int c1, int r1, int c2, int r2) {
  left_ = c1 < c2 ? c1 : c2;
  right_ = c1 < c2 ? c2 : c1;
  top_ = r1 < r2 ? r1 : r2;
  bottom_ = r1 < r2 ? r2 : r1;
}

void TGridSelection::MoveTo(int col, int row) {
  curCol_ = endCol_ = Clamp(col);
  curRow_ = endRow_ = Clamp(row);
  Span(curCol_, curRow_, endCol_, endRow_);
}

void TGridSelection::ExtendTo(int col, int row) {
  endCol_ = Clamp(col);
  endRow_ = Clamp(row);
  Span(curCol_, curRow_, endCol_, endRow_);
}

void TGridSelection::SelectRow(int row, bool extend) {
  row = Clamp(row);
  if (!extend) {
    curCol_ = kFirst;
    curRow_ = row;
  }
  endCol_ = kLast;
  endRow_ = row;
  Span(kFirst, curRow_, kLast, row);
}

void TGridSelection::SelectColumn(int col, bool extend) {
  col = Clamp(col);
  if (!extend) {
    curCol_ = col;
    curRow_ = kFirst;
  }
  endCol_ = col;
  endRow_ = kLast;
  Span(curCol_, kFirst, col, kLast);
}

void TGridSelection::SelectAll() {
  // The end goes to the corner farthest from the current cell, so that
  // Shift+arrows then shrink the range from the far side, as spreadsheets do.
  endCol_ = curCol_ <= (kFirst + kLast) / 2 ? kLast : kFirst;
  endRow_ = curRow_ <= (kFirst + kLast) / 2 ? kLast : kFirst;
  Span(kFirst, kFirst, kLast, kLast);
}

void TGridSelection::SetRange(int left, int top, int right, int bottom) {
  curCol_ = Clamp(left);
  curRow_ = Clamp(top);
  endCol_ = Clamp(right);
  endRow_ = Clamp(bottom);
  Span(curCol_, curRow_, endCol_, endRow_);
}
