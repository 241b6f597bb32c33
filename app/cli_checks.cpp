// The checks that keep the batch command from replacing a file that is not an
// exchange file, or from converting a whole drawing for an answer that has
// nowhere to go.
#include "app/cli_checks.h"

#include <cerrno>
#include <fstream>
#include <system_error>

#include "exchange/file/atomic_file.h"
#include "util/text.h"

namespace fs = std::filesystem;

namespace {

// Enough for "hq"/"hd" and for a message to show what stands there instead.
constexpr std::size_t kLookedAt = 256;
constexpr std::size_t kShownBytes = 40;

std::string Utf8(const fs::path& path) {
  const std::u8string text = path.u8string();
  return std::string(text.begin(), text.end());
}

std::string FirstLineOf(const std::string& head) {
  std::string line = head.substr(0, head.find('\n'));
  while (!line.empty() && (line.back() == '\r' || line.back() == ' ' || line.back() == '\t')) line.pop_back();
  return line;
}

}  // namespace

TFirstLineCheck CheckExchangeFirstLine(const fs::path& path) {
  TFirstLineCheck check;
  std::error_code ec;
  const fs::file_status status = fs::status(path, ec);
  if (status.type() == fs::file_type::not_found) {
    check.verdict = TFirstLineVerdict::Missing;
    check.error = ErrnoError("open", ENOENT);
    return check;
  }
  if (fs::is_directory(status)) {
    check.error = ErrnoError("open", EISDIR);
    return check;
  }
  ClearSystemError();
  std::ifstream in(path, std::ios::binary);
  if (!in.is_open()) {
    check.error = LastSystemError("open");
    return check;
  }
  char buf[kLookedAt];
  ClearSystemError();
  in.read(buf, sizeof buf);
  if (in.bad()) {
    check.error = LastSystemError("read");
    return check;
  }
  const std::string line = FirstLineOf(std::string(buf, static_cast<std::size_t>(in.gcount())));
  check.verdict = (line == "hq" || line == "hd") ? TFirstLineVerdict::Ours : TFirstLineVerdict::Other;
  check.shown = PrintableExcerpt(line, kShownBytes);
  return check;
}

std::string OutputPathProblem(const fs::path& path) {
  if (path.empty()) return "no file name was given";
  std::error_code ec;
  if (fs::is_directory(path, ec)) return "it is a folder";
  if (!path.has_filename()) return "it names a folder, not a file";
  const fs::path parent = path.parent_path();
  if (!parent.empty()) {
    const fs::file_status status = fs::status(parent, ec);
    if (status.type() == fs::file_type::not_found) return "the folder '" + Utf8(parent) + "' does not exist";
    if (!fs::is_directory(status)) return "'" + Utf8(parent) + "' is not a folder";
  }
  if (IsReadOnlyFile(path)) return "the file is read-only";
  return "";
}
