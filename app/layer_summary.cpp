// The per-layer summary of the selection and the texts made from it. Counting
// follows the conversion's own rules (which tables, which check boxes, colour
// 10), so what the window promises is what OK does.
#include "app/layer_summary.h"

#include <charconv>
#include <vector>

#include "app/form_texts.h"
#include "app/presets.h"
#include "util/text.h"

namespace {

// Shift-JIS texts; each literal follows a comment with what it spells.
const std::array<const char*, kSummaryKindCount> kKindWords = {
    "\x90\xFC",                          // 線
    "\x89\x7E",                          // 円
    "\x89\x7E\x8C\xCA",                  // 円弧
    "\x95\xB6\x8E\x9A",                  // 文字
    "\x93\x5F",                          // 点
    "\x90\xA1\x96\x40",                  // 寸法
    "\x83\x5C\x83\x8A\x83\x62\x83\x68",  // ソリッド
    "\x83\x75\x83\x8D\x83\x62\x83\x4E",  // ブロック
};
// レイヤグループ
constexpr const char* kGroupWord = "\x83\x8C\x83\x43\x83\x84\x83\x4F\x83\x8B\x81\x5B\x83\x76";
// レイヤ
constexpr const char* kLayerWord = "\x83\x8C\x83\x43\x83\x84";
// 「 and 」 around a name
constexpr const char* kNameOpen = "\x81\x75";
constexpr const char* kNameClose = "\x81\x76";
// an ideographic space between items
constexpr const char* kGap = "\x81\x40";
// 選択図形なし
constexpr const char* kNothingSelected = "\x91\x49\x91\xF0\x90\x7D\x8C\x60\x82\xC8\x82\xB5";
// OKで変換
constexpr const char* kConvertsWord = "OK\x82\xC5\x95\xCF\x8A\xB7";
// 件
constexpr const char* kItemsWord = "\x8C\x8F";
// 線幅
constexpr const char* kWidthWord = "\x90\xFC\x95\x9D";
// （変更しない）
constexpr const char* kKeepWord = "\x81\x69\x95\xCF\x8D\x58\x82\xB5\x82\xC8\x82\xA2\x81\x6A";
// （16 レイヤの合計）
constexpr const char* kRowSumWord = "\x81\x69" "16 \x83\x8C\x83\x43\x83\x84\x82\xCC\x8D\x87\x8C\x76\x81\x6A";
// （16 グループの合計）
constexpr const char* kColSumWord = "\x81\x69" "16 \x83\x4F\x83\x8B\x81\x5B\x83\x76\x82\xCC\x8D\x87\x8C\x76\x81\x6A";
// 選択
constexpr const char* kSelectedWord = "\x91\x49\x91\xF0";
// 使用レイヤ
constexpr const char* kUsedLayersWord = "\x8E\x67\x97\x70\x83\x8C\x83\x43\x83\x84";

constexpr char kCrLf[] = "\r\n";

std::string Int(int64_t v) {
  char buf[24];
  const auto res = std::to_chars(buf, buf + sizeof buf, v);
  return std::string(buf, res.ptr);
}

// A count as people read it: 1,000,000.
std::string Grouped(int64_t v) {
  const std::string digits = Int(v < 0 ? -v : v);
  std::string out = v < 0 ? "-" : "";
  for (std::size_t i = 0; i < digits.size(); ++i) {
    if (i > 0 && (digits.size() - i) % 3 == 0) out += ',';
    out += digits[i];
  }
  return out;
}

char HexDigit(int v) { return "0123456789ABCDEF"[v & 15]; }

// `lgn` and `lyn` keep what follows the keyword, which for a name written with
// blanks begins with the quote that let it through; the quote is not the name.
std::string ShownName(const std::string& stored) {
  if (!stored.empty() && stored.front() == '"') return stored.substr(1);
  return stored;
}

bool LayerInRange(const TJwwEntAttr& a) { return a.lg >= 0 && a.lg <= 15 && a.ly >= 0 && a.ly <= 15; }

// Counts every record of a table as `kind` on the layer `attrOf` names.
template <typename Rec, typename AttrOf>
void CountTable(const TJwwTable<Rec>& records, TSummaryKind kind, TLayerSummary& s, AttrOf attrOf) {
  const auto k = static_cast<std::size_t>(kind);
  for (const Rec& rec : records) {
    const TJwwEntAttr& a = attrOf(rec);
    if (!LayerInRange(a)) continue;
    ++s.layers[static_cast<std::size_t>(a.lg * 16 + a.ly)].byKind[k];
  }
}

// The solids that can take a width, split by colour 10 as the conversion splits them.
template <typename Rec>
void CountWidthSolids(const TJwwTable<Rec>& records, TLayerSummary& s) {
  for (const Rec& rec : records) {
    if (!LayerInRange(rec)) continue;
    TLayerCounts& c = s.layers[static_cast<std::size_t>(rec.lg * 16 + rec.ly)];
    ++c.byKind[static_cast<std::size_t>(TSummaryKind::Solids)];
    ++(rec.lc == 10 ? c.arbitrarySolids : c.plainSolids);
  }
}

template <typename Rec>
const TJwwEntAttr& Own(const Rec& rec) {
  return rec;
}

// "0.25" for 25: the width in millimetres with two decimals, exact.
std::string Hundredths(int32_t width) {
  std::string text = Int(width / 100) + '.';
  const int32_t cents = width % 100;
  text += static_cast<char>('0' + cents / 10);
  text += static_cast<char>('0' + cents % 10);
  return text;
}

// "線 3　円 1" for the kinds present, or "選択図形なし".
std::string KindLine(const TLayerCounts& c) {
  std::string line;
  for (int k = 0; k < kSummaryKindCount; ++k) {
    const int64_t n = c.byKind[static_cast<std::size_t>(k)];
    if (n == 0) continue;
    if (!line.empty()) line += kGap;
    line += std::string(kKindWords[static_cast<std::size_t>(k)]) + ' ' + Int(n);
  }
  return line.empty() ? std::string(kNothingSelected) : line;
}

std::string Named(std::string head, const std::string& name) {
  if (!name.empty()) head += std::string(kNameOpen) + name + kNameClose;
  return head;
}

std::string GroupTitle(const TLayerSummary& s, int group) {
  return Named(std::string(kGroupWord) + ' ' + HexDigit(group), s.groupNames[static_cast<std::size_t>(group)]);
}

std::string LayerTitle(const TLayerSummary& s, int group, int layer) {
  return Named(std::string(kLayerWord) + ' ' + HexDigit(layer),
               s.layerNames[static_cast<std::size_t>(group * 16 + layer)]);
}

std::string ConvertsText(int64_t n) { return std::string(kConvertsWord) + ' ' + Grouped(n) + ' ' + kItemsWord; }

// The ソリッド box converts only some solids; where solids are counted the
// tooltip says which, so a count above what converts explains itself.
std::string SolidsHint(const TLayerCounts& c) {
  return c.Count(TSummaryKind::Solids) > 0 ? std::string(kCrLf) + kSolidsConvertedHint : std::string();
}

// Sums the 16 cells of a row (a group) or a column (a layer).
void SumLine(const TLayerSummary& s, const TGridWidths& widths, const TConvertKinds& kinds, bool row, int at,
             TLayerCounts& sum, int64_t& converted) {
  for (int i = 0; i < 16; ++i) {
    const int index = row ? at * 16 + i : i * 16 + at;
    const TLayerCounts& c = s.layers[static_cast<std::size_t>(index)];
    sum.Add(c);
    converted += ConvertedOn(c, widths[static_cast<std::size_t>(index)], kinds);
  }
}

std::string HeaderTooltip(const TLayerSummary& s, const TGridWidths& widths, const TConvertKinds& kinds, bool row,
                          int at) {
  TLayerCounts sum;
  int64_t converted = 0;
  SumLine(s, widths, kinds, row, at, sum, converted);
  const std::string title = row ? GroupTitle(s, at) + kRowSumWord
                                : std::string(kLayerWord) + ' ' + HexDigit(at) + kColSumWord;
  return title + kCrLf + KindLine(sum) + kCrLf + ConvertsText(converted) + SolidsHint(sum);
}

std::string DataTooltip(const TLayerSummary& s, const TGridWidths& widths, const TConvertKinds& kinds, int group,
                        int layer) {
  const TLayerCounts& c = s.At(group, layer);
  const int32_t w = widths[static_cast<std::size_t>(group * 16 + layer)];
  std::string widthText = std::string(kWidthWord) + ' ' + Int(w);
  widthText += w < 0 ? std::string(kKeepWord) : " (" + WidthMillimetres(w) + " mm)";
  return GroupTitle(s, group) + kGap + LayerTitle(s, group, layer) + kCrLf + KindLine(c) + kCrLf +
         ConvertsText(ConvertedOn(c, w, kinds)) + kGap + widthText + SolidsHint(c);
}

TCellUse UseOf(const TLayerCounts& c, int32_t width, const TConvertKinds& kinds) {
  if (c.Total() == 0) return TCellUse::Unused;
  return ConvertedOn(c, width, kinds) > 0 ? TCellUse::Converts : TCellUse::Untouched;
}

// A header takes the strongest use among its cells.
void Promote(TCellUse& header, TCellUse cell) {
  if (cell == TCellUse::Converts || (cell == TCellUse::Untouched && header == TCellUse::Unused)) header = cell;
}

}  // namespace

int64_t TLayerCounts::Total() const {
  int64_t n = 0;
  for (int64_t v : byKind) n += v;
  return n;
}

int64_t TLayerCounts::Convertible(const TConvertKinds& kinds) const {
  int64_t n = Count(TSummaryKind::Lines) + Count(TSummaryKind::Circles) + Count(TSummaryKind::Arcs);
  if (kinds.points) n += Count(TSummaryKind::Points);
  if (kinds.dims) n += Count(TSummaryKind::Dims);
  if (kinds.solids) n += plainSolids + (kinds.arbitrary ? arbitrarySolids : 0);
  return n;
}

void TLayerCounts::Add(const TLayerCounts& other) {
  for (std::size_t k = 0; k < byKind.size(); ++k) byKind[k] += other.byKind[k];
  plainSolids += other.plainSolids;
  arbitrarySolids += other.arbitrarySolids;
}

TLayerSummary SummarizeLayers(const TJwwData& d) {
  TLayerSummary s;
  CountTable(d.Lines, TSummaryKind::Lines, s, Own<TJwwEntLine>);
  CountTable(d.Circles, TSummaryKind::Circles, s, Own<TJwwEntCircle>);
  CountTable(d.Arcs, TSummaryKind::Arcs, s, Own<TJwwEntArc>);
  CountTable(d.Texts, TSummaryKind::Texts, s, Own<TJwwEntText>);
  CountTable(d.Points, TSummaryKind::Points, s, Own<TJwwEntPoint>);
  CountTable(d.PointsEx, TSummaryKind::Points, s, Own<TJwwEntPointEx>);
  CountTable(d.Dims, TSummaryKind::Dims, s, [](const TJwwEntDim& dim) -> const TJwwEntAttr& { return dim.line; });
  CountTable(d.Blocks, TSummaryKind::Blocks, s, Own<TJwwEntBlk>);
  CountWidthSolids(d.Solids2, s);
  CountWidthSolids(d.Ses, s);
  CountTable(d.Solids3, TSummaryKind::Solids, s, Own<TJwwEntSolid3>);
  CountTable(d.Solids4, TSummaryKind::Solids, s, Own<TJwwEntSolid4>);
  CountTable(d.Scs, TSummaryKind::Solids, s, Own<TJwwEntSc>);
  CountTable(d.Sos, TSummaryKind::Solids, s, Own<TJwwEntSo>);
  CountTable(d.Sgs, TSummaryKind::Solids, s, Own<TJwwEntSg>);
  for (const TLayerCounts& c : s.layers) s.total += c.Total();

  for (std::size_t g = 0; g < s.groupNames.size() && g < d.LgNames.size(); ++g) {
    s.groupNames[g] = ShownName(d.LgNames[g]);
  }
  for (std::size_t i = 0; i < s.layerNames.size() && i < d.LyNames.size(); ++i) {
    s.layerNames[i] = ShownName(d.LyNames[i]);
  }
  return s;
}

int32_t CellWidth(std::string_view cellText) { return ClampWidth(TextToInt(cellText)); }

int64_t ConvertedOn(const TLayerCounts& counts, int32_t width, const TConvertKinds& kinds) {
  return width < 0 ? 0 : counts.Convertible(kinds);
}

TGridUse GridUse(const TLayerSummary& s, const TGridWidths& widths, const TConvertKinds& kinds) {
  TGridUse use;
  use.fill(TCellUse::Unused);
  for (int g = 0; g < 16; ++g) {
    for (int l = 0; l < 16; ++l) {
      const auto index = static_cast<std::size_t>(g * 16 + l);
      const TCellUse cell = UseOf(s.layers[index], widths[index], kinds);
      use[static_cast<std::size_t>((g + 1) * 17 + l + 1)] = cell;
      Promote(use[static_cast<std::size_t>((g + 1) * 17)], cell);  // row header: the group
      Promote(use[static_cast<std::size_t>(l + 1)], cell);         // column header: the layer
    }
  }
  return use;
}

bool FirstUsedCell(const TGridUse& use, int& col, int& row) {
  for (int r = 1; r <= 16; ++r) {
    for (int c = 1; c <= 16; ++c) {
      if (use[static_cast<std::size_t>(r * 17 + c)] == TCellUse::Unused) continue;
      col = c;
      row = r;
      return true;
    }
  }
  return false;
}

std::string IdleSummaryText(const TLayerSummary& s, const TGridWidths& widths, const TConvertKinds& kinds) {
  int64_t converted = 0;
  int used = 0;
  for (std::size_t i = 0; i < s.layers.size(); ++i) {
    converted += ConvertedOn(s.layers[i], widths[i], kinds);
    if (s.layers[i].Total() > 0) ++used;
  }
  return std::string(kSelectedWord) + ' ' + Grouped(s.total) + ' ' + kItemsWord + kGap + ConvertsText(converted) +
         kGap + kUsedLayersWord + ' ' + Int(used);
}

std::string CellTooltipText(const TLayerSummary& s, const TGridWidths& widths, const TConvertKinds& kinds,
                            int col, int row) {
  if (col < 0 || col > 16 || row < 0 || row > 16 || (col == 0 && row == 0)) return {};
  if (col == 0) return HeaderTooltip(s, widths, kinds, true, row - 1);
  if (row == 0) return HeaderTooltip(s, widths, kinds, false, col - 1);
  return DataTooltip(s, widths, kinds, row - 1, col - 1);
}

std::string WidthMillimetres(int32_t width) { return width < 0 ? std::string() : Hundredths(width); }

std::string LayerTableText(const TLayerSummary& s) {
  std::string out = "layer (group-layer)  entities\n";
  for (int i = 0; i < 256; ++i) {
    const int64_t n = s.layers[static_cast<std::size_t>(i)].Total();
    if (n == 0) continue;
    const std::string count = Int(n);
    out += "  ";
    out += HexDigit(i / 16);
    out += '-';
    out += HexDigit(i % 16);
    out += std::string(count.size() < 24 ? 24 - count.size() : 0, ' ') + count;
    const std::string& group = s.groupNames[static_cast<std::size_t>(i / 16)];
    const std::string& layer = s.layerNames[static_cast<std::size_t>(i)];
    if (!group.empty() || !layer.empty()) out += "  " + group + " / " + layer;
    out += '\n';
  }
  return out;
}
