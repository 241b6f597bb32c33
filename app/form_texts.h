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

// The preview pane: its toggle on the form, its two views, the note shown
// when the host passed no widths, and the words of the entity under the mouse.
extern const char* const kPreviewToggleText;  // "図"
extern const char* const kPreviewBeforeText;  // "変換前"
extern const char* const kPreviewAfterText;   // "変換後"
extern const char* const kPreviewNoWidths;    // "線幅は渡されていません(#zw)"
extern const char* const kPreviewWidthWord;   // "線幅 "
extern const char* const kPreviewArrow;       // " → "
