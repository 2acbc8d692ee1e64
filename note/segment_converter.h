// ConvertNoteSegment: turns one run of a text string into one text block.
//
// The General Note parser cuts every string's TEXT into segments (at class
// changes while converting to JIS code, at every character while making a
// vertical string horizontal) and hands each here. The block, fields NC to
// TEXT of an IGES General Note string, is placed in the rebuilt note by the
// parameter data emitter, every numeric field followed by the parameter
// delimiter; TEXT is placed as a Hollerith field with nothing after it.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "note/cp932.h"
#include "note/note_string.h"
#include "note/parameter_emitter.h"
#include "base/run_counters.h"
#include "base/run_options.h"

namespace notora {

struct NoteSegment {
  // Index of the segment's first byte in the text handed over with it (the
  // string's TEXT in code page 932); advanced past every byte the conversion
  // consumes.
  std::int32_t start = 0;
  // Number of bytes of the segment.
  std::int32_t length = 0;
  // Class of the segment's characters.
  cp932::CharClass charClass = cp932::CharClass::kPlain;
  // Number of characters of the string's whole TEXT (a two-byte character
  // counts once); needed for vertical strings only.
  std::int32_t stringChars = 0;
};

// Places the block of `segment` of `text` (code page 932) with `emitter`. Under
// ConversionMode::kToJisCode full-width characters become JIS-code notation
// (font 2001, four lower-case hex digits each; "2121" or "FFFF" by
// options.jisFallback for a character without JIS code); under kToFullWidth
// a font 2001 text becomes full-width characters (the ideographic space or
// "＂" by options.fullWidthFallback for a code without one); anything else is
// copied. A block whose font is not 2001 is written in options.outputEncoding,
// NC and the Hollerith count being its bytes there; a character that
// encoding cannot hold becomes the full-width fallback. The box width is the
// segment's share of string->WT; a vertical string made horizontal is written
// with VH 0. string->XS and string->YS advance to the next segment's start
// point; segment->start ends just after the segment. Every alteration adds to
// *changeCount; every replaced character adds to
// counters->unconvertibleChars. The segment must lie inside `text`.
void ConvertNoteSegment(const RunOptions& options, std::string_view text,
                        ParameterEmitter* emitter, char parameterDelimiter, NoteString* string,
                        NoteSegment* segment, std::int32_t* changeCount, RunCounters* counters);

}  // namespace notora
