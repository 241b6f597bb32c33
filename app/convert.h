// The layer-to-width conversion: the tool's one change to the drawing.
#pragma once

#include <array>
#include <cstdint>

#include "app/presets.h"
#include "exchange/store/store.h"

// Which optional kinds are converted (the window's four check boxes).
struct TConvertKinds {
  bool points = false;     // CheckBox1
  bool dims = false;       // CheckBox3
  bool solids = false;     // CheckBox4
  bool arbitrary = false;  // CheckBox5: solids of colour 10 too (only with solids)
};

// Per entity kind (1..15): records looked at and records given a width.
struct TConvertStats {
  std::array<int64_t, 16> seen{};
  std::array<int64_t, 16> set{};
};

// Sets lw of every converted record whose layer has a width of 0 or more in
// `table`. Lines, circles and arcs always; points, dimension lines, and
// two-point sl and se solids as `kinds` says. `stats` may be null.
void ConvertWidths(TJwwData& d, const TPresetTable& table, const TConvertKinds& kinds,
                   TConvertStats* stats = nullptr);
