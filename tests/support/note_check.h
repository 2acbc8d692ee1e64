// The promises of the General Note parser and converter on any parameter
// text: what the note fuzzer asserts on every input.
#pragma once

#include <string>
#include <string_view>

#include "iges/entity_handler.h"
#include "base/run_options.h"

namespace notora::testing {

// A note fuzz input: five header bytes, then the parameter text (padded with
// blanks to whole 64-byte records, as the Parameter Data section hands it).
//   bytes 0-1 and 4: the options, as for a conversion request
//   byte 2: the parameter delimiter (0: ","), byte 3 the record delimiter (0: ";")
struct NoteRequest {
  RunOptions options;
  char parameterDelimiter = ',';
  char recordDelimiter = ';';
  std::string parameterText;
};

NoteRequest DecodeNoteRequest(std::string_view input);

struct NoteCheck {
  Status status = Status::Ok();
  RebuiltNote rebuilt;
  // Empty when every promise held; otherwise the first that did not.
  std::string violation;
};

// Hands `request` to GeneralNoteConverter::HandleGeneralNote and checks: a
// fault names a P record of the note (or the one after it) in the section
// message form; an unchanged note comes back empty; a changed one is whole
// 64-byte records, starts with its own header record, holds only bytes a
// note may hold (when read and written in Shift-JIS) and, read again in its
// output encoding with options that change nothing, parses without a fault
// and without a change.
NoteCheck CheckGeneralNote(const NoteRequest& request);

}  // namespace notora::testing
