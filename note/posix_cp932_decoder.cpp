#include "note/cp932_decoder.h"

#include <iconv.h>

#include <array>

namespace notora {
namespace {

const iconv_t kNoDescriptor = reinterpret_cast<iconv_t>(-1);

}  // namespace

// One conversion descriptor for the life of the decoder. glibc's "CP932"
// covers the NEC and IBM extensions.
Cp932Decoder::Cp932Decoder() : state_(iconv_open("UTF-8", "CP932")) {}

Cp932Decoder::~Cp932Decoder() {
  if (state_ != kNoDescriptor) iconv_close(state_);
}

bool Cp932Decoder::Append(std::string_view bytes, std::string* out) {
  if (state_ == kNoDescriptor) return false;
  std::array<char, 16> buffer{};
  iconv(state_, nullptr, nullptr, nullptr, nullptr);
  char* in = const_cast<char*>(bytes.data());
  std::size_t inLeft = bytes.size();
  char* converted = buffer.data();
  std::size_t outLeft = buffer.size();
  const std::size_t status = iconv(state_, &in, &inLeft, &converted, &outLeft);
  if (status == static_cast<std::size_t>(-1) || inLeft != 0 || converted == buffer.data()) {
    return false;
  }
  out->append(buffer.data(), converted);
  return true;
}

}  // namespace notora
