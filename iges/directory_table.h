// DirectoryEntry and DirectoryTable: the Directory Entry section as held in
// memory, one entry per pair of D records, with where each entity's
// parameter text is found.
//
// Memory does not grow with the source's bytes: an entry holds the numbers
// a run needs and where its text stands in the source (a run of P records,
// read again by the output pass); the copied D fields are read again from
// the D records themselves. Only rebuilt notes (and the rare text that is
// not one run of records) are held by the table.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "iges/record_format.h"
#include "base/platform.h"
#include "base/system_vector.h"

namespace notora {

// A part of a parameter text: `lines` consecutive records of the source from
// `offset` (columns 1-64 of each), or owned bytes.
struct TextPiece {
  std::uint64_t offset = 0;   // the run's first record in the source
  std::int32_t lines = 0;     // records in the run
  std::int32_t record = 0;    // the run's first record, by its number in the file
  std::int32_t owned = -1;    // >= 0: the owned bytes of that index instead of a run
};

// All zero is an entry as it starts: no entity read, an empty text.
struct DirectoryEntry {
  std::int32_t entityType = 0;          // columns 1-8 of both records
  std::int32_t parameterPointer = 0;    // columns 9-16 of the first record
  std::int32_t parameterLineCount = 0;  // columns 25-32 of the second record, as read
  // The parameter text, when it is one run of source records (else
  // storedText names the table's stored text). Empty (textLines 0) until set.
  std::int32_t textLines = 0;
  std::int32_t textRecord = 0;
  std::int32_t storedText = 0;  // 0: none; i: the stored text of index i - 1
  std::uint64_t textOffset = 0;
};

class DirectoryTable {
 public:
  // A table of `entityCount` + 1 entries (entry 0 holds no entity).
  // The entries are taken zeroed from the system, so that their memory is
  // touched once, when they are filled. Throws std::bad_alloc when there is
  // no memory for them.
  explicit DirectoryTable(std::int32_t entityCount);

  std::int32_t entityCount() const { return entityCount_; }
  DirectoryEntry& entry(std::int32_t k) { return entries()[k]; }
  const DirectoryEntry& entry(std::int32_t k) const { return entries()[k]; }

  // The P records entity k will have in the output: its count as read, or
  // the count of its rebuilt text.
  std::int32_t outputLineCount(std::int32_t k) const;

  // Sets entry k's text to one run of source records.
  void SetSourceText(std::int32_t k, const TextPiece& run);
  // Sets entry k's text to `pieces`, whose owned bytes are `owned[piece.owned]`;
  // the table keeps what they hold.
  void SetPiecedText(std::int32_t k, const std::vector<TextPiece>& pieces,
                     const std::vector<std::string>& owned);
  // Sets entry k's text to a copy of a rebuilt note of `lineCount` records.
  void SetRebuiltText(std::int32_t k, std::string_view text, std::int32_t lineCount);

  // The length of entry k's parameter text in bytes.
  std::uint64_t textLength(std::int32_t k) const;
  // Calls `sink(piece, ownedBytes)` for each piece of entry k's text in
  // order; ownedBytes is empty for a run of source records.
  template <typename Sink>
  void ForEachPiece(std::int32_t k, Sink&& sink) const;

 private:
  struct StoredText {
    std::uint32_t firstPiece = 0;
    std::uint32_t pieceCount = 0;
    std::int32_t outputLineCount = 0;
  };

  // Owned texts, copied into large blocks that never move: one allocation
  // for many notes instead of one for each.
  class TextStore {
   public:
    // Keeps a copy of `text`; returns its index.
    std::int32_t Add(std::string_view text);
    std::string_view operator[](std::size_t index) const { return texts_[index]; }

   private:
    std::vector<SystemMemory> blocks_;
    std::size_t blockSize_ = 0;
    std::size_t used_ = 0;
    SystemVector<std::string_view> texts_;
  };

  // The entries, in zeroed memory: zeroed entries.
  DirectoryEntry* entries() const { return reinterpret_cast<DirectoryEntry*>(memory_.get()); }

  std::int32_t entityCount_;
  SystemMemory memory_;
  // One stored text and at least one piece for every rebuilt note: in the
  // system's memory, which a large drawing fills in large pages.
  SystemVector<StoredText> stored_;
  SystemVector<TextPiece> pieces_;
  TextStore owned_;
};

template <typename Sink>
void DirectoryTable::ForEachPiece(std::int32_t k, Sink&& sink) const {
  const DirectoryEntry& e = entry(k);
  if (e.storedText == 0) {
    if (e.textLines > 0) {
      TextPiece run;
      run.offset = e.textOffset;
      run.lines = e.textLines;
      run.record = e.textRecord;
      sink(run, std::string_view());
    }
    return;
  }
  const StoredText& stored = stored_[static_cast<std::size_t>(e.storedText) - 1];
  for (std::uint32_t i = 0; i < stored.pieceCount; ++i) {
    const TextPiece& piece = pieces_[stored.firstPiece + i];
    sink(piece,
         piece.owned >= 0 ? owned_[static_cast<std::size_t>(piece.owned)] : std::string_view());
  }
}

}  // namespace notora
