// Generator of large, valid IGES files (see iges_generator.h).
//
// A file is written in three sweeps over the same deterministic sequence of
// entities, so that nothing larger than a few bytes per entity is held:
//   1. every entity is made once to learn its type and its number of
//      Parameter Data records (and to stop once the target size is reached);
//   2. the Directory Entry pairs are written from those two facts;
//   3. the entities are made again, identically, and their Parameter Data
//      records are written.
// Values are computed with +, -, *, / and sqrt only (no libm sine or cosine),
// so the text of every real is the same wherever the generator runs.
#include "bench/iges_generator.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <stdexcept>
#include <string_view>
#include <vector>

namespace notora::bench {
namespace {

constexpr std::size_t kDataColumns = 64;    // P record columns 1-64
constexpr std::size_t kRecordColumns = 80;
constexpr std::uint64_t kMaxSequence = 9'999'999;  // columns 74-80

// ---------------------------------------------------------------------------
// Random numbers: xoshiro256** seeded through splitmix64.

std::uint64_t SplitMix(std::uint64_t* state) {
  std::uint64_t z = (*state += 0x9E3779B97F4A7C15ull);
  z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
  z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
  return z ^ (z >> 31);
}

class Random {
 public:
  explicit Random(std::uint64_t seed) {
    for (auto& word : s_) word = SplitMix(&seed);
  }
  std::uint64_t Next() {
    const std::uint64_t result = Rotl(s_[1] * 5, 7) * 9;
    const std::uint64_t t = s_[1] << 17;
    s_[2] ^= s_[0];
    s_[3] ^= s_[1];
    s_[1] ^= s_[2];
    s_[0] ^= s_[3];
    s_[2] ^= t;
    s_[3] = Rotl(s_[3], 45);
    return result;
  }
  // Uniform in [0, n).
  std::uint32_t Below(std::uint32_t n) {
    return static_cast<std::uint32_t>(((Next() >> 32) * n) >> 32);
  }
  // Uniform in [lo, hi].
  int Range(int lo, int hi) { return lo + static_cast<int>(Below(static_cast<std::uint32_t>(hi - lo + 1))); }
  // Uniform in [0, 1).
  double Unit() { return static_cast<double>(Next() >> 11) * 0x1.0p-53; }
  double Uniform(double lo, double hi) { return lo + (hi - lo) * Unit(); }
  bool Chance(double p) { return Unit() < p; }
  template <typename T, std::size_t N>
  const T& Pick(const T (&items)[N]) { return items[Below(N)]; }

 private:
  static std::uint64_t Rotl(std::uint64_t x, int k) { return (x << k) | (x >> (64 - k)); }
  std::uint64_t s_[4];
};

// ---------------------------------------------------------------------------
// Japanese text. Words are kept as JIS X 0208 codes; their Shift-JIS bytes
// and their JIS-code notation are both derived from them.

struct JisWord {
  std::array<std::uint16_t, 8> codes;
  int length;
};

const JisWord kJisWords[] = {
    {{0x4974,0x494A,0x3F5E}, 3},  // 部品図
    {{0x4148,0x4E29,0x3F5E}, 3},  // 組立図
    {{0x3A60,0x3C41}, 2},  // 材質
    {{0x493D,0x4C4C,0x3D68,0x4D7D}, 4},  // 表面処理
    {{0x4D4F,0x405C}, 2},  // 溶接
    {{0x4C4C,0x3C68,0x246A}, 3},  // 面取り
    {{0x3F3C,0x2435}, 2},  // 深さ
    {{0x444C,0x2437}, 2},  // 通し
    {{0x376A}, 1},  // 穴
    {{0x4023,0x4B21}, 2},  // 寸法
    {{0x3878,0x3A39}, 2},  // 公差
    {{0x436D,0x352D}, 2},  // 注記
    {{0x3B45,0x3E65,0x2432}, 3},  // 仕上げ
    {{0x3826,0x3A6F}, 2},  // 研削
    {{0x3E46,0x467E,0x246C}, 3},  // 焼入れ
    {{0x395D}, 1},  // 鋼
    {{0x4844,0x387C}, 2},  // 板厚
    {{0x4347,0x4C4C}, 2},  // 断面
    {{0x3E5C,0x3A59}, 2},  // 詳細
    {{0x3C5C,0x4559}, 2},  // 尺度
    {{0x3F5E,0x4856}, 2},  // 図番
    {{0x4C3E,0x3E4E}, 2},  // 名称
    {{0x3F74,0x4E4C}, 2},  // 数量
    {{0x4877,0x394D}, 2},  // 備考
    {{0x405F,0x3757}, 2},  // 設計
    {{0x3821,0x3F5E}, 2},  // 検図
    {{0x3E35,0x4727}, 2},  // 承認
    {{0x467C,0x4955}, 2},  // 日付
    {{0x327E,0x447B}, 2},  // 改訂
    {{0x4134,0x3C7E}, 2},  // 全周
    {{0x256A,0x213C,0x255E}, 3},  // リーマ
    {{0x255C,0x256B,0x2548}, 3},  // ボルト
    {{0x254A,0x2543,0x2548}, 3},  // ナット
    {{0x244D,0x2438}, 2},  // ねじ
    {{0x3A42,0x2430,0x246A}, 3},  // 座ぐり
    {{0x252D,0x256A}, 2},  // キリ
    {{0x2550,0x256A,0x3C68,0x246A}, 4},  // バリ取り
    {{0x3B58,0x3C28,0x244A,0x242D,0x3351}, 5},  // 指示なき角
    {{0x306C,0x484C,0x3878,0x3A39}, 4},  // 一般公差
    {{0x472E,0x3D68,0x4D7D}, 3},  // 熱処理
    {{0x4549,0x4175}, 2},  // 塗装
    {{0x3975,0x4077,0x2461}, 3},  // 黒染め
    {{0x2561,0x2543,0x252D}, 3},  // メッキ
    {{0x2539,0x2546,0x2573,0x256C,0x2539}, 5},  // ステンレス
    {{0x2522,0x256B,0x255F,0x254B,0x2526,0x2560}, 6},  // アルミニウム
    {{0x3330,0x3742}, 2},  // 外径
    {{0x4662,0x3742}, 2},  // 内径
    {{0x4366,0x3F34,0x407E}, 3},  // 中心線
    {{0x3470,0x3D60,0x4C4C}, 3},  // 基準面
    {{0x4A3F,0x3954,0x4559}, 3},  // 平行度
    {{0x443E,0x3351,0x4559}, 3},  // 直角度
    {{0x3F3F,0x315F,0x4559}, 3},  // 真円度
    {{0x4A3F,0x4C4C,0x4559}, 3},  // 平面度
    {{0x4631,0x3C34,0x4559}, 3},  // 同軸度
    {{0x255C,0x2539}, 2},  // ボス
    {{0x256A,0x2556}, 2},  // リブ
    {{0x2555,0x2569,0x2573,0x2538}, 4},  // フランジ
    {{0x2537,0x2563,0x2555,0x2548}, 4},  // シャフト
    {{0x2559,0x2522,0x256A,0x2573,0x2530}, 5},  // ベアリング
    {{0x252D,0x213C,0x3942}, 3},  // キー溝
    {{0x2450,0x244D}, 2},  // ばね
    {{0x3B75,0x3C56}, 2},  // 歯車
    {{0x3C34,0x3C75}, 2},  // 軸受
    {{0x4B5C,0x424E}, 2},  // 本体
    {{0x3338}, 1},  // 蓋
    {{0x3C68,0x4955,0x2431}, 3},  // 取付け
    {{0x4226,0x4C4C,0x3F5E}, 3},  // 側面図
    {{0x4035,0x4C4C,0x3F5E}, 3},  // 正面図
    {{0x4A3F,0x4C4C,0x3F5E}, 3},  // 平面図
    {{0x4C70,0x3B6B}, 2},  // 矢視
    {{0x3374,0x3C30,0x3271,0x3C52}, 4},  // 株式会社
    {{0x3929,0x3E6C}, 2},  // 工場
    {{0x4268,0x306C}, 2},  // 第一
    {{0x456C,0x357E}, 2},  // 東京
    {{0x4267,0x3A65}, 2},  // 大阪
    {{0x243F,0x2440,0x2437}, 3},  // ただし
    {{0x2448,0x2439,0x246B}, 3},  // とする
    {{0x244E,0x2433,0x2448}, 3},  // のこと
    {{0x2439,0x2459,0x2446}, 3},  // すべて
    {{0x304A,0x323C}, 2},  // 以下
};

// Half-width katakana words (single bytes 0xA1-0xDF).
const char* const kHalfWidthWords[] = {
    "\xC0\xAF\xCC\xDF",  // ﾀｯﾌﾟ
    "\xB7\xD8",  // ｷﾘ
    "\xBB\xDE\xB8\xDE\xD8",  // ｻﾞｸﾞﾘ
    "\xCE\xDE\xD9\xC4",  // ﾎﾞﾙﾄ
    "\xC5\xAF\xC4",  // ﾅｯﾄ
    "\xD2\xAF\xB7",  // ﾒｯｷ
    "\xCA\xDE\xD8\xC4\xD8",  // ﾊﾞﾘﾄﾘ
    "\xB6\xDE\xB2\xB9\xB2",  // ｶﾞｲｹｲ
    "\xC5\xB2\xB9\xB2",  // ﾅｲｹｲ
    "\xBD\xD0",  // ｽﾐ
    "\xCC\xB6\xBB",  // ﾌｶｻ
    "\xC4\xB5\xBC",  // ﾄｵｼ
    "\xCB\xD7\xC3\xDE\xA8\xBD\xB8",  // ﾋﾗﾃﾞｨｽｸ
    "\xBC\xAC\xCC\xC4",  // ｼｬﾌﾄ
    "\xB8\xDB\xBF\xD2",  // ｸﾛｿﾒ
    "\xBE\xDD\xC0\xB0",  // ｾﾝﾀｰ
    "\xCA\xDD\xC0\xDE",  // ﾊﾝﾀﾞ
    "\xD6\xB3\xBE\xC2",  // ﾖｳｾﾂ
    "\xB7\xAE\xB3\xC2\xB3",  // ｷｮｳﾂｳ
    "\xBF\xB8\xD2\xDD",  // ｿｸﾒﾝ
    "\xB9\xB2\xBC\xDE\xAE\xB3",  // ｹｲｼﾞｮｳ
    "\xC6\xAF\xB9\xD9",  // ﾆｯｹﾙ
    "\xB1\xD9\xD0",  // ｱﾙﾐ
    "\xCA\xDD\xD6\xB3",  // ﾊﾝﾖｳ
    "\xB6\xB8\xC0\xDE\xB2",  // ｶｸﾀﾞｲ
    "\xBD\xDE\xCA\xDE\xDD",  // ｽﾞﾊﾞﾝ
    "\xD2\xB2\xBC\xAE\xB3",  // ﾒｲｼｮｳ
    "\xCB\xDE\xBA\xB3",  // ﾋﾞｺｳ
};

const char* const kAsciiNotes[] = {
    "SCALE 1:2", "SCALE 1:1", "DETAIL A", "DETAIL B", "SECTION A-A", "SECTION B-B",
    "VIEW C", "4-M6 TAP DP12", "2-M8 TAP THRU", "6-PHI 9 DRILL THRU", "R5", "R12.5", "C1", "C0.5",
    "PHI 20 H7", "PHI 35 G6", "ALL FILLETS R2", "REMOVE ALL BURRS", "BREAK SHARP EDGES",
    "MATERIAL: S45C", "MATERIAL: SUS304", "MATERIAL: A5052", "SURFACE FINISH 6.3",
    "UNLESS OTHERWISE SPECIFIED", "GENERAL TOLERANCE ISO 2768-m", "THICKNESS 3.2", "QTY 2",
    "REV B", "(REF)", "2X 45 DEG", "TOLERANCE +-0.1", "SEE NOTE 3", "HEAT TREAT HRC 40-45",
    "BLACK OXIDE", "ANODIZE CLEAR", "DO NOT SCALE DRAWING", "DIMENSIONS IN MM",
    "THIRD ANGLE PROJECTION", "WELD ALL AROUND", "FLATNESS 0.05", "PARALLELISM 0.02 A",
    "CENTER OF GRAVITY", "PART NO.", "DRAWN", "CHECKED", "APPROVED", "SHEET 1 OF 3",
};

std::uint16_t JisToShiftJis(std::uint16_t jis) {
  const unsigned j1 = jis >> 8;
  const unsigned j2 = jis & 0xFF;
  unsigned s1 = (j1 - 0x21) / 2 + 0x81;
  if (s1 > 0x9F) s1 += 0x40;
  unsigned s2;
  if (j1 & 1) {
    s2 = j2 + 0x1F;
    if (s2 >= 0x7F) ++s2;
  } else {
    s2 = j2 + 0x7E;
  }
  return static_cast<std::uint16_t>((s1 << 8) | s2);
}

// A run of full-width characters as JIS X 0208 codes, all of them assigned
// characters of the standard: level-1 kanji (rows 0x30-0x4E), hiragana,
// katakana, full-width digits and row-1 symbols.
void AppendRandomKanji(Random& rng, int count, std::vector<std::uint16_t>* codes) {
  for (int i = 0; i < count; ++i)
    codes->push_back(static_cast<std::uint16_t>((rng.Range(0x30, 0x4E) << 8) | rng.Range(0x21, 0x7E)));
}
void AppendHiragana(Random& rng, int count, std::vector<std::uint16_t>* codes) {
  for (int i = 0; i < count; ++i) codes->push_back(static_cast<std::uint16_t>(0x2400 | rng.Range(0x21, 0x73)));
}
void AppendWord(Random& rng, std::vector<std::uint16_t>* codes) {
  const JisWord& word = rng.Pick(kJisWords);
  codes->insert(codes->end(), word.codes.begin(), word.codes.begin() + word.length);
}
void AppendFullWidthNumber(Random& rng, std::vector<std::uint16_t>* codes) {
  const int digits = rng.Range(1, 3);
  for (int i = 0; i < digits; ++i) codes->push_back(static_cast<std::uint16_t>(0x2330 + rng.Range(0, 9)));
}

// The characters of a Japanese phrase: words, sometimes random kanji, kana
// particles, digits and symbols; now and then a long sentence.
std::vector<std::uint16_t> MakeJisPhrase(Random& rng) {
  std::vector<std::uint16_t> codes;
  if (rng.Chance(0.04)) {  // a long instruction, runs over several records
    const int target = rng.Range(15, 40);
    while (static_cast<int>(codes.size()) < target) {
      if (rng.Chance(0.5)) AppendWord(rng, &codes);
      else AppendRandomKanji(rng, rng.Range(1, 3), &codes);
      AppendHiragana(rng, rng.Range(0, 2), &codes);
      if (rng.Chance(0.2)) codes.push_back(0x2122);  // 、
    }
    codes.push_back(0x2123);  // 。
    return codes;
  }
  const int words = rng.Range(1, 3);
  for (int i = 0; i < words; ++i) {
    if (i > 0 && rng.Chance(0.3)) AppendHiragana(rng, 1, &codes);
    if (rng.Chance(0.8)) AppendWord(rng, &codes);
    else AppendRandomKanji(rng, rng.Range(1, 4), &codes);
  }
  if (rng.Chance(0.15)) AppendFullWidthNumber(rng, &codes);
  if (rng.Chance(0.05)) codes.push_back(static_cast<std::uint16_t>(0x2100 | rng.Range(0x21, 0x7E)));
  return codes;
}

void AppendShiftJis(const std::vector<std::uint16_t>& codes, std::string* text) {
  for (std::uint16_t jis : codes) {
    const std::uint16_t sjis = JisToShiftJis(jis);
    text->push_back(static_cast<char>(sjis >> 8));
    text->push_back(static_cast<char>(sjis & 0xFF));
  }
}

void AppendJisNotation(const std::vector<std::uint16_t>& codes, bool upper, std::string* text) {
  const char* digits = upper ? "0123456789ABCDEF" : "0123456789abcdef";
  for (std::uint16_t jis : codes)
    for (int shift = 12; shift >= 0; shift -= 4) text->push_back(digits[(jis >> shift) & 0xF]);
}

// ---------------------------------------------------------------------------
// Field text and packing into columns 1-64.

enum class RealStyle { kShortest, kDoubleExponent, kFixed };

// A real as exporters write it: up to 15 significant digits with a trailing
// point for whole numbers ("10."), the double-precision exponent form
// ("1.23456789012345D+02"), or six decimals.
void FormatReal(double value, RealStyle style, std::string* out) {
  char buffer[48];
  int n = 0;
  switch (style) {
    case RealStyle::kShortest:
      n = std::snprintf(buffer, sizeof buffer, "%.15G", value);
      if (!std::memchr(buffer, '.', n) && !std::memchr(buffer, 'E', n)) buffer[n++] = '.';
      break;
    case RealStyle::kDoubleExponent:
      n = std::snprintf(buffer, sizeof buffer, "%.14E", value);
      for (int i = 0; i < n; ++i)
        if (buffer[i] == 'E') buffer[i] = 'D';
      break;
    case RealStyle::kFixed:
      n = std::snprintf(buffer, sizeof buffer, "%.6f", value);
      break;
  }
  out->append(buffer, static_cast<std::size_t>(n));
}

class Packer {
 public:
  Packer(std::string* out, char delimiter) : out_(out), delimiter_(delimiter) {}

  // A field of at most 63 characters with its delimiter. A field that would
  // reach column 64 or beyond starts a new record instead, as writers do.
  void Field(std::string_view text) {
    if (out_->size() % kDataColumns + text.size() >= kDataColumns) PadRecord();
    out_->append(text);
  }
  void Integer(long value, char terminator) {
    char buffer[24];
    char* end = std::to_chars(buffer, buffer + sizeof buffer, value).ptr;
    *end++ = terminator;
    Field(std::string_view(buffer, static_cast<std::size_t>(end - buffer)));
  }
  void Integer(long value) { Integer(value, delimiter_); }
  void Real(double value, RealStyle style, char terminator) {
    scratch_.clear();
    FormatReal(value, style, &scratch_);
    scratch_.push_back(terminator);
    Field(scratch_);
  }
  void Real(double value, RealStyle style) { Real(value, style, delimiter_); }

  // A Hollerith string "nH" + text, then `terminator` directly after it.
  // When the whole field does not fit in the current record it either moves
  // to the next record (short fields, if `straddle` is false) or runs across
  // the record boundary, splitting the text wherever it falls, even between
  // the two bytes of a Shift-JIS character.
  void Hollerith(std::string_view text, char terminator, bool straddle) {
    char prefix[24];
    char* end = std::to_chars(prefix, prefix + sizeof prefix, text.size()).ptr;
    *end++ = 'H';
    const std::size_t prefixSize = static_cast<std::size_t>(end - prefix);
    const std::size_t total = prefixSize + text.size() + 1;
    const std::size_t column = out_->size() % kDataColumns;
    if (column + total < kDataColumns) {
      // fits where it stands
    } else if (total < kDataColumns && !straddle) {
      PadRecord();
    } else if (column + prefixSize >= kDataColumns - 1) {
      PadRecord();
    }
    out_->append(prefix, prefixSize);
    out_->append(text);
    out_->push_back(terminator);
  }

  void PadRecord() {
    const std::size_t column = out_->size() % kDataColumns;
    if (column != 0) out_->append(kDataColumns - column, ' ');
  }

 private:
  std::string* out_;
  char delimiter_;
  std::string scratch_;
};

// ---------------------------------------------------------------------------
// Entities.

enum TypeSlot { kArc, kLine, kPoint, kMatrix, kSpline, kNote, kTypeSlots };
constexpr int kTypeNumbers[kTypeSlots] = {100, 110, 116, 124, 126, 212};

struct Vec3 {
  double x, y, z;
};

// Snaps a coordinate to a modelling grid now and then, as designed parts
// have many round dimensions.
double ModelCoordinate(Random& rng) {
  double v = rng.Uniform(-500.0, 500.0);
  if (rng.Chance(0.3)) v = std::round(v * 2.0) / 2.0;
  return v;
}

// cos and sin of an angle from the rational parametrisation of the circle:
// t = tan(angle / 2), cos = (1 - t^2) / (1 + t^2), sin = 2t / (1 + t^2).
void RationalAngle(double t, double* c, double* s) {
  const double d = 1.0 + t * t;
  *c = (1.0 - t * t) / d;
  *s = (2.0 * t) / d;
}

class EntityFactory {
 public:
  EntityFactory(const GeneratorOptions& options, GeneratorSummary* summary)
      : options_(options), rng_(options.seed), summary_(summary) {}

  // Makes the next entity: returns its type slot and fills `param` with its
  // Parameter Data columns 1-64 joined (a multiple of 64 bytes).
  int Next(std::string* param) {
    param->clear();
    style_ = PickStyle();
    const int slot = PickType();
    Packer packer(param, ',');
    char head[8];
    std::snprintf(head, sizeof head, "%d,", kTypeNumbers[slot]);
    param->append(head);
    switch (slot) {
      case kArc: MakeArc(packer); break;
      case kLine: MakeLine(packer); break;
      case kPoint: MakePoint(packer); break;
      case kMatrix: MakeMatrix(packer); break;
      case kSpline: MakeSpline(packer); break;
      case kNote: MakeNote(packer); break;
    }
    packer.PadRecord();
    if (summary_) {
      ++summary_->entities;
      if (slot != kNote) ++summary_->entitiesByType[slot];
    }
    return slot;
  }

 private:
  RealStyle PickStyle() {
    const std::uint32_t r = rng_.Below(100);
    if (r < 60) return RealStyle::kShortest;
    if (r < 85) return RealStyle::kDoubleExponent;
    return RealStyle::kFixed;
  }

  int PickType() {
    if (rng_.Chance(options_.noteShare)) return kNote;
    const std::uint32_t r = rng_.Below(100);
    if (options_.profile != GeneratorProfile::kMixed) {
      // Mostly short geometry: one to three records per entity.
      if (r < 48) return kLine;
      if (r < 74) return kArc;
      if (r < 98) return kPoint;
      return kSpline;
    }
    if (r < 36) return kLine;
    if (r < 58) return kArc;
    if (r < 68) return kPoint;
    if (r < 72) return kMatrix;
    return kSpline;
  }

  // ",0,0;" (no back pointers, no properties) or just ";" after the last
  // field, both as writers leave them.
  void EndEntity(Packer& packer, double last) {
    if (rng_.Chance(0.25)) {
      packer.Real(last, style_);
      packer.Integer(0);
      packer.Integer(0, ';');
    } else {
      packer.Real(last, style_, ';');
    }
  }

  void MakeLine(Packer& packer) {
    const Vec3 a{ModelCoordinate(rng_), ModelCoordinate(rng_), rng_.Chance(0.6) ? 0.0 : ModelCoordinate(rng_)};
    const double length = rng_.Uniform(0.5, 300.0);
    double c, s;
    RationalAngle(rng_.Uniform(-1.0, 1.0), &c, &s);
    packer.Real(a.x, style_);
    packer.Real(a.y, style_);
    packer.Real(a.z, style_);
    packer.Real(a.x + length * c, style_);
    packer.Real(a.y + length * s, style_);
    EndEntity(packer, a.z);
  }

  void MakeArc(Packer& packer) {
    const double zt = rng_.Chance(0.7) ? 0.0 : ModelCoordinate(rng_);
    const double xc = ModelCoordinate(rng_), yc = ModelCoordinate(rng_);
    const double r = rng_.Chance(0.4) ? rng_.Range(1, 100) * 0.5 : rng_.Uniform(0.2, 150.0);
    double c1, s1, c2, s2;
    RationalAngle(rng_.Uniform(-1.0, 1.0), &c1, &s1);
    RationalAngle(rng_.Uniform(-1.0, 1.0), &c2, &s2);
    packer.Real(zt, style_);
    packer.Real(xc, style_);
    packer.Real(yc, style_);
    packer.Real(xc + r * c1, style_);
    packer.Real(yc + r * s1, style_);
    packer.Real(xc + r * c2, style_);
    EndEntity(packer, yc + r * s2);
  }

  void MakePoint(Packer& packer) {
    packer.Real(ModelCoordinate(rng_), style_);
    packer.Real(ModelCoordinate(rng_), style_);
    packer.Real(ModelCoordinate(rng_), style_);
    if (rng_.Chance(0.25)) {
      packer.Integer(0);
      packer.Integer(0);
      packer.Integer(0, ';');
    } else {
      packer.Integer(0, ';');
    }
  }

  // A rotation about a random axis (from a quaternion) and a translation.
  void MakeMatrix(Packer& packer) {
    double w = rng_.Uniform(-1, 1), x = rng_.Uniform(-1, 1), y = rng_.Uniform(-1, 1), z = rng_.Uniform(-1, 1);
    const double norm = std::sqrt(w * w + x * x + y * y + z * z);
    if (norm < 1e-3) w = 1.0, x = y = z = 0.0;
    else w /= norm, x /= norm, y /= norm, z /= norm;
    const double m[3][3] = {
        {1 - 2 * (y * y + z * z), 2 * (x * y - z * w), 2 * (x * z + y * w)},
        {2 * (x * y + z * w), 1 - 2 * (x * x + z * z), 2 * (y * z - x * w)},
        {2 * (x * z - y * w), 2 * (y * z + x * w), 1 - 2 * (x * x + y * y)},
    };
    for (int row = 0; row < 3; ++row) {
      for (int col = 0; col < 3; ++col) packer.Real(m[row][col], style_);
      if (row < 2) packer.Real(ModelCoordinate(rng_), style_);
    }
    EndEntity(packer, ModelCoordinate(rng_));
  }

  // A clamped B-spline curve of degree 1 to 3, polynomial or rational,
  // through a wandering chain of control points.
  void MakeSpline(Packer& packer) {
    const int degree = rng_.Chance(0.8) ? 3 : rng_.Range(1, 2);
    const int points = rng_.Chance(0.1) ? rng_.Range(17, 60) : rng_.Range(degree + 1, 16);
    const int k = points - 1;
    const bool planar = rng_.Chance(0.5);
    const bool rational = rng_.Chance(0.3);
    packer.Integer(k);
    packer.Integer(degree);
    packer.Integer(planar ? 1 : 0);
    packer.Integer(0);
    packer.Integer(rational ? 0 : 1);
    packer.Integer(0);
    // Knots: degree + 1 zeros, increasing interior knots, degree + 1 ends.
    const int interior = k - degree;
    const double span = rng_.Chance(0.5) ? 1.0 : rng_.Uniform(1.0, 400.0);
    for (int i = 0; i <= degree; ++i) packer.Real(0.0, style_);
    double knot = 0.0;
    std::vector<double> steps(static_cast<std::size_t>(interior + 1));
    double total = 0.0;
    for (double& step : steps) total += (step = rng_.Uniform(0.5, 1.5));
    for (int i = 0; i < interior; ++i) {
      knot += steps[static_cast<std::size_t>(i)] / total * span;
      packer.Real(knot, style_);
    }
    for (int i = 0; i <= degree; ++i) packer.Real(span, style_);
    for (int i = 0; i < points; ++i) packer.Real(rational ? rng_.Uniform(0.5, 2.0) : 1.0, style_);
    Vec3 p{ModelCoordinate(rng_), ModelCoordinate(rng_), planar ? 0.0 : ModelCoordinate(rng_)};
    for (int i = 0; i < points; ++i) {
      packer.Real(p.x, style_);
      packer.Real(p.y, style_);
      packer.Real(p.z, style_);
      p.x += rng_.Uniform(-20.0, 40.0);
      p.y += rng_.Uniform(-30.0, 30.0);
      if (!planar) p.z += rng_.Uniform(-10.0, 10.0);
    }
    packer.Real(0.0, style_);
    packer.Real(span, style_);
    packer.Real(0.0, style_);
    packer.Real(0.0, style_);
    EndEntity(packer, planar ? 1.0 : 0.0);
  }

  // --- General Notes -------------------------------------------------------

  static constexpr int kOtherFonts[] = {1001, 1002, 3};
  static constexpr double kTextHeights[] = {2.5, 3.5, 3.5, 5.0, 5.0, 7.0, 10.0};

  enum class TextKind { kAscii, kShiftJis, kMixed, kHalfWidth, kJisCode };

  struct NoteText {
    std::string bytes;
    int characters = 0;       // a two-byte character counts once
    double widthUnits = 0.0;  // box width in character heights
    int fontCode = 1;
  };

  NoteText MakeText(TextKind kind) {
    NoteText text;
    std::vector<std::uint16_t> codes;
    switch (kind) {
      case TextKind::kAscii: {
        text.bytes = rng_.Pick(kAsciiNotes);
        if (rng_.Chance(0.3)) {
          char number[24];
          std::snprintf(number, sizeof number, " %d.%d", rng_.Range(1, 999), rng_.Range(0, 9));
          text.bytes += number;
        }
        text.characters = static_cast<int>(text.bytes.size());
        text.widthUnits = 0.7 * text.characters;
        text.fontCode = rng_.Chance(0.8) ? 1 : rng_.Pick(kOtherFonts);
        break;
      }
      case TextKind::kShiftJis:
        codes = MakeJisPhrase(rng_);
        AppendShiftJis(codes, &text.bytes);
        text.characters = static_cast<int>(codes.size());
        text.widthUnits = text.characters;
        break;
      case TextKind::kMixed: {
        // e.g. "M6" + "ﾀｯﾌﾟ" + "深さ" + "12": every class change starts a segment.
        char lead[16];
        std::snprintf(lead, sizeof lead, "%s%d", rng_.Chance(0.5) ? "M" : "", rng_.Range(3, 24));
        text.bytes = lead;
        text.bytes += rng_.Pick(kHalfWidthWords);
        codes = MakeJisPhrase(rng_);
        if (codes.size() > 6) codes.resize(6);
        AppendShiftJis(codes, &text.bytes);
        std::snprintf(lead, sizeof lead, "%d", rng_.Range(1, 60));
        text.bytes += lead;
        // characters: everything single-byte plus the two-byte ones once
        text.characters = static_cast<int>(text.bytes.size() - codes.size());
        text.widthUnits = 0.6 * (text.characters - static_cast<int>(codes.size())) + static_cast<double>(codes.size());
        break;
      }
      case TextKind::kHalfWidth: {
        const int words = rng_.Range(1, 3);
        for (int i = 0; i < words; ++i) {
          if (i > 0) text.bytes += ' ';
          text.bytes += rng_.Pick(kHalfWidthWords);
        }
        if (rng_.Chance(0.3)) text.bytes += std::to_string(rng_.Range(1, 99));
        text.characters = static_cast<int>(text.bytes.size());
        text.widthUnits = 0.6 * text.characters;
        break;
      }
      case TextKind::kJisCode:
        codes = MakeJisPhrase(rng_);
        AppendJisNotation(codes, rng_.Chance(0.6), &text.bytes);
        text.characters = static_cast<int>(codes.size());
        text.widthUnits = text.characters;
        text.fontCode = 2001;
        break;
    }
    return text;
  }

  TextKind PickJapaneseKind() {
    const std::uint32_t r = rng_.Below(100);
    if (r < 40) return TextKind::kShiftJis;
    if (r < 55) return TextKind::kMixed;
    if (r < 70) return TextKind::kHalfWidth;
    if (r < 92) return TextKind::kJisCode;
    return TextKind::kAscii;  // a drawing number among Japanese notes
  }

  // One vertical string of many Shift-JIS characters.
  void MakeLongVerticalNote(Packer& packer) {
    std::vector<std::uint16_t> codes;
    const std::size_t characters = static_cast<std::size_t>(rng_.Range(300, 1000));
    while (codes.size() < characters) {
      const std::vector<std::uint16_t> phrase = MakeJisPhrase(rng_);
      codes.insert(codes.end(), phrase.begin(), phrase.end());
    }
    codes.resize(characters);
    std::string bytes;
    AppendShiftJis(codes, &bytes);
    if (summary_) {
      ++summary_->notes;
      ++summary_->japaneseNotes;
      ++summary_->noteStrings;
      ++summary_->shiftJisStrings;
      ++summary_->verticalStrings;
    }
    const double height = rng_.Pick(kTextHeights);
    packer.Integer(1);
    packer.Integer(static_cast<int>(bytes.size()));
    packer.Real(height, RealStyle::kShortest);
    packer.Real(height * static_cast<double>(characters), RealStyle::kShortest);
    packer.Integer(1);
    packer.Real(0.0, RealStyle::kShortest);
    packer.Real(0.0, RealStyle::kShortest);
    packer.Integer(0);
    packer.Integer(1);
    packer.Real(rng_.Range(0, 8400) * 0.05, RealStyle::kShortest);
    packer.Real(rng_.Range(0, 5940) * 0.05, RealStyle::kShortest);
    packer.Real(0.0, RealStyle::kShortest);
    packer.Hollerith(bytes, ';', rng_.Chance(0.5));
  }

  void MakeNote(Packer& packer) {
    if (options_.profile == GeneratorProfile::kGrowth) return MakeLongVerticalNote(packer);
    const bool japanese = rng_.Chance(options_.japaneseShare);
    const std::uint32_t r = rng_.Below(100);
    const int strings = r < 60 ? 1 : r < 85 ? 2 : r < 95 ? 3 : rng_.Range(4, 8);
    if (summary_) {
      ++summary_->notes;
      if (japanese) ++summary_->japaneseNotes;
      summary_->noteStrings += static_cast<std::uint64_t>(strings);
    }
    packer.Integer(strings);
    double x = rng_.Range(0, 8400) * 0.05;
    double y = rng_.Range(0, 5940) * 0.05;
    const double height = rng_.Pick(kTextHeights);
    const double angle = rng_.Chance(0.1) ? 1.5707963267949 : rng_.Chance(0.03) ? rng_.Uniform(-3.0, 3.0) : 0.0;
    for (int i = 0; i < strings; ++i) {
      const TextKind kind = japanese ? PickJapaneseKind() : TextKind::kAscii;
      NoteText text = MakeText(kind);
      const bool vertical = kind == TextKind::kAscii ? rng_.Chance(0.02) : rng_.Chance(0.25);
      const bool negative = rng_.Chance(0.06);
      // NC: the byte count, as converters write it; some writers of
      // Shift-JIS text count a two-byte character once.
      int nc = static_cast<int>(text.bytes.size());
      if ((kind == TextKind::kShiftJis || kind == TextKind::kMixed) && rng_.Chance(0.3)) nc = text.characters;
      double width = text.widthUnits * height;
      double boxHeight = height;
      if (vertical) {
        width = height;
        boxHeight = height * text.characters;
      }
      if (negative) width = -width;
      if (summary_) {
        if (kind == TextKind::kShiftJis || kind == TextKind::kMixed) ++summary_->shiftJisStrings;
        if (kind == TextKind::kHalfWidth || kind == TextKind::kMixed) ++summary_->halfWidthStrings;
        if (kind == TextKind::kJisCode) ++summary_->jisCodeStrings;
        if (vertical) ++summary_->verticalStrings;
        if (negative) ++summary_->negativeWidthStrings;
      }
      const std::uint32_t mirror = rng_.Below(100);
      packer.Integer(nc);
      packer.Real(width, RealStyle::kShortest);
      packer.Real(boxHeight, RealStyle::kShortest);
      packer.Integer(text.fontCode);
      packer.Real(rng_.Chance(0.05) ? 0.2617993877991 : 0.0, RealStyle::kShortest);
      packer.Real(angle, RealStyle::kShortest);
      packer.Integer(mirror < 95 ? 0 : mirror < 98 ? 1 : 2);
      packer.Integer(vertical ? 1 : 0);
      packer.Real(x, RealStyle::kShortest);
      packer.Real(y, RealStyle::kShortest);
      packer.Real(0.0, RealStyle::kShortest);
      const bool last = i + 1 == strings;
      const bool counts = last && rng_.Chance(0.4);
      packer.Hollerith(text.bytes, last && !counts ? ';' : ',', rng_.Chance(0.5));
      if (counts) {
        packer.Integer(0);
        packer.Integer(0, ';');
      }
      y -= 1.6 * (vertical ? boxHeight : height);
      if (y < 0) y += 297.0;
    }
  }

  const GeneratorOptions& options_;
  Random rng_;
  GeneratorSummary* summary_;
  RealStyle style_ = RealStyle::kShortest;
};

// ---------------------------------------------------------------------------
// Directory Entry fields other than the pointer, line count and sequence
// numbers, from the entity's type and position alone.

struct DirectoryFields {
  int level;
  int transform;  // D sequence number of a 124 entity, or 0
  int color;
  int form;
  const char* status;
  const char* label;
};

DirectoryFields MakeDirectoryFields(std::uint64_t seed, std::uint64_t index, int slot, std::uint64_t lastMatrix) {
  std::uint64_t state = seed ^ (index * 0xD1B54A32D192ED03ull);
  Random rng(SplitMix(&state));
  DirectoryFields f{};
  f.level = rng.Chance(0.7) ? 0 : rng.Range(1, 255);
  f.color = rng.Range(0, 8);
  f.transform = (slot != kMatrix && slot != kNote && lastMatrix != 0 && rng.Chance(0.3))
                    ? static_cast<int>(lastMatrix)
                    : 0;
  f.form = 0;
  switch (slot) {
    case kArc: f.label = "     ARC"; f.status = "00000000"; break;
    case kLine: f.label = "    LINE"; f.status = "00000000"; break;
    case kPoint: f.label = "   POINT"; f.status = "00000000"; break;
    case kMatrix: f.label = "  MATRIX"; f.status = "00000200"; f.color = 0; break;
    case kSpline:
      f.label = "  BSPLIN";
      f.status = "00000000";
      f.form = rng.Chance(0.8) ? 0 : rng.Range(1, 5);
      break;
    default: f.label = "    NOTE"; f.status = "00010100"; break;
  }
  return f;
}

// Right-aligned decimal in `width` columns (the value always fits here).
void PutNumber(char* at, std::size_t width, std::uint64_t value) {
  std::memset(at, ' ', width);
  char* p = at + width;
  do {
    *--p = static_cast<char>('0' + value % 10);
    value /= 10;
  } while (value != 0 && p > at);
}

class RecordWriter {
 public:
  explicit RecordWriter(const ChunkSink& sink) : sink_(sink) { buffer_.reserve(kBufferSize + 128); }
  ~RecordWriter() = default;

  // Appends one record: `data` (at most 72 columns, blank padded) and the
  // section letter with the sequence number.
  void Record(std::string_view data, char letter, std::uint64_t sequence) {
    char* at = Grow(kRecordColumns + 1);
    std::memset(at, ' ', 72);
    std::memcpy(at, data.data(), std::min<std::size_t>(data.size(), 72));
    at[72] = letter;
    PutNumber(at + 73, 7, sequence);
    at[80] = '\n';
  }
  // A P record from 64 data columns.
  void ParameterRecord(const char* data, std::uint64_t directory, std::uint64_t sequence) {
    char* at = Grow(kRecordColumns + 1);
    std::memcpy(at, data, kDataColumns);
    at[64] = ' ';
    PutNumber(at + 65, 7, directory);
    at[72] = 'P';
    PutNumber(at + 73, 7, sequence);
    at[80] = '\n';
  }
  void Flush() {
    if (!buffer_.empty() && !sink_(buffer_.data(), buffer_.size())) throw std::runtime_error("cannot write the output");
    bytes_ += buffer_.size();
    buffer_.clear();
  }
  std::uint64_t bytes() const { return bytes_ + buffer_.size(); }

 private:
  static constexpr std::size_t kBufferSize = 1 << 20;
  char* Grow(std::size_t n) {
    if (buffer_.size() + n > kBufferSize) Flush();
    const std::size_t at = buffer_.size();
    buffer_.resize(at + n);
    return buffer_.data() + at;
  }
  const ChunkSink& sink_;
  std::string buffer_;
  std::uint64_t bytes_ = 0;
};

std::vector<std::string> StartLines(const GeneratorOptions& options) {
  char line[96];
  std::vector<std::string> lines;
  lines.emplace_back("notora benchmark model: geometry with General Notes in English and");
  lines.emplace_back("Japanese (Shift-JIS, half-width katakana, JIS-code notation).");
  std::snprintf(line, sizeof line, "Generated by notora-generate-iges, seed %llu, target %llu bytes.",
                static_cast<unsigned long long>(options.seed), static_cast<unsigned long long>(options.targetBytes));
  lines.emplace_back(line);
  return lines;
}

std::vector<std::string> GlobalLines() {
  auto hollerith = [](std::string_view s) { return std::to_string(s.size()) + "H" + std::string(s); };
  const std::string stamp = "20240401.093000";
  std::string g = "1H,,1H;," + hollerith("BENCH-ASSY-0001") + "," + hollerith("bench_model.igs") + "," +
                  hollerith("notora benchmark generator") + "," + hollerith("notora-generate-iges 1") +
                  ",32,38,6,308,15," + hollerith("BENCH-ASSY-0001") + ",1.,2," + hollerith("MM") + ",1,0.02," +
                  hollerith(stamp) + ",0.001,10000.," + hollerith("bench") + "," + hollerith("notora") +
                  ",11,0," + hollerith(stamp) + ";";
  std::vector<std::string> lines;
  for (std::size_t at = 0; at < g.size(); at += 72) lines.push_back(g.substr(at, 72));
  return lines;
}

}  // namespace

GeneratorSummary GenerateIges(const GeneratorOptions& options, const ChunkSink& sink) {
  GeneratorSummary summary;
  const std::vector<std::string> start = StartLines(options);
  const std::vector<std::string> global = GlobalLines();
  summary.startRecords = start.size();
  summary.globalRecords = global.size();

  // Sweep 1: types and record counts, until the target size is reached.
  std::vector<std::uint8_t> slots;
  std::vector<std::uint32_t> lines;
  std::string param;
  {
    EntityFactory factory(options, &summary);
    std::uint64_t records = start.size() + global.size() + 1;
    while (slots.empty() || records * (kRecordColumns + 1) < options.targetBytes) {
      const int slot = factory.Next(&param);
      const std::uint32_t count = static_cast<std::uint32_t>(param.size() / kDataColumns);
      slots.push_back(static_cast<std::uint8_t>(slot));
      lines.push_back(count);
      summary.directoryRecords += 2;
      summary.parameterRecords += count;
      records += 2 + count;
      if (summary.directoryRecords > kMaxSequence || summary.parameterRecords > kMaxSequence)
        throw std::runtime_error("the target size needs more than 9999999 records in one section");
    }
  }
  RecordWriter out(sink);
  for (std::size_t i = 0; i < start.size(); ++i) out.Record(start[i], 'S', i + 1);
  for (std::size_t i = 0; i < global.size(); ++i) out.Record(global[i], 'G', i + 1);

  // Sweep 2: Directory Entry pairs.
  {
    // In reverse order an entity's records follow those of every entity
    // after it.
    std::uint64_t pointer = 1;
    if (options.reverseParameters) {
      for (std::uint32_t count : lines) pointer += count;
    }
    std::uint64_t lastMatrix = 0;
    char first[128], second[128];
    for (std::size_t k = 0; k < slots.size(); ++k) {
      const int slot = slots[k];
      const int type = kTypeNumbers[slot];
      const std::uint64_t sequence = 2 * k + 1;
      const DirectoryFields f = MakeDirectoryFields(options.seed, k, slot, lastMatrix);
      if (options.reverseParameters) pointer -= lines[k];
      std::snprintf(first, sizeof first, "%8d%8llu%8d%8d%8d%8d%8d%8d%8s", type,
                    static_cast<unsigned long long>(pointer), 0, 1, f.level, 0, f.transform, 0, f.status);
      std::snprintf(second, sizeof second, "%8d%8d%8d%8u%8d%8s%8s%8s%8llu", type, 0, f.color, lines[k], f.form, "",
                    "", f.label, static_cast<unsigned long long>(k + 1));
      out.Record(first, 'D', sequence);
      out.Record(second, 'D', sequence + 1);
      if (!options.reverseParameters) pointer += lines[k];
      if (slot == kMatrix) lastMatrix = sequence;
    }
  }

  // Sweep 3: Parameter Data, the same entities made again.
  {
    EntityFactory factory(options, nullptr);
    std::uint64_t sequence = 0;
    // In reverse order the entities are made first, and kept.
    std::vector<std::string> kept;
    for (std::size_t k = 0; k < slots.size(); ++k) {
      const int slot = factory.Next(&param);
      if (slot != slots[k] || param.size() / kDataColumns != lines[k])
        throw std::logic_error("the entity sequence is not reproducible");
      if (options.reverseParameters) {
        kept.push_back(param);
        continue;
      }
      for (std::size_t at = 0; at < param.size(); at += kDataColumns)
        out.ParameterRecord(param.data() + at, 2 * k + 1, ++sequence);
    }
    for (std::size_t k = kept.size(); k-- > 0;) {
      for (std::size_t at = 0; at < kept[k].size(); at += kDataColumns)
        out.ParameterRecord(kept[k].data() + at, 2 * k + 1, ++sequence);
      std::string().swap(kept[k]);
    }
  }

  char terminate[128];
  std::snprintf(terminate, sizeof terminate, "S%7lluG%7lluD%7lluP%7llu",
                static_cast<unsigned long long>(summary.startRecords),
                static_cast<unsigned long long>(summary.globalRecords),
                static_cast<unsigned long long>(summary.directoryRecords),
                static_cast<unsigned long long>(summary.parameterRecords));
  out.Record(terminate, 'T', 1);
  out.Flush();
  summary.bytes = out.bytes();
  return summary;
}

std::string GenerateIgesString(const GeneratorOptions& options, GeneratorSummary* summary) {
  std::string text;
  text.reserve(static_cast<std::size_t>(options.targetBytes) + (1 << 16));
  const GeneratorSummary s = GenerateIges(options, [&text](const char* data, std::size_t size) {
    text.append(data, size);
    return true;
  });
  if (summary) *summary = s;
  return text;
}

void ApplyProfile(GeneratorProfile profile, GeneratorOptions* options) {
  options->profile = profile;
  if (profile == GeneratorProfile::kNoteDense) {
    options->noteShare = 0.08;
    options->japaneseShare = 0.72;
  }
  if (profile == GeneratorProfile::kGrowth) {
    options->noteShare = 0.3;
    options->japaneseShare = 1.0;
  }
}

bool ParseSize(const std::string& text, std::uint64_t* bytes) {
  if (text.empty()) return false;
  std::uint64_t value = 0;
  const char* begin = text.data();
  const char* end = begin + text.size();
  auto [ptr, ec] = std::from_chars(begin, end, value);
  if (ec != std::errc() || ptr == begin) return false;
  std::uint64_t unit = 1;
  if (ptr != end) {
    switch (*ptr) {
      case 'k': case 'K': unit = 1'000; break;
      case 'm': case 'M': unit = 1'000'000; break;
      case 'g': case 'G': unit = 1'000'000'000; break;
      default: return false;
    }
    ++ptr;
    if (ptr != end && (*ptr == 'B' || *ptr == 'b')) ++ptr;
    if (ptr != end) return false;
  }
  *bytes = value * unit;
  return true;
}

}  // namespace notora::bench
