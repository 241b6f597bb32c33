// Display lists and hit testing for the preview.
#include "app/preview_display.h"

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

int32_t Round(double v) { return static_cast<int32_t>(std::lround(v)); }

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

class TEmitter {
 public:
  TEmitter(TDisplayList& out, const TRect& pane) : out_(out), pane_(pane) {}

  void Polyline(const std::vector<TPointD>& pts, bool closed, uint32_t colour, double width, uint32_t entity) {
    const double m = width * 0.5 + 2;
    const TRect r{pane_.x0 - m, pane_.y0 - m, pane_.x1 + m, pane_.y1 + m};
    const std::size_t n = pts.size();
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
  std::vector<TPointD> tmp_;
};

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

void TDisplayBuilder::Build(const TPreviewDrawing& drawing, const TPreviewIndex& index, const TPreviewView& view,
                            const TPreviewWidths& widths, int highlightLayer, TDisplayList& out) {
  out.primitives.clear();
  out.points.clear();
  out.entitiesDrawn = 0;
  highlighted_.clear();
  if (drawing.Empty() || view.width <= 0 || view.height <= 0 || !(view.zoom > 0)) return;
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
  const double cx0 = lo.x - margin, cy0 = lo.y - margin, cx1 = hi.x + margin, cy1 = hi.y + margin;
  const TRect pane{0, 0, static_cast<double>(view.width), static_cast<double>(view.height)};
  // Strokes wider than the pane cover it all the same.
  const double widest = 2.0 * (view.width + view.height);

  TEmitter emit(out, pane);
  bool filled = false, closed = false;
  for (uint32_t id : Visible(drawing, index, cx0, cy0, cx1, cy1)) {
    const TPreviewEntity& e = drawing.entities[id];
    if (e.maxX < cx0 || e.minX > cx1 || e.maxY < cy0 || e.minY > cy1) continue;
    const bool lit = e.layer == highlightLayer;
    const std::size_t before = out.primitives.size();
    const uint32_t colour = lit ? kHighlightColour : e.colour;
    const double width = std::min(EntityPixels(drawing, e, widths, view.zoom), widest);

    const double spanX = (static_cast<double>(e.maxX) - e.minX) * view.zoom;
    const double spanY = (static_cast<double>(e.maxY) - e.minY) * view.zoom;
    if (e.shape == TShapeKind::Point || (spanX < 1 && spanY < 1 && e.shape != TShapeKind::Marker)) {
      // Smaller than a pixel: one dot on the pixel it falls in, and a thin one
      // only once per pixel.
      const TPointD c = view.ToPixel((static_cast<double>(e.minX) + e.maxX) * 0.5,
                                     (static_cast<double>(e.minY) + e.maxY) * 0.5);
      if (!(c.x >= 0 && c.y >= 0 && c.x < view.width && c.y < view.height)) continue;
      const double x = std::floor(c.x), y = std::floor(c.y);
      const double size = e.shape == TShapeKind::Point ? std::max<double>(kPointPx, width) : width;
      if (size <= 1.5) {
        const std::size_t at = static_cast<std::size_t>(y) * static_cast<std::size_t>(view.width) +
                               static_cast<std::size_t>(x);
        if (dotStamp_[at] == build_ && !lit) continue;
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
      ShapePixels(drawing, e, view, shape_, filled, closed);
      if (filled) {
        emit.Polygon(shape_, colour, id);
      } else if (shape_.size() >= 2) {
        emit.Polyline(shape_, closed, colour, width, id);
      }
    }
    if (out.primitives.size() == before) continue;
    ++out.entitiesDrawn;
    if (lit) {
      highlighted_.insert(highlighted_.end(), out.primitives.begin() + static_cast<std::ptrdiff_t>(before),
                          out.primitives.end());
      out.primitives.resize(before);
    }
  }
  out.primitives.insert(out.primitives.end(), highlighted_.begin(), highlighted_.end());
}

int64_t HitTest(const TPreviewDrawing& drawing, const TPreviewIndex& index, const TPreviewView& view,
                const TPreviewWidths& widths, double px, double py, double tolerance) {
  if (drawing.Empty() || !(view.zoom > 0)) return -1;
  const double reach = (tolerance + kCullMarginPx) / view.zoom;
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
