// What the main window's behaviour needs from a window toolkit. The Win32
// window implements it; tests use a fake. Every text crosses as Shift-JIS bytes.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "app/grid_selection.h"
#include "app/layer_summary.h"

// The file-open dialog's settings.
struct TOpenDialogSpec {
  std::string title;          // dialog title
  std::string filterName;     // filter entry as shown
  std::string filterPattern;  // e.g. "*.jwf"
  std::string defaultExt;     // e.g. "jwf" (without the dot)
  std::string initialFolder;  // Shift-JIS folder text, "" for the system's choice
  // Options: no read-only box, path and file must exist, resizable dialog.
};

// Check boxes by their number on the form.
enum class TCheckBoxId { Points = 1, Dims = 3, Solids = 4, Arbitrary = 5 };

class IForm1Controls {
 public:
  virtual ~IForm1Controls() = default;

  // StringGrid1: 17 x 17 cells, column 0 and row 0 are headers.
  virtual std::string GridCell(int col, int row) const = 0;
  virtual void SetGridCell(int col, int row, std::string_view text) = 0;
  virtual void SetGridColWidth(int col, int pixels) = 0;
  // Takes an in-place edit still open into its cell (no-op when none is open).
  virtual void CommitGridEdit() = 0;
  // How each grid cell relates to the selection, for the grid to tint.
  virtual void SetGridUse(const TGridUse& use) = 0;
  // The grid's selected range of data cells; setting it also moves the current cell.
  virtual TGridSelection GridSelection() const = 0;
  virtual void SetGridSelection(const TGridSelection& selection) = 0;

  // The clipboard's text as Shift-JIS (nothing when it holds none), and
  // putting text there (CR LF between rows, as spreadsheets exchange blocks).
  virtual std::optional<std::string> ClipboardText() = 0;
  virtual void SetClipboardText(std::string_view text) = 0;

  virtual std::string Edit1Text() const = 0;
  virtual void SetEdit1Text(std::string_view text) = 0;

  virtual bool CheckBox(TCheckBoxId id) const = 0;
  virtual void SetCheckBox(TCheckBoxId id, bool checked) = 0;

  // TabControl1: index 0..19. Selecting from code raises no tab events.
  virtual int TabIndex() const = 0;
  virtual void SelectTabSilently(int index) = 0;

  // LabelA1, the status line, repainted at once; LabelL1 and LabelL2 captions.
  virtual void SetStatusText(std::string_view text) = 0;
  virtual void SetLabelL1(std::string_view text) = 0;
  virtual void SetLabelL2(std::string_view text) = 0;

  // The window's outer top-left corner in screen coordinates.
  virtual int WindowLeft() const = 0;
  virtual int WindowTop() const = 0;
  virtual void MoveWindowTo(int left, int top) = 0;
  // Asks the window to close; the toolkit then runs the form's FormClose.
  virtual void CloseWindow() = 0;

  // Modal boxes: Yes/No with a question icon (true for Yes); a plain message
  // captioned with the application title.
  virtual bool ConfirmYesNo(std::string_view message) = 0;
  virtual void ShowMessage(std::string_view message) = 0;
  // The same with the error icon, for what went wrong.
  virtual void ShowErrorMessage(std::string_view message) = 0;
  // The file-open dialog: the chosen file, or nothing when cancelled.
  virtual std::optional<std::filesystem::path> RunOpenDialog(const TOpenDialogSpec& spec) = 0;

  virtual bool IsEscapeDown() = 0;
  virtual std::filesystem::path ExecutablePath() const = 0;

  // Path <-> Shift-JIS text, for the dialog folder kept in the preset file.
  virtual std::string PathToText(const std::filesystem::path& path) const = 0;
  virtual std::filesystem::path TextToPath(std::string_view text) const = 0;
};
