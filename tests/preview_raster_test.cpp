// Thin strokes and dots written into a pixel buffer: exact pixels, colour
// order, and clipping at the buffer's edges.
#include "app/preview_raster.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

constexpr uint32_t kWhite = 0xFFFFFFu;

struct Canvas {
  int width = 8, height = 6, stride = 10;  // a row longer than the picture, as bitmaps may have
  std::vector<uint32_t> pixels = std::vector<uint32_t>(60, kWhite);
  uint32_t At(int x, int y) const { return pixels[static_cast<std::size_t>(y * stride + x)]; }
  int Count(uint32_t v) const {
    int n = 0;
    for (int y = 0; y < height; ++y) {
      for (int x = 0; x < stride; ++x) n += At(x, y) == v;
    }
    return n;
  }
};

TDisplayList One(TPrimitiveKind kind, std::vector<TPixelPoint> pts, float width = 1) {
  TDisplayList list;
  list.points = pts;
  TPrimitive p;
  p.kind = kind;
  p.colour = 0x00332211u;  // R 0x11, G 0x22, B 0x33
  p.width = width;
  p.count = static_cast<uint32_t>(pts.size());
  list.primitives.push_back(p);
  return list;
}

TEST(PreviewRaster, PixelsAreRgbInBitmapOrder) { EXPECT_EQ(PixelOf(0x00332211u), 0x00112233u); }

TEST(PreviewRaster, StrokesSetExactlyTheirPixels) {
  const struct {
    const char* name;
    std::vector<TPixelPoint> pts;
    int expected;  // pixels set
  } cases[] = {
      {"horizontal, both ends", {{1, 2}, {6, 2}}, 6},
      {"diagonal", {{0, 0}, {5, 5}}, 6},
      {"two joined segments share a corner", {{0, 0}, {3, 0}, {3, 3}}, 7},
      {"running off the right edge", {{5, 1}, {12, 1}}, 3},
      {"wholly above the buffer", {{0, -3}, {7, -3}}, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    Canvas canvas;
    const TDisplayList list = One(TPrimitiveKind::Polyline, c.pts);
    PaintThin(list, list.primitives[0], canvas.pixels.data(), canvas.width, canvas.height, canvas.stride);
    EXPECT_EQ(canvas.Count(0x00112233u), c.expected);
    // Nothing is written into a row's padding.
    for (int y = 0; y < canvas.height; ++y) EXPECT_EQ(canvas.At(9, y), kWhite);
  }
}

TEST(PreviewRaster, ADotIsOnePixelAndOnlyThinOnesArePaintedHere) {
  Canvas canvas;
  const TDisplayList list = One(TPrimitiveKind::Dot, {{4, 3}});
  PaintThin(list, list.primitives[0], canvas.pixels.data(), canvas.width, canvas.height, canvas.stride);
  EXPECT_EQ(canvas.At(4, 3), 0x00112233u);
  EXPECT_EQ(canvas.Count(0x00112233u), 1);
  Canvas wide;
  const TDisplayList square = One(TPrimitiveKind::Dot, {{4, 3}}, 3.0f);
  PaintThin(square, square.primitives[0], wide.pixels.data(), wide.width, wide.height, wide.stride);
  EXPECT_EQ(wide.Count(0x00112233u), 9);  // 3 x 3 around its point
  EXPECT_EQ(wide.At(3, 2), 0x00112233u);
  EXPECT_EQ(wide.At(5, 4), 0x00112233u);
  EXPECT_TRUE(IsThinPrimitive(square.primitives[0]));
  EXPECT_TRUE(IsThinPrimitive(One(TPrimitiveKind::Polyline, {{0, 0}, {1, 1}}, 1.5f).primitives[0]));
  EXPECT_FALSE(IsThinPrimitive(One(TPrimitiveKind::Polyline, {{0, 0}, {1, 1}}, 2.0f).primitives[0]));
  EXPECT_FALSE(IsThinPrimitive(One(TPrimitiveKind::Polygon, {{0, 0}, {1, 1}, {0, 1}}).primitives[0]));
}

}  // namespace
