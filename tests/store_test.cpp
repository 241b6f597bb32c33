// The drawing store: the reset to defaults, release, and how records enter
// their tables and the order list.
#include "exchange/store/store.h"

#include <gtest/gtest.h>

namespace {

// A store with something in every part, so a reset has work to do.
TJwwData Dirty() {
  TJwwData d;
  JwwDataInit(d);
  d.Hk = 5;
  d.Hs[3] = 9;
  d.Hzs = {1, 2};
  d.TextTypes[4].colour = 8;
  d.Bz = true;
  d.FilePath = "x";
  d.LgNames[2] = "g";
  d.LyValues[200] = 3;
  d.Hp[4].set = true;
  d.HpCount = 1;
  d.attr.CurLc = 7;
  d.attr.CurFont = "f";
  d.attr.InPolyline = true;
  d.attr.DimPending = true;
  d.first.FirstFont = "f";
  d.need.NeedLw = false;
  d.LwSeen = true;
  d.PendingDimLine.x2 = 50;
  JwwAddEntity(d, d.Lines, kKindLine);
  JwwAddEntity(d, d.Sgs, kKindSg);
  d.ReadOutcome = TJwwReadOutcome::Complete;
  return d;
}

TEST(DataInit, ResetsEveryPartToItsDefault) {
  TJwwData d = Dirty();
  JwwDataInit(d);
  for (int32_t kind = 1; kind <= 15; ++kind) EXPECT_EQ(JwwKindCount(d, kind), 0) << kind;
  EXPECT_TRUE(d.Order.empty());
  EXPECT_EQ(d.Hk, 0.0);
  EXPECT_EQ(d.Hs[3], 1.0);
  EXPECT_EQ(d.Hzs[0], 1189.0);
  EXPECT_EQ(d.Hzs[1], 841.0);
  for (const TJwwTextType& t : d.TextTypes) {
    EXPECT_EQ(t.width, 3.0);
    EXPECT_EQ(t.height, 3.0);
    EXPECT_EQ(t.spacing, 0.0);
    EXPECT_EQ(t.colour, 2);
  }
  EXPECT_FALSE(d.Bz);
  EXPECT_TRUE(d.FilePath.empty());
  ASSERT_EQ(d.LgNames.size(), 16u);
  ASSERT_EQ(d.LyValues.size(), 256u);
  ASSERT_EQ(d.LyNames.size(), 256u);
  EXPECT_TRUE(d.LgNames[2].empty());
  EXPECT_EQ(d.LyValues[200], 0);
  ASSERT_EQ(d.Hp.size(), 100u);
  EXPECT_FALSE(d.Hp[4].set);
  EXPECT_EQ(d.HpCount, 0);
  EXPECT_EQ(d.attr.CurLc, 1);
  EXPECT_EQ(d.attr.CurLt, 1);
  EXPECT_EQ(d.attr.CurPn, 1);
  EXPECT_EQ(d.attr.CurCn, 1);
  EXPECT_EQ(d.attr.CurFont, "<\x82\x6c\x82\x72\x20\x83\x53\x83\x56\x83\x62\x83\x4e>");  // <ＭＳ ゴシック>
  EXPECT_FALSE(d.attr.InPolyline);
  EXPECT_FALSE(d.attr.DimPending);
  EXPECT_TRUE(d.first.FirstFont.empty());
  EXPECT_TRUE(d.need.NeedLw);
  EXPECT_FALSE(d.LwSeen);
  EXPECT_EQ(d.PendingDimLine.lc, 1);
  EXPECT_EQ(d.PendingDimLine.lt, 1);
  EXPECT_EQ(d.PendingDimLine.x1, 0.0);
  EXPECT_EQ(d.PendingDimLine.x2, 1.0);
  EXPECT_EQ(d.PendingDimLine.y2, 0.0);
  EXPECT_EQ(d.ReadOutcome, TJwwReadOutcome::NotRead);
}

TEST(DataFree, ReleasesTablesAndKeepsScalars) {
  TJwwData d = Dirty();
  JwwDataFree(d);
  EXPECT_EQ(d.Lines.capacity(), 0u);
  EXPECT_EQ(d.Order.capacity(), 0u);
  EXPECT_TRUE(d.LyNames.empty());
  EXPECT_TRUE(d.Hp.empty());
  EXPECT_EQ(d.Hk, 5.0);
  JwwDataInit(d);
  EXPECT_EQ(d.LyNames.size(), 256u);
}

TEST(AddEntity, AppendsOrderThenRecordWithCurrentAttributes) {
  TJwwData d;
  JwwDataInit(d);
  d.attr = {};
  d.attr.CurHhp = 1, d.attr.CurLg = 2, d.attr.CurLy = 3, d.attr.CurLc = 4;
  d.attr.CurLt = 5, d.attr.CurLw = 6, d.attr.CurZ = 7;
  JwwAddEntity(d, d.Lines, kKindLine);
  TJwwEntCircle& c = JwwAddEntity(d, d.Circles, kKindCircle);
  JwwAddEntity(d, d.Lines, kKindLine);
  EXPECT_EQ(c.hhp, 1);
  EXPECT_EQ(c.lg, 2);
  EXPECT_EQ(c.ly, 3);
  EXPECT_EQ(c.lc, 4);
  EXPECT_EQ(c.lt, 5);
  EXPECT_EQ(c.lw, 6);
  EXPECT_EQ(c.z, 7);
  EXPECT_EQ(c.r, 0.0);
  ASSERT_EQ(d.Order.size(), 3u);
  EXPECT_EQ(d.Order[0].kind, kKindLine);
  EXPECT_EQ(d.Order[0].index, 0);
  EXPECT_EQ(d.Order[1].kind, kKindCircle);
  EXPECT_EQ(d.Order[1].index, 0);
  EXPECT_EQ(d.Order[2].kind, kKindLine);
  EXPECT_EQ(d.Order[2].index, 1);
  EXPECT_EQ(JwwKindCount(d, kKindLine), 2);
  EXPECT_EQ(JwwKindCount(d, 0), 0);
  EXPECT_EQ(JwwKindCount(d, 16), 0);
}

// Every kind number reaches its own table.
TEST(KindCount, EachKindCountsItsTable) {
  TJwwData d;
  JwwDataInit(d);
  JwwAddEntity(d, d.Arcs, kKindArc);
  JwwAddEntity(d, d.Texts, kKindText);
  JwwAddEntity(d, d.Points, kKindPoint);
  JwwAddEntity(d, d.PointsEx, kKindPointEx);
  JwwAddEntity(d, d.Dims, kKindDim);
  JwwAddEntity(d, d.Blocks, kKindBlock);
  JwwAddEntity(d, d.Solids2, kKindSolid2);
  JwwAddEntity(d, d.Solids3, kKindSolid3);
  JwwAddEntity(d, d.Solids4, kKindSolid4);
  JwwAddEntity(d, d.Scs, kKindSc);
  JwwAddEntity(d, d.Ses, kKindSe);
  JwwAddEntity(d, d.Sos, kKindSo);
  for (int i = 0; i < 3; ++i) JwwAddEntity(d, d.Sgs, kKindSg);
  for (int32_t kind = 3; kind <= 14; ++kind) EXPECT_EQ(JwwKindCount(d, kind), 1) << kind;
  EXPECT_EQ(JwwKindCount(d, kKindSg), 3);
  EXPECT_EQ(JwwKindCount(d, kKindLine), 0);
  EXPECT_EQ(d.Order.back().index, 2);
}

}  // namespace
