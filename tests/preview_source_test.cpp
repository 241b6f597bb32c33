// The preview's records made from a store: one per entity in file order (two
// for a dimension), the shape and rule of each kind, the text's box, and the
// host's sample drawing.
#include "app/preview_source.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

#include "exchange/read/reader.h"
#include "tests/support/store_records.h"

namespace {

TJwwData EmptyStore() {
  TJwwData d;
  JwwDataInit(d);
  return d;
}

TPreviewDrawing FromText(const std::string& text) {
  TJwwData d = EmptyStore();
  JwwReadBytes(d, text);
  return MakePreviewDrawing(d);
}

TEST(PreviewSource, ShapeAndRuleOfEveryKind) {
  const TJwwData store = OneRecordOfEachKind(3, 4, 5);
  const TPreviewDrawing d = MakePreviewDrawing(store);
  const struct {
    TShapeKind shape;
    TWidthRule rule;
  } expected[] = {
      {TShapeKind::Segment, TWidthRule::Always},      {TShapeKind::EllipseArc, TWidthRule::Always},
      {TShapeKind::EllipseArc, TWidthRule::Always},   {TShapeKind::Outline, TWidthRule::Never},
      {TShapeKind::Point, TWidthRule::Points},        {TShapeKind::Point, TWidthRule::Points},
      {TShapeKind::Segment, TWidthRule::Dims},        {TShapeKind::Outline, TWidthRule::Never},  // dimension
      {TShapeKind::Marker, TWidthRule::Never},        {TShapeKind::Segment, TWidthRule::Solids},
      {TShapeKind::Polygon, TWidthRule::Never},       {TShapeKind::Polygon, TWidthRule::Never},
      {TShapeKind::EllipseSector, TWidthRule::Never}, {TShapeKind::EllipseArc, TWidthRule::Solids},
      {TShapeKind::Polygon, TWidthRule::Never},       {TShapeKind::Polygon, TWidthRule::Never},
  };
  ASSERT_EQ(d.entities.size(), std::size(expected));
  for (std::size_t i = 0; i < d.entities.size(); ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(d.entities[i].shape, expected[i].shape);
    EXPECT_EQ(d.entities[i].rule, expected[i].rule);
    EXPECT_EQ(d.entities[i].layer, 3 * 16 + 4);
    EXPECT_EQ(d.entities[i].lw, 5);
  }
}

TEST(PreviewSource, SolidsOfArbitraryColourTakeTheirOwnColourAndRule) {
  TJwwData store = EmptyStore();
  AddStoreRecord(store, store.Solids2, kKindSolid2, 0, 0, 10).lc10 = 0x123456;
  AddStoreRecord(store, store.Solids4, kKindSolid4, 0, 0, 10).lc10 = 0x00FF00;
  const TPreviewDrawing d = MakePreviewDrawing(store);
  ASSERT_EQ(d.entities.size(), 2u);
  EXPECT_EQ(d.entities[0].colour, 0x123456u);
  EXPECT_EQ(d.entities[0].rule, TWidthRule::Arbitrary);
  EXPECT_EQ(d.entities[1].colour, 0x00FF00u);
}

TEST(PreviewSource, ArcsRunAnticlockwiseFromStartToEnd) {
  const struct {
    const char* line;
    double start, sweep;  // degrees
  } cases[] = {
      {"ci 0 0 10 0 90 1 0", 0, 90},
      {"ci 0 0 10 270 90 1 0", 270, 180},  // through 0
      {"ci 0 0 10 45 45 1 0", 45, 360},    // the same angle twice is the whole ellipse
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.line);
    const TPreviewDrawing d = FromText(std::string("hq\r\n") + c.line + "\r\n");
    ASSERT_EQ(d.entities.size(), 1u);
    const double* p = d.Params(d.entities[0]);
    EXPECT_NEAR(p[5], c.start * std::numbers::pi / 180, 1e-12);
    EXPECT_NEAR(p[6], c.sweep * std::numbers::pi / 180, 1e-12);
  }
}

TEST(PreviewSource, ATextIsItsBoxScaledByItsGroup) {
  // Group 1 at 1/50; free-size text 4 wide, 5 high, spacing 1; two half-width
  // characters and one full-width one, written upwards.
  const TPreviewDrawing d = FromText(
      "hq\r\nhs 1 50 1 1 1 1 1 1 1 1 1 1 1 1 1 1\r\nlg1\r\ncn0 4 5 1 3\r\nch 100 200 0 1 \"ab\x82\xA0\r\n");
  ASSERT_EQ(d.entities.size(), 1u);
  const double* p = d.Params(d.entities[0]);
  const double length = (2 + 2 + 4 + 2 * 1) * 50.0;  // 2 + 2 + 4 wide, two gaps of 1
  const double height = 5 * 50.0;
  EXPECT_DOUBLE_EQ(p[0], 100);
  EXPECT_DOUBLE_EQ(p[1], 200);
  EXPECT_DOUBLE_EQ(p[2], 100);  // along +y
  EXPECT_DOUBLE_EQ(p[3], 200 + length);
  EXPECT_DOUBLE_EQ(p[4], 100 - height);  // up from the base line is -x
  EXPECT_DOUBLE_EQ(p[5], 200 + length);
}

TEST(PreviewSource, TheSampleDrawing) {
  TJwwData store = EmptyStore();
  ASSERT_TRUE(JwwReadFile(store, std::filesystem::path(T905_SOURCE_DIR) / "examples" / "JWC_TEMP.TXT"));
  const TPreviewDrawing d = MakePreviewDrawing(store);
  EXPECT_EQ(d.entities.size(), store.Order.size() + store.Dims.size());
  EXPECT_TRUE(d.widthsExchanged);
  EXPECT_DOUBLE_EQ(d.scales[0], 50);
  EXPECT_EQ(d.groupNames[0], "\x88\xEA\x94\xCA\x90\x7D");  // 一般図, without its quote
  // The grid lines of layer 0-0 run from -2000 to 12000 across.
  EXPECT_LE(d.minX, -2000);
  EXPECT_GE(d.maxX, 12000);
  for (const TPreviewEntity& e : d.entities) {
    EXPECT_LE(e.minX, e.maxX);
    EXPECT_LE(e.minY, e.maxY);
  }
}

TEST(PreviewSource, AHostThatPassedNoWidthsIsNoted) {
  EXPECT_FALSE(FromText("hq\r\n0 0 1 1\r\n").widthsExchanged);
  EXPECT_TRUE(FromText("hq\r\nlw5\r\n0 0 1 1\r\n").widthsExchanged);
}

TEST(PreviewSource, EntitiesOnNoLayerOrWithoutAPlaceAreLeftOut) {
  TJwwData store = EmptyStore();
  AddStoreRecord(store, store.Lines, kKindLine, 16, 0);
  AddStoreRecord(store, store.Lines, kKindLine, 0, 0).x2 = NAN;
  AddStoreRecord(store, store.Lines, kKindLine, 0, 0).x2 = 5;
  const TPreviewDrawing d = MakePreviewDrawing(store);
  ASSERT_EQ(d.entities.size(), 1u);
  EXPECT_FLOAT_EQ(d.entities[0].maxX, 5);
}

TEST(PreviewSource, ASegmentKeepsItsEndsInItsBox) {
  const struct {
    const char* name;
    double x1, y1, x2, y2;
  } cases[] = {
      {"up to the right", 0, 0, 10, 5},   {"down to the left", 10, 5, 0, 0}, {"down to the right", 0, 5, 10, 0},
      {"up to the left", 10, 0, 0, 5},    {"vertical", -3, 2, -3, 9},        {"a point", 4, 4, 4, 4},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    TJwwData store = EmptyStore();
    TJwwEntLine& line = AddStoreRecord(store, store.Lines, kKindLine, 0, 0);
    line.x1 = c.x1;
    line.y1 = c.y1;
    line.x2 = c.x2;
    line.y2 = c.y2;
    const TPreviewDrawing d = MakePreviewDrawing(store);
    ASSERT_EQ(d.entities.size(), 1u);
    double x1, y1, x2, y2;
    d.SegmentEnds(d.entities[0], x1, y1, x2, y2);
    // The same two ends, in either order.
    const bool same = x1 == c.x1 && y1 == c.y1 && x2 == c.x2 && y2 == c.y2;
    const bool swapped = x1 == c.x2 && y1 == c.y2 && x2 == c.x1 && y2 == c.y1;
    EXPECT_TRUE(same || swapped) << x1 << "," << y1 << " " << x2 << "," << y2;
  }
}

}  // namespace
