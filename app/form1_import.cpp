// TForm1's "JWF読込み" button: picks the host's environment file and copies its
// layer widths into the grid of the tab shown.
#include <system_error>

#include "app/form1.h"
#include "app/form_texts.h"
#include "app/jwf_import.h"

namespace {

TGridTexts ReadGridCells(const IForm1Controls& controls) {
  TGridTexts cells;
  for (int g = 0; g < 16; ++g) {
    for (int l = 0; l < 16; ++l) {
      cells[static_cast<std::size_t>(g)][static_cast<std::size_t>(l)] = controls.GridCell(l + 1, g + 1);
    }
  }
  return cells;
}

void WriteChangedCells(IForm1Controls& controls, const TGridTexts& before, const TGridTexts& after) {
  for (int g = 0; g < 16; ++g) {
    for (int l = 0; l < 16; ++l) {
      const auto& text = after[static_cast<std::size_t>(g)][static_cast<std::size_t>(l)];
      if (text != before[static_cast<std::size_t>(g)][static_cast<std::size_t>(l)]) {
        controls.SetGridCell(l + 1, g + 1, text);
      }
    }
  }
}

}  // namespace

void TForm1::Button4Click() {
  // Rows the file does not name keep their cells, an open edit's text included.
  controls_.CommitGridEdit();

  TOpenDialogSpec spec;
  spec.title = kOpenDialogTitle;
  spec.filterName = kOpenDialogFilterName;
  spec.filterPattern = kOpenDialogFilterPattern;
  spec.defaultExt = kOpenDialogDefaultExt;
  spec.initialFolder = DialogFolder();
  const auto chosen = controls_.RunOpenDialog(spec);
  if (!chosen) return;

  // The folder counts for the preset file even when the file is then refused.
  chosenFolder_ = controls_.PathToText(chosen->parent_path() / "");
  if (!HasJwfExtension(*chosen)) {
    controls_.ShowMessage(kWrongExtensionMessage);
    return;
  }
  std::error_code ec;
  if (!std::filesystem::is_regular_file(*chosen, ec)) return;

  const TTableScreen screenBefore = BeginChange();
  const TGridTexts before = ReadGridCells(controls_);
  TGridTexts cells = before;
  // A file that fails part-way keeps the rows already read, as the host's own reading does.
  ImportJwf(*chosen, cells);
  WriteChangedCells(controls_, before, cells);
  EndChange(screenBefore);
}
