// The one place the preview reads the drawing store: its tables turned into
// the preview's plain records, in file order. The store is only read.
#pragma once

#include <atomic>

#include "app/preview_model.h"

struct TJwwData;

// `stop`, when given, is looked at now and then: once it is set the records
// made so far are returned, unfinished.
TPreviewDrawing MakePreviewDrawing(const TJwwData& d, const std::atomic<bool>* stop = nullptr);
