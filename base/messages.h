// The message catalogue: every text that a run or the dialog shows.
//
// The texts live in resources/messages.txt (UTF-8), compiled into the program.
// Each MessageId names one line of that file; "{}" in a text is filled by
// FormatMessage with the arguments in order.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

namespace notora {

#define NOTORA_MESSAGE_IDS(X)                                                   \
  X(NothingRequested) X(NoSourceSelected) X(SourceMissing) X(NoOutputName)      \
  X(OutputExists) X(SourceOpenFailed) X(SourceCloseFailed)                      \
  X(SourceCloseFailedAfterError) X(Cancelled)                                   \
  X(ReportKanjiEntities) X(ReportJisCodeElements) X(ReportVerticalElements)     \
  X(ReportNegativeWidthElements) X(ReportUnconvertibleChars)                    \
  X(ReportNothingConverted) X(ReportConvertedEntities) X(ReportWritten)         \
  X(ReportKeptLabels)                                                           \
  X(ReadError) X(RecordTooShort) X(RecordTooLong) X(BadSectionLetter)           \
  X(OddDirectoryCount)                                                          \
  X(DirectoryAfterParameter) X(DirectorySequenceNotNumeric)                     \
  X(DirectorySequenceOutOfOrder) X(DirectoryTypeNotNumeric)                     \
  X(DirectoryPointerNotNumeric) X(DirectoryTypeMismatch)                        \
  X(DirectoryLineCountNotNumeric) X(DirectoryLabelInvalidEncoding)             \
  X(StartTextInvalidEncoding) X(GlobalTextInvalidEncoding)                     \
  X(GlobalTextCountBeyondEnd) X(GlobalNoDelimiterAfterText)                     \
  X(ParameterColumn65NotBlank) X(ParameterSequenceNotNumeric)                   \
  X(ParameterSequenceOutOfOrder) X(ParameterPointerNotNumeric)                  \
  X(ParameterPointerEven) X(ParameterPointerOutOfRange) X(ParameterEntityShort) \
  X(ParameterOutsideEntity) X(ParameterColumn4NotDelimiter)                     \
  X(ParameterTypeNotNumeric) X(ParameterTypeMismatch)                           \
  X(FieldNoTerminator) X(FieldNotNumeric) X(FieldTooLong) X(FieldNoValue)       \
  X(FieldNameNS) X(FieldNameNC) X(FieldNameWT) X(FieldNameHT) X(FieldNameFC)    \
  X(FieldNameSL) X(FieldNameA) X(FieldNameM) X(FieldNameVH) X(FieldNameXS)      \
  X(FieldNameYS) X(FieldNameZS) X(FieldNameTextCount)                           \
  X(NoteStringCountNotPositive) X(NoteCharCountNotPositive) X(NoteWidthZero)    \
  X(NoteWidthNegative) X(NoteHeightNotPositive) X(NoteFontNotPositive)          \
  X(NoteMirrorOutOfRange) X(NoteRotateFlagOutOfRange)                           \
  X(NoteTextCountNotPositive) X(NoteTextCountBeyondEnd)                         \
  X(NoteNoDelimiterAfterText) X(NoteJisCountNotMultipleOf4) X(NoteJisTextNotHex) \
  X(NoteTextBadCharacter) X(NoteTextInvalidEncoding)                           \
  X(NoteTailTooLong) X(NoteTailNotRecordDelimiter) X(NoteRangesWouldMove)       \
  X(OutputOpenFailed) X(OutputTextLengthMismatch) X(OutputPointerMismatch)      \
  X(OutputWriteError) X(OutputCloseFailed) X(OutputCloseFailedAfterError)       \
  X(OutputTooManyRecords) X(OutOfMemory)                                        \
  X(ExitQuestion) X(BrowseTitle)

enum class MessageId {
#define NOTORA_MESSAGE_ENUM(name) name,
  NOTORA_MESSAGE_IDS(NOTORA_MESSAGE_ENUM)
#undef NOTORA_MESSAGE_ENUM
};

// The text of `id` as it stands in the catalogue, placeholders included.
std::string_view MessageText(MessageId id);

// One value for a "{}" placeholder: a number (plain signed decimal) or text.
class MessageArg {
 public:
  MessageArg(std::int64_t number) : text_(std::to_string(number)) {}  // NOLINT
  MessageArg(int number) : text_(std::to_string(number)) {}           // NOLINT
  MessageArg(std::string_view text) : text_(text) {}                  // NOLINT
  MessageArg(const char* text) : text_(text) {}                       // NOLINT
  MessageArg(const std::string& text) : text_(text) {}                // NOLINT
  const std::string& text() const { return text_; }

 private:
  std::string text_;
};

// The text of `id` with its placeholders replaced by `args`, in order.
std::string FormatMessage(MessageId id, std::initializer_list<MessageArg> args = {});
// The same with the arguments already as text.
std::string FormatMessage(MessageId id, const std::vector<std::string>& args);

// A byte of the source file as text for a message: code page 932 decoded to
// UTF-8. Bytes 0x00-0x7F stand for themselves, 0xA1-0xDF are half-width
// katakana; any other byte is no character on its own and becomes U+FFFD.
std::string DescribeFileByte(char byte);

// Catalogue problems found when the compiled-in text was read (unknown keys,
// missing keys, malformed lines); empty when the catalogue is sound.
std::string CatalogueProblems();

}  // namespace notora
