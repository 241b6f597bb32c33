// The grid's context menu, built when asked for from the window's texts.
#include "app/win32/grid_menu.h"

#include <string>

#include "app/form_texts.h"
#include "app/win32/cp932.h"

namespace {

void AddItem(HMENU menu, UINT id, const char* sjisText, const wchar_t* shortcut, bool enabled) {
  const std::wstring text = SjisToWide(sjisText) + L"\t" + shortcut;
  AppendMenuW(menu, MF_STRING | (enabled ? MF_ENABLED : MF_GRAYED), id, text.c_str());
}

}  // namespace

HMENU BuildGridMenu(bool canUndo, bool canRedo, bool canPaste) {
  HMENU menu = CreatePopupMenu();
  if (!menu) return nullptr;
  AddItem(menu, kGridUndo, kMenuUndo, L"Ctrl+Z", canUndo);
  AddItem(menu, kGridRedo, kMenuRedo, L"Ctrl+Y", canRedo);
  AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
  AddItem(menu, kGridCut, kMenuCut, L"Ctrl+X", true);
  AddItem(menu, kGridCopy, kMenuCopy, L"Ctrl+C", true);
  AddItem(menu, kGridPaste, kMenuPaste, L"Ctrl+V", canPaste);
  AddItem(menu, kGridDelete, kMenuDelete, L"Delete", true);
  AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
  AddItem(menu, kGridMenuSelectAll, kMenuSelectAll, L"Ctrl+A", true);
  return menu;
}

UINT RunGridMenu(HWND owner, POINT screen, bool canUndo, bool canRedo, bool canPaste) {
  HMENU menu = BuildGridMenu(canUndo, canRedo, canPaste);
  if (!menu) return 0;
  const UINT chosen = static_cast<UINT>(
      TrackPopupMenu(menu, TPM_RETURNCMD | TPM_RIGHTBUTTON | TPM_LEFTALIGN | TPM_TOPALIGN, screen.x, screen.y, 0,
                     owner, nullptr));
  DestroyMenu(menu);
  return chosen;
}
