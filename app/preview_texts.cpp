// The pane's words about one entity.
#include "app/preview_texts.h"

#include "app/form_texts.h"

std::string PreviewEntityText(const TPreviewDrawing& drawing, const TPreviewEntity& e, const TPreviewWidths& widths) {
  const int group = e.layer >> 4;
  const int layer = e.layer & 15;
  std::string text;
  text += "0123456789ABCDEF"[group];
  text += '-';
  text += "0123456789ABCDEF"[layer];
  const std::string& groupName = drawing.groupNames[static_cast<std::size_t>(group)];
  const std::string& layerName = drawing.layerNames[e.layer];
  if (!groupName.empty() || !layerName.empty()) text += " " + groupName + "/" + layerName;
  if (e.rule == TWidthRule::Never || !drawing.widthsExchanged) return text;
  TPreviewWidths after = widths;
  after.after = true;
  text += std::string("  ") + kPreviewWidthWord + std::to_string(e.lw) + kPreviewArrow + std::to_string(after.Width(e));
  return text;
}
