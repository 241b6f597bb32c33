// Reading, placing and writing blocks of widths as spreadsheets exchange them.
#include "app/paste_block.h"

#include <charconv>

#include "app/form_texts.h"
#include "app/presets.h"

namespace {

using TCells = std::vector<std::vector<std::string>>;

bool IsLeadByte(unsigned char b) { return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC); }

// Splits rows and cells. A trail byte of Shift-JIS is never below 0x40, so the
// tab, line ends and the quote are found byte by byte.
TCells SplitCells(std::string_view text) {
  TCells rows;
  std::vector<std::string> row;
  std::string cell;
  bool cellStart = true;
  std::size_t i = 0;
  while (i < text.size()) {
    const char c = text[i];
    if (cellStart && c == '"') {
      ++i;
      while (i < text.size()) {
        if (text[i] != '"') {
          cell += text[i++];
        } else if (i + 1 < text.size() && text[i + 1] == '"') {
          cell += '"';
          i += 2;
        } else {
          ++i;
          break;
        }
      }
      cellStart = false;
    } else if (c == '\t') {
      row.push_back(std::move(cell));
      cell.clear();
      cellStart = true;
      ++i;
    } else if (c == '\r' || c == '\n') {
      row.push_back(std::move(cell));
      rows.push_back(std::move(row));
      cell.clear();
      row.clear();
      cellStart = true;
      i += (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ? 2 : 1;
    } else {
      cell += c;
      cellStart = false;
      ++i;
    }
  }
  if (!cell.empty() || !row.empty() || !cellStart) {
    row.push_back(std::move(cell));
    rows.push_back(std::move(row));
  }
  return rows;
}

// Drops ASCII blanks and ideographic spaces (81 40) from both ends.
std::string_view TrimBlanks(std::string_view s) {
  for (;;) {
    if (!s.empty() && (s.front() == ' ' || s.front() == '\v' || s.front() == '\f')) {
      s.remove_prefix(1);
    } else if (s.size() >= 2 && s[0] == '\x81' && s[1] == '\x40') {
      s.remove_prefix(2);
    } else {
      break;
    }
  }
  for (;;) {
    if (!s.empty() && (s.back() == ' ' || s.back() == '\v' || s.back() == '\f')) {
      s.remove_suffix(1);
    } else if (s.size() >= 2 && s[s.size() - 2] == '\x81' && s.back() == '\x40' &&
               (s.size() == 2 || !IsLeadByte(static_cast<unsigned char>(s[s.size() - 3])))) {
      // 81 40 at the end is a space unless 81 is itself the trail of a pair
      s.remove_suffix(2);
    } else {
      break;
    }
  }
  return s;
}

// Full-width digits, signs, point and comma become ASCII; other pairs stay.
std::string NarrowDigits(std::string_view s) {
  std::string out;
  for (std::size_t i = 0; i < s.size(); ++i) {
    const auto b = static_cast<unsigned char>(s[i]);
    if (!IsLeadByte(b) || i + 1 >= s.size()) {
      out += s[i];
      continue;
    }
    const auto t = static_cast<unsigned char>(s[i + 1]);
    if (b == 0x82 && t >= 0x4F && t <= 0x58) {
      out += static_cast<char>('0' + (t - 0x4F));
    } else if (b == 0x81 && t == 0x7C) {
      out += '-';
    } else if (b == 0x81 && t == 0x7B) {
      out += '+';
    } else if (b == 0x81 && t == 0x44) {
      out += '.';
    } else if (b == 0x81 && t == 0x43) {
      out += ',';
    } else {
      out += s[i];
      out += s[i + 1];
    }
    ++i;
  }
  return out;
}

// Digits with thousands separators in groups of three ("1,000"); none is fine too.
bool StripGrouping(std::string_view digits, std::string& out) {
  if (digits.find(',') == std::string_view::npos) {
    out = digits;
    return true;
  }
  const std::size_t first = digits.find(',');
  if (first == 0 || first > 3 || (digits.size() - first) % 4 != 0) return false;
  for (std::size_t i = first; i < digits.size(); i += 4) {
    if (digits[i] != ',') return false;
  }
  out.clear();
  for (char c : digits) {
    if (c != ',') out += c;
  }
  return true;
}

bool AllDigits(std::string_view s) {
  if (s.empty()) return false;
  for (char c : s) {
    if (c < '0' || c > '9') return false;
  }
  return true;
}

// One cell's width, or the fault that refuses it.
TPasteFault CellValue(std::string_view trimmed, int32_t& value) {
  const std::string narrow = NarrowDigits(trimmed);
  std::string_view s = TrimBlanks(narrow);
  if (s.empty()) {
    value = -1;
    return TPasteFault::None;
  }
  bool negative = false;
  if (s.front() == '-' || s.front() == '+') {
    negative = s.front() == '-';
    s.remove_prefix(1);
  }
  const std::size_t point = s.find('.');
  const std::string_view whole = s.substr(0, point);
  const std::string_view fraction = point == std::string_view::npos ? std::string_view() : s.substr(point + 1);
  std::string digits;
  if (!StripGrouping(whole, digits) || !AllDigits(digits)) return TPasteFault::NotInteger;
  if (point != std::string_view::npos) {
    if (!fraction.empty() && !AllDigits(fraction)) return TPasteFault::NotInteger;
    if (fraction.find_first_not_of('0') != std::string_view::npos) return TPasteFault::Decimal;
  }
  // More digits than any width has: out of range, not a number that overflows.
  const std::size_t significant = digits.find_first_not_of('0');
  if (significant != std::string::npos && digits.size() - significant > 6) return TPasteFault::OutOfRange;
  int32_t v = 0;
  std::from_chars(digits.data(), digits.data() + digits.size(), v);
  if (negative) v = -v;
  if (v < -1 || v > kMaxWidth) return TPasteFault::OutOfRange;
  value = v;
  return TPasteFault::None;
}

// The cell's text for a message: at most 32 bytes, never half a character.
std::string ShownText(std::string_view s) {
  constexpr std::size_t kMax = 32;
  if (s.size() <= kMax) return std::string(s);
  std::size_t end = 0;
  while (end < s.size()) {
    const std::size_t step = IsLeadByte(static_cast<unsigned char>(s[end])) ? 2 : 1;
    if (end + step > kMax) break;
    end += step;
  }
  return std::string(s.substr(0, end)) + "...";
}

std::string IntText(int v) {
  char buf[16];
  const auto res = std::to_chars(buf, buf + sizeof buf, v);
  return std::string(buf, res.ptr);
}

bool IsBlankLine(const std::vector<std::string>& row) { return row.size() == 1 && TrimBlanks(row[0]).empty(); }

}  // namespace

bool ParsePasteBlock(std::string_view text, TPasteBlock& block, TPasteError& error) {
  TCells cells = SplitCells(text);
  while (!cells.empty() && IsBlankLine(cells.back())) cells.pop_back();
  block.rows.clear();
  error = TPasteError{};
  if (cells.empty()) {
    error.fault = TPasteFault::Nothing;
    return false;
  }
  std::size_t width = 0;
  for (const auto& row : cells) width = row.size() > width ? row.size() : width;
  for (std::size_t r = 0; r < cells.size(); ++r) {
    std::vector<int32_t> values(width, -1);
    for (std::size_t c = 0; c < cells[r].size(); ++c) {
      const std::string_view trimmed = TrimBlanks(cells[r][c]);
      const TPasteFault fault = CellValue(trimmed, values[c]);
      if (fault != TPasteFault::None) {
        error = {fault, static_cast<int>(r + 1), static_cast<int>(c + 1), ShownText(trimmed)};
        block.rows.clear();
        return false;
      }
    }
    block.rows.push_back(std::move(values));
  }
  return true;
}

bool PlacePasteBlock(const TPasteBlock& block, const TGridSelection& selection, TPasteTarget& target,
                     TPasteError& error) {
  error = TPasteError{};
  if (block.Height() == 0 || block.Width() == 0) {
    error.fault = TPasteFault::Nothing;
    return false;
  }
  const bool single = block.Height() == 1 && block.Width() == 1;
  const bool tiles = selection.Width() % block.Width() == 0 && selection.Height() % block.Height() == 0;
  if (single || (!selection.IsSingle() && tiles)) {
    target = {selection.Left(), selection.Top(), selection.Right(), selection.Bottom()};
    return true;
  }
  target = {selection.Left(), selection.Top(), selection.Left() + block.Width() - 1,
            selection.Top() + block.Height() - 1};
  const int last = TGridSelection::kLast;
  if (target.right <= last && target.bottom <= last) return true;
  error.fault = TPasteFault::PastEdge;
  error.row = target.bottom > last ? last - target.top + 2 : 1;
  error.col = target.right > last ? last - target.left + 2 : 1;
  return false;
}

std::string PasteErrorText(const TPasteError& error) {
  if (error.fault == TPasteFault::None) return "";
  if (error.fault == TPasteFault::Nothing) return kPasteNothing;
  std::string text = std::string(kPasteRefused) + IntText(error.row) + kPasteRowWord + IntText(error.col);
  if (error.fault == TPasteFault::PastEdge) return text + kPastePastEdge;
  text += kPasteColCellWord;
  text += error.text;
  switch (error.fault) {
    case TPasteFault::Decimal: return text + kPasteDecimal;
    case TPasteFault::OutOfRange: return text + kPasteOutOfRange;
    default: return text + kPasteNotInteger;
  }
}

std::string CopyBlockText(const TGridWidths& widths, int left, int top, int right, int bottom) {
  std::string text;
  for (int row = top; row <= bottom; ++row) {
    for (int col = left; col <= right; ++col) {
      if (col > left) text += '\t';
      text += IntText(widths[static_cast<std::size_t>((row - 1) * 16 + (col - 1))]);
    }
    text += "\r\n";
  }
  return text;
}
