#include "iges/output_writer.h"

#include <cstring>
#include <limits>

#include "run/messages.h"

namespace notora {
namespace {

// Collects the output in large blocks. A write error is remembered, not
// acted on: the file is checked once, after its last record.
class BufferedOutput {
 public:
  explicit BufferedOutput(OutputFile* file) : file_(file) { buffer_.reserve(kBlockSize + 256); }

  void Append(std::string_view text) {
    buffer_.append(text);
    if (buffer_.size() >= kBlockSize) Flush();
  }
  void AppendChar(char c) { buffer_.push_back(c); }
  // `value` in decimal, right-aligned in `width` columns (wider when needed).
  void AppendNumber(std::int64_t value, int width) {
    char digits[24];
    int length = 0;
    const bool negative = value < 0;
    std::uint64_t magnitude = negative ? 0 - static_cast<std::uint64_t>(value)
                                       : static_cast<std::uint64_t>(value);
    do {
      digits[length++] = static_cast<char>('0' + magnitude % 10);
      magnitude /= 10;
    } while (magnitude != 0);
    if (negative) digits[length++] = '-';
    for (int pad = width - length; pad > 0; --pad) buffer_.push_back(' ');
    while (length > 0) buffer_.push_back(digits[--length]);
  }
  void Flush() {
    if (!buffer_.empty() && !file_->Write(buffer_.data(), buffer_.size())) failed_ = true;
    buffer_.clear();
  }
  bool failed() const { return failed_; }

 private:
  static constexpr std::size_t kBlockSize = 1 << 20;
  OutputFile* file_;
  std::string buffer_;
  bool failed_ = false;
};

std::int32_t Saturate(std::int64_t value) {
  if (value > std::numeric_limits<std::int32_t>::max()) return std::numeric_limits<std::int32_t>::max();
  if (value < std::numeric_limits<std::int32_t>::min()) return std::numeric_limits<std::int32_t>::min();
  return static_cast<std::int32_t>(value);
}

// Gives up a partly written file: closes it and reports why.
bool Fail(OutputFile* file, MessageId id, OutputFailure* failure) {
  failure->message = FormatMessage(id);
  if (!file->Close()) failure->closeMessage = FormatMessage(MessageId::OutputCloseFailedAfterError);
  return false;
}

}  // namespace

bool WriteOutput(const std::string& outputPath, const SectionScan& scan, DirectoryTable* table,
                 RunCounters* counters, FileSystem* files, RunUi* ui, OutputFailure* failure) {
  std::unique_ptr<OutputFile> file = files->CreateOutput(outputPath);
  if (file == nullptr) {
    failure->message = FormatMessage(MessageId::OutputOpenFailed);
    return false;
  }
  BufferedOutput out(file.get());
  out.Append(scan.startText);
  out.Append(scan.globalText);

  const std::int32_t entities = counters->directoryRecords / 2;
  // Pointers are summed in 64 bits: line counts as read may add up to more
  // than a 32-bit number holds.
  std::int64_t pointer = 1;
  for (std::int32_t k = 1; k <= entities; ++k) {
    DirectoryEntry& entry = table->entry(k);
    entry.parameterPointer = Saturate(pointer);
    out.AppendNumber(entry.entityType, 8);
    out.AppendNumber(pointer, 8);
    out.Append(table->fields3to9(k));
    out.AppendChar('D');
    out.AppendNumber(2 * std::int64_t(k) - 1, 7);
    out.AppendChar('\n');
    out.AppendNumber(entry.entityType, 8);
    out.Append(table->fields12to13(k));
    out.AppendNumber(entry.outputLineCount, 8);
    out.Append(table->fields15to19(k));
    out.AppendChar('D');
    out.AppendNumber(2 * std::int64_t(k), 7);
    out.AppendChar('\n');
    pointer += entry.outputLineCount;
    if ((2 * k) % 100 == 0) ui->ShowProgress(2 * k);
  }

  counters->parameterRecords = 0;
  pointer = 1;
  for (std::int32_t k = 1; k <= entities; ++k) {
    const DirectoryEntry& entry = table->entry(k);
    if (std::uint64_t(std::max(entry.outputLineCount, 0)) * kParameterDataWidth != table->textLength(k) ||
        entry.outputLineCount < 0) {
      out.Flush();
      return Fail(file.get(), MessageId::OutputTextLengthMismatch, failure);
    }
    const std::int64_t first = pointer;
    const std::int64_t end = pointer + entry.outputLineCount;
    pointer = end;
    bool inRange = true;
    table->ForEachTextLine(k, [&](std::string_view line) {
      if (!inRange) return;
      const std::int32_t number = ++counters->parameterRecords;
      if (number < first || number >= end) {
        inRange = false;
        return;
      }
      out.Append(line);
      out.AppendChar(' ');
      out.AppendNumber(2 * std::int64_t(k) - 1, 7);
      out.AppendChar('P');
      out.AppendNumber(number, 7);
      out.AppendChar('\n');
      if (number % 100 == 0) ui->ShowProgress(number);
    });
    if (!inRange) {
      out.Flush();
      return Fail(file.get(), MessageId::OutputPointerMismatch, failure);
    }
  }

  out.AppendChar('S');
  out.AppendNumber(counters->startRecords, 7);
  out.AppendChar('G');
  out.AppendNumber(counters->globalRecords, 7);
  out.AppendChar('D');
  out.AppendNumber(counters->directoryRecords, 7);
  out.AppendChar('P');
  out.AppendNumber(counters->parameterRecords, 7);
  out.Append("                                        T      1\n");
  out.Flush();

  if (out.failed()) return Fail(file.get(), MessageId::OutputWriteError, failure);
  if (!file->Close()) {
    failure->message = FormatMessage(MessageId::OutputCloseFailed);
    return false;
  }
  return true;
}

}  // namespace notora
