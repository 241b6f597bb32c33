// TForm1's preset table editor: one grid and one comment field shared by the
// twenty tabs, and the two buttons that clear them.
#include <charconv>
#include <string>
#include <string_view>

#include "app/form1.h"
#include "app/form_texts.h"
#include "util/text.h"

namespace {

std::string IntText(int32_t v) {
  char buf[16];
  const auto res = std::to_chars(buf, buf + sizeof buf, v);
  return std::string(buf, res.ptr);
}

}  // namespace

void TForm1::TableToGrid(int n) {
  if (n < 1 || n > kPresetCount) return;
  const TPresetTable& table = model.Table(n);
  controls_.SetEdit1Text(table.Comment);
  for (int g = 0; g < 16; ++g) {
    for (int l = 0; l < 16; ++l) {
      controls_.SetGridCell(l + 1, g + 1,
                            IntText(ClampWidth(table.Widths[static_cast<std::size_t>(g * 16 + l)])));
    }
  }
}

void TForm1::GridToTable(int n) {
  if (n < 1 || n > kPresetCount) return;
  TPresetTable& table = model.Table(n);
  table.Comment = controls_.Edit1Text();
  for (int g = 0; g < 16; ++g) {
    for (int l = 0; l < 16; ++l) {
      table.Widths[static_cast<std::size_t>(g * 16 + l)] =
          ClampWidth(TextToInt(controls_.GridCell(l + 1, g + 1)));
    }
  }
}

void TForm1::TabControl1Changing() {
  // Text still open in a cell's editor belongs to the table being left.
  controls_.CommitGridEdit();
  // Typing in the table left is a step of that table.
  FlushTyping();
  GridToTable(SelectedTable());
}

void TForm1::TabControl1Change() {
  const bool wasChanging = changing_;
  changing_ = true;
  TableToGrid(SelectedTable());
  changing_ = wasChanging;
  baseline_ = lastSeen_ = Screen();
  pendingKey_ = kNoKey;
  ShowLayerUse();
}

namespace {

// ALL -1 and ALL 0: only the screen changes; the table follows at the next
// tab switch or OK, and Cancel discards it, as the question tells the user.
void ClearGrid(IForm1Controls& controls, std::string_view question, std::string_view fill) {
  // An editor left open would write its old text back over the cleared cell.
  controls.CommitGridEdit();
  if (!controls.ConfirmYesNo(question)) return;
  controls.SetEdit1Text("");
  for (int row = 1; row <= 16; ++row) {
    for (int col = 1; col <= 16; ++col) controls.SetGridCell(col, row, fill);
  }
}

}  // namespace

void TForm1::Button3Click() {
  const TTableScreen before = BeginChange();
  ClearGrid(controls_, kConfirmAllMinus1, "-1");
  EndChange(before);
}

void TForm1::Button5Click() {
  const TTableScreen before = BeginChange();
  ClearGrid(controls_, kConfirmAllZero, "0");
  EndChange(before);
}
