// The drawing store: the in-memory image of one exchange file, shared by the
// reader, the width conversion and the answer writer. One store per run.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "exchange/store/chunked_table.h"

// The seven attribute fields every entity record begins with.
struct TJwwEntAttr {
  int32_t hhp = 0;  // number of the last `hhp` line before the entity, else 0
  int32_t lg = 0;   // layer group, 0..15 (the reader clamps)
  int32_t ly = 0;   // layer within the group, 0..15 (the reader clamps)
  int32_t lc = 0;   // colour; point colour (`pn`) in points, text colour in texts
  int32_t lt = 0;   // line type
  int32_t lw = 0;   // line width; the only field the conversion changes
  int32_t z = 0;    // flags: 1 = z1, 2 = z2, 4 = z3, 8 = z4, 16 = z5
};

// Entity kinds: the number under which the order list names each table.
enum TJwwKind : int32_t {
  kKindLine = 1,      // `ln` table
  kKindCircle = 2,    // `ci` table
  kKindArc = 3,       // `ci` arc table
  kKindText = 4,      // `ch` table
  kKindPoint = 5,     // `pt` table
  kKindPointEx = 6,   // `pt` extended table
  kKindDim = 7,       // `msg` table
  kKindBlock = 8,     // `BL` table
  kKindSolid2 = 9,    // two-point `sl` table
  kKindSolid3 = 10,   // three-point `sl` table
  kKindSolid4 = 11,   // four-point `sl` table
  kKindSc = 12,
  kKindSe = 13,
  kKindSo = 14,
  kKindSg = 15,
};

struct TJwwEntLine : TJwwEntAttr {
  int32_t pl = 0;  // polyline number, 0 when the line belongs to none
  double x1 = 0, y1 = 0, x2 = 0, y2 = 0;
};

struct TJwwEntCircle : TJwwEntAttr {
  double x = 0, y = 0, r = 0;  // centre and radius
};

struct TJwwEntArc : TJwwEntAttr {
  double x = 0, y = 0, r = 0;
  double p4 = 0, p5 = 0, p6 = 0, p7 = 0;  // 4th..7th numbers of the `ci` line, as read
};

struct TJwwEntText : TJwwEntAttr {
  int32_t kind = 0;  // 0 ch, 1 cv, 2 cs, 3 cr, 4 co, 5 cp, 6 ct, 7 ck, 8 cz, 9 c2
  int32_t cc = 0;    // 0..8
  int32_t cn = 0;    // text type; 0 = free size
  double width = 0, height = 0, spacing = 0;  // from the text type table or the free-size values
  double x = 0, y = 0, dx = 0, dy = 0;        // the four numbers of the text line
  std::string font;  // font name in force, kept whole
  std::string text;  // the text itself, byte for byte, kept whole
};

struct TJwwEntPoint : TJwwEntAttr {
  double x = 0, y = 0;
};

struct TJwwEntPointEx : TJwwEntAttr {
  double x = 0, y = 0, p3 = 0, p4 = 0;
  int32_t code = 0;  // marker code
};

// A dimension: its line (attributes in force when the line was read) and its text.
struct TJwwEntDim : TJwwEntAttr {
  TJwwEntLine line;  // the conversion changes only line.lw
  TJwwEntText text;  // kind 2
};

struct TJwwEntBlk : TJwwEntAttr {
  double x = 0, y = 0;
  std::string name;  // block name, whole
};

struct TJwwEntSolid2 : TJwwEntAttr {
  int32_t lc10 = 0;  // arbitrary colour in force when read; matters when lc is 10
  double x1 = 0, y1 = 0, x2 = 0, y2 = 0;
};

struct TJwwEntSolid3 : TJwwEntAttr {
  int32_t lc10 = 0;
  double x1 = 0, y1 = 0, x2 = 0, y2 = 0, x3 = 0, y3 = 0;
};

struct TJwwEntSolid4 : TJwwEntAttr {
  int32_t lc10 = 0;
  double x1 = 0, y1 = 0, x2 = 0, y2 = 0, x3 = 0, y3 = 0, x4 = 0, y4 = 0;
};

// `sc` and `se` records.
struct TJwwEntSc : TJwwEntAttr {
  int32_t lc10 = 0;
  double p1 = 0, p2 = 0, p3 = 0, p4 = 0, p5 = 0, p6 = 0, p7 = 0;
  int32_t code = 0;
};
using TJwwEntSe = TJwwEntSc;

// `so` and `sg` records.
struct TJwwEntSo : TJwwEntAttr {
  int32_t lc10 = 0;
  double p1 = 0, p2 = 0, p3 = 0, p4 = 0, p5 = 0, p6 = 0, p7 = 0, p8 = 0;
};
using TJwwEntSg = TJwwEntSo;

struct TJwwOrder {
  int32_t kind = 0;   // 1..15
  int32_t index = 0;  // zero-based position in that kind's table
  // The entity's line in the exchange file and its fields in final form,
  // packed as the writer unpacks it (TJwwLineSource); 0 when none can be copied.
  uint64_t source = 0;
};

struct TJwwHp {
  bool set = false;
  double x = 0, y = 0;
  int32_t kind = 0;  // 0 plain, 1 "-", 2 "ln", 3 "ci", 4 "ch"
};

struct TJwwTextType {
  double width = 3.0, height = 3.0, spacing = 0.0;
  int32_t colour = 2;
};

// First value of each attribute met in the file, for the writer.
struct TJwwFirstValues {
  int32_t FirstLg = 0;
  int32_t FirstLy = 0;
  int32_t FirstLc = 1;
  int32_t FirstLt = 1;
  int32_t FirstLw = 0;
  int32_t FirstCn = 1;
  double FirstTextWidth = 2.0;
  double FirstTextHeight = 2.0;
  double FirstTextSpacing = 0.0;
  int32_t FirstTextColour = 1;
  std::string FirstFont;  // empty until a font line is met
};

// Pending flags: set while an attribute has not been met (reading) or not yet
// written (writing). The last four only the writer uses. Neither keeps them
// in the store: the reader and the writer each hold their own.
struct TJwwPending {
  bool NeedLg = true, NeedLy = true, NeedLc = true, NeedLt = true, NeedLw = true, NeedCn = true;
  bool NeedCc = true, NeedFont = true, NeedPn = true, NeedLc10 = true;
};

// How the last JwwReadFile ended.
enum class TJwwReadOutcome {
  NotRead,   // no read since JwwDataInit
  Missing,   // no file at the path: nothing read
  Complete,  // read to its end
  Failed,    // the file existed but could not be read to its end
};

struct TJwwData {
  // Header values.
  double Hk = 0.0;
  std::array<double, 16> Hs{};               // 1.0 each after init
  std::array<double, 2> Hzs{1189.0, 841.0};
  std::array<TJwwTextType, 10> TextTypes{};  // text types 1..10 at [0..9]
  bool Bz = false;
  std::array<double, 4> Hn{};
  std::string FilePath;

  // Layer tables, indexed by group and by layer index (group * 16 + layer).
  std::vector<int32_t> LgValues;      // 16
  std::vector<std::string> LgNames;   // 16
  std::vector<int32_t> LyValues;      // 256
  std::vector<std::string> LyNames;   // 256

  std::vector<TJwwHp> Hp;  // 100 slots, 1..99 used
  int32_t HpCount = 0;     // accepted `hp` lines; a slot given twice counts twice

  TJwwFirstValues first;
  bool LwSeen = false;  // the file had at least one `lw` line

  // Entity tables, kinds 1..15, records in file order, grown chunk by chunk.
  TJwwTable<TJwwEntLine> Lines;
  TJwwTable<TJwwEntCircle> Circles;
  TJwwTable<TJwwEntArc> Arcs;
  TJwwTable<TJwwEntText> Texts;
  TJwwTable<TJwwEntPoint> Points;
  TJwwTable<TJwwEntPointEx> PointsEx;
  TJwwTable<TJwwEntDim> Dims;
  TJwwTable<TJwwEntBlk> Blocks;
  TJwwTable<TJwwEntSolid2> Solids2;
  TJwwTable<TJwwEntSolid3> Solids3;
  TJwwTable<TJwwEntSolid4> Solids4;
  TJwwTable<TJwwEntSc> Scs;
  TJwwTable<TJwwEntSe> Ses;
  TJwwTable<TJwwEntSo> Sos;
  TJwwTable<TJwwEntSg> Sgs;

  TJwwTable<TJwwOrder> Order;  // every record's (kind, index), in file order

  TJwwReadOutcome ReadOutcome = TJwwReadOutcome::NotRead;
  std::uint64_t BytesRead = 0;  // bytes of the exchange file read; the answer is about as long
};

// The font name in force before any font line: MS Gothic in angle brackets (Shift-JIS bytes).
const std::string& JwwDefaultFont();

// The attribute values lines put in force, starting at the host's defaults: the reader keeps
// the ones read so far, the writer the ones it last wrote.
struct TJwwAttrValues {
  int32_t CurLg = 0;
  int32_t CurLy = 0;
  int32_t CurLc = 1;
  int32_t CurLt = 1;
  int32_t CurLw = 0;
  int32_t CurCn = 1;
  double CurTextWidth = 2.0;
  double CurTextHeight = 2.0;
  double CurTextSpacing = 0.0;
  int32_t CurTextColour = 1;
  int32_t CurCc = 0;
  std::string CurFont = JwwDefaultFont();  // "<ＭＳ ゴシック>" until a font line
  int32_t CurPn = 1;
  int32_t CurLc10 = 0;
};

// Resets the whole store to its defaults: tables emptied, header and first
// values reset.
void JwwDataInit(TJwwData& d);

// Releases every table and list. Scalars are left as they
// are; the store is not read again until the next JwwDataInit.
void JwwDataFree(TJwwData& d);

// Appends (kind, index) to the entity order list. Inline: the reader calls
// it for every entity of the file.
inline void JwwAddOrder(TJwwData& d, int32_t kind, int32_t index) { d.Order.push_back({kind, index}); }

// Number of records in the table of `kind` (0 for a kind outside 1..15).
int32_t JwwKindCount(const TJwwData& d, int32_t kind);
