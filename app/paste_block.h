// Blocks of widths exchanged with spreadsheets: rows by CR LF, cells by tab.
// Reading a pasted block (all of it valid, or a fault that names its row and
// column), placing it on the grid's selection as spreadsheets place it, and the
// text a copied range gives. Text is Shift-JIS bytes throughout.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "app/grid_selection.h"
#include "app/layer_summary.h"

// A block read from text, every cell already a width in -1..30000.
struct TPasteBlock {
  std::vector<std::vector<int32_t>> rows;  // all of the same length
  int Height() const { return static_cast<int>(rows.size()); }
  int Width() const { return rows.empty() ? 0 : static_cast<int>(rows.front().size()); }
  int32_t At(int row, int col) const {
    return rows[static_cast<std::size_t>(row)][static_cast<std::size_t>(col)];
  }
};

enum class TPasteFault { None, Nothing, NotInteger, Decimal, OutOfRange, PastEdge };

// Why a block is refused; row and column count from 1 within the block.
struct TPasteError {
  TPasteFault fault = TPasteFault::None;
  int row = 0;
  int col = 0;
  std::string text;  // the cell's text as read (blanks trimmed)
};

// Reads a block. Rows end at CR LF, LF or CR; a line end after the last row
// and empty lines after it add nothing. Cells are split at tabs; a cell in
// double quotes may hold tabs, line ends and doubled quotes. Blanks (ASCII and
// ideographic) around a cell are dropped and an empty cell is -1, the table's
// "no change"; full-width digits and signs count as their ASCII forms; a
// number with zero decimals ("25.00") or thousands separators ("1,000") is
// whole. Short rows are padded with -1. False, with `error` set to the first
// bad cell row by row, when any cell is not a width; `block` is then unusable.
bool ParsePasteBlock(std::string_view text, TPasteBlock& block, TPasteError& error);

// The cells a paste changes: a single value fills the selection, a block over
// a range that is a whole multiple of it is tiled across the range, any other
// block goes to the range's top left cell.
struct TPasteTarget {
  int left = 1, top = 1, right = 1, bottom = 1;  // data cells, 1..16
  // The value for a cell of the target.
  int32_t ValueAt(const TPasteBlock& block, int col, int row) const {
    return block.At((row - top) % block.Height(), (col - left) % block.Width());
  }
};
// False, with `error` naming the first block row (or column) past the table's
// edge, when the block does not fit.
bool PlacePasteBlock(const TPasteBlock& block, const TGridSelection& selection, TPasteTarget& target,
                     TPasteError& error);

// The refusal as the window and the batch command say it (Shift-JIS).
std::string PasteErrorText(const TPasteError& error);

// The text a copy of the range gives: the widths as OK would store them, cells
// by tab, each row ended by CR LF, as spreadsheets put blocks on the clipboard.
std::string CopyBlockText(const TGridWidths& widths, int left, int top, int right, int bottom);
