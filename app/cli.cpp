// The batch command: "convert" runs the window's OK flow on files named on the
// command line; "cancel", "show", "import-jwf" and "stats" answer or inspect;
// "set-table" fills a preset table from a spreadsheet's block.
#include "app/cli.h"

#include <array>
#include <charconv>
#include <atomic>
#include <chrono>
#include <exception>
#include <algorithm>
#include <fstream>
#include <iostream>
#include <iterator>
#include <map>
#include <new>
#include <optional>
#include <system_error>

#include "app/cli_messages.h"
#include "app/cli_progress.h"
#include "app/convert.h"
#include "app/grid_selection.h"
#include "app/jwf_import.h"
#include "app/layer_summary.h"
#include "app/preset_lines.h"
#include "app/ok_flow.h"
#include "app/paste_block.h"
#include "app/presets.h"
#include "app/text_codec.h"
#include "exchange/file/interrupt_cleanup.h"
#include "exchange/read/reader.h"
#include "exchange/store/store.h"
#include "exchange/write/writer.h"
#include "t905_build_version.h"

namespace {

constexpr std::string_view kProgram = "t905cli";
constexpr std::string_view kDefaultExchange = "JWC_TEMP.TXT";
constexpr std::string_view kDefaultPresets = "t905.dat";

constexpr std::string_view kMainHelp =
    "usage: t905cli COMMAND [OPTIONS]\n"
    "\n"
    "Sets the line width of drawing entities by their layer, as the window does on OK,\n"
    "for the host's exchange file JWC_TEMP.TXT and the preset file t905.dat.\n"
    "\n"
    "commands:\n"
    "  convert     convert the widths and write the answer (\"hd\" and the drawing)\n"
    "  cancel      write the answer that changes nothing (\"hq\")\n"
    "  show        print a preset table: its comment and its 16 x 16 widths\n"
    "  set-table   replace a preset table's widths from a block of a spreadsheet\n"
    "  import-jwf  print the widths that an environment file (*.JWF) gives\n"
    "  stats       print what an exchange file holds, per kind and per layer\n"
    "\n"
    "Unless named with --exchange or --presets, the files are JWC_TEMP.TXT and t905.dat\n"
    "in the folder of t905cli itself, the same files the window uses.\n"
    "\n"
    "options of every command:\n"
    "  --help, -h, /?  print the command's help\n"
    "  --utf8          write UTF-8 when the output is redirected on Windows (default:\n"
    "                  Shift-JIS, as in every file this tool reads; a console always\n"
    "                  shows the text right)\n"
    "  --quiet         show no progress line on long conversions\n"
    "  --version, -V   print the name and version (alone, without a command)\n"
    "\n"
    "Run 't905cli COMMAND --help' for a command's options.\n"
    "Exit status: 0 success, 1 a file could not be read or written (or is not the kind\n"
    "of file expected), 2 a usage error, 130 interrupted (the files are left as they were).\n";

constexpr std::string_view kConvertHelp =
    "usage: t905cli convert [--exchange FILE] [--presets FILE] [--tab N] [--points] [--dims]\n"
    "                       [--solids] [--arbitrary] [--out FILE] [--summary] [--force]\n"
    "\n"
    "Reads the exchange file, sets the width of every converted entity whose layer has a\n"
    "width of 0 or more in the preset table, and writes the answer: \"hd\", then the drawing.\n"
    "Lines, circles and arcs are always converted. The preset file is never written.\n"
    "\n"
    "  --exchange FILE  the exchange file (default: JWC_TEMP.TXT beside t905cli)\n"
    "  --presets FILE   the preset file (default: t905.dat beside t905cli)\n"
    "  --tab N          the table to use, 1..20 (default: the preset file's table in use)\n"
    "  --points         convert points\n"
    "  --dims           convert dimension lines\n"
    "  --solids         convert two-point solids and se solids\n"
    "  --arbitrary      also convert those solids when they have an arbitrary colour\n"
    "                   (with --solids). When none of these four is given, the preset\n"
    "                   file's check boxes decide; otherwise exactly the given kinds.\n"
    "  --out FILE       where the answer goes (default: the exchange file itself)\n"
    "  --summary        print entities read and converted per kind, and the time taken\n"
    "  --force          convert an exchange file whose first line is not \"hq\" or \"hd\", and\n"
    "                   use a preset file that is not a whole one (read as the window does)\n"
    "  --quiet          no progress line (it shows on a terminal when a run lasts over\n"
    "                   a second: reading, converting, writing, with the share done)\n"
    "\n"
    "An exchange file whose first line is not the host's \"hq\" or an answer's \"hd\" is not\n"
    "touched. When the exchange file cannot be read to its end, nothing is written and the\n"
    "command exits 1; the host's file still begins with \"hq\", so the host changes nothing.\n";

constexpr std::string_view kCancelHelp =
    "usage: t905cli cancel [--exchange FILE] [--force]\n"
    "\n"
    "Writes the answer \"hq\" into the exchange file (default: JWC_TEMP.TXT beside\n"
    "t905cli): the host then changes nothing. A file whose first line is not \"hq\" or\n"
    "\"hd\" is not touched unless --force is given.\n";

constexpr std::string_view kShowHelp =
    "usage: t905cli show [--presets FILE] [--tab N] [--tsv] [--force]\n"
    "\n"
    "Prints one table of the preset file (default: t905.dat beside t905cli): its\n"
    "comment, the check boxes, and the widths with the layer groups as rows and the layers\n"
    "as columns. -1 leaves a layer's width unchanged. Default table: the one in use.\n"
    "A file that is not a whole preset file (5148 lines) is refused unless --force is given.\n"
    "\n"
    "  --tsv  print only the 16 x 16 widths, cells by tab, one group per line: the block\n"
    "         a spreadsheet pastes and set-table reads\n";

constexpr std::string_view kSetTableHelp =
    "usage: t905cli set-table [--presets FILE] --tab N [--comment TEXT] [--force] BLOCK\n"
    "\n"
    "Replaces the widths of table N in the preset file (default: t905.dat beside\n"
    "t905cli) from BLOCK, a file holding rows of cells separated by tabs, as a\n"
    "spreadsheet copies them (BLOCK '-' reads the standard input). The block is put\n"
    "on the table as pasting it over the whole table in the window does: 16 x 16\n"
    "cells replace it; a block whose size divides 16 x 16 is repeated across it; a\n"
    "single value fills it; another block goes to the top left and the other cells\n"
    "stay. Empty cells are -1. A cell that is not a width (an integer from -1 to\n"
    "30000) or a block past the table's edge changes nothing: the row, the column\n"
    "and the reason are told and the file is left as it was.\n"
    "\n"
    "  --tab N         the table to set, 1..20\n"
    "  --comment TEXT  also set the table's comment\n"
    "  --force         use a preset file that is not a whole one (read as the window does)\n"
    "\n"
    "The file is written as the window writes it on OK: a temporary file beside it\n"
    "that then replaces it, every other line kept.\n";

constexpr std::string_view kImportHelp =
    "usage: t905cli import-jwf FILE\n"
    "\n"
    "Prints the widths that reading the environment file FILE (*.JWF) puts into a table,\n"
    "starting from a table of -1 cells: the rows of layer groups without a LAYWID_ line\n"
    "stay -1. Negative widths of the file read as -1.\n";

constexpr std::string_view kStatsHelp =
    "usage: t905cli stats [--exchange FILE]\n"
    "\n"
    "Prints what the exchange file holds (default: JWC_TEMP.TXT beside t905cli):\n"
    "entities per kind and per layer (layer group-layer), with the names the file gives;\n"
    "a dimension counts on the layer of its line, whose width the conversion sets.\n";

// Names of the entity kinds 1..15 as the summary and the statistics print them.
constexpr std::array<std::string_view, 16> kKindNames = {
    "",
    "ln  lines",
    "ci  circles",
    "ci  arcs",
    "ch  texts",
    "pt  points",
    "pt  points (marker)",
    "msg dimensions",
    "BL  block references",
    "sl  solids, 2 points",
    "sl  solids, 3 points",
    "sl  solids, 4 points",
    "sc  solids",
    "se  solids",
    "so  solids",
    "sg  solids",
};

// What a command accepts: options that take a value and options that do not.
struct TCommandSpec {
  std::string_view help;
  std::vector<std::string_view> valued;
  std::vector<std::string_view> flags;
  int positional = 0;  // exact number of plain arguments
};

struct TParsed {
  std::map<std::string, std::string, std::less<>> values;
  std::map<std::string, bool, std::less<>> flags;
  std::vector<std::string> positional;
  bool help = false;
};

class TUsageError {
 public:
  explicit TUsageError(std::string message) : message_(std::move(message)) {}
  const std::string& message() const { return message_; }

 private:
  std::string message_;
};

// Options every command takes: the output's encoding and the progress line.
constexpr std::string_view kGlobalFlags[] = {"--utf8", "--quiet"};

bool IsGlobalFlag(std::string_view arg) {
  for (const auto f : kGlobalFlags) {
    if (f == arg) return true;
  }
  return false;
}

bool IsHelp(std::string_view arg) { return arg == "--help" || arg == "-h" || arg == "/?"; }

bool Contains(const std::vector<std::string_view>& names, std::string_view name) {
  for (const auto n : names) {
    if (n == name) return true;
  }
  return false;
}

TParsed ParseArgs(const TCommandSpec& spec, const std::vector<std::string>& args) {
  TParsed parsed;
  bool optionsEnded = false;  // after "--" a file name may begin with "-"
  for (std::size_t i = 1; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (optionsEnded) {
      parsed.positional.push_back(arg);
      continue;
    }
    if (arg == "--") {
      optionsEnded = true;
      continue;
    }
    if (IsHelp(arg)) {
      parsed.help = true;
      return parsed;
    }
    if (IsGlobalFlag(arg)) {
      parsed.flags[arg] = true;
      continue;
    }
    if (arg.size() > 2 && arg.compare(0, 2, "--") == 0) {
      std::string name = arg;
      std::optional<std::string> value;
      if (const auto eq = arg.find('='); eq != std::string::npos) {
        name = arg.substr(0, eq);
        value = arg.substr(eq + 1);
      }
      if (Contains(spec.valued, name)) {
        if (!value) {
          if (i + 1 >= args.size()) throw TUsageError("option " + name + " needs a value");
          value = args[++i];
        }
        parsed.values[name] = *value;
      } else if (Contains(spec.flags, name)) {
        if (value) throw TUsageError("option " + name + " takes no value");
        parsed.flags[name] = true;
      } else {
        throw TUsageError("unknown option '" + name + "' for " + args[0]);
      }
      continue;
    }
    if (arg.size() > 1 && arg[0] == '-') throw TUsageError("unknown option '" + arg + "' for " + args[0]);
    parsed.positional.push_back(arg);
  }
  if (static_cast<int>(parsed.positional.size()) != spec.positional) {
    if (spec.positional == 0) throw TUsageError("unexpected argument '" + parsed.positional[0] + "'");
    if (args[0] == "set-table") throw TUsageError("set-table needs exactly one BLOCK (a file, or - for the standard input)");
    throw TUsageError(args[0] + " needs exactly one FILE");
  }
  return parsed;
}

bool Has(const TParsed& p, std::string_view flag) { return p.flags.find(flag) != p.flags.end(); }

// The --tab value, or nothing when it was not given.
std::optional<int> TabOption(const TParsed& p) {
  const auto it = p.values.find("--tab");
  if (it == p.values.end()) return std::nullopt;
  const std::string& text = it->second;
  int tab = 0;
  const auto res = std::from_chars(text.data(), text.data() + text.size(), tab);
  if (res.ec != std::errc{} || res.ptr != text.data() + text.size() || tab < 1 || tab > kPresetCount) {
    throw TUsageError("--tab needs a table number from 1 to 20, not '" + text + "'");
  }
  return tab;
}

std::string Int(int64_t v) {
  char buf[24];
  const auto res = std::to_chars(buf, buf + sizeof buf, v);
  return std::string(buf, res.ptr);
}

std::string PadLeft(std::string_view s, std::size_t width) {
  std::string out;
  if (s.size() < width) out.assign(width - s.size(), ' ');
  out += s;
  return out;
}

std::string PadRight(std::string_view s, std::size_t width) {
  std::string out(s);
  if (out.size() < width) out.append(width - out.size(), ' ');
  return out;
}

char HexDigit(int v) { return "0123456789ABCDEF"[v & 15]; }

// The 16 x 16 grid: layer groups as rows, layers as columns, as the window shows it.
void PrintGrid(std::ostream& out, const std::array<std::array<std::string, 16>, 16>& cells) {
  std::string line = "grp\\ly";
  for (int l = 0; l < 16; ++l) line += PadLeft(std::string(1, HexDigit(l)), 6);
  out << line << '\n';
  for (int g = 0; g < 16; ++g) {
    line = PadRight(std::string("  ") + HexDigit(g), 6);
    // A blank before every cell keeps columns apart however long a value is.
    for (const auto& cell : cells[static_cast<std::size_t>(g)]) line += ' ' + PadLeft(cell, 5);
    out << line << '\n';
  }
}

int FileError(std::ostream& err, std::string_view what) {
  err << kProgram << ": " << what << '\n';
  return kCliFileError;
}

// The file an option names, or the default one beside the executable.
std::filesystem::path FileOption(const TParsed& p, std::string_view option, std::string_view fallback,
                                 const TCliContext& context) {
  if (const auto it = p.values.find(option); it != p.values.end()) return CliPath(it->second);
  return context.exeDir.empty() ? std::filesystem::path(fallback) : context.exeDir / fallback;
}

std::string OnOff(bool v) { return v ? "on" : "off"; }

// The conversion's stages told to the progress line: reading through the
// reader's hook, converting through the writer's count, writing through the
// file replacement's blocks.
class TConvertProgress : public IJwwReadProgress, public IJwwProgress, public IFileReplaceSeam {
 public:
  explicit TConvertProgress(ICliProgress* progress) : progress_(progress) {}
  ~TConvertProgress() override { Finish(); }
  TConvertProgress(const TConvertProgress&) = delete;
  TConvertProgress& operator=(const TConvertProgress&) = delete;

  void ShowBytesRead(uint64_t done, uint64_t total) override { Show(TCliStage::Reading, done, total); }
  void ShowProgress(std::string_view) override {}
  void ShowCount(std::size_t done, std::size_t total) override { Show(TCliStage::Converting, done, total); }
  // Chunks streamed during the walk belong to converting; writing is what
  // remains once the answer's size is known. Streamed chunks are written on
  // the answer's own thread, which asks here while the walk may still be
  // showing its count: it shows nothing until the walk is over.
  bool AllowWrite(std::size_t bytesWrittenSoFar) override {
    const std::size_t answerBytes = answerBytes_.load();
    if (answerBytes != 0) Show(TCliStage::Writing, bytesWrittenSoFar, answerBytes);
    return true;
  }
  void SetAnswerBytes(std::size_t n) { answerBytes_.store(n); }
  // Clears the line before any message is written.
  void Finish() {
    if (progress_ != nullptr) progress_->Finish();
  }

 private:
  void Show(TCliStage stage, uint64_t done, uint64_t total) {
    if (progress_ != nullptr) progress_->Show(stage, done, total);
  }

  ICliProgress* progress_;
  std::atomic<std::size_t> answerBytes_ = 0;
};

// Reads the exchange file; false (with the message given) when it is missing or
// could not be read to its end, in which case nothing is to be written.
// `keepOpen` as for JwwReadFile.
bool ReadExchange(TJwwData& d, const std::filesystem::path& path, std::ostream& err,
                  TConvertProgress* progress = nullptr, std::unique_ptr<TJwwSourceFile>* keepOpen = nullptr) {
  JwwDataInit(d);
  TFileError error;
  JwwReadFile(d, path, &error, progress, keepOpen);
  if (d.ReadOutcome == TJwwReadOutcome::Complete) return true;
  if (progress != nullptr) progress->Finish();
  FileError(err, d.ReadOutcome == TJwwReadOutcome::Missing ? MissingExchangeFile(path) : ReadFailure(path, error));
  return false;
}

// Says a failed write of the answer; an interrupt ends with its own status.
int AnswerNotWritten(const std::filesystem::path& path, const TFileError& error, std::ostream& err) {
  FileError(err, WriteFailure(path, error));
  return error.failure == TFileFailure::Interrupted ? kInterruptedExitCode : kCliFileError;
}

// Says a refusal; false when there is none ("").
bool Refused(const std::string& message, std::ostream& err) {
  if (message.empty()) return false;
  FileError(err, message);
  return true;
}

int Convert(const TParsed& p, const TCliContext& context, std::ostream& out, std::ostream& err) {
  const auto start = std::chrono::steady_clock::now();
  const std::filesystem::path exchange = FileOption(p, "--exchange", kDefaultExchange, context);
  const std::filesystem::path presetPath = FileOption(p, "--presets", kDefaultPresets, context);
  const auto outOption = p.values.find("--out");
  const std::filesystem::path answer = outOption != p.values.end() ? CliPath(outOption->second) : exchange;
  const std::optional<int> tabOption = TabOption(p);

  const bool force = Has(p, "--force");
  TPresetLines presetLines;
  if (Refused(PresetFileRefusal(presetPath, force, &presetLines), err) ||
      Refused(ExchangeFileRefusal(exchange, force, false), err) || Refused(OutputRefusal(answer), err)) {
    return kCliFileError;
  }
  TPresetModel model;
  TPresetControls controls;
  LoadPresets(presetLines, model, controls);
  const int tab = tabOption.value_or(model.CurrentTab);

  TConvertKinds kinds{controls.CheckBox1, controls.CheckBox3, controls.CheckBox4, controls.CheckBox5};
  if (Has(p, "--points") || Has(p, "--dims") || Has(p, "--solids") || Has(p, "--arbitrary")) {
    kinds = TConvertKinds{Has(p, "--points"), Has(p, "--dims"), Has(p, "--solids"), Has(p, "--arbitrary")};
  }

  TConvertProgress progress(Has(p, "--quiet") ? nullptr : context.progress);
  TJwwData d;
  TJwwWriter w(d);
  if (!ReadExchange(d, exchange, err, &progress, &w.Source)) return kCliFileError;

  TConvertStats stats;
  // A large answer streams to a temporary file beside its target as it is built.
  w.Output.StreamTo(answer, &progress);
  try {
    // A file read only in part was refused above, so the conversion always runs.
    if (!RunOkConversion(d, w, model.Table(tab), kinds, &progress, nullptr, &stats)) {
      progress.Finish();
      return FileError(err, "the exchange file '" + FullPathText(exchange) + "' could not be read to its end");
    }
  } catch (const std::bad_alloc&) {
    progress.Finish();
    JwwClearOutput(w);
    JwwDataFree(d);
    return FileError(err, "cannot convert the exchange file '" + FullPathText(exchange) +
                              "': not enough memory for the answer; no file was written");
  }
  const std::size_t lines = w.Output.LineCount();  // counted before the write, which empties a streamed answer
  progress.SetAnswerBytes(w.Output.TotalBytes());
  TFileError writeError;
  const bool written = JwwWriteFile(w, answer, &writeError, &progress);
  progress.Finish();
  if (!written) return AnswerNotWritten(answer, writeError, err);

  if (Has(p, "--summary")) {
    out << "table " << Int(tab) << ": " << SjisToUtf8(model.Table(tab).Comment) << '\n';
    out << "kinds: lines, circles, arcs" << (kinds.points ? ", points" : "") << (kinds.dims ? ", dimensions" : "")
        << (kinds.solids ? (kinds.arbitrary ? ", solids (arbitrary colour too)" : ", solids") : "") << '\n';
    out << PadRight("kind", 24) << PadLeft("read", 10) << PadLeft("converted", 11) << '\n';
    int64_t read = 0;
    int64_t set = 0;
    for (int k = 1; k <= 15; ++k) {
      const int64_t n = JwwKindCount(d, k);
      const int64_t s = stats.set[static_cast<std::size_t>(k)];
      read += n;
      set += s;
      if (n == 0) continue;
      out << PadRight(kKindNames[static_cast<std::size_t>(k)], 24) << PadLeft(Int(n), 10)
          << PadLeft(Int(s), 11) << '\n';
    }
    out << PadRight("total", 24) << PadLeft(Int(read), 10) << PadLeft(Int(set), 11) << '\n';
    if (!d.LwSeen) out << "note: the exchange file holds no width lines, so the answer carries none\n";
    const auto ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
    char buf[32];
    const auto res = std::to_chars(buf, buf + sizeof buf, ms, std::chars_format::fixed, 1);
    out << "answer: " << PathText(answer) << " (" << Int(static_cast<int64_t>(lines)) << " lines)\n";
    out << "elapsed: " << std::string_view(buf, static_cast<std::size_t>(res.ptr - buf)) << " ms\n";
  }
  return kCliOk;
}

int Cancel(const TParsed& p, const TCliContext& context, std::ostream& err) {
  const std::filesystem::path exchange = FileOption(p, "--exchange", kDefaultExchange, context);
  // A missing file gets the answer as before: "hq" changes nothing for the host.
  if (Refused(ExchangeFileRefusal(exchange, Has(p, "--force"), true), err) || Refused(OutputRefusal(exchange), err)) {
    return kCliFileError;
  }
  TJwwData d;
  JwwDataInit(d);
  TJwwWriter w(d);
  TFileError writeError;
  if (!JwwWriteFile(w, exchange, &writeError)) return AnswerNotWritten(exchange, writeError, err);
  return kCliOk;
}

int Show(const TParsed& p, const TCliContext& context, std::ostream& out, std::ostream& err) {
  const std::filesystem::path path = FileOption(p, "--presets", kDefaultPresets, context);
  const std::optional<int> tabOption = TabOption(p);
  TPresetLines presetLines;
  if (Refused(PresetFileRefusal(path, Has(p, "--force"), &presetLines), err)) return kCliFileError;
  TPresetModel model;
  TPresetControls controls;
  LoadPresets(presetLines, model, controls);
  const int tab = tabOption.value_or(model.CurrentTab);
  const TPresetTable& table = model.Table(tab);
  if (Has(p, "--tsv")) {
    TGridWidths widths;
    std::copy(table.Widths.begin(), table.Widths.end(), widths.begin());
    std::string text = CopyBlockText(widths, 1, 1, 16, 16);
    std::erase(text, '\r');
    out << text;
    return kCliOk;
  }

  out << "table " << Int(tab) << " of 20 (in use: " << Int(model.CurrentTab) << ")\n";
  out << "comment: " << SjisToUtf8(table.Comment) << '\n';
  out << "check boxes: points " << OnOff(controls.CheckBox1) << ", dimensions " << OnOff(controls.CheckBox3)
      << ", solids " << OnOff(controls.CheckBox4) << ", arbitrary colour " << OnOff(controls.CheckBox5) << '\n';
  TGridTexts cells;
  for (std::size_t i = 0; i < table.Widths.size(); ++i) cells[i / 16][i % 16] = Int(table.Widths[i]);
  PrintGrid(out, cells);
  return kCliOk;
}

// The block's bytes as Shift-JIS: a file saved as UTF-8 (with a BOM, or with
// UTF-8 characters in it) is converted; Shift-JIS is taken as it is.
std::string BlockAsSjis(std::string bytes) {
  if (bytes.rfind("\xEF\xBB\xBF", 0) == 0) return Utf8ToSjis(std::string_view(bytes).substr(3));
  bool nonAscii = false;
  for (std::size_t i = 0; i < bytes.size();) {
    const auto b = static_cast<unsigned char>(bytes[i]);
    if (b < 0x80) {
      ++i;
      continue;
    }
    nonAscii = true;
    const std::size_t n = (b & 0xE0) == 0xC0 ? 2 : (b & 0xF0) == 0xE0 ? 3 : (b & 0xF8) == 0xF0 ? 4 : 0;
    if (n == 0 || i + n > bytes.size()) return bytes;
    for (std::size_t k = 1; k < n; ++k) {
      if ((static_cast<unsigned char>(bytes[i + k]) & 0xC0) != 0x80) return bytes;
    }
    i += n;
  }
  return nonAscii ? Utf8ToSjis(bytes) : bytes;
}

// Reads BLOCK: a file, or the standard input for "-". False when it cannot be read.
bool ReadBlock(const std::string& name, const TCliContext& context, std::string& bytes, std::ostream& err) {
  if (name == "-") {
    std::istream& in = context.input != nullptr ? *context.input : std::cin;
    bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    if (in.bad()) return FileError(err, "cannot read the block from the standard input"), false;
    return true;
  }
  const std::filesystem::path path = CliPath(name);
  std::error_code ec;
  if (!std::filesystem::is_regular_file(path, ec)) {
    FileError(err, "cannot read the block '" + name + "': " +
                       (std::filesystem::exists(path, ec) ? "it is not a file" : "no such file"));
    return false;
  }
  std::ifstream in(path, std::ios::binary);
  bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  if (!in.is_open() || in.bad()) return FileError(err, "cannot read the block '" + name + "'"), false;
  return true;
}

int SetTable(const TParsed& p, const TCliContext& context, std::ostream& err) {
  const std::optional<int> tab = TabOption(p);
  if (!tab) throw TUsageError("set-table needs --tab N, the table to set");
  const std::filesystem::path path = FileOption(p, "--presets", kDefaultPresets, context);
  std::string bytes;
  if (!ReadBlock(p.positional[0], context, bytes, err)) return kCliFileError;

  // The block is checked whole before the file is touched: a refusal leaves it as it was.
  TPasteBlock block;
  TPasteError error;
  TPasteTarget target;
  TGridSelection wholeTable;
  wholeTable.SelectAll();
  if (!ParsePasteBlock(BlockAsSjis(std::move(bytes)), block, error) ||
      !PlacePasteBlock(block, wholeTable, target, error)) {
    return FileError(err, SjisToUtf8(PasteErrorText(error)));
  }

  TPresetModel model;
  TPresetControls controls;
  {
    // Closed again before the file is replaced.
    TPresetLines presetLines;
    if (Refused(PresetFileRefusal(path, Has(p, "--force"), &presetLines), err)) return kCliFileError;
    LoadPresets(presetLines, model, controls);
  }
  TPresetTable& table = model.Table(*tab);
  for (int row = target.top; row <= target.bottom; ++row) {
    for (int col = target.left; col <= target.right; ++col) {
      table.Widths[static_cast<std::size_t>((row - 1) * 16 + (col - 1))] = target.ValueAt(block, col, row);
    }
  }
  if (const auto it = p.values.find("--comment"); it != p.values.end()) table.Comment = Utf8ToSjis(it->second);

  TFileError writeError;
  if (!SavePresets(path, model, controls, nullptr, &writeError)) {
    return FileError(err, "cannot write the preset file '" + FullPathText(path) + "': " + FileErrorWords(writeError));
  }
  return kCliOk;
}

int ImportJwfCommand(const TParsed& p, std::ostream& out, std::ostream& err) {
  const std::string& name = p.positional[0];
  const std::filesystem::path path = CliPath(name);
  if (!HasJwfExtension(path)) return FileError(err, "'" + name + "' is not an environment file (*.JWF)");
  TGridTexts cells;
  for (auto& row : cells) row.fill("-1");
  std::error_code ec;
  if (!std::filesystem::is_regular_file(path, ec)) {
    return FileError(err, "cannot read the environment file '" + name + "': " +
                              (std::filesystem::exists(path, ec) ? "it is not a file" : "no such file"));
  }
  ClearSystemError();
  if (!ImportJwf(path, cells)) {
    return FileError(err, "cannot read the environment file '" + name + "': " +
                              FileErrorWords(LastSystemError("read")));
  }
  out << "widths from " << name << " (layer groups without a LAYWID_ line stay -1)\n";
  PrintGrid(out, cells);
  return kCliOk;
}

int Stats(const TParsed& p, const TCliContext& context, std::ostream& out, std::ostream& err) {
  const std::filesystem::path exchange = FileOption(p, "--exchange", kDefaultExchange, context);
  TJwwData d;
  if (!ReadExchange(d, exchange, err)) return kCliFileError;

  out << "exchange file: " << PathText(exchange) << '\n';
  out << PadRight("kind", 24) << PadLeft("entities", 10) << '\n';
  for (int k = 1; k <= 15; ++k) {
    const int32_t n = JwwKindCount(d, k);
    if (n != 0) out << PadRight(kKindNames[static_cast<std::size_t>(k)], 24) << PadLeft(Int(n), 10) << '\n';
  }
  out << PadRight("total", 24) << PadLeft(Int(static_cast<int64_t>(d.Order.size())), 10) << '\n';

  out << SjisToUtf8(LayerTableText(SummarizeLayers(d)));  // layer names are Shift-JIS
  out << "width lines: " << (d.LwSeen ? "yes" : "no (the host writes them only when asked to)") << '\n';
  return kCliOk;
}

const TCommandSpec* FindCommand(std::string_view name) {
  static const TCommandSpec convert{kConvertHelp,
                                    {"--exchange", "--presets", "--tab", "--out"},
                                    {"--points", "--dims", "--solids", "--arbitrary", "--summary", "--force"},
                                    0};
  static const TCommandSpec cancel{kCancelHelp, {"--exchange"}, {"--force"}, 0};
  static const TCommandSpec show{kShowHelp, {"--presets", "--tab"}, {"--force", "--tsv"}, 0};
  static const TCommandSpec setTable{kSetTableHelp, {"--presets", "--tab", "--comment"}, {"--force"}, 1};
  static const TCommandSpec import{kImportHelp, {}, {}, 1};
  static const TCommandSpec stats{kStatsHelp, {"--exchange"}, {}, 0};
  if (name == "convert") return &convert;
  if (name == "cancel") return &cancel;
  if (name == "show") return &show;
  if (name == "set-table") return &setTable;
  if (name == "import-jwf") return &import;
  if (name == "stats") return &stats;
  return nullptr;
}

int Dispatch(std::vector<std::string> args, const TCliContext& context, std::ostream& out, std::ostream& err) {
  // Options every command takes may also come before the command.
  std::vector<std::string> leading;
  while (!args.empty() && IsGlobalFlag(args[0])) {
    leading.push_back(args[0]);
    args.erase(args.begin());
  }
  if (args.empty()) throw TUsageError("no command given");
  const std::string& command = args[0];
  if (IsHelp(command) || command == "help") {
    out << kMainHelp;
    return kCliOk;
  }
  if (command == "--version" || command == "-V") {
    if (args.size() > 1) throw TUsageError(command + " takes nothing after it");
    out << CliVersionText() << '\n';
    return kCliOk;
  }
  const TCommandSpec* spec = FindCommand(command);
  if (spec == nullptr) throw TUsageError("unknown command '" + command + "'");
  TParsed parsed = ParseArgs(*spec, args);
  for (const auto& flag : leading) parsed.flags[flag] = true;
  if (parsed.help) {
    out << spec->help;
    return kCliOk;
  }
  if (command == "convert") return Convert(parsed, context, out, err);
  if (command == "cancel") return Cancel(parsed, context, err);
  if (command == "show") return Show(parsed, context, out, err);
  if (command == "set-table") return SetTable(parsed, context, err);
  if (command == "import-jwf") return ImportJwfCommand(parsed, out, err);
  return Stats(parsed, context, out, err);
}

}  // namespace

std::filesystem::path CliPath(std::string_view arg) {
#ifdef _WIN32
  return std::filesystem::path(std::u8string(arg.begin(), arg.end()));
#else
  return std::filesystem::path(std::string(arg));
#endif
}

std::string CliVersionText() { return std::string(kProgram) + " " + T905_VERSION; }

bool CliWantsUtf8(const std::vector<std::string>& args) {
  for (const auto& arg : args) {
    if (arg == "--") return false;
    if (arg == "--utf8") return true;
  }
  return false;
}

int RunCli(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  return RunCli(args, out, err, TCliContext{});
}

int RunCli(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
           const TCliContext& context) {
  try {
    return Dispatch(args, context, out, err);
  } catch (const TUsageError& e) {
    const bool known = !args.empty() && FindCommand(args[0]) != nullptr;
    err << kProgram << ": " << e.message() << " (see 't905cli " << (known ? args[0] + " " : std::string())
        << "--help')\n";
    return kCliUsageError;
  } catch (const std::bad_alloc&) {
    // Every file is replaced whole or not at all, so whatever stage ran out of
    // memory, the files are as they were or hold a complete answer.
    err << kProgram << ": not enough memory to finish; no file was left half-written\n";
    return kCliFileError;
  } catch (const std::exception& e) {
    err << kProgram << ": " << e.what() << '\n';
    return kCliFileError;
  } catch (...) {
    err << kProgram << ": unexpected failure\n";
    return kCliFileError;
  }
}
