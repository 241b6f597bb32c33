// What the selection holds per layer, and what OK would do to it with a given
// table and check boxes: counted once when the drawing is read, so the window
// can tint used cells, explain each one and keep a one-line summary without
// touching the store again. Texts come out as Shift-JIS bytes.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "app/convert.h"
#include "exchange/store/store.h"

// The kinds a person tells apart, in the order the texts list them.
enum class TSummaryKind : int { Lines, Circles, Arcs, Texts, Points, Dims, Solids, Blocks };
constexpr int kSummaryKindCount = 8;

// One layer's selected entities.
struct TLayerCounts {
  std::array<int64_t, kSummaryKindCount> byKind{};  // every kind, converted or not
  int64_t plainSolids = 0;      // two-point sl and se solids not of colour 10 (converted with "solids")
  int64_t arbitrarySolids = 0;  // the same of colour 10 (converted with "solids" and "arbitrary")

  int64_t Count(TSummaryKind kind) const { return byKind[static_cast<std::size_t>(kind)]; }
  int64_t Total() const;
  // Entities OK gives a width of 0 or more under these check boxes.
  int64_t Convertible(const TConvertKinds& kinds) const;
  void Add(const TLayerCounts& other);
};

struct TLayerSummary {
  std::array<TLayerCounts, 256> layers{};  // by layer index, group * 16 + layer
  std::array<std::string, 16> groupNames;  // from `lgn`, as shown (no leading quote)
  std::array<std::string, 256> layerNames; // from `lyn`, by layer index
  int64_t total = 0;                       // entities on any layer

  const TLayerCounts& At(int group, int layer) const {
    return layers[static_cast<std::size_t>(group * 16 + layer)];
  }
};

// One pass over the entity tables. A dimension counts on the layer of its line,
// which is the layer whose width OK gives it; records with a layer outside
// 0..15 (the reader never stores one) count nowhere.
TLayerSummary SummarizeLayers(const TJwwData& d);

// How a grid cell relates to the selection.
enum class TCellUse : uint8_t {
  Unused,     // no selected entity on it (or a header whose row or column has none)
  Converts,   // OK gives at least one entity on it this cell's width
  Untouched,  // holds entities, but the width is -1 or they are of kinds left out
};

// The widths a grid shows, by layer index, already limited as OK reads them.
using TGridWidths = std::array<int32_t, 256>;

// The width OK reads from a cell's text: whole integer text, -1 outside -1..30000.
int32_t CellWidth(std::string_view cellText);

// Entities OK converts on one layer with `width` (none when it is -1).
int64_t ConvertedOn(const TLayerCounts& counts, int32_t width, const TConvertKinds& kinds);

// Use of every cell of the 17 x 17 grid, [row * 17 + col]. Headers: Converts
// when a cell of their row or column converts, else Untouched when one holds
// anything, else Unused.
using TGridUse = std::array<TCellUse, 17 * 17>;
TGridUse GridUse(const TLayerSummary& s, const TGridWidths& widths, const TConvertKinds& kinds);

// The first data cell (row by row) holding anything, as col/row 1..16; false when none.
bool FirstUsedCell(const TGridUse& use, int& col, int& row);

// The status line while the window is idle: selected, to be converted, used layers.
std::string IdleSummaryText(const TLayerSummary& s, const TGridWidths& widths, const TConvertKinds& kinds);

// A grid cell's tooltip, lines joined by CR LF; empty for the corner cell or a
// cell outside the grid. Data cells name the group and layer and give the
// width; header cells sum their row (a group) or column (a layer).
std::string CellTooltipText(const TLayerSummary& s, const TGridWidths& widths, const TConvertKinds& kinds,
                            int col, int row);

// The width as the host shows it in its 1/100 mm mode: 25 gives "0.25".
std::string WidthMillimetres(int32_t width);

// The per-layer lines of the statistics command: a heading, then one line per
// used layer with its count and the names the file gives.
std::string LayerTableText(const TLayerSummary& s);
