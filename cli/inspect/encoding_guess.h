// EncodingGuess: which encoding the text of a drawing is in, judged from
// every string of its notes whose font is not 2001 (JIS-code text is ASCII)
// and every other text: the Start and Global sections, the strings of other
// entities and the labels.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "note/note_observer.h"
#include "base/run_options.h"

namespace notora {

class EncodingGuess : public NoteObserver {
 public:
  void OnNoteString(const ParameterEntity& entity, std::int32_t stringNumber,
                    std::int32_t stringCount, const NoteString& asRead,
                    std::string_view text) override;
  bool WantsDrawingTexts() const override { return true; }
  void OnDrawingText(const DrawingTextPlace& place, std::string_view text) override;

  // The encodings in which every text seen holds no invalid byte sequence,
  // in the order Shift-JIS, EUC-JP, UTF-8; all three when every text is
  // ASCII.
  std::vector<TextEncoding> Candidates() const;
  // "ascii" when every text seen is ASCII (or none was seen); otherwise the
  // one candidate's name ("shift_jis", "euc-jp", "utf-8"), "ambiguous" when
  // there are several and "none" when there is none.
  std::string Verdict() const;

 private:
  void Weigh(std::string_view text);

  bool nonAscii_ = false;
  // Per encoding, in the order of TextEncoding: no text has been invalid in it.
  bool fits_[3] = {true, true, true};
};

}  // namespace notora
