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
  Canvas(int w, int h) : width(w), height(h), stride(w + 2), pixels(static_cast<std::size_t>(stride * h), kWhite) {}
  uint32_t At(int x, int y) const { return pixels[static_cast<std::size_t>(y * stride + x)]; }
  int Count(uint32_t v) const {
    int n = 0;
    for (uint32_t p : pixels) n += p == v;  // the padding included: it must stay white
    return n;
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

TEST(PreviewRaster, EachPrimitiveSetsExactlyItsPixels) {
  using K = TPrimitiveKind;
  struct Probe {
    int x, y;
    bool painted;
  };
  const struct {
    const char* name;
    K kind;
    std::vector<TPixelPoint> pts;
    float width;
    int w, h;      // the canvas
    int expected;  // pixels set
    std::vector<Probe> probes;
  } cases[] = {
      {"thin, horizontal, both ends", K::Polyline, {{1, 2}, {6, 2}}, 1, 8, 6, 6, {{1, 2, true}, {6, 2, true}}},
      {"thin, drawn right to left", K::Polyline, {{6, 2}, {1, 2}}, 1, 8, 6, 6, {{1, 2, true}}},
      {"thin, vertical", K::Polyline, {{3, 0}, {3, 5}}, 1, 8, 6, 6, {}},
      {"thin, diagonal", K::Polyline, {{0, 0}, {5, 5}}, 1, 8, 6, 6, {{3, 3, true}}},
      {"thin, shallow: one pixel a column", K::Polyline, {{0, 0}, {7, 3}}, 1, 8, 6, 8, {{7, 3, true}}},
      {"thin, steep, upwards: one a row", K::Polyline, {{2, 5}, {4, 0}}, 1, 8, 6, 6, {{4, 0, true}}},
      {"thin, joined segments share a corner", K::Polyline, {{0, 0}, {3, 0}, {3, 3}}, 1, 8, 6, 7, {}},
      {"thin, a single point", K::Polyline, {{4, 4}, {4, 4}}, 1, 8, 6, 1, {}},
      {"thin, off the right edge", K::Polyline, {{5, 1}, {12, 1}}, 1, 8, 6, 3, {{7, 1, true}}},
      {"thin, wholly above", K::Polyline, {{0, -3}, {7, -3}}, 1, 8, 6, 0, {}},
      // The fixed-point step must not drift off the far end over many pixels.
      {"thin, long and sloped", K::Polyline, {{0, 299}, {399, 7}}, 1, 400, 300, 400, {{399, 7, true}}},
      {"thin, long and upright", K::Polyline, {{0, 299}, {0, 0}}, 1, 400, 300, 300, {{0, 0, true}}},
      {"1.5 is still thin: both ends", K::Polyline, {{10, 30}, {50, 30}}, 1.5f, 60, 60, 41, {{50, 30, true}}},
      // Wide strokes: as many rows as their width, flat ends at 10 and 50.
      {"2 wide", K::Polyline, {{10, 30}, {50, 30}}, 2, 60, 60, 2 * 40, {{10, 30, true}, {9, 30, false}}},
      {"5 wide", K::Polyline, {{10, 30}, {50, 30}}, 5, 60, 60, 5 * 40, {{50, 30, false}, {30, 32, true}}},
      {"15 wide", K::Polyline, {{10, 30}, {50, 30}}, 15, 60, 60, 15 * 40, {}},
      {"30 wide", K::Polyline, {{10, 30}, {50, 30}}, 30, 60, 60, 30 * 40, {}},
      {"5 wide, upright", K::Polyline, {{30, 10}, {30, 50}}, 5, 60, 60, 5 * 40, {{32, 30, true}, {33, 30, false}}},
      // The outer corner filled as a round join fills it: not notched, not squared off.
      {"9 wide, round corner", K::Polyline, {{5, 20}, {20, 20}, {20, 35}}, 9, 40, 40, -1,
       {{23, 17, true}, {24, 16, false}}},
      {"wider than the buffer", K::Polyline, {{-30, 10}, {50, 10}}, 60, 20, 20, 20 * 20, {}},
      // Areas are filled and outlined, so one thinner than a pixel still shows.
      {"a square", K::Polygon, {{1, 1}, {5, 1}, {5, 4}, {1, 4}}, 1, 8, 6, 5 * 4, {}},
      {"a triangle: 20 inside, 5 on its slope", K::Polygon, {{0, 0}, {6, 0}, {0, 5}}, 1, 8, 6, 25, {}},
      {"flat as a line", K::Polygon, {{1, 3}, {6, 3}, {3, 3}}, 1, 8, 6, 6, {}},
      {"partly off the buffer", K::Polygon, {{4, 2}, {20, 2}, {20, 20}, {4, 20}}, 1, 8, 6, 4 * 4, {}},
      // Even-odd: a bow tie is filled in its two halves, not above or below its crossing.
      {"a bow tie", K::Polygon, {{0, 0}, {10, 10}, {10, 0}, {0, 10}}, 1, 12, 12, -1,
       {{2, 5, true}, {8, 5, true}, {5, 1, false}}},
      {"a dot 3 wide", K::Dot, {{4, 3}}, 3, 8, 6, 9, {{3, 2, true}, {5, 4, true}}},
      {"a dot 4 wide in the corner", K::Dot, {{0, 0}}, 4, 8, 6, 9, {}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    Canvas canvas(c.w, c.h);
    canvas.Paint(One(c.kind, c.pts, c.width));
    if (c.expected >= 0) {
      EXPECT_EQ(canvas.Count(kPixel), c.expected);
    }
    for (const Probe& p : c.probes) EXPECT_EQ(canvas.At(p.x, p.y) == kPixel, p.painted) << p.x << "," << p.y;
    for (int y = 0; y < c.h; ++y) EXPECT_EQ(canvas.At(c.w, y), kWhite);  // the padding
  }
}

TEST(PreviewRaster, LaterPrimitivesPaintOverEarlierOnes) {
  Canvas canvas(8, 6);
  TDisplayList list = One(TPrimitiveKind::Dot, {{4, 3}}, 3.0f);
  const TDisplayList over = One(TPrimitiveKind::Dot, {{5, 4}}, 1.0f, 0x00000000u);
  list.points.push_back(over.points[0]);
  list.primitives.push_back(over.primitives[0]);
  list.primitives.back().first = 1;
  canvas.Paint(list);
  EXPECT_EQ(canvas.Count(kPixel), 8);
  EXPECT_EQ(canvas.At(5, 4), 0u);
}

}  // namespace
