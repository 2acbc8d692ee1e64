#include "iges/output_writer.h"

#include <algorithm>
#include <cstring>
#include <functional>
#include <limits>
#include <vector>

#include "base/counting.h"
#include "base/memory_guard.h"
#include "base/messages.h"
#include "iges/record_format.h"
#include "base/threads.h"
#include "iges/sequence_columns.h"

namespace notora {
namespace {

// The first number that no longer fits a field of the index's width, up
// to eight columns.
constexpr std::int64_t kLimits[] = {1,      10,      100,      1000,     10000,
                                    100000, 1000000, 10000000, 100000000};

// Writes `value` in decimal at `out`, right-aligned in `width` columns (wider
// when it needs more); returns the number of bytes written. A field of at
// most eight columns is written as eight bytes: the bytes beyond it are the
// record's next bytes to write.
std::size_t PutNumber(char* out, std::int64_t value, std::size_t width) {
  if (value >= 0 && width >= 1 && width <= 8 && value < kLimits[width]) {
    // The usual field, every number of the D records and most counts:
    // blanks, then the digits written two at a time from the right.
    static constexpr char kPairs[] =
        "00010203040506070809101112131415161718192021222324252627282930313233343536373839"
        "40414243444546474849505152535455565758596061626364656667686970717273747576777879"
        "8081828384858687888990919293949596979899";
    std::memcpy(out, "        ", 8);
    std::uint64_t rest = static_cast<std::uint64_t>(value);
    std::size_t at = width;
    while (rest >= 100) {
      at -= 2;
      std::memcpy(out + at, kPairs + 2 * (rest % 100), 2);
      rest /= 100;
    }
    if (rest >= 10) {
      std::memcpy(out + at - 2, kPairs + 2 * rest, 2);
    } else {
      out[at - 1] = static_cast<char>('0' + rest);
    }
    return width;
  }
  char digits[24];
  std::size_t length = 0;
  const bool negative = value < 0;
  std::uint64_t magnitude =
      negative ? 0 - static_cast<std::uint64_t>(value) : static_cast<std::uint64_t>(value);
  do {
    digits[length++] = static_cast<char>('0' + magnitude % 10);
    magnitude /= 10;
  } while (magnitude != 0);
  if (negative) digits[length++] = '-';
  std::size_t at = 0;
  for (; at + length < width; ++at) out[at] = ' ';
  while (length > 0) out[at++] = digits[--length];
  return at;
}

// The columns PutNumber takes for `value` in a field of `width`.
std::size_t NumberWidth(std::int64_t value, std::size_t width) {
  if (value >= 0 && width <= 8 && value < kLimits[width]) return width;  // the usual number
  std::size_t digits = value < 0 ? 2 : 1;
  for (std::uint64_t rest = value < 0 ? 0 - static_cast<std::uint64_t>(value)
                                      : static_cast<std::uint64_t>(value);
       rest >= 10; rest /= 10) {
    ++digits;
  }
  return std::max(digits, width);
}

// A number's text in a field of `kWidth` columns, kept for the next record
// that writes the same number (entity types repeat from entity to entity).
template <std::size_t kWidth>
class FieldText {
 public:
  std::size_t Put(char* out, std::int64_t value) {
    if (!held_ || value != value_) {
      length_ = PutNumber(text_, value, kWidth);
      value_ = value;
      held_ = true;
    }
    if (length_ <= 8) {
      std::memcpy(out, text_, 8);  // the bytes beyond the field are written over
    } else {
      std::memcpy(out, text_, length_);
    }
    return length_;
  }

 private:
  char text_[24];
  std::size_t length_ = 0;
  std::int64_t value_ = 0;
  bool held_ = false;
};

// Copies `width` bytes from `from` to `out`; returns the count.
std::size_t Put(char* out, const char* from, std::size_t width) {
  std::memcpy(out, from, width);
  return width;
}

// Writes the sequence number `sequence` at `out`; returns the number of
// bytes it takes (one more may be written, for the record's next bytes to
// write over).
std::size_t PutSequence(char* out, const SequenceColumns& sequence) {
  if (!sequence.fits()) return PutNumber(out, sequence.value(), kSequenceWidth);
  sequence.Put(out);
  return kSequenceWidth;
}

// The bytes `lines` (each ending in a line feed) take with `lineEnd` in
// place of every line feed.
std::uint64_t LinesSize(std::string_view lines, std::string_view lineEnd) {
  const auto count = static_cast<std::uint64_t>(std::count(lines.begin(), lines.end(), '\n'));
  return lines.size() + count * (lineEnd.size() - 1);
}

constexpr std::size_t kFirstColumns = kFirstRecordCopiedColumns.width();
constexpr std::size_t kBeforeColumns = kSecondRecordCopiedColumnsBefore.width();
constexpr std::size_t kAfterColumns = kSecondRecordCopiedColumnsAfter.width();

}  // namespace

// Collects the output in large blocks, each written at its place in the
// file. From the first full block on, a thread of its own writes the blocks
// behind the run, so that the copy into the system's file cache overlaps
// with the run's work, and flushes the file at the end; without a thread
// each block is written when it is full. A write error is
// remembered, not acted on: nothing more is written, and the writer
// reports it once the source has been read.
class OutputWriter::Buffer {
 public:
  // The blocks are the system's memory, touched only as they fill; a
  // process the system gives no memory writes through a small block of its
  // own, on its own thread.
  Buffer(OutputFile* file, std::string_view lineEnd)
      : file_(file),
        lineEnd_(lineEnd),
        memory_(AllocateSystemMemory(kBlocks * kStride)),
        blockSize_(memory_ != nullptr ? kBlockSize : kSlack) {
    blocks_ = memory_ != nullptr ? kBlocks : 1;
    for (std::size_t i = 0; i < blocks_; ++i) {
      slots_[i].data = memory_ != nullptr ? memory_.get() + i * kStride : reserve_;
    }
    buffer_ = slots_[0].data;
  }
  ~Buffer() {
    if (!writer_.running()) return;
    {
      MutexLock lock(&mutex_);
      stopRequested_ = true;
    }
    changed_.NotifyAll();
    writer_.Join();
  }

  // From now on the bytes go to `offset` and after (what is held is
  // written first).
  void MoveTo(std::uint64_t offset) {
    Flush();
    offset_ = offset;
  }
  // Where the next byte goes.
  std::uint64_t end() const { return offset_ + used_; }

  // Room for `size` bytes (at most kSlack) at the end of the buffer; Commit
  // says how many of them were used.
  char* Reserve(std::size_t size) {
    if (used_ + size > blockSize_ + kSlack) FlushFullBlock();
    return buffer_ + used_;
  }
  void Commit(std::size_t size) {
    used_ += size;
    if (used_ >= blockSize_) FlushFullBlock();
  }

  void Append(std::string_view text) {
    while (!text.empty()) {
      const std::size_t part = std::min(text.size(), kSlack);
      std::memcpy(Reserve(part), text.data(), part);
      Commit(part);
      text.remove_prefix(part);
    }
  }

  // Appends `lines`, each of which ends in a line feed, with the output's
  // own line end in place of every line feed.
  void AppendLines(std::string_view lines) {
    if (lineEnd_ == "\n") return Append(lines);
    while (!lines.empty()) {
      const std::size_t end = lines.find('\n');
      Append(lines.substr(0, end));
      if (end == std::string_view::npos) break;
      Append(lineEnd_);
      lines.remove_prefix(end + 1);
    }
  }

  // Ends a line at `out`; returns the number of bytes written. (Without a
  // branch: the carriage return is written over when the line end is a
  // line feed alone.)
  std::size_t PutLineEnd(char* out) const {
    const std::size_t carriageReturn = lineEnd_.size() - 1;
    out[0] = '\r';
    out[carriageReturn] = '\n';
    return carriageReturn + 1;
  }

  // A block filled: from now on blocks are written on the writing thread.
  // (An output smaller than a block never starts it before its flush, and
  // one given up before then never starts it at all.)
  void FlushFullBlock() {
    StartWriter();
    Flush();
  }
  void StartWriter() {
    if (blocks_ == 1 || writerTried_) return;
    writerTried_ = true;
    writer_.Start([this] { WriteBehind(); });
  }

  // Hands the bytes held to be written, and goes on in the next block.
  void Flush() {
    if (used_ == 0) return;
    Slot& slot = slots_[filling_];
    slot.offset = offset_;
    slot.size = used_;
    offset_ += used_;
    used_ = 0;
    if (!writer_.running()) {
      WriteSlot(&slot);
      return;
    }
    {
      MutexLock lock(&mutex_);
      slot.full = true;
      filling_ = (filling_ + 1) % blocks_;
      changed_.NotifyAll();
      changed_.Wait(&lock, [&] { return !slots_[filling_].full; });
    }
    buffer_ = slots_[filling_].data;
  }
  // Flushes and waits until everything handed over has been written.
  void Drain() {
    Flush();
    if (!writer_.running()) return;
    MutexLock lock(&mutex_);
    changed_.Wait(&lock, [&] {
      for (std::size_t i = 0; i < blocks_; ++i) {
        if (slots_[i].full) return false;
      }
      return true;
    });
  }
  // Brings everything written to stable storage (after Drain). On the
  // writing thread where there is one, calling `whileWaiting` every 50 ms
  // meanwhile, so that the user interface stays alive during a long flush.
  bool Sync(const std::function<void()>& whileWaiting) {
    Drain();
    StartWriter();
    if (!writer_.running()) return file_->Sync();
    MutexLock lock(&mutex_);
    syncRequested_ = true;
    changed_.NotifyAll();
    while (!syncDone_) {
      changed_.WaitFor(&lock, 50);
      if (syncDone_) break;
      lock.Unlock();
      whileWaiting();
      lock.Lock();
    }
    return syncResult_;
  }

  // Whether a write failed; final after Drain.
  bool failed() {
    MutexLock lock(&mutex_);
    return failed_;
  }
  void Fail() {
    MutexLock lock(&mutex_);
    failed_ = true;
  }
  // Whether memory ran out in a write or flush on the writing thread;
  // final after Drain (or Sync).
  bool outOfMemory() {
    MutexLock lock(&mutex_);
    return outOfMemory_;
  }

  // Largest single record: four numbers of up to 20 characters and the
  // copied fields, well below this.
  static constexpr std::size_t kSlack = 4096;

 private:
  // Small enough to stay in the processor's cache between writes.
  static constexpr std::size_t kBlockSize = 512 << 10;
  static constexpr std::size_t kStride = kBlockSize + kSlack;
  // One being filled, one being written, one ready.
  static constexpr std::size_t kBlocks = 3;

  struct Slot {
    char* data = nullptr;
    std::uint64_t offset = 0;
    std::size_t size = 0;
    bool full = false;  // handed to the writing thread
  };

  void WriteSlot(Slot* slot) {
    bool failed;
    {
      MutexLock lock(&mutex_);
      failed = failed_;
    }
    if (!failed && !file_->WriteAt(slot->offset, slot->data, slot->size)) Fail();
  }

  // A write or a flush on the writing thread, where no guard of the run
  // reaches: memory that runs out in it (a file kept in memory grows as it
  // is written) fails the output with its own message, and the thread
  // goes on so that nobody waits for it in vain.
  struct FileCall {
    OutputFile* file;
    const Slot* slot;  // null: a flush
    bool result = false;
  };
  bool CallGuarded(const Slot* slot, bool* outOfMemory) {
    FileCall call{file_, slot};
    const bool ran = RunWithinMemory(
        [](void* context) {
          auto* guarded = static_cast<FileCall*>(context);
          guarded->result =
              guarded->slot == nullptr
                  ? guarded->file->Sync()
                  : guarded->file->WriteAt(guarded->slot->offset, guarded->slot->data,
                                           guarded->slot->size);
        },
        &call);
    *outOfMemory = !ran;
    return ran && call.result;
  }

  void WriteBehind() {
    std::size_t next = 0;
    MutexLock lock(&mutex_);
    for (;;) {
      changed_.Wait(&lock, [&] {
        return stopRequested_ || slots_[next].full || (syncRequested_ && !syncDone_);
      });
      if (!slots_[next].full && syncRequested_ && !syncDone_) {
        lock.Unlock();
        bool outOfMemory = false;
        const bool synced = CallGuarded(nullptr, &outOfMemory);
        lock.Lock();
        outOfMemory_ = outOfMemory_ || outOfMemory;
        syncResult_ = synced;
        syncDone_ = true;
        changed_.NotifyAll();
        continue;
      }
      if (!slots_[next].full) return;  // stopped, and nothing left to write
      Slot* slot = &slots_[next];
      // Once the output fails or is given up, no further block is written.
      const bool skip = failed_ || stopRequested_;
      lock.Unlock();
      bool outOfMemory = false;
      const bool written = skip || CallGuarded(slot, &outOfMemory);
      lock.Lock();
      if (!written) failed_ = true;
      outOfMemory_ = outOfMemory_ || outOfMemory;
      slot->full = false;
      next = (next + 1) % blocks_;
      changed_.NotifyAll();
    }
  }

  OutputFile* file_;
  std::string_view lineEnd_;
  SystemMemory memory_;
  char reserve_[2 * kSlack];
  std::size_t blockSize_;
  std::size_t blocks_ = 1;
  Slot slots_[kBlocks];
  std::size_t filling_ = 0;
  char* buffer_ = nullptr;
  std::uint64_t offset_ = 0;
  std::size_t used_ = 0;

  Mutex mutex_;
  Condition changed_;
  bool failed_ = false;
  bool outOfMemory_ = false;
  bool stopRequested_ = false;
  bool syncRequested_ = false;
  bool syncDone_ = false;
  bool syncResult_ = false;
  bool writerTried_ = false;  // the writing thread was started (or could not be)
  Thread writer_;
};

OutputWriter::OutputWriter(FileSystem* files, std::string outputPath, LineEnd lineEnd,
                           bool lineEndFromSource, RunUi* ui)
    : files_(files),
      outputPath_(std::move(outputPath)),
      lineEnd_(lineEnd),
      lineEndFromSource_(lineEndFromSource),
      ui_(ui) {}

OutputWriter::~OutputWriter() { Discard(); }

void OutputWriter::Begin(const SectionScan& scan, const DirectoryTable* table,
                         std::int32_t entities) {
  scan_ = &scan;
  table_ = table;
  entities_ = entities;
  if (lineEndFromSource_) {
    if (scan.firstLineEnd == "\r\n") lineEnd_ = LineEnd::kCrLf;
    if (scan.firstLineEnd == "\n") lineEnd_ = LineEnd::kLf;
  }
  if (!opened_) Open();
  if (file_ == nullptr) return;
  buffer_ = std::make_unique<Buffer>(file_.get(), LineEndText(lineEnd_));
  // Until the entities have been read, every pointer and count is taken to
  // fill its eight columns; Finish moves the Parameter Data in the rare
  // file where one is wider.
  reservedHead_ = HeadSize(/*final=*/false);
  buffer_->MoveTo(reservedHead_);
  live_ = true;
  next_ = 0;
  AdvanceNext();
  ResolveNext(0);
}

void OutputWriter::Open() {
  opened_ = true;
  file_ = files_->CreateOutput(outputPath_);
  // Where the name is reserved at the start, something that came to stand
  // there since the run's own check refuses it.
  if (file_ == nullptr && files_->Exists(outputPath_, /*followLinks=*/false)) {
    openFault_ = MessageId::OutputExists;
  }
}

std::uint64_t OutputWriter::HeadSize(bool final) const {
  const std::string_view lineEnd = LineEndText(lineEnd_);
  std::uint64_t size = LinesSize(scan_->startText, lineEnd) + LinesSize(scan_->globalText, lineEnd);
  std::int64_t pointer = 1;
  for (std::int32_t k = 1; k <= entities_; ++k) {
    const DirectoryEntry& entry = table_->entry(k);
    const std::int64_t first = FirstDirectoryRecord(k);
    const std::size_t typeWidth = NumberWidth(entry.entityType, kDirectoryFieldWidth);
    size += 2 * (typeWidth + 1 + lineEnd.size()) + kFirstColumns + kBeforeColumns + kAfterColumns;
    size += NumberWidth(first, kSequenceWidth) + NumberWidth(first + 1, kSequenceWidth);
    if (final) {
      size += NumberWidth(pointer, kDirectoryFieldWidth) +
              NumberWidth(entry.outputLineCount, kDirectoryFieldWidth);
      pointer += entry.outputLineCount;
    } else {
      size += 2 * kDirectoryFieldWidth;
    }
  }
  return size;
}

void OutputWriter::AdvanceNext() {
  ++next_;
  writtenBeforeNext_ = written_;
  nextLastRecord_ = std::numeric_limits<std::int64_t>::max();
  if (next_ > entities_) return;
  const DirectoryEntry& entry = table_->entry(next_);
  // Pointer and count come from 8-column fields: their sum cannot overflow.
  nextLastRecord_ = std::int64_t{entry.parameterPointer} + entry.parameterLineCount - 1;
  // Columns 65-73 of every record of the entity: a blank, the pointer to
  // its D record and the section letter, made once for all its records.
  middle_[0] = ' ';
  middleLength_ = 1 + PutNumber(middle_ + 1, FirstDirectoryRecord(next_), kSequenceWidth) + 1;
  middle_[middleLength_ - 1] = 'P';
}

void OutputWriter::ResolveNext(std::int64_t recordNumber) {
  while (live_ && next_ <= entities_) {
    if (const auto held = held_.find(next_); held != held_.end()) {
      const Held entity = std::move(held->second);
      held_.erase(held);
      WriteEntity(entity.text, entity.lineCount);
      continue;
    }
    // An entity without records has nothing to wait for.
    if (table_->entry(next_).parameterLineCount == 0) {
      AdvanceNext();
      continue;
    }
    // Its last record has been read, and did not complete it: it never will,
    // and its text does not fill its line count.
    if (recordNumber >= nextLastRecord_) {
      Stop(MessageId::OutputTextLengthMismatch);
      return;
    }
    break;
  }
}

void OutputWriter::Stop(MessageId fault) {
  live_ = false;
  stopped_ = true;
  fault_ = fault;
  // The records of the entity that failed are not counted as written.
  written_ = writtenBeforeNext_;
  held_.clear();
}

void OutputWriter::PutParameterRecord(const char* data) {
  if (written_ + 1 >= SequenceColumns::kLimit) {
    // A P sequence number beyond seven columns would make a record wider
    // than 80: such an output is refused, never written.
    Stop(MessageId::OutputTooManyRecords);
    return;
  }
  sequence_.Set(++written_);
  char* out = buffer_->Reserve(128);
  std::size_t n;
  static_assert(kParameterDataWidth == 64 && kSequenceWidth + 2 <= 16);
  if (middleLength_ == kSequenceWidth + 2) {
    // The usual record, copied in pieces of fixed size; the bytes beyond
    // each piece are written over by the next.
    std::memcpy(out, data, kParameterDataWidth);
    std::memcpy(out + kParameterDataWidth, middle_, 16);
    n = kParameterDataWidth + kSequenceWidth + 2;
  } else {
    n = Put(out, data, kParameterDataWidth);
    n += Put(out + n, middle_, middleLength_);
  }
  n += PutSequence(out + n, sequence_);
  n += buffer_->PutLineEnd(out + n);
  buffer_->Commit(n);
}

void OutputWriter::StreamLine(const char* data) {
  if (live_) PutParameterRecord(data);
}

void OutputWriter::EntityStreamed(std::int32_t k) {
  if (!live_ || k != next_) return;
  AdvanceNext();
  ResolveNext(lastRecord_);
}

void OutputWriter::WriteEntity(std::string_view text, std::int32_t lineCount) {
  mostLines_ = std::max(mostLines_, lineCount);
  if (lineCount < 0 || std::uint64_t(lineCount) * kParameterDataWidth != text.size()) {
    Stop(MessageId::OutputTextLengthMismatch);
    return;
  }
  for (std::size_t at = 0; live_ && at < text.size(); at += kParameterDataWidth) {
    PutParameterRecord(text.data() + at);
  }
  if (live_) AdvanceNext();
}

void OutputWriter::EntityText(std::int32_t k, std::string_view text, std::int32_t lineCount) {
  if (!live_ || k < next_) return;
  if (k > next_) {
    Held& held = held_[k];
    held.text.assign(text);
    held.lineCount = lineCount;
    return;
  }
  WriteEntity(text, lineCount);
  ResolveNext(lastRecord_);
}

void OutputWriter::RecordsPassed(std::int32_t recordNumber) {
  lastRecord_ = recordNumber;
  if (live_ && recordNumber >= nextLastRecord_) ResolveNext(recordNumber);
}

bool OutputWriter::MoveParameterData(std::uint64_t to) {
  // From the end backwards, so that nothing is written over before it is
  // moved.
  buffer_->Drain();
  const std::uint64_t from = reservedHead_;
  const std::uint64_t size = buffer_->end() - from;
  std::vector<char> chunk(1 << 20);
  std::uint64_t left = size;
  while (left > 0) {
    const std::size_t part = static_cast<std::size_t>(std::min<std::uint64_t>(left, chunk.size()));
    left -= part;
    std::size_t got = 0;
    while (got < part) {
      const std::int64_t n = file_->ReadAt(from + left + got, chunk.data() + got, part - got);
      if (n <= 0) return false;
      got += static_cast<std::size_t>(n);
    }
    if (!file_->WriteAt(to + left, chunk.data(), part)) return false;
  }
  buffer_->MoveTo(to + size);
  return true;
}

Status OutputWriter::WriteHead() {
  buffer_->MoveTo(0);
  buffer_->AppendLines(scan_->startText);
  buffer_->AppendLines(scan_->globalText);
  DirectoryTable::ColumnReader columns(*table_);
  // Pointers are summed in 64 bits: line counts as read may add up to more
  // than a 32-bit number holds.
  std::int64_t pointer = 1;
  FieldText<kDirectoryFieldWidth> entityType;
  SequenceColumns directorySequence;
  for (std::int32_t k = 1; k <= entities_; ++k) {
    const DirectoryEntry& entry = table_->entry(k);
    const char* copied = columns.Next();
    char* out = buffer_->Reserve(200);
    std::size_t n = entityType.Put(out, entry.entityType);
    n += PutNumber(out + n, pointer, kDirectoryFieldWidth);
    n += Put(out + n, copied, kFirstColumns);
    out[n++] = 'D';
    directorySequence.Set(FirstDirectoryRecord(k));
    n += PutSequence(out + n, directorySequence);
    n += buffer_->PutLineEnd(out + n);
    n += entityType.Put(out + n, entry.entityType);
    n += Put(out + n, copied + kFirstColumns, kBeforeColumns);
    n += PutNumber(out + n, entry.outputLineCount, kDirectoryFieldWidth);
    n += Put(out + n, copied + kFirstColumns + kBeforeColumns, kAfterColumns);
    out[n++] = 'D';
    directorySequence.Set(FirstDirectoryRecord(k) + 1);
    n += PutSequence(out + n, directorySequence);
    n += buffer_->PutLineEnd(out + n);
    buffer_->Commit(n);
    pointer += entry.outputLineCount;
    // The user may still cancel while the last section is written.
    if (ui_->PollCancel()) return Status::Error(MessageId::Cancelled);
  }
  buffer_->Drain();
  return Status::Ok();
}

Status OutputWriter::Finish(RunCounters* counters) {
  if (file_ == nullptr) return Status::Error(openFault_);
  ResolveNext(std::numeric_limits<std::int64_t>::max());
  counters->parameterRecords = SaturateToInt32(written_);
  if (stopped_) {
    Discard();
    return Status::Error(fault_);
  }
  Status status = Status::Ok();
  // The Terminate record closes the Parameter Data section.
  char* out = buffer_->Reserve(160);
  std::size_t n = 0;
  const std::int32_t sectionCounts[] = {counters->startRecords, counters->globalRecords,
                                        counters->directoryRecords, counters->parameterRecords};
  for (std::size_t section = 0; section < std::size(sectionCounts); ++section) {
    out[n++] = kTerminateCountLetters[section];
    n += PutNumber(out + n, sectionCounts[section], kSequenceWidth);
  }
  n += Put(out + n, kTerminateRecordEnd.data(), kTerminateRecordEnd.size());
  n += buffer_->PutLineEnd(out + n);
  buffer_->Commit(n);
  buffer_->Drain();
  // Every pointer and count fills its eight columns, as the layout took it,
  // unless the Parameter Data reaches 100,000,000 records or a rebuilt note
  // has that many: only then are they counted again.
  constexpr std::int64_t kEightColumns = kLimits[kDirectoryFieldWidth];
  const std::uint64_t headSize = written_ + 1 < kEightColumns && mostLines_ < kEightColumns
                                     ? reservedHead_
                                     : HeadSize(/*final=*/true);
  if (headSize != reservedHead_ && !buffer_->failed() && !MoveParameterData(headSize)) {
    buffer_->Fail();
  }
  status = WriteHead();
  if (status.ok() && buffer_->failed()) status = Status::Error(WriteFault());
  if (status.ok()) {
    // The flush of a large output onto a disk may take a while: the user
    // interface is polled meanwhile, and a cancel ends the run after it.
    bool cancelled = false;
    const bool synced = buffer_->Sync([&] { cancelled = cancelled || ui_->PollCancel(); });
    if (cancelled) {
      status = Status::Error(MessageId::Cancelled);
    } else if (!synced) {
      status = Status::Error(WriteFault());
    }
  }
  if (!status.ok()) {
    Discard();
    return status;
  }
  buffer_.reset();
  const PublishResult published = file_->Publish();
  file_.reset();
  live_ = false;
  switch (published) {
    case PublishResult::kPublished:
      return Status::Ok();
    case PublishResult::kNameTaken:
      return Status::Error(MessageId::OutputExists);
    case PublishResult::kFailed:
      break;
  }
  return Status::Error(MessageId::OutputCloseFailed);
}

MessageId OutputWriter::WriteFault() {
  return buffer_->outOfMemory() ? MessageId::OutOfMemory : MessageId::OutputWriteError;
}

void OutputWriter::Discard() {
  live_ = false;
  held_.clear();
  // No block is written once the file is given up.
  buffer_.reset();
  if (file_ != nullptr) file_->Discard();
  file_.reset();
}

}  // namespace notora
