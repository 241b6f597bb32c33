// A stand-in for the window toolkit: it records everything TForm1 does to the
// controls and answers the modal boxes, the dialog and the Escape key from a
// script, so that a whole run can be driven and checked without a window.
#pragma once

#include <array>
#include <deque>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/controls.h"

class TForm1;

class FakeControls : public IForm1Controls {
 public:
  // The window starts as designed: at 195, 133, tab ①, boxes not ticked.
  explicit FakeControls(std::filesystem::path exePath);

  // The form whose FormClose runs when the window is asked to close.
  void Attach(TForm1& form) { form_ = &form; }

  // What a user does.
  // Opens a cell's in-place editor with `text` typed; it reaches the cell only
  // when the editor is committed (another edit, or CommitGridEdit).
  void TypeIntoCell(int col, int row, std::string_view text);
  // Types into the comment box; the form hears of it as from an edit control.
  void TypeComment(std::string_view text);
  // Switches tabs the way the toolkit does: Changing, the switch, Change.
  void ClickTab(int index);
  void MoveWindowByUser(int left, int top) { left_ = left; top_ = top; }

  // Recorded.
  std::array<std::array<std::string, 17>, 17> cells{};  // [col][row]
  std::array<int, 17> colWidths{};                       // 40 each at design
  std::optional<TGridUse> gridUse;                        // the last tint handed over
  std::string edit1;
  std::array<bool, 6> checks{};  // by TCheckBoxId
  int tab = 0;
  std::string labelL1, labelL2;
  std::vector<std::string> statusTexts;  // every status text, in order
  std::vector<std::string> confirmations;
  std::vector<std::string> messages;  // every box, plain or with the error icon
  int errorBoxes = 0;
  std::vector<TOpenDialogSpec> dialogs;
  std::vector<std::pair<int, int>> moves;
  TGridSelection selection;              // the grid's range, as the user left it
  std::optional<std::string> clipboard;  // Shift-JIS text
  int closeRequests = 0;
  int escapePolls = 0;

  // Scripted answers; an empty queue answers No, Cancel, or the default key state.
  std::deque<bool> confirmAnswers;
  std::deque<std::optional<std::filesystem::path>> dialogAnswers;
  std::deque<bool> escapeAnswers;
  bool escapeHeld = false;

  // IForm1Controls.
  std::string GridCell(int col, int row) const override;
  void SetGridCell(int col, int row, std::string_view text) override;
  void SetGridColWidth(int col, int pixels) override;
  void CommitGridEdit() override;
  void SetGridUse(const TGridUse& use) override { gridUse = use; }
  TGridSelection GridSelection() const override { return selection; }
  void SetGridSelection(const TGridSelection& range) override { selection = range; }
  std::optional<std::string> ClipboardText() override { return clipboard; }
  void SetClipboardText(std::string_view text) override { clipboard = std::string(text); }
  std::string Edit1Text() const override { return edit1; }
  void SetEdit1Text(std::string_view text) override { edit1 = text; }
  bool CheckBox(TCheckBoxId id) const override { return checks[static_cast<std::size_t>(id)]; }
  void SetCheckBox(TCheckBoxId id, bool checked) override { checks[static_cast<std::size_t>(id)] = checked; }
  int TabIndex() const override { return tab; }
  void SelectTabSilently(int index) override { tab = index; }
  void SetStatusText(std::string_view text) override { statusTexts.emplace_back(text); }
  void SetLabelL1(std::string_view text) override { labelL1 = text; }
  void SetLabelL2(std::string_view text) override { labelL2 = text; }
  int WindowLeft() const override { return left_; }
  int WindowTop() const override { return top_; }
  void MoveWindowTo(int left, int top) override;
  void CloseWindow() override;
  bool ConfirmYesNo(std::string_view message) override;
  void ShowMessage(std::string_view message) override { messages.emplace_back(message); }
  void ShowErrorMessage(std::string_view message) override {
    messages.emplace_back(message);
    ++errorBoxes;
  }
  std::optional<std::filesystem::path> RunOpenDialog(const TOpenDialogSpec& spec) override;
  bool IsEscapeDown() override;
  std::filesystem::path ExecutablePath() const override { return exePath_; }
  std::string PathToText(const std::filesystem::path& path) const override;
  std::filesystem::path TextToPath(std::string_view text) const override;

 private:
  struct OpenEdit {
    int col = 0, row = 0;
    std::string text;
  };
  std::filesystem::path exePath_;
  TForm1* form_ = nullptr;
  std::optional<OpenEdit> openEdit_;
  int left_ = 195, top_ = 133;
};
