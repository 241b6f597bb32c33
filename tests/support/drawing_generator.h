// A deterministic generator of exchange files shaped like those the host
// writes, for tests and benchmarks: the same seed gives the same bytes on every
// platform (own PRNG, exact arithmetic and std::to_chars only).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

struct DrawingOptions {
  bool header = true;  // "hq", file=, hk, hs, hzs, the text type lines and the layer list
  bool bz = false;     // a "bz" line after the header values
  bool widths = true;  // `lw` lines: the host writes them only when widths are exchanged
};

// The bytes of an exchange file (Shift-JIS, CR LF) that holds exactly
// `entityCount` entity records once read: plain lines and polylines mostly,
// texts with Japanese strings and fonts, circles, arcs, points, dimensions,
// two-, three- and four-point solids (some in arbitrary colours), round solids
// and occasional `z` flags, on several layer groups, layers and colours, with
// attribute lines only where a value changes.
std::string GenerateExchangeFile(std::size_t entityCount, std::uint32_t seed, const DrawingOptions& options = {});

// A real value as the host writes it: 15 significant digits, shortest form,
// "E" notation without "+" or leading exponent zeros outside 1E-4..1E15.
std::string HostNumberText(double value);
