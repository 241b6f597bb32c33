// The batch command t905cli: the OK flow and a few looks into the files,
// without a window, for scripts and for users who convert many drawings.
#pragma once

#include <filesystem>
#include <istream>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

// Exit codes of the command.
constexpr int kCliOk = 0;
constexpr int kCliFileError = 1;   // a file could not be read or written
constexpr int kCliUsageError = 2;  // the command line itself is wrong

class ICliProgress;

// What a command learns from where it runs.
struct TCliContext {
  // The folder of t905cli itself. Unless named on the command line, the
  // exchange and preset files are the ones there, as the window uses the files
  // beside itself. Empty: the current folder.
  std::filesystem::path exeDir;
  // Where a long conversion shows how far it has come; null for nothing
  // (as with --quiet).
  ICliProgress* progress = nullptr;
  // Where "set-table -" reads its block; null for the standard input.
  std::istream* input = nullptr;
};

// Runs one command. `args` are the words after the program name; on Windows
// they are UTF-8 (the entry point converts them), elsewhere the bytes as given.
// Everything written to `out` and `err` is UTF-8 (Shift-JIS comments are
// converted); the entry point's streams re-encode it for the reader.
// Never throws; every failure is a message on `err` and a non-zero result.
int RunCli(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
           const TCliContext& context);
// The same with the files of the current folder and no progress.
int RunCli(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

// True when the words ask for UTF-8 output (--utf8 anywhere before "--").
bool CliWantsUtf8(const std::vector<std::string>& args);

// The name and version, as --version prints them: "t905cli 1.1.0".
std::string CliVersionText();

// The path an argument names: UTF-8 on Windows, the bytes as given elsewhere.
std::filesystem::path CliPath(std::string_view arg);
