#include "view/utf8_text.h"

#include <array>
#include <utility>

#include "note/text_encoding.h"

namespace notora {
namespace {

constexpr std::string_view kReplacement = "\xEF\xBF\xBD";  // U+FFFD

// East Asian Wide (W) and Fullwidth (F) ranges that matter for text from
// code page 932 and its neighbours.
constexpr std::array<std::pair<std::int32_t, std::int32_t>, 15> kWideRanges = {{
    {0x1100, 0x115F},    // Hangul Jamo initials
    {0x2E80, 0x303E},    // CJK radicals, ideographic description, CJK symbols
    {0x3041, 0x33FF},    // kana, bopomofo, CJK compatibility
    {0x3400, 0x4DBF},    // CJK extension A
    {0x4E00, 0x9FFF},    // CJK unified ideographs
    {0xA000, 0xA4CF},    // Yi
    {0xAC00, 0xD7A3},    // Hangul syllables
    {0xF900, 0xFAFF},    // CJK compatibility ideographs
    {0xFE10, 0xFE19},    // vertical forms
    {0xFE30, 0xFE6F},    // CJK compatibility forms, small forms
    {0xFF00, 0xFF60},    // fullwidth forms
    {0xFFE0, 0xFFE6},    // fullwidth signs
    {0x1F300, 0x1F64F},  // pictographs
    {0x20000, 0x2FFFD},  // CJK extensions B and later
    {0x30000, 0x3FFFD},
}};

bool IsWide(std::int32_t code) {
  for (const auto& [first, last] : kWideRanges) {
    if (code >= first && code <= last) return true;
  }
  return false;
}

}  // namespace

int DisplayWidth(std::string_view utf8) {
  int width = 0;
  std::size_t index = 0;
  while (index < utf8.size()) {
    const std::int32_t code = NextUtf8(utf8, &index);
    width += code >= 0 && IsWide(code) ? 2 : 1;
  }
  return width;
}

std::string ToValidUtf8(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  std::size_t index = 0;
  while (index < text.size()) {
    const std::size_t start = index;
    if (NextUtf8(text, &index) < 0) {
      out.append(kReplacement);
    } else {
      out.append(text.substr(start, index - start));
    }
  }
  return out;
}

}  // namespace notora
