// The parameter data emitter: formats the fields of a rebuilt General Note
// and places them in the 64-column data area of Parameter Data records.
//
// A buffer holds the data areas of consecutive P records, 64 bytes per
// record. Every field is placed by the packing rule: when a field (with its
// delimiter) would reach or cross the end of the current record, blanks are
// first appended up to the last record boundary at or below the field's end,
// so a field never ends in column 64 and a long field may be preceded by
// whole blank records. The functions append in place and reuse the buffer's
// storage.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "note/parameter_lines.h"
#include "base/status.h"

namespace notora {

// Appends `text` (a whole field, its delimiter included) by the packing rule.
void AppendPackedField(std::string* buffer, std::string_view text);

// Appends "<value><delimiter>": plain signed decimal.
void AppendIntegerField(std::string* buffer, std::int32_t value, char delimiter);

// Appends "<value><delimiter>". The value is written with at most 15
// significant digits in the shortest form ("%.15g") when that text reads back
// as exactly the value; otherwise with 15 digits after the point, in
// exponent form for magnitudes below 0.001 or from 1000 on, in fixed form
// between. Exponents carry a sign and at least three digits (1e+020). An
// infinite value is written as the largest finite double of its sign and a
// NaN as 0, so no file ever receives "inf" or "nan".
void AppendRealField(std::string* buffer, double value, char delimiter);

// Appends the Hollerith field "<length>H<text>"; no delimiter follows.
void AppendHollerithField(std::string* buffer, std::string_view text);

// Places the start "<textLength>H" of a Hollerith field whose text the
// caller appends directly afterwards (exactly `textLength` bytes), so that a
// generated text needs no buffer of its own.
void BeginHollerithField(std::string* buffer, std::size_t textLength);

// Closes a rebuilt General Note. `parameterText` is the note as read and
// `tailStart` the index of the byte that followed its last string's TEXT
// (already appended to `body`). The non-blank bytes from there to the end
// must be the record delimiter alone, or zero counts of back pointers and
// properties before it (",0;" or ",0,0;" with the file's delimiters); the
// zero counts are appended to `body`. The body is padded to whole records and
// a header record "<entityType>,<stringCount>," is put in front: the result
// goes to *rebuilt (replacing its contents), 64 bytes per P record. On a
// faulty tail returns the error that names the P record of `tailStart` + 1.
Status CloseRebuiltNote(std::string_view parameterText, std::int32_t tailStart,
                        const ParameterLines& lines, std::int32_t entityType,
                        std::int32_t stringCount, char parameterDelimiter,
                        char recordDelimiter, std::string* body, std::string* rebuilt);

}  // namespace notora
