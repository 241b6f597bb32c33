// The progress line of the batch command: when to draw it and what it says.
#include "app/cli_progress.h"

#include <algorithm>
#include <array>
#include <chrono>

namespace {

double SteadySeconds() {
  return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

constexpr std::array<const char*, 3> kStageNames = {"reading", "converting", "writing"};

}  // namespace

std::string ProgressText(TCliStage stage, uint64_t done, uint64_t total) {
  std::string text = "t905cli: ";
  text += kStageNames[static_cast<std::size_t>(stage)];
  if (total == 0) return text + " ...";
  text.resize(9 + 11, ' ');
  // Whole percent, and 100 only when the stage is complete.
  const uint64_t percent = done >= total ? 100 : std::min<uint64_t>(99, done * 100 / total);
  const std::string digits = std::to_string(percent);
  text.append(3 - digits.size(), ' ');
  return text + digits + '%';
}

TProgressLine::TProgressLine(std::ostream& out, TClock clock, double delaySeconds, double intervalSeconds)
    : out_(out),
      clock_(clock ? std::move(clock) : TClock(SteadySeconds)),
      start_(clock_()),
      delay_(delaySeconds),
      interval_(intervalSeconds) {}

void TProgressLine::Show(TCliStage stage, uint64_t done, uint64_t total) {
  const double now = clock_();
  if (now - start_ < delay_) return;
  const bool stageChanged = lastDrawn_ >= 0 && stage != lastStage_;
  if (lastDrawn_ >= 0 && !stageChanged && now - lastDrawn_ < interval_) return;
  const std::string text = ProgressText(stage, done, total);
  std::string line = "\r" + text;
  // A shorter text must not leave the end of the longer one behind.
  if (text.size() < width_) line.append(width_ - text.size(), ' ');
  out_ << line << std::flush;
  width_ = text.size();
  lastDrawn_ = now;
  lastStage_ = stage;
}

void TProgressLine::Finish() {
  if (width_ == 0) return;
  out_ << '\r' << std::string(width_, ' ') << '\r' << std::flush;
  width_ = 0;
}
