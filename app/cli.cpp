// The batch command: "convert" runs the window's OK flow on files named on the
// command line; "cancel", "show", "import-jwf" and "stats" answer or inspect.
#include "app/cli.h"

#include <array>
#include <charconv>
#include <chrono>
#include <exception>
#include <fstream>
#include <map>
#include <optional>
#include <system_error>

#include "app/convert.h"
#include "app/jwf_import.h"
#include "app/ok_flow.h"
#include "app/presets.h"
#include "exchange/reader.h"
#include "exchange/store.h"
#include "exchange/writer.h"

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
    "  import-jwf  print the widths that an environment file (*.JWF) gives\n"
    "  stats       print what an exchange file holds, per kind and per layer\n"
    "\n"
    "Run 't905cli COMMAND --help' for a command's options.\n"
    "Exit status: 0 success, 1 a file could not be read or written, 2 a usage error.\n";

constexpr std::string_view kConvertHelp =
    "usage: t905cli convert [--exchange FILE] [--presets FILE] [--tab N] [--points] [--dims]\n"
    "                       [--solids] [--arbitrary] [--out FILE] [--summary]\n"
    "\n"
    "Reads the exchange file, sets the width of every converted entity whose layer has a\n"
    "width of 0 or more in the preset table, and writes the answer: \"hd\", then the drawing.\n"
    "Lines, circles and arcs are always converted. The preset file is never written.\n"
    "\n"
    "  --exchange FILE  the exchange file (default: JWC_TEMP.TXT in the current folder)\n"
    "  --presets FILE   the preset file (default: t905.dat in the current folder)\n"
    "  --tab N          the table to use, 1..20 (default: the preset file's table in use)\n"
    "  --points         convert points\n"
    "  --dims           convert dimension lines\n"
    "  --solids         convert two-point solids and se solids\n"
    "  --arbitrary      also convert those solids when they have an arbitrary colour\n"
    "                   (with --solids). When none of these four is given, the preset\n"
    "                   file's check boxes decide; otherwise exactly the given kinds.\n"
    "  --out FILE       where the answer goes (default: the exchange file itself)\n"
    "  --summary        print entities read and converted per kind, and the time taken\n"
    "\n"
    "An exchange file that was read only in part gets the answer \"hq\", so the host keeps\n"
    "its drawing, and the command exits 1.\n";

constexpr std::string_view kCancelHelp =
    "usage: t905cli cancel [--exchange FILE]\n"
    "\n"
    "Writes the answer \"hq\" into the exchange file (default: JWC_TEMP.TXT in the current\n"
    "folder): the host then changes nothing.\n";

constexpr std::string_view kShowHelp =
    "usage: t905cli show [--presets FILE] [--tab N]\n"
    "\n"
    "Prints one table of the preset file (default: t905.dat in the current folder): its\n"
    "comment, the check boxes, and the widths with the layer groups as rows and the layers\n"
    "as columns. -1 leaves a layer's width unchanged. Default table: the one in use.\n";

constexpr std::string_view kImportHelp =
    "usage: t905cli import-jwf FILE\n"
    "\n"
    "Prints the widths that reading the environment file FILE (*.JWF) puts into a table,\n"
    "starting from a table of -1 cells: the rows of layer groups without a LAYWID_ line\n"
    "stay -1. Negative widths of the file read as -1.\n";

constexpr std::string_view kStatsHelp =
    "usage: t905cli stats [--exchange FILE]\n"
    "\n"
    "Prints what the exchange file holds (default: JWC_TEMP.TXT in the current folder):\n"
    "entities per kind and per layer (layer group-layer).\n";

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
    if (arg == "--help" || arg == "-h") {
      parsed.help = true;
      return parsed;
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
    throw TUsageError(args[0] + " needs exactly one FILE");
  }
  return parsed;
}

bool Has(const TParsed& p, std::string_view flag) { return p.flags.find(flag) != p.flags.end(); }

std::string ValueOr(const TParsed& p, std::string_view name, std::string_view fallback) {
  const auto it = p.values.find(name);
  return it == p.values.end() ? std::string(fallback) : it->second;
}

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

// Preset files are read only when they exist and open: the batch user hears of
// a wrong name instead of getting a conversion with nothing to convert.
bool CanRead(const std::filesystem::path& path) {
  std::error_code ec;
  if (!std::filesystem::is_regular_file(path, ec)) return false;
  std::ifstream in(path, std::ios::binary);
  return in.is_open();
}

int FileError(std::ostream& err, std::string_view what) {
  err << kProgram << ": " << what << '\n';
  return kCliFileError;
}

std::string OnOff(bool v) { return v ? "on" : "off"; }

// Reads the exchange file; false (with the message given) when it is missing or
// was read only in part.
bool ReadExchange(TJwwData& d, const std::string& name, std::ostream& err) {
  JwwDataInit(d);
  JwwReadFile(d, CliPath(name));
  if (d.ReadOutcome == TJwwReadOutcome::Missing) {
    FileError(err, "cannot read the exchange file '" + name + "': no such file");
    return false;
  }
  return true;
}

int Convert(const TParsed& p, std::ostream& out, std::ostream& err) {
  const auto start = std::chrono::steady_clock::now();
  const std::string exchange = ValueOr(p, "--exchange", kDefaultExchange);
  const std::string presets = ValueOr(p, "--presets", kDefaultPresets);
  const std::string answer = ValueOr(p, "--out", exchange);
  const std::optional<int> tabOption = TabOption(p);

  const std::filesystem::path presetPath = CliPath(presets);
  if (!CanRead(presetPath)) return FileError(err, "cannot read the preset file '" + presets + "'");
  TPresetModel model;
  TPresetControls controls;
  LoadPresets(presetPath, model, controls);
  const int tab = tabOption.value_or(model.CurrentTab);

  TConvertKinds kinds{controls.CheckBox1, controls.CheckBox3, controls.CheckBox4, controls.CheckBox5};
  if (Has(p, "--points") || Has(p, "--dims") || Has(p, "--solids") || Has(p, "--arbitrary")) {
    kinds = TConvertKinds{Has(p, "--points"), Has(p, "--dims"), Has(p, "--solids"), Has(p, "--arbitrary")};
  }

  TJwwData d;
  if (!ReadExchange(d, exchange, err)) return kCliFileError;
  JwwWriteInit(d);

  TConvertStats stats;
  // A large answer streams to a temporary file beside its target as it is built.
  d.Output.StreamTo(CliPath(answer));
  const bool converted = RunOkConversion(d, model.Table(tab), kinds, nullptr, nullptr, &stats);
  const std::size_t lines = d.Output.LineCount();  // counted before the write, which empties a streamed answer
  const bool written = JwwWriteFile(d, CliPath(answer));
  if (!written) return FileError(err, "cannot write the answer '" + answer + "'");
  if (!converted) {
    return FileError(err, "the exchange file '" + exchange +
                              "' could not be read to its end; answered \"hq\" so the host changes nothing");
  }

  if (Has(p, "--summary")) {
    out << "table " << Int(tab) << ": " << model.Table(tab).Comment << '\n';
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
    out << "answer: " << answer << " (" << Int(static_cast<int64_t>(lines)) << " lines)\n";
    out << "elapsed: " << std::string_view(buf, static_cast<std::size_t>(res.ptr - buf)) << " ms\n";
  }
  return kCliOk;
}

int Cancel(const TParsed& p, std::ostream& err) {
  const std::string exchange = ValueOr(p, "--exchange", kDefaultExchange);
  TJwwData d;
  JwwDataInit(d);
  if (!JwwWriteFile(d, CliPath(exchange))) return FileError(err, "cannot write the answer '" + exchange + "'");
  return kCliOk;
}

int Show(const TParsed& p, std::ostream& out, std::ostream& err) {
  const std::string presets = ValueOr(p, "--presets", kDefaultPresets);
  const std::optional<int> tabOption = TabOption(p);
  const std::filesystem::path path = CliPath(presets);
  if (!CanRead(path)) return FileError(err, "cannot read the preset file '" + presets + "'");
  TPresetModel model;
  TPresetControls controls;
  LoadPresets(path, model, controls);
  const int tab = tabOption.value_or(model.CurrentTab);
  const TPresetTable& table = model.Table(tab);

  out << "table " << Int(tab) << " of 20 (in use: " << Int(model.CurrentTab) << ")\n";
  out << "comment: " << table.Comment << '\n';
  out << "check boxes: points " << OnOff(controls.CheckBox1) << ", dimensions " << OnOff(controls.CheckBox3)
      << ", solids " << OnOff(controls.CheckBox4) << ", arbitrary colour " << OnOff(controls.CheckBox5) << '\n';
  TGridTexts cells;
  for (std::size_t i = 0; i < table.Widths.size(); ++i) cells[i / 16][i % 16] = Int(table.Widths[i]);
  PrintGrid(out, cells);
  return kCliOk;
}

int ImportJwfCommand(const TParsed& p, std::ostream& out, std::ostream& err) {
  const std::string& name = p.positional[0];
  const std::filesystem::path path = CliPath(name);
  if (!HasJwfExtension(path)) return FileError(err, "'" + name + "' is not an environment file (*.JWF)");
  TGridTexts cells;
  for (auto& row : cells) row.fill("-1");
  if (!CanRead(path) || !ImportJwf(path, cells)) {
    return FileError(err, "cannot read the environment file '" + name + "'");
  }
  out << "widths from " << name << " (layer groups without a LAYWID_ line stay -1)\n";
  PrintGrid(out, cells);
  return kCliOk;
}

int Stats(const TParsed& p, std::ostream& out, std::ostream& err) {
  const std::string exchange = ValueOr(p, "--exchange", kDefaultExchange);
  TJwwData d;
  if (!ReadExchange(d, exchange, err)) return kCliFileError;
  if (d.ReadOutcome == TJwwReadOutcome::Failed) {
    return FileError(err, "the exchange file '" + exchange + "' could not be read to its end");
  }

  out << "exchange file: " << exchange << '\n';
  out << PadRight("kind", 24) << PadLeft("entities", 10) << '\n';
  for (int k = 1; k <= 15; ++k) {
    const int32_t n = JwwKindCount(d, k);
    if (n != 0) out << PadRight(kKindNames[static_cast<std::size_t>(k)], 24) << PadLeft(Int(n), 10) << '\n';
  }
  out << PadRight("total", 24) << PadLeft(Int(static_cast<int64_t>(d.Order.size())), 10) << '\n';

  // Every record begins with its attributes, so the layer is read through them;
  // a dimension counts under its own (those in force at its text), not its line's.
  std::array<int64_t, 256> perLayer{};
  const auto count = [&perLayer](const TJwwEntAttr& a) {
    if (a.lg >= 0 && a.lg <= 15 && a.ly >= 0 && a.ly <= 15) ++perLayer[static_cast<std::size_t>(a.lg * 16 + a.ly)];
  };
  for (const auto& r : d.Lines) count(r);
  for (const auto& r : d.Circles) count(r);
  for (const auto& r : d.Arcs) count(r);
  for (const auto& r : d.Texts) count(r);
  for (const auto& r : d.Points) count(r);
  for (const auto& r : d.PointsEx) count(r);
  for (const auto& r : d.Dims) count(r);
  for (const auto& r : d.Blocks) count(r);
  for (const auto& r : d.Solids2) count(r);
  for (const auto& r : d.Solids3) count(r);
  for (const auto& r : d.Solids4) count(r);
  for (const auto& r : d.Scs) count(r);
  for (const auto& r : d.Ses) count(r);
  for (const auto& r : d.Sos) count(r);
  for (const auto& r : d.Sgs) count(r);

  out << "layer (group-layer)  entities\n";
  for (int i = 0; i < 256; ++i) {
    const int64_t n = perLayer[static_cast<std::size_t>(i)];
    if (n == 0) continue;
    out << "  " << HexDigit(i / 16) << '-' << HexDigit(i % 16) << PadLeft(Int(n), 24) << '\n';
  }
  out << "width lines: " << (d.LwSeen ? "yes" : "no (the host writes them only when asked to)") << '\n';
  return kCliOk;
}

const TCommandSpec* FindCommand(std::string_view name) {
  static const TCommandSpec convert{kConvertHelp,
                                    {"--exchange", "--presets", "--tab", "--out"},
                                    {"--points", "--dims", "--solids", "--arbitrary", "--summary"},
                                    0};
  static const TCommandSpec cancel{kCancelHelp, {"--exchange"}, {}, 0};
  static const TCommandSpec show{kShowHelp, {"--presets", "--tab"}, {}, 0};
  static const TCommandSpec import{kImportHelp, {}, {}, 1};
  static const TCommandSpec stats{kStatsHelp, {"--exchange"}, {}, 0};
  if (name == "convert") return &convert;
  if (name == "cancel") return &cancel;
  if (name == "show") return &show;
  if (name == "import-jwf") return &import;
  if (name == "stats") return &stats;
  return nullptr;
}

int Dispatch(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  if (args.empty()) throw TUsageError("no command given");
  const std::string& command = args[0];
  if (command == "--help" || command == "-h" || command == "help") {
    out << kMainHelp;
    return kCliOk;
  }
  const TCommandSpec* spec = FindCommand(command);
  if (spec == nullptr) throw TUsageError("unknown command '" + command + "'");
  const TParsed parsed = ParseArgs(*spec, args);
  if (parsed.help) {
    out << spec->help;
    return kCliOk;
  }
  if (command == "convert") return Convert(parsed, out, err);
  if (command == "cancel") return Cancel(parsed, err);
  if (command == "show") return Show(parsed, out, err);
  if (command == "import-jwf") return ImportJwfCommand(parsed, out, err);
  return Stats(parsed, out, err);
}

}  // namespace

std::filesystem::path CliPath(std::string_view arg) {
#ifdef _WIN32
  return std::filesystem::path(std::u8string(arg.begin(), arg.end()));
#else
  return std::filesystem::path(std::string(arg));
#endif
}

int RunCli(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  try {
    return Dispatch(args, out, err);
  } catch (const TUsageError& e) {
    err << kProgram << ": " << e.message() << " (see t905cli --help)\n";
    return kCliUsageError;
  } catch (const std::exception& e) {
    err << kProgram << ": " << e.what() << '\n';
    return kCliFileError;
  } catch (...) {
    err << kProgram << ": unexpected failure\n";
    return kCliFileError;
  }
}
