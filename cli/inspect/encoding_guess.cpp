#include "cli/inspect/encoding_guess.h"

#include "iges/record_format.h"
#include "note/text_encoding.h"
#include "view/conversion_flags.h"

namespace notora {
namespace {

constexpr TextEncoding kEncodings[3] = {TextEncoding::kShiftJis, TextEncoding::kEucJp,
                                        TextEncoding::kUtf8};

bool IsAscii(std::string_view text) {
  for (char c : text) {
    if (static_cast<unsigned char>(c) >= 0x80) return false;
  }
  return true;
}

}  // namespace

void EncodingGuess::OnNoteString(const ParameterEntity&, std::int32_t, std::int32_t,
                                 const NoteString& asRead, std::string_view text) {
  if (asRead.FC != kJisCodeFont) Weigh(text);
}

void EncodingGuess::OnDrawingText(const DrawingTextPlace&, std::string_view text) { Weigh(text); }

void EncodingGuess::Weigh(std::string_view text) {
  if (IsAscii(text)) return;
  nonAscii_ = true;
  for (int i = 0; i < 3; ++i) {
    if (fits_[i] && !IsValidText(text, kEncodings[i])) fits_[i] = false;
  }
}

std::vector<TextEncoding> EncodingGuess::Candidates() const {
  std::vector<TextEncoding> candidates;
  for (int i = 0; i < 3; ++i) {
    if (fits_[i]) candidates.push_back(kEncodings[i]);
  }
  return candidates;
}

std::string EncodingGuess::Verdict() const {
  if (!nonAscii_) return "ascii";
  const std::vector<TextEncoding> candidates = Candidates();
  if (candidates.empty()) return "none";
  if (candidates.size() > 1) return "ambiguous";
  return EncodingName(candidates.front());
}

}  // namespace notora
