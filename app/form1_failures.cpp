// TForm1's report of the files a run could not write: one box at close that
// names each file and the system's reason, so no failure passes in silence.
#include <string>
#include <string_view>
#include <vector>

#include "app/form1.h"
#include "app/form_texts.h"

namespace {

bool IsLeadByte(unsigned char b) { return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC); }

// The folder names of a Shift-JIS path, split at "\" and "/" but never at a
// trail byte 5C inside a double-byte character.
std::vector<std::string_view> PathParts(std::string_view path, bool keepSeparators) {
  std::vector<std::string_view> parts;
  std::size_t start = 0;
  for (std::size_t i = 0; i < path.size(); ++i) {
    if (IsLeadByte(static_cast<unsigned char>(path[i]))) {
      ++i;
      continue;
    }
    if (path[i] != '\\' && path[i] != '/') continue;
    parts.push_back(path.substr(start, i - start + (keepSeparators ? 1 : 0)));
    start = i + 1;
  }
  if (start < path.size()) parts.push_back(path.substr(start));
  return parts;
}

bool EqualsNoCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    const auto lower = [](char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; };
    if (lower(a[i]) != lower(b[i])) return false;
  }
  return true;
}

// Where Windows keeps installed programs away from users' writing.
bool UnderProgramFiles(std::string_view path) {
  for (std::string_view part : PathParts(path, false)) {
    if (EqualsNoCase(part, "Program Files") || EqualsNoCase(part, "Program Files (x86)")) return true;
  }
  return false;
}

// A long path broken into lines after its separators, so that the box, which
// wraps a word that does not fit wherever it likes, never splits a name.
std::string BreakPath(std::string_view path) {
  constexpr std::size_t kLineBytes = 60;
  std::string text;
  std::size_t lineBytes = 0;
  for (std::string_view part : PathParts(path, true)) {
    if (lineBytes > 0 && lineBytes + part.size() > kLineBytes) {
      text += "\r\n";
      lineBytes = 0;
    }
    text += part;
    lineBytes += part.size();
  }
  return text;
}

}  // namespace

void TForm1::ReportWriteFailures() {
  if (writeFailures_.empty()) return;
  std::string text;
  bool advise = false;
  for (const TWriteFailure& f : writeFailures_) {
    if (!text.empty()) text += "\r\n\r\n";
    text += f.headline;
    text += "\r\n";
    text += kFailedFileLabel;
    const std::string path = controls_.PathToText(f.path);
    text += BreakPath(path);
    text += "\r\n";
    text += kFailedReasonLabel;
    text += FileErrorReasonSjis(f.error);
    // The advice names Program Files: it is given only where that is the cause.
    advise = advise || (IsAccessDenied(f.error) && UnderProgramFiles(path));
  }
  if (advise) {
    text += "\r\n\r\n";
    text += kToolFolderAdvice;
  }
  writeFailures_.clear();
  controls_.ShowErrorMessage(text);
}
