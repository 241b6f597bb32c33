// Checking a cell's text against what OK will store for it.
#include "app/cell_check.h"

#include <charconv>

#include "app/form_texts.h"
#include "app/presets.h"
#include "util/text.h"

namespace {

bool IsDigits(std::string_view s) {
  if (s.empty()) return false;
  for (char c : s) {
    if (c < '0' || c > '9') return false;
  }
  return true;
}

// "0.25", "-1.5", ".5": digits around one point.
bool IsDecimal(std::string_view s) {
  if (!s.empty() && (s.front() == '-' || s.front() == '+')) s.remove_prefix(1);
  const std::size_t point = s.find('.');
  if (point == std::string_view::npos) return false;
  const std::string_view whole = s.substr(0, point);
  const std::string_view fraction = s.substr(point + 1);
  return (whole.empty() || IsDigits(whole)) && IsDigits(fraction);
}

// Text that reads as 0 because it says 0 ("0", "-0", " 00", "$0"), not
// because it is no number.
bool SpellsZero(std::string_view s) {
  while (!s.empty() && s.front() == ' ') s.remove_prefix(1);
  if (!s.empty() && (s.front() == '-' || s.front() == '+')) s.remove_prefix(1);
  if (!s.empty() && s.front() == '$') {
    s.remove_prefix(1);
  } else if (s.size() > 2 && s[0] == '0' && (s[1] == 'x' || s[1] == 'X')) {
    s.remove_prefix(2);
  }
  return !s.empty() && s.find_first_not_of('0') == std::string_view::npos;
}

}  // namespace

TCellCheck CheckCellText(std::string_view text) {
  TCellCheck check;
  const int32_t read = TextToInt(text);
  check.stored = ClampWidth(read);
  check.valid = (read != 0 || SpellsZero(text)) && read == check.stored;
  std::string_view trimmed = text;
  while (!trimmed.empty() && trimmed.front() == ' ') trimmed.remove_prefix(1);
  check.decimal = IsDecimal(trimmed);
  return check;
}

std::string CellErrorHint(std::string_view text) {
  const TCellCheck check = CheckCellText(text);
  if (check.valid) return {};
  char buf[16];
  const auto res = std::to_chars(buf, buf + sizeof buf, check.stored);
  std::string hint = "\x81\x75" + std::string(text) + kCellNotWidth + std::string(buf, res.ptr) + kCellStoredAs + "\r\n";
  if (check.decimal) hint += std::string(kCellUnitHint) + "\r\n";
  return hint;
}

int CountCellErrors(const std::array<std::string, 256>& cells) {
  int n = 0;
  for (const std::string& cell : cells) n += CheckCellText(cell).valid ? 0 : 1;
  return n;
}
