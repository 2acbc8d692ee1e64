// RunOptions: the option values of one run, as the dialog's controls hold
// them, and the predicates the run driver and the front ends share.
#pragma once

#include <string>

#include "base/platform.h"

namespace notora {

// The encoding of the text of strings whose font is not 2001 (JIS-code text
// is ASCII in every encoding).
enum class TextEncoding {
  kShiftJis,  // code page 932, in which notes are converted
  kEucJp,
  kUtf8,
};

// What happens to the text of a string. The values are the positions of the
// dialog's buttons.
enum class ConversionMode {
  kToJisCode = 0,    // full-width characters to JIS-code notation (font 2001)
  kToFullWidth = 1,  // JIS-code notation back to full-width characters
  kNone = 2,         // the text stays as it is
};

// Where a vertical string keeps its variable box value.
enum class VerticalValue {
  kBefore = 0,  // in the width field (WT)
  kAfter = 1,   // in the height field (HT)
};

// What is written for a character that has no JIS code.
enum class JisFallback {
  k2121 = 0,  // "2121", the JIS code of the ideographic space
  kFFFF = 1,  // "FFFF"
};

// What is written for a JIS code that has no full-width character.
enum class FullWidthFallback {
  kSpace = 0,  // the ideographic space "　"
  kQuote = 1,  // the full-width quotation mark "＂"
};

// What becomes of a negative character box width.
enum class NegativeWidthMode {
  kPlus = 0,   // made positive
  kMinus = 1,  // kept
  kError = 2,  // refused: the run ends with an error
};

struct RunOptions {
  // Every character of a vertical string becomes a horizontal string block.
  bool verticalToHorizontal = false;
  ConversionMode conversionMode = ConversionMode::kToJisCode;
  // Output file name without directory and extension (".igs" is appended).
  std::string outputName;
  // Where vertical strings hold their variable box value on input and where
  // it is written on output.
  VerticalValue verticalValueInput = VerticalValue::kBefore;
  VerticalValue verticalValueOutput = VerticalValue::kBefore;
  JisFallback jisFallback = JisFallback::k2121;
  FullWidthFallback fullWidthFallback = FullWidthFallback::kSpace;
  NegativeWidthMode negativeWidthMode = NegativeWidthMode::kPlus;
  // A General Note with no strings (or a missing string count) is an error.
  bool zeroColumnsIsError = true;
  // The encoding note text is read in, and the one it is written in.
  TextEncoding sourceEncoding = TextEncoding::kShiftJis;
  TextEncoding outputEncoding = TextEncoding::kShiftJis;
  // How the lines of the output file end: as this system's text files do,
  // unless the options choose.
  LineEnd outputLineEnd = PlatformLineEnd();
  // The output's lines end as the source's first record ends instead
  // (outputLineEnd when that record has no end).
  bool lineEndFromSource = false;
  // A rebuilt General Note keeps the back pointers and properties after its
  // last string; otherwise only zero counts of them are accepted.
  bool keepPointers = false;
};

// True when `options` ask for no change at all: no text conversion, no
// vertical string made horizontal, the box value of vertical strings left
// where it is, negative widths kept and text written in the encoding it is
// read in. A conversion refuses such options.
bool ChangesNothing(const RunOptions& options);

// True when `options` write text in another encoding than it is read in:
// then every text of the drawing is carried over into the output encoding,
// not only the strings of its General Notes.
inline bool TranscodesDrawing(const RunOptions& options) {
  return options.sourceEncoding != options.outputEncoding;
}

// `options` with everything that changes a note turned off, so that the
// result ChangesNothing; what decides how a note is read (verticalValueInput,
// zeroColumnsIsError, sourceEncoding) is kept, and text is written in the
// encoding it is read in.
RunOptions ReadOnlyOptions(const RunOptions& options);

}  // namespace notora
