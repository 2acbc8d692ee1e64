#include "base/run_options.h"

namespace notora {

bool ChangesNothing(const RunOptions& options) {
  return options.conversionMode == ConversionMode::kNone && !options.verticalToHorizontal &&
         options.verticalValueInput == options.verticalValueOutput &&
         options.negativeWidthMode == NegativeWidthMode::kMinus;
}

RunOptions ReadOnlyOptions(const RunOptions& options) {
  RunOptions readOnly = options;
  readOnly.conversionMode = ConversionMode::kNone;
  readOnly.verticalToHorizontal = false;
  readOnly.negativeWidthMode = NegativeWidthMode::kMinus;
  readOnly.verticalValueOutput = readOnly.verticalValueInput;
  return readOnly;
}

}  // namespace notora
