// Display lists and hit testing on generated drawings: the index finds every
// entity a view shows, culling leaves out only what lies outside, sub-pixel
// entities become single dots, widths come out in pixels, the highlighted
// layer comes last, and the entity under the mouse is found.
#include "app/preview_display.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <set>

#include "app/preview_raster.h"
#include "app/preview_source.h"
#include "exchange/read/reader.h"
#include "tests/support/drawing_generator.h"
#include "tests/support/store_records.h"

namespace {

TPreviewDrawing Generated(std::size_t entities, uint32_t seed) {
  TJwwData d;
  JwwDataInit(d);
  JwwReadBytes(d, GenerateExchangeFile(entities, seed));
  return MakePreviewDrawing(d);
}

bool Meets(const TPreviewEntity& e, double x0, double y0, double x1, double y1) {
  return e.maxX >= x0 && e.minX <= x1 && e.maxY >= y0 && e.minY <= y1;
}

TEST(PreviewIndex, FindsEveryEntityMeetingARectangle) {
  const TPreviewDrawing d = Generated(20000, 3);
  const TPreviewIndex index(d);
  EXPECT_GT(index.Columns() * index.Rows(), 100);
  std::mt19937 rng(5);
  std::uniform_real_distribution<double> ux(d.minX, d.maxX), uy(d.minY, d.maxY);
  for (int q = 0; q < 40; ++q) {
    double x0 = ux(rng), x1 = ux(rng), y0 = uy(rng), y1 = uy(rng);
    if (q % 4 == 0) x1 = x0;  // a degenerate rectangle: a line, or a point
    if (x0 > x1) std::swap(x0, x1);
    if (y0 > y1) std::swap(y0, y1);
    std::vector<uint32_t> found;
    index.Query(x0, y0, x1, y1, found);
    const std::set<uint32_t> got(found.begin(), found.end());
    for (std::size_t i = 0; i < d.entities.size(); ++i) {
      if (Meets(d.entities[i], x0, y0, x1, y1)) {
        ASSERT_TRUE(got.count(static_cast<uint32_t>(i))) << "query " << q << " entity " << i;
      }
    }
    // Culling that returned everything would pass the check above.
    if (q % 4 != 0) {
      EXPECT_LT(got.size(), d.entities.size());
    }
  }
}

TEST(PreviewDisplay, AZoomedViewDrawsWhatShowsAndNothingFarAway) {
  const TPreviewDrawing d = Generated(20000, 11);
  const TPreviewIndex index(d);
  TPreviewView view = FitView(d.minX, d.minY, d.maxX, d.maxY, 400, 300, 4);
  ZoomAbout(view, 130, 170, 12);
  TDisplayBuilder builder;
  TDisplayList list;
  builder.Build(d, index, view, TPreviewWidths{}, -1, list);
  ASSERT_FALSE(list.primitives.empty());

  std::set<uint32_t> drawn;
  for (const TPrimitive& p : list.primitives) drawn.insert(p.entity);
  const TPointD lo = view.ToDrawing(0, view.height), hi = view.ToDrawing(view.width, 0);
  const double far = 100 / view.zoom;  // beyond the culling margin
  std::size_t shown = 0;
  for (std::size_t i = 0; i < d.entities.size(); ++i) {
    const TPreviewEntity& e = d.entities[i];
    const auto id = static_cast<uint32_t>(i);
    if (!Meets(e, lo.x - far, lo.y - far, hi.x + far, hi.y + far)) {
      EXPECT_FALSE(drawn.count(id)) << "entity " << i << " lies outside the view";
      continue;
    }
    // A segment across the view at least a few pixels long must be drawn.
    if (e.shape == TShapeKind::Segment && Meets(e, lo.x, lo.y, hi.x, hi.y)) {
      double x1, y1, x2, y2;
      d.SegmentEnds(e, x1, y1, x2, y2);
      const TPointD a = view.ToPixel(x1, y1), b = view.ToPixel(x2, y2);
      const bool inside = a.x > 2 && a.x < view.width - 2 && a.y > 2 && a.y < view.height - 2;
      if (inside && std::hypot(b.x - a.x, b.y - a.y) > 3) {
        ++shown;
        EXPECT_TRUE(drawn.count(id)) << "entity " << i << " is in view but not drawn";
      }
    }
  }
  EXPECT_GT(shown, 10u);
  for (const TPixelPoint& p : list.points) {
    EXPECT_GT(p.x, -100000);  // clipped near the pane, whatever the zoom
    EXPECT_LT(p.x, 100000);
  }
}

TEST(PreviewDisplay, AtFitSubPixelEntitiesBecomeOneDotPerPixel) {
  const TPreviewDrawing d = Generated(20000, 2);
  const TPreviewIndex index(d);
  const TPreviewView view = FitView(d.minX, d.minY, d.maxX, d.maxY, 64, 48, 2);
  TDisplayBuilder builder;
  TDisplayList list;
  builder.Build(d, index, view, TPreviewWidths{}, -1, list);
  std::set<std::pair<int32_t, int32_t>> thinDots;
  std::size_t dots = 0;
  for (const TPrimitive& p : list.primitives) {
    if (p.kind != TPrimitiveKind::Dot || p.width > 1.5f) continue;
    ++dots;
    const TPixelPoint at = list.points[p.first];
    EXPECT_TRUE(thinDots.insert({at.x, at.y}).second) << "two dots at " << at.x << "," << at.y;
  }
  EXPECT_GT(dots, 100u);
  // Nothing smaller than a pixel is drawn as a line or an area.
  for (const TPrimitive& p : list.primitives) {
    const TPreviewEntity& e = d.entities[p.entity];
    const bool small = (e.maxX - e.minX) * view.zoom < 1 && (e.maxY - e.minY) * view.zoom < 1;
    if (small) {
      EXPECT_EQ(p.kind, TPrimitiveKind::Dot) << "entity " << p.entity;
    }
  }
}

// One line of width 50 (0.5 mm) on group 0 at 1/100, one circle on another layer.
TPreviewDrawing TwoEntities() {
  TJwwData store;
  JwwDataInit(store);
  store.Hs[0] = 100;
  store.LwSeen = true;
  TJwwEntLine& line = AddStoreRecord(store, store.Lines, kKindLine, 0, 1, 2, 50);
  line.x1 = 0;
  line.y1 = 0;
  line.x2 = 1000;
  line.y2 = 0;
  TJwwEntCircle& circle = AddStoreRecord(store, store.Circles, kKindCircle, 0, 2, 3, 0);
  circle.x = 500;
  circle.y = 300;
  circle.r = 100;
  return MakePreviewDrawing(store);
}

TEST(PreviewDisplay, WidthsBeforeAndAfterInPixels) {
  const TPreviewDrawing d = TwoEntities();
  const TPreviewIndex index(d);
  TPreviewView view = FitView(0, -100, 1000, 400, 520, 270, 10);  // 0.5 px per unit
  ASSERT_DOUBLE_EQ(view.zoom, 0.5);
  TPreviewWidths widths;
  widths.table.fill(-1);
  widths.table[1] = 100;  // layer 0-1 to 1 mm
  TDisplayBuilder builder;
  TDisplayList list;
  const auto lineWidth = [&] {
    builder.Build(d, index, view, widths, -1, list);
    for (const TPrimitive& p : list.primitives) {
      if (p.entity == 0) return p.width;
    }
    return -1.0f;
  };
  EXPECT_FLOAT_EQ(lineWidth(), 25.0f);  // 0.5 mm * 100 * 0.5 px
  widths.after = true;
  EXPECT_FLOAT_EQ(lineWidth(), 50.0f);
  widths.table[1] = -1;  // -1 keeps the width as read
  EXPECT_FLOAT_EQ(lineWidth(), 25.0f);
}

TEST(PreviewDisplay, TheHighlightedLayerComesLastInItsColour) {
  const TPreviewDrawing d = TwoEntities();
  const TPreviewIndex index(d);
  const TPreviewView view = FitView(d.minX, d.minY, d.maxX, d.maxY, 300, 200, 10);
  TDisplayBuilder builder;
  TDisplayList list;
  builder.Build(d, index, view, TPreviewWidths{}, 1, list);  // layer 0-1: the line
  ASSERT_EQ(list.primitives.size(), 2u);
  EXPECT_EQ(list.primitives[0].entity, 1u);
  EXPECT_EQ(list.primitives[1].entity, 0u);
  EXPECT_EQ(list.primitives[1].colour, kHighlightColour);
  EXPECT_NE(list.primitives[0].colour, kHighlightColour);
}

TEST(PreviewDisplay, PaintingAsItIsBuiltShowsWhatTheListShows) {
  const TPreviewDrawing d = Generated(20000, 7);
  const TPreviewIndex index(d);
  TPreviewWidths thick;  // wide strokes as well as thin ones
  thick.after = true;
  thick.table.fill(2000);
  thick.kinds = TConvertKinds{true, true, true, true};
  const struct {
    const char* name;
    double zoom;  // over fit
    int highlight;
    TPreviewWidths widths;
  } cases[] = {{"fit", 1, -1, {}}, {"fit, a layer lit", 1, 0x12, {}}, {"zoomed, wide", 8, 0x01, thick}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    TPreviewView view = FitView(d.minX, d.minY, d.maxX, d.maxY, 200, 150, 4);
    ZoomAbout(view, 90, 70, c.zoom);
    const auto paper = [&] { return std::vector<uint32_t>(200 * 150, 0xFFFFFFu); };
    std::vector<uint32_t> listed = paper(), direct = paper();
    TDisplayBuilder builder;
    TDisplayList list;
    TPainter painter;
    builder.Build(d, index, view, c.widths, c.highlight, list);
    painter.Paint(list, TCanvas{listed.data(), 200, 150, 200});
    const std::size_t drawn = builder.Paint(d, index, view, c.widths, c.highlight, painter, TCanvas{direct.data(), 200, 150, 200});
    EXPECT_LE(drawn, list.entitiesDrawn);  // less those wholly hidden
    EXPECT_GT(drawn, 0u);
    EXPECT_GT(std::count_if(direct.begin(), direct.end(), [](uint32_t v) { return v != 0xFFFFFFu; }), 1000);
    EXPECT_TRUE(listed == direct);
  }
}

TEST(PreviewHitTest, FindsTheEntityUnderTheMouse) {
  const TPreviewDrawing d = TwoEntities();
  const TPreviewIndex index(d);
  const TPreviewView view = FitView(0, -100, 1000, 400, 520, 270, 10);  // the line 25 px wide
  const TPreviewWidths widths;
  const TPointD onLine = view.ToPixel(300, 0);
  const TPointD onCircle = view.ToPixel(600, 300);  // on its rim
  const TPointD empty = view.ToPixel(900, 300);
  const struct {
    const char* name;
    double px, py;
    int64_t expected;
  } cases[] = {
      {"on the line", onLine.x, onLine.y, 0},
      {"inside the line's width", onLine.x, onLine.y + 12, 0},
      {"beyond its width and the tolerance", onLine.x, onLine.y + 20, -1},
      {"on the circle's rim", onCircle.x, onCircle.y, 1},
      {"inside the circle, far from its rim", view.ToPixel(500, 300).x, view.ToPixel(500, 300).y, -1},
      {"empty paper", empty.x, empty.y, -1},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(HitTest(d, index, view, widths, c.px, c.py, 3), c.expected);
  }
  // As OK would set it, twice as wide: found further out than as read.
  TPreviewWidths after;
  after.after = true;
  after.table.fill(-1);
  after.table[1] = 100;
  EXPECT_EQ(HitTest(d, index, view, after, onLine.x, onLine.y + 24, 3), 0);
  EXPECT_EQ(HitTest(d, index, view, widths, onLine.x, onLine.y + 24, 3), -1);
}

}  // namespace
