// The reader's non-entity lines: header values, layers, attributes, text
// attributes, per-entity modifiers, grouping and numbered points.
#include <string_view>

#include "exchange/read/line_rules.h"
#include "util/text.h"

namespace {

using std::string_view;

// Byte by byte: with the short keyword known at the call, this is a few
// compares instead of a call to memcmp for most lines of the file.
bool StartsWith(string_view s, string_view prefix) {
  if (s.size() < prefix.size()) return false;
  for (std::size_t i = 0; i < prefix.size(); ++i) {
    if (s[i] != prefix[i]) return false;
  }
  return true;
}

// A layer group or layer is one hex digit; any other byte (or none) is 0.
int32_t LayerDigit(string_view key) {
  if (key.size() < 3) return 0;
  const char c = key[2];
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return 0;
}

// Values after the keyword, into `dest[0..n)`; the caller checks the count.
template <std::size_t N>
void ReadReals(const TJwwFields& f, std::array<double, N>& dest, std::size_t n) {
  for (std::size_t i = 0; i < n && i < N; ++i) dest[i] = TextToFloat(f[i + 1]);
}

bool TakeHeader(TJwwData& d, const TJwwFields& f) {
  const string_view key = f.Key();
  const std::size_t n = f.count;
  if (key == "hk" && n >= 2) {
    d.Hk = TextToFloat(f[1]);
  } else if (key == "hs" && n >= 17) {
    ReadReals(f, d.Hs, 16);
  } else if (key == "hzs" && n >= 3) {
    ReadReals(f, d.Hzs, 2);
  } else if (key == "hcw" && n >= 11) {
    for (std::size_t i = 0; i < 10; ++i) d.TextTypes[i].width = TextToFloat(f[i + 1]);
  } else if (key == "hch" && n >= 11) {
    for (std::size_t i = 0; i < 10; ++i) d.TextTypes[i].height = TextToFloat(f[i + 1]);
  } else if (key == "hcd" && n >= 11) {
    for (std::size_t i = 0; i < 10; ++i) d.TextTypes[i].spacing = TextToFloat(f[i + 1]);
  } else if (key == "hcc" && n >= 11) {
    for (std::size_t i = 0; i < 10; ++i) d.TextTypes[i].colour = TextToInt(f[i + 1]);
  } else if (key == "bz") {
    d.Bz = true;
  } else if (key == "hn" && n >= 5) {
    ReadReals(f, d.Hn, 4);
  } else {
    return false;
  }
  return true;
}

// `lgn`, `lyn`, `lg`, `ly`. Names run from the key's fourth byte; a name with
// blanks reaches the key whole only behind a double quote.
bool TakeLayer(TJwwData& d, TJwwReadState& rs, const TJwwFields& f) {
  const string_view key = f.Key();
  TJwwAttrState& a = rs.attr;
  if (StartsWith(key, "lgn")) {
    d.LgNames[static_cast<std::size_t>(a.CurLg)] = std::string(key.substr(3));
  } else if (StartsWith(key, "lyn")) {
    d.LyNames[static_cast<std::size_t>(a.CurLg * 16 + a.CurLy)] = std::string(key.substr(3));
  } else if (StartsWith(key, "lg")) {
    const int32_t g = LayerDigit(key);
    if (rs.need.NeedLg) {
      d.first.FirstLg = g;
      rs.need.NeedLg = false;
    }
    a.CurLg = g;
    if (f.count >= 2) d.LgValues[static_cast<std::size_t>(g)] = TextToInt(f[1]);
    a.InPolyline = false;
  } else if (StartsWith(key, "ly")) {
    const int32_t y = LayerDigit(key);
    if (rs.need.NeedLy) {
      d.first.FirstLy = y;
      rs.need.NeedLy = false;
    }
    a.CurLy = y;
    if (f.count >= 2) d.LyValues[static_cast<std::size_t>(a.CurLg * 16 + y)] = TextToInt(f[1]);
    a.InPolyline = false;
  } else {
    return false;
  }
  return true;
}

// Sets `cur` (and the first value while it is pending) from the key's digits.
void TakeValue(string_view key, int32_t& cur, int32_t& first, bool& need) {
  cur = TextToInt(key.substr(2));
  if (need) {
    first = cur;
    need = false;
  }
}

bool TakeAttribute(TJwwData& d, TJwwReadState& rs, const TJwwFields& f) {
  const string_view key = f.Key();
  TJwwAttrState& a = rs.attr;
  if (StartsWith(key, "lc")) {
    TakeValue(key, a.CurLc, d.first.FirstLc, rs.need.NeedLc);
    // The arbitrary colour stays in force across later colours.
    if (a.CurLc == 10 && f.count >= 2) a.CurLc10 = TextToInt(f[1]);
  } else if (StartsWith(key, "lt")) {
    TakeValue(key, a.CurLt, d.first.FirstLt, rs.need.NeedLt);
  } else if (StartsWith(key, "lw")) {
    TakeValue(key, a.CurLw, d.first.FirstLw, rs.need.NeedLw);
    d.LwSeen = true;
  } else if (StartsWith(key, "cn$")) {
    const string_view name = key.substr(3);
    if (d.first.FirstFont.empty()) d.first.FirstFont = std::string(name);
    a.CurFont = std::string(name);
  } else if (StartsWith(key, "cn")) {
    const int32_t n = TextToInt(key.substr(2));
    const bool sizes = n == 0 && f.count >= 5;
    const double w = sizes ? TextToFloat(f[1]) : 0.0;
    const double h = sizes ? TextToFloat(f[2]) : 0.0;
    const double sp = sizes ? TextToFloat(f[3]) : 0.0;
    const int32_t c = sizes ? TextToInt(f[4]) : 0;
    if (rs.need.NeedCn) {
      d.first.FirstCn = n;
      if (sizes) {
        d.first.FirstTextWidth = w;
        d.first.FirstTextHeight = h;
        d.first.FirstTextSpacing = sp;
        d.first.FirstTextColour = c;
      }
      rs.need.NeedCn = false;
    }
    a.CurCn = n;
    if (sizes) {
      a.CurTextWidth = w;
      a.CurTextHeight = h;
      a.CurTextSpacing = sp;
      a.CurTextColour = c;
    }
  } else if (StartsWith(key, "cc")) {
    const int32_t v = TextToInt(key.substr(2, 1));
    a.CurCc = v >= 0 && v <= 8 ? v : 0;
  } else if (StartsWith(key, "pn")) {
    a.CurPn = TextToInt(key.substr(2));
  } else {
    return false;
  }
  a.InPolyline = false;
  return true;
}

// z1..z5 and `hhp`: they hold for the next entity only and leave a polyline open.
bool TakeModifier(TJwwReadState& rs, const TJwwFields& f) {
  const string_view key = f.Key();
  if (key.size() == 2 && key[0] == 'z' && key[1] >= '1' && key[1] <= '5') {
    rs.attr.CurZ |= 1 << (key[1] - '1');
    return true;
  }
  if (!StartsWith(key, "hhp")) return false;
  // The number runs from the fourth byte up to a suffix "ln", "ci" or "ch"
  // found after it; a later suffix in this list wins.
  std::size_t len = key.size() - 3;
  for (const string_view suffix : {string_view("ln"), string_view("ci"), string_view("ch")}) {
    const std::size_t p = key.find(suffix);
    if (p != string_view::npos && p > 3) len = p - 3;
  }
  rs.attr.CurHhp = TextToInt(key.substr(3, len));
  return true;
}

bool TakeGrouping(TJwwReadState& rs, const TJwwFields& f) {
  const string_view key = f.Key();
  TJwwAttrState& a = rs.attr;
  if (key == "pl") {
    ++a.PolylineNo;
    a.InPolyline = true;
    a.DimPending = false;
  } else if (key == "msg") {
    a.DimPending = true;
    a.InPolyline = false;
  } else if (key == "#") {
    a.InPolyline = false;
    a.DimPending = false;
  } else {
    return false;
  }
  return true;
}

// `hp`N[suffix] x y. The suffix "-", "ln", "ci" or "ch" gives the kind; the
// number stands between the keyword and the suffix.
bool TakeNumberedPoint(TJwwData& d, const TJwwFields& f) {
  const string_view key = f.Key();
  if (!StartsWith(key, "hp") || f.count < 3) return false;
  string_view num = key.substr(2);
  int32_t kind = 0;
  const string_view suffixes[] = {"-", "ln", "ci", "ch"};
  for (int32_t k = 0; k < 4; ++k) {
    const std::size_t p = key.find(suffixes[k]);
    if (p != string_view::npos) {
      num = key.substr(2, p - 2);
      kind = k + 1;
    }
  }
  const int32_t n = TextToInt(num);
  if (n >= 1 && n <= 99) {
    d.Hp[static_cast<std::size_t>(n)] = TJwwHp{true, TextToFloat(f[1]), TextToFloat(f[2]), kind};
    ++d.HpCount;
  }
  return true;
}

}  // namespace

bool JwwTakeStateLine(TJwwData& d, TJwwReadState& rs, const TJwwFields& f) {
  const string_view key = f.Key();
  // "file=" may stand anywhere in the key, so it is looked for before every
  // keyword. A key with "=" in it never lies in the line as read (the
  // split's `exact` is 0), which spares the search on every other line.
  if (f.exact == 0 && key.find('=') != string_view::npos && key.find("file=") != string_view::npos) {
    d.FilePath = std::string(key.substr(5));
    return true;
  }
  if (key.empty()) return false;
  switch (key[0]) {
    case 'h':
      return TakeHeader(d, f) || TakeNumberedPoint(d, f) || TakeModifier(rs, f);
    case 'b':
      return TakeHeader(d, f);
    case 'l':
      return TakeLayer(d, rs, f) || TakeAttribute(d, rs, f);
    case 'c':
    case 'p':
      return TakeAttribute(d, rs, f) || TakeGrouping(rs, f);
    case 'z':
      return TakeModifier(rs, f);
    case 'm':
    case '#':
      return TakeGrouping(rs, f);
    default:
      return false;
  }
}
