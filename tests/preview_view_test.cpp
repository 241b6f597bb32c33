// The preview's view: fitting a box, zooming about a point, panning, and the
// flattening of ellipse arcs within their error bound.
#include "app/preview_view.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <numbers>
#include <vector>

namespace {

constexpr double kPi = std::numbers::pi;

struct FitCase {
  const char* name;
  double minX, minY, maxX, maxY;
  int width, height, margin;
  double zoom;  // expected
};

TEST(PreviewFit, ShowsTheBoxWholeAndCentredWithYUp) {
  const FitCase cases[] = {
      {"wide box limited by width", 0, 0, 1000, 100, 520, 300, 10, 0.5},
      {"tall box limited by height", -50, -500, 50, 500, 400, 220, 10, 0.2},
      {"square box in a square pane", 0, 0, 100, 100, 120, 120, 10, 1.0},
      {"a horizontal line has no height", 0, 5, 200, 5, 220, 100, 10, 1.0},
      {"a single point gets zoom 1", 3, 4, 3, 4, 100, 100, 10, 1.0},
  };
  for (const FitCase& c : cases) {
    SCOPED_TRACE(c.name);
    const TPreviewView v = FitView(c.minX, c.minY, c.maxX, c.maxY, c.width, c.height, c.margin);
    EXPECT_DOUBLE_EQ(v.zoom, c.zoom);
    const double cx = (c.minX + c.maxX) / 2, cy = (c.minY + c.maxY) / 2;
    const TPointD centre = v.ToPixel(cx, cy);
    EXPECT_DOUBLE_EQ(centre.x, c.width / 2.0);
    EXPECT_DOUBLE_EQ(centre.y, c.height / 2.0);
    // Both corners inside the margin.
    for (const TPointD corner : {v.ToPixel(c.minX, c.minY), v.ToPixel(c.maxX, c.maxY)}) {
      EXPECT_GE(corner.x, c.margin - 1e-9);
      EXPECT_LE(corner.x, c.width - c.margin + 1e-9);
      EXPECT_GE(corner.y, c.margin - 1e-9);
      EXPECT_LE(corner.y, c.height - c.margin + 1e-9);
    }
    // Y rises upwards on paper and downwards on screen; pixels map back to the same point.
    EXPECT_LT(v.ToPixel(cx, cy + 1).y, centre.y);
    const TPointD pixel = v.ToPixel(cx - 37.5, cy + 12.5);
    const TPointD back = v.ToDrawing(pixel.x, pixel.y);
    EXPECT_NEAR(back.x, cx - 37.5, 1e-9);
    EXPECT_NEAR(back.y, cy + 12.5, 1e-9);
  }
}

TEST(PreviewZoom, KeepsThePointUnderTheCursorWithinTheLimits) {
  const struct {
    const char* name;
    double px, py, factor;
    double zoom;  // expected, from 0.1 pixels per unit
  } cases[] = {
      {"in near a corner", 10, 20, 2, 0.2},
      {"out at the right edge", 300, 5, 0.25, 0.025},
      {"in at the top left pixel", 0, 0, 10, 1.0},
      {"a little in at the centre", 150, 100, 1.2, 0.12},
      {"held at the largest zoom", 40, 60, 1e12, 1e6},
      {"held at the smallest zoom", 40, 60, 1e-12, 1e-9},
      {"a factor of 0 is ignored", 40, 60, 0, 0.1},
      {"a negative factor is ignored", 40, 60, -2, 0.1},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    // 2840 x 1840 units fill 284 x 184 pixels: 0.1 pixels per unit, off the origin.
    TPreviewView v = FitView(-1000, -1000, 1840, 840, 300, 200, 8);
    ASSERT_DOUBLE_EQ(v.zoom, 0.1);
    const TPointD before = v.ToDrawing(c.px, c.py);
    ZoomAbout(v, c.px, c.py, c.factor);
    EXPECT_DOUBLE_EQ(v.zoom, c.zoom);
    const TPointD after = v.ToPixel(before.x, before.y);
    EXPECT_NEAR(after.x, c.px, 1e-6);
    EXPECT_NEAR(after.y, c.py, 1e-6);
  }
}

TEST(PreviewZoom, StaysWithinTheLimitsGiven) {
  TPreviewView v = FitView(0, 0, 10, 10, 100, 100, 0);
  ZoomAbout(v, 50, 50, 1e12, 1e-3, 1e3);
  EXPECT_DOUBLE_EQ(v.zoom, 1e3);
}

TEST(PreviewPan, MovesTheDrawingWithTheMouse) {
  TPreviewView v = FitView(0, 0, 100, 100, 100, 100, 0);
  const TPointD before = v.ToPixel(30, 40);
  PanBy(v, 7, -3);
  const TPointD after = v.ToPixel(30, 40);
  EXPECT_NEAR(after.x - before.x, 7, 1e-9);
  EXPECT_NEAR(after.y - before.y, -3, 1e-9);
}

// Distance from p to the polyline.
double DistanceToPolyline(const TPointD& p, const std::vector<TPointD>& pts) {
  double best = INFINITY;
  for (std::size_t i = 0; i + 1 < pts.size(); ++i) {
    const TPointD a = pts[i], b = pts[i + 1];
    const double dx = b.x - a.x, dy = b.y - a.y;
    const double len2 = dx * dx + dy * dy;
    const double t = len2 > 0 ? std::clamp(((p.x - a.x) * dx + (p.y - a.y) * dy) / len2, 0.0, 1.0) : 0.0;
    best = std::min(best, std::hypot(p.x - a.x - t * dx, p.y - a.y - t * dy));
  }
  return best;
}

struct ArcCase {
  const char* name;
  double r, flat, tilt, start, sweep, tolerance;
};

TEST(PreviewFlatten, EveryPointOfTheCurveLiesWithinTheTolerance) {
  const ArcCase cases[] = {
      {"full circle", 100, 1, 0, 0, 2 * kPi, 0.5},
      {"quarter arc, fine tolerance", 5000, 1, 0, kPi / 2, kPi / 2, 0.01},
      {"flat ellipse, tilted", 300, 0.25, 0.7, 0, 2 * kPi, 0.2},
      {"ellipse taller than wide", 50, 3, -1.1, 1, 4, 0.05},
      {"tiny circle below the tolerance", 0.1, 1, 0, 0, 2 * kPi, 1},
      {"sweep past a full turn's start", 80, 0.6, 2, 5, 3, 0.1},
  };
  const double cx = 12, cy = -7;
  for (const ArcCase& c : cases) {
    SCOPED_TRACE(c.name);
    std::vector<TPointD> pts;
    FlattenEllipseArc(cx, cy, c.r, c.flat, c.tilt, c.start, c.sweep, c.tolerance, pts);
    ASSERT_GE(pts.size(), 2u);
    const auto onCurve = [&](double t) {
      const double ex = c.r * std::cos(t), ey = c.r * c.flat * std::sin(t);
      return TPointD{cx + ex * std::cos(c.tilt) - ey * std::sin(c.tilt), cy + ex * std::sin(c.tilt) + ey * std::cos(c.tilt)};
    };
    // Ends exactly at the arc's ends.
    EXPECT_NEAR(pts.front().x, onCurve(c.start).x, 1e-9);
    EXPECT_NEAR(pts.back().y, onCurve(c.start + c.sweep).y, 1e-9);
    for (int i = 0; i <= 2000; ++i) {
      const TPointD p = onCurve(c.start + c.sweep * i / 2000.0);
      ASSERT_LE(DistanceToPolyline(p, pts), c.tolerance * (1 + 1e-9)) << "at sample " << i;
    }
    // And not wastefully fine: at most twice the chords a circle of the larger radius needs.
    const double big = c.r * std::max(1.0, c.flat);
    const double needed = std::abs(c.sweep) / (2 * std::acos(std::max(-1.0, 1 - c.tolerance / big)));
    EXPECT_LE(static_cast<double>(pts.size() - 1), std::max(4.0, 2 * std::ceil(needed) + 1));
  }
}

TEST(PreviewFlatten, AHugeArcIsCutIntoBoundedChords) {
  std::vector<TPointD> pts;
  FlattenEllipseArc(0, 0, 1e12, 1, 0, 0, 2 * kPi, 1e-3, pts);
  EXPECT_EQ(pts.size(), kMaxArcChords + 1);
}

}  // namespace
