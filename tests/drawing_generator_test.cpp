// Tests of the drawing generator: the files it makes are deterministic, read
// back into exactly the entities asked for, and hold every kind.
#include "tests/support/drawing_generator.h"

#include <gtest/gtest.h>

#include <string>

#include "exchange/read/reader.h"
#include "exchange/store/store.h"

namespace {

bool EveryLineEndsInCrLf(const std::string& b) {
  for (std::size_t i = 0; i < b.size(); ++i) {
    if (b[i] == '\n' && (i == 0 || b[i - 1] != '\r')) return false;
    if (b[i] == '\r' && (i + 1 == b.size() || b[i + 1] != '\n')) return false;
  }
  return b.empty() || b.ends_with("\r\n");
}

TEST(DrawingGenerator, SameSeedSameBytesOtherSeedOtherBytes) {
  const std::string a = GenerateExchangeFile(3000, 7);
  EXPECT_EQ(a, GenerateExchangeFile(3000, 7));
  EXPECT_NE(a, GenerateExchangeFile(3000, 8));
}

TEST(DrawingGenerator, ReadsBackAsTheRequestedEntitiesOfEveryKind) {
  for (const std::size_t count : {std::size_t{0}, std::size_t{1}, std::size_t{20000}}) {
    const std::string bytes = GenerateExchangeFile(count, 1, {.header = true, .bz = true, .widths = true});
    EXPECT_TRUE(EveryLineEndsInCrLf(bytes));
    TJwwData d;
    JwwDataInit(d);
    JwwReadBytes(d, bytes);
    EXPECT_EQ(d.Order.size(), count);
    EXPECT_TRUE(d.Bz);
    EXPECT_EQ(d.LwSeen, count > 0);
    if (count < 20000) continue;
    EXPECT_GT(d.Lines.size(), count / 2);
    EXPECT_GT(d.Texts.size(), 0u);
    EXPECT_GT(d.Circles.size(), 0u);
    EXPECT_GT(d.Arcs.size(), 0u);
    EXPECT_GT(d.Points.size(), 0u);
    EXPECT_GT(d.PointsEx.size(), 0u);
    EXPECT_GT(d.Dims.size(), 0u);
    EXPECT_GT(d.Solids2.size(), 0u);
    EXPECT_GT(d.Solids3.size(), 0u);
    EXPECT_GT(d.Solids4.size(), 0u);
    EXPECT_GT(d.Scs.size(), 0u);
    EXPECT_GT(d.Ses.size(), 0u);
    EXPECT_GT(d.Sos.size(), 0u);
    EXPECT_GT(d.Sgs.size(), 0u);
    EXPECT_TRUE(d.Blocks.empty());
    std::size_t inPolyline = 0, withZ = 0, arbitraryColour = 0;
    for (const auto& l : d.Lines) inPolyline += l.pl != 0;
    for (const auto& l : d.Lines) withZ += l.z != 0;
    for (const auto& s : d.Solids4) arbitraryColour += s.lc == 10;
    EXPECT_GT(inPolyline, 0u);
    EXPECT_GT(withZ, 0u);
    EXPECT_GT(arbitraryColour, 0u);
  }
}

TEST(DrawingGenerator, OptionsLeaveOutHeaderAndWidths) {
  const std::string bytes = GenerateExchangeFile(500, 3, {.header = false, .bz = false, .widths = false});
  EXPECT_EQ(bytes.find("hq"), std::string::npos);
  TJwwData d;
  JwwDataInit(d);
  JwwReadBytes(d, bytes);
  EXPECT_EQ(d.Order.size(), 500u);
  EXPECT_FALSE(d.LwSeen);
  EXPECT_FALSE(d.Bz);
}

struct NumberCase {
  double value;
  const char* text;
};

class HostNumberTextTest : public ::testing::TestWithParam<NumberCase> {};

TEST_P(HostNumberTextTest, WritesTheHostsForm) { EXPECT_EQ(HostNumberText(GetParam().value), GetParam().text); }

INSTANTIATE_TEST_SUITE_P(Cases, HostNumberTextTest,
                         ::testing::Values(NumberCase{2, "2"}, NumberCase{-12.25, "-12.25"}, NumberCase{-0.0, "0"},
                                           NumberCase{0.0001, "0.0001"}, NumberCase{0.00001, "1E-5"},
                                           NumberCase{1.0 / 3, "0.333333333333333"},
                                           NumberCase{1e15, "1E15"}, NumberCase{999999999999999, "999999999999999"},
                                           NumberCase{1.5e20, "1.5E20"}, NumberCase{2.0 / 3 * 1e-6, "6.66666666666667E-7"},
                                           NumberCase{-2.8421709430404e-14, "-2.8421709430404E-14"},
                                           NumberCase{1e-300, "1E-300"}));

}  // namespace
