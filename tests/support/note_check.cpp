#include "tests/support/note_check.h"

#include <charconv>
#include <cstdint>

#include "tests/support/conversion_check.h"
#include "note/general_note.h"
#include "base/byte_classes.h"
#include "base/messages.h"

namespace notora::testing {
namespace {

constexpr std::int32_t kFirstRecordNumber = 7;  // where the note's records start

// Delimiters that cannot be taken for part of a field or for padding.
bool IsPlainDelimiter(char c) {
  if (c <= ' ' || c > '~') return false;
  if ((c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z')) return false;
  return c != '.' && c != '+' && c != '-';
}

bool EndsWith(std::string_view text, std::string_view end) {
  return text.size() >= end.size() && text.substr(text.size() - end.size()) == end;
}

bool IsNoteByte(unsigned char byte) {
  return (byte >= 0x20 && byte <= 0x7E) || (byte >= 0x81 && byte <= 0xFC && byte != 0xA0);
}

// A byte that may follow a lead byte in code page 932.
bool IsTrailByte(unsigned char byte) {
  return (byte >= 0x40 && byte <= 0x7E) || (byte >= 0x80 && byte <= 0xFC);
}

// The P record a note fault names (its first argument), or -1 when the
// fault's message is not of the Parameter Data section's form.
std::int64_t NamedRecord(const Status& status) {
  if (MessageText(status.id()).rfind("ﾊﾟﾗﾒｰﾀｾｸｼｮﾝ{}行目", 0) != 0 || status.args().empty()) {
    return -1;
  }
  const std::string& text = status.args()[0];
  std::int64_t number = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), number);
  if (error != std::errc() || end != text.data() + text.size()) return -1;
  return number;
}

}  // namespace

NoteRequest DecodeNoteRequest(std::string_view input) {
  const auto byte = [&](std::size_t index) {
    return index < input.size() ? static_cast<unsigned char>(input[index]) : 0;
  };
  NoteRequest request;
  request.options = DecodeRequestOptions(byte(0), byte(1), byte(4));
  if (input.size() > 2 && input[2] != 0) request.parameterDelimiter = input[2];
  if (input.size() > 3 && input[3] != 0) request.recordDelimiter = input[3];
  if (input.size() > kRequestHeaderSize) request.parameterText = input.substr(kRequestHeaderSize);
  request.parameterText.resize((request.parameterText.size() + 63) / 64 * 64, ' ');
  return request;
}

NoteCheck CheckGeneralNote(const NoteRequest& request) {
  NoteCheck check;
  const auto lineCount = static_cast<std::int32_t>(request.parameterText.size() / 64);
  ParameterEntity entity;
  entity.entryIndex = 1;
  entity.parameterText = request.parameterText;
  entity.parameterLineCount = lineCount;
  entity.lastRecordNumber = kFirstRecordNumber + lineCount - 1;

  RunCounters counters;
  GeneralNoteConverter converter(request.options, counters, request.parameterDelimiter,
                                 request.recordDelimiter);
  check.status = converter.HandleGeneralNote(entity, &check.rebuilt);
  const RebuiltNote& rebuilt = check.rebuilt;

  if (!check.status.ok()) {
    const std::string message = check.status.message();
    const std::int64_t record = NamedRecord(check.status);
    if (record < kFirstRecordNumber || record > entity.lastRecordNumber + 1) {
      check.violation = "a fault that names no P record of the note: " + message;
    } else if (!EndsWith(MessageText(check.status.id()), "\n変換は出来ません。")) {
      check.violation = "a fault message not in the section form: " + message;
    } else if (rebuilt.changed) {
      check.violation = "a faulty note came back changed";
    }
    return check;
  }
  if (!rebuilt.changed) {
    if (!rebuilt.parameterText.empty() || rebuilt.lineCount != 0) {
      check.violation = "an unchanged note came back with a text";
    }
    return check;
  }

  const std::string& text = rebuilt.parameterText;
  if (text.empty() || text.size() % 64 != 0 || rebuilt.lineCount * std::size_t{64} != text.size()) {
    check.violation = "a rebuilt note that is not whole records";
    return check;
  }
  if (counters.convertedEntities != 1) {
    check.violation = "a rebuilt note that was not counted";
    return check;
  }
  if (text.compare(0, 4, std::string("212") + request.parameterDelimiter) != 0) {
    check.violation = "a rebuilt note without its header record";
    return check;
  }
  if (!IsPlainDelimiter(request.parameterDelimiter) || !IsPlainDelimiter(request.recordDelimiter) ||
      request.parameterDelimiter == request.recordDelimiter) {
    return check;  // delimiters that fields or blanks can hold: reading again is not defined
  }
  // A lead byte and a trail byte make a character, whatever trail byte it
  // is (a character written from its JIS code may have 0xA0 there). Any
  // other byte no note may hold is allowed only when the note held it: a
  // lead byte takes whatever byte follows it, which is copied. Text read or
  // written in another encoding is judged by reading it again.
  const bool shiftJisOnly = request.options.sourceEncoding == TextEncoding::kShiftJis &&
                            request.options.outputEncoding == TextEncoding::kShiftJis;
  bool inNote[256] = {};
  for (char byte : request.parameterText) inNote[static_cast<unsigned char>(byte)] = true;
  for (std::size_t i = 0; shiftJisOnly && i < text.size(); ++i) {
    const auto value = static_cast<unsigned char>(text[i]);
    if (cp932::IsLeadByte(value) && i + 1 < text.size() &&
        IsTrailByte(static_cast<unsigned char>(text[i + 1]))) {
      ++i;
      continue;
    }
    if (!IsNoteByte(value) && !inNote[value]) {
      check.violation = "a rebuilt note holds a byte no note may hold";
      return check;
    }
  }
  // A value moved into the height field of a vertical string may be one no
  // height may be; only without that exchange must the note read again.
  if (request.options.verticalValueInput != VerticalValue::kBefore ||
      request.options.verticalValueOutput != VerticalValue::kBefore) {
    return check;
  }
  // Read again in the encoding it was written in.
  RunOptions reading;
  reading.sourceEncoding = request.options.outputEncoding;
  const RunOptions nothing = ReadOnlyOptions(reading);
  RunCounters againCounters;
  GeneralNoteConverter again(nothing, againCounters, request.parameterDelimiter,
                             request.recordDelimiter);
  ParameterEntity rebuiltEntity = entity;
  rebuiltEntity.parameterText = text;
  rebuiltEntity.parameterLineCount = rebuilt.lineCount;
  rebuiltEntity.lastRecordNumber = kFirstRecordNumber + rebuilt.lineCount - 1;
  RebuiltNote readAgain;
  Status status = again.HandleGeneralNote(rebuiltEntity, &readAgain);
  if (!status.ok()) {
    check.violation = "a rebuilt note does not read again: " + status.message();
  } else if (readAgain.changed) {
    check.violation = "a rebuilt note changes when read again with nothing to do";
  }
  return check;
}

}  // namespace notora::testing
