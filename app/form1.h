// TForm1: everything the main window decides, written against IForm1Controls
// so that it runs and is tested without a toolkit.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "app/controls.h"
#include "app/layer_summary.h"
#include "app/ok_pacing.h"
#include "app/presets.h"
#include "app/table_undo.h"
#include "exchange/file/file_error.h"
#include "exchange/store/store.h"
#include "exchange/write/writer.h"

class TForm1 {
 public:
  explicit TForm1(IForm1Controls& controls);

  // Window events.
  void FormShow();   // start-up: read the exchange file, load presets, fill the window
  // Writes the answer ("hq" when none) and frees the store; a write that failed
  // in this run (the preset file at OK, the answer here) is then told in one box.
  void FormClose();

  void Button1Click();  // OK
  void Button2Click();  // Cancel
  void Button3Click();  // ALL -1
  void Button5Click();  // ALL 0
  void Button4Click();  // JWF import
  void TabControl1Changing();  // before the switch: store the grid into the table left
  void TabControl1Change();    // after the switch: show the new table
  void StringGrid1SetEditText();  // the user changed a cell's text
  void CheckBoxClick();           // the user ticked or cleared one of the four boxes
  void Edit1Change();             // the user changed the comment

  // The grid's range commands. Each is one step of undo, in whichever tab.
  void GridFill(std::string_view text);  // Enter (or Ctrl+Enter) after typing over a range
  void GridDelete();                     // Delete: the range to -1
  void GridCopy();
  void GridCut();                        // copy, then the range to -1
  // All or nothing: a block that does not fit or holds a bad cell changes
  // nothing and is refused in a message naming the row, column and reason.
  void GridPaste();
  void GridUndo();  // shows the tab the step was made in
  void GridRedo();
  // Typing not yet closed into a step counts: it can be undone, and it has
  // already made what was undone impossible to redo.
  bool CanUndo() const { return undo_.CanUndo() || pendingKey_ != kNoKey; }
  bool CanRedo() const { return undo_.CanRedo() && pendingKey_ == kNoKey; }

  // Where typing went, for the undo bookkeeping: a layer index, or these.
  static constexpr int kCommentKey = 256;
  static constexpr int kNoKey = -1;

  void TableToGrid(int n);
  void GridToTable(int n);
  void ConvertWidths(int n);
  void LoadPresets(const std::filesystem::path& path);
  // False when the file could not be written; the failure is kept for FormClose's box.
  bool SavePresets(const std::filesystem::path& path);

  // The preset model.
  TPresetModel model;
  // The drawing store of this run.
  TJwwData store;
  // The answer of this run, built from the store at OK and put in place at the close.
  TJwwWriter writer{store};
  // How often OK repaints its progress and polls Escape.
  TOkPacing okPacing;

  // What the selection holds per layer, counted when the drawing was read.
  const TLayerSummary& LayerSummary() const { return summary_; }
  // The tooltip of a grid cell for the grid and boxes as they stand (Shift-JIS).
  std::string CellHint(int col, int row) const;

  std::filesystem::path ExchangePath() const;
  std::filesystem::path PresetPath() const;

 private:
  // Table number of the selected tab; 1 when the toolkit reports no valid tab.
  int SelectedTable() const;
  // The environment-file dialog's folder: the one chosen in this run, else the loaded one.
  std::string DialogFolder() const;
  // The widths the grid shows now, as OK would read them.
  TGridWidths GridWidths() const;
  // Re-tints the grid and, while the window is idle, rewrites the summary line.
  void ShowLayerUse();

  // Undo bookkeeping. The screen of the tab shown, as undo keeps it.
  TTableScreen Screen() const;
  void ShowScreen(const TTableScreen& screen);
  // Typing not yet made a step (a cell or the comment) becomes one.
  void FlushTyping();
  // Around a command: takes an open edit and pending typing first, returns the
  // screen before and marks the controls' events as the command's own;
  // EndChange makes the step and updates the summary.
  TTableScreen BeginChange();
  void EndChange(const TTableScreen& before);
  // The user typed into a cell or the comment: typing in one place makes one
  // step, closed when typing moves elsewhere or a command comes.
  void TypedInto();
  // Shows an undo step's screen, switching to its tab as a tab click would.
  void ShowStep(int table, const TTableScreen& screen);
  // Sets every cell of the range (grid columns and rows) to `text`.
  void SetRangeCells(const TGridSelection& range, std::string_view text);

  // A file this run could not write, for the box shown at close.
  struct TWriteFailure {
    const char* headline;  // Shift-JIS, from the window's texts
    std::filesystem::path path;
    TFileError error;
  };
  // Shows every failure of this run in one box captioned with the application title.
  void ReportWriteFailures();

  IForm1Controls& controls_;
  std::vector<TWriteFailure> writeFailures_;
  std::filesystem::path exeDir_;
  std::string chosenFolder_;  // folder of the file chosen in this run's dialog
  std::string loadedFolder_;  // folder read from the preset file
  bool okDone_ = false;       // OK converts at most once per run
  bool closed_ = false;
  TLayerSummary summary_;
  TTableUndo undo_;
  TTableScreen baseline_;   // the screen after the last step (or the last tab shown)
  TTableScreen lastSeen_;   // the screen when typing was last seen
  int pendingKey_ = kNoKey; // where the typing since baseline_ went: a layer index, kCommentKey or kNoKey
  // A command is setting the controls, so their events are ours; set until
  // FormShow has filled the window.
  bool changing_ = true;
};

// The texts the window shows (Shift-JIS).
extern const char* const kAppTitle;      // "t905_レイヤ→線幅変換"
extern const char* const kWindowCaption; // "レイヤ→線幅変換"
