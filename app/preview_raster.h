// One-pixel strokes and dots written straight into a 32-bit pixel buffer: a
// view at fit holds most of a large drawing, and setting pixels costs far
// less than a drawing call per stroke. Wider strokes and areas are left to
// the window system's pens and brushes.
#pragma once

#include <cstdint>

#include "app/preview_display.h"

// True for primitives this file paints: dots, and polylines at most 1.5 pixels wide.
bool IsThinPrimitive(const TPrimitive& p);

// A 0x00BBGGRR colour as a 32-bit top-down bitmap's pixel (0x00RRGGBB).
constexpr uint32_t PixelOf(uint32_t colour) {
  return ((colour & 0xFFu) << 16) | (colour & 0xFF00u) | ((colour >> 16) & 0xFFu);
}

// Paints thin primitive `p` of `list` into `pixels` (`width` x `height`,
// `stride` pixels a row, top row first), clipped to the buffer.
void PaintThin(const TDisplayList& list, const TPrimitive& p, uint32_t* pixels, int width, int height, int stride);
