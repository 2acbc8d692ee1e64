#include "iges/output_writer.h"

#include <cstring>

#include "iges/record_format.h"
#include "iges/sequence_columns.h"
#include "base/counting.h"
#include "base/messages.h"

namespace notora {
namespace {

// Collects the output in large blocks. A write error is remembered, not
// acted on: the file is checked once, after its last record.
class BufferedOutput {
 public:
  // The block is the system's memory, touched only as it fills (not
  // zeroed here first); a process the system gives no memory writes through
  // a small block of the object's own.
  BufferedOutput(OutputFile* file, LineEnd lineEnd)
      : file_(file),
        lineEnd_(LineEndText(lineEnd)),
        memory_(AllocateSystemMemory(kBlockSize + kSlack)),
        buffer_(memory_ != nullptr ? memory_.get() : reserve_),
        blockSize_(memory_ != nullptr ? kBlockSize : kSlack) {}

  // Room for `size` bytes (at most kSlack) at the end of the buffer; Commit
  // says how many of them were used.
  char* Reserve(std::size_t size) {
    if (used_ + size > blockSize_ + kSlack) Flush();
    return buffer_ + used_;
  }
  void Commit(std::size_t size) {
    used_ += size;
    if (used_ >= blockSize_) Flush();
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

  void Flush() {
    if (used_ != 0 && !file_->Write(buffer_, used_)) failed_ = true;
    used_ = 0;
  }
  bool failed() const { return failed_; }

  // Largest single record: four numbers of up to 20 characters and the
  // copied fields, well below this.
  static constexpr std::size_t kSlack = 4096;

 private:
  // Small enough to stay in the processor's cache between writes.
  static constexpr std::size_t kBlockSize = 512 << 10;
  OutputFile* file_;
  std::string_view lineEnd_;
  SystemMemory memory_;
  char reserve_[2 * kSlack];
  char* buffer_;
  std::size_t blockSize_;
  std::size_t used_ = 0;
  bool failed_ = false;
};

// Writes `value` in decimal at `out`, right-aligned in `width` columns (wider
// when it needs more); returns the number of bytes written. A field of at
// most eight columns is written as eight bytes: the bytes beyond it are the
// record's next bytes to write.
std::size_t PutNumber(char* out, std::int64_t value, std::size_t width) {
  static constexpr std::int64_t kLimits[] = {1,      10,      100,      1000,     10000,
                                             100000, 1000000, 10000000, 100000000};
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

// Copies the columns `range` of `record`, a record of 80 characters, to
// `out`; returns their count. (A copy of fixed size where `range` is known.)
std::size_t PutColumns(char* out, std::string_view record, Columns range) {
  std::memcpy(out, record.data() + range.first - 1, range.width());
  return range.width();
}

// Copies `text` to `out`; returns its length.
std::size_t Put(char* out, std::string_view text) {
  std::memcpy(out, text.data(), text.size());
  return text.size();
}

// Gives up a partly written file: closes it and reports why (and, when that
// close fails too, says so after).
Status Fail(OutputFile* file, Status status) {
  if (!file->Close()) status.FollowedBy(MessageId::OutputCloseFailedAfterError);
  return status;
}

// Writes the sequence number `sequence` at `out`; returns the number of
// bytes it takes (one more may be written, for the record's next bytes to
// write over).
std::size_t PutSequence(char* out, const SequenceColumns& sequence) {
  if (!sequence.fits()) return PutNumber(out, sequence.value(), kSequenceWidth);
  sequence.Put(out);
  return kSequenceWidth;
}

}  // namespace

Status WriteOutput(const std::string& outputPath, const SectionScan& scan, DirectoryTable* table,
                   RunCounters* counters, LineEnd lineEnd, FileSystem* files, RunUi* ui,
                   SourceReplay* source) {
  std::unique_ptr<OutputFile> file = files->CreateOutput(outputPath);
  if (file == nullptr) return Status::Error(MessageId::OutputOpenFailed);
  BufferedOutput output(file.get(), lineEnd);
  output.AppendLines(scan.startText);
  output.AppendLines(scan.globalText);

  const std::int32_t entities = counters->directoryRecords / 2;
  // Pointers are summed in 64 bits: line counts as read may add up to more
  // than a 32-bit number holds.
  std::int64_t pointer = 1;
  std::string_view record;
  FieldText<kDirectoryFieldWidth> entityType;
  SequenceColumns directorySequence;
  for (std::int32_t k = 1; k <= entities; ++k) {
    DirectoryEntry& entry = table->entry(k);
    const std::int32_t outputLineCount = table->outputLineCount(k);
    entry.parameterPointer = SaturateToInt32(pointer);
    // Each D record is copied into the output before the next is read back.
    Status read = source->NextDirectoryRecord(&record);
    if (!read.ok()) {
      output.Flush();
      return Fail(file.get(), read);
    }
    char* out = output.Reserve(160);
    std::size_t n = entityType.Put(out, entry.entityType);
    n += PutNumber(out + n, pointer, kDirectoryFieldWidth);
    n += PutColumns(out + n, record, kFirstRecordCopiedColumns);
    out[n++] = 'D';
    directorySequence.Set(FirstDirectoryRecord(k));
    n += PutSequence(out + n, directorySequence);
    n += output.PutLineEnd(out + n);
    output.Commit(n);
    read = source->NextDirectoryRecord(&record);
    if (!read.ok()) {
      output.Flush();
      return Fail(file.get(), read);
    }
    out = output.Reserve(160);
    n = entityType.Put(out, entry.entityType);
    n += PutColumns(out + n, record, kSecondRecordCopiedColumnsBefore);
    n += PutNumber(out + n, outputLineCount, kDirectoryFieldWidth);
    n += PutColumns(out + n, record, kSecondRecordCopiedColumnsAfter);
    out[n++] = 'D';
    directorySequence.Set(FirstDirectoryRecord(k) + 1);
    n += PutSequence(out + n, directorySequence);
    n += output.PutLineEnd(out + n);
    output.Commit(n);
    pointer += outputLineCount;
    if ((2 * k) % kProgressInterval == 0) ui->ShowProgress(2 * k);
  }

  counters->parameterRecords = 0;
  SequenceColumns sequence;
  pointer = 1;
  for (std::int32_t k = 1; k <= entities; ++k) {
    const std::int32_t outputLineCount = table->outputLineCount(k);
    if (outputLineCount < 0 ||
        std::uint64_t(outputLineCount) * kParameterDataWidth != table->textLength(k)) {
      output.Flush();
      return Fail(file.get(), Status::Error(MessageId::OutputTextLengthMismatch));
    }
    // Columns 65-73 of every record of the entity: a blank, the pointer to
    // its D record and the section letter, made once for all its records.
    char middle[32] = {};
    middle[0] = ' ';
    const std::size_t middleLength =
        1 + PutNumber(middle + 1, FirstDirectoryRecord(k), kSequenceWidth) + 1;
    middle[middleLength - 1] = 'P';
    static_assert(kParameterDataWidth == 64 && kSequenceWidth + 2 <= 16);
    const std::int64_t first = pointer;
    const std::int64_t end = pointer + outputLineCount;
    pointer = end;
    bool inRange = true;
    const Status read = source->ForEachTextLine(k, [&](std::string_view line) {
      const std::int32_t number = ++counters->parameterRecords;
      sequence.Set(number);
      if (number < first || number >= end) {
        inRange = false;
        return false;
      }
      char* out = output.Reserve(128);
      std::size_t n;
      if (line.size() == kParameterDataWidth && middleLength == kSequenceWidth + 2) {
        // The usual record, copied in pieces of fixed size; the bytes beyond
        // each piece are written over by the next.
        std::memcpy(out, line.data(), kParameterDataWidth);
        std::memcpy(out + kParameterDataWidth, middle, 16);
        n = kParameterDataWidth + kSequenceWidth + 2;
      } else {
        n = Put(out, line);
        n += Put(out + n, std::string_view(middle, middleLength));
      }
      n += PutSequence(out + n, sequence);
      n += output.PutLineEnd(out + n);
      output.Commit(n);
      if (number % kProgressInterval == 0) ui->ShowProgress(number);
      return true;
    });
    if (!read.ok()) {
      output.Flush();
      return Fail(file.get(), read);
    }
    if (!inRange) {
      output.Flush();
      return Fail(file.get(), Status::Error(MessageId::OutputPointerMismatch));
    }
  }

  char* out = output.Reserve(160);
  std::size_t n = 0;
  const std::int32_t sectionCounts[] = {counters->startRecords, counters->globalRecords,
                                        counters->directoryRecords, counters->parameterRecords};
  for (std::size_t section = 0; section < std::size(sectionCounts); ++section) {
    out[n++] = kTerminateCountLetters[section];
    n += PutNumber(out + n, sectionCounts[section], kSequenceWidth);
  }
  n += Put(out + n, kTerminateRecordEnd);
  n += output.PutLineEnd(out + n);
  output.Commit(n);
  output.Flush();

  if (output.failed()) return Fail(file.get(), Status::Error(MessageId::OutputWriteError));
  if (!file->Close()) return Status::Error(MessageId::OutputCloseFailed);
  return Status::Ok();
}

}  // namespace notora
