// The record emitters: one attribute emitter per attribute line, which writes
// its line only when the value differs from the one last written (or is still
// pending), and one record writer per entity table. All append to the writer's
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
void JwwWriteLg(TJwwWriter& w, int32_t v);
void JwwWriteLy(TJwwWriter& w, int32_t v);
void JwwWriteLc(TJwwWriter& w, int32_t v);
void JwwWriteLt(TJwwWriter& w, int32_t v);
void JwwWriteLw(TJwwWriter& w, int32_t v);
void JwwWriteZ(TJwwWriter& w, int32_t flags);

// "lg" + hex digit; a written group always pulls a layer line after it.
inline void JwwPutLg(TJwwWriter& w, int32_t v) {
  if (w.need.NeedLg || v != w.attr.CurLg) JwwWriteLg(w, v);
}
// "ly" + hex digit.
inline void JwwPutLy(TJwwWriter& w, int32_t v) {
  if (w.need.NeedLy || v != w.attr.CurLy) JwwWriteLy(w, v);
}
// "lc" + integer; clears the pending arbitrary colour.
inline void JwwPutLc(TJwwWriter& w, int32_t v) {
  if (w.need.NeedLc || v != w.attr.CurLc) JwwWriteLc(w, v);
}
// "lt" + integer.
inline void JwwPutLt(TJwwWriter& w, int32_t v) {
  if (w.need.NeedLt || v != w.attr.CurLt) JwwWriteLt(w, v);
}
// "lw" + integer, only when the file read had an `lw` line; -1 stands for the
// first width read, anything outside 0..30000 for 0.
inline void JwwPutLw(TJwwWriter& w, int32_t v) {
  // The host exchanges widths only when it was asked to; a file without any
  // `lw` line must get none back.
  if (!w.data.LwSeen) return;
  if (v == -1) v = w.data.first.FirstLw;
  if (v < 0 || v > 30000) v = 0;
  if (w.need.NeedLw || v != w.attr.CurLw) JwwWriteLw(w, v);
}
// "cn" + type, or "cn0 w h d c" for free-size text. A type outside 0..10 is
// replaced by the first type read (with the first free-size values when that is 0).
void JwwWriteCn(TJwwWriter& w, int32_t n, int32_t colour, double width, double height, double spacing);
inline void JwwPutCn(TJwwWriter& w, int32_t n, int32_t colour, double width, double height, double spacing) {
  // A text type other than free-size, unchanged, writes nothing.
  if (n >= 1 && n <= 10 && !w.need.NeedCn && n == w.attr.CurCn) return;
  JwwWriteCn(w, n, colour, width, height, spacing);
}
// "cc" + 0..8 (anything else as 0).
void JwwWriteCc(TJwwWriter& w, int32_t v);
inline void JwwPutCc(TJwwWriter& w, int32_t v) {
  if (v < 0 || v > 8) v = 0;
  if (w.need.NeedCc || v != w.attr.CurCc) JwwWriteCc(w, v);
}
// The font line: c n " $ and the name. An empty name or "<>" stands for the
// first font read.
void JwwWriteFont(TJwwWriter& w, std::string_view name);
inline void JwwPutFont(TJwwWriter& w, std::string_view name) {
  if (name.empty() || name == "<>") name = w.data.first.FirstFont;
  if (w.need.NeedFont || name != w.attr.CurFont) JwwWriteFont(w, name);
}
// "pn" + integer.
void JwwPutPn(TJwwWriter& w, int32_t v);
// "lc10 " + the arbitrary colour (outside 0..0xFFFFFF as 0); makes 10 the colour in force.
void JwwPutLc10(TJwwWriter& w, int32_t v);
// One line per flag set: z1, z2, z3, z4 (only while z5 is clear), z5. No state.
inline void JwwPutZ(TJwwWriter& w, int32_t flags) {
  if ((flags & 0x1F) != 0) JwwWriteZ(w, flags);
}

// True when a text shows nothing: only bytes up to the blank and full-width
// blanks (Shift-JIS 81 40), as RemoveBlanks would leave it empty.
bool JwwIsBlankText(std::string_view text);

// Record writers: the record at `index` of its table, its attribute lines,
// then its `z` lines and geometry. Degenerate geometry is left out, and its
// `z` lines with it, since the host would give them to the next entity. An
// index outside the table writes nothing.
void JwwPutLn(TJwwWriter& w, int32_t index, const TJwwOverrides& o);
void JwwPutCircle(TJwwWriter& w, int32_t index, const TJwwOverrides& o);
void JwwPutArc(TJwwWriter& w, int32_t index, const TJwwOverrides& o);
void JwwPutText(TJwwWriter& w, int32_t index, const TJwwOverrides& o);
void JwwPutPoint(TJwwWriter& w, int32_t index, const TJwwOverrides& o);
void JwwPutPointEx(TJwwWriter& w, int32_t index, const TJwwOverrides& o);
void JwwPutDim(TJwwWriter& w, int32_t index, const TJwwOverrides& o);
void JwwPutSolid2(TJwwWriter& w, int32_t index, const TJwwOverrides& o);
void JwwPutSolid3(TJwwWriter& w, int32_t index, const TJwwOverrides& o);
void JwwPutSolid4(TJwwWriter& w, int32_t index, const TJwwOverrides& o);
void JwwPutSc(TJwwWriter& w, int32_t index, const TJwwOverrides& o);
void JwwPutSe(TJwwWriter& w, int32_t index, const TJwwOverrides& o);
void JwwPutSo(TJwwWriter& w, int32_t index, const TJwwOverrides& o);
void JwwPutSg(TJwwWriter& w, int32_t index, const TJwwOverrides& o);

// The record writer for an entry of the entity order list; block references
// (and unknown kinds) write nothing.
void JwwPutEntity(TJwwWriter& w, int32_t kind, int32_t index, const TJwwOverrides& o);
