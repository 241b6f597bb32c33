// Building drawing stores by hand in tests: one record added to a table and to
// the file order, on a given layer and colour.
#pragma once

#include <cstdint>

#include "exchange/store.h"

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
