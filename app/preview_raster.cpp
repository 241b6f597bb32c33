// Bresenham strokes and single-pixel dots for the preview's back buffer.
#include "app/preview_raster.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace {

void Plot(uint32_t* pixels, int width, int height, int stride, int x, int y, uint32_t value) {
  if (x < 0 || y < 0 || x >= width || y >= height) return;
  pixels[static_cast<std::size_t>(y) * static_cast<std::size_t>(stride) + static_cast<std::size_t>(x)] = value;
}

void Line(uint32_t* pixels, int width, int height, int stride, TPixelPoint a, TPixelPoint b, uint32_t value) {
  const int dx = std::abs(b.x - a.x), sx = a.x < b.x ? 1 : -1;
  const int dy = -std::abs(b.y - a.y), sy = a.y < b.y ? 1 : -1;
  int err = dx + dy;
  int x = a.x, y = a.y;
  for (;;) {
    Plot(pixels, width, height, stride, x, y, value);
    if (x == b.x && y == b.y) return;
    const int e2 = 2 * err;
    if (e2 >= dy) {
      err += dy;
      x += sx;
    }
    if (e2 <= dx) {
      err += dx;
      y += sy;
    }
  }
}

}  // namespace

bool IsThinPrimitive(const TPrimitive& p) {
  return p.kind == TPrimitiveKind::Dot || (p.kind == TPrimitiveKind::Polyline && p.width <= 1.5f);
}

void PaintThin(const TDisplayList& list, const TPrimitive& p, uint32_t* pixels, int width, int height, int stride) {
  const uint32_t value = PixelOf(p.colour);
  const TPixelPoint* pts = list.points.data() + p.first;
  if (p.kind == TPrimitiveKind::Dot || p.count == 1) {
    if (p.count == 0) return;
    // A square of the dot's width, centred on its point.
    const int side = std::max(1, static_cast<int>(std::lround(p.width)));
    const int x0 = pts[0].x - (side - 1) / 2, y0 = pts[0].y - (side - 1) / 2;
    for (int y = y0; y < y0 + side; ++y) {
      for (int x = x0; x < x0 + side; ++x) Plot(pixels, width, height, stride, x, y, value);
    }
    return;
  }
  for (uint32_t i = 0; i + 1 < p.count; ++i) Line(pixels, width, height, stride, pts[i], pts[i + 1], value);
}
