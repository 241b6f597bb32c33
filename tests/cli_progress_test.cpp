// The progress line of the batch command: its text, when it appears, how
// often it is redrawn, and that it leaves nothing behind.
#include "app/cli_progress.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>

namespace {

TEST(CliProgress, TextNamesTheStageAndAWholePercent) {
  const struct {
    TCliStage stage;
    uint64_t done;
    uint64_t total;
    const char* text;
  } rows[] = {
      {TCliStage::Reading, 0, 100, "t905cli: reading      0%"},
      {TCliStage::Converting, 42, 100, "t905cli: converting  42%"},
      {TCliStage::Writing, 100, 100, "t905cli: writing    100%"},
      {TCliStage::Writing, 999999, 1000000, "t905cli: writing     99%"},  // 100 only when done
      {TCliStage::Reading, 150, 100, "t905cli: reading    100%"},
      {TCliStage::Reading, 2400000000ull, 2500000000ull, "t905cli: reading     96%"},  // beyond 32 bits
      {TCliStage::Writing, 5, 0, "t905cli: writing ..."},  // total not known
  };
  for (const auto& r : rows) EXPECT_EQ(ProgressText(r.stage, r.done, r.total), r.text);
}

class FakeClock {
 public:
  double now = 100.0;
  TProgressLine::TClock Clock() {
    return [this] { return now; };
  }
};

TEST(CliProgress, NothingOnShortRunsThenOneLineRedrawnInPlace) {
  FakeClock clock;
  std::ostringstream out;
  TProgressLine line(out, clock.Clock(), 1.0, 0.1);
  line.Show(TCliStage::Reading, 10, 100);
  clock.now += 0.9;
  line.Show(TCliStage::Reading, 20, 100);
  EXPECT_EQ(out.str(), "") << "before a second has passed";

  clock.now += 0.2;
  line.Show(TCliStage::Reading, 30, 100);
  EXPECT_EQ(out.str(), "\rt905cli: reading     30%");
  clock.now += 0.05;
  line.Show(TCliStage::Reading, 31, 100);
  EXPECT_EQ(out.str(), "\rt905cli: reading     30%") << "not redrawn within the interval";
  line.Show(TCliStage::Writing, 0, 0);
  EXPECT_EQ(out.str(), "\rt905cli: reading     30%\rt905cli: writing ...    ")
      << "a new stage at once, the longer text blanked";
  out.str("");
  line.Finish();
  EXPECT_EQ(out.str(), "\r" + std::string(20, ' ') + "\r");
  out.str("");
  line.Finish();
  EXPECT_EQ(out.str(), "") << "nothing left to clear";
}

TEST(CliProgress, FinishAfterAShortRunWritesNothing) {
  FakeClock clock;
  std::ostringstream out;
  TProgressLine line(out, clock.Clock());
  line.Show(TCliStage::Converting, 1, 2);
  line.Finish();
  EXPECT_EQ(out.str(), "");
}

}  // namespace
