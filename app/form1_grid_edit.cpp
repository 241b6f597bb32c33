// TForm1's range commands on the grid (fill, Delete, the clipboard) and the
// undo and redo of every change to a table's widths or comment in this run.
#include <string>

#include "app/form1.h"
#include "app/paste_block.h"

namespace {

// Sets a flag for as long as a command runs, so that the events the controls
// raise while the command sets them are not taken for typing.
class TChanging {
 public:
  explicit TChanging(bool& flag) : flag_(flag), old_(flag) { flag_ = true; }
  ~TChanging() { flag_ = old_; }
  TChanging(const TChanging&) = delete;
  TChanging& operator=(const TChanging&) = delete;

 private:
  bool& flag_;
  bool old_;
};

std::size_t Index(int col, int row) { return static_cast<std::size_t>((row - 1) * 16 + (col - 1)); }

// The one place where two screens differ, or kNoKey when none or several do.
int ChangedKey(const TTableScreen& a, const TTableScreen& b) {
  int key = TForm1::kNoKey;
  int changes = 0;
  if (a.comment != b.comment) {
    key = TForm1::kCommentKey;
    ++changes;
  }
  for (std::size_t i = 0; i < a.cells.size(); ++i) {
    if (a.cells[i] != b.cells[i]) {
      key = static_cast<int>(i);
      ++changes;
    }
  }
  return changes == 1 ? key : TForm1::kNoKey;
}

}  // namespace

TTableScreen TForm1::Screen() const {
  TTableScreen screen;
  screen.comment = controls_.Edit1Text();
  for (int row = 1; row <= 16; ++row) {
    for (int col = 1; col <= 16; ++col) screen.cells[Index(col, row)] = controls_.GridCell(col, row);
  }
  return screen;
}

void TForm1::ShowScreen(const TTableScreen& screen) {
  TChanging changing(changing_);
  if (controls_.Edit1Text() != screen.comment) controls_.SetEdit1Text(screen.comment);
  for (int row = 1; row <= 16; ++row) {
    for (int col = 1; col <= 16; ++col) controls_.SetGridCell(col, row, screen.cells[Index(col, row)]);
  }
}

void TForm1::FlushTyping() {
  const TTableScreen now = Screen();
  undo_.Push({SelectedTable(), baseline_, now});
  baseline_ = now;
  lastSeen_ = now;
  pendingKey_ = kNoKey;
}

void TForm1::TypedInto() {
  if (changing_) return;
  const TTableScreen now = Screen();
  if (now == lastSeen_) return;
  const int changed = ChangedKey(lastSeen_, now);
  // Typing moved to another cell (or the comment): what went before is one step.
  if (pendingKey_ != kNoKey && changed != pendingKey_) {
    undo_.Push({SelectedTable(), baseline_, lastSeen_});
    baseline_ = lastSeen_;
  }
  lastSeen_ = now;
  pendingKey_ = changed;
  // Several places at once is no typing: it is a step of its own.
  if (changed == kNoKey) FlushTyping();
}

TTableScreen TForm1::BeginChange() {
  controls_.CommitGridEdit();
  FlushTyping();
  changing_ = true;
  return baseline_;
}

void TForm1::EndChange(const TTableScreen& before) {
  changing_ = false;
  const TTableScreen now = Screen();
  undo_.Push({SelectedTable(), before, now});
  baseline_ = now;
  lastSeen_ = now;
  pendingKey_ = kNoKey;
  ShowLayerUse();
}

void TForm1::Edit1Change() {
  if (changing_ || okDone_ || closed_) return;
  TypedInto();
}

void TForm1::SetRangeCells(const TGridSelection& range, std::string_view text) {
  TChanging changing(changing_);
  for (int row = range.Top(); row <= range.Bottom(); ++row) {
    for (int col = range.Left(); col <= range.Right(); ++col) controls_.SetGridCell(col, row, text);
  }
}

void TForm1::GridFill(std::string_view text) {
  if (okDone_ || closed_) return;
  const TGridSelection range = controls_.GridSelection();
  controls_.CommitGridEdit();
  // The typing into the current cell that led to the fill is part of it.
  const int current = static_cast<int>(Index(range.CurCol(), range.CurRow()));
  if (pendingKey_ != current) FlushTyping();
  const TTableScreen before = baseline_;
  changing_ = true;
  SetRangeCells(range, text);
  EndChange(before);
}

void TForm1::GridDelete() {
  if (okDone_ || closed_) return;
  const TTableScreen before = BeginChange();
  SetRangeCells(controls_.GridSelection(), "-1");
  EndChange(before);
}

void TForm1::GridCopy() {
  controls_.CommitGridEdit();
  const TGridSelection range = controls_.GridSelection();
  controls_.SetClipboardText(CopyBlockText(GridWidths(), range.Left(), range.Top(), range.Right(), range.Bottom()));
}

void TForm1::GridCut() {
  if (okDone_ || closed_) return;
  GridCopy();
  GridDelete();
}

void TForm1::GridPaste() {
  if (okDone_ || closed_) return;
  const std::optional<std::string> text = controls_.ClipboardText();
  if (!text) return;
  TPasteBlock block;
  TPasteError error;
  TPasteTarget target;
  const TGridSelection range = controls_.GridSelection();
  if (!ParsePasteBlock(*text, block, error) || !PlacePasteBlock(block, range, target, error)) {
    controls_.ShowMessage(PasteErrorText(error));
    return;
  }
  const TTableScreen before = BeginChange();
  {
    for (int row = target.top; row <= target.bottom; ++row) {
      for (int col = target.left; col <= target.right; ++col) {
        controls_.SetGridCell(col, row, std::to_string(target.ValueAt(block, col, row)));
      }
    }
    // The pasted cells stay selected, as spreadsheets leave them.
    TGridSelection pasted;
    pasted.SetRange(target.left, target.top, target.right, target.bottom);
    controls_.SetGridSelection(pasted);
  }
  EndChange(before);
}

void TForm1::ShowStep(int table, const TTableScreen& screen) {
  {
    TChanging changing(changing_);
    const int shown = SelectedTable();
    if (table != shown) {
      // As a tab click would: the table left keeps what its screen shows.
      GridToTable(shown);
      controls_.SelectTabSilently(table - 1);
    }
  }
  ShowScreen(screen);
  baseline_ = screen;
  lastSeen_ = screen;
  pendingKey_ = kNoKey;
  ShowLayerUse();
}

void TForm1::GridUndo() {
  if (okDone_ || closed_) return;
  controls_.CommitGridEdit();
  FlushTyping();
  const TUndoStep* step = undo_.Undo();
  if (step == nullptr) return;
  const TUndoStep taken = *step;
  ShowStep(taken.table, taken.before);
}

void TForm1::GridRedo() {
  if (okDone_ || closed_) return;
  controls_.CommitGridEdit();
  FlushTyping();
  const TUndoStep* step = undo_.Redo();
  if (step == nullptr) return;
  const TUndoStep made = *step;
  ShowStep(made.table, made.after);
}
