// The heart of OK, shared by the window and the batch command: convert, open
// the answer with "hd" and write the drawing into the output line buffer.
#pragma once

#include "app/convert.h"
#include "exchange/store/store.h"
#include "exchange/write/writer.h"

// Converts the store `d` with `table` and `kinds`, then appends "hd" and the
// whole drawing to the answer of `w`, the writer of that store.
// When the exchange file existed but was not read to its end, nothing is
// converted or appended, so the answer stays "hq" and the host keeps its
// drawing. Returns false in that case.
bool RunOkConversion(TJwwData& d, TJwwWriter& w, const TPresetTable& table, const TConvertKinds& kinds,
                     IJwwProgress* progress, IJwwEscapeKey* escape, TConvertStats* stats = nullptr);
