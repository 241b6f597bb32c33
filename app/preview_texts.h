// What the pane says about the entity under the mouse (Shift-JIS).
#pragma once

#include <string>

#include "app/preview_model.h"
#include "app/preview_style.h"

// "G-L group/layer  線幅 before → after": the layer as the grid names it, the
// names the file gives, and for entities that carry a width, the width as
// read and as OK would set it with `widths`' table and check boxes.
std::string PreviewEntityText(const TPreviewDrawing& drawing, const TPreviewEntity& e, const TPreviewWidths& widths);
