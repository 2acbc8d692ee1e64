#include "base/run_options.h"

namespace notora {

bool ChangesNothing(const RunOptions& options) {
  return options.conversionMode == ConversionMode::kNone && !options.verticalToHorizontal &&
         options.verticalValueInput == options.verticalValueOutput &&
         options.negativeWidthMode == NegativeWidthMode::kMinus &&
         options.sourceEncoding == options.outputEncoding;
}

RunOptions ReadOnlyOptions(const RunOptions& options) {
  RunOptions readOnly = options;
  readOnly.conversionMode = ConversionMode::kNone;
  readOnly.verticalToHorizontal = false;
  readOnly.negativeWidthMode = NegativeWidthMode::kMinus;
  readOnly.verticalValueOutput = readOnly.verticalValueInput;
  readOnly.outputEncoding = readOnly.sourceEncoding;
  return readOnly;
}

}  // namespace notora
