// Framing the exchange file's bytes into lines: LF ends a line, and every CR
// is dropped (one before the LF belongs to the line end, any other is not
// part of the line either). Files and bytes in memory are framed alike.
#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "exchange/read/byte_scan.h"

// One line of a block read from the file, framed where it lies.
struct TJwwFramedLine {
  char* data = nullptr;    // its first byte
  std::size_t size = 0;    // its length, without the line end and any CR
  bool moved = false;      // a CR stood before its last byte, so bytes were moved over it
  std::size_t next = 0;    // where the line after it begins
};

// Drops every CR: one before the LF belongs to the line end, any other is
// not part of the line either. Returns the new length. `moved` tells whether
// bytes of the line moved, which only a CR before the last byte causes.
inline std::size_t JwwDropCarriageReturns(char* line, std::size_t size, bool* moved = nullptr) {
  char* cr = static_cast<char*>(std::memchr(line, '\r', size));
  if (moved != nullptr) *moved = cr != nullptr && cr + 1 != line + size;
  if (cr == nullptr) return size;
  char* w = cr;
  for (char* r = cr; r != line + size; ++r) {
    if (*r != '\r') *w++ = *r;
  }
  return static_cast<std::size_t>(w - line);
}

// The first LF or CR in `buf[i..end)`, sixteen bytes at a time; `end` when
// there is none. Never reads at or past `end`.
[[gnu::always_inline]] inline std::size_t JwwFindLineBreakByte(const char* buf, std::size_t i, std::size_t end) {
  while (end - i >= 32) {
    const std::uint32_t hit = JwwLineBreakMask(buf + i) | JwwLineBreakMask(buf + i + 16) << 16;
    if (hit != 0) return i + static_cast<std::size_t>(std::countr_zero(hit));
    i += 32;
  }
  while (end - i >= 16) {
    const std::uint32_t hit = JwwLineBreakMask(buf + i);
    if (hit != 0) return i + static_cast<std::size_t>(std::countr_zero(hit));
    i += 16;
  }
  while (i < end && buf[i] != '\n' && buf[i] != '\r') ++i;
  return i;
}

// Frames the line beginning at `buf[begin]`: it ends at the first LF of
// `buf[begin..end)`, and every CR in it is dropped (one before the LF is
// the line end's). False, with nothing changed, when no LF follows in the
// bytes given or a CR is the last of them. Inlined into the reader's loop.
[[gnu::always_inline]] inline bool JwwNextLine(char* buf, std::size_t begin, std::size_t end, TJwwFramedLine& line) {
  // One pass finds the LF and every CR on the way: a host's CR LF costs
  // nothing more, and only a line with a CR elsewhere has bytes moved.
  bool strayCr = false;
  std::size_t i = begin;
  for (;;) {
    i = JwwFindLineBreakByte(buf, i, end);
    if (i == end) return false;
    if (buf[i] == '\n') break;
    if (i + 1 == end) return false;  // whether an LF follows is not known yet
    if (buf[i + 1] == '\n' && !strayCr) {
      line = {buf + begin, i - begin, false, i + 2};
      return true;
    }
    strayCr = true;
    ++i;
  }
  line = {buf + begin, i - begin, false, i + 1};
  if (strayCr) line.size = JwwDropCarriageReturns(line.data, line.size, &line.moved);
  return true;
}
