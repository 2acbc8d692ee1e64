// The encodings note text is read in and written in, and the conversion of
// text between each of them and code page 932, in which notes are converted.
//
// - Shift-JIS is code page 932 itself.
// - EUC-JP: ASCII; the JIS X 0208 characters as their JIS code with the high
//   bit set on both bytes, related to Shift-JIS by the JIS X 0208 arithmetic
//   (cp932.h); the half-width katakana 0xA1-0xDF behind SS2 (0x8E). JIS X
//   0212 characters (behind SS3, 0x8F) are read as well formed but have no
//   code page 932 character. The extensions of code page 932 have no EUC-JP
//   form: NEC row 13 (0x8740-0x879C), the NEC-selected IBM extensions (rows
//   89-92, 0xED40-0xEEFC), the IBM extensions (rows 115-119, 0xFA40-0xFC4B)
//   and the user-defined area (0xF040-0xF9FC); nor have the EUC-JP codes of
//   those rows a code page 932 character.
// - UTF-8, read strictly: an overlong form, a surrogate, a value above
//   U+10FFFF, a stray continuation byte or a sequence cut short is invalid.
//   Characters go to and from code page 932 by the one mapping of
//   cp932_unicode.h.
//
// A character that has no counterpart on the other side becomes the fallback
// character and is counted; an invalid byte sequence is reported by where it
// starts. Bytes below 0x80 pass through every conversion as they are.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "base/run_options.h"

namespace notora {

// The ideographic space and the full-width quotation mark "＂", the two
// fallback characters, as code page 932 codes.
inline constexpr std::uint16_t kIdeographicSpaceCode = 0x8140;
inline constexpr std::uint16_t kFullWidthQuotationCode = 0xFA57;

// The full-width fallback character that `options` choose (fullWidthFallback)
// as a code page 932 code, as options.outputEncoding can write it.
std::uint16_t FullWidthFallbackCode(const RunOptions& options);

// Returned by ToCp932 when the whole text is valid.
inline constexpr std::size_t kTextValid = static_cast<std::size_t>(-1);

// The name messages give `encoding`: "Shift-JIS", "EUC-JP" or "UTF-8".
std::string_view EncodingDisplayName(TextEncoding encoding);

// `preferred` (a code page 932 code) when text in `encoding` can hold it,
// otherwise the ideographic space: EUC-JP has no "＂".
std::uint16_t FallbackFor(TextEncoding encoding, std::uint16_t preferred);

// Appends `text`, read in `encoding`, to `*out` in code page 932. A character
// without a code page 932 counterpart becomes `fallback` (a code page 932
// code) and adds 1 to `*unconvertible`. Shift-JIS text is copied as it
// stands. Returns kTextValid, or the index of the first byte of the first
// invalid sequence, at which the conversion stopped. When `sourceIndices` is
// not null it receives, for every byte appended, the index in `text` of the
// character it came from.
std::size_t ToCp932(std::string_view text, TextEncoding encoding, std::uint16_t fallback,
                    std::string* out, std::int64_t* unconvertible,
                    std::vector<std::int32_t>* sourceIndices = nullptr);

// Appends code page 932 `text` to `*out` in `encoding`. A character that
// `encoding` cannot hold (in Shift-JIS none: the bytes are copied) becomes
// `fallback`, which `encoding` must hold (FallbackFor), and adds 1 to
// `*unconvertible`; so do a lead byte without its trail byte and the bytes
// 0x80, 0xA0 and 0xFD-0xFF.
void FromCp932(std::string_view text, TextEncoding encoding, std::uint16_t fallback,
               std::string* out, std::int64_t* unconvertible);

// The index of the first byte of the first invalid sequence of `text` in
// `encoding` (in Shift-JIS as ToUtf8 judges it), or kTextValid.
std::size_t FirstInvalidAt(std::string_view text, TextEncoding encoding);

// The bytes taken by the character that starts at `index` of `text` in
// `encoding`: 1 where no valid sequence starts.
std::size_t CharacterLength(std::string_view text, std::size_t index, TextEncoding encoding);

// Appends `text`, read in `from`, to `*out` in `to`, through code page 932
// (ToCp932, then FromCp932): a character that either step cannot carry
// becomes `fallback` (a code page 932 code that `to` holds) and adds 1 to
// `*unconvertible`. Returns kTextValid, or the index of the first byte of
// the first invalid sequence of `text` (FirstInvalidAt), in which case
// nothing is appended.
std::size_t TranscodeText(std::string_view text, TextEncoding from, TextEncoding to,
                          std::uint16_t fallback, std::string* out,
                          std::int64_t* unconvertible);

// `text`, read in `encoding`, as UTF-8 for a person to read: every invalid
// sequence and every character without a Unicode counterpart becomes U+FFFD.
// In Shift-JIS a lead byte without a valid trail byte (0x40-0x7E, 0x80-0xFC)
// and the bytes 0x80, 0xA0 and 0xFD-0xFF are invalid. `*valid`, when not
// null, is set to false when an invalid sequence was met and true otherwise.
std::string ToUtf8(std::string_view text, TextEncoding encoding, bool* valid = nullptr);

// True when `text` holds no invalid byte sequence in `encoding` (in the
// sense of ToUtf8).
bool IsValidText(std::string_view text, TextEncoding encoding);

// Appends the UTF-8 form of Unicode character `character` (0 to U+10FFFF, no
// surrogate) to `*out`.
void AppendUtf8(std::int32_t character, std::string* out);

// The code point of the UTF-8 sequence at `*index` of `text`, with `*index`
// advanced past it; -1, with `*index` advanced by one byte, when no valid
// sequence starts there.
std::int32_t NextUtf8(std::string_view text, std::size_t* index);

}  // namespace notora
