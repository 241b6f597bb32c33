// The words of the batch command's file messages, kept apart from the command
// so that each check and failure reads the same wherever it happens.
#include "app/cli_messages.h"

#include <string_view>
#include <system_error>

#include "app/cli.h"
#include "app/cli_checks.h"
#include "app/preset_check.h"
#include "app/preset_lines.h"

namespace {

std::string Quoted(const std::filesystem::path& path) { return "'" + FullPathText(path) + "'"; }

// A file that is not there: where it was looked for, and how to name another.
std::string NoSuchFile(const std::string& head, std::string_view option) {
  return "cannot read " + head + ": no such file (name another with " + std::string(option) + " FILE)";
}

std::string StepWords(std::string_view step) {
  if (step == "open") return "opening it";
  if (step == "read") return "reading it";
  if (step == "create") return "creating a temporary file beside it";
  if (step == "write") return "writing the temporary file";
  if (step == "replace") return "replacing it";
  return "it";
}

std::string SizeText(const std::filesystem::path& path) {
  std::error_code ec;
  const auto size = std::filesystem::file_size(path, ec);
  if (ec) return "";
  return " (the file is " + std::to_string(size) + " bytes)";
}

}  // namespace

std::string PathText(const std::filesystem::path& path) {
#ifdef _WIN32
  const std::u8string text = path.u8string();
  return std::string(text.begin(), text.end());
#else
  return path.string();
#endif
}

std::string FullPathText(const std::filesystem::path& path) {
  std::error_code ec;
  const std::filesystem::path full = std::filesystem::absolute(path, ec);
  return PathText(ec ? path : full);
}

std::string FileErrorWords(const TFileError& error) {
  return StepWords(error.step) + " failed: " + FileErrorReasonUtf8(error);
}

std::string PresetFileRefusal(const std::filesystem::path& path, bool force, TPresetLines* lines) {
  const std::string head = "the preset file " + Quoted(path);
  std::error_code ec;
  if (std::filesystem::is_directory(path, ec)) return "cannot read " + head + ": it is a folder";
  if (!std::filesystem::exists(path, ec) && !ec) return NoSuchFile(head, "--presets");
  TPresetLines own;
  TPresetLines& in = lines != nullptr ? *lines : own;
  ClearSystemError();
  if (!in.Open(path)) return "cannot read " + head + ": " + FileErrorWords(LastSystemError("open"));
  if (force) return "";
  const std::string problem = PresetFileProblem(in);
  if (problem.empty()) return "";
  return head + " is not a whole preset file: " + problem + " (--force reads it anyway)";
}

std::string ExchangeFileRefusal(const std::filesystem::path& path, bool force, bool missingIsFine) {
  const TFirstLineCheck check = CheckExchangeFirstLine(path);
  const std::string head = "the exchange file " + Quoted(path);
  switch (check.verdict) {
    case TFirstLineVerdict::Ours:
      return "";
    case TFirstLineVerdict::Missing:
      return missingIsFine ? "" : NoSuchFile(head, "--exchange");
    case TFirstLineVerdict::Unreadable:
      return "cannot read " + head + ": " + FileErrorWords(check.error);
    case TFirstLineVerdict::Other:
      if (force) return "";
      return head + (check.shown.empty() ? std::string(" is empty") : " begins with '" + check.shown + "'") +
             ", not with the host's \"hq\" or an answer's \"hd\"; it was left as it is"
             " (--force converts it anyway)";
  }
  return "";
}

std::string OutputRefusal(const std::filesystem::path& path) {
  const std::string problem = OutputPathProblem(path);
  return problem.empty() ? "" : "cannot write the answer " + Quoted(path) + ": " + problem;
}

std::string MissingExchangeFile(const std::filesystem::path& path) {
  return NoSuchFile("the exchange file " + Quoted(path), "--exchange");
}

std::string ReadFailure(const std::filesystem::path& path, const TFileError& error) {
  const std::string size = error.failure == TFileFailure::OutOfMemory ? SizeText(path) : "";
  return "cannot read the exchange file " + Quoted(path) + ": " + FileErrorWords(error) + size +
         "; no file was written";
}

std::string WriteFailure(const std::filesystem::path& path, const TFileError& error) {
  return "cannot write the answer " + Quoted(path) + ": " + FileErrorWords(error) + "; it was left as it was";
}
