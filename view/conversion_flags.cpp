#include "view/conversion_flags.h"

#include "view/conversion_choices.h"

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
  if (keepPointers) text += " --keep-pointers";
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
  options.keepPointers = keepPointers;
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

ConversionFlags ConversionFlags::Of(const RunOptions& options) {
  const auto wordOf = [](const auto& choices, auto value) {
    for (const auto& choice : choices) {
      if (choice.value == value) return std::string(choice.word);
    }
    return std::string(choices[0].word);
  };
  ConversionFlags flags;
  flags.mode = wordOf(kModes, options.conversionMode);
  flags.verticalToHorizontal = options.verticalToHorizontal;
  flags.verticalInput = wordOf(kVerticalValues, options.verticalValueInput);
  flags.verticalOutput = wordOf(kVerticalValues, options.verticalValueOutput);
  flags.jisFallback = wordOf(kJisFallbacks, options.jisFallback);
  flags.fullWidthFallback = wordOf(kFullWidthFallbacks, options.fullWidthFallback);
  flags.negativeWidth = wordOf(kNegativeWidthModes, options.negativeWidthMode);
  flags.allowZeroColumns = !options.zeroColumnsIsError;
  flags.sourceEncoding = wordOf(kEncodings, options.sourceEncoding);
  flags.outputEncoding = wordOf(kEncodings, options.outputEncoding);
  flags.keepPointers = options.keepPointers;
  LineEndChoice lineEnd = options.outputLineEnd == LineEnd::kCrLf ? LineEndChoice::kCrLf
                                                                   : LineEndChoice::kLf;
  if (options.outputLineEnd == PlatformLineEnd()) lineEnd = LineEndChoice::kPlatform;
  if (options.lineEndFromSource) lineEnd = LineEndChoice::kSource;
  flags.lineEnd = wordOf(kLineEnds, lineEnd);
  return flags;
}

std::vector<std::string> EncodingNames() { return Words(kEncodings); }

std::vector<std::string> LineEndNames() { return Words(kLineEnds); }

}  // namespace notora
