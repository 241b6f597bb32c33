// The display list painted into a pixel buffer: exact pixels for thin and
// wide strokes, areas and dots, painting order, and clipping at the buffer's
// edges (nothing written into a row's padding or outside the buffer).
#include "app/preview_raster.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

constexpr uint32_t kWhite = 0xFFFFFFu;
constexpr uint32_t kColour = 0x00332211u;  // R 0x11, G 0x22, B 0x33
constexpr uint32_t kPixel = 0x00112233u;

struct Canvas {
  int width, height, stride;  // a row longer than the picture, as bitmaps may have
  std::vector<uint32_t> pixels;
  Canvas(int w = 8, int h = 6) : width(w), height(h), stride(w + 2), pixels(static_cast<std::size_t>(stride * h), kWhite) {}
  uint32_t At(int x, int y) const { return pixels[static_cast<std::size_t>(y * stride + x)]; }
  int Count(uint32_t v) const {
    int n = 0;
    for (int y = 0; y < height; ++y) {
      for (int x = 0; x < stride; ++x) n += At(x, y) == v;
    }
    return n;
  }
  // Painted pixels in column x (or row y with `row`).
  int Across(int at, bool row = false) const {
    int n = 0;
    for (int i = 0; i < (row ? width : height); ++i) n += (row ? At(i, at) : At(at, i)) == kPixel;
    return n;
  }
  bool PaddingClean() const {
    for (int y = 0; y < height; ++y) {
      for (int x = width; x < stride; ++x) {
        if (At(x, y) != kWhite) return false;
      }
    }
    return true;
  }
  void Paint(const TDisplayList& list) {
    TPainter painter;
    painter.Paint(list, TCanvas{pixels.data(), width, height, stride});
  }
};

TDisplayList One(TPrimitiveKind kind, std::vector<TPixelPoint> pts, float width = 1, uint32_t colour = kColour) {
  TDisplayList list;
  list.points = pts;
  TPrimitive p;
  p.kind = kind;
  p.colour = colour;
  p.width = width;
  p.count = static_cast<uint32_t>(pts.size());
  list.primitives.push_back(p);
  return list;
}

TEST(PreviewRaster, PixelsAreRgbInBitmapOrder) { EXPECT_EQ(PixelOf(kColour), kPixel); }

TEST(PreviewRaster, ThinStrokesSetExactlyTheirPixels) {
  const struct {
    const char* name;
    std::vector<TPixelPoint> pts;
    int expected;  // pixels set
  } cases[] = {
      {"horizontal, both ends", {{1, 2}, {6, 2}}, 6},
      {"drawn right to left", {{6, 2}, {1, 2}}, 6},
      {"vertical", {{3, 0}, {3, 5}}, 6},
      {"diagonal", {{0, 0}, {5, 5}}, 6},
      {"shallow: one pixel a column", {{0, 0}, {7, 3}}, 8},
      {"steep, upwards: one pixel a row", {{2, 5}, {4, 0}}, 6},
      {"two joined segments share a corner", {{0, 0}, {3, 0}, {3, 3}}, 7},
      {"a single point", {{4, 4}, {4, 4}}, 1},
      {"running off the right edge", {{5, 1}, {12, 1}}, 3},
      {"wholly above the buffer", {{0, -3}, {7, -3}}, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    Canvas canvas;
    canvas.Paint(One(TPrimitiveKind::Polyline, c.pts));
    EXPECT_EQ(canvas.Count(kPixel), c.expected);
    const TPixelPoint start = c.pts.front();
    if (start.y >= 0) {
      EXPECT_EQ(canvas.At(start.x, start.y), kPixel);
    }
    EXPECT_TRUE(canvas.PaddingClean());
  }
}

TEST(PreviewRaster, ALongSlopedLineEndsOnItsLastPixel) {
  // The fixed-point step must not drift off the far end over many pixels.
  for (const TPixelPoint end : {TPixelPoint{399, 7}, TPixelPoint{399, 0}, TPixelPoint{3, 299}, TPixelPoint{0, 0}}) {
    Canvas canvas(400, 300);
    canvas.Paint(One(TPrimitiveKind::Polyline, {{0, 299}, end}));
    EXPECT_EQ(canvas.At(end.x, end.y), kPixel) << end.x << "," << end.y;
    EXPECT_EQ(canvas.Count(kPixel), std::max(std::abs(end.x), std::abs(end.y - 299)) + 1);
  }
}

TEST(PreviewRaster, WideStrokesAreAsWideAsTheirWidthWithFlatEnds) {
  const struct {
    const char* name;
    float width;
    int across;  // pixels across the middle of a horizontal stroke
    int along;   // pixels along it: a thin one has both ends, a wide one flat ends at 10 and 50
  } cases[] = {{"1.5 is still thin", 1.5f, 1, 41}, {"2", 2, 2, 40}, {"5", 5, 5, 40}, {"15", 15, 15, 40}, {"30", 30, 30, 40}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    Canvas canvas(60, 60);
    canvas.Paint(One(TPrimitiveKind::Polyline, {{10, 30}, {50, 30}}, c.width));
    EXPECT_EQ(canvas.Across(30), c.across);
    EXPECT_EQ(canvas.Across(30, true), c.along);
    EXPECT_EQ(canvas.At(10, 30), kPixel);
    EXPECT_EQ(canvas.At(9, 30), kWhite);
  }
  // Turned a quarter, the same width runs along the rows.
  Canvas upright(60, 60);
  upright.Paint(One(TPrimitiveKind::Polyline, {{30, 10}, {30, 50}}, 5));
  EXPECT_EQ(upright.Across(30, true), 5);
}

TEST(PreviewRaster, AWideCornerIsRoundedAndStrokesClipAtTheEdges) {
  Canvas corner(40, 40);
  corner.Paint(One(TPrimitiveKind::Polyline, {{5, 20}, {20, 20}, {20, 35}}, 9));
  // The outer corner is filled as a round join fills it, not left notched...
  EXPECT_EQ(corner.At(23, 17), kPixel);
  // ...but not squared off either.
  EXPECT_EQ(corner.At(24, 16), kWhite);

  Canvas clipped(20, 20);
  clipped.Paint(One(TPrimitiveKind::Polyline, {{-30, 10}, {50, 10}}, 60));
  EXPECT_EQ(clipped.Count(kPixel), 20 * 20);
  EXPECT_TRUE(clipped.PaddingClean());
}

TEST(PreviewRaster, AreasAreFilledAndOutlined) {
  const struct {
    const char* name;
    std::vector<TPixelPoint> pts;
    int expected;
  } cases[] = {
      {"a square's inside and its outline", {{1, 1}, {5, 1}, {5, 4}, {1, 4}}, 5 * 4},
      {"a triangle: 20 inside, 5 more on its slope", {{0, 0}, {6, 0}, {0, 5}}, 25},
      {"flat as a line: its outline shows", {{1, 3}, {6, 3}, {3, 3}}, 6},
      {"partly off the buffer", {{4, 2}, {20, 2}, {20, 20}, {4, 20}}, 4 * 4},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    Canvas canvas;
    canvas.Paint(One(TPrimitiveKind::Polygon, c.pts));
    EXPECT_EQ(canvas.Count(kPixel), c.expected);
    EXPECT_TRUE(canvas.PaddingClean());
  }
  // Even-odd: a bow tie is filled in its two halves, not above or below its crossing.
  Canvas bow(12, 12);
  bow.Paint(One(TPrimitiveKind::Polygon, {{0, 0}, {10, 10}, {10, 0}, {0, 10}}));
  EXPECT_EQ(bow.At(2, 5), kPixel);
  EXPECT_EQ(bow.At(8, 5), kPixel);
  EXPECT_EQ(bow.At(5, 1), kWhite);
}

TEST(PreviewRaster, DotsAreSquaresOfTheirWidthAndLaterPrimitivesPaintOver) {
  Canvas canvas;
  TDisplayList list = One(TPrimitiveKind::Dot, {{4, 3}}, 3.0f);
  const TDisplayList over = One(TPrimitiveKind::Dot, {{5, 4}}, 1.0f, 0x00000000u);
  list.points.push_back(over.points[0]);
  list.primitives.push_back(over.primitives[0]);
  list.primitives.back().first = 1;
  canvas.Paint(list);
  EXPECT_EQ(canvas.Count(kPixel), 8);  // 3 x 3 around its point, one pixel painted over
  EXPECT_EQ(canvas.At(3, 2), kPixel);
  EXPECT_EQ(canvas.At(5, 4), 0u);

  Canvas corner;
  corner.Paint(One(TPrimitiveKind::Dot, {{0, 0}}, 4.0f));
  EXPECT_EQ(corner.Count(kPixel), 9);  // the part on the buffer
}

}  // namespace
