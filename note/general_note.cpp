#include "note/general_note.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <utility>

#include "iges/record_format.h"
#include "base/byte_classes.h"
#include "base/counting.h"
#include "note/parameter_emitter.h"
#include "note/segment_converter.h"
#include "note/text_encoding.h"

namespace notora {
namespace {

// The D records a note's pointers may name: all of them, when the note
// knows its table.
std::int32_t DirectoryRecordsOf(const ParameterEntity& entity) {
  if (entity.table == nullptr) return std::numeric_limits<std::int32_t>::max();
  return SaturateToInt32(std::int64_t{2} * entity.table->entityCount());
}

using cp932::CharClass;

// Indices into a parameter text are signed 32-bit; a longer text is read only
// as far as they reach (with room for the index arithmetic past its end).
constexpr std::size_t kMaxParameterText =
    std::numeric_limits<std::int32_t>::max() - kParameterDataWidth;

// The most room a rebuilt text is given up front.
constexpr double kMaxRebuiltRoom = 16 << 20;

bool HasNonAsciiByte(std::string_view text) {
  for (char c : text) {
    if (static_cast<unsigned char>(c) >= 0x80) return true;
  }
  return false;
}

}  // namespace

GeneralNoteConverter::GeneralNoteConverter(const RunOptions& options, RunCounters& counters,
                                           char parameterDelimiter, char recordDelimiter)
    : options_(options),
      counters_(counters),
      parameterDelimiter_(parameterDelimiter),
      recordDelimiter_(recordDelimiter) {}

Status GeneralNoteConverter::NoteError(MessageId id, std::int64_t index) const {
  return Status::Error(id, {note_.lines.LineOf(index)});
}

Status GeneralNoteConverter::ReadInteger(MessageId fieldName, std::int32_t* value) {
  NOTORA_RETURN_IF_ERROR(ReadIntegerField(note_.parameterText, parameterDelimiter_, fieldName,
                                          recordDelimiter_, note_.lines, options_,
                                          &note_.cursor));
  *value = note_.cursor.value;
  return Status::Ok();
}

Status GeneralNoteConverter::ReadReal(MessageId fieldName, double* value) {
  return ReadRealField(note_.parameterText, parameterDelimiter_, fieldName, note_.lines,
                       &note_.cursor, value);
}

Status GeneralNoteConverter::HandleGeneralNote(const ParameterEntity& entity,
                                               RebuiltNote* rebuilt) {
  rebuilt->changed = false;
  rebuilt->parameterText.clear();
  rebuilt->lineCount = 0;

  note_.parameterText = entity.parameterText.substr(0, kMaxParameterText);
  note_.lines = ParameterLines{entity.parameterLineCount, entity.lastRecordNumber};
  note_.cursor = FieldCursor{};
  // A rebuilt text is handed over whole, so the next one starts in new
  // storage: as much as the last rebuilt note took per byte read is reserved
  // (up to a bound, past which growing costs little in proportion), so that
  // the text seldom has to be copied while it grows.
  const double expectedSize =
      static_cast<double>(note_.parameterText.size()) * rebuiltGrowth_ + kParameterDataWidth;
  note_.emitter.Open(static_cast<std::size_t>(std::min(expectedSize, kMaxRebuiltRoom)));
  note_.emittedStrings = 0;
  note_.stringChars = 0;
  note_.changeCount = 0;
  note_.madeHorizontal = false;

  NOTORA_RETURN_IF_ERROR(ReadInteger(MessageId::FieldNameNS, &note_.NS));
  if (note_.NS < 0 || (note_.NS == 0 && options_.zeroColumnsIsError)) {
    return NoteError(MessageId::NoteStringCountNotPositive, note_.cursor.last);
  }
  if (observer_ != nullptr) observer_->OnNote(entity, note_.NS);
  for (std::int32_t stringNumber = 1; stringNumber <= note_.NS; ++stringNumber) {
    NOTORA_RETURN_IF_ERROR(ConvertString(entity, stringNumber));
    if (stringNumber == std::numeric_limits<std::int32_t>::max()) break;
  }
  // An inspection shows the pointers of a tail it can read.
  if (textHandling_ == TextHandling::kInspect && observer_ != nullptr &&
      ReadNoteTail(note_.parameterText, note_.cursor.last, parameterDelimiter_, recordDelimiter_,
                   DirectoryRecordsOf(entity), &note_.tail)) {
    observer_->OnNoteTail(entity, note_.tail);
  }
  if (note_.changeCount == 0) return Status::Ok();

  NOTORA_RETURN_IF_ERROR(CloseNote(entity));
  if (!note_.parameterText.empty()) {
    rebuiltGrowth_ = static_cast<double>(note_.emitter.text().size()) /
                     static_cast<double>(note_.parameterText.size());
  }
  note_.emitter.HandOver(&rebuilt->parameterText);
  rebuilt->changed = true;
  rebuilt->lineCount =
      static_cast<std::int32_t>(rebuilt->parameterText.size() / kParameterDataWidth);
  CountOne(&counters_.convertedEntities);
  return Status::Ok();
}

Status GeneralNoteConverter::CloseNote(const ParameterEntity& entity) {
  if (!options_.keepPointers ||
      !ReadNoteTail(note_.parameterText, note_.cursor.last, parameterDelimiter_, recordDelimiter_,
                    DirectoryRecordsOf(entity), &note_.tail)) {
    // Only zero counts carry over; any other tail is refused with its
    // message.
    return CloseRebuiltNote(note_.parameterText, note_.cursor.last, note_.lines,
                            kGeneralNoteType, note_.emittedStrings, parameterDelimiter_,
                            recordDelimiter_, &note_.emitter);
  }
  // A property that addresses the note's strings by number would address
  // other characters once a vertical string became one string per
  // character.
  if (note_.madeHorizontal && entity.table != nullptr) {
    if (const NoteTail::Pointer* range = FirstRangeProperty(note_.tail, *entity.table)) {
      return Status::Error(MessageId::NoteRangesWouldMove,
                           {note_.lines.LineOf(range->at), range->value});
    }
  }
  CloseRebuiltNoteKeepingTail(note_.tail, kGeneralNoteType, note_.emittedStrings,
                              parameterDelimiter_, &note_.emitter);
  return Status::Ok();
}

Status GeneralNoteConverter::ConvertString(const ParameterEntity& entity,
                                           std::int32_t stringNumber) {
  NoteString string;
  const FieldCursor& cursor = note_.cursor;

  NOTORA_RETURN_IF_ERROR(ReadInteger(MessageId::FieldNameNC, &string.NC));
  if (string.NC <= 0) return NoteError(MessageId::NoteCharCountNotPositive, cursor.last);

  NOTORA_RETURN_IF_ERROR(ReadReal(MessageId::FieldNameWT, &string.WT));
  const double widthAsRead = string.WT;
  if (string.WT == 0.0) return NoteError(MessageId::NoteWidthZero, cursor.last);
  if (string.WT < 0.0) {
    CountOne(&counters_.negativeWidthElements);
    if (options_.negativeWidthMode == NegativeWidthMode::kError) {
      return NoteError(MessageId::NoteWidthNegative, cursor.last);
    }
    if (options_.negativeWidthMode == NegativeWidthMode::kPlus) {
      string.WT = std::fabs(string.WT);
      CountOne(&note_.changeCount);
    }
  }

  NOTORA_RETURN_IF_ERROR(ReadReal(MessageId::FieldNameHT, &string.HT));
  const double heightAsRead = string.HT;
  if (!(string.HT > 0.0)) return NoteError(MessageId::NoteHeightNotPositive, cursor.last);

  NOTORA_RETURN_IF_ERROR(ReadInteger(MessageId::FieldNameFC, &string.FC));
  if (string.FC <= 0) return NoteError(MessageId::NoteFontNotPositive, cursor.last);
  if (string.FC == kJisCodeFont) CountOne(&counters_.jisCodeElements);

  NOTORA_RETURN_IF_ERROR(ReadReal(MessageId::FieldNameSL, &string.SL));
  NOTORA_RETURN_IF_ERROR(ReadReal(MessageId::FieldNameA, &string.A));

  NOTORA_RETURN_IF_ERROR(ReadInteger(MessageId::FieldNameM, &string.M));
  if (string.M < 0 || string.M > 2) {
    return NoteError(MessageId::NoteMirrorOutOfRange, cursor.last);
  }

  NOTORA_RETURN_IF_ERROR(ReadInteger(MessageId::FieldNameVH, &string.VH));
  if (string.VH < 0 || string.VH > 1) {
    return NoteError(MessageId::NoteRotateFlagOutOfRange, cursor.last);
  }
  if (string.VH == 1) {
    CountOne(&counters_.verticalElements);
    note_.madeHorizontal = note_.madeHorizontal || options_.verticalToHorizontal;
    // The variable value of a vertical string is kept in WT while it is
    // converted; a file that carries it in the height field has it moved.
    if (options_.verticalValueInput == VerticalValue::kAfter) {
      std::swap(string.WT, string.HT);
      if (options_.verticalValueOutput == VerticalValue::kBefore) CountOne(&note_.changeCount);
    }
  }

  NOTORA_RETURN_IF_ERROR(ReadReal(MessageId::FieldNameXS, &string.XS));
  NOTORA_RETURN_IF_ERROR(ReadReal(MessageId::FieldNameYS, &string.YS));
  NOTORA_RETURN_IF_ERROR(ReadReal(MessageId::FieldNameZS, &string.ZS));

  std::int32_t textCount = 0;
  NOTORA_RETURN_IF_ERROR(ReadIntegerField(note_.parameterText, 'H',
                                          MessageId::FieldNameTextCount, 'H', note_.lines,
                                          options_, &note_.cursor));
  textCount = cursor.value;
  if (textCount <= 0) return NoteError(MessageId::NoteTextCountNotPositive, cursor.last);
  const std::int64_t textStart = cursor.next;
  const std::int64_t textEnd = textStart + textCount;
  const auto textSize = static_cast<std::int64_t>(note_.parameterText.size());
  if (textSize < textEnd) return NoteError(MessageId::NoteTextCountBeyondEnd, cursor.last);
  const NoteString asRead = [&] {
    NoteString fields = string;
    fields.WT = widthAsRead;
    fields.HT = heightAsRead;
    return fields;
  }();
  string.NC = textCount;
  if (textEnd >= textSize || (note_.parameterText[textEnd] != parameterDelimiter_ &&
                              note_.parameterText[textEnd] != recordDelimiter_)) {
    return NoteError(MessageId::NoteNoDelimiterAfterText, cursor.last);
  }
  if (string.FC == kJisCodeFont && textCount % std::int32_t{kJisCodeDigits} != 0) {
    return NoteError(MessageId::NoteJisCountNotMultipleOf4, cursor.last);
  }
  const std::string_view text = note_.parameterText.substr(textStart, textCount);
  if (observer_ != nullptr) {
    observer_->OnNoteString(entity, stringNumber, note_.NS, asRead, text);
  }
  return ReadText(&string, text);
}

Status GeneralNoteConverter::ReadText(NoteString* string, std::string_view text) {
  const auto sourceLength = static_cast<std::int32_t>(text.size());
  if (textHandling_ == TextHandling::kFieldsOnly) {
    SkipText(sourceLength);
    return Status::Ok();
  }
  // JIS-code text and ASCII read alike in every encoding; other text is
  // taken into code page 932 (Shift-JIS as it stands) to be converted.
  const bool otherEncodings = options_.sourceEncoding != TextEncoding::kShiftJis ||
                              options_.outputEncoding != TextEncoding::kShiftJis;
  if (string->FC == kJisCodeFont || !otherEncodings || !HasNonAsciiByte(text)) {
    return WalkText(string, text, sourceLength, /*transcoded=*/false);
  }

  std::string_view cp932Text = text;
  const bool transcoded = options_.sourceEncoding != TextEncoding::kShiftJis;
  if (transcoded) {
    // Under full-width to JIS code every character of the text becomes JIS
    // code: one without a code page 932 character is taken in as a code
    // without JIS code (＂), which that conversion replaces by the JIS
    // fallback and counts (0xFA57 has no JIS X 0208 code). Otherwise it is
    // taken in as the full-width fallback and counted here.
    const bool toJis = options_.conversionMode == ConversionMode::kToJisCode;
    const std::uint16_t fallback =
        toJis ? kFullWidthQuotationCode : FullWidthFallbackCode(options_);
    note_.cp932Text.clear();
    note_.sourceIndices.clear();
    std::int64_t unconvertible = 0;
    const std::size_t invalidAt = ToCp932(text, options_.sourceEncoding, fallback,
                                          &note_.cp932Text, &unconvertible, &note_.sourceIndices);
    if (invalidAt != kTextValid) {
      if (textHandling_ == TextHandling::kInspect) {
        SkipText(sourceLength);
        return Status::Ok();
      }
      const std::int64_t invalidIndex = note_.cursor.next + static_cast<std::int64_t>(invalidAt);
      return Status::Error(MessageId::NoteTextInvalidEncoding,
                           {note_.lines.LineOf(invalidIndex),
                            EncodingDisplayName(options_.sourceEncoding)});
    }
    if (!toJis) CountMany(&counters_.unconvertibleChars, unconvertible);
    cp932Text = note_.cp932Text;
  }
  if (textHandling_ == TextHandling::kConvert) {
    // A text that the output writes in other bytes than it was read in is a
    // change of the note.
    note_.outputText.clear();
    std::int64_t ignored = 0;
    FromCp932(cp932Text, options_.outputEncoding, FullWidthFallbackCode(options_),
              &note_.outputText, &ignored);
    if (note_.outputText != text) CountOne(&note_.changeCount);
  }
  string->NC = static_cast<std::int32_t>(cp932Text.size());
  return WalkText(string, cp932Text, sourceLength, transcoded);
}

void GeneralNoteConverter::SkipText(std::int32_t sourceLength) {
  FieldCursor& cursor = note_.cursor;
  cursor.last = cursor.next + sourceLength;
  cursor.next = cursor.last + 1;
}

Status GeneralNoteConverter::WalkText(NoteString* string, std::string_view text,
                                      std::int32_t sourceLength, bool transcoded) {
  FieldCursor& cursor = note_.cursor;
  const std::int32_t textStart = cursor.next;
  const auto count = static_cast<std::int32_t>(text.size());
  const bool jisFont = string->FC == kJisCodeFont;
  constexpr auto kDigitsPerCharacter = static_cast<std::int32_t>(kJisCodeDigits);
  const bool cutEveryCharacter = options_.verticalToHorizontal && string->VH != 0;
  const bool cutAtClassChange =
      !cutEveryCharacter && options_.conversionMode == ConversionMode::kToJisCode;
  // The index in the parameter text of the byte that byte `index` of `text`
  // stands for, for the messages.
  const auto sourceIndex = [&](std::int32_t index) -> std::int64_t {
    return std::int64_t{textStart} + (transcoded ? note_.sourceIndices[index] : index);
  };
  if (string->VH != 0) {
    note_.stringChars = static_cast<std::int32_t>(cp932::CountCharacters(text));
  }

  CharClass previous = CharClass::kPlain;
  std::int32_t segmentStart = 0;
  for (std::int32_t byteIndex = 0; byteIndex < count; ++byteIndex) {
    const char byte = text[byteIndex];
    if (jisFont && !IsHexDigit(byte)) {
      return NoteError(MessageId::NoteJisTextNotHex, sourceIndex(byteIndex));
    }
    const CharClass charClass = cp932::ClassifyByte(static_cast<unsigned char>(byte));
    // A lead byte in the last position would take the byte after TEXT for
    // its trail byte.
    if (charClass == CharClass::kRefused ||
        (charClass == CharClass::kDoubleByte && byteIndex == count - 1)) {
      return NoteError(MessageId::NoteTextBadCharacter, sourceIndex(byteIndex));
    }
    if (byteIndex > 0) {
      const bool cut = cutEveryCharacter ? (!jisFont || byteIndex % kDigitsPerCharacter == 0)
                                         : (cutAtClassChange && charClass != previous);
      if (cut) {
        EmitSegment(string, text, segmentStart, byteIndex - segmentStart, previous);
        note_.emitter.Byte(parameterDelimiter_);
        segmentStart = byteIndex;
      }
    }
    if (charClass == CharClass::kDoubleByte) ++byteIndex;
    previous = charClass;
  }
  EmitSegment(string, text, segmentStart, count - segmentStart, previous);
  SkipText(sourceLength);
  note_.emitter.Byte(note_.parameterText[cursor.last]);
  return Status::Ok();
}

void GeneralNoteConverter::EmitSegment(NoteString* string, std::string_view text,
                                       std::int32_t start, std::int32_t length,
                                       CharClass charClass) {
  CountOne(&note_.emittedStrings);
  NoteSegment segment;
  segment.start = start;
  segment.length = length;
  segment.charClass = charClass;
  segment.stringChars = note_.stringChars;
  ConvertNoteSegment(options_, text, &note_.emitter, parameterDelimiter_, string, &segment,
                     &note_.changeCount, &counters_);
}

}  // namespace notora
