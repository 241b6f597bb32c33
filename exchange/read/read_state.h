// The reader's working state: what the lines read so far put in force for the
// lines still to come. It lives only while one file (or one run of lines) is
// read; the store keeps only what the drawing holds.
#pragma once

#include <cstdint>
#include <string>

#include "exchange/store/store.h"

// The attribute state in force while the file is read, set from its attribute
// lines. The writer keeps its own record of the attribute lines it wrote.
struct TJwwAttrState : TJwwAttrValues {
  int32_t CurHhp = 0;  // for the next entity only
  int32_t CurZ = 0;    // for the next entity only
  int32_t PolylineNo = 0;
  bool InPolyline = false;
  bool DimPending = false;
};

// The line a dimension starts with before `msg` gives it one of its own.
inline TJwwEntLine JwwDefaultDimLine() {
  TJwwEntLine line;
  line.lc = 1;
  line.lt = 1;
  line.x2 = 1.0;
  return line;
}

// A fresh one is the state before the first line of a file.
struct TJwwReadState {
  TJwwAttrState attr;
  TJwwPending need;  // attributes not met yet; their first values go to the store
  TJwwEntLine PendingDimLine = JwwDefaultDimLine();  // a dimension's line between `msg` and its text
};

// Copies CurHhp, CurLg, CurLy, CurLc, CurLt, CurLw, CurZ into the record.
inline void JwwSetEntAttr(const TJwwReadState& r, TJwwEntAttr& rec) {
  rec.hhp = r.attr.CurHhp;
  rec.lg = r.attr.CurLg;
  rec.ly = r.attr.CurLy;
  rec.lc = r.attr.CurLc;
  rec.lt = r.attr.CurLt;
  rec.lw = r.attr.CurLw;
  rec.z = r.attr.CurZ;
}

// Adds a zeroed record to `table` as an entity of `kind`: the order entry
// first, then the record with the attributes in force. Returns the new record.
// Inline: the reader calls it for every entity of the file.
template <typename Rec>
Rec& JwwAddEntity(TJwwData& d, const TJwwReadState& r, TJwwTable<Rec>& table, int32_t kind) {
  JwwAddOrder(d, kind, static_cast<int32_t>(table.size()));
  Rec& rec = table.emplace_back();
  JwwSetEntAttr(r, rec);
  return rec;
}
