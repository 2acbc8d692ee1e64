#include "iges/entity_order.h"

#include <algorithm>
#include <cstring>
#include <limits>

#include "iges/record_format.h"

namespace notora {
namespace {

// What a text held in memory costs besides its bytes: the map's node and
// the string's own.
constexpr std::uint64_t kHeldOverhead = 96;

// The scratch file is written and read in pieces of this size.
constexpr std::uint64_t kSpillPiece = 1 << 20;

// Before each spilled text: its size and its line count.
constexpr std::size_t kSpillHeader = sizeof(std::uint64_t) + sizeof(std::int32_t);

}  // namespace

EntityOrder::EntityOrder(const DirectoryTable* table, std::int32_t entities, FileSystem* files,
                         std::string outputPath, std::uint64_t memoryBudget)
    : table_(table),
      entities_(entities),
      files_(files),
      outputPath_(std::move(outputPath)),
      memoryBudget_(memoryBudget) {
  Advance();
}

void EntityOrder::Advance() {
  ++next_;
  nextLastRecord_ = std::numeric_limits<std::int64_t>::max();
  if (next_ > entities_) return;
  const DirectoryEntry& entry = table_->entry(next_);
  // Pointer and count come from 8-column fields: their sum cannot overflow.
  nextLastRecord_ = std::int64_t{entry.parameterPointer} + entry.parameterLineCount - 1;
}

void EntityOrder::Hold(std::int32_t k, std::string_view text, std::int32_t lineCount) {
  const std::uint64_t cost = text.size() + kHeldOverhead;
  if (memoryHeld_ + cost > memoryBudget_ && Spill(k, text, lineCount)) return;
  // An entity is completed once: it is held once.
  Held& held = held_[k];
  held.text.assign(text);
  held.lineCount = lineCount;
  memoryHeld_ += cost;
}

bool EntityOrder::Spill(std::int32_t k, std::string_view text, std::int32_t lineCount) {
  if (scratchFailed_) return false;
  if (scratch_ == nullptr) {
    scratch_ = files_->CreateScratch(outputPath_);
    if (scratch_ == nullptr) {
      scratchFailed_ = true;
      return false;
    }
    while (spilledAt_.size() <= static_cast<std::size_t>(entities_)) spilledAt_.push_back(0);
  }
  if (writeBuffer_.size() >= kSpillPiece) {
    // A piece that cannot be written stays in the buffer, where it is read
    // back from; what comes after stays in memory.
    if (!scratch_->WriteAt(bufferStart_, writeBuffer_.data(), writeBuffer_.size())) {
      scratchFailed_ = true;
      return false;
    }
    bufferStart_ = scratchEnd_;
    writeBuffer_.clear();
  }
  char header[kSpillHeader];
  const std::uint64_t size = text.size();
  std::memcpy(header, &size, sizeof size);
  std::memcpy(header + sizeof size, &lineCount, sizeof lineCount);
  writeBuffer_.append(header, kSpillHeader);
  writeBuffer_.append(text);
  // An entity is completed once: it is held once.
  spilledAt_[static_cast<std::size_t>(k)] = scratchEnd_ + 1;
  scratchEnd_ += kSpillHeader + text.size();
  ++spilledCount_;
  spilledEver_ = true;
  return true;
}

bool EntityOrder::ReadSpilled(std::uint64_t offset, char* out, std::size_t size,
                              bool backwards) {
  if (offset >= bufferStart_) {
    std::memcpy(out, writeBuffer_.data() + (offset - bufferStart_), size);
    return true;
  }
  if (offset >= windowStart_ && offset + size <= windowStart_ + readWindow_.size()) {
    std::memcpy(out, readWindow_.data() + (offset - windowStart_), size);
    return true;
  }
  if (size >= kSpillPiece) return scratch_->ReadAt(offset, out, size);
  // A window around the bytes asked for, on the side the reading moves to:
  // texts come back in the entries' order, which is often the reverse of
  // the order they were spilled in.
  const std::uint64_t end = backwards ? offset + size
                                      : std::min<std::uint64_t>(offset + kSpillPiece, bufferStart_);
  windowStart_ = backwards && end > kSpillPiece ? end - kSpillPiece : backwards ? 0 : offset;
  readWindow_.resize(static_cast<std::size_t>(end - windowStart_));
  if (!scratch_->ReadAt(windowStart_, readWindow_.data(), readWindow_.size())) {
    readWindow_.clear();
    return false;
  }
  std::memcpy(out, readWindow_.data() + (offset - windowStart_), size);
  return true;
}

EntityOrder::Taken EntityOrder::TakeNext(std::string* text, std::int32_t* lineCount) {
  if (next_ > entities_) return Taken::kNone;
  if (const auto held = held_.find(next_); held != held_.end()) {
    *text = std::move(held->second.text);
    *lineCount = held->second.lineCount;
    memoryHeld_ -= text->size() + kHeldOverhead;
    held_.erase(held);
    return Taken::kTaken;
  }
  if (spilledCount_ == 0) return Taken::kNone;
  std::uint64_t& at = spilledAt_[static_cast<std::size_t>(next_)];
  if (at == 0) return Taken::kNone;
  const std::uint64_t offset = at - 1;
  at = 0;
  // Whether the texts come back in the reverse of the order they went in:
  // then the window reaches back from the text asked for.
  const bool backwards = offset < lastTaken_;
  lastTaken_ = offset;
  char header[kSpillHeader];
  std::uint64_t size;
  if (!ReadSpilled(offset, header, kSpillHeader, backwards)) return Taken::kUnreadable;
  std::memcpy(&size, header, sizeof size);
  std::memcpy(lineCount, header + sizeof size, sizeof *lineCount);
  text->resize(static_cast<std::size_t>(size));
  if (!ReadSpilled(offset + kSpillHeader, text->data(), text->size(), backwards)) {
    return Taken::kUnreadable;
  }
  // Once nothing is left in it, the scratch file is written from its start
  // again.
  if (--spilledCount_ == 0) {
    scratchEnd_ = 0;
    bufferStart_ = 0;
    writeBuffer_.clear();
    readWindow_.clear();
    windowStart_ = 0;
  }
  return Taken::kTaken;
}

void EntityOrder::Clear() {
  held_.clear();
  memoryHeld_ = 0;
  scratch_.reset();
  spilledAt_.clear();
  spilledCount_ = 0;
  scratchEnd_ = 0;
  bufferStart_ = 0;
  std::string().swap(writeBuffer_);
  std::string().swap(readWindow_);
  windowStart_ = 0;
}

}  // namespace notora
