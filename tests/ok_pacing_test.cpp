// Pacing of the status line and the Escape poll during OK: which progress
// texts reach the status line and which polls reach the key, for walks whose
// progress points come at various speeds.
#include "app/ok_pacing.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/support/fake_controls.h"

namespace {

using namespace std::chrono_literals;
using Lines = std::vector<std::string>;

struct TPacingCase {
  const char* name;
  std::chrono::milliseconds interval;
  std::chrono::milliseconds perPoint;  // time from one progress point to the next
  int points;                          // progress points the walk offers, texts "0", "1", ...
  std::vector<bool> keyAtPolls;        // the key's state at each poll that goes through
  Lines shown;                         // status texts expected, in order
  int polls;                           // polls expected to reach the key
  bool escapeSeen;
};

class OkPacing : public ::testing::TestWithParam<TPacingCase> {};

TEST_P(OkPacing, PaintsAndPollsAtMostOncePerIntervalAndAlwaysShowsTheLastCount) {
  const TPacingCase& c = GetParam();
  FakeControls ui("t905.exe");
  ui.escapeAnswers.assign(c.keyAtPolls.begin(), c.keyAtPolls.end());
  TOkPacing::TimePoint clock{};
  TOkPacing pacing;
  pacing.interval = c.interval;
  pacing.now = [&clock] { return clock; };
  TPacedOkFeedback feedback(ui, pacing);
  bool escapeSeen = false;
  // As the walk does: the text, then the poll, at each point until Escape.
  for (int i = 0; i < c.points && !escapeSeen; ++i) {
    feedback.ShowProgress(std::to_string(i));
    escapeSeen = feedback.IsEscapeDown();
    clock += c.perPoint;
  }
  feedback.Finish();
  EXPECT_EQ(ui.statusTexts, c.shown);
  EXPECT_EQ(ui.escapePolls, c.polls);
  EXPECT_EQ(escapeSeen, c.escapeSeen);
}

INSTANTIATE_TEST_SUITE_P(
    Feedback, OkPacing,
    ::testing::Values(
        // Slower than the interval: every point goes through, as without pacing.
        TPacingCase{"SlowWalkShowsEveryPoint", 30ms, 40ms, 3, {}, {"0", "1", "2"}, 3, false},
        // Points exactly one interval apart are due.
        TPacingCase{"PointsOneIntervalApart", 30ms, 30ms, 3, {}, {"0", "1", "2"}, 3, false},
        // Fast: the first point, then the held-back last count at the end.
        TPacingCase{"FastWalkShowsFirstAndLast", 30ms, 1ms, 20, {}, {"0", "19"}, 1, false},
        // Every third point is due; the last one is due itself, so nothing is held.
        TPacingCase{"EveryThirdPoint", 30ms, 10ms, 10, {}, {"0", "3", "6", "9"}, 4, false},
        // The key is read at the first point even when the walk is fast.
        TPacingCase{"EscapeDownAtStart", 30ms, 1ms, 20, {true}, {"0"}, 1, true},
        // A press is seen at the next poll that is due, and the count there stays shown.
        TPacingCase{"EscapeSeenAtNextDuePoll", 30ms, 10ms, 10, {false, true}, {"0", "3"}, 2, true},
        // A zero interval passes everything through.
        TPacingCase{"ZeroInterval", 0ms, 0ms, 3, {}, {"0", "1", "2"}, 3, false},
        TPacingCase{"NoPoints", 30ms, 1ms, 0, {}, {}, 0, false}),
    [](const ::testing::TestParamInfo<TPacingCase>& p) { return std::string(p.param.name); });

}  // namespace
