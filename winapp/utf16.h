// Text at the Win32 API: notora keeps UTF-8 inside and speaks UTF-16 to the
// system. Invalid UTF-8 becomes U+FFFD; unpaired surrogates become U+FFFD.
#pragma once

#include <string>
#include <string_view>

namespace notora {

std::wstring Utf16FromUtf8(std::string_view text);
std::string Utf8FromUtf16(std::wstring_view text);

}  // namespace notora
