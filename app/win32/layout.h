// The main window's pixel layout, written at 96 DPI and scaled once by the
// monitor's DPI: at 100 % these are the exact pixels, at higher scaling the
// window grows instead of being stretched as a blurred bitmap.
#pragma once

#include <windows.h>

namespace layout {

constexpr int kBaseDpi = 96;

// A control's place in client coordinates at 96 DPI.
struct TBox {
  int left;
  int top;
  int width;
  int height;
};

constexpr int kClientWidth = 528;
constexpr int kClientHeight = 311;

// Fonts: the whole window uses one face; the three small grid buttons a smaller size.
constexpr wchar_t kFontFace[] = L"\xFF2D\xFF33 \x30B4\x30B7\x30C3\x30AF";  // "ＭＳ ゴシック"
constexpr int kFontHeight = 13;
constexpr int kSmallFontHeight = 11;

// The tab strip and what lies over it (siblings placed on its page area).
constexpr TBox kTabControl1{0, 0, 321, 253};
constexpr int kTabWidth = 26;
constexpr int kTabHeight = 20;
constexpr TBox kLabel1{4, 28, 56, 13};
constexpr TBox kEdit1{64, 24, 249, 21};
constexpr TBox kLabelL1{48, 48, 49, 13};
constexpr TBox kButton3{128, 44, 49, 20};
constexpr TBox kButton5{184, 44, 49, 20};
constexpr TBox kButton4{240, 44, 73, 20};
constexpr TBox kStringGrid1{24, 64, 289, 185};
constexpr TBox kLabelL2{8, 96, 49, 13};

constexpr TBox kCheckBox1{8, 264, 41, 17};
constexpr TBox kCheckBox3{56, 264, 77, 17};
constexpr TBox kCheckBox4{136, 264, 77, 17};
constexpr TBox kCheckBox5{216, 264, 61, 17};

constexpr TBox kMemo1{328, 0, 193, 209};
constexpr TBox kButton1{328, 216, 193, 33};
constexpr TBox kButton2{328, 256, 193, 25};
constexpr TBox kLabelA1{0, 287, 528, 24};

// Grid cells: the header column is set to 24 by the form at start-up.
constexpr int kGridDefaultColWidth = 40;
constexpr int kGridRowHeight = 19;

// Colours.
constexpr COLORREF kFormColour = RGB(255, 255, 255);
constexpr COLORREF kMemoColour = RGB(187, 235, 244);
constexpr COLORREF kStatusColour = RGB(231, 231, 231);
// Grid cells whose layer holds selected entities: light green when OK gives
// them this cell's width, a paler cream when it leaves them as they are. The
// headers of their row and column carry a strip of the stronger shade.
constexpr COLORREF kUsedConvertsColour = RGB(200, 240, 200);
constexpr COLORREF kUsedUntouchedColour = RGB(250, 244, 218);
constexpr COLORREF kMarkConvertsColour = RGB(60, 170, 60);
constexpr COLORREF kMarkUntouchedColour = RGB(215, 185, 90);
constexpr int kHeaderMarkWidth = 3;
// Tooltips wrap at this width, so a long layer name does not run off the screen.
constexpr int kTooltipMaxWidth = 360;

inline int Scale(int v, int dpi) { return MulDiv(v, dpi, kBaseDpi); }
// Pixels at dpi back to 96-DPI units, for sizes the user gives by dragging.
inline int Unscale(int v, int dpi) { return MulDiv(v, kBaseDpi, dpi); }

}  // namespace layout

// Control ids; the prefix says the kind: IDB_ button, IDX_ check box, IDE_ edit,
// IDT_ label, IDC_ tab strip, IDG_ grid. OK and Cancel carry the ids the dialog
// manager gives Enter and Escape.
constexpr int IDB_BUTTON1 = IDOK;
constexpr int IDB_BUTTON2 = IDCANCEL;
constexpr int IDB_BUTTON3 = 1003;
constexpr int IDB_BUTTON4 = 1004;
constexpr int IDB_BUTTON5 = 1005;
constexpr int IDX_CHECKBOX1 = 1101;
constexpr int IDX_CHECKBOX3 = 1103;
constexpr int IDX_CHECKBOX4 = 1104;
constexpr int IDX_CHECKBOX5 = 1105;
constexpr int IDE_EDIT1 = 1201;
constexpr int IDE_MEMO1 = 1202;
constexpr int IDT_LABEL1 = 1301;
constexpr int IDT_LABELL1 = 1302;
constexpr int IDT_LABELL2 = 1303;
constexpr int IDT_LABELA1 = 1304;
constexpr int IDC_TABCONTROL1 = 1401;
constexpr int IDG_STRINGGRID1 = 1501;

// The preview pane: beside the form's own layout, which keeps its places and
// sizes; its toggle sits in the free corner right of the check boxes.
namespace layout {
constexpr TBox kPreviewToggle{284, 262, 36, 21};
constexpr int kPreviewLeft = kClientWidth;
constexpr int kPreviewStripHeight = 24;  // the pane's own strip: 変換前 / 変換後 and what lies under the mouse
constexpr int kPreviewButtonWidth = 56;
constexpr COLORREF kPreviewPaper = RGB(255, 255, 255);
constexpr COLORREF kPreviewStrip = RGB(231, 231, 231);
}  // namespace layout

constexpr int IDX_PREVIEW = 1601;         // the toggle on the form
constexpr int IDW_PREVIEW = 1602;         // the pane
constexpr int IDB_PREVIEW_BEFORE = 1603;  // inside the pane
constexpr int IDB_PREVIEW_AFTER = 1604;
