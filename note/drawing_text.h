// DrawingTexts: every text of a drawing besides the strings of its General
// Notes: the Start section, the strings of the Global section, the strings
// of every other entity, and the Directory Entry labels.
//
// A run that writes text in another encoding than it reads it in
// (TranscodesDrawing) carries each of them over, by the rules its notes
// follow: a character the output cannot hold becomes the full-width
// fallback and is counted, and a byte sequence that is invalid in the source
// encoding ends the run with a message naming its section and record. Text
// that is ASCII, JIS-code notation among it, stays as it is.
//   - The Start section: its records' text is carried over record by
//     record and laid out again in 72-column S records, a record growing
//     into more when its text no longer fits; no character is cut.
//   - The Global section: every string is carried over with its Hollerith
//     count in the output's bytes, and the parameters are laid out again in
//     72-column G records by the packing rule of the Parameter Data.
//   - Every other entity: its strings are carried over and its parameters
//     laid out again as a rebuilt note's are, every other field with its
//     text as read.
//   - A label is carried over when it fits its 8 columns in the output
//     encoding, right-justified; one that does not is kept as read and
//     counted (keptLabels).
// A section or entity whose texts all stay as they were keeps its records
// byte for byte.
//
// An inspection instead shows every text to its observer and changes
// nothing; a text that cannot be read is no fault then.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "base/run_counters.h"
#include "base/run_options.h"
#include "base/status.h"
#include "iges/directory_section.h"
#include "iges/entity_handler.h"
#include "iges/section_scan.h"
#include "note/note_observer.h"
#include "note/parameter_reader.h"
#include "note/text_encoding.h"

namespace notora {

class DrawingTexts : public EntityHandler, public DirectoryLabels {
 public:
  // Carries the texts over into options.outputEncoding or, with an
  // `observer`, shows them to it. The references and the observer must
  // outlive this object.
  DrawingTexts(const RunOptions& options, RunCounters& counters, NoteObserver* observer);

  // General Notes go to `*notes`, which must outlive their reading: set
  // before the first entity.
  void SetNotes(EntityHandler* notes) { notes_ = notes; }

  // The Start and Global records of `*scan`, which also names the
  // delimiters every later text is read with: laid out anew when a text
  // of theirs changes.
  Status HandleHead(SectionScan* scan);

  Status HandleLabel(std::int32_t k, std::int32_t entityType, std::int32_t recordNumber,
                     char* label) override;

  Status HandleGeneralNote(const ParameterEntity& entity, RebuiltNote* rebuilt) override {
    return notes_->HandleGeneralNote(entity, rebuilt);
  }
  bool HandlesEveryEntity() const override { return true; }
  Status HandleEntity(const ParameterEntity& entity, std::int32_t entityType,
                      RebuiltNote* rebuilt) override;

 private:
  Status HandleStart(std::string* startText);
  Status HandleGlobal(std::string* globalText);
  // `text` in the output encoding into `*out` (replacing what it held);
  // kTextValid, or the index of its first invalid byte sequence.
  std::size_t Transcode(std::string_view text, std::string* out, std::int64_t* unconvertible);
  void Observe(DrawingTextPlace::Section section, std::int32_t field, std::int32_t entry,
               std::int32_t entityType, std::string_view text);

  // What Repack found.
  struct Repacked {
    bool changed = false;                   // a string came out in other bytes
    std::size_t invalidAt = kTextValid;     // where an invalid sequence starts
    ParameterReader::Fault fault = ParameterReader::Fault::kNone;
    std::size_t faultAt = 0;
    std::int64_t unconvertible = 0;
  };
  // Reads the parameters of `text` (free-format, as the Global section's
  // or an entity's) and packs them anew into *packed in records of `width`
  // bytes: every field as read, every string carried into the output
  // encoding with its count following its bytes, whole records when any
  // string changed. For an observer, shows each string at `place` instead,
  // numbered on from place.field. Stops at an invalid sequence or a fault
  // of the reader.
  void Repack(std::string_view text, std::size_t width, DrawingTextPlace place,
              std::string* packed, Repacked* result);

  const RunOptions& options_;
  RunCounters& counters_;
  EntityHandler* notes_ = nullptr;
  NoteObserver* observer_;
  const std::uint16_t fallback_;
  char parameterDelimiter_ = kDefaultParameterDelimiter;
  char recordDelimiter_ = kDefaultRecordDelimiter;
  // Reused from text to text.
  std::string transcoded_;
};

}  // namespace notora
