// Strokes, areas and dots for the preview's back buffer.
#include "app/preview_raster.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace {

// The primitives are painted from the last to the first, and a pixel is set
// only while no later primitive has set it: what shows is the same as
// painting in order, but each pixel is written once. A view of a large
// drawing would otherwise paint the same pixels hundreds of times over.
//
// Each row keeps, for each pixel, a pixel at or after it that may still be
// free (itself while free); runs of set pixels are skipped by following
// these links, which are shortened as they are walked. A byte a pixel says
// the same for single pixels.
class TTarget {
 public:
  TTarget(const TCanvas& c, TPainter::TScratch& scratch) : c_(c), s_(scratch), rowLength_(c.width + 1) {}

  // Every pixel free.
  void Clear() {
    s_.links.resize(static_cast<std::size_t>(rowLength_) * static_cast<std::size_t>(c_.height));
    for (int y = 0; y < c_.height; ++y) {
      int32_t* row = Links(y);
      for (int x = 0; x <= c_.width; ++x) row[x] = x;  // the last is the row's end, never set
    }
    s_.set.assign(static_cast<std::size_t>(c_.width) * static_cast<std::size_t>(c_.height), 0);
    const int across = TilesAcross(), down = (c_.height + kTile - 1) / kTile;
    s_.tileFree.resize(static_cast<std::size_t>(across) * static_cast<std::size_t>(down));
    for (int ty = 0; ty < down; ++ty) {
      for (int tx = 0; tx < across; ++tx) {
        const int w = std::min(kTile, c_.width - tx * kTile), h = std::min(kTile, c_.height - ty * kTile);
        s_.tileFree[static_cast<std::size_t>(ty * across + tx)] = static_cast<uint16_t>(w * h);
      }
    }
  }

  void Primitive(const TDisplayList& list, const TPrimitive& p);
  // Every pixel of the rectangle that lies on the canvas is set.
  bool Covered(int x0, int y0, int x1, int y1) {
    x0 = std::max(x0, 0);
    y0 = std::max(y0, 0);
    x1 = std::min(x1, c_.width - 1);
    y1 = std::min(y1, c_.height - 1);
    if (x0 > x1 || y0 > y1) return true;
    // Whole tiles first: a few counts in the cache answer most asks.
    bool full = true;
    for (int ty = y0 / kTile; ty <= y1 / kTile && full; ++ty) {
      for (int tx = x0 / kTile; tx <= x1 / kTile && full; ++tx) full = Tile(tx * kTile, ty * kTile) == 0;
    }
    if (full) return true;
    for (int y = y0; y <= y1; ++y) {
      if (Free(Links(y), x0) <= x1) return false;
    }
    return true;
  }

 private:
  int32_t* Links(int y) { return s_.links.data() + static_cast<std::ptrdiff_t>(y) * rowLength_; }
  uint32_t* Pixels(int y) const { return c_.pixels + static_cast<std::ptrdiff_t>(y) * c_.stride; }
  // Square tiles of the canvas, each counting its pixels not yet painted.
  static constexpr int kTile = 8;
  int TilesAcross() const { return (c_.width + kTile - 1) / kTile; }
  uint16_t& Tile(int x, int y) {
    return s_.tileFree[static_cast<std::size_t>((y / kTile) * TilesAcross() + x / kTile)];
  }
  bool Inside(TPixelPoint p) const { return p.x >= 0 && p.y >= 0 && p.x < c_.width && p.y < c_.height; }

  // The first free pixel at or after x (the row's end when none).
  static int Free(int32_t* row, int x) {
    while (row[x] != x) {
      row[x] = row[row[x]];
      x = row[x];
    }
    return x;
  }
  // A pixel known to be on the canvas. Strokes ask about each of their
  // pixels, so they look in a byte a pixel, which stays in the cache.
  void Put(int x, int y, uint32_t value) {
    uint8_t& set = s_.set[static_cast<std::size_t>(y) * static_cast<std::size_t>(c_.width) + static_cast<std::size_t>(x)];
    if (set) return;
    set = 1;
    Pixels(y)[x] = value;
    Links(y)[x] = x + 1;
    --Tile(x, y);
  }
  void Plot(int x, int y, uint32_t value) {
    if (x >= 0 && y >= 0 && x < c_.width && y < c_.height) Put(x, y, value);
  }
  // Pixels x0..x1 of row y, clipped.
  void Span(int y, int x0, int x1, uint32_t value) {
    if (y < 0 || y >= c_.height) return;
    x0 = std::max(x0, 0);
    x1 = std::min(x1, c_.width - 1);
    if (x0 > x1) return;
    int32_t* row = Links(y);
    uint32_t* pixels = Pixels(y);
    uint8_t* set = s_.set.data() + static_cast<std::size_t>(y) * static_cast<std::size_t>(c_.width);
    for (int x = Free(row, x0); x <= x1; x = Free(row, x + 1)) {
      pixels[x] = value;
      row[x] = x + 1;
      set[x] = 1;
      --Tile(x, y);
    }
  }

  void CheckedLine(TPixelPoint a, TPixelPoint b, uint32_t value);
  void Line(TPixelPoint a, TPixelPoint b, uint32_t value);
  void Disc(double cx, double cy, double r, uint32_t value);
  void Square(TPixelPoint at, float width, uint32_t value);
  void FillPolygon(const TPointD* pts, std::size_t n, uint32_t value);
  template <class TVisit>
  void Crossings(const TPointD& p, const TPointD& q, int top, int bottom, TVisit&& visit) const;
  static bool MonotoneInY(const TPointD* pts, std::size_t n);
  static int FirstWay(const TPointD* pts, std::size_t n);
  void FillMonotone(const TPointD* pts, std::size_t n, int top, std::size_t rows, uint32_t value);
  void WideStroke(const TPixelPoint* pts, uint32_t count, double width, uint32_t value);

  const TCanvas& c_;
  TPainter::TScratch& s_;
  int rowLength_;
};

// Bresenham, every pixel checked: for lines with an end off the canvas.
void TTarget::CheckedLine(TPixelPoint a, TPixelPoint b, uint32_t value) {
  const int dx = std::abs(b.x - a.x), sx = a.x < b.x ? 1 : -1;
  const int dy = -std::abs(b.y - a.y), sy = a.y < b.y ? 1 : -1;
  int err = dx + dy;
  int x = a.x, y = a.y;
  for (;;) {
    Plot(x, y, value);
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

// Both ends on the canvas: one pixel a step along the longer axis, the other
// axis in 32.32 fixed point starting half a pixel in, so that it lands on the
// far end exactly; no bounds to check. Most of a view at fit is this.
void TTarget::Line(TPixelPoint a, TPixelPoint b, uint32_t value) {
  if (!Inside(a) || !Inside(b)) return CheckedLine(a, b, value);
  const int dx = b.x - a.x, dy = b.y - a.y;
  const bool alongX = std::abs(dx) >= std::abs(dy);
  if (alongX ? dx < 0 : dy < 0) std::swap(a, b);
  const int major = alongX ? std::abs(dx) : std::abs(dy);
  if (major == 0) return Put(a.x, a.y, value);
  const int64_t minor = alongX ? b.y - a.y : b.x - a.x;
  const int64_t step = minor * (int64_t{1} << 32) / major;
  int64_t at = (int64_t{alongX ? a.y : a.x} << 32) + (int64_t{1} << 31);
  if (alongX) {
    for (int x = a.x; x <= b.x; ++x, at += step) Put(x, static_cast<int>(at >> 32), value);
  } else {
    for (int y = a.y; y <= b.y; ++y, at += step) Put(static_cast<int>(at >> 32), y, value);
  }
}

// A disc of radius r about (cx, cy): the round corner of a wide stroke.
void TTarget::Disc(double cx, double cy, double r, uint32_t value) {
  const int y0 = static_cast<int>(std::ceil(cy - r)), y1 = static_cast<int>(std::floor(cy + r));
  for (int y = std::max(y0, 0); y <= std::min(y1, c_.height - 1); ++y) {
    const double half = std::sqrt(std::max(0.0, r * r - (y - cy) * (y - cy)));
    Span(y, static_cast<int>(std::ceil(cx - half)), static_cast<int>(std::ceil(cx + half)) - 1, value);
  }
}

void TTarget::Square(TPixelPoint at, float width, uint32_t value) {
  const int side = std::max(1, static_cast<int>(std::lround(width)));
  const int x0 = at.x - (side - 1) / 2, y0 = at.y - (side - 1) / 2;
  for (int y = y0; y < y0 + side; ++y) Span(y, x0, x0 + side - 1, value);
}

// Even-odd, sampled at pixel centres: each edge gives a crossing on every row
// whose centre it passes (its upper end counted, its lower not), and a row is
// filled between its crossings taken in pairs. The crossings are put in rows
// by counting, then each row's few are sorted in place: most areas are small
// and convex, two crossings a row.
void TTarget::FillPolygon(const TPointD* pts, std::size_t n, uint32_t value) {
  double minY = pts[0].y, maxY = pts[0].y;
  for (std::size_t i = 1; i < n; ++i) {
    minY = std::min(minY, pts[i].y);
    maxY = std::max(maxY, pts[i].y);
  }
  const int top = std::max(static_cast<int>(std::ceil(std::max(minY, -1.0))), 0);
  const int bottom = std::min(static_cast<int>(std::ceil(std::min(maxY, c_.height + 1.0))) - 1, c_.height - 1);
  if (top > bottom) return;
  const auto rows = static_cast<std::size_t>(bottom - top + 1);
  if (MonotoneInY(pts, n)) return FillMonotone(pts, n, top, rows, value);
  s_.rowStart.assign(rows + 1, 0);
  for (std::size_t i = 0; i < n; ++i) {
    Crossings(pts[i], pts[(i + 1) % n], top, bottom, [&](std::size_t row, double) { ++s_.rowStart[row + 1]; });
  }
  for (std::size_t r = 1; r <= rows; ++r) s_.rowStart[r] += s_.rowStart[r - 1];
  s_.xs.resize(s_.rowStart[rows]);
  s_.rowFill.assign(s_.rowStart.begin(), s_.rowStart.end() - 1);
  for (std::size_t i = 0; i < n; ++i) {
    Crossings(pts[i], pts[(i + 1) % n], top, bottom, [&](std::size_t row, double x) { s_.xs[s_.rowFill[row]++] = x; });
  }
  const double limit = c_.width + 1.0;  // spans far off the canvas stay within int
  for (std::size_t r = 0; r < rows; ++r) {
    double* first = s_.xs.data() + s_.rowStart[r];
    double* last = s_.xs.data() + s_.rowStart[r + 1];
    for (double* i = first + 1; i < last; ++i) {  // insertion sort: a row holds few
      for (double* j = i; j > first && j[-1] > j[0]; --j) std::swap(j[-1], j[0]);
    }
    for (double* x = first; x + 1 < last; x += 2) {
      Span(top + static_cast<int>(r), static_cast<int>(std::ceil(std::clamp(x[0], -1.0, limit))),
           static_cast<int>(std::ceil(std::clamp(x[1], -1.0, limit))) - 1, value);
    }
  }
}

// Calls `visit(row - top, x)` for each crossing of edge p-q on rows top..bottom.
template <class TVisit>
void TTarget::Crossings(const TPointD& p, const TPointD& q, int top, int bottom, TVisit&& visit) const {
  if (p.y == q.y) return;
  const TPointD& a = p.y < q.y ? p : q;
  const TPointD& b = p.y < q.y ? q : p;
  const int first = std::max(static_cast<int>(std::ceil(std::max(a.y, -1.0))), top);
  const int last = std::min(static_cast<int>(std::ceil(std::min(b.y, c_.height + 1.0))) - 1, bottom);
  const double slope = (b.x - a.x) / (b.y - a.y);
  for (int y = first; y <= last; ++y) visit(static_cast<std::size_t>(y - top), a.x + (y - a.y) * slope);
}

// True when the outline goes down once and up once (or less): then every row
// meets it at two crossings at most, its leftmost and rightmost, and the
// crossings need no sorting. Convex areas, and a stroke's sides, are so.
bool TTarget::MonotoneInY(const TPointD* pts, std::size_t n) {
  int turns = 0, last = 0;
  for (std::size_t i = 0; i < n && turns <= 3; ++i) {
    const double dy = pts[(i + 1) % n].y - pts[i].y;
    const int way = dy > 0 ? 1 : dy < 0 ? -1 : 0;
    if (way == 0) continue;
    if (way != last) ++turns;
    last = way;
  }
  return turns <= 2 || (turns == 3 && last == FirstWay(pts, n));
}

int TTarget::FirstWay(const TPointD* pts, std::size_t n) {
  for (std::size_t i = 0; i < n; ++i) {
    const double dy = pts[(i + 1) % n].y - pts[i].y;
    if (dy != 0) return dy > 0 ? 1 : -1;
  }
  return 0;
}

void TTarget::FillMonotone(const TPointD* pts, std::size_t n, int top, std::size_t rows, uint32_t value) {
  s_.xs.assign(2 * rows, 0);
  double* left = s_.xs.data();
  double* right = left + rows;
  std::fill(left, right, INFINITY);
  std::fill(right, right + rows, -INFINITY);
  const int bottom = top + static_cast<int>(rows) - 1;
  for (std::size_t i = 0; i < n; ++i) {
    Crossings(pts[i], pts[(i + 1) % n], top, bottom, [&](std::size_t row, double x) {
      left[row] = std::min(left[row], x);
      right[row] = std::max(right[row], x);
    });
  }
  const double limit = c_.width + 1.0;  // spans far off the canvas stay within int
  for (std::size_t r = 0; r < rows; ++r) {
    if (!(left[r] < right[r])) continue;
    Span(top + static_cast<int>(r), static_cast<int>(std::ceil(std::clamp(left[r], -1.0, limit))),
         static_cast<int>(std::ceil(std::clamp(right[r], -1.0, limit))) - 1, value);
  }
}

// Each segment a rectangle `width` across with flat ends; a disc at each
// corner rounds the join, as a geometric pen with round joins does.
void TTarget::WideStroke(const TPixelPoint* pts, uint32_t count, double width, uint32_t value) {
  const double half = width * 0.5;
  for (uint32_t i = 0; i + 1 < count; ++i) {
    const double ax = pts[i].x, ay = pts[i].y, bx = pts[i + 1].x, by = pts[i + 1].y;
    const double length = std::hypot(bx - ax, by - ay);
    if (length == 0) continue;
    const double nx = -(by - ay) / length * half, ny = (bx - ax) / length * half;
    s_.corners.assign({{ax + nx, ay + ny}, {bx + nx, by + ny}, {bx - nx, by - ny}, {ax - nx, ay - ny}});
    FillPolygon(s_.corners.data(), s_.corners.size(), value);
    if (i > 0) Disc(ax, ay, half, value);
  }
}

void TTarget::Primitive(const TDisplayList& list, const TPrimitive& p) {
  if (p.count == 0) return;
  const uint32_t value = PixelOf(p.colour);
  const TPixelPoint* pts = list.points.data() + p.first;
  switch (p.kind) {
    case TPrimitiveKind::Dot: return Square(pts[0], p.width, value);
    case TPrimitiveKind::Polyline:
      if (p.count == 1) return Square(pts[0], p.width, value);
      if (p.width > 1.5f) return WideStroke(pts, p.count, p.width, value);
      for (uint32_t i = 0; i + 1 < p.count; ++i) Line(pts[i], pts[i + 1], value);
      return;
    case TPrimitiveKind::Polygon:
      // Outlined a pixel wide, so that an area thinner than a pixel still
      // shows, and filled.
      for (uint32_t i = 0; i < p.count; ++i) Line(pts[i], pts[(i + 1) % p.count], value);
      s_.corners.resize(p.count);
      for (uint32_t i = 0; i < p.count; ++i) s_.corners[i] = {static_cast<double>(pts[i].x), static_cast<double>(pts[i].y)};
      FillPolygon(s_.corners.data(), s_.corners.size(), value);
      return;
  }
}

}  // namespace

void TPainter::Start(const TCanvas& canvas) {
  canvas_ = canvas;
  if (!canvas_.pixels || canvas_.width <= 0 || canvas_.height <= 0) canvas_ = TCanvas{};
  TTarget(canvas_, scratch_).Clear();
}

void TPainter::Under(const TDisplayList& list) {
  if (!canvas_.pixels) return;
  TTarget target(canvas_, scratch_);
  for (auto p = list.primitives.rbegin(); p != list.primitives.rend(); ++p) target.Primitive(list, *p);
}

bool TPainter::Covered(int x0, int y0, int x1, int y1) const {
  if (!canvas_.pixels) return true;
  return TTarget(canvas_, scratch_).Covered(x0, y0, x1, y1);
}

void TPainter::Paint(const TDisplayList& list, const TCanvas& canvas) {
  Start(canvas);
  Under(list);
}
