// The parameter data emitter: places the fields of a rebuilt General Note in
// the 64-column data area of Parameter Data records.
//
// A text holds the data areas of consecutive P records, 64 bytes per record.
// Every field is placed by the packing rule: when a field (with its
// delimiter) would reach or cross the end of the current record, blanks are
// first appended up to the last record boundary at or below the field's end,
// so a field never ends in column 64 and a long field may be preceded by
// whole blank records.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "iges/record_format.h"
#include "note/parameter_lines.h"
#include "note/real_text.h"
#include "base/status.h"

namespace notora {

// The numeric fields of a text block, NC to ZS, as they are written: WT and
// HT hold what goes into those two fields (a vertical string may carry its
// variable value in either).
struct BlockFields {
  std::int32_t NC = 0;
  double WT = 0.0;
  double HT = 0.0;
  std::int32_t FC = 0;
  double SL = 0.0;
  double A = 0.0;
  std::int32_t M = 0;
  std::int32_t VH = 0;
  double XS = 0.0;
  double YS = 0.0;
  double ZS = 0.0;
};

// The parameter text of a rebuilt General Note while its fields are placed.
// Each field is written straight into the text's storage: the string is
// kept longer than what has been placed, the rest being room made in large
// steps, and is cut to what was placed when it is handed over. Reused from
// note to note.
class ParameterEmitter {
 public:
  // Starts a note's text, replacing any before: its first record is left
  // blank for the header CloseRebuiltNote writes, and room is made for
  // `expectedSize` bytes in all.
  void Open(std::size_t expectedSize);

  // Places the numeric fields of a text block, each followed by
  // `delimiter`: integers in plain signed decimal, reals as
  // note/real_text.h writes them. The texts of the block placed before are
  // reused where its values repeat, as most do along a string cut into
  // blocks.
  void PlaceBlockFields(const BlockFields& fields, char delimiter);

  // Places the start "<textLength>H" of a Hollerith field and returns where
  // its text goes: the caller writes exactly `textLength` bytes there before
  // anything else is placed. No delimiter follows.
  char* BeginText(std::size_t textLength);

  // The whole Hollerith field "<length>H<text>".
  void Text(std::string_view text);

  // Appends one byte where it stands, without the packing rule: the
  // delimiter that follows a TEXT.
  void Byte(char byte);

  // Appends `field` (a whole field, its delimiter included) by the packing
  // rule.
  void Field(std::string_view field);

  // Pads the text to whole records and writes `header` at the start of the
  // first.
  void FinishRecords(std::string_view header);

  // The bytes placed so far, the first record included.
  std::string_view text() const { return std::string_view(text_.data(), length_); }

  // Cuts the text to what was placed and swaps it into *out, which it
  // leaves this emitter's storage (whatever *out held before).
  void HandOver(std::string* out);

 private:
  // The text of one field of the block placed last, without its delimiter.
  struct FieldText {
    std::uint64_t bits = 0;  // the value's
    std::size_t length = 0;  // 0: none yet
    char text[kRealTextRoom];
  };
  static constexpr std::size_t kBlockFieldCount = 11;

  // Makes sure `bytes` of room follow what was placed.
  void MakeRoom(std::size_t bytes) {
    if (text_.size() - length_ < bytes) Grow(bytes);
  }
  void Grow(std::size_t bytes);
  // Formats into *field the value of `bits`: a double's, or an integer's.
  static void KeepText(FieldText* field, bool real, std::uint64_t bits);

  std::string text_;
  // The bytes placed; the string's size beyond them is room.
  std::size_t length_ = 0;
  FieldText blockTexts_[kBlockFieldCount];
};

// Single fields appended to a plain buffer by the packing rule, as the
// emitter places them; the first two in a text of `width`-byte records
// (the Global section's are 72).
void AppendPackedField(std::string* buffer, std::string_view text,
                       std::size_t width = kParameterDataWidth);
void AppendIntegerField(std::string* buffer, std::int32_t value, char delimiter);
void AppendRealField(std::string* buffer, double value, char delimiter);
void AppendHollerithField(std::string* buffer, std::string_view text,
                          std::size_t width = kParameterDataWidth);

// Closes a rebuilt General Note. `parameterText` is the note as read and
// `tailStart` the index of the byte that followed its last string's TEXT
// (already placed by `emitter`). The non-blank bytes from there to the end
// must be the record delimiter alone, or zero counts of back pointers and
// properties before it (",0;" or ",0,0;" with the file's delimiters); the
// zero counts are placed too. The text is padded to whole records and its
// first record receives the header "<entityType>,<stringCount>,". On a
// faulty tail returns the error that names the P record of `tailStart` + 1.
Status CloseRebuiltNote(std::string_view parameterText, std::int32_t tailStart,
                        const ParameterLines& lines, std::int32_t entityType,
                        std::int32_t stringCount, char parameterDelimiter,
                        char recordDelimiter, ParameterEmitter* emitter);

// Pads the text of a rebuilt note to whole records and gives its first
// record the header "<entityType>,<stringCount>," (with the file's
// delimiter): the last step of CloseRebuiltNote.
void FinishRebuiltNote(std::int32_t entityType, std::int32_t stringCount,
                       char parameterDelimiter, ParameterEmitter* emitter);

}  // namespace notora
