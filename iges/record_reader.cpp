#include "iges/record_reader.h"

#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "base/byte_classes.h"
#include "base/messages.h"

namespace notora {
namespace {

// Bytes a record may span in the file: 80 characters, a CR absorbed before
// the line feed, the line feed, and one byte more to tell a record of 81
// characters from one of 80.
constexpr std::size_t kWindow = kRecordLength + 3;

bool HasJapaneseByte(std::string_view text) {
  // Every Japanese byte has its high bit set. Most records have none: an
  // 80-column record is cleared with one look at all its high bits.
#if defined(__SSE2__)
  static_assert(kRecordLength == 80);
  if (text.size() == kRecordLength) {
    __m128i high = _mm_loadu_si128(reinterpret_cast<const __m128i*>(text.data()));
    for (std::size_t at = 16; at < kRecordLength; at += 16) {
      high = _mm_or_si128(high, _mm_loadu_si128(reinterpret_cast<const __m128i*>(text.data() + at)));
    }
    if (_mm_movemask_epi8(high) == 0) return false;
  }
#endif
  // Otherwise eight plain bytes are skipped at once.
  std::size_t i = 0;
  for (; i + 8 <= text.size(); i += 8) {
    std::uint64_t word;
    std::memcpy(&word, text.data() + i, sizeof word);
    if ((word & 0x8080808080808080ULL) == 0) continue;
    for (std::size_t j = i; j < i + 8; ++j) {
      if (cp932::IsJapaneseByte(static_cast<unsigned char>(text[j]))) return true;
    }
  }
  for (; i < text.size(); ++i) {
    if (cp932::IsJapaneseByte(static_cast<unsigned char>(text[i]))) return true;
  }
  return false;
}

}  // namespace

RecordReader::RecordReader(SourceStream* source, RunUi* ui, bool watchJapaneseBytes)
    : source_(source), ui_(ui), watchJapaneseBytes_(watchJapaneseBytes) {}

void RecordReader::KeepPrevious() {
  if (previous_ == nullptr || previous_ == previousCopy_) return;
  std::memcpy(previousCopy_, previous_, previousLength_);
  previous_ = previousCopy_;
}

Status RecordReader::Next(Record* record) {
  bool readOk = true;
  if (source_->available() - position_ < kWindow && !source_->ended()) {
    // The stream may move on to its next block, which keeps only the bytes
    // from this record on.
    KeepPrevious();
    source_->Keep(position_);
    readOk = source_->Ensure(position_ + kWindow);
  }
  const std::uint64_t held = source_->available();
  if (held >= position_ + kWindow) {
    // The usual record is read here without the general rules below.
    const char* start = source_->At(position_);
    // The records ahead are read next: ask for their bytes now.
    __builtin_prefetch(start + 16 * (kRecordLength + 1));
    if (const std::size_t lineEndLength = UsualRecordLineEnd(start); lineEndLength != 0) {
      const std::string_view text(start, kRecordLength);
      ++recordNumber_;
      previous_ = start;
      previousLength_ = kRecordLength;
      record->text = text;
      record->columns = text;
      record->letter = start[kSectionLetterColumn - 1];
      record->offset = position_;
      record->number = recordNumber_;
      record->lineEnd = lineEndLength == 1 ? std::string_view("\n") : std::string_view("\r\n");
      record->hasJapaneseByte = watchJapaneseBytes_ && HasJapaneseByte(text);
      position_ += kRecordLength + lineEndLength;
      return Passed();
    }
  }
  std::string_view rest(source_->At(position_),
                        held > position_ ? static_cast<std::size_t>(std::min<std::uint64_t>(held - position_, kWindow)) : 0);
  // The characters of this record, as a text stream would deliver them: up
  // to a line feed (not stored, a CR directly before it absorbed), the end of
  // the file, or 81 characters.
  std::size_t length;
  std::size_t consumed;
  std::string_view lineEnd;
  bool stoppedAt81 = false;
  const std::size_t lineFeed = rest.find('\n');
  if (lineFeed != std::string_view::npos) {
    length = lineFeed;
    lineEnd = "\n";
    if (length > 0 && rest[length - 1] == '\r') {
      --length;
      lineEnd = "\r\n";
    }
    consumed = lineFeed + 1;
    if (length > kRecordLength) {
      length = kRecordLength + 1;
      stoppedAt81 = true;
      lineEnd = {};
    }
  } else if (!readOk || rest.size() > kRecordLength + 1 || !source_->ended()) {
    // No line feed within reach: either more than 81 characters stand on
    // this line, or the bytes could not be read.
    length = std::min(rest.size(), kRecordLength + 1);
    consumed = length;
    stoppedAt81 = length > kRecordLength;
  } else {
    // The last line of the file, without a line feed. A CR at the very end
    // has no line feed after it and stays a character.
    length = rest.size();
    consumed = length;
    if (length > kRecordLength) {
      length = kRecordLength + 1;
      stoppedAt81 = true;
    }
    if (!stoppedAt81) atEnd_ = true;
  }

  // The record is built in locals and stored once: reading back fields just
  // stored would stall on every record.
  const char* start = rest.data();
  const std::string_view text(start, length);
  std::string_view columns;
  ++recordNumber_;
  if (length == kRecordLength) {
    columns = text;
    previous_ = start;
    previousLength_ = length;
  } else if (length == 0) {
    // The line buffer still holds the record before, behind a NUL.
    if (previousLength_ != 0) std::memcpy(lineBuffer_, previous_, previousLength_);
    lineBuffer_[previousLength_] = '\0';
    lineBuffer_[0] = '\0';
    columns = std::string_view(lineBuffer_, kRecordLength + 1);
  } else {
    // A record of the wrong length ends the run below; it is shown as read.
    std::memcpy(lineBuffer_, start, std::min(length, kRecordLength));
    columns = std::string_view(lineBuffer_, kRecordLength + 1);
  }
  record->text = text;
  record->columns = columns;
  record->letter = columns[kSectionLetterColumn - 1];
  record->offset = position_;
  record->number = recordNumber_;
  record->lineEnd = lineEnd;
  record->hasJapaneseByte = watchJapaneseBytes_ && HasJapaneseByte(text);
  position_ += consumed;

  if (!readOk && lineFeed == std::string_view::npos && !stoppedAt81) {
    // A read that failed for want of memory is no fault of the file.
    if (source_->outOfMemory()) return Status::Error(MessageId::OutOfMemory);
    return Status::Error(MessageId::ReadError, {recordNumber_});
  }
  if (stoppedAt81) {
    return Status::Error(MessageId::RecordTooLong, {recordNumber_});
  }
  if (length != 0 && length != kRecordLength) {
    return Status::Error(MessageId::RecordTooShort, {recordNumber_});
  }
  return Passed();
}

Status RecordReader::Passed() {
  if (ui_->PollCancel()) return Status::Error(MessageId::Cancelled);
  if (recordNumber_ % kProgressInterval == 0) ui_->ShowProgress(recordNumber_);
  return Status::Ok();
}

}  // namespace notora
