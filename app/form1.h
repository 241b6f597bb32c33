// TForm1: everything the main window decides, written against IForm1Controls
// so that it runs and is tested without a toolkit.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "app/controls.h"
#include "app/layer_summary.h"
#include "app/ok_pacing.h"
#include "app/presets.h"
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
};

// The texts the window shows (Shift-JIS).
extern const char* const kAppTitle;      // "t905_レイヤ→線幅変換"
extern const char* const kWindowCaption; // "レイヤ→線幅変換"
