// The scripted stand-in for the window toolkit.
#include "tests/support/fake_controls.h"

#include <stdexcept>

#include "app/form1.h"

namespace {

void CheckCell(int col, int row) {
  if (col < 0 || col > 16 || row < 0 || row > 16) throw std::out_of_range("grid cell outside 17 x 17");
}

}  // namespace

FakeControls::FakeControls(std::filesystem::path exePath) : exePath_(std::move(exePath)) {
  colWidths.fill(40);
}

void FakeControls::TypeIntoCell(int col, int row, std::string_view text) {
  CheckCell(col, row);
  CommitGridEdit();
  openEdit_ = OpenEdit{col, row, std::string(text)};
}

void FakeControls::TypeComment(std::string_view text) {
  edit1 = text;
  if (form_ != nullptr) form_->Edit1Change();
}

void FakeControls::ClickTab(int index) {
  if (form_ == nullptr) throw std::logic_error("no form attached");
  form_->TabControl1Changing();
  tab = index;
  form_->TabControl1Change();
}

std::string FakeControls::GridCell(int col, int row) const {
  CheckCell(col, row);
  return cells[static_cast<std::size_t>(col)][static_cast<std::size_t>(row)];
}

void FakeControls::SetGridCell(int col, int row, std::string_view text) {
  CheckCell(col, row);
  cells[static_cast<std::size_t>(col)][static_cast<std::size_t>(row)] = text;
}

void FakeControls::SetGridColWidth(int col, int pixels) {
  CheckCell(col, 0);
  colWidths[static_cast<std::size_t>(col)] = pixels;
}

void FakeControls::CommitGridEdit() {
  if (!openEdit_) return;
  const OpenEdit edit = *openEdit_;
  openEdit_.reset();
  // The real grid's text reaches the cell as it is typed, and the form hears of it.
  SetGridCell(edit.col, edit.row, edit.text);
  if (form_ != nullptr) form_->StringGrid1SetEditText();
}

void FakeControls::MoveWindowTo(int left, int top) {
  left_ = left;
  top_ = top;
  moves.emplace_back(left, top);
}

void FakeControls::CloseWindow() {
  ++closeRequests;
  if (form_ != nullptr) form_->FormClose();
}

bool FakeControls::ConfirmYesNo(std::string_view message) {
  confirmations.emplace_back(message);
  if (confirmAnswers.empty()) return false;
  const bool yes = confirmAnswers.front();
  confirmAnswers.pop_front();
  return yes;
}

std::optional<std::filesystem::path> FakeControls::RunOpenDialog(const TOpenDialogSpec& spec) {
  dialogs.push_back(spec);
  if (dialogAnswers.empty()) return std::nullopt;
  auto answer = dialogAnswers.front();
  dialogAnswers.pop_front();
  return answer;
}

bool FakeControls::IsEscapeDown() {
  ++escapePolls;
  if (escapeAnswers.empty()) return escapeHeld;
  const bool down = escapeAnswers.front();
  escapeAnswers.pop_front();
  return down;
}

std::string FakeControls::PathToText(const std::filesystem::path& path) const { return path.string(); }

std::filesystem::path FakeControls::TextToPath(std::string_view text) const {
  return std::filesystem::path(std::string(text));
}
