// TForm1's run flow: start-up when the window is shown, OK, Cancel, and the
// close that hands the answer to the host.
#include "app/form1.h"


#include "app/cell_check.h"
#include "app/convert.h"
#include "app/form_texts.h"
#include "app/ok_flow.h"
#include "app/ok_pacing.h"
#include "exchange/read/reader.h"
#include "exchange/write/writer.h"

namespace {

constexpr const char* kExchangeFileName = "JWC_TEMP.TXT";
constexpr int kHeaderColumnWidth = 24;

TConvertKinds CheckedKinds(const IForm1Controls& controls) {
  TConvertKinds kinds;
  kinds.points = controls.CheckBox(TCheckBoxId::Points);
  kinds.dims = controls.CheckBox(TCheckBoxId::Dims);
  kinds.solids = controls.CheckBox(TCheckBoxId::Solids);
  kinds.arbitrary = controls.CheckBox(TCheckBoxId::Arbitrary);
  return kinds;
}

// The four check boxes as the preset file keeps them.
TPresetControls CheckBoxStates(const IForm1Controls& controls) {
  TPresetControls held;
  held.CheckBox1 = controls.CheckBox(TCheckBoxId::Points);
  held.CheckBox3 = controls.CheckBox(TCheckBoxId::Dims);
  held.CheckBox4 = controls.CheckBox(TCheckBoxId::Solids);
  held.CheckBox5 = controls.CheckBox(TCheckBoxId::Arbitrary);
  return held;
}

}  // namespace

TForm1::TForm1(IForm1Controls& controls) : controls_(controls) {}

std::filesystem::path TForm1::ExchangePath() const {
  // Before the window was shown the folder is taken afresh, so a close without
  // a show still answers beside the executable and never in the current folder.
  const std::filesystem::path dir =
      exeDir_.empty() ? controls_.ExecutablePath().parent_path() : exeDir_;
  return dir / kExchangeFileName;
}

std::filesystem::path TForm1::PresetPath() const { return PresetPathFor(controls_.ExecutablePath()); }

int TForm1::SelectedTable() const {
  const int n = controls_.TabIndex() + 1;
  return (n < 1 || n > kPresetCount) ? 1 : n;
}

std::string TForm1::DialogFolder() const {
  return chosenFolder_.empty() ? loadedFolder_ : chosenFolder_;
}

void TForm1::FormShow() {
  JwwDataInit(store);
  exeDir_ = controls_.ExecutablePath().parent_path();
  JwwReadFile(store, ExchangePath(), nullptr, nullptr, &writer.Source);
  summary_ = SummarizeLayers(store);
  LoadPresets(PresetPath());

  controls_.MoveWindowTo(model.SavedLeft, model.SavedTop);
  controls_.SetLabelL1(kLabelL1Text);
  controls_.SetLabelL2(kLabelL2Text);
  controls_.SetGridColWidth(0, kHeaderColumnWidth);
  for (int i = 0; i < 16; ++i) {
    const char digit[2] = {"0123456789ABCDEF"[i], '\0'};
    controls_.SetGridCell(0, i + 1, digit);  // layer groups down the side
    controls_.SetGridCell(i + 1, 0, digit);  // layers across the top
  }
  controls_.SelectTabSilently(model.CurrentTab - 1);
  TableToGrid(model.CurrentTab);
  ShowLayerUse();
  baseline_ = lastSeen_ = Screen();
  changing_ = false;
}

void TForm1::Button1Click() {
  if (okDone_ || closed_) return;
  okDone_ = true;
  controls_.CommitGridEdit();
  model.SavedLeft = controls_.WindowLeft();
  model.SavedTop = controls_.WindowTop();
  model.CurrentTab = SelectedTable();
  GridToTable(model.CurrentTab);
  // Saved before the drawing is touched, so the presets persist even when the
  // user then aborts the writing with Escape.
  SavePresets(PresetPath());

  controls_.SetStatusText(kStatusConverting);
  // No messages run during OK: the status line repaints at once and Escape is
  // read from the key's state, both paced so that they do not slow the walk.
  TPacedOkFeedback feedback(controls_, okPacing);
  // A large answer goes on to a temporary file beside the exchange file as it
  // is built; the close puts it in place.
  writer.Output.StreamTo(ExchangePath());
  RunOkConversion(store, writer, model.Table(model.CurrentTab), CheckedKinds(controls_), &feedback,
                  &feedback);
  feedback.Finish();
  controls_.SetStatusText(kStatusGenerating);
  controls_.CloseWindow();
}

void TForm1::Button2Click() { controls_.CloseWindow(); }

void TForm1::FormClose() {
  // The toolkit may report a close more than once; the answer is written once.
  if (closed_) return;
  closed_ = true;
  TFileError error;
  if (!JwwWriteFile(writer, ExchangePath(), &error)) {
    writeFailures_.push_back({kWriteAnswerFailed, ExchangePath(), error});
  }
  JwwClearOutput(writer);
  JwwDataFree(store);
  // The host waits for the tool to end, so the box is shown before it does.
  ReportWriteFailures();
}

void TForm1::ConvertWidths(int n) {
  if (n < 1 || n > kPresetCount) return;
  ::ConvertWidths(store, model.Table(n), CheckedKinds(controls_));
}

TGridWidths TForm1::GridWidths() const {
  TGridWidths widths{};
  for (int g = 0; g < 16; ++g) {
    for (int l = 0; l < 16; ++l) {
      widths[static_cast<std::size_t>(g * 16 + l)] = CellWidth(controls_.GridCell(l + 1, g + 1));
    }
  }
  return widths;
}

void TForm1::ShowLayerUse() {
  // From OK on the status line belongs to the conversion and the writer.
  if (okDone_ || closed_) return;
  const TGridWidths widths = GridWidths();
  const TConvertKinds kinds = CheckedKinds(controls_);
  controls_.SetGridUse(GridUse(summary_, widths, kinds));
  std::string summary = IdleSummaryText(summary_, widths, kinds);
  // Cells whose text is no width are counted, so a typing mistake does not pass unseen.
  if (const int errors = CountCellErrors(Screen().cells); errors > 0) {
    summary += std::string(kStatusIdle) + kCellErrorsWord + ' ' + std::to_string(errors) + ' ' + kCellsWord;
  }
  controls_.SetStatusText(summary);
}

std::string TForm1::CellHint(int col, int row) const {
  const std::string hint = CellTooltipText(summary_, GridWidths(), CheckedKinds(controls_), col, row);
  if (col < 1 || col > 16 || row < 1 || row > 16) return hint;
  return CellErrorHint(controls_.GridCell(col, row)) + hint;
}

void TForm1::StringGrid1SetEditText() {
  if (okDone_ || closed_) return;
  TypedInto();
  ShowLayerUse();
}

void TForm1::CheckBoxClick() { ShowLayerUse(); }

void TForm1::LoadPresets(const std::filesystem::path& path) {
  // Without a file the check boxes and the folder keep what they hold now.
  TPresetControls held = CheckBoxStates(controls_);
  held.DialogFolder = loadedFolder_;
  ::LoadPresets(path, model, held);
  controls_.SetCheckBox(TCheckBoxId::Points, held.CheckBox1);
  controls_.SetCheckBox(TCheckBoxId::Dims, held.CheckBox3);
  controls_.SetCheckBox(TCheckBoxId::Solids, held.CheckBox4);
  controls_.SetCheckBox(TCheckBoxId::Arbitrary, held.CheckBox5);
  loadedFolder_ = held.DialogFolder;
}

bool TForm1::SavePresets(const std::filesystem::path& path) {
  TPresetControls held = CheckBoxStates(controls_);
  // A folder loaded from the file is kept when no file was chosen in this run,
  // so one OK without an import does not forget where the user's files lie.
  held.DialogFolder = DialogFolder();
  // A failed save leaves the old file and goes on: the conversion still counts,
  // and the user hears of it when the window closes.
  TFileError error;
  if (::SavePresets(path, model, held, nullptr, &error)) return true;
  writeFailures_.push_back({kSavePresetsFailed, path, error});
  return false;
}
