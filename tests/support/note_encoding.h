// Twins of test drawings in another encoding: the same General Notes with
// the TEXT of every string (font not 2001) written in EUC-JP or UTF-8.
#pragma once

#include <string>
#include <string_view>

#include "tests/support/iges_builder.h"
#include "base/run_options.h"

namespace notora::testing {

// The parameter text of a General Note (delimiters "," and ";") with the
// TEXT of every string whose font is not 2001 rewritten from Shift-JIS into
// `encoding`, its Hollerith count following the bytes. The strings are found
// by the General Note parser; a text it cannot read is left as it is, and so
// is a character that `encoding` cannot hold.
std::string ReencodeNoteTexts(std::string_view parameterText, TextEncoding encoding);

// `file` with ReencodeNoteTexts applied to every General Note added by text.
IgesFile ReencodeNotes(const IgesFile& file, TextEncoding encoding);

// The Shift-JIS drawing `bytes` with the text of its notes in `encoding`, as
// a conversion that does nothing else writes it; `bytes` themselves when
// that conversion writes nothing (no note holds such text, or it fails).
std::string ReencodeDrawing(const std::string& bytes, TextEncoding encoding);

}  // namespace notora::testing
