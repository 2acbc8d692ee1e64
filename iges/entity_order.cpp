#include "iges/entity_order.h"

#include <cstring>
#include <limits>

#include "iges/record_format.h"

namespace notora {
namespace {

// What a text held in memory costs besides its bytes: the map's node and
// the string's own.
constexpr std::uint64_t kHeldOverhead = 96;

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
  Held& held = held_[k];
  memoryHeld_ -= held.text.empty() ? 0 : held.text.size() + kHeldOverhead;
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
  char header[kSpillHeader];
  const std::uint64_t size = text.size();
  std::memcpy(header, &size, sizeof size);
  std::memcpy(header + sizeof size, &lineCount, sizeof lineCount);
  if (!scratch_->WriteAt(scratchEnd_, header, kSpillHeader) ||
      !scratch_->WriteAt(scratchEnd_ + kSpillHeader, text.data(), text.size())) {
    scratchFailed_ = true;
    return false;
  }
  // An entity is completed once: it is held once.
  spilledAt_[static_cast<std::size_t>(k)] = scratchEnd_ + 1;
  scratchEnd_ += kSpillHeader + text.size();
  ++spilledCount_;
  spilledEver_ = true;
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
  // Once nothing is left in it, the scratch file is written from its start
  // again.
  if (--spilledCount_ == 0) scratchEnd_ = 0;
  char header[kSpillHeader];
  std::uint64_t size;
  if (!scratch_->ReadAt(offset, header, kSpillHeader)) return Taken::kUnreadable;
  std::memcpy(&size, header, sizeof size);
  std::memcpy(lineCount, header + sizeof size, sizeof *lineCount);
  text->resize(static_cast<std::size_t>(size));
  if (!scratch_->ReadAt(offset + kSpillHeader, text->data(), text->size())) {
    return Taken::kUnreadable;
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
}

}  // namespace notora
