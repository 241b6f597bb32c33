// Reading a large exchange file on two threads. While the store takes the
// lines of one block, a second thread reads the plain four-number lines of the
// next block: they are the commonest lines and the costliest to read, and
// reading them touches nothing but their own bytes. Taking such a line then
// only stores what was read. Every other line, and every line with a CR before
// its end, is read where it is taken, so the store ends up exactly as a
// reading on one thread leaves it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <istream>
#include <optional>

#include "exchange/reader.h"
#include "exchange/reader_rows.h"

// What the second thread found in one line of a block.
struct TJwwLineAhead {
  enum TState : std::uint8_t {
    kUnread,    // not looked at: the line is read where it is taken
    kPlain,     // a plain four-number line, read into `numbers`
    kNotPlain,  // not one: the general split takes it
  };
  TState state = kUnread;
  // The line's bytes up to its LF, and without a CR at their end. A line
  // that is read ahead has no other CR, so nothing of it moves when CRs are
  // dropped.
  std::size_t length = 0;
  std::size_t size = 0;
  TJwwPlainNumbers numbers;
};

// Reads the open stream in blocks of `blockSize` bytes as the one-thread
// reader does (LF ends a line, CRs are dropped, Ctrl-Z ends the file, a line
// longer than a block grows it), with the plain lines of each block read
// ahead on a second thread. False on a read error; the lines before it stay
// applied. Empty, with nothing read, when no second thread can be started.
std::optional<bool> JwwReadStreamAhead(TJwwData& d, std::istream& in, std::size_t blockSize,
                                       IJwwReadProgress* progress, std::uint64_t total);

// Applies the line at `line[0..size)`, which begins at `offset` in the file,
// using what was read of it ahead (null when nothing was; when something
// was, `size` is not looked at).
void JwwApplyFileLine(TJwwData& d, char* line, std::size_t size, std::uint64_t offset, const TJwwLineAhead* ahead);
