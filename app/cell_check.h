// Whether a cell's text is a width as the user means it. OK stores any text by
// the reading rule ("abc" and "0.25" as 0, "99999" as -1), so a text that is no
// width is shown as an error, with what it will be stored as.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "app/layer_summary.h"

struct TCellCheck {
  bool valid = true;     // an integer -1..30000 (hexadecimal after "$" or "0x" too, as OK reads it)
  bool decimal = false;  // a number with a fraction, such as "0.25": the unit was taken for mm
  int32_t stored = 0;    // what OK stores for the text
};

TCellCheck CheckCellText(std::string_view text);

// The tooltip's first lines for a cell in error (Shift-JIS, each ended by
// CR LF); empty for a valid text.
std::string CellErrorHint(std::string_view text);

// Data cells whose text is no width.
int CountCellErrors(const std::array<std::string, 256>& cells);
