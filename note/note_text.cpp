#include "note/note_text.h"

#include "iges/record_format.h"
#include "note/cp932.h"
#include "note/cp932_unicode.h"
#include "note/text_encoding.h"

namespace notora {
namespace {

constexpr std::string_view kReplacement = "\xEF\xBF\xBD";  // U+FFFD

std::string DecodeJisCode(std::string_view text) {
  std::string out;
  for (std::size_t i = 0; i < text.size(); i += kJisCodeDigits) {
    const std::uint16_t shiftJis =
        cp932::JisToShiftJis(cp932::ReadJisCode(text.substr(i, kJisCodeDigits)));
    const std::int32_t unicode = shiftJis == 0 ? -1 : cp932::ToUnicode(shiftJis);
    if (unicode < 0) {
      out.append(kReplacement);
    } else {
      AppendUtf8(unicode, &out);
    }
  }
  return out;
}

}  // namespace

std::string DecodeNoteText(std::string_view text, std::int32_t FC, TextEncoding encoding,
                           bool* valid) {
  if (FC == kJisCodeFont) {
    if (valid != nullptr) *valid = true;
    return DecodeJisCode(text);
  }
  return ToUtf8(text, encoding, valid);
}

}  // namespace notora
