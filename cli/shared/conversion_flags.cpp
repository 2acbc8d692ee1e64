#include "cli/shared/conversion_flags.h"

#include "cli/shared/conversion_choices.h"

namespace notora {

using namespace conversion_choices;

TextEncoding EncodingNamed(const std::string& name) { return ValueOf(kEncodings, name); }

std::string EncodingName(TextEncoding encoding) {
  for (const Choice<TextEncoding>& choice : kEncodings) {
    if (choice.value == encoding) return std::string(choice.word);
  }
  return std::string(kEncodings[0].word);
}

std::string ConversionFlags::Describe() const {
  const ConversionFlags defaults;
  std::string text = "-m " + mode;
  if (verticalToHorizontal) text += " -v";
  const auto add = [&](const char* name, const std::string& value, const std::string& standard) {
    if (value != standard) text += std::string(" ") + name + " " + value;
  };
  add("--vertical-input", verticalInput, defaults.verticalInput);
  add("--vertical-output", verticalOutput, defaults.verticalOutput);
  add("--jis-fallback", jisFallback, defaults.jisFallback);
  add("--fullwidth-fallback", fullWidthFallback, defaults.fullWidthFallback);
  add("--negative-width", negativeWidth, defaults.negativeWidth);
  if (allowZeroColumns) text += " --allow-zero-columns";
  add("--source-encoding", sourceEncoding, defaults.sourceEncoding);
  add("--output-encoding", outputEncoding, defaults.outputEncoding);
  add("--line-end", lineEnd, defaults.lineEnd);
  return text;
}

RunOptions ConversionFlags::ToRunOptions() const {
  RunOptions options;
  options.conversionMode = ValueOf(kModes, mode);
  options.verticalToHorizontal = verticalToHorizontal;
  options.verticalValueInput = ValueOf(kVerticalValues, verticalInput);
  options.verticalValueOutput = ValueOf(kVerticalValues, verticalOutput);
  options.jisFallback = ValueOf(kJisFallbacks, jisFallback);
  options.fullWidthFallback = ValueOf(kFullWidthFallbacks, fullWidthFallback);
  options.negativeWidthMode = ValueOf(kNegativeWidthModes, negativeWidth);
  options.zeroColumnsIsError = !allowZeroColumns;
  options.sourceEncoding = EncodingNamed(sourceEncoding);
  options.outputEncoding = EncodingNamed(outputEncoding);
  switch (ValueOf(kLineEnds, lineEnd)) {
    case LineEndChoice::kPlatform:
      options.outputLineEnd = PlatformLineEnd();
      break;
    case LineEndChoice::kLf:
      options.outputLineEnd = LineEnd::kLf;
      break;
    case LineEndChoice::kCrLf:
      options.outputLineEnd = LineEnd::kCrLf;
      break;
    case LineEndChoice::kSource:
      options.lineEndFromSource = true;
      break;
  }
  return options;
}

std::vector<std::string> EncodingNames() { return Words(kEncodings); }

std::vector<std::string> LineEndNames() { return Words(kLineEnds); }

}  // namespace notora
