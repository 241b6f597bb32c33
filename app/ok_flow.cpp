// The heart of OK: convert the widths, open the answer with "hd" and write the
// whole drawing into the output line buffer.
#include "app/ok_flow.h"

bool RunOkConversion(TJwwData& d, TJwwWriter& w, const TPresetTable& table, const TConvertKinds& kinds,
                     IJwwProgress* progress, IJwwEscapeKey* escape, TConvertStats* stats) {
  // "hd" makes the host delete the whole selection before it draws the answer:
  // an answer built from a file read only in part would lose the rest of it.
  if (d.ReadOutcome == TJwwReadOutcome::Failed) return false;
  ConvertWidths(d, table, kinds, stats);
  JwwPutLine(w, "hd");
  JwwWriteData(w, TJwwOverrides{}, progress, escape);
  return true;
}
