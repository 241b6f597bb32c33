// The one place the preview reads the drawing store: its tables turned into
// the preview's plain records, in file order. The store is only read.
#pragma once

#include "app/preview_model.h"

struct TJwwData;

TPreviewDrawing MakePreviewDrawing(const TJwwData& d);
