// The record emitters: one attribute emitter per attribute line, which writes
// its line only when the value differs from the one last written (or is still
// pending), and one record writer per entity table. All append to the store's
// output line buffer.
#pragma once

#include <cstdint>
#include <string_view>

#include "exchange/store/store.h"
#include "exchange/write/writer.h"

// Two points coincide when both coordinate differences are below this; a value
// vanishes when its magnitude is at most this.
inline constexpr double kJwwTolerance = 1e-8;

// The attribute lines most records pass through are written only when their
// value changes: that test is inline, the writing is not (JwwWrite*).
void JwwWriteLg(TJwwData& d, int32_t v);
void JwwWriteLy(TJwwData& d, int32_t v);
void JwwWriteLc(TJwwData& d, int32_t v);
void JwwWriteLt(TJwwData& d, int32_t v);
void JwwWriteLw(TJwwData& d, int32_t v);
void JwwWriteZ(TJwwData& d, int32_t flags);

// "lg" + hex digit; a written group always pulls a layer line after it.
inline void JwwPutLg(TJwwData& d, int32_t v) {
  if (d.need.NeedLg || v != d.attr.CurLg) JwwWriteLg(d, v);
}
// "ly" + hex digit.
inline void JwwPutLy(TJwwData& d, int32_t v) {
  if (d.need.NeedLy || v != d.attr.CurLy) JwwWriteLy(d, v);
}
// "lc" + integer; clears the pending arbitrary colour.
inline void JwwPutLc(TJwwData& d, int32_t v) {
  if (d.need.NeedLc || v != d.attr.CurLc) JwwWriteLc(d, v);
}
// "lt" + integer.
inline void JwwPutLt(TJwwData& d, int32_t v) {
  if (d.need.NeedLt || v != d.attr.CurLt) JwwWriteLt(d, v);
}
// "lw" + integer, only when the file read had an `lw` line; -1 stands for the
// first width read, anything outside 0..30000 for 0.
inline void JwwPutLw(TJwwData& d, int32_t v) {
  // The host exchanges widths only when it was asked to; a file without any
  // `lw` line must get none back.
  if (!d.LwSeen) return;
  if (v == -1) v = d.first.FirstLw;
  if (v < 0 || v > 30000) v = 0;
  if (d.need.NeedLw || v != d.attr.CurLw) JwwWriteLw(d, v);
}
// "cn" + type, or "cn0 w h d c" for free-size text. A type outside 0..10 is
// replaced by the first type read (with the first free-size values when that is 0).
void JwwWriteCn(TJwwData& d, int32_t n, int32_t colour, double width, double height, double spacing);
inline void JwwPutCn(TJwwData& d, int32_t n, int32_t colour, double width, double height, double spacing) {
  // A text type other than free-size, unchanged, writes nothing.
  if (n >= 1 && n <= 10 && !d.need.NeedCn && n == d.attr.CurCn) return;
  JwwWriteCn(d, n, colour, width, height, spacing);
}
// "cc" + 0..8 (anything else as 0).
void JwwWriteCc(TJwwData& d, int32_t v);
inline void JwwPutCc(TJwwData& d, int32_t v) {
  if (v < 0 || v > 8) v = 0;
  if (d.need.NeedCc || v != d.attr.CurCc) JwwWriteCc(d, v);
}
// The font line: c n " $ and the name. An empty name or "<>" stands for the
// first font read.
void JwwWriteFont(TJwwData& d, std::string_view name);
inline void JwwPutFont(TJwwData& d, std::string_view name) {
  if (name.empty() || name == "<>") name = d.first.FirstFont;
  if (d.need.NeedFont || name != d.attr.CurFont) JwwWriteFont(d, name);
}
// "pn" + integer.
void JwwPutPn(TJwwData& d, int32_t v);
// "lc10 " + the arbitrary colour (outside 0..0xFFFFFF as 0); makes 10 the colour in force.
void JwwPutLc10(TJwwData& d, int32_t v);
// One line per flag set: z1, z2, z3, z4 (only while z5 is clear), z5. No state.
inline void JwwPutZ(TJwwData& d, int32_t flags) {
  if ((flags & 0x1F) != 0) JwwWriteZ(d, flags);
}

// True when a text shows nothing: only bytes up to the blank and full-width
// blanks (Shift-JIS 81 40), as RemoveBlanks would leave it empty.
bool JwwIsBlankText(std::string_view text);

// Record writers: the record at `index` of its table, its attribute lines,
// then its `z` lines and geometry. Degenerate geometry is left out, and its
// `z` lines with it, since the host would give them to the next entity. An
// index outside the table writes nothing.
void JwwPutLn(TJwwData& d, int32_t index, const TJwwOverrides& o);
void JwwPutCircle(TJwwData& d, int32_t index, const TJwwOverrides& o);
void JwwPutArc(TJwwData& d, int32_t index, const TJwwOverrides& o);
void JwwPutText(TJwwData& d, int32_t index, const TJwwOverrides& o);
void JwwPutPoint(TJwwData& d, int32_t index, const TJwwOverrides& o);
void JwwPutPointEx(TJwwData& d, int32_t index, const TJwwOverrides& o);
void JwwPutDim(TJwwData& d, int32_t index, const TJwwOverrides& o);
void JwwPutSolid2(TJwwData& d, int32_t index, const TJwwOverrides& o);
void JwwPutSolid3(TJwwData& d, int32_t index, const TJwwOverrides& o);
void JwwPutSolid4(TJwwData& d, int32_t index, const TJwwOverrides& o);
void JwwPutSc(TJwwData& d, int32_t index, const TJwwOverrides& o);
void JwwPutSe(TJwwData& d, int32_t index, const TJwwOverrides& o);
void JwwPutSo(TJwwData& d, int32_t index, const TJwwOverrides& o);
void JwwPutSg(TJwwData& d, int32_t index, const TJwwOverrides& o);

// The record writer for an entry of the entity order list; block references
// (and unknown kinds) write nothing.
void JwwPutEntity(TJwwData& d, int32_t kind, int32_t index, const TJwwOverrides& o);
