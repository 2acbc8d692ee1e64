// SourceReplay: the records the output copies, read back from the source
// after both passes have checked them: the D records in file order, and each
// entity's parameter text, from its run of P records or from the table.
//
// The stream verifies every block against the sums the checking pass kept,
// so what comes back is what was checked; a block that cannot be read, or
// reads differently (the file shrank or changed under the run), gives the
// read error of the record that needed it, by its number in the file.
#pragma once

#include <cstdint>
#include <string_view>

#include "iges/directory_table.h"
#include "iges/record_reader.h"
#include "iges/source_stream.h"
#include "base/messages.h"
#include "base/status.h"

namespace notora {

class SourceReplay {
 public:
  // `*stream` and `*table` must outlive the replay. The stream must read a
  // source whose blocks were summed by the checking pass.
  SourceReplay(SourceStream* stream, const DirectoryTable* table);

  // The next D record of the file, in order (80 characters, valid until the
  // next call), skipping the records of other sections. Start from the
  // first record with the first call.
  Status NextDirectoryRecord(std::string_view* record);

  // Calls `sink(line)` with each 64-byte line of entry k's text, in order
  // (the last line of an owned text may be shorter). `sink` returns false to
  // stop early.
  template <typename Sink>
  Status ForEachTextLine(std::int32_t k, Sink&& sink);

 private:
  // A record's 80 characters, a CR and the line feed.
  static constexpr std::uint64_t kRecordSpan = kRecordLength + 2;

  // True when the record at `offset` (its 80 characters and the line end
  // after them) is among the bytes held: the usual case, decided inline.
  bool Holds(std::uint64_t offset) const {
    return started_ && offset >= stream_->start() && offset + kRecordSpan <= stream_->available();
  }
  // Makes the record at `offset` available when it is not held; fails with
  // the read error of record `number`.
  Status Reach(std::uint64_t offset, std::int32_t number);
  // Where the record after the one at `offset` (80 characters) starts.
  std::uint64_t NextRecordOffset(std::uint64_t offset) const {
    std::uint64_t next = offset + kRecordLength;
    const std::uint64_t end = stream_->available();
    if (next < end && *stream_->At(next) == '\r') ++next;
    if (next < end && *stream_->At(next) == '\n') ++next;
    return next;
  }

  SourceStream* stream_;
  const DirectoryTable* table_;
  bool started_ = false;
  std::uint64_t position_ = 0;    // where the next record of the D replay starts
  std::int32_t recordNumber_ = 0; // of the last record the D replay read
};

template <typename Sink>
Status SourceReplay::ForEachTextLine(std::int32_t k, Sink&& sink) {
  Status status = Status::Ok();
  bool going = true;
  table_->ForEachPiece(k, [&](const TextPiece& piece, std::string_view owned) {
    if (!going) return;
    if (piece.owned >= 0) {
      for (std::size_t at = 0; going && at < owned.size(); at += kParameterDataWidth) {
        going = sink(owned.substr(at, kParameterDataWidth));
      }
      return;
    }
    std::uint64_t offset = piece.offset;
    for (std::int32_t line = 0; going && line < piece.lines; ++line) {
      if (!Holds(offset)) {
        status = Reach(offset, piece.record + line);
        if (!status.ok()) {
          going = false;
          return;
        }
      }
      going = sink(std::string_view(stream_->At(offset), kParameterDataWidth));
      offset = NextRecordOffset(offset);
    }
  });
  return status;
}

}  // namespace notora
