// Attribute emitters: each writes its attribute line only when the value
// differs from the one last written, or when the line is still pending after
// JwwWriteInit, and records what it wrote in the store's attribute state.
// The commonest ones test that inline (emitters.h) and write here.
#include <string>

#include "exchange/write/emitters.h"
#include "exchange/write/emitters_line.h"

void JwwWriteLg(TJwwData& d, int32_t v) {
  JwwPutLine(d, TJwwLineBuilder("lg").GluedHex(v).View());
  d.attr.CurLg = v;
  d.need.NeedLg = false;
  // A layer line names a layer of the group in force, so a new group always
  // needs its layer line again.
  d.need.NeedLy = true;
}

void JwwWriteLy(TJwwData& d, int32_t v) {
  JwwPutLine(d, TJwwLineBuilder("ly").GluedHex(v).View());
  d.attr.CurLy = v;
  d.need.NeedLy = false;
}

void JwwWriteLc(TJwwData& d, int32_t v) {
  JwwPutLine(d, TJwwLineBuilder("lc").GluedInt(v).View());
  d.attr.CurLc = v;
  d.need.NeedLc = false;
  d.need.NeedLc10 = false;
}

void JwwWriteLt(TJwwData& d, int32_t v) {
  JwwPutLine(d, TJwwLineBuilder("lt").GluedInt(v).View());
  d.attr.CurLt = v;
  d.need.NeedLt = false;
}

void JwwWriteLw(TJwwData& d, int32_t v) {
  JwwPutLine(d, TJwwLineBuilder("lw").GluedInt(v).View());
  d.attr.CurLw = v;
  d.need.NeedLw = false;
}

void JwwWriteCn(TJwwData& d, int32_t n, int32_t colour, double width, double height, double spacing) {
  if (n < 0 || n > 10) {
    n = d.first.FirstCn;
    if (n == 0) {
      width = d.first.FirstTextWidth;
      height = d.first.FirstTextHeight;
      spacing = d.first.FirstTextSpacing;
      colour = d.first.FirstTextColour;
    }
  }
  TJwwAttrState& a = d.attr;
  const bool freeSizeChanged = n == 0 && (width != a.CurTextWidth || height != a.CurTextHeight ||
                                          spacing != a.CurTextSpacing || colour != a.CurTextColour);
  if (!d.need.NeedCn && n == a.CurCn && !freeSizeChanged) return;
  if (n != 0) {
    JwwPutLine(d, TJwwLineBuilder("cn").GluedInt(n).View());
  } else {
    JwwPutLine(d, TJwwLineBuilder("cn0").Num(width).Num(height).Num(spacing).Num(colour).View());
    a.CurTextWidth = width;
    a.CurTextHeight = height;
    a.CurTextSpacing = spacing;
    a.CurTextColour = colour;
  }
  a.CurCn = n;
  d.need.NeedCn = false;
}

void JwwWriteCc(TJwwData& d, int32_t v) {
  JwwPutLine(d, TJwwLineBuilder("cc").GluedInt(v).View());
  d.attr.CurCc = v;
  d.need.NeedCc = false;
}

void JwwWriteFont(TJwwData& d, std::string_view name) {
  // The double quote switches the reader's splitting off, so a name with
  // blanks reaches it whole; the reader drops the quote and sees "cn$name".
  std::string line;
  line.reserve(4 + name.size());
  line.append("cn\"$").append(name);
  JwwPutLine(d, line);
  d.attr.CurFont.assign(name);
  d.need.NeedFont = false;
}

void JwwPutPn(TJwwData& d, int32_t v) {
  if (!d.need.NeedPn && v == d.attr.CurPn) return;
  JwwPutLine(d, TJwwLineBuilder("pn").GluedInt(v).View());
  d.attr.CurPn = v;
  d.need.NeedPn = false;
}

void JwwPutLc10(TJwwData& d, int32_t v) {
  if (v < 0 || v > 0xFFFFFF) v = 0;
  const bool write = d.need.NeedLc || d.attr.CurLc != 10 || d.need.NeedLc10 || v != d.attr.CurLc10;
  if (!write) return;
  JwwPutLine(d, TJwwLineBuilder("lc10").Int(v).View());
  d.attr.CurLc10 = v;
  d.need.NeedLc10 = false;
  d.attr.CurLc = 10;
  d.need.NeedLc = false;
}

void JwwWriteZ(TJwwData& d, int32_t flags) {
  if (flags & 1) JwwPutLine(d, "z1");
  if (flags & 2) JwwPutLine(d, "z2");
  if (flags & 4) JwwPutLine(d, "z3");
  if ((flags & 8) && !(flags & 16)) JwwPutLine(d, "z4");
  if (flags & 16) JwwPutLine(d, "z5");
}
