// Record writers: for each entity table, the attribute lines the record needs,
// then its `z` lines and geometry unless the geometry is degenerate.
#include <cmath>
#include <string_view>

#include "exchange/write/emitters.h"
#include "exchange/write/emitters_line.h"
#include "util/text.h"

namespace {

bool Coincide(double ax, double ay, double bx, double by) {
  return std::fabs(ax - bx) < kJwwTolerance && std::fabs(ay - by) < kJwwTolerance;
}

bool Vanishes(double v) { return std::fabs(v) <= kJwwTolerance; }

// An override is on when it is not -1; layer group and layer are on only
// inside 0..15.
int32_t Pick(int32_t overrideValue, int32_t own) { return overrideValue != -1 ? overrideValue : own; }
int32_t PickLayer(int32_t overrideValue, int32_t own) {
  return overrideValue >= 0 && overrideValue <= 15 ? overrideValue : own;
}

template <typename Rec>
const Rec* At(const TJwwTable<Rec>& table, int32_t index) {
  if (index < 0 || static_cast<std::size_t>(index) >= table.size()) return nullptr;
  return &table[static_cast<std::size_t>(index)];
}

[[gnu::always_inline]] inline void PutLayer(TJwwWriter& w, const TJwwEntAttr& rec, const TJwwOverrides& o) {
  JwwPutLg(w, PickLayer(o.lg, rec.lg));
  JwwPutLy(w, PickLayer(o.ly, rec.ly));
}

// Colour, line type and width of lines, circles, arcs and dimension lines.
[[gnu::always_inline]] inline void PutPen(TJwwWriter& w, const TJwwEntAttr& rec, const TJwwOverrides& o) {
  JwwPutLc(w, Pick(o.lc, rec.lc));
  JwwPutLt(w, Pick(o.lt, rec.lt));
  JwwPutLw(w, Pick(o.lw, rec.lw));
}

// A solid of colour 10 is painted in its arbitrary colour, carried by an
// `lc10` line instead of an `lc` line.
void PutSolidColour(TJwwWriter& w, const TJwwEntAttr& rec, int32_t lc10, const TJwwOverrides& o) {
  const bool overridden = o.lc != -1;
  const int32_t colour = overridden ? o.lc : rec.lc;
  if (colour == 10) {
    JwwPutLc10(w, overridden ? o.lc10 : lc10);
  } else {
    JwwPutLc(w, colour);
  }
}

// Text type, `cc` and font of a text or a dimension text. With a text colour
// override the text goes out as free-size text in that colour.
void PutTextAttrs(TJwwWriter& w, const TJwwEntText& t, const TJwwOverrides& o) {
  if (o.textColour != -1) {
    JwwPutCn(w, 0, o.textColour, t.width, t.height, t.spacing);
  } else {
    JwwPutCn(w, t.cn, t.lc, t.width, t.height, t.spacing);
  }
  JwwPutCc(w, Pick(o.cc, t.cc));
  JwwPutFont(w, t.font);
}

std::string_view TextKeyword(int32_t kind) {
  static constexpr std::string_view kKeywords[] = {"ch", "cv", "cs", "cr", "co", "cp", "ct", "ck", "cz", "c2"};
  if (kind < 0 || kind > 9) return "ch";
  return kKeywords[kind];
}

}  // namespace

bool JwwIsBlankText(std::string_view text) {
  // What RemoveBlanks leaves nothing of, found without building its result:
  // bytes up to the blank, and full-width blanks (81 40); any other
  // double-byte character, or a lead byte without its second byte, stays.
  for (std::size_t i = 0; i < text.size(); ++i) {
    const auto b = static_cast<unsigned char>(text[i]);
    if (IsSjisLeadByte(b)) {
      if (b != 0x81 || i + 1 == text.size() || static_cast<unsigned char>(text[i + 1]) != 0x40) return false;
      ++i;
    } else if (b > 0x20) {
      return false;
    }
  }
  return true;
}

namespace {

bool IsBlankText(std::string_view text) { return JwwIsBlankText(text); }

// The keyword-and-numbers part of a text line; the text follows the quote on
// the same file line.
void PutTextLine(TJwwWriter& w, std::string_view keyword, const TJwwEntText& t, std::string_view text) {
  const TJwwCopyFields& c = w.Copy;
  const std::string_view run = c.Run(keyword, 4);
  TJwwLineBuilder head(run.empty() ? keyword : run);
  if (run.empty()) head.Num(t.x, c.Get(1)).Num(t.y, c.Get(2)).Num(t.dx, c.Get(3)).Num(t.dy, c.Get(4));
  head.Raw(" \"");
  w.Output.AppendJoined(head.View(), text);
}

bool TriangleOk(double x1, double y1, double x2, double y2, double x3, double y3) {
  return !Coincide(x1, y1, x2, y2) && !Coincide(x2, y2, x3, y3) && !Coincide(x3, y3, x1, y1);
}

// Round solids need a p3 above the tolerance and a p4 that does not vanish.
bool RoundSolidShapeOk(double p3, double p4) { return p3 > kJwwTolerance && !Vanishes(p4); }

// The `z` lines flag the next entity the host reads, so they go out only with
// geometry: written before a left-out entity they would land on the next one.
void PutZIf(TJwwWriter& w, bool geometryWritten, int32_t flags) {
  if (geometryWritten) JwwPutZ(w, flags);
}

void PutSoSg(TJwwWriter& w, std::string_view keyword, const TJwwEntSo& r, const TJwwOverrides& o) {
  PutLayer(w, r, o);
  PutSolidColour(w, r, r.lc10, o);
  const bool ok = RoundSolidShapeOk(r.p3, r.p4) && r.p8 > kJwwTolerance && r.p8 < r.p3 - kJwwTolerance;
  PutZIf(w, ok, r.z);
  if (!ok) return;
  const TJwwCopyFields& c = w.Copy;
  if (const std::string_view run = c.Run(keyword, 8); !run.empty()) return JwwPutLine(w, run);
  JwwPutLine(w, TJwwLineBuilder(keyword)
                    .Num(r.p1, c.Get(1)).Num(r.p2, c.Get(2)).Num(r.p3, c.Get(3)).Num(r.p4, c.Get(4))
                    .Num(r.p5, c.Get(5)).Num(r.p6, c.Get(6)).Num(r.p7, c.Get(7)).Num(r.p8, c.Get(8))
                    .View());
}

}  // namespace

void JwwPutLn(TJwwWriter& w, int32_t index, const TJwwOverrides& o) {
  const TJwwEntLine* r = At(w.data.Lines, index);
  if (r == nullptr) return;
  PutLayer(w, *r, o);
  PutPen(w, *r, o);
  const bool ok = !Coincide(r->x1, r->y1, r->x2, r->y2);
  PutZIf(w, ok, r->z);
  if (!ok) return;
  // A plain line has no keyword: four numbers are a line to the host.
  const TJwwCopyFields& c = w.Copy;
  if (c.lineSize != 0) {
    // The line read, exactly this text while it still holds number text; a
    // line changed since has its numbers formatted below, none copied.
    char* out = w.Output.LineRoom(c.lineSize);
    if (JwwCopyLine(c.line, c.lineSize, out)) return w.Output.EndLine(out + c.lineSize);
  }
  JwwPutLine(w, TJwwLineBuilder("")
                    .Num(r->x1, c.Get(0)).Num(r->y1, c.Get(1)).Num(r->x2, c.Get(2)).Num(r->y2, c.Get(3))
                    .View());
}

void JwwPutCircle(TJwwWriter& w, int32_t index, const TJwwOverrides& o) {
  const TJwwEntCircle* r = At(w.data.Circles, index);
  if (r == nullptr) return;
  PutLayer(w, *r, o);
  PutPen(w, *r, o);
  const bool ok = r->r > kJwwTolerance;
  PutZIf(w, ok, r->z);
  if (!ok) return;
  const TJwwCopyFields& c = w.Copy;
  if (const std::string_view run = c.Run("ci", 3); !run.empty()) return JwwPutLine(w, run);
  JwwPutLine(w, TJwwLineBuilder("ci").Num(r->x, c.Get(1)).Num(r->y, c.Get(2)).Num(r->r, c.Get(3)).View());
}

void JwwPutArc(TJwwWriter& w, int32_t index, const TJwwOverrides& o) {
  const TJwwEntArc* r = At(w.data.Arcs, index);
  if (r == nullptr) return;
  PutLayer(w, *r, o);
  PutPen(w, *r, o);
  const bool ok = r->r > kJwwTolerance && !Vanishes(r->p6);
  PutZIf(w, ok, r->z);
  if (!ok) return;
  const TJwwCopyFields& c = w.Copy;
  if (const std::string_view run = c.Run("ci", 7); !run.empty()) return JwwPutLine(w, run);
  JwwPutLine(w, TJwwLineBuilder("ci")
                    .Num(r->x, c.Get(1)).Num(r->y, c.Get(2)).Num(r->r, c.Get(3)).Num(r->p4, c.Get(4))
                    .Num(r->p5, c.Get(5)).Num(r->p6, c.Get(6)).Num(r->p7, c.Get(7))
                    .View());
}

void JwwPutText(TJwwWriter& w, int32_t index, const TJwwOverrides& o) {
  const TJwwEntText* r = At(w.data.Texts, index);
  if (r == nullptr) return;
  PutLayer(w, *r, o);
  PutTextAttrs(w, *r, o);
  const bool ok = !(Vanishes(r->dx) && Vanishes(r->dy)) && !IsBlankText(r->text);
  PutZIf(w, ok, r->z);
  if (!ok) return;
  PutTextLine(w, TextKeyword(r->kind), *r, r->text);
}

void JwwPutPoint(TJwwWriter& w, int32_t index, const TJwwOverrides& o) {
  const TJwwEntPoint* r = At(w.data.Points, index);
  if (r == nullptr) return;
  PutLayer(w, *r, o);
  JwwPutPn(w, Pick(o.lc, r->lc));
  JwwPutLw(w, Pick(o.lw, r->lw));
  JwwPutZ(w, r->z);
  if (const std::string_view run = w.Copy.Run("pt", 2); !run.empty()) return JwwPutLine(w, run);
  JwwPutLine(w, TJwwLineBuilder("pt").Num(r->x, w.Copy.Get(1)).Num(r->y, w.Copy.Get(2)).View());
}

void JwwPutPointEx(TJwwWriter& w, int32_t index, const TJwwOverrides& o) {
  const TJwwEntPointEx* r = At(w.data.PointsEx, index);
  if (r == nullptr) return;
  PutLayer(w, *r, o);
  JwwPutPn(w, Pick(o.lc, r->lc));
  JwwPutLw(w, Pick(o.lw, r->lw));
  JwwPutZ(w, r->z);
  // The host draws a marker of size p3 with one of its marker codes.
  const bool p3Kept = !Vanishes(r->p3);
  const double p3 = p3Kept ? r->p3 : 1.0;
  const int32_t code = r->code >= -7 && r->code <= 11 ? r->code : -3;
  const TJwwCopyFields& c = w.Copy;
  // A p3 replaced by 1 is not the one in the file.
  if (const std::string_view run = p3Kept ? c.Run("pt", 4) : std::string_view(); !run.empty()) {
    return JwwPutLine(w, TJwwLineBuilder(run).Int(code).View());
  }
  JwwPutLine(w, TJwwLineBuilder("pt")
                    .Num(r->x, c.Get(1)).Num(r->y, c.Get(2)).Num(p3, p3Kept ? c.Get(3) : std::string_view())
                    .Num(r->p4, c.Get(4)).Int(code)
                    .View());
}

void JwwPutDim(TJwwWriter& w, int32_t index, const TJwwOverrides& o) {
  const TJwwEntDim* r = At(w.data.Dims, index);
  if (r == nullptr) return;
  const TJwwEntLine& line = r->line;
  const TJwwEntText& text = r->text;
  PutLayer(w, *r, o);
  PutPen(w, line, o);
  PutTextAttrs(w, text, o);
  const bool ok = !Coincide(line.x1, line.y1, line.x2, line.y2) && !(Vanishes(text.dx) && Vanishes(text.dy));
  PutZIf(w, ok, r->z);
  if (!ok) return;
  JwwPutLine(w, "msg");
  JwwPutLine(w, TJwwLineBuilder("").Num(line.x1).Num(line.y1).Num(line.x2).Num(line.y2).View());
  if (!IsBlankText(text.text)) {
    PutTextLine(w, "cs", text, text.text);
    return;
  }
  // A dimension without its own text shows its length, rounded to 8 decimals.
  // A length so large that scaling it overflows has no decimals left to round.
  const double length = PointDistance(line.x1, line.y1, line.x2, line.y2);
  const double scaled = length * 1e8 + 0.5;
  const double rounded = std::isfinite(scaled) ? std::trunc(scaled) * 1e-8 : length;
  char buf[kNumberTextMax];
  PutTextLine(w, "cs", text, std::string_view(buf, static_cast<std::size_t>(PutNumberText(buf, rounded) - buf)));
}

void JwwPutSolid2(TJwwWriter& w, int32_t index, const TJwwOverrides& o) {
  const TJwwEntSolid2* r = At(w.data.Solids2, index);
  if (r == nullptr) return;
  PutLayer(w, *r, o);
  PutSolidColour(w, *r, r->lc10, o);
  JwwPutLw(w, Pick(o.lw, r->lw));
  const bool ok = !Coincide(r->x1, r->y1, r->x2, r->y2);
  PutZIf(w, ok, r->z);
  if (!ok) return;
  JwwPutLine(w, TJwwLineBuilder("sl").Num(r->x1).Num(r->y1).Num(r->x2).Num(r->y2).View());
}

void JwwPutSolid3(TJwwWriter& w, int32_t index, const TJwwOverrides& o) {
  const TJwwEntSolid3* r = At(w.data.Solids3, index);
  if (r == nullptr) return;
  PutLayer(w, *r, o);
  PutSolidColour(w, *r, r->lc10, o);
  const bool ok = TriangleOk(r->x1, r->y1, r->x2, r->y2, r->x3, r->y3);
  PutZIf(w, ok, r->z);
  if (!ok) return;
  JwwPutLine(w, TJwwLineBuilder("sl").Num(r->x1).Num(r->y1).Num(r->x2).Num(r->y2).Num(r->x3).Num(r->y3).View());
}

void JwwPutSolid4(TJwwWriter& w, int32_t index, const TJwwOverrides& o) {
  const TJwwEntSolid4* r = At(w.data.Solids4, index);
  if (r == nullptr) return;
  PutLayer(w, *r, o);
  PutSolidColour(w, *r, r->lc10, o);
  const double x[4] = {r->x1, r->x2, r->x3, r->x4};
  const double y[4] = {r->y1, r->y2, r->y3, r->y4};
  // A quadrilateral with two coinciding corners is a triangle (the corners
  // listed) or nothing; the first coinciding pair in this order decides.
  int corners[4] = {0, 1, 2, 3};
  int count = 4;
  auto same = [&](int a, int b) { return Coincide(x[a], y[a], x[b], y[b]); };
  auto triangle = [&](int a, int b, int c) {
    corners[0] = a, corners[1] = b, corners[2] = c;
    count = TriangleOk(x[a], y[a], x[b], y[b], x[c], y[c]) ? 3 : 0;
  };
  if (same(0, 1)) {
    triangle(0, 2, 3);
  } else if (same(0, 2)) {
    count = 0;
  } else if (same(0, 3)) {
    triangle(0, 1, 2);
  } else if (same(1, 2)) {
    triangle(0, 1, 3);
  } else if (same(1, 3)) {
    count = 0;
  } else if (same(2, 3)) {
    triangle(0, 1, 2);
  }
  PutZIf(w, count > 0, r->z);
  if (count == 0) return;
  TJwwLineBuilder line("sl");
  for (int i = 0; i < count; ++i) line.Num(x[corners[i]]).Num(y[corners[i]]);
  JwwPutLine(w, line.View());
}

void JwwPutSc(TJwwWriter& w, int32_t index, const TJwwOverrides& o) {
  const TJwwEntSc* r = At(w.data.Scs, index);
  if (r == nullptr) return;
  PutLayer(w, *r, o);
  PutSolidColour(w, *r, r->lc10, o);
  const bool codeOk = r->code == 100 || r->code == 5 || r->code == 0 || r->code == -1;
  const bool ok = RoundSolidShapeOk(r->p3, r->p4) && codeOk;
  PutZIf(w, ok, r->z);
  if (!ok) return;
  const TJwwCopyFields& c = w.Copy;
  if (const std::string_view run = c.Run("sc", 7); !run.empty()) {
    return JwwPutLine(w, TJwwLineBuilder(run).Int(r->code).View());
  }
  JwwPutLine(w, TJwwLineBuilder("sc")
                    .Num(r->p1, c.Get(1)).Num(r->p2, c.Get(2)).Num(r->p3, c.Get(3)).Num(r->p4, c.Get(4))
                    .Num(r->p5, c.Get(5)).Num(r->p6, c.Get(6)).Num(r->p7, c.Get(7))
                    .Int(r->code)
                    .View());
}

void JwwPutSe(TJwwWriter& w, int32_t index, const TJwwOverrides& o) {
  const TJwwEntSe* r = At(w.data.Ses, index);
  if (r == nullptr) return;
  PutLayer(w, *r, o);
  PutSolidColour(w, *r, r->lc10, o);
  JwwPutLw(w, Pick(o.lw, r->lw));
  const bool codeOk = r->code == 100 || r->code == 0;
  const bool ok = RoundSolidShapeOk(r->p3, r->p4) && codeOk;
  PutZIf(w, ok, r->z);
  if (!ok) return;
  const TJwwCopyFields& c = w.Copy;
  if (const std::string_view run = c.Run("se", 7); !run.empty()) {
    return JwwPutLine(w, TJwwLineBuilder(run).Int(r->code).View());
  }
  JwwPutLine(w, TJwwLineBuilder("se")
                    .Num(r->p1, c.Get(1)).Num(r->p2, c.Get(2)).Num(r->p3, c.Get(3)).Num(r->p4, c.Get(4))
                    .Num(r->p5, c.Get(5)).Num(r->p6, c.Get(6)).Num(r->p7, c.Get(7))
                    .Int(r->code)
                    .View());
}

void JwwPutSo(TJwwWriter& w, int32_t index, const TJwwOverrides& o) {
  const TJwwEntSo* r = At(w.data.Sos, index);
  if (r != nullptr) PutSoSg(w, "so", *r, o);
}

void JwwPutSg(TJwwWriter& w, int32_t index, const TJwwOverrides& o) {
  const TJwwEntSg* r = At(w.data.Sgs, index);
  if (r != nullptr) PutSoSg(w, "sg", *r, o);
}

void JwwPutEntity(TJwwWriter& w, int32_t kind, int32_t index, const TJwwOverrides& o) {
  switch (kind) {
    case kKindLine: JwwPutLn(w, index, o); break;
    case kKindCircle: JwwPutCircle(w, index, o); break;
    case kKindArc: JwwPutArc(w, index, o); break;
    case kKindText: JwwPutText(w, index, o); break;
    case kKindPoint: JwwPutPoint(w, index, o); break;
    case kKindPointEx: JwwPutPointEx(w, index, o); break;
    case kKindDim: JwwPutDim(w, index, o); break;
    case kKindSolid2: JwwPutSolid2(w, index, o); break;
    case kKindSolid3: JwwPutSolid3(w, index, o); break;
    case kKindSolid4: JwwPutSolid4(w, index, o); break;
    case kKindSc: JwwPutSc(w, index, o); break;
    case kKindSe: JwwPutSe(w, index, o); break;
    case kKindSo: JwwPutSo(w, index, o); break;
    case kKindSg: JwwPutSg(w, index, o); break;
    default: break;  // block references are not written back
  }
}
