// Attribute emitters: each writes its attribute line only when the value
// differs from the one last written, or when the line is still pending in a new
// writer, and records what it wrote in the writer's attribute state.
// The commonest ones test that inline (emitters.h) and write here.
#include <string>

#include "exchange/write/emitters.h"
#include "exchange/write/emitters_line.h"

void JwwWriteLg(TJwwWriter& w, int32_t v) {
  JwwPutLine(w, TJwwLineBuilder("lg").GluedHex(v).View());
  w.attr.CurLg = v;
  w.need.NeedLg = false;
  // A layer line names a layer of the group in force, so a new group always
  // needs its layer line again.
  w.need.NeedLy = true;
}

void JwwWriteLy(TJwwWriter& w, int32_t v) {
  JwwPutLine(w, TJwwLineBuilder("ly").GluedHex(v).View());
  w.attr.CurLy = v;
  w.need.NeedLy = false;
}

void JwwWriteLc(TJwwWriter& w, int32_t v) {
  JwwPutLine(w, TJwwLineBuilder("lc").GluedInt(v).View());
  w.attr.CurLc = v;
  w.need.NeedLc = false;
  w.need.NeedLc10 = false;
}

void JwwWriteLt(TJwwWriter& w, int32_t v) {
  JwwPutLine(w, TJwwLineBuilder("lt").GluedInt(v).View());
  w.attr.CurLt = v;
  w.need.NeedLt = false;
}

void JwwWriteLw(TJwwWriter& w, int32_t v) {
  JwwPutLine(w, TJwwLineBuilder("lw").GluedInt(v).View());
  w.attr.CurLw = v;
  w.need.NeedLw = false;
}

void JwwWriteCn(TJwwWriter& w, int32_t n, int32_t colour, double width, double height, double spacing) {
  if (n < 0 || n > 10) {
    n = w.data.first.FirstCn;
    if (n == 0) {
      width = w.data.first.FirstTextWidth;
      height = w.data.first.FirstTextHeight;
      spacing = w.data.first.FirstTextSpacing;
      colour = w.data.first.FirstTextColour;
    }
  }
  TJwwWrittenState& a = w.attr;
  const bool freeSizeChanged = n == 0 && (width != a.CurTextWidth || height != a.CurTextHeight ||
                                          spacing != a.CurTextSpacing || colour != a.CurTextColour);
  if (!w.need.NeedCn && n == a.CurCn && !freeSizeChanged) return;
  if (n != 0) {
    JwwPutLine(w, TJwwLineBuilder("cn").GluedInt(n).View());
  } else {
    JwwPutLine(w, TJwwLineBuilder("cn0").Num(width).Num(height).Num(spacing).Num(colour).View());
    a.CurTextWidth = width;
    a.CurTextHeight = height;
    a.CurTextSpacing = spacing;
    a.CurTextColour = colour;
  }
  a.CurCn = n;
  w.need.NeedCn = false;
}

void JwwWriteCc(TJwwWriter& w, int32_t v) {
  JwwPutLine(w, TJwwLineBuilder("cc").GluedInt(v).View());
  w.attr.CurCc = v;
  w.need.NeedCc = false;
}

void JwwWriteFont(TJwwWriter& w, std::string_view name) {
  // The double quote switches the reader's splitting off, so a name with
  // blanks reaches it whole; the reader drops the quote and sees "cn$name".
  std::string line;
  line.reserve(4 + name.size());
  line.append("cn\"$").append(name);
  JwwPutLine(w, line);
  w.attr.CurFont.assign(name);
  w.need.NeedFont = false;
}

void JwwPutPn(TJwwWriter& w, int32_t v) {
  if (!w.need.NeedPn && v == w.attr.CurPn) return;
  JwwPutLine(w, TJwwLineBuilder("pn").GluedInt(v).View());
  w.attr.CurPn = v;
  w.need.NeedPn = false;
}

void JwwPutLc10(TJwwWriter& w, int32_t v) {
  if (v < 0 || v > 0xFFFFFF) v = 0;
  const bool write = w.need.NeedLc || w.attr.CurLc != 10 || w.need.NeedLc10 || v != w.attr.CurLc10;
  if (!write) return;
  JwwPutLine(w, TJwwLineBuilder("lc10").Int(v).View());
  w.attr.CurLc10 = v;
  w.need.NeedLc10 = false;
  w.attr.CurLc = 10;
  w.need.NeedLc = false;
}

void JwwWriteZ(TJwwWriter& w, int32_t flags) {
  if (flags & 1) JwwPutLine(w, "z1");
  if (flags & 2) JwwPutLine(w, "z2");
  if (flags & 4) JwwPutLine(w, "z3");
  if ((flags & 8) && !(flags & 16)) JwwPutLine(w, "z4");
  if (flags & 16) JwwPutLine(w, "z5");
}
