// Generates exchange files like the host's for tests and benchmarks. The
// writing side mirrors the host: attribute lines only where a value changes,
// texts and fonts in Shift-JIS, numbers in the host's 15-digit form.
#include "tests/support/drawing_generator.h"

#include <array>
#include <charconv>
#include <string_view>

namespace {

// Texts of the drawing (Shift-JIS). Some carry trail bytes that look like a
// backslash, "|" or "@", a double quote, blanks or half-width katakana.
constexpr std::string_view kTexts[] = {
    "\x95\xBD\x96\xCA\x90\x7D",                              // 平面図
    "1\x8A\x4B\x95\xBD\x96\xCA\x90\x7D S=1/100",             // 1階平面図 S=1/100
    "\x8A\x4F\x95\xC7",                                      // 外壁
    "\x92\xCA\x82\xE8\x90\x63",                              // 通り芯
    "\x8C\xBA\x8A\xD6",                                      // 玄関
    "\x97\x6D\x8E\xBA\x81\x69" "6\x92\x9F\x81\x6A",          // 洋室（6帖）
    "\x82\x6B\x82\x63\x82\x6A",                              // ＬＤＫ
    "\x97\x81\x8E\xBA",                                      // 浴室
    "\xB7\xAF\xC1\xDD",                                      // ｷｯﾁﾝ
    "W=1,820",                                               //
    "GL+500",                                                //
    "\x81\xA6\x8F\xDA\x8D\xD7\x82\xCD\x95\xCA\x90\x7D\x8E\x51\x8F\xC6",  // ※詳細は別図参照
    "\x93\x8C\x91\xA4\x97\xA7\x96\xCA\x90\x7D A-A'",         // 東側立面図 A-A'
    "\x83\x5C\x83\x74\x83\x40\x81\x5B",                      // ソファー
    "\x83\x7C\x81\x5B\x83\x60",                              // ポーチ
    "\x95\x5C\x8E\xA6\x93\x94",                              // 表示灯
    "\x82\x51\x82\x4F\x82\x4F\x82\x77\x82\x52\x82\x4F\x82\x4F",  // ２００Ｘ３００
    "\x81\x75\x97\x5C\x92\xE8\x81\x76\x82\xCC\x94\xCD\x88\xCD",  // 「予定」の範囲
    "\x22\x88\xF8\x97\x70\x22 \x82\xC6 \x8B\xF3\x94\x92",    // "引用" と 空白
};

// An image reference: the host keeps it as a text that starts with a control sequence.
constexpr std::string_view kImageText =
    "^@BMC:\x5Cjww\x5C\x89\xE6\x91\x9C\x5C\x8C\xBB\x8B\xB5\x8E\xCA\x90\x5E.bmp,100,75,0,0";  // ^@BMC:\jww\画像\現況写真.bmp,...

constexpr std::string_view kFonts[] = {
    "\x82\x6C\x82\x72 \x83\x53\x83\x56\x83\x62\x83\x4E",              // ＭＳ ゴシック
    "\x82\x6C\x82\x72 \x96\xBE\x92\xA9",                              // ＭＳ 明朝
    "\x82\x6C\x82\x72 \x82\x6F\x83\x53\x83\x56\x83\x62\x83\x4E",      // ＭＳ Ｐゴシック
    "HG\x8A\xDB\xBA\xDE\xBC\xAF\xB8M-PRO",                            // HG丸ｺﾞｼｯｸM-PRO
};

constexpr std::string_view kGroupNames[] = {
    "\x95\xBD\x96\xCA\x90\x7D",  // 平面図
    "\x97\xA7\x96\xCA\x90\x7D",  // 立面図
    "\x92\x66\x96\xCA\x90\x7D",  // 断面図
    "\x94\x7A\x92\x75\x90\x7D",  // 配置図
    "\x8F\xDA\x8D\xD7\x90\x7D",  // 詳細図
};

constexpr std::string_view kLayerNames[] = {
    "\x92\xCA\x82\xE8\x90\x63",  // 通り芯
    "\x95\xC7",                  // 壁
    "\x8C\x9A\x8B\xEF",          // 建具
    "\x90\xA1\x96\x40",          // 寸法
    "\x95\xB6\x8E\x9A",          // 文字
    "\x90\xDD\x94\xF5",          // 設備
    "\x8A\x4F\x8D\x5C",          // 外構
    "\x95\xE2\x8F\x95\x90\xFC",  // 補助線
};

constexpr std::string_view kFilePath = "C:\x5Cjww\x5C\x90\x7D\x96\xCA\x5C";  // C:\jww\図面\ .

constexpr int32_t kWidths[] = {0, 13, 18, 25, 35, 50, 70, 100};
constexpr int32_t kGroups[] = {0, 1, 2, 5, 10, 15};
constexpr int32_t kPointCodes[] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, -1, -2, -3, -4, -5, -6, -7};
constexpr int32_t kScCodes[] = {100, 5, 0, -1};

// Appends the host's form of `value` (see HostNumberText) without a
// temporary string: the generator writes millions of them.
void AppendHostNumber(std::string& out, double value) {
  if (value == 0) {
    out.push_back('0');
    return;
  }
  char buf[40];
  const auto r = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::general, 15);
  const std::string_view text(buf, static_cast<std::size_t>(r.ptr - buf));
  const std::size_t e = text.find('e');
  if (e == std::string_view::npos) {
    out.append(text);
    return;
  }
  // "1.5e+20" -> "1.5E20", "1e-05" -> "1E-5".
  out.append(text.substr(0, e));
  out.push_back('E');
  std::size_t i = e + 1;
  if (text[i] == '-') out.push_back('-');
  if (text[i] == '-' || text[i] == '+') ++i;
  while (i + 1 < text.size() && text[i] == '0') ++i;
  out.append(text.substr(i));
}

// splitmix64: small, fast and the same everywhere.
class Random {
 public:
  explicit Random(std::uint32_t seed) : state_(0x9E3779B97F4A7C15ull ^ seed) {}
  std::uint64_t Next() {
    std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
  }
  // 0..n-1 (n > 0).
  std::uint32_t Below(std::uint32_t n) { return static_cast<std::uint32_t>(Next() % n); }
  bool Chance(std::uint32_t perMille) { return Below(1000) < perMille; }
  template <typename T, std::size_t N>
  const T& Pick(const T (&items)[N]) {
    return items[Below(static_cast<std::uint32_t>(N))];
  }

 private:
  std::uint64_t state_;
};

constexpr double kPow10[] = {1e0, 1e1, 1e2, 1e3, 1e4, 1e5, 1e6, 1e7, 1e8, 1e9, 1e10, 1e11, 1e12, 1e13, 1e14, 1e15};

// The attribute values in force, as the host tracks them while writing; -1
// and `known` false mean "not written yet".
struct WriterState {
  int32_t lg = -1, ly = -1, lc = -1, lt = -1, lw = -1, pn = -1, cn = -1, cc = -1, lc10 = -1;
  double textWidth = 0, textHeight = 0, textSpacing = 0;
  int32_t textColour = -1;
  std::string_view font;
  bool fontKnown = false;
};

struct Layer {
  int32_t group = 0;
  int32_t layer = 0;
};

class Generator {
 public:
  Generator(std::uint32_t seed, const DrawingOptions& options) : rnd_(seed), options_(options) {}

  std::string Run(std::size_t entityCount) {
    out_.reserve(entityCount * 72 + 4096);
    if (options_.header) Header();
    std::size_t made = 0;
    while (made < entityCount) made += Item(entityCount - made);
    return std::move(out_);
  }

 private:
  // Line output.
  void Put(std::string_view s) { out_.append(s); }
  void End() { out_.append("\r\n"); }
  void Line(std::string_view s) {
    Put(s);
    End();
  }
  void Num(double v) {
    out_.push_back(' ');
    AppendHostNumber(out_, v);
  }
  void Int(int32_t v) {
    char buf[16];
    const auto r = std::to_chars(buf, buf + sizeof buf, v);
    out_.append(buf, r.ptr);
  }
  void Hex(int32_t v) { out_.push_back("0123456789ABCDEF"[v & 15]); }

  // Values. Coordinates sit near a cursor that wanders over the sheet: on a
  // half-millimetre grid, as full 15-digit results of construction, or as the
  // rounding noise near zero that the host writes in "E" notation.
  double Fine(int intDigits) {
    // A mantissa of up to 15 digits with 15 - intDigits of them after the point.
    const int decimals = 15 - intDigits;
    const auto mantissa = static_cast<double>(rnd_.Next() % 1000000000000000ull);
    return mantissa / kPow10[decimals];
  }
  double Noise() {
    const double v = Fine(1) / kPow10[13 + rnd_.Below(3)];
    return rnd_.Chance(500) ? -v : v;
  }
  double Offset() {
    const std::uint32_t r = rnd_.Below(100);
    const double sign = rnd_.Chance(500) ? -1.0 : 1.0;
    if (r < 55) return sign * 0.5 * rnd_.Below(20000);
    return sign * Fine(4);
  }
  double X() { return rnd_.Chance(20) ? Noise() : cx_ + Offset(); }
  double Y() { return rnd_.Chance(20) ? Noise() : cy_ + Offset(); }
  double Size() { return rnd_.Chance(600) ? 0.5 * (1 + rnd_.Below(8000)) : 1.0 + Fine(4); }
  double Degrees() { return rnd_.Chance(500) ? 15.0 * rnd_.Below(24) : Fine(3) * 0.36; }
  double Radians() { return Fine(1) * 0.628318530717959; }

  void MoveCursor() {
    cx_ = 0.5 * (static_cast<double>(rnd_.Below(200000)) - 100000.0);
    cy_ = 0.5 * (static_cast<double>(rnd_.Below(140000)) - 70000.0);
  }

  // The header: the host's selection file begins with "hq" and then carries
  // the drawing's file name, scales, sheet size, text types and layer list.
  void Header() {
    Line("hq");
    Put("file=");
    Put(kFilePath);
    Put("\x8F\xDA\x8D\xD7\x90\x7D ");  // 詳細図, and a blank inside the name
    Int(static_cast<int32_t>(rnd_.Below(100)));
    Line(".jww");
    Line("hk 0");
    Put("hs");
    for (int i = 0; i < 16; ++i) Num(i % 5 == 0 ? 100.0 : (i % 5 == 1 ? 50.0 : 1.0 + rnd_.Below(200)));
    End();
    Line("hzs 420 297");
    static constexpr double kTypeSizes[10] = {2, 2.5, 3, 4, 5, 6, 7, 8, 9, 10};
    for (std::string_view key : {"hcw", "hch"}) {
      Put(key);
      for (double v : kTypeSizes) Num(v);
      End();
    }
    Line("hcd 0 0 0.5 0.5 0.5 1 1 1 1.25 1.5");
    Line("hcc 1 1 2 2 3 3 4 4 5 6");
    if (options_.bz) Line("bz");
    for (std::size_t g = 0; g < std::size(kGroups); ++g) {
      Put("lg");
      Hex(kGroups[g]);
      Line(g == 0 ? " 3" : " 2");
      Put("lgn");
      Line(kGroupNames[g % std::size(kGroupNames)]);
      for (int32_t y = 0; y < 8; ++y) {
        Put("ly");
        Hex(y);
        Line(y == 0 ? " 3" : " 2");
        Put("lyn");
        Line(kLayerNames[static_cast<std::size_t>(y)]);
      }
    }
  }

  // Attribute lines, each written only when its value changes; a new layer
  // group always pulls its layer line after it.
  void PutLayer() {
    if (layer_.group != w_.lg) {
      Put("lg");
      Hex(layer_.group);
      End();
      w_.lg = layer_.group;
      w_.ly = -1;
    }
    if (layer_.layer != w_.ly) {
      Put("ly");
      Hex(layer_.layer);
      End();
      w_.ly = layer_.layer;
    }
  }
  void PutLc(int32_t v) {
    if (v == w_.lc) return;
    Put("lc");
    Int(v);
    End();
    w_.lc = v;
  }
  void PutLt() {
    if (lt_ == w_.lt) return;
    Put("lt");
    Int(lt_);
    End();
    w_.lt = lt_;
  }
  void PutLw() {
    if (!options_.widths || lw_ == w_.lw) return;
    Put("lw");
    Int(lw_);
    End();
    w_.lw = lw_;
  }
  void PutSolidColour() {
    if (lc10_ < 0) {
      PutLc(lc_);
      return;
    }
    if (w_.lc == 10 && w_.lc10 == lc10_) return;
    Put("lc10 ");
    Int(lc10_);
    End();
    w_.lc = 10;
    w_.lc10 = lc10_;
  }
  void PutLineAttrs() {
    PutLayer();
    PutLc(lc_);
    PutLt();
    PutLw();
  }
  void PutTextAttrs() {
    if (cn_ != w_.cn || (cn_ == 0 && (textWidth_ != w_.textWidth || textHeight_ != w_.textHeight ||
                                      textSpacing_ != w_.textSpacing || textColour_ != w_.textColour))) {
      Put("cn");
      Int(cn_);
      if (cn_ == 0) {
        Num(textWidth_);
        Num(textHeight_);
        Num(textSpacing_);
        out_.push_back(' ');
        Int(textColour_);
        w_.textWidth = textWidth_;
        w_.textHeight = textHeight_;
        w_.textSpacing = textSpacing_;
        w_.textColour = textColour_;
      }
      End();
      w_.cn = cn_;
    }
    if (cc_ != w_.cc) {
      Put("cc");
      Int(cc_);
      End();
      w_.cc = cc_;
    }
    if (!w_.fontKnown || font_ != w_.font) {
      // The quote switches the reader's splitting off so a name with blanks stays whole.
      Put("cn\"$");
      Line(font_);
      w_.font = font_;
      w_.fontKnown = true;
    }
  }
  void PutZ() {
    if (!rnd_.Chance(15)) return;
    const std::uint32_t flags = 1 + rnd_.Below(31);
    for (std::uint32_t bit = 0; bit < 5; ++bit) {
      if (flags & (1u << bit)) {
        Put("z");
        Int(static_cast<int32_t>(bit + 1));
        End();
      }
    }
  }

  // The attribute values drift the way a drawing's do: long runs on one
  // layer and pen, an occasional change.
  void Drift() {
    if (rnd_.Chance(40)) layer_ = {rnd_.Pick(kGroups), static_cast<int32_t>(rnd_.Below(8))};
    if (rnd_.Chance(80)) lc_ = 1 + static_cast<int32_t>(rnd_.Below(9));
    if (rnd_.Chance(60)) lt_ = rnd_.Chance(700) ? 1 : 1 + static_cast<int32_t>(rnd_.Below(9));
    if (rnd_.Chance(50)) lw_ = rnd_.Pick(kWidths);
    if (rnd_.Chance(30)) MoveCursor();
    if (rnd_.Chance(60)) {
      cn_ = rnd_.Chance(300) ? 0 : 1 + static_cast<int32_t>(rnd_.Below(10));
      textWidth_ = 0.5 * (1 + rnd_.Below(12));
      textHeight_ = rnd_.Chance(700) ? textWidth_ : 0.5 * (1 + rnd_.Below(12));
      textSpacing_ = 0.25 * rnd_.Below(4);
      textColour_ = 1 + static_cast<int32_t>(rnd_.Below(9));
    }
    if (rnd_.Chance(30)) cc_ = rnd_.Chance(800) ? 0 : static_cast<int32_t>(rnd_.Below(9));
    if (rnd_.Chance(20)) font_ = rnd_.Pick(kFonts);
    if (rnd_.Chance(20)) pn_ = 1 + static_cast<int32_t>(rnd_.Below(9));
  }

  // One drawing item; returns the number of entity records it makes (at most `room`).
  std::size_t Item(std::size_t room) {
    Drift();
    const std::uint32_t r = rnd_.Below(1000);
    if (r < 560) return PlainLine();
    if (r < 600) return Polyline(room);
    if (r < 680) return Text();
    if (r < 720) return Circle();
    if (r < 770) return Arc();
    if (r < 790) return Point();
    if (r < 800) return PointEx();
    if (r < 830) return Dimension();
    if (r < 885) return Solid();
    return RoundSolid();
  }

  std::size_t PlainLine() {
    PutLineAttrs();
    PutZ();
    const double x1 = X();
    const double y1 = Y();
    double x2 = X();
    const double y2 = Y();
    if (x2 == x1 && y2 == y1) x2 += 1.0;
    AppendHostNumber(out_, x1);
    Num(y1);
    Num(x2);
    Num(y2);
    End();
    return 1;
  }

  std::size_t Polyline(std::size_t room) {
    PutLineAttrs();
    Line("pl");
    std::size_t segments = 2 + rnd_.Below(14);
    if (segments > room) segments = room;
    double x = X();
    double y = Y();
    for (std::size_t i = 0; i < segments; ++i) {
      const double nx = x + Size();
      const double ny = rnd_.Chance(500) ? y : y - Size();
      AppendHostNumber(out_, x);
      Num(y);
      Num(nx);
      Num(ny);
      End();
      x = nx;
      y = ny;
    }
    if (rnd_.Chance(200)) Line("#");
    return segments;
  }

  // The text's direction: mostly along x, sometimes upright or at 30 degrees.
  void Direction() {
    const std::uint32_t r = rnd_.Below(10);
    if (r < 7) return Put(" 1 0");
    if (r < 9) return Put(" 0 1");
    Put(" 0.866025403784439 0.5");
  }

  std::size_t Text() {
    PutLayer();
    PutTextAttrs();
    PutZ();
    static constexpr std::string_view kKeys[] = {"ch", "ch", "ch", "ch", "ch", "ch", "cv", "cs", "cr", "ct"};
    Put(rnd_.Pick(kKeys));
    Num(X());
    Num(Y());
    Direction();
    Put(" \"");
    Line(rnd_.Chance(10) ? kImageText : rnd_.Pick(kTexts));
    return 1;
  }

  std::size_t Circle() {
    PutLineAttrs();
    PutZ();
    Put("ci");
    Num(X());
    Num(Y());
    Num(Size());
    End();
    return 1;
  }

  std::size_t Arc() {
    PutLineAttrs();
    PutZ();
    Put("ci");
    Num(X());
    Num(Y());
    Num(Size());
    Num(Degrees());                                              // start angle
    Num(1.0 + Degrees());                                        // arc angle
    Num(rnd_.Chance(800) ? 1.0 : 0.25 * (1 + rnd_.Below(8)));    // flatness, never 0
    Num(rnd_.Chance(800) ? 0.0 : Degrees());                     // tilt
    End();
    return 1;
  }

  void PutPointAttrs() {
    PutLayer();
    if (pn_ != w_.pn) {
      Put("pn");
      Int(pn_);
      End();
      w_.pn = pn_;
    }
    PutLw();
    PutZ();
  }

  std::size_t Point() {
    PutPointAttrs();
    Put("pt");
    Num(X());
    Num(Y());
    End();
    return 1;
  }

  std::size_t PointEx() {
    PutPointAttrs();
    Put("pt");
    Num(X());
    Num(Y());
    Num(0.5 * (1 + rnd_.Below(8)));  // size
    Num(Degrees());                  // angle
    out_.push_back(' ');
    Int(rnd_.Pick(kPointCodes));
    End();
    return 1;
  }

  // `msg`, the dimension line, then its `cs` text; no `z` lines, since the
  // dimension line would take them.
  std::size_t Dimension() {
    PutLineAttrs();
    PutTextAttrs();
    Line("msg");
    const double x1 = X();
    const double y1 = Y();
    const double length = rnd_.Chance(700) ? 455.0 * (1 + rnd_.Below(16)) : Size();
    const bool vertical = rnd_.Chance(300);
    const double x2 = vertical ? x1 : x1 + length;
    const double y2 = vertical ? y1 + length : y1;
    AppendHostNumber(out_, x1);
    Num(y1);
    Num(x2);
    Num(y2);
    End();
    Put("cs");
    Num(vertical ? x1 - 2.0 : x1 + length / 2);
    Num(vertical ? y1 + length / 2 : y1 + 2.0);
    Put(vertical ? " 0 1" : " 1 0");
    Put(" \"");
    AppendHostNumber(out_, length);
    End();
    return 1;
  }

  void SolidAttrs(bool withWidth) {
    lc10_ = rnd_.Chance(250) ? static_cast<int32_t>(rnd_.Below(16777216)) : -1;
    PutLayer();
    PutSolidColour();
    if (withWidth) PutLw();
    PutZ();
  }

  // Corners far enough apart that the reader keeps the solid's kind.
  std::size_t Solid() {
    const std::uint32_t corners = 2 + rnd_.Below(3);
    SolidAttrs(corners == 2);
    const double x = X();
    const double y = Y();
    const double w = Size();
    const double h = Size();
    Put("sl");
    Num(x);
    Num(y);
    Num(x + w);
    Num(y);
    if (corners >= 3) {
      Num(x + w);
      Num(y + h);
    }
    if (corners == 4) {
      Num(x);
      Num(y + h);
    }
    End();
    return 1;
  }

  // `sc`, `se`, `so` and `sg` with values the writer keeps: a positive
  // radius, a flatness that does not vanish, a valid code, an inner radius
  // below the outer one.
  std::size_t RoundSolid() {
    const std::uint32_t kind = rnd_.Below(4);
    SolidAttrs(kind == 1);
    static constexpr std::string_view kKeys[] = {"sc", "se", "so", "sg"};
    Put(kKeys[kind]);
    Num(X());
    Num(Y());
    const double radius = Size();
    Num(radius);
    Num(rnd_.Chance(700) ? 1.0 : 0.25 * (1 + rnd_.Below(8)));
    Num(rnd_.Chance(700) ? 0.0 : Radians());
    Num(Radians());
    Num(Radians());
    out_.push_back(' ');
    if (kind == 0) Int(rnd_.Pick(kScCodes));
    if (kind == 1) Int(rnd_.Chance(500) ? 100 : 0);
    if (kind >= 2) AppendHostNumber(out_, radius * (0.25 + 0.125 * rnd_.Below(5)));
    End();
    return 1;
  }

  Random rnd_;
  DrawingOptions options_;
  std::string out_;
  WriterState w_;
  Layer layer_;
  int32_t lc_ = 1, lt_ = 1, lw_ = 0, pn_ = 1, lc10_ = -1;
  int32_t cn_ = 3, cc_ = 0, textColour_ = 1;
  double textWidth_ = 2.5, textHeight_ = 2.5, textSpacing_ = 0;
  std::string_view font_ = kFonts[0];
  double cx_ = 0, cy_ = 0;
};

}  // namespace

std::string HostNumberText(double value) {
  std::string text;
  AppendHostNumber(text, value);
  return text;
}

std::string GenerateExchangeFile(std::size_t entityCount, std::uint32_t seed, const DrawingOptions& options) {
  return Generator(seed, options).Run(entityCount);
}
