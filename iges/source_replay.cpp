#include "iges/source_replay.h"

#include <cstring>

namespace notora {
namespace {

// A run that starts this far beyond the bytes held is reached by reading
// from it afresh rather than through everything before it.
constexpr std::uint64_t kFarAhead = 4 * SourceStream::kBlockSize;

}  // namespace

SourceReplay::SourceReplay(SourceStream* stream, const DirectoryTable* table)
    : stream_(stream), table_(table) {}

Status SourceReplay::Reach(std::uint64_t offset, std::int32_t number) {
  if (!started_ || offset < stream_->start() || offset > stream_->available() + kFarAhead) {
    stream_->Restart(offset, SourceStream::Check::kVerify);
    started_ = true;
  }
  stream_->Keep(offset);
  stream_->Ensure(offset + kRecordSpan);
  if (stream_->available() < offset + kRecordLength) {
    return Status::Error(MessageId::ReadError, {number});
  }
  return Status::Ok();
}

Status SourceReplay::NextDirectoryRecord(std::string_view* record) {
  for (;;) {
    const std::int32_t number = ++recordNumber_;
    if (!started_) {
      stream_->Restart(position_, SourceStream::Check::kVerify);
      started_ = true;
    }
    stream_->Keep(position_);
    const bool readOk = stream_->Ensure(position_ + kRecordSpan + 1);
    if (position_ + kRecordSpan <= stream_->available()) {
      // The usual D record: 80 characters, then a line feed or CR LF.
      const char* start = stream_->At(position_);
      const std::size_t lineEnd = UsualRecordLineEnd(start);
      if (lineEnd != 0 && start[kSectionLetterColumn - 1] == 'D') {
        position_ += kRecordLength + lineEnd;
        *record = std::string_view(start, kRecordLength);
        return Status::Ok();
      }
    }
    const std::uint64_t held = stream_->available() > position_ ? stream_->available() - position_ : 0;
    const std::size_t window = static_cast<std::size_t>(std::min<std::uint64_t>(held, kRecordSpan + 1));
    const char* start = stream_->At(position_);
    const void* lineFeed = window > 0 ? std::memchr(start, '\n', window) : nullptr;
    std::size_t length;
    std::size_t consumed;
    if (lineFeed != nullptr) {
      length = static_cast<std::size_t>(static_cast<const char*>(lineFeed) - start);
      consumed = length + 1;
      if (length > 0 && start[length - 1] == '\r') --length;
    } else if (readOk && stream_->ended() && window == held) {
      length = consumed = window;  // the last record, without a line feed
    } else {
      return Status::Error(MessageId::ReadError, {number});
    }
    if (length == 0 && consumed == 0) return Status::Error(MessageId::ReadError, {number});
    position_ += consumed;
    if (length == kRecordLength && start[kSectionLetterColumn - 1] == 'D') {
      *record = std::string_view(start, length);
      return Status::Ok();
    }
  }
}

}  // namespace notora
