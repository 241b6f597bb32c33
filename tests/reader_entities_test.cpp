// Entity lines: which table each form fills, with which attributes, and how
// texts, dimensions, polylines, points and solids are stored.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <functional>
#include <string>
#include <vector>

#include "exchange/read/line_rules.h"
#include "exchange/read/reader.h"
#include "exchange/source/source_file.h"
#include "util/text.h"

namespace {

TJwwData Parse(const std::vector<std::string>& lines) {
  TJwwData d;
  JwwDataInit(d);
  TJwwReadState rs;
  for (const std::string& line : lines) JwwParseLine(d, rs, line);
  return d;
}

std::vector<int32_t> Kinds(const TJwwData& d) {
  std::vector<int32_t> kinds;
  for (const TJwwOrder& o : d.Order) kinds.push_back(o.kind);
  return kinds;
}

const std::string kPart = "\x95\x94\x95\x69";  // 部品

struct EntityCase {
  const char* name;
  std::vector<std::string> lines;
  std::vector<int32_t> kinds;  // the order list's kinds
  std::function<void(const TJwwData&)> check;
};

std::string CaseName(const testing::TestParamInfo<EntityCase>& p) { return p.param.name; }

class EntityTest : public testing::TestWithParam<EntityCase> {};

TEST_P(EntityTest, StoresRecords) {
  const EntityCase& c = GetParam();
  const TJwwData d = Parse(c.lines);
  EXPECT_EQ(Kinds(d), c.kinds);
  if (c.check) c.check(d);
}

const auto kNoCheck = std::function<void(const TJwwData&)>();

INSTANTIATE_TEST_SUITE_P(
    Forms, EntityTest,
    testing::Values(
        EntityCase{"CircleArcAndWrongCounts",
                   {"ci 0 0 5", "ci 1 2 5 0 90 0 1", "ci 0 0 5 0 9", "ci 0 0 5 ", "ci 0 0 5 0"},
                   {2, 3},
                   [](const TJwwData& d) {
                     EXPECT_EQ(d.Circles[0].r, 5.0);
                     EXPECT_EQ(d.Arcs[0].y, 2.0);
                     EXPECT_EQ(d.Arcs[0].p5, 90.0);
                     EXPECT_EQ(d.Arcs[0].p7, 1.0);
                   }},
        EntityCase{"KeywordWithFourFieldsIsPlainLine",
                   {"hs 1 2 3", "ch 1 2 3", "pt 4 5 6", "sl 1 2 3"},
                   {1, 1, 1, 1},
                   [](const TJwwData& d) {
                     EXPECT_EQ(d.Lines[0].x1, 0.0);
                     EXPECT_EQ(d.Lines[0].y2, 3.0);
                     EXPECT_EQ(d.Lines[2].x2, 5.0);
                   }},
        EntityCase{"SlWithSixOrEightFieldsIgnored", {"sl 1 2 3 4 5", "sl 1 2 3 4 5 6 7"}, {}, kNoCheck},
        EntityCase{"OrderListFollowsFile",
                   {"ci 0 0 1", "0 0 1 1", "ci 0 0 2"},
                   {2, 1, 2},
                   [](const TJwwData& d) {
                     EXPECT_EQ(d.Order[2].index, 1);
                     EXPECT_EQ(d.Order[1].index, 0);
                   }},
        EntityCase{"PointsTakePointColour",
                   {"lc3", "pn5", "pt 1 2", "pt 1 2 3 4 7", "pt 1 2 3 4 5 6 7"},
                   {5, 6, 6},
                   [](const TJwwData& d) {
                     EXPECT_EQ(d.Points[0].lc, 5);
                     EXPECT_EQ(d.PointsEx[0].lc, 5);
                     EXPECT_EQ(d.PointsEx[0].code, 7);
                     EXPECT_EQ(d.PointsEx[0].p4, 4.0);
                   }},
        EntityCase{"BlockNameWhole",
                   {"BL 10 20 \"" + kPart + " A"},
                   {8},
                   [](const TJwwData& d) {
                     EXPECT_EQ(d.Blocks[0].name, kPart + " A");
                     EXPECT_EQ(d.Blocks[0].y, 20.0);
                   }},
        EntityCase{"RoundSolids",
                   {"lc10 255", "sc 1 2 3 4 5 6 7 8", "se 1 2 3 4 5 6 7 -3", "so 1 2 3 4 5 6 7 8",
                    "sg 1 2 3 4 5 6 7 8 9", "sc 1 2 3 4 5 6 7"},
                   {12, 13, 14, 15},
                   [](const TJwwData& d) {
                     EXPECT_EQ(d.Scs[0].code, 8);
                     EXPECT_EQ(d.Scs[0].lc10, 255);
                     EXPECT_EQ(d.Ses[0].code, -3);
                     EXPECT_EQ(d.Sos[0].p8, 8.0);
                     EXPECT_EQ(d.Sgs[0].p7, 7.0);
                   }},
        EntityCase{"RecordTakesAttributesInForce",
                   {"lg2", "ly3", "lc4", "lt5", "lw35", "z1", "hhp9", "0 0 1 1", "ci 0 0 1"},
                   {1, 2},
                   [](const TJwwData& d) {
                     const TJwwEntLine& l = d.Lines[0];
                     EXPECT_EQ(l.lg, 2);
                     EXPECT_EQ(l.ly, 3);
                     EXPECT_EQ(l.lc, 4);
                     EXPECT_EQ(l.lt, 5);
                     EXPECT_EQ(l.lw, 35);
                     EXPECT_EQ(l.z, 1);
                     EXPECT_EQ(l.hhp, 9);
                     EXPECT_EQ(d.Circles[0].z, 0);
                     EXPECT_EQ(d.Circles[0].lw, 35);
                   }},
        // A trailing blank adds a field; the split keeps 32 fields but counts
        // all, so a 40-field line is no plain line, yet still an arc.
        EntityCase{"OverLongLines",
                   {"0 0 1 1 ",
                    "0 0 1 1 2 2 2 2 2 2 2 2 2 2 2 2 2 2 2 2 2 2 2 2 2 2 2 2 2 2 2 2 2 2 2 2 2 2 2 2",
                    "ci 0 0 5 0 90 0 1 1 1 1 1 1 1 1 1 1 1 1 1 1 1 1 1 1 1 1 1 1 1 1 1 1 1 1 1 1 1"},
                   {3},
                   kNoCheck}),
    CaseName);

INSTANTIATE_TEST_SUITE_P(
    Texts, EntityTest,
    testing::Values(
        EntityCase{"QuotedTextKeepsBlankAndClosingQuote",
                   {"ch 10 20 1 0 \"A B\""},
                   {4},
                   [](const TJwwData& d) {
                     const TJwwEntText& tx = d.Texts[0];
                     EXPECT_EQ(tx.text, "A B\"");
                     EXPECT_EQ(tx.kind, 0);
                     EXPECT_EQ(tx.x, 10.0);
                     EXPECT_EQ(tx.dx, 1.0);
                     EXPECT_EQ(tx.font, JwwDefaultFont());
                   }},
        EntityCase{"UnquotedTextIsFirstWord",
                   {"c2 0 0 1 0 A B C"},
                   {4},
                   [](const TJwwData& d) {
                     EXPECT_EQ(d.Texts[0].text, "A");
                     EXPECT_EQ(d.Texts[0].kind, 9);
                   }},
        EntityCase{"TextTypeFromHeaderTable",
                   {"hcw 1 7 1 1 1 1 1 1 1 1", "hch 1 8 1 1 1 1 1 1 1 1", "hcd 0 .5 0 0 0 0 0 0 0 0",
                    "hcc 1 6 1 1 1 1 1 1 1 1", "lc9", "cn2", "cv 0 0 1 0 \"x"},
                   {4},
                   [](const TJwwData& d) {
                     const TJwwEntText& tx = d.Texts[0];
                     EXPECT_EQ(tx.width, 7.0);
                     EXPECT_EQ(tx.height, 8.0);
                     EXPECT_EQ(tx.spacing, 0.5);
                     EXPECT_EQ(tx.lc, 6);
                     EXPECT_EQ(tx.cn, 2);
                     EXPECT_EQ(tx.kind, 1);
                   }},
        EntityCase{"FreeSizeText",
                   {"cn0 5 5 1 3", "cc4", "ck 0 0 1 0 \"x"},
                   {4},
                   [](const TJwwData& d) {
                     const TJwwEntText& tx = d.Texts[0];
                     EXPECT_EQ(tx.width, 5.0);
                     EXPECT_EQ(tx.spacing, 1.0);
                     EXPECT_EQ(tx.lc, 3);
                     EXPECT_EQ(tx.cc, 4);
                     EXPECT_EQ(tx.cn, 0);
                   }},
        EntityCase{"TextTypeOutsideTableUsesFreeSize",
                   {"cn11", "ch 0 0 1 0 \"x"},
                   {4},
                   [](const TJwwData& d) {
                     EXPECT_EQ(d.Texts[0].width, 2.0);
                     EXPECT_EQ(d.Texts[0].lc, 1);
                   }},
        EntityCase{"DefaultTypeOne",
                   {"ch 0 0 1 0 \"x"},
                   {4},
                   [](const TJwwData& d) {
                     EXPECT_EQ(d.Texts[0].width, 3.0);
                     EXPECT_EQ(d.Texts[0].lc, 2);
                   }},
        EntityCase{"TextNeedsSixFields", {"ch 0 0 1 0", "ch 0 0"}, {}, kNoCheck},
        EntityCase{"LongTextKeptWhole",
                   {"ch 0 0 1 0 \"" + std::string(300, 'y'), "cn\"$" + std::string(400, 'f'), "ch 0 0 1 0 \"z"},
                   {4, 4},
                   [](const TJwwData& d) {
                     EXPECT_EQ(d.Texts[0].text, std::string(300, 'y'));
                     EXPECT_EQ(d.Texts[1].font, std::string(400, 'f'));
                   }}),
    CaseName);

INSTANTIATE_TEST_SUITE_P(
    Dimensions, EntityTest,
    testing::Values(
        EntityCase{"LineThenText",
                   {"msg", "0 0 100 0", "cs 50 2 1 0 \"100"},
                   {7},
                   [](const TJwwData& d) {
                     const TJwwEntDim& m = d.Dims[0];
                     EXPECT_EQ(m.line.x2, 100.0);
                     EXPECT_EQ(m.line.x1, 0.0);
                     EXPECT_EQ(m.text.text, "100");
                     EXPECT_EQ(m.text.kind, 2);
                     EXPECT_EQ(m.text.x, 50.0);
                   }},
        EntityCase{"AttributesOfLineAndTextKeptApart",
                   {"msg", "lc3", "lw10", "0 0 5 0", "lc5", "lw20", "cs 0 0 1 0 \"5"},
                   {7},
                   [](const TJwwData& d) {
                     const TJwwEntDim& m = d.Dims[0];
                     EXPECT_EQ(m.line.lc, 3);
                     EXPECT_EQ(m.line.lw, 10);
                     EXPECT_EQ(m.lc, 5);
                     EXPECT_EQ(m.lw, 20);
                     EXPECT_EQ(m.text.lw, 20);
                   }},
        EntityCase{"SecondPlainLineReplacesFirst",
                   {"msg", "0 0 1 0", "z2", "0 0 7 0", "cs 0 0 1 0 \"7", "0 0 1 1"},
                   {7, 1},
                   [](const TJwwData& d) {
                     EXPECT_EQ(d.Dims[0].line.x2, 7.0);
                     EXPECT_EQ(d.Dims[0].line.z, 2);
                     EXPECT_EQ(d.Dims[0].z, 0);  // the plain line used the flag up
                     EXPECT_EQ(d.Lines[0].z, 0);
                   }},
        EntityCase{"TextWithoutLineTakesUnitLineThenPreviousLine",
                   {"msg", "cs 0 0 1 0 \"a", "msg", "0 0 9 9", "cs 0 0 1 0 \"b", "msg", "cs 0 0 1 0 \"c"},
                   {7, 7, 7},
                   [](const TJwwData& d) {
                     EXPECT_EQ(d.Dims[0].line.x2, 1.0);
                     EXPECT_EQ(d.Dims[0].line.lc, 1);
                     EXPECT_EQ(d.Dims[2].line.y2, 9.0);
                   }},
        EntityCase{"OtherEntityAbandonsDimension",
                   {"msg", "ch 0 0 1 0 \"X", "cs 0 0 1 0 \"Y", "msg", "ci 0 0 1", "0 0 1 1"},
                   {4, 4, 2, 1},
                   [](const TJwwData& d) { EXPECT_EQ(d.Texts[1].kind, 2); }},
        EntityCase{"PolylineAndHashAbandonDimension",
                   {"msg", "pl", "0 0 1 1", "msg", "#", "0 0 2 2"},
                   {1, 1},
                   kNoCheck}),
    CaseName);

INSTANTIATE_TEST_SUITE_P(
    Polylines, EntityTest,
    testing::Values(
        EntityCase{"EndedByAttributeLine",
                   {"pl", "0 0 1 0", "1 0 1 1", "1 1 0 1", "lc2", "0 1 0 0"},
                   {1, 1, 1, 1},
                   [](const TJwwData& d) {
                     EXPECT_EQ(d.Lines[0].pl, 1);
                     EXPECT_EQ(d.Lines[2].pl, 1);
                     EXPECT_EQ(d.Lines[3].pl, 0);
                   }},
        EntityCase{"ModifiersKeepItOpenEntitiesEndIt",
                   {"pl", "0 0 1 0", "z1", "hhp2", "hp3 1 1", "0 0 2 0", "pl", "0 0 3 0", "ci 0 0 1", "0 0 4 0"},
                   {1, 1, 1, 2, 1},
                   [](const TJwwData& d) {
                     EXPECT_EQ(d.Lines[1].pl, 1);
                     EXPECT_EQ(d.Lines[2].pl, 2);
                     EXPECT_EQ(d.Lines[3].pl, 0);
                   }},
        EntityCase{"NameAndHeaderLinesKeepItOpen",
                   {"pl", "lgnA", "hk 1", "0 0 1 0", "cn\"$x", "0 0 1 0"},
                   {1, 1},
                   [](const TJwwData& d) {
                     EXPECT_EQ(d.Lines[0].pl, 1);
                     EXPECT_EQ(d.Lines[1].pl, 0);
                   }}),
    CaseName);

// --- Solids ---------------------------------------------------------------

struct SolidCase {
  const char* name;
  std::string line;
  int32_t kind;                // 9, 10 or 11
  std::vector<double> points;  // x1 y1 x2 y2 ...
};

std::string SolidName(const testing::TestParamInfo<SolidCase>& p) { return p.param.name; }

class SolidTest : public testing::TestWithParam<SolidCase> {};

TEST_P(SolidTest, CollapsesCoincidingCorners) {
  const SolidCase& c = GetParam();
  const TJwwData d = Parse({"lc10 77", "lc3", c.line});
  ASSERT_EQ(Kinds(d), std::vector<int32_t>{c.kind});
  std::vector<double> got;
  int32_t lc10 = 0;
  if (c.kind == kKindSolid2) {
    const auto& s = d.Solids2[0];
    got = {s.x1, s.y1, s.x2, s.y2};
    lc10 = s.lc10;
  } else if (c.kind == kKindSolid3) {
    const auto& s = d.Solids3[0];
    got = {s.x1, s.y1, s.x2, s.y2, s.x3, s.y3};
    lc10 = s.lc10;
  } else {
    const auto& s = d.Solids4[0];
    got = {s.x1, s.y1, s.x2, s.y2, s.x3, s.y3, s.x4, s.y4};
    lc10 = s.lc10;
  }
  EXPECT_EQ(got, c.points);
  EXPECT_EQ(lc10, 77);
  EXPECT_EQ(d.Order[0].index, 0);
}

INSTANTIATE_TEST_SUITE_P(
    Corners, SolidTest,
    testing::Values(
        SolidCase{"TwoPointsAsGiven", "sl 0 0 0 0", 9, {0, 0, 0, 0}},
        SolidCase{"ThreeFirstTwoSame", "sl 0 0 0 0 10 10", 9, {0, 0, 10, 10}},
        SolidCase{"ThreeLastTwoSame", "sl 0 0 10 0 10 0", 9, {0, 0, 10, 0}},
        SolidCase{"ThreeFirstAndLastSameNotTested", "sl 5 5 10 0 5 5", 10, {5, 5, 10, 0, 5, 5}},
        SolidCase{"ThreeDistinct", "sl 0 0 10 0 0 10", 10, {0, 0, 10, 0, 0, 10}},
        SolidCase{"ThreeWithinTolerance", "sl 0 0 0.00000000001 0 7 7", 9, {0, 0, 7, 7}},
        SolidCase{"ThreeJustOutsideTolerance", "sl 0 0 0.0000000002 0 7 7", 10, {0, 0, 2e-10, 0, 7, 7}},
        SolidCase{"FourFirstThreeSame", "sl 0 0 0 0 0 0 5 5", 9, {0, 0, 5, 5}},
        SolidCase{"FourLastThreeSame", "sl 0 0 5 5 5 5 5 5", 9, {0, 0, 5, 5}},
        SolidCase{"FourPairsSame", "sl 0 0 0 0 5 5 5 5", 9, {0, 0, 5, 5}},
        SolidCase{"FourLastRepeatsThird", "sl 0 0 10 0 10 10 10 10", 10, {0, 0, 10, 0, 10, 10}},
        SolidCase{"FourLastRepeatsFirst", "sl 0 0 10 0 10 10 0 0", 10, {0, 0, 10, 0, 10, 10}},
        SolidCase{"FourThirdRepeatsSecond", "sl 0 0 10 0 10 0 0 10", 10, {0, 0, 10, 0, 0, 10}},
        SolidCase{"FourSecondRepeatsFirst", "sl 0 0 0 0 10 0 0 10", 10, {0, 0, 10, 0, 0, 10}},
        SolidCase{"FourDistinct", "sl 0 0 10 0 10 10 0 10", 11, {0, 0, 10, 0, 10, 10, 0, 10}},
        SolidCase{"FourWithExtraFields", "sl 0 0 10 0 10 10 0 10 99", 11, {0, 0, 10, 0, 10, 10, 0, 10}}),
    SolidName);

// Every keyword, its near misses and field counts from 1 to 10: the table a
// line lands in, as the forms say (fields of distinct numbers, so solids keep
// all their corners). A line no form takes is a plain line when it has four
// fields, else nothing.
int32_t KindFor(const std::string& key, std::size_t n) {
  static const std::vector<std::string> texts = {"ch", "cv", "cs", "cr", "co", "cp", "ct", "ck", "cz", "c2"};
  const bool text = std::find(texts.begin(), texts.end(), key) != texts.end();
  int32_t kind = 0;
  if (key == "ci") kind = n == 4 ? kKindCircle : n >= 8 ? kKindArc : 0;
  if (text && n >= 6) kind = kKindText;
  if (key == "pt") kind = n == 3 ? kKindPoint : n >= 6 ? kKindPointEx : 0;
  if (key == "BL" && n >= 4) kind = kKindBlock;
  if (key == "sl") kind = n == 5 ? kKindSolid2 : n == 7 ? kKindSolid3 : n >= 9 ? kKindSolid4 : 0;
  if (n >= 9) {
    if (key == "sc") kind = kKindSc;
    if (key == "se") kind = kKindSe;
    if (key == "so") kind = kKindSo;
    if (key == "sg") kind = kKindSg;
  }
  if (kind == 0 && n == 4) kind = kKindLine;
  return kind;
}

TEST(EntityKeywords, EachKeyAndCountLandsInItsTable) {
  const std::vector<std::string> keys = {"ci", "ch", "cv", "cs", "cr", "co", "cp", "ct", "ck", "cz", "c2", "cq", "c",
                                         "cii", "pt", "pT", "Pt", "BL", "Bl", "sl", "sc", "se", "so", "sg", "sx",
                                         "s", "xx"};
  for (const std::string& key : keys) {
    for (std::size_t n = 1; n <= 10; ++n) {
      std::string line = key;
      for (std::size_t i = 1; i < n; ++i) line += " " + std::to_string(i * 7);
      const TJwwData d = Parse({line});
      const int32_t want = KindFor(key, n);
      EXPECT_EQ(Kinds(d), want == 0 ? std::vector<int32_t>{} : std::vector<int32_t>{want}) << line;
    }
  }
}

}  // namespace

namespace {

// A keyword line's numbers are read inline when they are plain decimal text
// and by TextToFloat otherwise: either way each reads to the bit as
// TextToFloat reads its text, and is marked for copying exactly when
// TextToFloat calls it the answer's own text.
TEST(EntityNumbers, KeywordFieldsReadAsTextToFloatReadsThem) {
  const std::string texts[] = {"0",     "-0",    "12",  "-12.5", "12.50", "007",  ".5",   "-.5",  "5.",
                               "1e3",   "-2E-7", "+4",  "-",     ".",     "--1",  "1-2",  "1.2.3", "0.0001",
                               "0.00001", "123456789012345", "1234567890123456", "-9498.44441417702",
                               "99999999999999999999", "1x", "0x10", std::string(30, '9') + ".5"};
  for (const std::string& text : texts) {
    TJwwData d;
    JwwDataInit(d);
    TJwwReadState rs;
    std::string line = "ci " + text + " 2 3";
    JwwApplyLine(d, rs, line.data(), line.size(), 10);
    ASSERT_EQ(d.Circles.size(), 1u) << text;
    bool own = false;
    const double want = TextToFloat(text, &own);
    EXPECT_EQ(std::memcmp(&d.Circles[0].x, &want, sizeof want), 0) << text;
    const std::uint16_t fields = TJwwLineSource::Fields(d.Order.back().source);
    EXPECT_EQ((fields >> 1 & 1u) != 0, own) << text;
  }
}

}  // namespace
