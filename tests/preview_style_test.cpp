// Colours and widths of the preview: the width-to-pixel rule across scales and
// zooms, and the widths after OK against the conversion itself on a copy of
// the same store.
#include "app/preview_style.h"

#include <gtest/gtest.h>

#include "app/convert.h"
#include "app/preview_source.h"
#include "tests/support/store_records.h"

namespace {

TEST(PreviewWidthPixels, FollowsPaperWidthScaleAndZoom) {
  const struct {
    const char* name;
    int32_t lw;
    double scale, zoom, pixels;
  } cases[] = {
      {"0.50 mm at 1/50, 0.1 px per mm", 50, 50, 0.1, 2.5},
      {"0.50 mm at 1/1, 10 px per mm", 50, 1, 10, 5.0},
      {"1.00 mm at 1/100, 0.05 px per mm", 100, 100, 0.05, 5.0},
      {"a thin line never below one pixel", 13, 50, 0.01, 1.0},
      {"width 0 is one pixel", 0, 50, 100, 1.0},
      {"a negative width is one pixel", -1, 50, 100, 1.0},
      {"a scale of 0 is one pixel", 50, 0, 100, 1.0},
      {"30000 at 1/200 zoomed in", 30000, 200, 2, 120000.0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_DOUBLE_EQ(WidthPixels(c.lw, c.scale, c.zoom), c.pixels);
  }
}

TEST(PreviewColour, PensAndTheArbitraryColour) {
  EXPECT_EQ(HostScreenColour(2), 0x000000u);   // black on white paper
  EXPECT_EQ(HostScreenColour(8), 0x0000E6u);   // red
  EXPECT_EQ(HostScreenColour(6), 0xFF0000u);   // blue
  EXPECT_EQ(HostScreenColour(10, 16744576), 16744576u);  // R + G*256 + B*65536 is COLORREF order
  EXPECT_EQ(HostScreenColour(10, -1), 0xFFFFFFu);  // only the colour bits count
  EXPECT_EQ(HostScreenColour(0), HostScreenColour(42));  // undefined pens alike
}

// Every check box combination, every kind, colour 10 and other solids, a
// layer with a width, one with -1 and one with 0: the preview's widths after
// OK equal what the conversion writes into a copy of the store.
TEST(PreviewAfterWidths, MatchTheConversionOnACopyOfTheStore) {
  TJwwData store = OneRecordOfEachKind(2, 10, 7);
  for (const auto& [lg, ly] : {std::pair{0, 0}, std::pair{15, 15}}) {
    AddStoreRecord(store, store.Lines, kKindLine, lg, ly, 3, 9);
    AddStoreRecord(store, store.Solids2, kKindSolid2, lg, ly, 10, 9);
    AddStoreRecord(store, store.Ses, kKindSe, lg, ly, 10, 9);
    TJwwEntDim& dim = AddStoreRecord(store, store.Dims, kKindDim, 4, 4, 1, 9);  // its own layer plays no part
    dim.line.lg = lg;
    dim.line.ly = ly;
    dim.line.lw = 9;
  }
  store.LwSeen = true;
  TPresetTable table;
  table.Widths[2 * 16 + 10] = 0;
  table.Widths[0] = 250;  // 15-15 stays -1
  const TPreviewDrawing drawing = MakePreviewDrawing(store);

  for (int mask = 0; mask < 16; ++mask) {
    const TConvertKinds kinds{(mask & 1) != 0, (mask & 2) != 0, (mask & 4) != 0, (mask & 8) != 0};
    SCOPED_TRACE(mask);
    TJwwData copy = store;
    ConvertWidths(copy, table, kinds);
    TPreviewWidths widths;
    widths.after = true;
    widths.table = table.Widths;
    widths.kinds = kinds;
    // The preview's entities follow the file order; a dimension gives its line and then its text.
    std::size_t at = 0;
    for (const TJwwOrder& o : copy.Order) {
      ASSERT_LT(at, drawing.entities.size());
      const auto i = static_cast<std::size_t>(o.index);
      int32_t expected = 0;
      switch (o.kind) {
        case kKindLine: expected = copy.Lines[i].lw; break;
        case kKindCircle: expected = copy.Circles[i].lw; break;
        case kKindArc: expected = copy.Arcs[i].lw; break;
        case kKindText: expected = copy.Texts[i].lw; break;
        case kKindPoint: expected = copy.Points[i].lw; break;
        case kKindPointEx: expected = copy.PointsEx[i].lw; break;
        case kKindDim: expected = copy.Dims[i].line.lw; break;
        case kKindBlock: expected = copy.Blocks[i].lw; break;
        case kKindSolid2: expected = copy.Solids2[i].lw; break;
        case kKindSolid3: expected = copy.Solids3[i].lw; break;
        case kKindSolid4: expected = copy.Solids4[i].lw; break;
        case kKindSc: expected = copy.Scs[i].lw; break;
        case kKindSe: expected = copy.Ses[i].lw; break;
        case kKindSo: expected = copy.Sos[i].lw; break;
        case kKindSg: expected = copy.Sgs[i].lw; break;
      }
      EXPECT_EQ(widths.Width(drawing.entities[at]), expected) << "kind " << o.kind << " index " << i;
      at += o.kind == kKindDim ? 2 : 1;
    }
    EXPECT_EQ(at, drawing.entities.size());
  }
  // The preview read the store and never wrote it.
  EXPECT_EQ(store.Lines[0].lw, 7);
}

TEST(PreviewEntityPixels, OnePixelWhenTheHostPassedNoWidths) {
  TJwwData store = OneRecordOfEachKind(1, 1, 50);
  store.Hs[1] = 100;
  store.LwSeen = true;
  TPreviewDrawing drawing = MakePreviewDrawing(store);
  const TPreviewWidths before;
  const TPreviewEntity& line = drawing.entities[0];
  EXPECT_DOUBLE_EQ(EntityPixels(drawing, line, before, 0.5), 25.0);  // 0.5 mm * 100 * 0.5 px
  const TPreviewEntity& text = drawing.entities[3];
  EXPECT_DOUBLE_EQ(EntityPixels(drawing, text, before, 0.5), 1.0);  // a text's box has no width
  drawing.widthsExchanged = false;
  EXPECT_DOUBLE_EQ(EntityPixels(drawing, line, before, 0.5), 1.0);
}

}  // namespace
