// Building drawing stores by hand in tests: one record added to a table and to
// the file order, on a given layer and colour; a store with one of each kind.
#pragma once

#include <cstdint>

#include "exchange/store/store.h"

template <typename Rec>
Rec& AddStoreRecord(TJwwData& d, TJwwTable<Rec>& table, TJwwKind kind, int32_t lg, int32_t ly, int32_t lc = 1,
                    int32_t lw = 0) {
  JwwAddOrder(d, kind, static_cast<int32_t>(table.size()));
  Rec& r = table.emplace_back();
  r.lg = lg;
  r.ly = ly;
  r.lc = lc;
  r.lw = lw;
  return r;
}

// A store with one record of every kind, in kind order, all on layer (lg, ly)
// with width lw (a dimension's line too).
inline TJwwData OneRecordOfEachKind(int32_t lg, int32_t ly, int32_t lw = 0) {
  TJwwData d;
  JwwDataInit(d);
  AddStoreRecord(d, d.Lines, kKindLine, lg, ly, 1, lw);
  AddStoreRecord(d, d.Circles, kKindCircle, lg, ly, 1, lw);
  AddStoreRecord(d, d.Arcs, kKindArc, lg, ly, 1, lw);
  AddStoreRecord(d, d.Texts, kKindText, lg, ly, 1, lw);
  AddStoreRecord(d, d.Points, kKindPoint, lg, ly, 1, lw);
  AddStoreRecord(d, d.PointsEx, kKindPointEx, lg, ly, 1, lw);
  TJwwEntDim& dim = AddStoreRecord(d, d.Dims, kKindDim, lg, ly, 1, lw);
  dim.line.lg = lg;
  dim.line.ly = ly;
  dim.line.lw = lw;
  AddStoreRecord(d, d.Blocks, kKindBlock, lg, ly, 1, lw);
  AddStoreRecord(d, d.Solids2, kKindSolid2, lg, ly, 1, lw);
  AddStoreRecord(d, d.Solids3, kKindSolid3, lg, ly, 1, lw);
  AddStoreRecord(d, d.Solids4, kKindSolid4, lg, ly, 1, lw);
  AddStoreRecord(d, d.Scs, kKindSc, lg, ly, 1, lw);
  AddStoreRecord(d, d.Ses, kKindSe, lg, ly, 1, lw);
  AddStoreRecord(d, d.Sos, kKindSo, lg, ly, 1, lw);
  AddStoreRecord(d, d.Sgs, kKindSg, lg, ly, 1, lw);
  return d;
}
