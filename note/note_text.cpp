#include "note/note_text.h"

#include <array>

#include "iges/record_format.h"
#include "note/cp932.h"
#include "note/cp932_decoder.h"

namespace notora {
namespace {

constexpr std::string_view kReplacement = "\xEF\xBF\xBD";  // U+FFFD

std::string DecodeShiftJis(std::string_view text, Cp932Decoder* decoder) {
  std::string out;
  out.reserve(text.size() * 2);
  for (std::size_t i = 0; i < text.size(); ++i) {
    const bool lead = cp932::IsLeadByte(static_cast<unsigned char>(text[i]));
    if (lead && i + 1 >= text.size()) {
      out.append(kReplacement);
      break;
    }
    const std::size_t length = lead ? 2 : 1;
    if (!decoder->Append(text.substr(i, length), &out)) out.append(kReplacement);
    i += length - 1;
  }
  return out;
}

std::string DecodeJisCode(std::string_view text, Cp932Decoder* decoder) {
  std::string out;
  for (std::size_t i = 0; i < text.size(); i += kJisCodeDigits) {
    const std::uint16_t shiftJis =
        cp932::JisToShiftJis(cp932::ReadJisCode(text.substr(i, kJisCodeDigits)));
    if (shiftJis == 0) {
      out.append(kReplacement);
      continue;
    }
    const char bytes[2] = {static_cast<char>(shiftJis >> 8), static_cast<char>(shiftJis & 0xFF)};
    if (!decoder->Append(std::string_view(bytes, 2), &out)) out.append(kReplacement);
  }
  return out;
}

}  // namespace

std::string DecodeNoteText(std::string_view text, std::int32_t FC) {
  Cp932Decoder decoder;
  if (FC == kJisCodeFont) return DecodeJisCode(text, &decoder);
  return DecodeShiftJis(text, &decoder);
}

}  // namespace notora
