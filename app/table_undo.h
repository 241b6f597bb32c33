// The window's undo and redo: every change to a table's widths or comment made
// in this run, as one step each, whichever tab it was made in. A step keeps
// the screen of its tab before and after, so undoing it puts back exactly what
// the user saw. Nothing outlives the run.
#pragma once

#include <array>
#include <cstddef>
#include <deque>
#include <string>

// What the editor shows for one table: the comment and the 256 cell texts by
// layer index (group * 16 + layer).
struct TTableScreen {
  std::string comment;
  std::array<std::string, 256> cells;
  bool operator==(const TTableScreen&) const = default;
};

struct TUndoStep {
  int table = 1;  // 1..20, the tab the change was made in
  TTableScreen before;
  TTableScreen after;
};

class TTableUndo {
 public:
  // Older steps are forgotten past this many, so the memory stays bounded.
  static constexpr std::size_t kMaxSteps = 200;

  // Adds a step and forgets what could have been redone. A step that changes
  // nothing is not kept.
  void Push(TUndoStep step);
  bool CanUndo() const { return done_ > 0; }
  bool CanRedo() const { return done_ < steps_.size(); }
  // The step to take back (show its `before`) or to make again (show its
  // `after`); null when there is none.
  const TUndoStep* Undo();
  const TUndoStep* Redo();
  void Clear();

 private:
  std::deque<TUndoStep> steps_;
  std::size_t done_ = 0;  // steps_[0 .. done_) are in effect
};
