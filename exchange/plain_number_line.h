// The four-number line read one byte at a time: the way lines too long for
// JwwReadPlainNumberLine's padded copy are read, and what its tests hold the
// padded reading to.
#pragma once

#include <cstddef>

#include "exchange/reader_rows.h"

// JwwReadPlainNumberLine (exchange/reader_rows.h), for a line of any length,
// reading it where it lies and never past `line + size`.
bool JwwReadPlainNumberLineBytewise(const char* line, std::size_t size, TJwwPlainNumbers& out);

// The longest line JwwReadPlainNumberLine copies into its padded buffer.
inline constexpr std::size_t kJwwPaddedNumberLine = 128;
