// The rules the reader applies to each line, shared by its files: a line is
// tried as a plain four-number line, then as a state line, then as an entity.
#pragma once

#include <cstddef>
#include <cstdint>
#include <limits>

#include "exchange/read/line_split.h"
#include "exchange/read/read_state.h"
#include "exchange/store/store.h"

// Where the line being applied begins in the exchange file, passed with it so
// that the entity it stores can be marked for the writer to copy its final-form
// fields from there; kJwwNoLineOffset when they cannot be found there again (the
// line was moved, or the file will not be read again).
inline constexpr std::uint64_t kJwwNoLineOffset = std::numeric_limits<std::uint64_t>::max();

// Header, layer, attribute, modifier, grouping and numbered-point lines.
// True when one of them took the line.
bool JwwTakeStateLine(TJwwData& d, TJwwReadState& rs, const TJwwFields& f);

// Entity lines and plain four-field lines; anything else is ignored.
void JwwTakeEntityLine(TJwwData& d, TJwwReadState& rs, const TJwwFields& f, std::uint64_t lineOffset);

// The commonest line, four numbers ("x1 y1 x2 y2"), read without the general
// split: true when the line is exactly four fields of digits, ".", "+", "-",
// "e" and "E" separated by blanks or tabs (blanks may come before the first
// field, not after the last), stored as the general way stores it. Such a line
// is never a state or keyword line. False, with nothing stored, otherwise.
bool JwwTakePlainNumberLine(TJwwData& d, TJwwReadState& rs, const char* line, std::size_t size,
                            std::uint64_t lineOffset);

// The numbers of such a line, read where it lies (plain_number_line.cpp),
// then stored (reader_entities.cpp).
struct TJwwPlainNumbers {
  double value[4];
  std::uint16_t ownNumbers = 0;  // bit k: field k is already in final form
  bool asWritten = false;        // no blank first, single blanks between
};
bool JwwReadPlainNumberLine(const char* line, std::size_t size, TJwwPlainNumbers& out);
void JwwStorePlainNumberLine(TJwwData& d, TJwwReadState& rs, const TJwwPlainNumbers& line, std::size_t size,
                             std::uint64_t lineOffset);

// Splits `line[0..size)` in place and applies it. The bytes are overwritten.
void JwwApplyLine(TJwwData& d, TJwwReadState& rs, char* line, std::size_t size,
                  std::uint64_t lineOffset = kJwwNoLineOffset);
