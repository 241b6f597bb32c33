// TMainWindow's part of the grid's range commands: each reaches TForm1, which
// owns the texts, the clipboard and the undo; the context menu offers the same.
#include "app/win32/main_window.h"

#include "app/win32/grid_menu.h"
#include "app/win32/string_grid.h"

void TMainWindow::OnGridCommand(int code) {
  TStringGrid* grid = Grid();
  if (!grid) return;
  switch (code) {
    case kGridFill:
      return form_.GridFill(GridCell(grid->Selection().CurCol(), grid->Selection().CurRow()));
    case kGridCopy: return form_.GridCopy();
    case kGridCut: return form_.GridCut();
    case kGridPaste: return form_.GridPaste();
    case kGridDelete: return form_.GridDelete();
    case kGridUndo: return form_.GridUndo();
    case kGridRedo: return form_.GridRedo();
    case kGridMenuSelectAll: {
      TGridSelection all = grid->Selection();
      all.SelectAll();
      return grid->SetSelection(all);
    }
    default: return;
  }
}

void TMainWindow::OnGridContextMenu(HWND target, int x, int y) {
  TStringGrid* grid = Grid();
  if (!grid || target != grid->Hwnd()) return;
  POINT at{x, y};
  if (x == -1 && y == -1) {
    // From the keyboard (Shift+F10, the menu key): at the current cell.
    const RECT cell = grid->Model().CellRect(grid->Selection().CurCol(), grid->Selection().CurRow(), grid->Dpi());
    at = {cell.left + (cell.right - cell.left) / 2, cell.bottom};
    ClientToScreen(grid->Hwnd(), &at);
  }
  grid->CommitEdit();
  const UINT chosen = RunGridMenu(hwnd_, at, form_.CanUndo(), form_.CanRedo(),
                                  IsClipboardFormatAvailable(CF_UNICODETEXT) != FALSE);
  if (chosen != 0) OnGridCommand(static_cast<int>(chosen));
  SetFocus(grid->Hwnd());
}
