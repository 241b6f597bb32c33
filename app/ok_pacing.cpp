// Pacing of the status line and the Escape poll during OK.
#include "app/ok_pacing.h"

TPacedOkFeedback::TPacedOkFeedback(IForm1Controls& controls, const TOkPacing& pacing)
    : controls_(controls), pacing_(pacing) {}

bool TPacedOkFeedback::Due(std::optional<TOkPacing::TimePoint>& last) {
  const TOkPacing::TimePoint now = pacing_.now();
  if (last.has_value() && now - *last < pacing_.interval) return false;
  last = now;
  return true;
}

void TPacedOkFeedback::ShowProgress(std::string_view sjisText) {
  if (Due(lastShown_)) {
    controls_.SetStatusText(sjisText);
    held_ = false;
    return;
  }
  heldText_.assign(sjisText);
  held_ = true;
}

bool TPacedOkFeedback::IsEscapeDown() { return Due(lastPolled_) && controls_.IsEscapeDown(); }

void TPacedOkFeedback::Finish() {
  if (!held_) return;
  controls_.SetStatusText(heldText_);
  held_ = false;
}
