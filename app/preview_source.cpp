// The store's entity tables read once, in file order, into the preview's plain
// records. This is the only preview file that knows the store's layout.
#include "app/preview_source.h"

#include <algorithm>
#include <cmath>
#include <initializer_list>
#include <numbers>
#include <string_view>
#include <utility>

#include "app/preview_style.h"
#include "exchange/store/store.h"

namespace {

constexpr double kDegree = std::numbers::pi / 180.0;
constexpr double kTurn = 2.0 * std::numbers::pi;

// Floats that enclose the double range [lo, hi].
float Down(double v) {
  const auto f = static_cast<float>(v);
  return static_cast<double>(f) > v ? std::nextafter(f, -INFINITY) : f;
}
float Up(double v) {
  const auto f = static_cast<float>(v);
  return static_cast<double>(f) < v ? std::nextafter(f, INFINITY) : f;
}

class TBuilder {
 public:
  explicit TBuilder(TPreviewDrawing& out) : out_(out) {}

  // Starts an entity on the record's layer; false (and nothing added) for a
  // layer outside 0..15, which names no cell.
  bool Begin(const TJwwEntAttr& a, TShapeKind shape, TWidthRule rule, uint32_t colour) {
    if (a.lg < 0 || a.lg > 15 || a.ly < 0 || a.ly > 15) return false;
    TPreviewEntity e;
    e.param = static_cast<uint32_t>(out_.params.size());
    e.colour = colour;
    e.lw = a.lw;
    out_.widestLw = std::max(out_.widestLw, a.lw);
    e.layer = static_cast<uint8_t>(a.lg * 16 + a.ly);
    e.shape = shape;
    e.rule = rule;
    out_.entities.push_back(e);
    minX_ = minY_ = INFINITY;
    maxX_ = maxY_ = -INFINITY;
    bad_ = false;
    return true;
  }
  void Value(double v) { out_.params.push_back(v); }
  // One value at a time: a range insert of a few values costs a library call each.
  void Values(std::initializer_list<double> vs) {
    for (const double v : vs) out_.params.push_back(v);
  }
  void Cover(double x, double y) {
    if (!std::isfinite(x) || !std::isfinite(y)) {
      bad_ = true;
      return;
    }
    minX_ = std::min(minX_, x);
    minY_ = std::min(minY_, y);
    maxX_ = std::max(maxX_, x);
    maxY_ = std::max(maxY_, y);
  }
  // Closes the entity: a box that is not finite drops it, since it can be neither placed nor drawn.
  void End() {
    TPreviewEntity& e = out_.entities.back();
    if (bad_ || !std::isfinite(minX_) || !std::isfinite(minY_) || !std::isfinite(maxX_) || !std::isfinite(maxY_)) {
      out_.params.resize(e.param);
      out_.entities.pop_back();
      return;
    }
    e.minX = Down(minX_);
    e.minY = Down(minY_);
    e.maxX = Up(maxX_);
    e.maxY = Up(maxY_);
    out_.minX = std::min(out_.minX, static_cast<double>(e.minX));
    out_.minY = std::min(out_.minY, static_cast<double>(e.minY));
    out_.maxX = std::max(out_.maxX, static_cast<double>(e.maxX));
    out_.maxY = std::max(out_.maxY, static_cast<double>(e.maxY));
  }

  void Segment(const TJwwEntAttr& a, TWidthRule rule, uint32_t colour, double x1, double y1, double x2, double y2) {
    if (!Begin(a, TShapeKind::Segment, rule, colour)) return;
    // The ends sorted by x; then the segment rises or falls across its box.
    if (x2 < x1) {
      std::swap(x1, x2);
      std::swap(y1, y2);
    }
    if (y2 < y1) out_.entities.back().flags |= TPreviewEntity::kFalling;
    Cover(x1, y1);
    Cover(x2, y2);
    End();
  }

  // An ellipse arc of radius r along its major axis, the minor axis r * flat,
  // the major axis turned by `tilt`, from `start` through `sweep` (radians).
  void Ellipse(const TJwwEntAttr& a, TShapeKind shape, TWidthRule rule, uint32_t colour, double cx, double cy,
               double r, double flat, double tilt, double start, double sweep) {
    if (!Begin(a, shape, rule, colour)) return;
    Values({cx, cy, r, flat, tilt, start, sweep});
    // The whole ellipse's box: a little wider than an arc needs, never narrower.
    const double reach = std::abs(r) * std::max(1.0, std::abs(flat));
    Cover(cx - reach, cy - reach);
    Cover(cx + reach, cy + reach);
    End();
  }

  void Polygon(const TJwwEntAttr& a, TWidthRule rule, uint32_t colour, std::initializer_list<double> xy) {
    if (!Begin(a, TShapeKind::Polygon, rule, colour)) return;
    Value(static_cast<double>(xy.size() / 2));
    Values(xy);
    for (auto it = xy.begin(); it + 1 < xy.end(); it += 2) Cover(it[0], it[1]);
    End();
  }

  void Spot(const TJwwEntAttr& a, TShapeKind shape, TWidthRule rule, uint32_t colour, double x, double y) {
    if (!Begin(a, shape, rule, colour)) return;
    Values({x, y});
    Cover(x, y);
    End();
  }

  // A text as its box: from its base point along its direction for the
  // length of its characters, and up by its height; sizes are on paper, so
  // they grow by the group's scale. `a` gives its layer and colour.
  void TextBox(const TJwwEntAttr& a, const TJwwEntText& t) {
    if (!Begin(a, TShapeKind::Outline, TWidthRule::Never, HostScreenColour(a.lc))) return;
    const double scale = out_.scales[static_cast<std::size_t>(a.lg)];
    double length = 0;
    int chars = 0;
    for (std::size_t i = 0; i < t.text.size(); ++i, ++chars) {
      const auto b = static_cast<unsigned char>(t.text[i]);
      const bool lead = (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
      if (lead && i + 1 < t.text.size()) {
        length += t.width;
        ++i;
      } else {
        length += t.width / 2;
      }
    }
    if (chars > 1) length += t.spacing * (chars - 1);
    length *= scale;
    const double height = t.height * scale;
    double ux = t.dx;
    double uy = t.dy;
    const double norm = std::hypot(ux, uy);
    if (norm > 0 && std::isfinite(norm)) {
      ux /= norm;
      uy /= norm;
    } else {
      ux = 1;
      uy = 0;
    }
    const double ax = ux * length, ay = uy * length;  // along the text
    const double hx = -uy * height, hy = ux * height;  // up from its base line
    const double xs[4] = {t.x, t.x + ax, t.x + ax + hx, t.x + hx};
    const double ys[4] = {t.y, t.y + ay, t.y + ay + hy, t.y + hy};
    for (int i = 0; i < 4; ++i) {
      Values({xs[i], ys[i]});
      Cover(xs[i], ys[i]);
    }
    End();
  }

 private:
  TPreviewDrawing& out_;
  double minX_ = 0, minY_ = 0, maxX_ = 0, maxY_ = 0;
  bool bad_ = false;  // a value of the entity is not finite
};

// Host arcs run anticlockwise from start to end, in degrees; an end at or
// before the start goes round through 0.
double SweepOf(double start, double end, double turn) {
  double sweep = std::fmod(end - start, turn);
  if (!(sweep > 0)) sweep += turn;
  return sweep;
}

// A name written with blanks keeps the quote that let it through; the quote is not the name.
std::string ShownName(const std::string& stored) {
  return !stored.empty() && stored.front() == '"' ? stored.substr(1) : stored;
}

uint32_t SolidColour(const TJwwEntAttr& a, int32_t lc10) { return HostScreenColour(a.lc, lc10); }

TWidthRule SolidRule(const TJwwEntAttr& a) { return a.lc == 10 ? TWidthRule::Arbitrary : TWidthRule::Solids; }

void AddEntity(TBuilder& b, const TJwwData& d, int32_t kind, std::size_t i) {
  switch (kind) {
    case kKindLine: {
      const TJwwEntLine& r = d.Lines[i];
      return b.Segment(r, TWidthRule::Always, HostScreenColour(r.lc), r.x1, r.y1, r.x2, r.y2);
    }
    case kKindCircle: {
      const TJwwEntCircle& r = d.Circles[i];
      return b.Ellipse(r, TShapeKind::EllipseArc, TWidthRule::Always, HostScreenColour(r.lc), r.x, r.y, r.r, 1.0,
                       0.0, 0.0, kTurn);
    }
    case kKindArc: {
      // ci x y r start end flatness tilt: angles in degrees.
      const TJwwEntArc& r = d.Arcs[i];
      return b.Ellipse(r, TShapeKind::EllipseArc, TWidthRule::Always, HostScreenColour(r.lc), r.x, r.y, r.r, r.p6,
                       r.p7 * kDegree, r.p4 * kDegree, SweepOf(r.p4, r.p5, 360.0) * kDegree);
    }
    case kKindText: return b.TextBox(d.Texts[i], d.Texts[i]);
    case kKindPoint: {
      const TJwwEntPoint& r = d.Points[i];
      return b.Spot(r, TShapeKind::Point, TWidthRule::Points, HostScreenColour(r.lc), r.x, r.y);
    }
    case kKindPointEx: {
      const TJwwEntPointEx& r = d.PointsEx[i];
      return b.Spot(r, TShapeKind::Point, TWidthRule::Points, HostScreenColour(r.lc), r.x, r.y);
    }
    case kKindDim: {
      // The line carries the width and its own layer; the text is drawn as any
      // text, with the attributes the dimension had when its text was read.
      const TJwwEntDim& r = d.Dims[i];
      b.Segment(r.line, TWidthRule::Dims, HostScreenColour(r.line.lc), r.line.x1, r.line.y1, r.line.x2, r.line.y2);
      return b.TextBox(r, r.text);
    }
    case kKindBlock: {
      const TJwwEntBlk& r = d.Blocks[i];
      return b.Spot(r, TShapeKind::Marker, TWidthRule::Never, HostScreenColour(r.lc), r.x, r.y);
    }
    case kKindSolid2: {
      // A two-point solid is a band along its two points, as wide as its width.
      const TJwwEntSolid2& r = d.Solids2[i];
      return b.Segment(r, SolidRule(r), SolidColour(r, r.lc10), r.x1, r.y1, r.x2, r.y2);
    }
    case kKindSolid3: {
      const TJwwEntSolid3& r = d.Solids3[i];
      return b.Polygon(r, TWidthRule::Never, SolidColour(r, r.lc10), {r.x1, r.y1, r.x2, r.y2, r.x3, r.y3});
    }
    case kKindSolid4: {
      const TJwwEntSolid4& r = d.Solids4[i];
      return b.Polygon(r, TWidthRule::Never, SolidColour(r, r.lc10),
                       {r.x1, r.y1, r.x2, r.y2, r.x3, r.y3, r.x4, r.y4});
    }
    case kKindSc:
    case kKindSe: {
      // Round solids: centre, radius, flatness, tilt, start and end (radians).
      // sc is filled; se runs along its arc and takes a width.
      const bool filled = kind == kKindSc;
      const TJwwEntSc& r = filled ? d.Scs[i] : d.Ses[i];
      return b.Ellipse(r, filled ? TShapeKind::EllipseSector : TShapeKind::EllipseArc,
                       filled ? TWidthRule::Never : SolidRule(r), SolidColour(r, r.lc10), r.p1, r.p2, r.p3, r.p4,
                       r.p5, r.p6, SweepOf(r.p6, r.p7, kTurn));
    }
    case kKindSo:
    case kKindSg: {
      const TJwwEntSo& r = kind == kKindSo ? d.Sos[i] : d.Sgs[i];
      return b.Polygon(r, TWidthRule::Never, SolidColour(r, r.lc10), {r.p1, r.p2, r.p3, r.p4, r.p5, r.p6, r.p7, r.p8});
    }
    default: return;
  }
}

}  // namespace

TPreviewDrawing MakePreviewDrawing(const TJwwData& d, const std::atomic<bool>* stop) {
  TPreviewDrawing out;
  for (std::size_t g = 0; g < 16; ++g) {
    out.scales[g] = d.Hs[g];
    if (g < d.LgNames.size()) out.groupNames[g] = ShownName(d.LgNames[g]);
  }
  for (std::size_t i = 0; i < 256 && i < d.LyNames.size(); ++i) out.layerNames[i] = ShownName(d.LyNames[i]);
  out.widthsExchanged = d.LwSeen;

  out.entities.reserve(d.Order.size() + d.Dims.size());
  out.params.reserve(d.Order.size() * 5);
  TBuilder b(out);
  std::size_t count = 0;
  for (const TJwwOrder& o : d.Order) {
    if (stop && (++count & 0xFFFF) == 0 && stop->load(std::memory_order_relaxed)) break;
    if (o.index < 0 || static_cast<int64_t>(o.index) >= JwwKindCount(d, o.kind)) continue;
    AddEntity(b, d, o.kind, static_cast<std::size_t>(o.index));
  }
  return out;
}
