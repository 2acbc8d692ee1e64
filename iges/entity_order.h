// EntityOrder: the order in which entities go out, which is the order of
// their Directory Entries, whatever the order of their P records.
//
// The output waits for one entity at a time (next()). That entity's
// records go out as they are read; an entity that completes before its
// turn is held until it comes, and one whose turn has passed is dropped.
// Held texts are kept in memory up to a budget, and past it in a scratch
// file beside the output, so that a drawing whose P records run in any
// order converts in bounded memory.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <string_view>

#include "base/system_vector.h"
#include "iges/directory_table.h"
#include "iges/entity_output.h"
#include "iges/file_system.h"

namespace notora {

class EntityOrder {
 public:
  // Held texts beyond this many bytes in memory go to the scratch file.
  static constexpr std::uint64_t kMemoryBudget = 32 << 20;

  // The order of the `entities` entities of `*table`, waiting for the first
  // one that has records. A scratch file is made by `*files` beside
  // `outputPath` when the held texts pass `memoryBudget`; when none can be
  // made (or written), they stay in memory. The pointers must outlive this.
  EntityOrder(const DirectoryTable* table, std::int32_t entities, FileSystem* files,
              std::string outputPath, std::uint64_t memoryBudget = kMemoryBudget);

  // The entity the output waits for; entities() + 1 once all went out.
  std::int32_t next() const { return next_; }
  std::int32_t entities() const { return entities_; }
  // The source P record that completes entity next() (the largest number
  // when there is none).
  std::int64_t nextLastRecord() const { return nextLastRecord_; }
  // True when entity next() has no P records: there is nothing to wait for.
  bool nextHasNoRecords() const {
    return next_ <= entities_ && table_->entry(next_).parameterLineCount == 0;
  }
  // Waits for the entity after next().
  void Advance();

  // Keeps entity k's text (k > next()) for its turn, with the line count it
  // is to fill.
  void Hold(std::int32_t k, std::string_view text, std::int32_t lineCount);
  // What TakeNext found.
  enum class Taken { kNone, kTaken, kUnreadable };
  // Hands over the held text of entity next(), if any, and forgets it.
  // kUnreadable: the scratch file could not give it back.
  Taken TakeNext(std::string* text, std::int32_t* lineCount);
  // Forgets every held text.
  void Clear();

  // The bytes held in memory now, and whether a text went to the scratch
  // file (for tests).
  std::uint64_t heldInMemory() const { return memoryHeld_; }
  bool spilled() const { return spilledEver_; }

 private:
  struct Held {
    std::string text;
    std::int32_t lineCount = 0;
  };
  // Writes a text to the scratch file (through the write buffer); false
  // when it cannot.
  bool Spill(std::int32_t k, std::string_view text, std::int32_t lineCount);
  // Reads `size` bytes spilled at `offset`: from the write buffer, the read
  // window, or the file, through a new window that reaches forward from
  // them, or `backwards`.
  bool ReadSpilled(std::uint64_t offset, char* out, std::size_t size, bool backwards);

  const DirectoryTable* table_;
  const std::int32_t entities_;
  FileSystem* files_;
  const std::string outputPath_;
  const std::uint64_t memoryBudget_;

  std::int32_t next_ = 0;
  std::int64_t nextLastRecord_ = 0;

  std::map<std::int32_t, Held> held_;
  std::uint64_t memoryHeld_ = 0;
  // The scratch file and, by entity, where its text stands in it (plus one;
  // 0: none): a count and line count, then the text.
  std::unique_ptr<ScratchFile> scratch_;
  bool scratchFailed_ = false;
  SystemVector<std::uint64_t> spilledAt_;
  std::uint64_t scratchEnd_ = 0;
  // The texts spilled last, not yet written: the scratch file's bytes from
  // bufferStart_ to scratchEnd_. Written in large pieces, and read back in
  // large windows, so that small entities cost few calls.
  std::string writeBuffer_;
  std::uint64_t bufferStart_ = 0;
  std::string readWindow_;
  std::uint64_t windowStart_ = 0;
  std::uint64_t lastTaken_ = 0;  // where the text taken last stood
  std::int64_t spilledCount_ = 0;
  bool spilledEver_ = false;
};

}  // namespace notora
