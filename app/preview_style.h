// How the preview colours and sizes an entity: the host's default screen
// colour for its pen, and its width on paper turned into pixels, as read
// (before) or as OK would set it with the table and check boxes shown now
// (after). Nothing here changes the drawing store.
#pragma once

#include <array>
#include <cstdint>

#include "app/convert.h"
#include "app/preview_model.h"

// The host's default screen colour (0x00BBGGRR) for pen `lc` on white paper;
// colour 10 is the arbitrary colour `lc10` (R + G*256 + B*65536). Pens the
// host does not define by default are drawn black.
uint32_t HostScreenColour(int32_t lc, int32_t lc10 = 0);

// The width OK would give an entity: its layer's width from `widths` when its
// rule is converted under `kinds` and that width is 0 or more, else `lw`.
int32_t WidthAfterOk(TWidthRule rule, int layer, int32_t lw, const std::array<int32_t, 256>& widths,
                     const TConvertKinds& kinds);

// Pixels for width `lw` (1/100 mm on paper) in a layer group of scale `scale`
// (paper mm -> drawing units) at `zoom` pixels per drawing unit; never below 1.
double WidthPixels(int32_t lw, double scale, double zoom);

// The widths the pane draws with.
struct TPreviewWidths {
  bool after = false;                  // 変換後: as OK would set them
  std::array<int32_t, 256> table{};    // the grid's widths as OK reads them
  TConvertKinds kinds;                 // the check boxes as they stand

  int32_t Width(const TPreviewEntity& e) const {
    return after ? WidthAfterOk(e.rule, e.layer, e.lw, table, kinds) : e.lw;
  }
};

// The pixel width of an entity as the pane draws it: one pixel for shapes that
// carry no width (texts' boxes, fills, markers) and for every entity when the
// host passed no widths.
double EntityPixels(const TPreviewDrawing& drawing, const TPreviewEntity& e, const TPreviewWidths& widths,
                    double zoom);
