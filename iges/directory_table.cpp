#include "iges/directory_table.h"

#include <algorithm>
#include <cstring>
#include <new>
#include <type_traits>

#include "base/platform.h"

namespace notora {

DirectoryTable::DirectoryTable(std::int32_t entityCount)
    : entityCount_(entityCount),
      memory_(AllocateSystemMemory((static_cast<std::size_t>(entityCount) + 1) *
                                   sizeof(DirectoryEntry))) {
  static_assert(std::is_trivially_copyable_v<DirectoryEntry>);
  if (memory_ == nullptr) throw std::bad_alloc();
}

std::int32_t DirectoryTable::outputLineCount(std::int32_t k) const {
  const DirectoryEntry& e = entry(k);
  if (e.storedText == 0) return e.parameterLineCount;
  return stored_[static_cast<std::size_t>(e.storedText) - 1].outputLineCount;
}

void DirectoryTable::SetSourceText(std::int32_t k, const TextPiece& run) {
  DirectoryEntry& e = entry(k);
  e.textOffset = run.offset;
  e.textLines = run.lines;
  e.textRecord = run.record;
  e.storedText = 0;
}

void DirectoryTable::SetPiecedText(std::int32_t k, const std::vector<TextPiece>& pieces,
                                   const std::vector<std::string>& owned) {
  DirectoryEntry& e = entry(k);
  StoredText stored;
  stored.firstPiece = static_cast<std::uint32_t>(pieces_.size());
  stored.pieceCount = static_cast<std::uint32_t>(pieces.size());
  stored.outputLineCount = e.parameterLineCount;
  for (TextPiece piece : pieces) {
    if (piece.owned >= 0) {
      piece.owned = owned_.Add(owned[static_cast<std::size_t>(piece.owned)]);
    }
    pieces_.push_back(piece);
  }
  e.textLines = 0;
  stored_.push_back(stored);
  e.storedText = static_cast<std::int32_t>(stored_.size());
}

void DirectoryTable::SetRebuiltText(std::int32_t k, std::string_view text, std::int32_t lineCount) {
  DirectoryEntry& e = entry(k);
  TextPiece piece;
  piece.owned = owned_.Add(text);
  StoredText stored;
  stored.firstPiece = static_cast<std::uint32_t>(pieces_.size());
  stored.pieceCount = 1;
  stored.outputLineCount = lineCount;
  pieces_.push_back(piece);
  e.textLines = 0;
  stored_.push_back(stored);
  e.storedText = static_cast<std::int32_t>(stored_.size());
}

std::uint64_t DirectoryTable::textLength(std::int32_t k) const {
  std::uint64_t length = 0;
  ForEachPiece(k, [&length](const TextPiece& piece, std::string_view owned) {
    length += piece.owned >= 0 ? owned.size() : std::uint64_t(piece.lines) * kParameterDataWidth;
  });
  return length;
}

std::int32_t DirectoryTable::TextStore::Add(std::string_view text) {
  // Blocks grow from 64 KB to 8 MB, so that a small drawing takes little
  // and a large one few blocks; a text longer than a block has its own. The
  // block after 256 KB is a large page (2 MB), filled with one page fault
  // rather than 512.
  constexpr std::size_t kFirstBlock = 64 << 10;
  constexpr std::size_t kLastSmallBlock = 256 << 10;
  constexpr std::size_t kLargePageBlock = 2 << 20;
  constexpr std::size_t kLargestBlock = 8 << 20;
  if (blocks_.empty() || used_ + text.size() > blockSize_) {
    std::size_t next = kFirstBlock;
    if (!blocks_.empty()) {
      next = blockSize_ < kLastSmallBlock
                 ? 2 * blockSize_
                 : std::min(std::max(2 * blockSize_, kLargePageBlock), kLargestBlock);
    }
    blockSize_ = std::max(next, text.size());
    SystemMemory block = AllocateSystemMemory(blockSize_);
    if (block == nullptr) throw std::bad_alloc();
    blocks_.push_back(std::move(block));
    used_ = 0;
  }
  char* copy = blocks_.back().get() + used_;
  if (!text.empty()) std::memcpy(copy, text.data(), text.size());
  used_ += text.size();
  texts_.push_back(std::string_view(copy, text.size()));
  return static_cast<std::int32_t>(texts_.size()) - 1;
}

}  // namespace notora
