// The drawing store's reset, release and record bookkeeping.
#include "exchange/store/store.h"

namespace {
template <typename T>
void Release(std::vector<T>& v) {
  std::vector<T>().swap(v);
}
template <typename T>
void Release(TJwwTable<T>& table) {
  table.clear();  // gives its chunks back
}
}  // namespace

const std::string& JwwDefaultFont() {
  // "<ＭＳ ゴシック>" in Shift-JIS.
  static const std::string font = "<\x82\x6c\x82\x72\x20\x83\x53\x83\x56\x83\x62\x83\x4e>";
  return font;
}

void JwwDataInit(TJwwData& d) {
  d.Hk = 0.0;
  d.Hs.fill(1.0);
  d.Hzs = {1189.0, 841.0};
  d.TextTypes.fill(TJwwTextType{});
  d.Bz = false;
  d.Hn.fill(0.0);
  d.FilePath.clear();

  d.LgValues.assign(16, 0);
  d.LgNames.assign(16, std::string());
  d.LyValues.assign(256, 0);
  d.LyNames.assign(256, std::string());
  d.Hp.assign(100, TJwwHp{});
  d.HpCount = 0;

  d.first = TJwwFirstValues{};
  d.LwSeen = false;

  d.Lines.clear();
  d.Circles.clear();
  d.Arcs.clear();
  d.Texts.clear();
  d.Points.clear();
  d.PointsEx.clear();
  d.Dims.clear();
  d.Blocks.clear();
  d.Solids2.clear();
  d.Solids3.clear();
  d.Solids4.clear();
  d.Scs.clear();
  d.Ses.clear();
  d.Sos.clear();
  d.Sgs.clear();
  d.Order.clear();
  d.ReadOutcome = TJwwReadOutcome::NotRead;
  d.BytesRead = 0;
}

void JwwDataFree(TJwwData& d) {
  Release(d.Lines);
  Release(d.Circles);
  Release(d.Arcs);
  Release(d.Texts);
  Release(d.Points);
  Release(d.PointsEx);
  Release(d.Dims);
  Release(d.Blocks);
  Release(d.Solids2);
  Release(d.Solids3);
  Release(d.Solids4);
  Release(d.Scs);
  Release(d.Ses);
  Release(d.Sos);
  Release(d.Sgs);
  Release(d.Order);
  Release(d.LgValues);
  Release(d.LgNames);
  Release(d.LyValues);
  Release(d.LyNames);
  Release(d.Hp);
}

int32_t JwwKindCount(const TJwwData& d, int32_t kind) {
  std::size_t n = 0;
  switch (kind) {
    case kKindLine: n = d.Lines.size(); break;
    case kKindCircle: n = d.Circles.size(); break;
    case kKindArc: n = d.Arcs.size(); break;
    case kKindText: n = d.Texts.size(); break;
    case kKindPoint: n = d.Points.size(); break;
    case kKindPointEx: n = d.PointsEx.size(); break;
    case kKindDim: n = d.Dims.size(); break;
    case kKindBlock: n = d.Blocks.size(); break;
    case kKindSolid2: n = d.Solids2.size(); break;
    case kKindSolid3: n = d.Solids3.size(); break;
    case kKindSolid4: n = d.Solids4.size(); break;
    case kKindSc: n = d.Scs.size(); break;
    case kKindSe: n = d.Ses.size(); break;
    case kKindSo: n = d.Sos.size(); break;
    case kKindSg: n = d.Sgs.size(); break;
    default: break;
  }
  return static_cast<int32_t>(n);
}
