// The batch command t905cli: the OK flow and a few looks into the files,
// without a window, for scripts and for users who convert many drawings.
#pragma once

#include <filesystem>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

// Exit codes of the command.
constexpr int kCliOk = 0;
constexpr int kCliFileError = 1;   // a file could not be read or written
constexpr int kCliUsageError = 2;  // the command line itself is wrong

// Runs one command. `args` are the words after the program name; on Windows
// they are UTF-8 (the entry point converts them), elsewhere the bytes as given.
// Never throws; every failure is a message on `err` and a non-zero result.
int RunCli(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

// The path an argument names: UTF-8 on Windows, the bytes as given elsewhere.
std::filesystem::path CliPath(std::string_view arg);
