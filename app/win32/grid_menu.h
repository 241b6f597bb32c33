// The grid's context menu: 元に戻す, やり直し, 切り取り, コピー, 貼り付け, 削除 and
// すべて選択, each with its shortcut, greyed where it cannot act.
#pragma once

#include <windows.h>

#include "app/win32/string_grid.h"

// What the menu offers besides the grid's own commands.
constexpr UINT kGridMenuSelectAll = 0x7201;

// The menu itself, for the caller to show and destroy.
HMENU BuildGridMenu(bool canUndo, bool canRedo, bool canPaste);

// Shows the menu at `screen` (a keyboard request passes the current cell's
// corner) and returns the command chosen: a TGridCommand, kGridMenuSelectAll,
// or 0 when the menu was dismissed.
UINT RunGridMenu(HWND owner, POINT screen, bool canUndo, bool canRedo, bool canPaste);
