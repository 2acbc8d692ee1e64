// The pointers that may follow a General Note's last string: the count and
// Directory Entry pointers of the associativities that point back to it,
// then the count and pointers of its properties (a Name, underscore and
// overscore ranges, ...).
//
// The tail runs from the delimiter after the last string's TEXT to the end
// of the note's text. Its form is
//     R
//   | P n (P pointer)×n R
//   | P n (P pointer)×n P m (P pointer)×m R
// with P and R the file's delimiters, n and m unsigned decimal counts and
// every pointer the sequence number of a first D record (odd, from 1 to the
// section's last). Blanks may stand anywhere; after R only blanks.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "base/status.h"
#include "iges/directory_table.h"
#include "note/parameter_emitter.h"
#include "note/parameter_lines.h"

namespace notora {

struct NoteTail {
  struct Pointer {
    std::int32_t value = 0;  // the D sequence number
    std::int32_t at = 0;     // the index of its first byte in the note's text
  };
  std::vector<Pointer> backPointers;
  std::vector<Pointer> properties;
  // Every count and pointer as read (blanks left out) with the delimiter
  // after it, in order: the fields a rebuilt note carries over.
  std::vector<std::string> fields;
};

// Reads the tail of `text` from `tailStart` (the delimiter after the last
// TEXT) into *tail; false when it is not of the form above. Pointers beyond
// `directoryRecords` D records name no entity.
bool ReadNoteTail(std::string_view text, std::int32_t tailStart, char parameterDelimiter,
                  char recordDelimiter, std::int32_t directoryRecords, NoteTail* tail);

// Closes a rebuilt General Note keeping its tail: the counts and pointers of
// `tail` are placed after the last string by the packing rule, each a field
// of its own with its text as read, and the note is finished as
// CloseRebuiltNote finishes one.
void CloseRebuiltNoteKeepingTail(const NoteTail& tail, std::int32_t entityType,
                                 std::int32_t stringCount, char parameterDelimiter,
                                 ParameterEmitter* emitter);

// Which of `tail`'s properties address a note's strings by their numbers:
// underscore and overscore ranges (406 forms 34 and 35) and dimension
// displays (406 form 30), as `table` (which keeps forms) gives their types.
// The first such property, or null.
const NoteTail::Pointer* FirstRangeProperty(const NoteTail& tail, const DirectoryTable& table);

}  // namespace notora
