// RunOptions: the option values of one run, as the dialog's controls hold them.
#pragma once

#include <string>

namespace notora {

// The encoding of the text of strings whose font is not 2001 (JIS-code text
// is ASCII in every encoding).
enum class TextEncoding {
  kShiftJis,  // code page 932, in which notes are converted
  kEucJp,
  kUtf8,
};

// How the records of the output end.
enum class LineEnd {
  kPlatform,  // as text files end their lines where the program runs
  kLf,        // a line feed
  kCrLf,      // a carriage return and a line feed
  kSource,    // as the source's first record ends (the platform's when it has no end)
};

struct RunOptions {
  // 1: every character of a vertical string becomes a horizontal string block.
  int verticalToHorizontal = 0;
  // 0 full-width to JIS code, 1 JIS code to full-width, 2 no text conversion.
  int conversionMode = 0;
  // Output file name without directory and extension (".igs" is appended).
  std::string outputName;
  // Position of the variable box value of vertical strings on input and on
  // output: 0 before (the width field), 1 after (the height field).
  int verticalValueInput = 0;
  int verticalValueOutput = 0;
  // Text for a character without JIS code: 0 "2121", 1 "FFFF".
  int jisFallback = 0;
  // Character for a JIS code without full-width character: 0 ideographic
  // space, 1 full-width quotation mark.
  int fullWidthFallback = 0;
  // Negative character width: 0 made positive, 1 kept, 2 refused.
  int negativeWidthMode = 0;
  // 1: a General Note with no strings (or a missing string count) is an error.
  int zeroColumnsIsError = 1;
  // The encoding note text is read in, and the one it is written in.
  TextEncoding sourceEncoding = TextEncoding::kShiftJis;
  TextEncoding outputEncoding = TextEncoding::kShiftJis;
  // The line end of the output's records.
  LineEnd lineEnd = LineEnd::kPlatform;
};

}  // namespace notora
