// Readers of the numeric fields of an entity's parameter text.
//
// A field runs from the cursor's `next` up to its terminator (the parameter
// delimiter, or "H" for the count of a Hollerith string). Blanks are skipped
// anywhere in a field. A reader that meets a bad field returns an error whose
// message names the P record (and for a missing terminator the column) of the
// fault; the cursor must not be used again after an error.
#pragma once

#include <cstdint>
#include <string_view>

#include "note/parameter_lines.h"
#include "base/messages.h"
#include "base/run_options.h"
#include "base/status.h"

namespace notora {

// The reading position within one entity's parameter text.
struct FieldCursor {
  // Index of the first byte of the next field.
  std::int32_t next = 4;
  // Index of the last byte examined; between reads, next - 1 (the terminator
  // of the field read last). The entity type and its delimiter fill 0 to 3.
  std::int32_t last = 3;
  // The value of the last successful ReadIntegerField; a real read leaves it
  // as it was.
  std::int32_t value = 0;
};

// Reads an integer field of unsigned decimal digits into cursor->value and
// leaves the cursor just after its terminator. The terminator is `delimiter`;
// for the first field after the entity type (next == 4), when
// options.zeroColumnsIsError is false, a field with no delimiter after it may end
// at `recordDelimiter` instead. A double-byte character is never taken for a
// terminator. `fieldName` (one of the MessageId::FieldName* texts) is quoted
// by the messages. More than 25 digits is an error; a value above the signed
// 32-bit range reads as 2147483647.
Status ReadIntegerField(std::string_view text, char delimiter, MessageId fieldName,
                        char recordDelimiter, const ParameterLines& lines,
                        const RunOptions& options, FieldCursor* cursor);

// Reads a real field terminated by `delimiter` into *result (left as it was on
// failure) and leaves the cursor just after it; cursor->value is unchanged.
// The field may hold digits, ".", "+", "-", "D", "d", "E" and "e" (at most 25
// of them); its longest leading part of the form [sign] digits [. digits]
// [exponent] is the value (D and d introduce an exponent as E does), and 0.0
// when no such part exists. A value beyond the range of a double reads as the
// largest finite double of its sign.
Status ReadRealField(std::string_view text, char delimiter, MessageId fieldName,
                     const ParameterLines& lines, FieldCursor* cursor, double* result);

}  // namespace notora
