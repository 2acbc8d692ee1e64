#include "note/note_tail.h"

#include "base/byte_classes.h"
#include "iges/record_format.h"

namespace notora {
namespace {

// A count or pointer of more digits is none a file could mean.
constexpr std::size_t kMaxDigits = 9;

// The type of a property whose form addresses a note's strings by number.
constexpr std::int32_t kPropertyType = 406;
constexpr std::int32_t kDimensionDisplayForm = 30;
constexpr std::int32_t kUnderscoreForm = 34;
constexpr std::int32_t kOverscoreForm = 35;

// The tail's bytes without its blanks, each with its index in the text.
class TailReader {
 public:
  TailReader(std::string_view text, std::int32_t tailStart) {
    for (auto i = static_cast<std::size_t>(tailStart < 0 ? 0 : tailStart); i < text.size(); ++i) {
      if (text[i] != ' ') bytes_.push_back({text[i], static_cast<std::int32_t>(i)});
    }
  }
  bool atEnd() const { return next_ == bytes_.size(); }
  // Takes `byte` when it comes next.
  bool Take(char byte) {
    if (atEnd() || bytes_[next_].byte != byte) return false;
    ++next_;
    return true;
  }
  // Takes an unsigned decimal number and appends its digits to *digits.
  bool Number(std::int32_t* value, std::int32_t* at, std::string* digits) {
    const std::size_t first = next_;
    std::int32_t number = 0;
    while (!atEnd() && IsDigit(bytes_[next_].byte) && next_ - first < kMaxDigits) {
      number = number * 10 + (bytes_[next_].byte - '0');
      digits->push_back(bytes_[next_].byte);
      ++next_;
    }
    if (next_ == first || (!atEnd() && IsDigit(bytes_[next_].byte))) return false;
    *value = number;
    *at = bytes_[first].at;
    return true;
  }
  char peek() const { return atEnd() ? '\0' : bytes_[next_].byte; }

 private:
  struct Byte {
    char byte;
    std::int32_t at;
  };
  std::vector<Byte> bytes_;
  std::size_t next_ = 0;
};

}  // namespace

bool ReadNoteTail(std::string_view text, std::int32_t tailStart, char parameterDelimiter,
                  char recordDelimiter, std::int32_t directoryRecords, NoteTail* tail) {
  *tail = NoteTail();
  TailReader reader(text, tailStart);
  // One group: its count, then as many pointers, each field with the
  // delimiter after it.
  const auto readGroup = [&](std::vector<NoteTail::Pointer>* pointers) {
    std::string field;
    std::int32_t count = 0;
    std::int32_t at = 0;
    if (!reader.Number(&count, &at, &field)) return false;
    for (std::int32_t i = 0; i < count; ++i) {
      if (!reader.Take(parameterDelimiter)) return false;
      tail->fields.push_back(field + parameterDelimiter);
      field.clear();
      NoteTail::Pointer pointer;
      if (!reader.Number(&pointer.value, &pointer.at, &field)) return false;
      if (pointer.value % 2 == 0 || pointer.value > directoryRecords) return false;
      pointers->push_back(pointer);
    }
    const char after = reader.peek();
    if (after != parameterDelimiter && after != recordDelimiter) return false;
    reader.Take(after);
    tail->fields.push_back(field + after);
    return true;
  };
  if (reader.Take(recordDelimiter)) return reader.atEnd();
  if (!reader.Take(parameterDelimiter) || !readGroup(&tail->backPointers)) return false;
  if (tail->fields.back().back() == parameterDelimiter && !readGroup(&tail->properties)) {
    return false;
  }
  return tail->fields.back().back() == recordDelimiter && reader.atEnd();
}

void CloseRebuiltNoteKeepingTail(const NoteTail& tail, std::int32_t entityType,
                                 std::int32_t stringCount, char parameterDelimiter,
                                 ParameterEmitter* emitter) {
  // The delimiter after the last TEXT is placed already.
  for (const std::string& field : tail.fields) emitter->Field(field);
  FinishRebuiltNote(entityType, stringCount, parameterDelimiter, emitter);
}

const NoteTail::Pointer* FirstRangeProperty(const NoteTail& tail, const DirectoryTable& table) {
  for (const NoteTail::Pointer& property : tail.properties) {
    const std::int32_t k = (property.value + 1) / 2;
    if (k < 1 || k > table.entityCount() || table.entry(k).entityType != kPropertyType) continue;
    const std::int32_t form = table.form(k);
    if (form == kDimensionDisplayForm || form == kUnderscoreForm || form == kOverscoreForm) {
      return &property;
    }
  }
  return nullptr;
}

}  // namespace notora
