// The layer-to-width conversion: every record of a converted kind takes the
// width that the table gives its layer, unless that width is -1.
#include "app/convert.h"

#include <vector>

namespace {

// The width the table gives a layer, or -1 for "leave it". A layer outside
// 0..15 (the reader never stores one, but a store may be built by other
// means) names no cell and is left alone.
int32_t WidthFor(const TPresetTable& table, int32_t lg, int32_t ly) {
  if (lg < 0 || lg > 15 || ly < 0 || ly > 15) return -1;
  return table.Widths[static_cast<std::size_t>(lg * 16 + ly)];
}

// Converts one table. `attrOf` names the record's place that carries the layer
// and receives the width; `skip` is the table's skip rule.
template <typename Rec, typename AttrOf, typename Skip>
void ConvertTable(TJwwTable<Rec>& records, TJwwKind kind, const TPresetTable& table,
                  TConvertStats* stats, AttrOf attrOf, Skip skip) {
  int64_t set = 0;
  for (Rec& rec : records) {
    if (skip(rec)) continue;
    TJwwEntAttr& attr = attrOf(rec);
    const int32_t w = WidthFor(table, attr.lg, attr.ly);
    if (w < 0) continue;
    attr.lw = w;
    ++set;
  }
  if (stats != nullptr) {
    const auto k = static_cast<std::size_t>(kind);
    stats->seen[k] += static_cast<int64_t>(records.size());
    stats->set[k] += set;
  }
}

template <typename Rec>
TJwwEntAttr& Own(Rec& rec) {
  return rec;
}

template <typename Rec>
bool Never(const Rec&) {
  return false;
}

}  // namespace

void ConvertWidths(TJwwData& d, const TPresetTable& table, const TConvertKinds& kinds,
                   TConvertStats* stats) {
  if (stats != nullptr) *stats = TConvertStats{};

  ConvertTable(d.Lines, kKindLine, table, stats, Own<TJwwEntLine>, Never<TJwwEntLine>);
  ConvertTable(d.Circles, kKindCircle, table, stats, Own<TJwwEntCircle>, Never<TJwwEntCircle>);
  ConvertTable(d.Arcs, kKindArc, table, stats, Own<TJwwEntArc>, Never<TJwwEntArc>);

  if (kinds.points) {
    ConvertTable(d.Points, kKindPoint, table, stats, Own<TJwwEntPoint>, Never<TJwwEntPoint>);
    ConvertTable(d.PointsEx, kKindPointEx, table, stats, Own<TJwwEntPointEx>,
                 Never<TJwwEntPointEx>);
  }

  if (kinds.dims) {
    // The width belongs to the dimension line, chosen by that line's own layer.
    ConvertTable(
        d.Dims, kKindDim, table, stats, [](TJwwEntDim& dim) -> TJwwEntAttr& { return dim.line; },
        Never<TJwwEntDim>);
  }

  if (kinds.solids) {
    // Colour 10 marks a solid of arbitrary colour, converted only when asked for.
    const bool arbitrary = kinds.arbitrary;
    const auto skipArbitrary = [arbitrary](const TJwwEntAttr& rec) {
      return !arbitrary && rec.lc == 10;
    };
    ConvertTable(d.Solids2, kKindSolid2, table, stats, Own<TJwwEntSolid2>, skipArbitrary);
    ConvertTable(d.Ses, kKindSe, table, stats, Own<TJwwEntSe>, skipArbitrary);
  }
}
