// Attribute emitters and record writers: which lines each writes, and when it
// leaves a line or the geometry out.
#include "exchange/write/emitters.h"

#include <gtest/gtest.h>

#include <functional>
#include <random>
#include <string>
#include <vector>

#include "exchange/read/read_state.h"
#include "exchange/write/writer.h"
#include "tests/support/files.h"
#include "util/text.h"

namespace {

using Lines = std::vector<std::string>;

// Names parameterised cases after their `name` field.
struct CaseName {
  template <typename P>
  std::string operator()(const ::testing::TestParamInfo<P>& p) const {
    return p.param.name;
  }
};

// "ＭＳ ゴシック" in Shift-JIS.
const std::string kGothic = "\x82\x6c\x82\x72\x20\x83\x53\x83\x56\x83\x62\x83\x4e";

class EmitterTest : public ::testing::Test {
 protected:
  void SetUp() override {
    JwwDataInit(d);
  }
  // The lines appended since the last call.
  Lines Written() {
    Lines all = SplitCrLf(w.Output.FileBytes());
    Lines fresh(all.begin() + static_cast<std::ptrdiff_t>(seen_), all.end());
    seen_ = all.size();
    return fresh;
  }
  TJwwEntLine& AddLine(int32_t lg, int32_t ly, double x1, double y1, double x2, double y2) {
    TJwwEntLine& r = JwwAddEntity(d, rs, d.Lines, kKindLine);
    r.lg = lg;
    r.ly = ly;
    r.lc = 1;
    r.lt = 1;
    r.x1 = x1, r.y1 = y1, r.x2 = x2, r.y2 = y2;
    return r;
  }
  TJwwEntText& AddText(int32_t cn, int32_t colour, double width, double h, double s) {
    TJwwEntText& t = JwwAddEntity(d, rs, d.Texts, kKindText);
    t.cn = cn;
    t.lc = colour;
    t.width = width, t.height = h, t.spacing = s;
    t.x = 1, t.y = 2, t.dx = 1, t.dy = 0;
    t.font = kGothic;
    t.text = "T";
    return t;
  }
  void PutLastLine() { JwwPutLn(w, static_cast<int32_t>(d.Lines.size()) - 1, off); }
  void PutLastText() { JwwPutText(w, static_cast<int32_t>(d.Texts.size()) - 1, off); }

  TJwwData d;
  TJwwWriter w{d};
  TJwwOverrides off;
  const TJwwReadState rs;  // records enter with the attributes a fresh read starts with

 private:
  std::size_t seen_ = 0;
};

TEST_F(EmitterTest, FirstRecordWritesEveryPendingLine) {
  d.LwSeen = true;
  AddLine(0, 2, 0, 0, 10, 0).lw = 30;
  PutLastLine();
  EXPECT_EQ(Written(), (Lines{"lg0", "ly2", "lc1", "lt1", "lw30", "0 0 10 0"}));
}

TEST_F(EmitterTest, LayerLinesOnlyAtAChangeAndAGroupAlwaysPullsItsLayer) {
  AddLine(0, 2, 0, 0, 1, 1);
  PutLastLine();
  Written();
  AddLine(0, 2, 0, 0, 2, 2);
  PutLastLine();
  EXPECT_EQ(Written(), (Lines{"0 0 2 2"}));
  AddLine(0, 5, 0, 0, 3, 3);
  PutLastLine();
  EXPECT_EQ(Written(), (Lines{"ly5", "0 0 3 3"}));
  AddLine(12, 5, 0, 0, 4, 4);
  PutLastLine();
  EXPECT_EQ(Written(), (Lines{"lgC", "ly5", "0 0 4 4"}));
}

struct WidthCase {
  const char* name;
  bool lwSeen;
  int32_t firstLw;
  int32_t width;
  Lines expected;
};

class WidthLines : public EmitterTest, public ::testing::WithParamInterface<WidthCase> {};

TEST_P(WidthLines, FollowTheFileAndTheRange) {
  const WidthCase& c = GetParam();
  d.LwSeen = c.lwSeen;
  d.first.FirstLw = c.firstLw;
  JwwPutLw(w, c.width);
  EXPECT_EQ(Written(), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, WidthLines,
    ::testing::Values(WidthCase{"NoLwInFile", false, 0, 25, {}}, WidthCase{"Plain", true, 0, 25, {"lw25"}},
                      WidthCase{"MinusOneIsFirstWidth", true, 13, -1, {"lw13"}},
                      WidthCase{"UpperLimitKept", true, 0, 30000, {"lw30000"}},
                      WidthCase{"AboveRangeIsZero", true, 0, 30001, {"lw0"}},
                      WidthCase{"NegativeIsZero", true, 0, -7, {"lw0"}},
                      WidthCase{"FirstWidthOutOfRangeIsZero", true, 40000, -1, {"lw0"}}),
    CaseName());

TEST_F(EmitterTest, WidthLineRepeatsOnlyAtAChange) {
  d.LwSeen = true;
  JwwPutLw(w, 25);
  JwwPutLw(w, 25);
  JwwPutLw(w, 30001);
  JwwPutLw(w, 0);
  EXPECT_EQ(Written(), (Lines{"lw25", "lw0"}));
}

TEST_F(EmitterTest, TextTypeLinesFollowTypeAndFreeSizeValues) {
  AddText(3, 2, 5, 5, 0);
  PutLastText();
  Lines first = Written();
  ASSERT_GE(first.size(), 3u);
  EXPECT_EQ(first[2], "cn3");
  AddText(0, 2, 2.5, 2.5, 0);
  PutLastText();
  EXPECT_EQ(Written(), (Lines{"cn0 2.5 2.5 0 2", "ch 1 2 1 0 \"T"}));
  AddText(0, 2, 2.5, 2.5, 0);
  PutLastText();
  EXPECT_EQ(Written(), (Lines{"ch 1 2 1 0 \"T"}));
  AddText(0, 3, 2.5, 2.5, 0);
  PutLastText();
  EXPECT_EQ(Written(), (Lines{"cn0 2.5 2.5 0 3", "ch 1 2 1 0 \"T"}));
}

TEST_F(EmitterTest, TextTypeOutOfRangeFallsBackToTheFirstType) {
  d.first.FirstCn = 0;
  d.first.FirstTextWidth = 4;
  d.first.FirstTextHeight = 4.5;
  d.first.FirstTextSpacing = 0.25;
  d.first.FirstTextColour = 6;
  JwwPutCn(w, 11, 1, 9, 9, 9);
  d.first.FirstCn = 7;
  JwwPutCn(w, -1, 1, 9, 9, 9);
  EXPECT_EQ(Written(), (Lines{"cn0 4 4.5 0.25 6", "cn7"}));
}

TEST_F(EmitterTest, CcOutsideZeroToEightIsZero) {
  JwwPutCc(w, 9);
  JwwPutCc(w, -3);
  JwwPutCc(w, 8);
  EXPECT_EQ(Written(), (Lines{"cc0", "cc8"}));
}

TEST_F(EmitterTest, EmptyOrBracketFontNameStandsForTheFirstFont) {
  d.first.FirstFont = kGothic;
  JwwPutFont(w, "");
  JwwPutFont(w, "<>");
  EXPECT_EQ(Written(), (Lines{"cn\"$" + kGothic}));
  d.first.FirstFont.clear();
  JwwPutFont(w, "<>");
  EXPECT_EQ(Written(), (Lines{"cn\"$"}));
}

TEST_F(EmitterTest, ArbitraryColourSequence) {
  TJwwEntSolid2& a = JwwAddEntity(d, rs, d.Solids2, kKindSolid2);
  a.lc = 10, a.lc10 = 255, a.x2 = 1;
  TJwwEntLine& l = AddLine(0, 0, 0, 0, 1, 0);
  l.lc = 1;
  TJwwEntSolid2& b = JwwAddEntity(d, rs, d.Solids2, kKindSolid2);
  b.lc = 10, b.lc10 = 255, b.x2 = 2;
  TJwwEntSolid2& c = JwwAddEntity(d, rs, d.Solids2, kKindSolid2);
  c.lc = 10, c.lc10 = 255, c.x2 = 3;
  TJwwEntSolid2& e = JwwAddEntity(d, rs, d.Solids2, kKindSolid2);
  e.lc = 10, e.lc10 = 0x1000000, e.x2 = 4;
  JwwPutSolid2(w, 0, off);
  JwwPutLn(w, 0, off);
  JwwPutSolid2(w, 1, off);
  JwwPutSolid2(w, 2, off);
  JwwPutSolid2(w, 3, off);
  EXPECT_EQ(Written(), (Lines{"lg0", "ly0", "lc10 255", "sl 0 0 1 0", "lc1", "lt1", "0 0 1 0", "lc10 255",
                              "sl 0 0 2 0", "sl 0 0 3 0", "lc10 0", "sl 0 0 4 0"}));
}

struct ZCase {
  int32_t flags;
  Lines expected;
};

class ZLines : public EmitterTest, public ::testing::WithParamInterface<ZCase> {};

TEST_P(ZLines, OneLinePerFlag) {
  JwwPutZ(w, GetParam().flags);
  EXPECT_EQ(Written(), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Flags, ZLines,
                         ::testing::Values(ZCase{0, {}}, ZCase{1, {"z1"}}, ZCase{2, {"z2"}}, ZCase{4, {"z3"}},
                                           ZCase{8, {"z4"}}, ZCase{16, {"z5"}}, ZCase{18, {"z2", "z5"}},
                                           ZCase{24, {"z5"}}, ZCase{31, {"z1", "z2", "z3", "z5"}},
                                           ZCase{15, {"z1", "z2", "z3", "z4"}}));

// One record written by a new writer, without `lw` lines in the file: the
// lines of a row are everything the record writer appends.
struct RecordCase {
  const char* name;
  std::function<void(TJwwData&, TJwwWriter&, const TJwwOverrides&)> put;
  Lines expected;
};

class RecordLines : public EmitterTest, public ::testing::WithParamInterface<RecordCase> {};

TEST_P(RecordLines, AttributeLinesThenGeometryUnlessDegenerate) {
  GetParam().put(d, w, off);
  EXPECT_EQ(Written(), GetParam().expected);
}

template <typename Rec>
Rec& Add(TJwwData& d, TJwwTable<Rec>& table, TJwwKind kind, int32_t lc = 1) {
  const TJwwReadState rs;
  Rec& r = JwwAddEntity(d, rs, table, kind);
  r.lc = lc;
  r.lt = 1;
  return r;
}

void PutLine(TJwwData& d, TJwwWriter& w, const TJwwOverrides& o, double x1, double y1, double x2, double y2, int32_t z) {
  TJwwEntLine& r = Add(d, d.Lines, kKindLine);
  r.x1 = x1, r.y1 = y1, r.x2 = x2, r.y2 = y2, r.z = z;
  JwwPutLn(w, 0, o);
}

void PutCircle(TJwwData& d, TJwwWriter& w, const TJwwOverrides& o, double radius) {
  TJwwEntCircle& r = Add(d, d.Circles, kKindCircle);
  r.x = 1, r.y = 2, r.r = radius;
  JwwPutCircle(w, 0, o);
}

void PutArc(TJwwData& d, TJwwWriter& w, const TJwwOverrides& o, double radius, double p6) {
  TJwwEntArc& r = Add(d, d.Arcs, kKindArc);
  r.x = 1, r.y = 2, r.r = radius, r.p4 = 0.5, r.p5 = 0, r.p6 = p6, r.p7 = 1;
  JwwPutArc(w, 0, o);
}

void PutText(TJwwData& d, TJwwWriter& w, const TJwwOverrides& o, int32_t kind, double dx, double dy, std::string text) {
  TJwwEntText& r = Add(d, d.Texts, kKindText, 2);
  r.kind = kind, r.cn = 1, r.x = 10, r.y = 20, r.dx = dx, r.dy = dy, r.font = kGothic;
  r.text = std::move(text);
  JwwPutText(w, 0, o);
}

void PutPointEx(TJwwData& d, TJwwWriter& w, const TJwwOverrides& o, double p3, int32_t code) {
  TJwwEntPointEx& r = Add(d, d.PointsEx, kKindPointEx, 5);
  r.x = 1, r.y = 2, r.p3 = p3, r.p4 = 0.5, r.code = code;
  JwwPutPointEx(w, 0, o);
}

void PutDim(TJwwData& d, TJwwWriter& w, const TJwwOverrides& o, double x2, double y2, double dx, std::string text) {
  TJwwEntDim& r = Add(d, d.Dims, kKindDim);
  r.line.lc = 3, r.line.lt = 1, r.line.x2 = x2, r.line.y2 = y2;
  r.text.kind = 2, r.text.cn = 1, r.text.lc = 2, r.text.x = 1, r.text.y = 1, r.text.dx = dx;
  r.text.font = kGothic;
  r.text.text = std::move(text);
  r.z = 2;
  JwwPutDim(w, 0, o);
}

void PutSolid3(TJwwData& d, TJwwWriter& w, const TJwwOverrides& o, double x3, double y3) {
  TJwwEntSolid3& r = Add(d, d.Solids3, kKindSolid3);
  r.x2 = 10, r.x3 = x3, r.y3 = y3;
  JwwPutSolid3(w, 0, o);
}

void PutSc(TJwwData& d, TJwwWriter& w, const TJwwOverrides& o, double p3, double p4, int32_t code) {
  TJwwEntSc& r = Add(d, d.Scs, kKindSc);
  r.p1 = 1, r.p2 = 2, r.p3 = p3, r.p4 = p4, r.p5 = 0, r.p6 = 3.14, r.p7 = 0, r.code = code;
  JwwPutSc(w, 0, o);
}

void PutSe(TJwwData& d, TJwwWriter& w, const TJwwOverrides& o, int32_t code) {
  TJwwEntSe& r = Add(d, d.Ses, kKindSe);
  r.p1 = 1, r.p2 = 2, r.p3 = 5, r.p4 = 1, r.p5 = 0, r.p6 = 3.14, r.p7 = 0, r.code = code;
  JwwPutSe(w, 0, o);
}

void PutSo(TJwwData& d, TJwwWriter& w, const TJwwOverrides& o, bool sg, double p3, double p4, double p8) {
  TJwwEntSo& r = sg ? Add(d, d.Sgs, kKindSg) : Add(d, d.Sos, kKindSo);
  r.p1 = 1, r.p2 = 2, r.p3 = p3, r.p4 = p4, r.p5 = 0, r.p6 = 1, r.p7 = 0, r.p8 = p8;
  if (sg) {
    JwwPutSg(w, 0, o);
  } else {
    JwwPutSo(w, 0, o);
  }
}

const Lines kPen{"lg0", "ly0", "lc1", "lt1"};
const Lines kSolid{"lg0", "ly0", "lc1"};

Lines With(Lines head, std::initializer_list<std::string> tail) {
  head.insert(head.end(), tail);
  return head;
}

const Lines kTextHead{"lg0", "ly0", "cn1", "cc0", "cn\"$" + kGothic};
const Lines kDimHeadNoZ{"lg0", "ly0", "lc3", "lt1", "cn1", "cc0", "cn\"$" + kGothic};
const Lines kDimHead = With(kDimHeadNoZ, {"z2"});

INSTANTIATE_TEST_SUITE_P(
    Records, RecordLines,
    ::testing::Values(
        RecordCase{"Line", [](auto& d, auto& w, auto& o) { PutLine(d, w, o, 0, 0, 100, 50.5, 0); }, With(kPen, {"0 0 100 50.5"})},
        RecordCase{"LineWithZ", [](auto& d, auto& w, auto& o) { PutLine(d, w, o, 5, 5, 6, 5, 17); },
                   With(kPen, {"z1", "z5", "5 5 6 5"})},
        // Flags written without geometry would flag the next entity the host reads.
        RecordCase{"ZeroLengthLineWritesNoZ", [](auto& d, auto& w, auto& o) { PutLine(d, w, o, 5, 5, 5 + 9e-9, 5, 1); },
                   kPen},
        RecordCase{"LineJustAboveTolerance", [](auto& d, auto& w, auto& o) { PutLine(d, w, o, 0, 0, 2e-8, 0, 0); },
                   With(kPen, {"0 0 2E-8 0"})},
        RecordCase{"Circle", [](auto& d, auto& w, auto& o) { PutCircle(d, w, o, 5); }, With(kPen, {"ci 1 2 5"})},
        RecordCase{"CircleRadiusAtTolerance", [](auto& d, auto& w, auto& o) { PutCircle(d, w, o, 1e-8); }, kPen},
        RecordCase{"CircleNegativeRadius", [](auto& d, auto& w, auto& o) { PutCircle(d, w, o, -5); }, kPen},
        RecordCase{"Arc", [](auto& d, auto& w, auto& o) { PutArc(d, w, o, 5, 2); }, With(kPen, {"ci 1 2 5 0.5 0 2 1"})},
        RecordCase{"ArcVanishingP6", [](auto& d, auto& w, auto& o) { PutArc(d, w, o, 5, -1e-8); }, kPen},
        RecordCase{"Text", [](auto& d, auto& w, auto& o) { PutText(d, w, o, 0, 1, 0, "ABC"); },
                   With(kTextHead, {"ch 10 20 1 0 \"ABC"})},
        RecordCase{"TextKeepsItsBlanks", [](auto& d, auto& w, auto& o) { PutText(d, w, o, 3, 0, 1, " A  B "); },
                   With(kTextHead, {"cr 10 20 0 1 \" A  B "})},
        RecordCase{"TextKindOutOfRangeWritesCh", [](auto& d, auto& w, auto& o) { PutText(d, w, o, 12, 1, 0, "A"); },
                   With(kTextHead, {"ch 10 20 1 0 \"A"})},
        RecordCase{"TextOfFullWidthBlanks",
                   [](auto& d, auto& w, auto& o) { PutText(d, w, o, 0, 1, 0, "\x81\x40\x81\x40 \t"); }, kTextHead},
        RecordCase{"TextWithoutDirection", [](auto& d, auto& w, auto& o) { PutText(d, w, o, 0, 1e-9, -1e-9, "A"); },
                   kTextHead},
        RecordCase{"PointExMarkerSizeAndCode", [](auto& d, auto& w, auto& o) { PutPointEx(d, w, o, 0, 12); },
                   Lines{"lg0", "ly0", "pn5", "pt 1 2 1 0.5 -3"}},
        RecordCase{"PointExCodesInRange", [](auto& d, auto& w, auto& o) { PutPointEx(d, w, o, 2, -7); },
                   Lines{"lg0", "ly0", "pn5", "pt 1 2 2 0.5 -7"}},
        RecordCase{"PointExCodeBelowRange", [](auto& d, auto& w, auto& o) { PutPointEx(d, w, o, 2, -8); },
                   Lines{"lg0", "ly0", "pn5", "pt 1 2 2 0.5 -3"}},
        RecordCase{"DimensionWithText", [](auto& d, auto& w, auto& o) { PutDim(d, w, o, 100, 0, 1, "100"); },
                   With(kDimHead, {"msg", "0 0 100 0", "cs 1 1 1 0 \"100"})},
        RecordCase{"DimensionBlankTextShowsLength", [](auto& d, auto& w, auto& o) { PutDim(d, w, o, 3, 4, 1, " \x81\x40"); },
                   With(kDimHead, {"msg", "0 0 3 4", "cs 1 1 1 0 \"5"})},
        RecordCase{"DimensionLengthRoundedToEightDecimals",
                   [](auto& d, auto& w, auto& o) { PutDim(d, w, o, 1.0 / 3.0, 0, 1, ""); },
                   With(kDimHead, {"msg", "0 0 0.333333333333333 0", "cs 1 1 1 0 \"0.33333333"})},
        RecordCase{"DimensionHugeLengthStaysDefined", [](auto& d, auto& w, auto& o) { PutDim(d, w, o, 3e300, 4e300, 1, ""); },
                   With(kDimHead, {"msg", "0 0 3E300 4E300", "cs 1 1 1 0 \"5E300"})},
        RecordCase{"DimensionZeroLine", [](auto& d, auto& w, auto& o) { PutDim(d, w, o, 0, 0, 1, "X"); }, kDimHeadNoZ},
        RecordCase{"DimensionTextWithoutDirection", [](auto& d, auto& w, auto& o) { PutDim(d, w, o, 1, 0, 0, "X"); },
                   kDimHeadNoZ},
        RecordCase{"Solid3", [](auto& d, auto& w, auto& o) { PutSolid3(d, w, o, 0, 10); },
                   With(kSolid, {"sl 0 0 10 0 0 10"})},
        RecordCase{"Solid3ThirdOnFirst", [](auto& d, auto& w, auto& o) { PutSolid3(d, w, o, 0, 1e-9); }, kSolid},
        RecordCase{"Solid3ThirdOnSecond", [](auto& d, auto& w, auto& o) { PutSolid3(d, w, o, 10, 0); }, kSolid},
        RecordCase{"ScCodes", [](auto& d, auto& w, auto& o) { PutSc(d, w, o, 5, 1, -1); },
                   With(kSolid, {"sc 1 2 5 1 0 3.14 0 -1"})},
        RecordCase{"ScUnknownCode", [](auto& d, auto& w, auto& o) { PutSc(d, w, o, 5, 1, 7); }, kSolid},
        RecordCase{"ScNoRadius", [](auto& d, auto& w, auto& o) { PutSc(d, w, o, 1e-8, 1, 0); }, kSolid},
        RecordCase{"ScVanishingP4", [](auto& d, auto& w, auto& o) { PutSc(d, w, o, 5, 0, 0); }, kSolid},
        RecordCase{"Se", [](auto& d, auto& w, auto& o) { PutSe(d, w, o, 100); }, With(kSolid, {"se 1 2 5 1 0 3.14 0 100"})},
        RecordCase{"SeCodeOfSc", [](auto& d, auto& w, auto& o) { PutSe(d, w, o, 5); }, kSolid},
        RecordCase{"So", [](auto& d, auto& w, auto& o) { PutSo(d, w, o, false, 5, 1, 2); },
                   With(kSolid, {"so 1 2 5 1 0 1 0 2"})},
        RecordCase{"SoInnerNotBelowOuter", [](auto& d, auto& w, auto& o) { PutSo(d, w, o, false, 5, 1, 5 - 1e-8); }, kSolid},
        RecordCase{"SoNoInnerRadius", [](auto& d, auto& w, auto& o) { PutSo(d, w, o, false, 5, 1, 1e-8); }, kSolid},
        RecordCase{"Sg", [](auto& d, auto& w, auto& o) { PutSo(d, w, o, true, 5, -1, 2); },
                   With(kSolid, {"sg 1 2 5 -1 0 1 0 2"})},
        RecordCase{"SgVanishingP4", [](auto& d, auto& w, auto& o) { PutSo(d, w, o, true, 5, 1e-9, 2); }, kSolid}),
    CaseName());

struct QuadCase {
  const char* name;
  double p[8];
  const char* expected;  // the geometry line, or "" for none
};

class FourPointSolid : public EmitterTest, public ::testing::WithParamInterface<QuadCase> {};

TEST_P(FourPointSolid, CollapsesCoincidingCorners) {
  const QuadCase& c = GetParam();
  TJwwEntSolid4& r = Add(d, d.Solids4, kKindSolid4);
  r.x1 = c.p[0], r.y1 = c.p[1], r.x2 = c.p[2], r.y2 = c.p[3];
  r.x3 = c.p[4], r.y3 = c.p[5], r.x4 = c.p[6], r.y4 = c.p[7];
  JwwPutSolid4(w, 0, off);
  const Lines expected = *c.expected ? With(kSolid, {c.expected}) : kSolid;
  EXPECT_EQ(Written(), expected);
}

INSTANTIATE_TEST_SUITE_P(
    Corners, FourPointSolid,
    ::testing::Values(QuadCase{"Quad", {0, 0, 10, 0, 10, 10, 0, 10}, "sl 0 0 10 0 10 10 0 10"},
                      QuadCase{"P1OnP2", {0, 0, 0, 0, 10, 10, 0, 10}, "sl 0 0 10 10 0 10"},
                      QuadCase{"P1OnP3", {0, 0, 10, 0, 0, 0, 0, 10}, ""},
                      QuadCase{"P1OnP4", {0, 0, 10, 0, 10, 10, 0, 0}, "sl 0 0 10 0 10 10"},
                      QuadCase{"P2OnP3", {0, 0, 10, 0, 10, 0, 0, 10}, "sl 0 0 10 0 0 10"},
                      QuadCase{"P2OnP4", {0, 0, 10, 0, 10, 10, 10, 0}, ""},
                      QuadCase{"P3OnP4", {0, 0, 10, 0, 10, 10, 10, 10}, "sl 0 0 10 0 10 10"},
                      QuadCase{"TwoPairsLeaveNothing", {0, 0, 0, 0, 10, 10, 10, 10}, ""},
                      QuadCase{"TriangleStillChecked", {0, 0, 0, 0, 10, 10, 0, 5e-9}, ""}),
    CaseName());

TEST_F(EmitterTest, OverridesReplaceTheRecordValues) {
  d.LwSeen = true;
  TJwwOverrides o;
  o.lg = 3, o.ly = 16, o.lc = 5, o.lt = 2, o.lw = 40, o.cc = 2, o.textColour = 4;
  PutLine(d, w, o, 0, 0, 1, 0, 0);
  EXPECT_EQ(Written(), (Lines{"lg3", "ly0", "lc5", "lt2", "lw40", "0 0 1 0"}));
  TJwwEntPoint& p = Add(d, d.Points, kKindPoint, 7);
  p.x = 1;
  JwwPutPoint(w, 0, o);
  EXPECT_EQ(Written(), (Lines{"pn5", "pt 1 0"}));
  TJwwEntText& t = Add(d, d.Texts, kKindText, 2);
  t.cn = 3, t.width = 2.5, t.height = 3, t.spacing = 0.5, t.dx = 1, t.font = kGothic, t.text = "A";
  JwwPutText(w, 0, o);
  EXPECT_EQ(Written(), (Lines{"cn0 2.5 3 0.5 4", "cc2", "cn\"$" + kGothic, "ch 0 0 1 0 \"A"}));
  o.lc = 10, o.lc10 = 77;
  TJwwEntSolid2& s = Add(d, d.Solids2, kKindSolid2, 2);
  s.lc10 = 9, s.x2 = 1;
  JwwPutSolid2(w, 0, o);
  EXPECT_EQ(Written(), (Lines{"lc10 77", "sl 0 0 1 0"}));
}

TEST_F(EmitterTest, IndexOutsideTheTableWritesNothing) {
  for (int32_t kind = 1; kind <= 15; ++kind) {
    JwwPutEntity(w, kind, 0, off);
    JwwPutEntity(w, kind, -1, off);
  }
  EXPECT_EQ(w.Output.Count(), 0u);
}

}  // namespace

namespace {

// Whether a text shows nothing, found without building the text without its
// blanks: the same verdict as RemoveBlanks on double-byte text, cut-off lead
// bytes and control bytes.
TEST(BlankText, AgreesWithRemovingTheBlanks) {
  const struct {
    const char* name;
    std::string text;
    bool blank;
  } rows[] = {
      {"Empty", "", true},
      {"BlanksTabsAndControls", " \t\x01\x1F ", true},
      {"FullWidthBlanks", "\x81\x40 \x81\x40", true},
      {"Letter", "  a", false},
      {"OtherDoubleByte", "\x81\x41", false},
      {"LeadByteCutOff", " \x81", false},
      {"BlankAfterLeadByteIsItsSecondByte", "\x82\x20", false},
      {"SecondByteLooksLikeALeadByte", "\x81\x40\x40", false},
  };
  for (const auto& r : rows) {
    EXPECT_EQ(JwwIsBlankText(r.text), r.blank) << r.name;
    EXPECT_EQ(RemoveBlanks(r.text).empty(), r.blank) << r.name;
  }
  std::mt19937 rng(77);
  const std::string bytes = std::string("\x81\x40\x20\x09\x00\x1F\x21\x82\x9F\xE0\xFD\xFE\x80\xA0", 14);
  for (int n = 0; n < 200000; ++n) {
    std::string text;
    for (std::size_t i = rng() % 7; i > 0; --i) text.push_back(bytes[rng() % bytes.size()]);
    ASSERT_EQ(JwwIsBlankText(text), RemoveBlanks(text).empty()) << n;
  }
}

}  // namespace
