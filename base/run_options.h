// RunOptions: the option values of one run, as the dialog's controls hold them.
#pragma once

#include <string>

#include "base/platform.h"

namespace notora {

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
  // How the lines of the output file end: as this system's text files do.
  LineEnd outputLineEnd = PlatformLineEnd();
};

}  // namespace notora
