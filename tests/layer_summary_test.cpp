// The per-layer summary: what it counts where, that its promise matches what the
// conversion then does, and the texts the window and the stats command show.
#include "app/layer_summary.h"

#include <gtest/gtest.h>

#include <string>

#include "exchange/read/reader.h"
#include "tests/support/store_records.h"

namespace {

template <typename Rec>
Rec& Add(TJwwData& d, TJwwTable<Rec>& table, TJwwKind kind, int32_t lg, int32_t ly, int32_t lc = 1) {
  return AddStoreRecord(d, table, kind, lg, ly, lc);
}

// Every table once on layer (lg, ly), plus a solid of each width-taking table in colour 10.
TJwwData OneOfEach(int32_t lg, int32_t ly) {
  TJwwData d = OneRecordOfEachKind(lg, ly);
  Add(d, d.Solids2, kKindSolid2, lg, ly, 10);
  Add(d, d.Ses, kKindSe, lg, ly, 10);
  return d;
}

TGridWidths AllWidths(int32_t w) {
  TGridWidths widths;
  widths.fill(w);
  return widths;
}

TConvertKinds Kinds(bool points, bool dims, bool solids, bool arbitrary) {
  TConvertKinds k;
  k.points = points;
  k.dims = dims;
  k.solids = solids;
  k.arbitrary = arbitrary;
  return k;
}

TCellUse UseAt(const TGridUse& use, int col, int row) { return use[static_cast<std::size_t>(row * 17 + col)]; }

}  // namespace

TEST(LayerSummary, CountsEveryKindOnItsLayer) {
  const TLayerSummary s = SummarizeLayers(OneOfEach(2, 10));
  const TLayerCounts& c = s.At(2, 10);
  struct Row {
    TSummaryKind kind;
    int64_t count;
  };
  for (const Row& row : {Row{TSummaryKind::Lines, 1}, Row{TSummaryKind::Circles, 1}, Row{TSummaryKind::Arcs, 1},
                         Row{TSummaryKind::Texts, 1}, Row{TSummaryKind::Points, 2}, Row{TSummaryKind::Dims, 1},
                         Row{TSummaryKind::Solids, 9}, Row{TSummaryKind::Blocks, 1}}) {
    EXPECT_EQ(c.Count(row.kind), row.count) << static_cast<int>(row.kind);
  }
  EXPECT_EQ(c.plainSolids, 2);
  EXPECT_EQ(c.arbitrarySolids, 2);
  EXPECT_EQ(c.Total(), 17);
  EXPECT_EQ(s.total, 17);
  EXPECT_EQ(s.At(0, 0).Total(), 0);
}

TEST(LayerSummary, ConvertibleFollowsTheCheckBoxes) {
  // Always: line, circle, arc. Points 2, dimension 1, plain solids 2, colour-10 solids 2.
  struct Row {
    const char* name;
    TConvertKinds kinds;
    int64_t expected;
  };
  const TLayerSummary s = SummarizeLayers(OneOfEach(0, 1));
  for (const Row& row : {Row{"none", Kinds(false, false, false, false), 3},
                         Row{"points", Kinds(true, false, false, false), 5},
                         Row{"dims", Kinds(false, true, false, false), 4},
                         Row{"solids", Kinds(false, false, true, false), 5},
                         Row{"solids and arbitrary", Kinds(false, false, true, true), 7},
                         Row{"arbitrary alone converts no solid", Kinds(false, false, false, true), 3},
                         Row{"all", Kinds(true, true, true, true), 10}}) {
    EXPECT_EQ(s.At(0, 1).Convertible(row.kinds), row.expected) << row.name;
    EXPECT_EQ(ConvertedOn(s.At(0, 1), 0, row.kinds), row.expected) << row.name << ": width 0 is a width";
    EXPECT_EQ(ConvertedOn(s.At(0, 1), -1, row.kinds), 0) << row.name << ": -1 converts nothing";
  }
}

// What the window promises must be what OK does, for every combination of ticks.
TEST(LayerSummary, PromiseMatchesTheConversionForEveryTickCombination) {
  TJwwData d = OneOfEach(1, 1);
  Add(d, d.Lines, kKindLine, 3, 4);
  Add(d, d.Points, kKindPoint, 3, 5);
  TJwwEntDim& dim = Add(d, d.Dims, kKindDim, 3, 6);
  dim.line.lg = 3;
  dim.line.ly = 7;
  TPresetTable table;
  table.Widths[1 * 16 + 1] = 25;
  table.Widths[3 * 16 + 4] = 0;
  table.Widths[3 * 16 + 7] = 300;  // the dimension line's layer
  const TLayerSummary s = SummarizeLayers(d);
  for (int bits = 0; bits < 16; ++bits) {
    const TConvertKinds kinds = Kinds(bits & 1, bits & 2, bits & 4, bits & 8);
    int64_t promised = 0;
    for (std::size_t i = 0; i < 256; ++i) promised += ConvertedOn(s.layers[i], table.Widths[i], kinds);
    TJwwData copy = d;
    TConvertStats stats;
    ConvertWidths(copy, table, kinds, &stats);
    int64_t done = 0;
    for (int64_t n : stats.set) done += n;
    EXPECT_EQ(promised, done) << "ticks " << bits;
  }
}

TEST(LayerSummary, DimensionCountsOnTheLayerOfItsLine) {
  TJwwData d;
  JwwDataInit(d);
  TJwwEntDim& dim = Add(d, d.Dims, kKindDim, 4, 4);
  dim.line.lg = 5;
  dim.line.ly = 6;
  const TLayerSummary s = SummarizeLayers(d);
  EXPECT_EQ(s.At(5, 6).Count(TSummaryKind::Dims), 1);
  EXPECT_EQ(s.At(4, 4).Total(), 0);
}

TEST(LayerSummary, LayerOutsideTheGridCountsNowhere) {
  TJwwData d;
  JwwDataInit(d);
  Add(d, d.Lines, kKindLine, 16, 0);
  Add(d, d.Lines, kKindLine, 0, -1);
  Add(d, d.Lines, kKindLine, 15, 15);
  const TLayerSummary s = SummarizeLayers(d);
  EXPECT_EQ(s.total, 1);
  EXPECT_EQ(s.At(15, 15).Total(), 1);
}

TEST(LayerSummary, NamesComeFromTheFileWithoutTheirQuote) {
  TJwwData d;
  JwwDataInit(d);
  // lg2, lgn"設備, ly1, lyn"器具 (a quoted name), then lyn plain on layer 3
  JwwReadBytes(d, "lg2\r\nlgn\"\x90\xDD\x94\xF5\r\nly1\r\nlyn\"\x8A\xED\x8B\xEF\r\nly3\r\nlynplain\r\n0 0 1 1\r\n");
  const TLayerSummary s = SummarizeLayers(d);
  EXPECT_EQ(s.groupNames[2], "\x90\xDD\x94\xF5");
  EXPECT_EQ(s.layerNames[2 * 16 + 1], "\x8A\xED\x8B\xEF");
  EXPECT_EQ(s.layerNames[2 * 16 + 3], "plain");
  EXPECT_EQ(s.groupNames[0], "");
  EXPECT_EQ(s.At(2, 3).Count(TSummaryKind::Lines), 1);
}

TEST(LayerSummary, CellTextReadsAsOkReadsIt) {
  struct Row {
    const char* text;
    int32_t width;
  };
  for (const Row& row : {Row{"25", 25}, Row{"-1", -1}, Row{"0", 0}, Row{"30000", 30000}, Row{"30001", -1},
                         Row{"-5", -1}, Row{"abc", 0}, Row{"", 0}, Row{" 7", 7}, Row{"7 ", 0}, Row{"$10", 16},
                         Row{"\x82\x50\x82\x51", 0}}) {  // full-width "１２" reaches a cell only as ASCII
    EXPECT_EQ(CellWidth(row.text), row.width) << '"' << row.text << '"';
  }
}

TEST(LayerSummary, GridUseTintsCellsAndMarksHeaders) {
  TJwwData d;
  JwwDataInit(d);
  Add(d, d.Lines, kKindLine, 0, 1);   // cell (2, 1): converts with a width
  Add(d, d.Lines, kKindLine, 0, 2);   // cell (3, 1): width -1
  Add(d, d.Texts, kKindText, 5, 5);   // cell (6, 6): texts never convert
  Add(d, d.Points, kKindPoint, 7, 8); // cell (9, 8): points, box not ticked
  TGridWidths widths = AllWidths(10);
  widths[2] = -1;
  const TGridUse use = GridUse(SummarizeLayers(d), widths, TConvertKinds{});
  struct Row {
    int col, row;
    TCellUse use;
  };
  for (const Row& row : {Row{2, 1, TCellUse::Converts}, Row{3, 1, TCellUse::Untouched},
                         Row{6, 6, TCellUse::Untouched}, Row{9, 8, TCellUse::Untouched},
                         Row{1, 1, TCellUse::Unused}, Row{16, 16, TCellUse::Unused},
                         Row{0, 1, TCellUse::Converts},    // group 0: one cell converts
                         Row{3, 0, TCellUse::Untouched},   // layer 2: held, not converted
                         Row{0, 6, TCellUse::Untouched}, Row{0, 2, TCellUse::Unused},
                         Row{0, 0, TCellUse::Unused}}) {
    EXPECT_EQ(UseAt(use, row.col, row.row), row.use) << row.col << "," << row.row;
  }
  TConvertKinds points;
  points.points = true;
  EXPECT_EQ(UseAt(GridUse(SummarizeLayers(d), widths, points), 9, 8), TCellUse::Converts);
}

TEST(LayerSummary, FirstUsedCellGoesRowByRow) {
  TGridUse use;
  use.fill(TCellUse::Unused);
  int col = 0, row = 0;
  EXPECT_FALSE(FirstUsedCell(use, col, row));
  use[9 * 17 + 12] = TCellUse::Untouched;
  use[10 * 17 + 2] = TCellUse::Converts;
  use[0 * 17 + 3] = TCellUse::Converts;  // a header is not a cell to show
  ASSERT_TRUE(FirstUsedCell(use, col, row));
  EXPECT_EQ(col, 12);
  EXPECT_EQ(row, 9);
}

TEST(LayerSummary, WidthInMillimetres) {
  struct Row {
    int32_t width;
    const char* text;
  };
  for (const Row& row : {Row{25, "0.25"}, Row{0, "0.00"}, Row{5, "0.05"}, Row{100, "1.00"}, Row{130, "1.30"},
                         Row{30000, "300.00"}, Row{-1, ""}}) {
    EXPECT_EQ(WidthMillimetres(row.width), row.text) << row.width;
  }
}

// レイヤグループ, レイヤ, 「 」, 線, 円, 文字, OKで変換, 件, 線幅, （変更しない）, the ideographic space
#define GROUP "\x83\x8C\x83\x43\x83\x84\x83\x4F\x83\x8B\x81\x5B\x83\x76"
#define LAYER "\x83\x8C\x83\x43\x83\x84"
#define OPEN "\x81\x75"
#define CLOSE "\x81\x76"
#define GAP "\x81\x40"
#define LINES "\x90\xFC"
#define CIRCLES "\x89\x7E"
#define TEXTS "\x95\xB6\x8E\x9A"
#define CONVERTS "OK\x82\xC5\x95\xCF\x8A\xB7"
#define ITEMS "\x8C\x8F"
#define WIDTH "\x90\xFC\x95\x9D"
#define KEEP "\x81\x69\x95\xCF\x8D\x58\x82\xB5\x82\xC8\x82\xA2\x81\x6A"

class LayerSummaryTexts : public ::testing::Test {
 protected:
  void SetUp() override {
    JwwDataInit(d_);
    Add(d_, d_.Lines, kKindLine, 2, 10);
    Add(d_, d_.Lines, kKindLine, 2, 10);
    Add(d_, d_.Circles, kKindCircle, 2, 10);
    Add(d_, d_.Texts, kKindText, 2, 10);
    Add(d_, d_.Lines, kKindLine, 3, 10);
    d_.LgNames[2] = "\"wall";
    d_.LyNames[2 * 16 + 10] = "\"core";
    s_ = SummarizeLayers(d_);
    widths_ = AllWidths(-1);
    widths_[2 * 16 + 10] = 25;
  }
  TJwwData d_;
  TLayerSummary s_;
  TGridWidths widths_{};
};

TEST_F(LayerSummaryTexts, DataCellTooltipNamesCountsAndWidth) {
  EXPECT_EQ(CellTooltipText(s_, widths_, TConvertKinds{}, 11, 3),
            GROUP " 2" OPEN "wall" CLOSE GAP LAYER " A" OPEN "core" CLOSE "\r\n" LINES " 2" GAP CIRCLES " 1" GAP TEXTS
            " 1\r\n" CONVERTS " 3 " ITEMS GAP WIDTH " 25 (0.25 mm)");
  // Unnamed, width -1: no brackets, nothing converted.
  EXPECT_EQ(CellTooltipText(s_, widths_, TConvertKinds{}, 11, 4),
            GROUP " 3" GAP LAYER " A\r\n" LINES " 1\r\n" CONVERTS " 0 " ITEMS GAP WIDTH " -1" KEEP);
}

TEST_F(LayerSummaryTexts, HeaderTooltipsSumTheirRowOrColumn) {
  const std::string row = CellTooltipText(s_, widths_, TConvertKinds{}, 0, 3);
  EXPECT_EQ(row.substr(row.find("\r\n")), "\r\n" LINES " 2" GAP CIRCLES " 1" GAP TEXTS " 1\r\n" CONVERTS " 3 " ITEMS);
  const std::string col = CellTooltipText(s_, widths_, TConvertKinds{}, 11, 0);
  EXPECT_EQ(col.substr(col.find("\r\n")), "\r\n" LINES " 3" GAP CIRCLES " 1" GAP TEXTS " 1\r\n" CONVERTS " 3 " ITEMS);
  EXPECT_EQ(CellTooltipText(s_, widths_, TConvertKinds{}, 0, 0), "");
  EXPECT_EQ(CellTooltipText(s_, widths_, TConvertKinds{}, 17, 1), "");
  EXPECT_EQ(CellTooltipText(s_, widths_, TConvertKinds{}, 1, -1), "");
}

TEST_F(LayerSummaryTexts, IdleSummaryCountsSelectedConvertedAndLayers) {
  // 選択 5 件　OKで変換 3 件　使用レイヤ 2
  EXPECT_EQ(IdleSummaryText(s_, widths_, TConvertKinds{}),
            "\x91\x49\x91\xF0 5 " ITEMS GAP CONVERTS " 3 " ITEMS GAP "\x8E\x67\x97\x70" LAYER " 2");
  widths_[3 * 16 + 10] = 0;
  EXPECT_NE(IdleSummaryText(s_, widths_, TConvertKinds{}).find(CONVERTS " 4 "), std::string::npos);
}

TEST_F(LayerSummaryTexts, LayerTableListsUsedLayersWithNames) {
  EXPECT_EQ(LayerTableText(s_),
            "layer (group-layer)  entities\n"
            "  2-A                       4  wall / core\n"
            "  3-A                       1\n");
}
