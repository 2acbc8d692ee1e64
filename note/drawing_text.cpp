#include "note/drawing_text.h"

#include <algorithm>
#include <cstring>

#include "base/counting.h"
#include "base/messages.h"
#include "iges/record_format.h"
#include "note/parameter_emitter.h"
#include "note/parameter_lines.h"
#include "note/parameter_reader.h"
#include "note/text_encoding.h"

namespace notora {
namespace {

// Columns 1-72 of an S or G record hold its text.
constexpr std::size_t kTextWidth = 72;
constexpr std::size_t kLabelWidth = kEntityLabelColumns.width();

bool HasHighByte(std::string_view text) {
  return std::any_of(text.begin(), text.end(),
                     [](char c) { return static_cast<unsigned char>(c) >= 0x80; });
}

std::string_view TrimBlanks(std::string_view text) {
  const std::size_t first = text.find_first_not_of(' ');
  if (first == std::string_view::npos) return {};
  return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

std::string_view TrimTrailingBlanks(std::string_view text) {
  const std::size_t last = text.find_last_not_of(' ');
  return last == std::string_view::npos ? std::string_view() : text.substr(0, last + 1);
}

// The text columns of the records of a scan text (each record ends in a line
// feed), joined: kTextWidth bytes per record, a short record padded with
// blanks.
std::string JoinRecordTexts(std::string_view lines) {
  std::string joined;
  while (!lines.empty()) {
    const std::size_t end = std::min(lines.find('\n'), lines.size());
    const std::string_view record = lines.substr(0, std::min(end, kTextWidth));
    joined.append(record).append(kTextWidth - record.size(), ' ');
    lines.remove_prefix(std::min(end + 1, lines.size()));
  }
  return joined;
}

// The number, from 1, of the record that holds byte `index` of a joined text.
std::int64_t RecordOf(std::size_t index) {
  return static_cast<std::int64_t>(index / kTextWidth) + 1;
}

// Appends a record of `text` (at most kTextWidth bytes, padded with blanks),
// section letter `letter` and sequence number `number`, and a line feed.
void AppendRecord(std::string* out, std::string_view text, char letter, std::int64_t number) {
  out->append(text).append(kTextWidth - text.size(), ' ');
  out->push_back(letter);
  const std::string digits = std::to_string(number);
  out->append(kSequenceWidth - std::min(digits.size(), kSequenceWidth), ' ').append(digits);
  out->push_back('\n');
}

}  // namespace

DrawingTexts::DrawingTexts(const RunOptions& options, RunCounters& counters,
                           NoteObserver* observer)
    : options_(options),
      counters_(counters),
      observer_(observer),
      fallback_(FullWidthFallbackCode(options)) {}

std::size_t DrawingTexts::Transcode(std::string_view text, std::string* out,
                                    std::int64_t* unconvertible) {
  out->clear();
  return TranscodeText(text, options_.sourceEncoding, options_.outputEncoding, fallback_, out,
                       unconvertible);
}

void DrawingTexts::Observe(DrawingTextPlace::Section section, std::int32_t field,
                           std::int32_t entry, std::int32_t entityType, std::string_view text) {
  DrawingTextPlace place;
  place.section = section;
  place.field = field;
  place.entry = entry;
  place.entityType = entityType;
  observer_->OnDrawingText(place, text);
}

Status DrawingTexts::HandleHead(SectionScan* scan) {
  parameterDelimiter_ = scan->parameterDelimiter;
  recordDelimiter_ = scan->recordDelimiter;
  NOTORA_RETURN_IF_ERROR(HandleStart(&scan->startText));
  return HandleGlobal(&scan->globalText);
}

Status DrawingTexts::HandleStart(std::string* startText) {
  const std::string joined = JoinRecordTexts(*startText);
  if (observer_ == nullptr && !HasHighByte(joined)) return Status::Ok();
  std::string relaid;
  std::int64_t outputRecords = 0;
  std::int64_t unconvertible = 0;
  bool changed = false;
  // Each record's text is the characters that start in it: one that the
  // source cut at the record's end belongs to it whole.
  std::size_t at = 0;
  for (std::size_t recordEnd = kTextWidth; recordEnd <= joined.size(); recordEnd += kTextWidth) {
    const std::size_t from = at;
    while (at < recordEnd) at += CharacterLength(joined, at, options_.sourceEncoding);
    const std::string_view text =
        TrimTrailingBlanks(std::string_view(joined).substr(from, at - from));
    const auto recordNumber = static_cast<std::int32_t>(recordEnd / kTextWidth);
    if (observer_ != nullptr) {
      if (!text.empty()) Observe(DrawingTextPlace::Section::kStart, recordNumber, 0, 0, text);
      continue;
    }
    const std::size_t invalidAt = Transcode(text, &transcoded_, &unconvertible);
    if (invalidAt != kTextValid) {
      return Status::Error(MessageId::StartTextInvalidEncoding,
                           {RecordOf(from + invalidAt),
                            EncodingDisplayName(options_.sourceEncoding)});
    }
    changed = changed || transcoded_ != text;
    // Laid out in as many records as it needs, each cut before a character
    // that would not fit.
    std::size_t put = 0;
    do {
      std::size_t take = 0;
      while (put + take < transcoded_.size()) {
        const std::size_t length =
            CharacterLength(transcoded_, put + take, options_.outputEncoding);
        if (take + length > kTextWidth) break;
        take += length;
      }
      AppendRecord(&relaid, std::string_view(transcoded_).substr(put, take), 'S', ++outputRecords);
      put += take;
    } while (put < transcoded_.size());
  }
  if (changed) {
    startText->swap(relaid);
    CountOne(&counters_.transcodedHeadTexts);
    CountMany(&counters_.unconvertibleChars, unconvertible);
  }
  return Status::Ok();
}

void DrawingTexts::Repack(std::string_view text, std::size_t width, DrawingTextPlace place,
                          std::string* packed, Repacked* result) {
  *result = Repacked();
  packed->clear();
  ParameterReader reader(text, 0, parameterDelimiter_, recordDelimiter_);
  Parameter parameter;
  std::string scratch;
  while (reader.Next(&parameter)) {
    ++place.field;
    if (!parameter.isString) {
      scratch.assign(parameter.text);
      if (parameter.delimiter != 0) scratch.push_back(parameter.delimiter);
      AppendPackedField(packed, scratch, width);
      continue;
    }
    if (observer_ != nullptr) {
      observer_->OnDrawingText(place, parameter.text);
      continue;
    }
    std::string_view string = parameter.text;
    if (HasHighByte(string)) {
      const std::size_t invalidAt = Transcode(string, &transcoded_, &result->unconvertible);
      if (invalidAt != kTextValid) {
        result->invalidAt = parameter.at + invalidAt;
        return;
      }
      result->changed = result->changed || transcoded_ != string;
      string = transcoded_;
    }
    AppendHollerithField(packed, string, width);
    if (parameter.delimiter != 0) packed->push_back(parameter.delimiter);
  }
  result->fault = reader.fault();
  result->faultAt = reader.faultAt();
  if (!result->changed || result->fault != ParameterReader::Fault::kNone) return;
  // Whatever follows the record delimiter goes after it.
  const std::string_view rest = TrimBlanks(text.substr(std::min(reader.position(), text.size())));
  if (!rest.empty()) AppendPackedField(packed, rest, width);
  packed->append((width - packed->size() % width) % width, ' ');
}

Status DrawingTexts::HandleGlobal(std::string* globalText) {
  const std::string joined = JoinRecordTexts(*globalText);
  if (observer_ == nullptr && !HasHighByte(joined)) return Status::Ok();
  DrawingTextPlace place;
  place.section = DrawingTextPlace::Section::kGlobal;
  std::string packed;
  Repacked result;
  Repack(joined, kTextWidth, place, &packed, &result);
  if (observer_ != nullptr) return Status::Ok();
  if (result.invalidAt != kTextValid) {
    return Status::Error(MessageId::GlobalTextInvalidEncoding,
                         {RecordOf(result.invalidAt),
                          EncodingDisplayName(options_.sourceEncoding)});
  }
  switch (result.fault) {
    case ParameterReader::Fault::kCountBeyondEnd:
      return Status::Error(MessageId::GlobalTextCountBeyondEnd, {RecordOf(result.faultAt)});
    case ParameterReader::Fault::kNoDelimiterAfterText:
      return Status::Error(MessageId::GlobalNoDelimiterAfterText, {RecordOf(result.faultAt)});
    case ParameterReader::Fault::kNone:
      break;
  }
  if (!result.changed) return Status::Ok();
  std::string relaid;
  std::int64_t outputRecords = 0;
  for (std::size_t at = 0; at < packed.size(); at += kTextWidth) {
    AppendRecord(&relaid, std::string_view(packed).substr(at, kTextWidth), 'G', ++outputRecords);
  }
  globalText->swap(relaid);
  CountOne(&counters_.transcodedHeadTexts);
  CountMany(&counters_.unconvertibleChars, result.unconvertible);
  return Status::Ok();
}

Status DrawingTexts::HandleLabel(std::int32_t k, std::int32_t entityType,
                                 std::int32_t recordNumber, char* label) {
  const std::string_view text = TrimBlanks(std::string_view(label, kLabelWidth));
  if (observer_ != nullptr) {
    if (!text.empty()) Observe(DrawingTextPlace::Section::kLabel, 0, k, entityType, text);
    return Status::Ok();
  }
  if (!HasHighByte(text)) return Status::Ok();
  std::int64_t unconvertible = 0;
  if (Transcode(text, &transcoded_, &unconvertible) != kTextValid) {
    return Status::Error(MessageId::DirectoryLabelInvalidEncoding,
                         {recordNumber, EncodingDisplayName(options_.sourceEncoding)});
  }
  if (transcoded_.size() > kLabelWidth) {
    CountOne(&counters_.keptLabels);
    return Status::Ok();
  }
  std::memset(label, ' ', kLabelWidth);
  std::memcpy(label + kLabelWidth - transcoded_.size(), transcoded_.data(), transcoded_.size());
  CountOne(&counters_.transcodedHeadTexts);
  CountMany(&counters_.unconvertibleChars, unconvertible);
  return Status::Ok();
}

Status DrawingTexts::HandleEntity(const ParameterEntity& entity, std::int32_t entityType,
                                  RebuiltNote* rebuilt) {
  const std::string_view text = entity.parameterText;
  if (observer_ == nullptr && !HasHighByte(text)) return Status::Ok();
  DrawingTextPlace place;
  place.section = DrawingTextPlace::Section::kEntity;
  place.field = -1;  // the entity type is parameter 0
  place.entry = entity.entryIndex;
  place.entityType = entityType;
  std::string& out = rebuilt->parameterText;
  Repacked result;
  Repack(text, kParameterDataWidth, place, &out, &result);
  const ParameterLines lines{entity.parameterLineCount, entity.lastRecordNumber};
  Status status = Status::Ok();
  if (observer_ == nullptr && result.invalidAt != kTextValid) {
    status = Status::Error(MessageId::NoteTextInvalidEncoding,
                           {lines.LineOf(static_cast<std::int64_t>(result.invalidAt)),
                            EncodingDisplayName(options_.sourceEncoding)});
  } else if (observer_ == nullptr && result.fault != ParameterReader::Fault::kNone) {
    status = Status::Error(result.fault == ParameterReader::Fault::kCountBeyondEnd
                               ? MessageId::NoteTextCountBeyondEnd
                               : MessageId::NoteNoDelimiterAfterText,
                           {lines.LineOf(static_cast<std::int64_t>(result.faultAt))});
  }
  if (observer_ != nullptr || !status.ok() || !result.changed) {
    out.clear();
    return status;
  }
  rebuilt->changed = true;
  rebuilt->lineCount = static_cast<std::int32_t>(out.size() / kParameterDataWidth);
  CountOne(&counters_.convertedEntities);
  CountMany(&counters_.unconvertibleChars, result.unconvertible);
  return Status::Ok();
}

}  // namespace notora
