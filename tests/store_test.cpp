// The drawing store: the reset to defaults, release, and how records enter
// their tables and the order list.
#include "exchange/store/store.h"

#include <gtest/gtest.h>

#include "exchange/read/read_state.h"

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
  d.first.FirstFont = "f";
  d.first.FirstLc = 7;
  d.LwSeen = true;
  const TJwwReadState rs;
  JwwAddEntity(d, rs, d.Lines, kKindLine);
  JwwAddEntity(d, rs, d.Sgs, kKindSg);
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
  EXPECT_TRUE(d.first.FirstFont.empty());
  EXPECT_EQ(d.first.FirstLc, 1);
  EXPECT_FALSE(d.LwSeen);
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
  TJwwReadState rs;
  rs.attr.CurHhp = 1, rs.attr.CurLg = 2, rs.attr.CurLy = 3, rs.attr.CurLc = 4;
  rs.attr.CurLt = 5, rs.attr.CurLw = 6, rs.attr.CurZ = 7;
  JwwAddEntity(d, rs, d.Lines, kKindLine);
  TJwwEntCircle& c = JwwAddEntity(d, rs, d.Circles, kKindCircle);
  JwwAddEntity(d, rs, d.Lines, kKindLine);
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
  const TJwwReadState rs;
  JwwAddEntity(d, rs, d.Arcs, kKindArc);
  JwwAddEntity(d, rs, d.Texts, kKindText);
  JwwAddEntity(d, rs, d.Points, kKindPoint);
  JwwAddEntity(d, rs, d.PointsEx, kKindPointEx);
  JwwAddEntity(d, rs, d.Dims, kKindDim);
  JwwAddEntity(d, rs, d.Blocks, kKindBlock);
  JwwAddEntity(d, rs, d.Solids2, kKindSolid2);
  JwwAddEntity(d, rs, d.Solids3, kKindSolid3);
  JwwAddEntity(d, rs, d.Solids4, kKindSolid4);
  JwwAddEntity(d, rs, d.Scs, kKindSc);
  JwwAddEntity(d, rs, d.Ses, kKindSe);
  JwwAddEntity(d, rs, d.Sos, kKindSo);
  for (int i = 0; i < 3; ++i) JwwAddEntity(d, rs, d.Sgs, kKindSg);
  for (int32_t kind = 3; kind <= 14; ++kind) EXPECT_EQ(JwwKindCount(d, kind), 1) << kind;
  EXPECT_EQ(JwwKindCount(d, kKindSg), 3);
  EXPECT_EQ(JwwKindCount(d, kKindLine), 0);
  EXPECT_EQ(d.Order.back().index, 2);
}

}  // namespace
