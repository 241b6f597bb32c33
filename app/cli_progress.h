// The batch command's sign of life on long work: one line on the terminal that
// says what it is doing (reading, converting, writing) and how much is done.
#pragma once

#include <cstdint>
#include <functional>
#include <ostream>
#include <string>

enum class TCliStage { Reading, Converting, Writing };

// Where a command reports how far it has come.
class ICliProgress {
 public:
  virtual ~ICliProgress() = default;
  // `done` of `total` units of the stage; a total of 0 means not known.
  virtual void Show(TCliStage stage, uint64_t done, uint64_t total) = 0;
  // The work ended: whatever was shown goes away before any other message.
  virtual void Finish() = 0;
};

// The line as shown, e.g. "t905cli: reading     42%".
std::string ProgressText(TCliStage stage, uint64_t done, uint64_t total);

// One line redrawn in place with CR. Nothing appears before the work has lasted
// `delaySeconds`, so short runs print nothing; after that it is redrawn at most
// every `intervalSeconds` and whenever the stage changes. Finish() blanks it.
class TProgressLine : public ICliProgress {
 public:
  using TClock = std::function<double()>;  // seconds from any fixed moment

  explicit TProgressLine(std::ostream& out, TClock clock = {}, double delaySeconds = 1.0,
                         double intervalSeconds = 0.1);
  void Show(TCliStage stage, uint64_t done, uint64_t total) override;
  void Finish() override;

 private:
  std::ostream& out_;
  TClock clock_;
  double start_;
  double delay_;
  double interval_;
  double lastDrawn_ = -1.0;  // when the line was drawn last; negative before the first time
  TCliStage lastStage_ = TCliStage::Reading;
  std::size_t width_ = 0;  // of the text now on the line
};
