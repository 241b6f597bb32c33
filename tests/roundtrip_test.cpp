// Read -> write -> read -> write: an answer read back gives the same entities,
// and writing it again gives the same answer.
#include <gtest/gtest.h>

#include <charconv>
#include <filesystem>
#include <string>
#include <vector>

#include "exchange/read/reader.h"
#include "exchange/write/writer.h"
#include "tests/support/drawing_generator.h"
#include "tests/support/files.h"

namespace fs = std::filesystem;

namespace {

// The answer to the given exchange file when the user presses OK at once.
std::string Answer(std::string_view exchangeFile) {
  TJwwData d;
  JwwDataInit(d);
  JwwReadBytes(d, exchangeFile);
  TJwwWriter w(d);
  JwwPutLine(w, "hd");
  JwwWriteData(w, TJwwOverrides{}, nullptr, nullptr);
  return std::string(w.Output.FileBytes());
}

void Put(std::string& out, double v) {
  char buf[32];
  out.append(buf, std::to_chars(buf, buf + sizeof buf, v, std::chars_format::hex).ptr);
  out += ' ';
}
void Put(std::string& out, int32_t v) {
  out += std::to_string(v);
  out += ' ';
}
void Put(std::string& out, const std::string& s) {
  out += '[';
  out += s;
  out += "] ";
}
template <typename... T>
void PutAll(std::string& out, const T&... v) {
  (Put(out, v), ...);
}

// What the answer carries of the attribute fields: `hhp` is never written,
// and z4 is not written beside z5.
void PutAttr(std::string& out, const TJwwEntAttr& a) {
  const int32_t z = (a.z & 16) ? (a.z & ~8) : a.z;
  PutAll(out, a.lg, a.ly, a.lc, a.lt, a.lw, z);
}
void PutLine(std::string& out, const TJwwEntLine& r) {
  PutAttr(out, r);
  PutAll(out, r.x1, r.y1, r.x2, r.y2);
}
void PutText(std::string& out, const TJwwEntText& r) {
  PutAttr(out, r);
  PutAll(out, r.kind, r.cc, r.cn, r.width, r.height, r.spacing, r.x, r.y, r.dx, r.dy, r.font, r.text);
}
// The arbitrary colour of a solid travels only when the solid is painted in it.
int32_t Lc10(const TJwwEntAttr& a, int32_t lc10) { return a.lc == 10 ? lc10 : 0; }

// Every entity the answer carries, with every field it carries, exactly, in
// file order (polyline numbers and block references are not handed back).
std::vector<std::string> Entities(const TJwwData& d) {
  std::vector<std::string> all;
  for (const TJwwOrder& o : d.Order) {
    std::string s = std::to_string(o.kind) + ": ";
    const auto i = static_cast<std::size_t>(o.index);
    switch (o.kind) {
      case kKindLine: PutLine(s, d.Lines[i]); break;
      case kKindCircle: {
        const auto& r = d.Circles[i];
        PutAttr(s, r);
        PutAll(s, r.x, r.y, r.r);
        break;
      }
      case kKindArc: {
        const auto& r = d.Arcs[i];
        PutAttr(s, r);
        PutAll(s, r.x, r.y, r.r, r.p4, r.p5, r.p6, r.p7);
        break;
      }
      case kKindText: PutText(s, d.Texts[i]); break;
      case kKindPoint: {
        const auto& r = d.Points[i];
        PutAttr(s, r);
        PutAll(s, r.x, r.y);
        break;
      }
      case kKindPointEx: {
        const auto& r = d.PointsEx[i];
        PutAttr(s, r);
        PutAll(s, r.x, r.y, r.p3, r.p4, r.code);
        break;
      }
      case kKindDim: {
        const auto& r = d.Dims[i];
        PutLine(s, r.line);
        PutText(s, r.text);
        break;
      }
      case kKindBlock: continue;
      case kKindSolid2: {
        const auto& r = d.Solids2[i];
        PutAttr(s, r);
        PutAll(s, Lc10(r, r.lc10), r.x1, r.y1, r.x2, r.y2);
        break;
      }
      case kKindSolid3: {
        const auto& r = d.Solids3[i];
        PutAttr(s, r);
        PutAll(s, Lc10(r, r.lc10), r.x1, r.y1, r.x2, r.y2, r.x3, r.y3);
        break;
      }
      case kKindSolid4: {
        const auto& r = d.Solids4[i];
        PutAttr(s, r);
        PutAll(s, Lc10(r, r.lc10), r.x1, r.y1, r.x2, r.y2, r.x3, r.y3, r.x4, r.y4);
        break;
      }
      case kKindSc:
      case kKindSe: {
        const auto& r = o.kind == kKindSc ? d.Scs[i] : d.Ses[i];
        PutAttr(s, r);
        PutAll(s, Lc10(r, r.lc10), r.p1, r.p2, r.p3, r.p4, r.p5, r.p6, r.p7, r.code);
        break;
      }
      case kKindSo:
      case kKindSg: {
        const auto& r = o.kind == kKindSo ? d.Sos[i] : d.Sgs[i];
        PutAttr(s, r);
        PutAll(s, Lc10(r, r.lc10), r.p1, r.p2, r.p3, r.p4, r.p5, r.p6, r.p7, r.p8);
        break;
      }
      default: break;
    }
    all.push_back(std::move(s));
  }
  return all;
}

// The host's drawing and the answer read back describe the same entities, for
// drawings without degenerate geometry or out-of-range marker codes. The answer
// carries no header, so it is read with the host's text types.
void CheckSameEntities(std::string_view exchangeFile, std::string_view answer) {
  TJwwData host;
  JwwDataInit(host);
  JwwReadBytes(host, exchangeFile);
  TJwwData back;
  JwwDataInit(back);
  back.TextTypes = host.TextTypes;
  JwwReadBytes(back, answer);
  EXPECT_EQ(Entities(host), Entities(back));
}

// The first answer may still restore the layer the host had and carry the
// attribute lines of entities it left out; from the second answer on nothing
// changes.
void CheckStable(const std::string& exchangeFile, bool firstAnswerIsFinal) {
  const std::string first = Answer(exchangeFile);
  const std::string second = Answer(first);
  EXPECT_EQ(second, Answer(second));
  if (firstAnswerIsFinal) {
    EXPECT_EQ(first, second);
  }
}

std::vector<fs::path> Fixtures() {
  std::vector<fs::path> files{fs::path(T905_SOURCE_DIR) / "examples" / "JWC_TEMP.TXT"};
  for (const auto& entry : fs::recursive_directory_iterator(fs::path(T905_TEST_DATA_DIR))) {
    if (entry.is_regular_file() && entry.path().extension() == ".txt") files.push_back(entry.path());
  }
  return files;
}

TEST(RoundTrip, FixturesAreStable) {
  for (const fs::path& file : Fixtures()) {
    SCOPED_TRACE(file.string());
    // settles.txt starts on another layer than its first entity and ends with
    // an entity that is left out, so only its second answer is final.
    CheckStable(ReadFileBytes(file), file.filename() != "settles.txt");
  }
}

TEST(RoundTrip, FirstAnswerRestoresTheHostsLayerThenSettles) {
  const std::string first = Answer(ReadFileBytes(TestDataPath("writer/settles.txt")));
  const std::string second = Answer(first);
  // Block reference and zero-length line gone, the host's layer restored at the end.
  EXPECT_TRUE(first.ends_with("ch 0 5 1 0 \"\x95\xbd\x96\xca\x90\x7d  A\r\nlg0\r\nly1\r\n")) << first;
  EXPECT_EQ(first, second + "lg0\r\nly1\r\n");
}

struct GeneratedCase {
  std::size_t entities;
  std::uint32_t seed;
  bool bz;
  bool widths;
};

class GeneratedRoundTrip : public ::testing::TestWithParam<GeneratedCase> {};

TEST_P(GeneratedRoundTrip, IsStable) {
  const GeneratedCase& c = GetParam();
  DrawingOptions options;
  options.bz = c.bz;
  options.widths = c.widths;
  const std::string file = GenerateExchangeFile(c.entities, c.seed, options);
  CheckStable(file, true);
  CheckSameEntities(file, Answer(file));
}

INSTANTIATE_TEST_SUITE_P(Drawings, GeneratedRoundTrip,
                         ::testing::Values(GeneratedCase{0, 1, false, true}, GeneratedCase{1, 2, false, true},
                                           GeneratedCase{250, 3, true, true}, GeneratedCase{3000, 4, false, false},
                                           GeneratedCase{20000, 5, false, true}));

}  // namespace
