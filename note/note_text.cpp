#include "note/note_text.h"

#include <iconv.h>

#include <array>

#include "iges/record_format.h"
#include "note/cp932.h"

namespace notora {
namespace {

constexpr std::string_view kReplacement = "\xEF\xBF\xBD";  // U+FFFD

// One conversion descriptor from code page 932 to UTF-8, for the life of one
// decoding. glibc's "CP932" covers the NEC and IBM extensions.
class Cp932Decoder {
 public:
  Cp932Decoder() : descriptor_(iconv_open("UTF-8", "CP932")) {}
  ~Cp932Decoder() {
    if (usable()) iconv_close(descriptor_);
  }
  Cp932Decoder(const Cp932Decoder&) = delete;
  Cp932Decoder& operator=(const Cp932Decoder&) = delete;

  // Appends the UTF-8 of the one character `bytes` to `*out`, or U+FFFD when
  // it has none.
  void AppendCharacter(std::string_view bytes, std::string* out) {
    std::array<char, 16> buffer{};
    if (usable()) {
      iconv(descriptor_, nullptr, nullptr, nullptr, nullptr);
      char* in = const_cast<char*>(bytes.data());
      std::size_t inLeft = bytes.size();
      char* converted = buffer.data();
      std::size_t outLeft = buffer.size();
      const std::size_t status = iconv(descriptor_, &in, &inLeft, &converted, &outLeft);
      if (status != static_cast<std::size_t>(-1) && inLeft == 0 && converted != buffer.data()) {
        out->append(buffer.data(), converted);
        return;
      }
    }
    out->append(kReplacement);
  }

 private:
  bool usable() const { return descriptor_ != reinterpret_cast<iconv_t>(-1); }
  iconv_t descriptor_;
};

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
    decoder->AppendCharacter(text.substr(i, length), &out);
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
    decoder->AppendCharacter(std::string_view(bytes, 2), &out);
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
