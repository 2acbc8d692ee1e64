#include "note/parameter_emitter.h"

#include <algorithm>
#include <charconv>
#include <cstdint>
#include <cstring>
#include <iterator>

#include "iges/record_format.h"
#include "base/messages.h"
#include "note/real_text.h"

namespace notora {
namespace {

constexpr int kMaxTailCharacters = 25;

// The room a numeric field may take: blanks before it, never more than its
// bytes with the delimiter (at most 24), and the whole copy of its kept text.
constexpr std::size_t kFieldRoom = 2 * kRealTextRoom;

// The most room made at a time beyond what is needed: a few blocks' worth.
constexpr std::size_t kRoomStep = 4096;

// Room for "<count>H" and for a whole copy of it.
constexpr std::size_t kCountRoom = 24;

// Writes `value` in plain decimal at `out` (room for 20 bytes); returns the
// number of bytes written.
std::size_t FormatDecimal(std::int64_t value, char* out) {
  if (static_cast<std::uint64_t>(value) < 10) {  // font, mirror and rotation flags mostly
    out[0] = static_cast<char>('0' + value);
    return 1;
  }
  return static_cast<std::size_t>(std::to_chars(out, out + 20, value).ptr - out);
}

// The blanks the packing rule puts before a field of `fieldLength` bytes
// that would start at index `length` of a text of `width`-byte records.
std::size_t PaddingBefore(std::size_t length, std::size_t fieldLength,
                          std::size_t width = kParameterDataWidth) {
  const std::size_t endRecord = (length + fieldLength) / width;
  if (endRecord == length / width) return 0;
  return endRecord * width - length;
}

// Which fields of a block, NC to ZS, are reals.
constexpr bool kRealField[] = {false, true,  true,  false, true, true,
                               false, false, true,  true,  true};

std::uint64_t BitsOf(double value) {
  std::uint64_t bits;
  std::memcpy(&bits, &value, sizeof bits);
  return bits;
}

std::uint64_t BitsOf(std::int32_t value) { return static_cast<std::uint32_t>(value); }

// Writes "<count>H" at `out` (kCountRoom bytes); returns its length.
std::size_t FormatHollerithCount(std::size_t count, char* out) {
  std::size_t length = FormatDecimal(static_cast<std::int64_t>(count), out);
  out[length++] = 'H';
  return length;
}

}  // namespace

void ParameterEmitter::Open(std::size_t expectedSize) {
  text_.reserve(std::max(expectedSize, kParameterDataWidth));
  text_.assign(kParameterDataWidth, ' ');
  length_ = kParameterDataWidth;
}

[[gnu::noinline]] void ParameterEmitter::Grow(std::size_t bytes) {
  // Room for many fields at once (as much as was placed, up to a step), but
  // not much more than is about to be written over: the string fills its
  // room with zeros, and the fields' stores then find those bytes still in
  // the cache. When the string's storage is not enough, it grows by its own
  // measure, copying only what was placed and a little room.
  text_.resize(length_ + std::max(bytes, std::min(length_, kRoomStep)));
}

[[gnu::noinline]] void ParameterEmitter::KeepText(FieldText* field, bool real,
                                                   std::uint64_t bits) {
  field->bits = bits;
  if (real) {
    double value;
    std::memcpy(&value, &bits, sizeof value);
    field->length = FormatRealText(value, field->text);
  } else {
    field->length = FormatDecimal(static_cast<std::int32_t>(bits), field->text);
  }
}

void ParameterEmitter::PlaceBlockFields(const BlockFields& fields, char delimiter) {
  static_assert(std::size(kRealField) == kBlockFieldCount);
  const std::uint64_t bits[kBlockFieldCount] = {
      BitsOf(fields.NC), BitsOf(fields.WT), BitsOf(fields.HT), BitsOf(fields.FC),
      BitsOf(fields.SL), BitsOf(fields.A),  BitsOf(fields.M),  BitsOf(fields.VH),
      BitsOf(fields.XS), BitsOf(fields.YS), BitsOf(fields.ZS)};
  MakeRoom(kBlockFieldCount * kFieldRoom);
  char* const text = text_.data();
  char* out = text + length_;
  // The bytes up to the end of the current record: a field that would
  // reach them starts the next record (a numeric field is shorter than a
  // record).
  std::size_t left = kParameterDataWidth - length_ % kParameterDataWidth;
  for (std::size_t i = 0; i < kBlockFieldCount; ++i) {
    FieldText& field = blockTexts_[i];
    if (field.bits != bits[i] || field.length == 0) KeepText(&field, kRealField[i], bits[i]);
    const std::size_t fieldLength = field.length + 1;
    if (fieldLength >= left) {
      std::memset(out, ' ', left);
      out += left;
      left = kParameterDataWidth;
    }
    // The kept text is copied whole and the delimiter put after it (stored
    // in the kept text, it would make the copy wait for that store).
    std::memcpy(out, field.text, kRealTextRoom);
    out[field.length] = delimiter;
    out += fieldLength;
    left -= fieldLength;
  }
  length_ = static_cast<std::size_t>(out - text);
}

char* ParameterEmitter::BeginText(std::size_t textLength) {
  // "<count>H" is written where the placed bytes end and moved past its
  // padding, if any (as a copy of it, written elsewhere, would wait for its
  // stores).
  MakeRoom(kCountRoom);
  char* count = text_.data() + length_;
  const std::size_t countLength = FormatHollerithCount(textLength, count);
  const std::size_t padding = PaddingBefore(length_, countLength + textLength);
  MakeRoom(padding + countLength + textLength);
  count = text_.data() + length_;
  if (padding != 0) {
    std::memmove(count + padding, count, countLength);
    std::memset(count, ' ', padding);
  }
  length_ += padding + countLength + textLength;
  return count + padding + countLength;
}

void ParameterEmitter::Text(std::string_view text) {
  char* out = BeginText(text.size());
  if (!text.empty()) std::memcpy(out, text.data(), text.size());
}

void ParameterEmitter::Byte(char byte) {
  MakeRoom(1);
  text_[length_++] = byte;
}

void ParameterEmitter::Field(std::string_view field) {
  const std::size_t padding = PaddingBefore(length_, field.size());
  MakeRoom(padding + field.size());
  char* out = text_.data() + length_;
  std::memset(out, ' ', padding);
  if (!field.empty()) std::memcpy(out + padding, field.data(), field.size());
  length_ += padding + field.size();
}

void ParameterEmitter::FinishRecords(std::string_view header) {
  const std::size_t records = (length_ + kParameterDataWidth - 1) / kParameterDataWidth;
  const std::size_t padding = records * kParameterDataWidth - length_;
  MakeRoom(padding);
  std::memset(text_.data() + length_, ' ', padding);
  length_ += padding;
  std::memcpy(text_.data(), header.data(), std::min(header.size(), kParameterDataWidth));
}

void ParameterEmitter::HandOver(std::string* out) {
  text_.resize(length_);
  out->swap(text_);
  text_.clear();
  length_ = 0;
}

void AppendPackedField(std::string* buffer, std::string_view text, std::size_t width) {
  buffer->append(PaddingBefore(buffer->size(), text.size(), width), ' ');
  buffer->append(text);
}

void AppendIntegerField(std::string* buffer, std::int32_t value, char delimiter) {
  char field[kRealTextRoom];
  std::size_t length = FormatDecimal(value, field);
  field[length++] = delimiter;
  AppendPackedField(buffer, std::string_view(field, length));
}

void AppendRealField(std::string* buffer, double value, char delimiter) {
  char field[kRealTextRoom];
  std::size_t length = FormatRealText(value, field);
  field[length++] = delimiter;
  AppendPackedField(buffer, std::string_view(field, length));
}

void AppendHollerithField(std::string* buffer, std::string_view text, std::size_t width) {
  char count[kCountRoom];
  const std::size_t countLength = FormatHollerithCount(text.size(), count);
  buffer->append(PaddingBefore(buffer->size(), countLength + text.size(), width), ' ');
  buffer->append(count, countLength);
  buffer->append(text);
}

Status CloseRebuiltNote(std::string_view parameterText, std::int32_t tailStart,
                        const ParameterLines& lines, std::int32_t entityType,
                        std::int32_t stringCount, char parameterDelimiter,
                        char recordDelimiter, ParameterEmitter* emitter) {
  const std::int64_t messageLine = lines.LineOf(std::int64_t{tailStart} + 1);
  char tail[kMaxTailCharacters];
  int tailLength = 0;
  for (std::size_t i = tailStart < 0 ? 0 : static_cast<std::size_t>(tailStart);
       i < parameterText.size(); ++i) {
    if (parameterText[i] == ' ') continue;
    if (tailLength == kMaxTailCharacters) {
      return Status::Error(MessageId::NoteTailTooLong, {messageLine});
    }
    tail[tailLength++] = parameterText[i];
  }

  // The back pointer and property counts that may follow the strings: only
  // zero counts carry over into the rebuilt note.
  const char P = parameterDelimiter;
  const char R = recordDelimiter;
  const std::string_view found(tail, tailLength);
  const char recordOnly[1] = {R};
  const char oneZeroCount[3] = {P, '0', R};
  const char twoZeroCounts[5] = {P, '0', P, '0', R};
  const char zeroThenRecord[2] = {'0', R};
  const char zeroThenDelimiter[2] = {'0', P};
  if (found == std::string_view(recordOnly, 1)) {
    // The record delimiter is already placed.
  } else if (found == std::string_view(oneZeroCount, 3)) {
    emitter->Field(std::string_view(zeroThenRecord, 2));
  } else if (found == std::string_view(twoZeroCounts, 5)) {
    emitter->Field(std::string_view(zeroThenDelimiter, 2));
    emitter->Field(std::string_view(zeroThenRecord, 2));
  } else {
    return Status::Error(MessageId::NoteTailNotRecordDelimiter,
                         {messageLine, DescribeFileByte(R)});
  }

  FinishRebuiltNote(entityType, stringCount, P, emitter);
  return Status::Ok();
}

void FinishRebuiltNote(std::int32_t entityType, std::int32_t stringCount,
                       char parameterDelimiter, ParameterEmitter* emitter) {
  char header[48];
  std::size_t headerLength = FormatDecimal(entityType, header);
  header[headerLength++] = parameterDelimiter;
  headerLength += FormatDecimal(stringCount, header + headerLength);
  header[headerLength++] = parameterDelimiter;
  emitter->FinishRecords(std::string_view(header, headerLength));
}

}  // namespace notora
