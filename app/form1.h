// TForm1: everything the main window decides, written against IForm1Controls
// so that it runs and is tested without a toolkit.
#pragma once

#include <filesystem>
#include <string>

#include "app/controls.h"
#include "app/ok_pacing.h"
#include "app/presets.h"
#include "exchange/store.h"

class TForm1 {
 public:
  explicit TForm1(IForm1Controls& controls);

  // Window events.
  void FormShow();   // start-up: read the exchange file, load presets, fill the window
  void FormClose();  // write the answer ("hq" when none), free the store

  void Button1Click();  // OK
  void Button2Click();  // Cancel
  void Button3Click();  // ALL -1
  void Button5Click();  // ALL 0
  void Button4Click();  // JWF import
  void TabControl1Changing();  // before the switch: store the grid into the table left
  void TabControl1Change();    // after the switch: show the new table

  void TableToGrid(int n);
  void GridToTable(int n);
  void ConvertWidths(int n);
  void LoadPresets(const std::filesystem::path& path);
  void SavePresets(const std::filesystem::path& path);

  // The preset model.
  TPresetModel model;
  // The drawing store of this run.
  TJwwData store;
  // How often OK repaints its progress and polls Escape.
  TOkPacing okPacing;

  std::filesystem::path ExchangePath() const;
  std::filesystem::path PresetPath() const;

 private:
  // Table number of the selected tab; 1 when the toolkit reports no valid tab.
  int SelectedTable() const;
  // The environment-file dialog's folder: the one chosen in this run, else the loaded one.
  std::string DialogFolder() const;

  IForm1Controls& controls_;
  std::filesystem::path exeDir_;
  std::string chosenFolder_;  // folder of the file chosen in this run's dialog
  std::string loadedFolder_;  // folder read from the preset file
  bool okDone_ = false;       // OK converts at most once per run
  bool closed_ = false;
};

// The texts the window shows (Shift-JIS).
extern const char* const kAppTitle;      // "t905_レイヤ→線幅変換"
extern const char* const kWindowCaption; // "レイヤ→線幅変換"
