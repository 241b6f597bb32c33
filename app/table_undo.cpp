// The undo and redo stack of the table editor.
#include "app/table_undo.h"

void TTableUndo::Push(TUndoStep step) {
  if (step.before == step.after) return;
  steps_.erase(steps_.begin() + static_cast<std::ptrdiff_t>(done_), steps_.end());
  steps_.push_back(std::move(step));
  if (steps_.size() > kMaxSteps) steps_.pop_front();
  done_ = steps_.size();
}

const TUndoStep* TTableUndo::Undo() {
  if (!CanUndo()) return nullptr;
  return &steps_[--done_];
}

const TUndoStep* TTableUndo::Redo() {
  if (!CanRedo()) return nullptr;
  return &steps_[done_++];
}

void TTableUndo::Clear() {
  steps_.clear();
  done_ = 0;
}
