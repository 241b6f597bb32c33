// The words of the batch command's file messages, kept apart from the command
// so that each check and failure reads the same wherever it happens.
#include "app/cli_messages.h"

#include <fstream>
#include <string_view>
#include <system_error>

#include "app/cli.h"
#include "app/cli_checks.h"
#include "app/preset_check.h"

namespace {

std::string Quoted(std::string_view name) { return "'" + std::string(name) + "'"; }

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

std::string FileErrorWords(const TFileError& error) {
  return StepWords(error.step) + " failed: " + FileErrorReasonUtf8(error);
}

std::string PresetFileRefusal(const std::string& name, bool force) {
  const std::filesystem::path path = CliPath(name);
  const std::string head = "the preset file " + Quoted(name);
  std::error_code ec;
  if (std::filesystem::is_directory(path, ec)) return "cannot read " + head + ": it is a folder";
  ClearSystemError();
  std::ifstream in(path, std::ios::binary);
  if (!in.is_open()) return "cannot read " + head + ": " + FileErrorWords(LastSystemError("open"));
  in.close();
  if (force) return "";
  const std::string problem = PresetFileProblem(path);
  if (problem.empty()) return "";
  return head + " is not a whole preset file: " + problem + " (--force reads it anyway)";
}

std::string ExchangeFileRefusal(const std::string& name, bool force, bool missingIsFine) {
  const TFirstLineCheck check = CheckExchangeFirstLine(CliPath(name));
  const std::string head = "the exchange file " + Quoted(name);
  switch (check.verdict) {
    case TFirstLineVerdict::Ours:
      return "";
    case TFirstLineVerdict::Missing:
      return missingIsFine ? "" : "cannot read " + head + ": no such file";
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

std::string OutputRefusal(const std::string& name) {
  const std::string problem = OutputPathProblem(CliPath(name));
  return problem.empty() ? "" : "cannot write the answer " + Quoted(name) + ": " + problem;
}

std::string ReadFailure(const std::string& name, const TFileError& error) {
  const std::string size = error.failure == TFileFailure::OutOfMemory ? SizeText(CliPath(name)) : "";
  return "cannot read the exchange file " + Quoted(name) + ": " + FileErrorWords(error) + size +
         "; no file was written";
}

std::string WriteFailure(const std::string& name, const TFileError& error) {
  return "cannot write the answer " + Quoted(name) + ": " + FileErrorWords(error) + "; it was left as it was";
}
