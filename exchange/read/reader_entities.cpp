// The reader's entity lines: one record per line in the table of its kind,
// with the attribute state in force, plus dimensions, polylines and the
// collapsing of `sl` solids whose corners coincide.
#include <cmath>
#include <string_view>
#include <type_traits>

#include "exchange/read/line_rules.h"
#include "exchange/source/source_file.h"
#include "util/text.h"

namespace {

using std::string_view;

// Text keywords in the order that gives a text record its `kind`.
constexpr string_view kTextKeys[] = {"ch", "cv", "cs", "cr", "co", "cp", "ct", "ck", "cz", "c2"};
constexpr int32_t kDimTextKind = 2;

// Field i as a real; notes whether its text can be copied into the answer.
double Real(const TJwwFields& f, std::size_t i) {
  bool own = false;
  const double value = TextToFloat(f[i], &own);
  if (own && i < 16) f.ownNumbers = static_cast<uint16_t>(f.ownNumbers | (1u << i));
  return value;
}

int32_t TextKind(string_view key) {
  for (int32_t k = 0; k < 10; ++k) {
    if (key == kTextKeys[k]) return k;
  }
  return -1;
}

// Per-entity modifiers are used up; a stored record also ends a polyline and
// abandons a dimension that is still waiting for its text.
void AfterRecord(TJwwReadState& rs) {
  rs.attr.CurHhp = 0;
  rs.attr.CurZ = 0;
  rs.attr.InPolyline = false;
  rs.attr.DimPending = false;
}

// Fills a text record from the state in force and the line's fields. Types
// 1..10 take size and colour from the header's text type table, any other
// type the free-size values of the last `cn0` line.
void FillText(const TJwwData& d, const TJwwReadState& rs, const TJwwFields& f, int32_t kind, TJwwEntText& t) {
  const TJwwAttrState& a = rs.attr;
  JwwSetEntAttr(rs, t);
  t.kind = kind;
  t.cc = a.CurCc;
  t.cn = a.CurCn;
  if (t.cn >= 1 && t.cn <= 10) {
    const TJwwTextType& type = d.TextTypes[static_cast<std::size_t>(t.cn - 1)];
    t.width = type.width;
    t.height = type.height;
    t.spacing = type.spacing;
    t.lc = type.colour;
  } else {
    t.width = a.CurTextWidth;
    t.height = a.CurTextHeight;
    t.spacing = a.CurTextSpacing;
    t.lc = a.CurTextColour;
  }
  t.x = Real(f, 1);
  t.y = Real(f, 2);
  t.dx = Real(f, 3);
  t.dy = Real(f, 4);
  // Kept whole: texts may carry long control sequences the host needs back.
  t.font = a.CurFont;
  t.text = std::string(f[5]);
}

void TakeText(TJwwData& d, const TJwwReadState& rs, const TJwwFields& f, int32_t kind) {
  if (kind == kDimTextKind && rs.attr.DimPending) {
    TJwwEntDim& dim = JwwAddEntity(d, rs, d.Dims, kKindDim);
    // Without a plain line since `msg` this is the line of the previous
    // dimension, or the unit line a read starts with.
    dim.line = rs.PendingDimLine;
    dim.line.pl = 0;
    FillText(d, rs, f, kDimTextKind, dim.text);
  } else {
    FillText(d, rs, f, kind, JwwAddEntity(d, rs, d.Texts, kKindText));
  }
}

struct Pt {
  double x = 0, y = 0;
};

bool Same(Pt p, Pt q) { return std::fabs(p.x - q.x) <= 1e-10 && std::fabs(p.y - q.y) <= 1e-10; }

void AddSolid(TJwwData& d, const TJwwReadState& rs, Pt a, Pt b) {
  TJwwEntSolid2& s = JwwAddEntity(d, rs, d.Solids2, kKindSolid2);
  s.lc10 = rs.attr.CurLc10;
  s.x1 = a.x, s.y1 = a.y, s.x2 = b.x, s.y2 = b.y;
}

void AddSolid(TJwwData& d, const TJwwReadState& rs, Pt a, Pt b, Pt c) {
  TJwwEntSolid3& s = JwwAddEntity(d, rs, d.Solids3, kKindSolid3);
  s.lc10 = rs.attr.CurLc10;
  s.x1 = a.x, s.y1 = a.y, s.x2 = b.x, s.y2 = b.y, s.x3 = c.x, s.y3 = c.y;
}

void AddSolid(TJwwData& d, const TJwwReadState& rs, Pt a, Pt b, Pt c, Pt e) {
  TJwwEntSolid4& s = JwwAddEntity(d, rs, d.Solids4, kKindSolid4);
  s.lc10 = rs.attr.CurLc10;
  s.x1 = a.x, s.y1 = a.y, s.x2 = b.x, s.y2 = b.y, s.x3 = c.x, s.y3 = c.y, s.x4 = e.x, s.y4 = e.y;
}

// An `sl` line of 5, 7 or at least 9 fields. Coinciding corners collapse the
// solid to fewer points, the first rule that applies deciding. False for
// other counts, which no `sl` form takes.
bool TakeSolid(TJwwData& d, const TJwwReadState& rs, const TJwwFields& f) {
  const std::size_t n = f.count;
  if (n != 5 && n != 7 && n < 9) return false;
  const Pt p1{Real(f, 1), Real(f, 2)};
  const Pt p2{Real(f, 3), Real(f, 4)};
  if (n == 5) {
    AddSolid(d, rs, p1, p2);
    return true;
  }
  const Pt p3{Real(f, 5), Real(f, 6)};
  if (n == 7) {
    if (Same(p1, p2)) {
      AddSolid(d, rs, p1, p3);
    } else if (Same(p2, p3)) {
      AddSolid(d, rs, p1, p2);
    } else {
      AddSolid(d, rs, p1, p2, p3);
    }
    return true;
  }
  const Pt p4{Real(f, 7), Real(f, 8)};
  if (Same(p1, p2) && Same(p1, p3)) {
    AddSolid(d, rs, p1, p4);
  } else if (Same(p2, p3) && Same(p2, p4)) {
    AddSolid(d, rs, p1, p2);
  } else if (Same(p1, p2) && Same(p3, p4)) {
    AddSolid(d, rs, p1, p3);
  } else if (Same(p4, p1) || Same(p4, p2) || Same(p4, p3)) {
    AddSolid(d, rs, p1, p2, p3);
  } else if (Same(p3, p1) || Same(p3, p2)) {
    AddSolid(d, rs, p1, p2, p4);
  } else if (Same(p2, p1)) {
    AddSolid(d, rs, p1, p3, p4);
  } else {
    AddSolid(d, rs, p1, p2, p3, p4);
  }
  return true;
}

// `sc`, `se` (seven reals and a code) and `so`, `sg` (eight reals).
template <typename Rec>
void FillRound(const TJwwReadState& rs, const TJwwFields& f, Rec& r) {
  r.lc10 = rs.attr.CurLc10;
  r.p1 = Real(f, 1), r.p2 = Real(f, 2), r.p3 = Real(f, 3), r.p4 = Real(f, 4);
  r.p5 = Real(f, 5), r.p6 = Real(f, 6), r.p7 = Real(f, 7);
}

bool TakeCircle(TJwwData& d, const TJwwReadState& rs, const TJwwFields& f) {
  const std::size_t n = f.count;
  if (n == 4) {
    TJwwEntCircle& c = JwwAddEntity(d, rs, d.Circles, kKindCircle);
    c.x = Real(f, 1), c.y = Real(f, 2), c.r = Real(f, 3);
    return true;
  }
  if (n >= 8) {
    TJwwEntArc& c = JwwAddEntity(d, rs, d.Arcs, kKindArc);
    c.x = Real(f, 1), c.y = Real(f, 2), c.r = Real(f, 3);
    c.p4 = Real(f, 4), c.p5 = Real(f, 5), c.p6 = Real(f, 6), c.p7 = Real(f, 7);
    return true;
  }
  return false;
}

bool TakePoint(TJwwData& d, const TJwwReadState& rs, const TJwwFields& f) {
  const std::size_t n = f.count;
  if (n == 3) {
    TJwwEntPoint& p = JwwAddEntity(d, rs, d.Points, kKindPoint);
    p.lc = rs.attr.CurPn;
    p.x = Real(f, 1), p.y = Real(f, 2);
    return true;
  }
  if (n >= 6) {
    TJwwEntPointEx& p = JwwAddEntity(d, rs, d.PointsEx, kKindPointEx);
    p.lc = rs.attr.CurPn;
    p.x = Real(f, 1), p.y = Real(f, 2), p.p3 = Real(f, 3), p.p4 = Real(f, 4);
    p.code = TextToInt(f[5]);
    return true;
  }
  return false;
}

bool TakeBlock(TJwwData& d, const TJwwReadState& rs, const TJwwFields& f) {
  if (f.count < 4) return false;
  TJwwEntBlk& b = JwwAddEntity(d, rs, d.Blocks, kKindBlock);
  b.x = Real(f, 1), b.y = Real(f, 2);
  b.name = std::string(f[3]);
  return true;
}

// `sc`, `se`, `so` and `sg`: nine fields at least.
template <typename Rec>
bool TakeRound(TJwwData& d, const TJwwReadState& rs, const TJwwFields& f, TJwwTable<Rec>& table, int32_t kind) {
  if (f.count < 9) return false;
  Rec& r = JwwAddEntity(d, rs, table, kind);
  FillRound(rs, f, r);
  if constexpr (std::is_same_v<Rec, TJwwEntSc>) {
    r.code = TextToInt(f[8]);
  } else {
    r.p8 = Real(f, 8);
  }
  return true;
}

// Stores a record for lines with a keyword; false when the keyword's forms
// do not fit the count, so the line may still be a plain line. Keywords are
// two bytes, told apart by a switch on each.
bool TakeKeyword(TJwwData& d, const TJwwReadState& rs, const TJwwFields& f) {
  const string_view key = f.Key();
  if (key.size() != 2) return false;
  switch (key[0]) {
    case 'c': {
      if (key[1] == 'i') return TakeCircle(d, rs, f);
      const int32_t kind = TextKind(key);
      if (kind < 0 || f.count < 6) return false;
      TakeText(d, rs, f, kind);
      return true;
    }
    case 'p':
      return key[1] == 't' && TakePoint(d, rs, f);
    case 'B':
      return key[1] == 'L' && TakeBlock(d, rs, f);
    case 's':
      switch (key[1]) {
        case 'l': return TakeSolid(d, rs, f);
        case 'c': return TakeRound(d, rs, f, d.Scs, kKindSc);
        case 'e': return TakeRound(d, rs, f, d.Ses, kKindSe);
        case 'o': return TakeRound(d, rs, f, d.Sos, kKindSo);
        case 'g': return TakeRound(d, rs, f, d.Sgs, kKindSg);
        default: return false;
      }
    default:
      return false;
  }
}

// Four fields that no keyword took: x1 y1 x2 y2. A keyword in the first
// field reads as 0.0. After `msg` the line waits for the dimension's text.
void StorePlainLine(TJwwData& d, TJwwReadState& rs, double x1, double y1, double x2, double y2) {
  TJwwAttrState& a = rs.attr;
  TJwwEntLine* line = nullptr;
  if (a.DimPending) {
    line = &rs.PendingDimLine;
    JwwSetEntAttr(rs, *line);
    line->pl = 0;
  } else {
    line = &JwwAddEntity(d, rs, d.Lines, kKindLine);
    line->pl = a.InPolyline ? a.PolylineNo : 0;
  }
  line->x1 = x1, line->y1 = y1, line->x2 = x2, line->y2 = y2;
  a.CurHhp = 0;
  a.CurZ = 0;
}

void TakePlainLine(TJwwData& d, TJwwReadState& rs, const TJwwFields& f) {
  const double x1 = Real(f, 0), y1 = Real(f, 1), x2 = Real(f, 2), y2 = Real(f, 3);
  StorePlainLine(d, rs, x1, y1, x2, y2);
}

// The fields of a record's line that its writer puts out unchanged, each
// as the number of the same field: bit i for field i. Dimensions take their
// numbers from two lines, and solids may be written with fewer corners, so
// neither is copied.
uint16_t WrittenAsRead(int32_t kind) {
  switch (kind) {
    case kKindLine: return 0x0F;     // x1 y1 x2 y2
    case kKindCircle: return 0x0E;   // ci x y r
    case kKindArc: return 0xFE;      // ci and seven numbers
    case kKindText: return 0x1E;     // the four numbers before the text
    case kKindPoint: return 0x06;    // pt x y
    case kKindPointEx: return 0x1E;  // pt x y p3 p4 (p3 only while the writer keeps it)
    case kKindSc:
    case kKindSe: return 0xFE;       // seven numbers, then the code
    case kKindSo:
    case kKindSg: return 0x1FE;      // eight numbers
    default: return 0;
  }
}

// Marks the fields of the record just stored whose text is in final form, so
// that the writer copies them from the file instead of formatting the value.
uint16_t FinalFields(const TJwwData& d, const TJwwFields& f) {
  const uint32_t exactFields = f.exact >= 16 ? 0xFFFFu : (1u << f.exact) - 1u;
  return static_cast<uint16_t>(WrittenAsRead(d.Order.back().kind) & f.ownNumbers & exactFields);
}

void MarkFields(TJwwData& d, std::uint64_t lineOffset, uint16_t marks) {
  d.Order.back().source = marks == 0 ? 0 : TJwwLineSource::Pack(lineOffset, marks);
}

}  // namespace

void JwwStorePlainNumberLine(TJwwData& d, TJwwReadState& rs, const TJwwPlainNumbers& line, std::size_t size,
                             std::uint64_t lineOffset) {
  const std::size_t before = d.Order.size();
  StorePlainLine(d, rs, line.value[0], line.value[1], line.value[2], line.value[3]);
  if (lineOffset != kJwwNoLineOffset && d.Order.size() > before) {
    TJwwFields marks;  // only what marking reads: every field exact, which are final
    marks.exact = 4;
    marks.ownNumbers = line.ownNumbers;
    const uint16_t final = FinalFields(d, marks);
    MarkFields(d, lineOffset,
               line.asWritten && final == TJwwLineSource::kPlainLineFields ? TJwwLineSource::WholeLine(size) : final);
  }
}

bool JwwTakePlainNumberLine(TJwwData& d, TJwwReadState& rs, const char* line, std::size_t size,
                            std::uint64_t lineOffset) {
  TJwwPlainNumbers numbers;
  if (!JwwReadPlainNumberLine(line, size, numbers)) return false;
  JwwStorePlainNumberLine(d, rs, numbers, size, lineOffset);
  return true;
}

void JwwTakeEntityLine(TJwwData& d, TJwwReadState& rs, const TJwwFields& f, std::uint64_t lineOffset) {
  const std::size_t before = d.Order.size();
  if (TakeKeyword(d, rs, f)) {
    AfterRecord(rs);
  } else if (f.count == 4) {
    TakePlainLine(d, rs, f);
  }
  const bool markable = lineOffset != kJwwNoLineOffset && f.exact > 0;
  if (markable && d.Order.size() > before) MarkFields(d, lineOffset, FinalFields(d, f));
}
