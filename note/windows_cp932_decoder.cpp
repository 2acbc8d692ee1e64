#include "note/cp932_decoder.h"

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include "base/windows_text.h"

namespace notora {

// Windows' code page 932 holds its own state: none is needed here.
Cp932Decoder::Cp932Decoder() : state_(nullptr) {}

Cp932Decoder::~Cp932Decoder() = default;

bool Cp932Decoder::Append(std::string_view bytes, std::string* out) {
  if (bytes.empty() || bytes.size() > 2) return false;
  wchar_t wide[2];
  // MB_ERR_INVALID_CHARS: a byte with no character fails instead of being
  // mapped to a private-use or best-fit character.
  const int length = ::MultiByteToWideChar(932, MB_ERR_INVALID_CHARS, bytes.data(),
                                           static_cast<int>(bytes.size()), wide, 2);
  if (length <= 0) return false;
  out->append(Utf8Text(std::wstring_view(wide, static_cast<std::size_t>(length))));
  return true;
}

}  // namespace notora
