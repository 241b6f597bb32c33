// Display lists and hit testing for the preview.
#include "app/preview_display.h"

#include "app/preview_raster.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace {

constexpr double kArcTolerancePx = 1.0 / 3.0;
// The view is widened by this much for culling, so a thick stroke whose
// centre line lies just outside still shows its edge.
constexpr double kCullMarginPx = 64.0;
constexpr float kPointPx = 3.0f;
constexpr double kMarkerHalfPx = 4.0;

struct TRect {
  double x0, y0, x1, y1;
};

// Nearest, halves up; inline, as it runs for every point of a view. Values
// are pixels already clipped to near the pane; anything else is held in range.
int32_t Round(double v) {
  const double up = v + 0.5;
  if (!(up > -1e9 && up < 1e9)) return up > 0 ? 1000000000 : -1000000000;
  const auto i = static_cast<int32_t>(up);
  return i - (up < i ? 1 : 0);
}

// Liang-Barsky: clips p..q to r; false when nothing is left.
bool ClipSegment(TPointD& p, TPointD& q, const TRect& r) {
  double t0 = 0, t1 = 1;
  const double dx = q.x - p.x, dy = q.y - p.y;
  const double pv[4] = {-dx, dx, -dy, dy};
  const double qv[4] = {p.x - r.x0, r.x1 - p.x, p.y - r.y0, r.y1 - p.y};
  for (int i = 0; i < 4; ++i) {
    if (pv[i] == 0) {
      if (qv[i] < 0) return false;
      continue;
    }
    const double t = qv[i] / pv[i];
    if (pv[i] < 0) {
      if (t > t1) return false;
      t0 = std::max(t0, t);
    } else {
      if (t < t0) return false;
      t1 = std::min(t1, t);
    }
  }
  const TPointD a{p.x + t0 * dx, p.y + t0 * dy};
  const TPointD b{p.x + t1 * dx, p.y + t1 * dy};
  p = a;
  q = b;
  return true;
}

// Sutherland-Hodgman against one edge of r at a time.
void ClipPolygon(std::vector<TPointD>& poly, const TRect& r, std::vector<TPointD>& tmp) {
  const auto pass = [&](auto inside, auto cross) {
    tmp.clear();
    for (std::size_t i = 0; i < poly.size(); ++i) {
      const TPointD& a = poly[i];
      const TPointD& b = poly[(i + 1) % poly.size()];
      const bool ia = inside(a), ib = inside(b);
      if (ia) tmp.push_back(a);
      if (ia != ib) tmp.push_back(cross(a, b));
    }
    poly.swap(tmp);
  };
  const auto atX = [](double x) {
    return [x](const TPointD& a, const TPointD& b) { return TPointD{x, a.y + (b.y - a.y) * (x - a.x) / (b.x - a.x)}; };
  };
  const auto atY = [](double y) {
    return [y](const TPointD& a, const TPointD& b) { return TPointD{a.x + (b.x - a.x) * (y - a.y) / (b.y - a.y), y}; };
  };
  pass([&](const TPointD& p) { return p.x >= r.x0; }, atX(r.x0));
  if (poly.empty()) return;
  pass([&](const TPointD& p) { return p.x <= r.x1; }, atX(r.x1));
  if (poly.empty()) return;
  pass([&](const TPointD& p) { return p.y >= r.y0; }, atY(r.y0));
  if (poly.empty()) return;
  pass([&](const TPointD& p) { return p.y <= r.y1; }, atY(r.y1));
}

double SegmentDistance(const TPointD& p, const TPointD& a, const TPointD& b) {
  const double dx = b.x - a.x, dy = b.y - a.y;
  const double len2 = dx * dx + dy * dy;
  double t = len2 > 0 ? ((p.x - a.x) * dx + (p.y - a.y) * dy) / len2 : 0;
  t = std::clamp(t, 0.0, 1.0);
  return std::hypot(p.x - (a.x + t * dx), p.y - (a.y + t * dy));
}

bool Inside(const TPointD& p, const std::vector<TPointD>& poly) {
  bool in = false;
  for (std::size_t i = 0, j = poly.size() - 1; i < poly.size(); j = i++) {
    const TPointD& a = poly[i];
    const TPointD& b = poly[j];
    if ((a.y > p.y) != (b.y > p.y) && p.x < (b.x - a.x) * (p.y - a.y) / (b.y - a.y) + a.x) in = !in;
  }
  return in;
}

bool Within(const std::vector<TPointD>& pts, const TRect& r) {
  for (const TPointD& p : pts) {
    if (!(p.x >= r.x0 && p.x <= r.x1 && p.y >= r.y0 && p.y <= r.y1)) return false;
  }
  return true;
}

class TEmitter {
 public:
  TEmitter(TDisplayList& out, const TRect& pane, std::vector<TPointD>& scratch) : out_(out), pane_(pane), tmp_(scratch) {}

  void Polyline(const std::vector<TPointD>& pts, bool closed, uint32_t colour, double width, uint32_t entity) {
    const double m = width * 0.5 + 2;
    const TRect r{pane_.x0 - m, pane_.y0 - m, pane_.x1 + m, pane_.y1 + m};
    const std::size_t n = pts.size();
    if (Within(pts, r)) {  // the common case: nothing to clip
      Begin(TPrimitiveKind::Polyline, colour, width, entity);
      for (const TPointD& p : pts) Add(p);
      if (closed) Add(pts[0]);
      return;
    }
    const std::size_t segments = closed ? n : n - 1;
    bool open = false;  // a run of joined segments is being written
    for (std::size_t i = 0; i < segments; ++i) {
      TPointD a = pts[i];
      TPointD b = pts[(i + 1) % n];
      if (!ClipSegment(a, b, r)) {
        open = false;
        continue;
      }
      if (!open || a.x != pts[i].x || a.y != pts[i].y) {
        Begin(TPrimitiveKind::Polyline, colour, width, entity);
        Add(a);
        open = true;
      }
      Add(b);
      // A clipped end leaves the rectangle: the next segment starts afresh.
      const TPointD& end = pts[(i + 1) % n];
      if (b.x != end.x || b.y != end.y) open = false;
    }
  }

  void Polygon(std::vector<TPointD>& pts, uint32_t colour, uint32_t entity) {
    const TRect r{pane_.x0 - 2, pane_.y0 - 2, pane_.x1 + 2, pane_.y1 + 2};
    ClipPolygon(pts, r, tmp_);
    if (pts.size() < 3) return;
    Begin(TPrimitiveKind::Polygon, colour, 1, entity);
    for (const TPointD& p : pts) Add(p);
  }

  void Segment(const TPointD& a, const TPointD& b, uint32_t colour, double width, uint32_t entity) {
    Begin(TPrimitiveKind::Polyline, colour, width, entity);
    Add(a);
    Add(b);
  }

  void Dot(double x, double y, uint32_t colour, double width, uint32_t entity) {
    Begin(TPrimitiveKind::Dot, colour, width, entity);
    Add({x, y});
  }

 private:
  void Begin(TPrimitiveKind kind, uint32_t colour, double width, uint32_t entity) {
    TPrimitive p;
    p.kind = kind;
    p.colour = colour;
    p.width = static_cast<float>(width);
    p.first = static_cast<uint32_t>(out_.points.size());
    p.entity = entity;
    out_.primitives.push_back(p);
  }
  void Add(const TPointD& p) {
    out_.points.push_back({Round(p.x), Round(p.y)});
    ++out_.primitives.back().count;
  }

  TDisplayList& out_;
  TRect pane_;
  std::vector<TPointD>& tmp_;  // the clipping's second buffer
};

// The widest any stroke can be drawn in `view`: no entity's width, as read or
// as OK would set it, is larger than the largest of them all, nor any
// group's scale larger than the largest.
double WidestStroke(const TPreviewDrawing& drawing, const TPreviewWidths& widths, const TPreviewView& view) {
  if (!drawing.widthsExchanged) return 1.0;
  int32_t lw = drawing.widestLw;
  if (widths.after) lw = std::max(lw, *std::max_element(widths.table.begin(), widths.table.end()));
  const double scale = *std::max_element(drawing.scales.begin(), drawing.scales.end());
  return std::min(WidthPixels(lw, scale, view.zoom), 2.0 * (view.width + view.height));
}

}  // namespace

void ShapePixels(const TPreviewDrawing& drawing, const TPreviewEntity& e, const TPreviewView& view,
                 std::vector<TPointD>& out, bool& filled, bool& closed) {
  out.clear();
  filled = false;
  closed = false;
  const double* p = drawing.Params(e);
  switch (e.shape) {
    case TShapeKind::Segment: {
      double x1, y1, x2, y2;
      drawing.SegmentEnds(e, x1, y1, x2, y2);
      out.push_back(view.ToPixel(x1, y1));
      out.push_back(view.ToPixel(x2, y2));
      return;
    }
    case TShapeKind::EllipseArc:
    case TShapeKind::EllipseSector: {
      const double tolerance = kArcTolerancePx / view.zoom;
      FlattenEllipseArc(p[0], p[1], p[2], p[3], p[4], p[5], p[6], tolerance, out);
      const bool whole = p[6] >= 2 * std::numbers::pi - 1e-12;
      if (e.shape == TShapeKind::EllipseSector) {
        filled = true;
        if (!whole) out.push_back({p[0], p[1]});
      }
      if (whole && !out.empty()) out.pop_back();  // the last point is the first again
      closed = whole || filled;
      for (TPointD& q : out) q = view.ToPixel(q.x, q.y);
      return;
    }
    case TShapeKind::Polygon: {
      const auto n = static_cast<std::size_t>(p[0]);
      for (std::size_t i = 0; i < n; ++i) out.push_back(view.ToPixel(p[1 + 2 * i], p[2 + 2 * i]));
      filled = true;
      closed = true;
      return;
    }
    case TShapeKind::Outline:
      for (int i = 0; i < 4; ++i) out.push_back(view.ToPixel(p[2 * i], p[2 * i + 1]));
      closed = true;
      return;
    case TShapeKind::Point:
    case TShapeKind::Marker: out.push_back(view.ToPixel(p[0], p[1])); return;
  }
}

const std::vector<uint32_t>& TDisplayBuilder::Visible(const TPreviewDrawing& drawing, const TPreviewIndex& index,
                                                      double minX, double minY, double maxX, double maxY) {
  candidates_.clear();
  const std::size_t n = drawing.entities.size();
  const bool whole = minX <= drawing.minX && minY <= drawing.minY && maxX >= drawing.maxX && maxY >= drawing.maxY;
  if (whole) {
    candidates_.resize(n);
    for (std::size_t i = 0; i < n; ++i) candidates_[i] = static_cast<uint32_t>(i);
    return candidates_;
  }
  index.Query(minX, minY, maxX, maxY, candidates_);
  // A few candidates are put in file order by sorting; many by marking them
  // and walking all ids once, which costs less than sorting them.
  if (candidates_.size() < n / 16) {
    std::sort(candidates_.begin(), candidates_.end());
    candidates_.erase(std::unique(candidates_.begin(), candidates_.end()), candidates_.end());
    return candidates_;
  }
  stamp_.resize(n, 0);
  for (uint32_t id : candidates_) stamp_[id] = build_;
  candidates_.clear();
  for (std::size_t i = 0; i < n; ++i) {
    if (stamp_[i] == build_) candidates_.push_back(static_cast<uint32_t>(i));
  }
  return candidates_;
}

// The view's rectangles for one walk, in drawing units and in pixels.
struct TDisplayBuilder::TFrame {
  double cx0, cy0, cx1, cy1;  // culling, in drawing units, widened by kCullMarginPx
  double widest;              // strokes wider than the pane cover it all the same
};

bool TDisplayBuilder::Start(const TPreviewDrawing& drawing, const TPreviewView& view, TFrame& frame) {
  if (drawing.Empty() || view.width <= 0 || view.height <= 0 || !(view.zoom > 0)) return false;
  if (++build_ == 0) {  // the stamps wrapped: start them afresh
    std::fill(stamp_.begin(), stamp_.end(), 0);
    std::fill(dotStamp_.begin(), dotStamp_.end(), 0);
    build_ = 1;
  }
  const std::size_t pixels = static_cast<std::size_t>(view.width) * static_cast<std::size_t>(view.height);
  if (dotStamp_.size() != pixels) dotStamp_.assign(pixels, 0);
  const double margin = kCullMarginPx / view.zoom;
  const TPointD lo = view.ToDrawing(0, view.height);
  const TPointD hi = view.ToDrawing(view.width, 0);
  frame = {lo.x - margin, lo.y - margin, hi.x + margin, hi.y + margin, 2.0 * (view.width + view.height)};
  return true;
}

namespace {

// True when every pixel entity `e` could paint is painted already, by those
// above it. A view of a large drawing is covered long before its last
// entities come: they cost this look and no more.
bool Hidden(const TPainter& painted, const TPreviewView& view, const TPreviewEntity& e, double width) {
  // How far beyond its box it may paint: half its stroke, its dot or its
  // marker, and the rounding of its points to pixels.
  double reach = width * 0.5;
  if (e.shape == TShapeKind::Point) reach = std::max<double>(kPointPx, width) * 0.5;
  if (e.shape == TShapeKind::Marker) reach = kMarkerHalfPx;
  reach += 1;
  const TPointD lo = view.ToPixel(e.minX, e.maxY);  // the box's top left on screen
  const TPointD hi = view.ToPixel(e.maxX, e.minY);
  const auto pixel = [](double v) { return static_cast<int>(std::clamp(v, -1e6, 1e6)); };
  return painted.Covered(pixel(std::floor(lo.x - reach)), pixel(std::floor(lo.y - reach)),
                         pixel(std::ceil(hi.x + reach)), pixel(std::ceil(hi.y + reach)));
}

}  // namespace

// Appends the primitives of entity `id` to `out` in painting order; false when
// it gives none (or, while painting, when all it would paint is hidden).
bool TDisplayBuilder::Emit(const TPreviewDrawing& drawing, uint32_t id, const TPreviewView& view,
                           const TPreviewWidths& widths, bool lit, const TFrame& frame, const TPainter* painted,
                           TDisplayList& out) {
  const TPreviewEntity& e = drawing.entities[id];
  if (e.maxX < frame.cx0 || e.minX > frame.cx1 || e.maxY < frame.cy0 || e.minY > frame.cy1) return false;
  const TRect pane{0, 0, static_cast<double>(view.width), static_cast<double>(view.height)};
  const double width = std::min(EntityPixels(drawing, e, widths, view.zoom), frame.widest);
  if (painted && Hidden(*painted, view, e, width)) return false;
  TEmitter emit(out, pane, clip_);
  const std::size_t before = out.primitives.size();
  const uint32_t colour = lit ? kHighlightColour : e.colour;

  const double spanX = (static_cast<double>(e.maxX) - e.minX) * view.zoom;
  const double spanY = (static_cast<double>(e.maxY) - e.minY) * view.zoom;
  if (e.shape == TShapeKind::Point || (spanX < 1 && spanY < 1 && e.shape != TShapeKind::Marker)) {
    // Smaller than a pixel: one dot on the pixel it falls in, and a thin one
    // only once per pixel (the walk goes from the top down, so the one that
    // shows is kept).
    const TPointD c = view.ToPixel((static_cast<double>(e.minX) + e.maxX) * 0.5,
                                   (static_cast<double>(e.minY) + e.maxY) * 0.5);
    if (!(c.x >= 0 && c.y >= 0 && c.x < view.width && c.y < view.height)) return false;
    const double x = std::floor(c.x), y = std::floor(c.y);
    const double size = e.shape == TShapeKind::Point ? std::max<double>(kPointPx, width) : width;
    if (size <= 1.5) {
      const std::size_t at = static_cast<std::size_t>(y) * static_cast<std::size_t>(view.width) +
                             static_cast<std::size_t>(x);
      if (dotStamp_[at] == build_) return false;
      dotStamp_[at] = build_;
    }
    emit.Dot(x, y, colour, size, id);
  } else if (e.shape == TShapeKind::Marker) {
    const TPointD c = view.ToPixel(drawing.Params(e)[0], drawing.Params(e)[1]);
    const double h = kMarkerHalfPx;
    shape_.assign({{c.x - h, c.y}, {c.x, c.y - h}, {c.x + h, c.y}, {c.x, c.y + h}});
    emit.Polyline(shape_, true, colour, 1, id);
  } else if (e.shape == TShapeKind::Segment) {
    double x1, y1, x2, y2;
    drawing.SegmentEnds(e, x1, y1, x2, y2);
    const TPointD a = view.ToPixel(x1, y1);
    const TPointD b = view.ToPixel(x2, y2);
    if (a.x >= 0 && a.y >= 0 && b.x >= 0 && b.y >= 0 && a.x <= pane.x1 && b.x <= pane.x1 && a.y <= pane.y1 &&
        b.y <= pane.y1) {
      emit.Segment(a, b, colour, width, id);  // the common case needs no clipping
    } else {
      shape_.assign({a, b});
      emit.Polyline(shape_, false, colour, width, id);
    }
  } else {
    bool filled = false, closed = false;
    ShapePixels(drawing, e, view, shape_, filled, closed);
    if (filled) {
      emit.Polygon(shape_, colour, id);
    } else if (shape_.size() >= 2) {
      emit.Polyline(shape_, closed, colour, width, id);
    }
  }
  return out.primitives.size() > before;
}

// Every entity that shows, from the top down: the highlighted layer's (painted
// last, so on top) and then the rest, each in file order backwards. `done(n)`
// is called after each entity that gave primitives, `n` of them at the end of
// `into`.
template <class TDone>
std::size_t TDisplayBuilder::Walk(const TPreviewDrawing& drawing, const TPreviewIndex& index,
                                  const TPreviewView& view, const TPreviewWidths& widths, int highlightLayer,
                                  const TPainter* painted, TDisplayList& into, TDone&& done) {
  TFrame frame{};
  if (!Start(drawing, view, frame)) return 0;
  const std::vector<uint32_t>& ids = Visible(drawing, index, frame.cx0, frame.cy0, frame.cx1, frame.cy1);
  std::size_t drawn = 0;
  const auto pass = [&](bool lit) {
    for (auto it = ids.rbegin(); it != ids.rend(); ++it) {
      if ((drawing.entities[*it].layer == highlightLayer) != lit) continue;
      const std::size_t before = into.primitives.size();
      if (!Emit(drawing, *it, view, widths, lit, frame, painted, into)) continue;
      ++drawn;
      done(into.primitives.size() - before);
    }
  };
  if (highlightLayer >= 0) pass(true);
  pass(false);
  return drawn;
}

void TDisplayBuilder::Build(const TPreviewDrawing& drawing, const TPreviewIndex& index, const TPreviewView& view,
                            const TPreviewWidths& widths, int highlightLayer, TDisplayList& out) {
  out.primitives.clear();
  out.points.clear();
  // Each entity's primitives are turned round as they come, and the whole
  // list at the end: the entity's own order, and bottom to top overall.
  out.entitiesDrawn = Walk(drawing, index, view, widths, highlightLayer, nullptr, out, [&](std::size_t n) {
    std::reverse(out.primitives.end() - static_cast<std::ptrdiff_t>(n), out.primitives.end());
  });
  std::reverse(out.primitives.begin(), out.primitives.end());
}

std::size_t TDisplayBuilder::Paint(const TPreviewDrawing& drawing, const TPreviewIndex& index,
                                   const TPreviewView& view, const TPreviewWidths& widths, int highlightLayer,
                                   TPainter& painter, const TCanvas& canvas) {
  painter.Start(canvas);
  entity_.primitives.clear();
  entity_.points.clear();
  return Walk(drawing, index, view, widths, highlightLayer, &painter, entity_, [&](std::size_t) {
    painter.Under(entity_);
    entity_.primitives.clear();
    entity_.points.clear();
  });
}

int64_t HitTest(const TPreviewDrawing& drawing, const TPreviewIndex& index, const TPreviewView& view,
                const TPreviewWidths& widths, double px, double py, double tolerance) {
  if (drawing.Empty() || !(view.zoom > 0)) return -1;
  // Only entities that could lie within the tolerance need a look: at most
  // half the widest stroke the view can have, or a marker's reach, away.
  const double reach = (tolerance + std::max(WidestStroke(drawing, widths, view) * 0.5, kMarkerHalfPx) + 1) / view.zoom;
  const TPointD at = view.ToDrawing(px, py);
  std::vector<uint32_t> ids;
  index.Query(at.x - reach, at.y - reach, at.x + reach, at.y + reach, ids);
  std::sort(ids.begin(), ids.end());
  ids.erase(std::unique(ids.begin(), ids.end()), ids.end());

  const TPointD p{px, py};
  std::vector<TPointD> pts;
  int64_t best = -1;
  double bestDistance = INFINITY;
  bool filled = false, closed = false;
  for (uint32_t id : ids) {
    const TPreviewEntity& e = drawing.entities[id];
    if (e.maxX < at.x - reach || e.minX > at.x + reach || e.maxY < at.y - reach || e.minY > at.y + reach) continue;
    ShapePixels(drawing, e, view, pts, filled, closed);
    if (pts.empty()) continue;
    double d = INFINITY;
    if (pts.size() == 1 || e.shape == TShapeKind::Marker) {
      d = std::hypot(p.x - pts[0].x, p.y - pts[0].y) - kMarkerHalfPx;
    } else if (filled && Inside(p, pts)) {
      d = 0;
    } else {
      const std::size_t segments = closed ? pts.size() : pts.size() - 1;
      for (std::size_t i = 0; i < segments; ++i) d = std::min(d, SegmentDistance(p, pts[i], pts[(i + 1) % pts.size()]));
      if (!filled) d -= EntityPixels(drawing, e, widths, view.zoom) * 0.5;
    }
    d = std::max(d, 0.0);
    if (d <= tolerance && d <= bestDistance) {
      bestDistance = d;
      best = id;
    }
  }
  return best;
}
