// The status line and the Escape key during OK, each touched at most once per
// interval. The walk offers both every 100 entities; under Wine each is a round
// trip to the X server, ten thousand of them for a million entities, which a
// person watching cannot tell from one every 30 ms.
#pragma once

#include <chrono>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "app/controls.h"
#include "exchange/write/writer.h"

// How often OK repaints and polls, and the clock it asks.
struct TOkPacing {
  using TimePoint = std::chrono::steady_clock::time_point;
  std::chrono::milliseconds interval{30};
  std::function<TimePoint()> now = [] { return std::chrono::steady_clock::now(); };
};

// Hands the walk's progress texts to the status line and its Escape polls to
// the toolkit, the first of each at once and later ones only when the interval
// has passed since the last one that went through. A progress text held back
// waits for the next one or for Finish, so the last count is always shown.
class TPacedOkFeedback final : public IJwwProgress, public IJwwEscapeKey {
 public:
  TPacedOkFeedback(IForm1Controls& controls, const TOkPacing& pacing);
  void ShowProgress(std::string_view sjisText) override;
  bool IsEscapeDown() override;
  // Shows the last progress text if it was held back.
  void Finish();

 private:
  // True, and `last` set to now, when nothing went through yet or the interval has passed.
  bool Due(std::optional<TOkPacing::TimePoint>& last);

  IForm1Controls& controls_;
  const TOkPacing& pacing_;
  std::optional<TOkPacing::TimePoint> lastShown_;
  std::optional<TOkPacing::TimePoint> lastPolled_;
  std::string heldText_;
  bool held_ = false;
};
