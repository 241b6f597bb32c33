// Colours and widths of the preview.
#include "app/preview_style.h"

#include <algorithm>

namespace {

constexpr uint32_t Rgb(uint32_t r, uint32_t g, uint32_t b) { return r | (g << 8) | (b << 16); }

// Pens 1..9 as the host shows them by default, for a white paper: 1 cyan,
// 2 black, 3 green, 4 yellow (darkened to stay visible on white), 5 magenta,
// 6 blue, 7 dark cyan, 8 red, 9 grey (the auxiliary pen).
constexpr std::array<uint32_t, 10> kPens{
    Rgb(0, 0, 0),       Rgb(0, 160, 160), Rgb(0, 0, 0),     Rgb(0, 150, 0),     Rgb(190, 160, 0),
    Rgb(230, 0, 230),   Rgb(0, 0, 255),   Rgb(0, 110, 110), Rgb(230, 0, 0),     Rgb(150, 150, 150),
};

}  // namespace

uint32_t HostScreenColour(int32_t lc, int32_t lc10) {
  if (lc == 10) return static_cast<uint32_t>(lc10) & 0xFFFFFFu;
  if (lc >= 1 && lc <= 9) return kPens[static_cast<std::size_t>(lc)];
  return kPens[0];
}

int32_t WidthAfterOk(TWidthRule rule, int layer, int32_t lw, const std::array<int32_t, 256>& widths,
                     const TConvertKinds& kinds) {
  bool converts = false;
  switch (rule) {
    case TWidthRule::Never: converts = false; break;
    case TWidthRule::Always: converts = true; break;
    case TWidthRule::Points: converts = kinds.points; break;
    case TWidthRule::Dims: converts = kinds.dims; break;
    case TWidthRule::Solids: converts = kinds.solids; break;
    case TWidthRule::Arbitrary: converts = kinds.solids && kinds.arbitrary; break;
  }
  if (!converts || layer < 0 || layer > 255) return lw;
  const int32_t w = widths[static_cast<std::size_t>(layer)];
  return w >= 0 ? w : lw;
}

double WidthPixels(int32_t lw, double scale, double zoom) {
  if (lw <= 0 || !(scale > 0) || !(zoom > 0)) return 1.0;
  return std::max(1.0, lw / 100.0 * scale * zoom);
}

double EntityPixels(const TPreviewDrawing& drawing, const TPreviewEntity& e, const TPreviewWidths& widths,
                    double zoom) {
  if (!drawing.widthsExchanged || e.rule == TWidthRule::Never) return 1.0;
  return WidthPixels(widths.Width(e), drawing.scales[static_cast<std::size_t>(e.layer >> 4)], zoom);
}
