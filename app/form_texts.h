// Every text the main window shows, as Shift-JIS bytes: the one source for the
// behaviour code, which sets and compares them as they are, and for the window,
// which converts them for display. Two-line texts carry CR LF between lines.
#pragma once

#include <string>

constexpr int kTabCount = 20;
constexpr int kMemoLineCount = 36;

extern const char* const kAppTitle;       // "t905_レイヤ→線幅変換", task bar and message boxes
extern const char* const kWindowCaption;  // "レイヤ→線幅変換", caption bar
extern const char* const kFontName;       // "ＭＳ ゴシック"

extern const char* const kLabel1Text;   // "コメント"
extern const char* const kLabelL1Text;  // "レイヤ", over the grid's columns
extern const char* const kLabelL2Text;  // "レイヤグル｜プ", one character per line

extern const char* const kButton1Text;  // "ＯＫ(&Y)"
extern const char* const kButton2Text;  // "キャンセル(&N)"
extern const char* const kButton3Text;  // "ALL -1"
extern const char* const kButton5Text;  // "ALL 0"
extern const char* const kButton4Text;  // "JWF読込み"

extern const char* const kCheckBox1Text;  // "点"
extern const char* const kCheckBox3Text;  // "寸法図形"
extern const char* const kCheckBox4Text;  // "ソリッド"
extern const char* const kCheckBox5Text;  // "任意色"

extern const char* const kTabTexts[kTabCount];  // "①" .. "⑳"

extern const char* const kStatusIdle;        // one ideographic space
extern const char* const kStatusConverting;  // "処理中です"
extern const char* const kStatusGenerating;  // "ファイル生成中です"

// The two questions of ALL -1 and ALL 0, and the import's one message.
extern const char* const kConfirmAllMinus1;
extern const char* const kConfirmAllZero;
extern const char* const kWrongExtensionMessage;  // "環境設定ファイル(JWF)を指定して下さい。"

extern const char* const kOpenDialogTitle;          // "環境設定ファイル（JWF）を読込む"
extern const char* const kOpenDialogFilterName;     // "環境設定ファイル(*.JWF)"
extern const char* const kOpenDialogFilterPattern;  // "*.jwf"
extern const char* const kOpenDialogDefaultExt;     // "jwf"

// Memo1's notes, one entry per line, leading ideographic spaces included.
extern const char* const kMemoLines[kMemoLineCount];

// The notes as one text, lines separated by CR LF, with no line end after the last.
std::string MemoText();

// The box shown when the preset file or the answer could not be written: per
// failure its head line, the file and the system's reason; then, when the
// place refused writing, where the tool's folder belongs.
extern const char* const kSavePresetsFailed;   // "設定ファイルを保存できませんでした。"
extern const char* const kWriteAnswerFailed;   // "変換結果をファイルに書き込めませんでした。…"
extern const char* const kFailedFileLabel;     // "ファイル："
extern const char* const kFailedReasonLabel;   // "理由："
extern const char* const kToolFolderAdvice;    // "…Jw_cadのフォルダの下…に置いてください。"

// A paste or a set-table block that is refused: the head line, then where
// (row and column of the block) and why. Shared with the batch command.
extern const char* const kPasteRefused;        // "貼り付けできません。"
extern const char* const kPasteRowWord;        // "行目"
extern const char* const kPasteColCellWord;    // "列目の「", before the cell's text
extern const char* const kPasteNotInteger;     // "」は整数ではありません。"
extern const char* const kPasteDecimal;        // "」は小数です。…（0.25mm → 25）。"
extern const char* const kPasteOutOfRange;     // "」は-1～30000の範囲にありません。"
extern const char* const kPastePastEdge;       // "列目が表の端を越えます。"
extern const char* const kPasteNothing;        // "貼り付けるデータがありません。"

// The grid's context menu, in its order.
extern const char* const kMenuUndo;       // "元に戻す(&U)"
extern const char* const kMenuRedo;       // "やり直し(&R)"
extern const char* const kMenuCut;        // "切り取り(&T)"
extern const char* const kMenuCopy;       // "コピー(&C)"
extern const char* const kMenuPaste;      // "貼り付け(&P)"
extern const char* const kMenuDelete;     // "削除(&D)"
extern const char* const kMenuSelectAll;  // "すべて選択(&A)"

// A cell whose text is no width, in its tooltip: "「abc」は線幅になりません。0
// として保存されます。", and for a decimal the unit's hint.
extern const char* const kCellNotWidth;      // "」は線幅になりません。"
extern const char* const kCellStoredAs;      // "として保存されます。"
extern const char* const kCellUnitHint;      // "線幅は1/100mm単位の整数です（0.25mm → 25）。"
// The idle summary's count of such cells: "入力エラー N マス".
extern const char* const kCellErrorsWord;    // "入力エラー"
extern const char* const kCellsWord;         // "マス"
// Under a tooltip's solids: which solids the ソリッド box converts.
extern const char* const kSolidsConvertedHint;  // "ソリッドのチェックで変換するのは線形ソリッドと円周ソリッドです"
// The preview pane: its toggle on the form, its two views, the note shown
// when the host passed no widths, and the words of the entity under the mouse.
extern const char* const kPreviewToggleText;  // "図"
extern const char* const kPreviewBeforeText;  // "変換前"
extern const char* const kPreviewAfterText;   // "変換後"
extern const char* const kPreviewNoWidths;    // "線幅は渡されていません(#zw)"
extern const char* const kPreviewPreparing;   // "作成中…"
extern const char* const kPreviewWidthWord;   // "線幅 "
extern const char* const kPreviewArrow;       // " → "
