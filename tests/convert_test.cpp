// The width conversion: which kinds take a width for which check boxes, the
// colour-10 rule for solids, the dimension line's own layer, and the counts.
#include "app/convert.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

#include "tests/support/store_records.h"

namespace {

constexpr int32_t kOldWidth = 7;

template <typename Rec>
Rec& Add(TJwwData& d, TJwwTable<Rec>& table, TJwwKind kind, int32_t lg, int32_t ly, int32_t lc = 1) {
  return AddStoreRecord(d, table, kind, lg, ly, lc, kOldWidth);
}

// One record of every kind, all on one layer.
TJwwData OneOfEach(int32_t lg, int32_t ly) { return OneRecordOfEachKind(lg, ly, kOldWidth); }

// The width of the first record of each kind (a dimension: its line's width).
int32_t WidthOf(const TJwwData& d, int kind) {
  switch (kind) {
    case kKindLine: return d.Lines[0].lw;
    case kKindCircle: return d.Circles[0].lw;
    case kKindArc: return d.Arcs[0].lw;
    case kKindText: return d.Texts[0].lw;
    case kKindPoint: return d.Points[0].lw;
    case kKindPointEx: return d.PointsEx[0].lw;
    case kKindDim: return d.Dims[0].line.lw;
    case kKindBlock: return d.Blocks[0].lw;
    case kKindSolid2: return d.Solids2[0].lw;
    case kKindSolid3: return d.Solids3[0].lw;
    case kKindSolid4: return d.Solids4[0].lw;
    case kKindSc: return d.Scs[0].lw;
    case kKindSe: return d.Ses[0].lw;
    case kKindSo: return d.Sos[0].lw;
    case kKindSg: return d.Sgs[0].lw;
    default: return -100;
  }
}

TPresetTable TableWith(int index, int32_t width) {
  TPresetTable t;
  t.Widths[static_cast<std::size_t>(index)] = width;
  return t;
}

TEST(ConvertWidths, CheckBoxesChooseTheConvertedKinds) {
  const std::set<int> always = {kKindLine, kKindCircle, kKindArc};
  const struct {
    const char* name;
    TConvertKinds kinds;
    std::set<int> extra;
  } rows[] = {
      {"none ticked", {}, {}},
      {"points", {true, false, false, false}, {kKindPoint, kKindPointEx}},
      {"dimensions", {false, true, false, false}, {kKindDim}},
      {"solids", {false, false, true, false}, {kKindSolid2, kKindSe}},
      {"arbitrary colour alone", {false, false, false, true}, {}},
      {"all four", {true, true, true, true}, {kKindPoint, kKindPointEx, kKindDim, kKindSolid2, kKindSe}},
  };
  for (const auto& r : rows) {
    TJwwData d = OneOfEach(2, 10);
    ConvertWidths(d, TableWith(2 * 16 + 10, 120), r.kinds);
    for (int kind = 1; kind <= 15; ++kind) {
      const bool converted = always.count(kind) != 0 || r.extra.count(kind) != 0;
      EXPECT_EQ(WidthOf(d, kind), converted ? 120 : kOldWidth) << r.name << ", kind " << kind;
    }
    EXPECT_EQ(d.Dims[0].lw, kOldWidth) << "a dimension's own width never changes";
  }
}

TEST(ConvertWidths, CellValueDecides) {
  const struct {
    int lg, ly;
    int32_t cell;
    int32_t want;
  } rows[] = {
      {0, 0, -1, kOldWidth},  // -1 leaves the width
      {2, 10, 0, 0},          // 0 is a width like any other
      {15, 15, 30000, 30000},
      {1, 0, 1, 1},
  };
  for (const auto& r : rows) {
    TJwwData d = OneOfEach(r.lg, r.ly);
    ConvertWidths(d, TableWith(r.lg * 16 + r.ly, r.cell), TConvertKinds{true, true, true, true});
    EXPECT_EQ(d.Lines[0].lw, r.want) << r.lg << "-" << r.ly;
    EXPECT_EQ(d.Solids2[0].lw, r.want) << r.lg << "-" << r.ly;
  }
}

TEST(ConvertWidths, EachRecordTakesItsOwnLayer) {
  TJwwData d;
  JwwDataInit(d);
  Add(d, d.Lines, kKindLine, 0, 0);
  Add(d, d.Lines, kKindLine, 0, 1);
  Add(d, d.Lines, kKindLine, 1, 0);
  TPresetTable t;
  t.Widths[0] = 100;
  t.Widths[1] = -1;
  t.Widths[16] = 35;
  ConvertWidths(d, t, {});
  EXPECT_EQ(d.Lines[0].lw, 100);
  EXPECT_EQ(d.Lines[1].lw, kOldWidth);
  EXPECT_EQ(d.Lines[2].lw, 35);
}

TEST(ConvertWidths, ArbitraryColourSolidsNeedBothBoxes) {
  const struct {
    bool solids, arbitrary;
    int32_t lc;
    bool converted;
  } rows[] = {
      {true, false, 10, false}, {true, false, 3, true},   {true, true, 10, true},
      {true, true, 3, true},    {false, true, 10, false}, {false, true, 3, false},
  };
  for (const auto& r : rows) {
    TJwwData d;
    JwwDataInit(d);
    Add(d, d.Solids2, kKindSolid2, 4, 4, r.lc);
    Add(d, d.Ses, kKindSe, 4, 4, r.lc);
    ConvertWidths(d, TableWith(4 * 16 + 4, 60), TConvertKinds{false, false, r.solids, r.arbitrary});
    const int32_t want = r.converted ? 60 : kOldWidth;
    EXPECT_EQ(d.Solids2[0].lw, want) << r.solids << r.arbitrary << " lc " << r.lc;
    EXPECT_EQ(d.Ses[0].lw, want) << r.solids << r.arbitrary << " lc " << r.lc;
  }
}

TEST(ConvertWidths, DimensionTakesTheLayerOfItsLine) {
  TJwwData d;
  JwwDataInit(d);
  TJwwEntDim& dim = Add(d, d.Dims, kKindDim, 1, 1);
  dim.line.lg = 0;
  dim.line.ly = 5;
  dim.line.lw = kOldWidth;
  dim.text.lw = kOldWidth;
  TPresetTable t;
  t.Widths[5] = 50;
  t.Widths[17] = 90;

  TJwwData off = d;
  ConvertWidths(off, t, TConvertKinds{false, false, false, false});
  EXPECT_EQ(off.Dims[0].line.lw, kOldWidth);

  ConvertWidths(d, t, TConvertKinds{false, true, false, false});
  EXPECT_EQ(d.Dims[0].line.lw, 50);
  EXPECT_EQ(d.Dims[0].lw, kOldWidth);
  EXPECT_EQ(d.Dims[0].text.lw, kOldWidth);
}

TEST(ConvertWidths, OnlyTheWidthChanges) {
  TJwwData d;
  JwwDataInit(d);
  TJwwEntLine& line = Add(d, d.Lines, kKindLine, 3, 3, 5);
  line.hhp = 4;
  line.lt = 2;
  line.z = 18;
  line.pl = 6;
  line.x1 = 1.5;
  line.y2 = -2.25;
  ConvertWidths(d, TableWith(3 * 16 + 3, 25), {});
  const TJwwEntLine& got = d.Lines[0];
  EXPECT_EQ(got.lw, 25);
  EXPECT_EQ(got.hhp, 4);
  EXPECT_EQ(got.lg, 3);
  EXPECT_EQ(got.ly, 3);
  EXPECT_EQ(got.lc, 5);
  EXPECT_EQ(got.lt, 2);
  EXPECT_EQ(got.z, 18);
  EXPECT_EQ(got.pl, 6);
  EXPECT_EQ(got.x1, 1.5);
  EXPECT_EQ(got.y2, -2.25);
  EXPECT_EQ(d.Order.size(), 1u);
}

TEST(ConvertWidths, LayerOutsideTheGridIsLeftAlone) {
  TJwwData d;
  JwwDataInit(d);
  Add(d, d.Lines, kKindLine, 16, 0);
  Add(d, d.Lines, kKindLine, 0, -1);
  Add(d, d.Lines, kKindLine, -1, 15);
  TPresetTable t;
  t.Widths.fill(44);
  ConvertWidths(d, t, {});
  for (const auto& l : d.Lines) EXPECT_EQ(l.lw, kOldWidth);
}

TEST(ConvertWidths, CountsRecordsLookedAtAndGivenAWidth) {
  TJwwData d;
  JwwDataInit(d);
  Add(d, d.Lines, kKindLine, 0, 0);
  Add(d, d.Lines, kKindLine, 0, 1);
  Add(d, d.Lines, kKindLine, 0, 0);
  Add(d, d.Solids2, kKindSolid2, 0, 0, 10);
  Add(d, d.Solids2, kKindSolid2, 0, 0, 2);
  Add(d, d.Points, kKindPoint, 0, 0);
  Add(d, d.Texts, kKindText, 0, 0);
  TConvertStats stats;
  stats.set[kKindLine] = 99;  // counts start afresh on every call
  ConvertWidths(d, TableWith(0, 0), TConvertKinds{false, false, true, false}, &stats);
  EXPECT_EQ(stats.seen[kKindLine], 3);
  EXPECT_EQ(stats.set[kKindLine], 2);
  EXPECT_EQ(stats.seen[kKindSolid2], 2);
  EXPECT_EQ(stats.set[kKindSolid2], 1);
  EXPECT_EQ(stats.seen[kKindPoint], 0);
  EXPECT_EQ(stats.set[kKindPoint], 0);
  EXPECT_EQ(stats.seen[kKindText], 0);
}

}  // namespace
