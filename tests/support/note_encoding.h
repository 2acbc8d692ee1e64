// Twins of test drawings in another encoding: the same General Notes with
// the TEXT of every string (font not 2001) written in EUC-JP or UTF-8.
#pragma once

#include <string>
#include <string_view>
#include <vector>

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

// The Shift-JIS drawing `bytes` with the text of its notes (and every other
// text) in `encoding`, as a conversion that does nothing else writes it; `bytes` themselves when
// that conversion writes nothing (no note holds such text, or it fails).
std::string ReencodeDrawing(const std::string& bytes, TextEncoding encoding);

// `utf8` written in `encoding` (its characters must have a form there).
std::string In(TextEncoding encoding, std::string_view utf8);

// `bytes` as a Hollerith string: "<count>H<bytes>".
std::string Hollerith(std::string_view bytes);

// The bytes of the file of `records` (each 80 columns, no line end), with
// the label of entity k (columns 57-64 of its second D record) set to
// `label`, right-justified, and a line feed after every record.
std::string WithLabel(std::vector<std::string> records, std::size_t k, std::string_view label);

// A drawing with Japanese, in `encoding`, in every place a text stands: the
// Start section ("日本語の図面 テスト"); the Global section's product ID,
// file name ("図面-001.igs"), author ("山田太郎") and an organization long
// enough to cross a record; a General Note (entity 1, "注記ア"); a Name
// property (406 form 15, entity 2, "穴位置"); a Level Function property
// (406 form 3, entity 3, function code 1, "外形線"); a line (entity 4); the
// labels "注記" of entity 1 and "線分" of entity 4.
std::string DrawingWithEveryText(TextEncoding encoding);

}  // namespace notora::testing
