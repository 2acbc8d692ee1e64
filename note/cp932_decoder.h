// Cp932Decoder: single code page 932 characters to UTF-8, by the system's
// own tables (glibc's iconv "CP932" on Linux, Windows' code page 932 on
// Windows; posix_cp932_decoder.cpp and windows_cp932_decoder.cpp). Both
// cover the NEC and IBM extensions and agree on every character.
#pragma once

#include <string>
#include <string_view>

namespace notora {

class Cp932Decoder {
 public:
  Cp932Decoder();
  ~Cp932Decoder();
  Cp932Decoder(const Cp932Decoder&) = delete;
  Cp932Decoder& operator=(const Cp932Decoder&) = delete;

  // Appends the UTF-8 of the one character `bytes` (one byte, or a lead
  // byte and its trail byte) to `*out`. False, with nothing appended, when
  // the character has no Unicode counterpart.
  bool Append(std::string_view bytes, std::string* out);

 private:
  // The system's conversion state, when it needs one.
  void* state_;
};

}  // namespace notora
