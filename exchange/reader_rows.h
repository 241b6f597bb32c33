// The reader's inner steps, shared by its files: applying one split line to
// the store, in the order the forms are tried.
#pragma once

#include <cstddef>
#include <cstdint>

#include "exchange/line_split.h"
#include "exchange/store.h"

// Header, layer, attribute, modifier, grouping and numbered-point lines.
// True when one of them took the line.
bool JwwTakeStateLine(TJwwData& d, const TJwwFields& f);

// Entity lines and plain four-field lines; anything else is ignored.
void JwwTakeEntityLine(TJwwData& d, const TJwwFields& f);

// The commonest line, four numbers ("x1 y1 x2 y2"), read without the general
// split: true when the line is exactly four fields of digits, ".", "+", "-",
// "e" and "E" separated by blanks or tabs (blanks may come before the first
// field, not after the last), stored as the general way stores it. Such a line
// is never a state or keyword line. False, with nothing stored, otherwise.
bool JwwTakePlainNumberLine(TJwwData& d, const char* line, std::size_t size);

// The same in two steps: reading the line, which touches nothing else and so
// may run ahead of the store on another thread, and storing what was read.
struct TJwwPlainNumbers {
  double value[4];
  std::uint16_t ownNumbers = 0;  // bit k: field k is already in final form
  bool asWritten = false;        // no blank first, single blanks between
};
bool JwwReadPlainNumberLine(const char* line, std::size_t size, TJwwPlainNumbers& out);
void JwwStorePlainNumberLine(TJwwData& d, const TJwwPlainNumbers& line, std::size_t size);

// Splits `line[0..size)` in place and applies it. The bytes are overwritten.
void JwwApplyLine(TJwwData& d, char* line, std::size_t size);

// One line of a block read from the file, framed where it lies.
struct TJwwFramedLine {
  char* data = nullptr;    // its first byte
  std::size_t size = 0;    // its length, without the line end and any CR
  bool moved = false;      // a CR stood before its last byte, so bytes were moved over it
  std::size_t next = 0;    // where the line after it begins
};

// Frames the line beginning at `buf[begin]`: it ends at the first LF of
// `buf[begin..end)`, and every CR in it is dropped (one before the LF is
// the line end's). False, with nothing changed, when no LF follows in the
// bytes given or a CR is the last of them.
bool JwwNextLine(char* buf, std::size_t begin, std::size_t end, TJwwFramedLine& line);
