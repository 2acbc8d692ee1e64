#include "dialog/option_exchange.h"

#include <array>
#include <cstddef>

#include "dialog/dialog_template.h"

namespace notora {
namespace {

// One radio group: the id of its first button and the option it holds, with
// the value each of its buttons stands for in template order. Both ways of
// the exchange go through that list, so an option only ever holds a value of
// its set.
struct RadioBinding {
  int firstId;
  // The position of the button that stands for the option's value.
  int (*position)(const RunOptions& options);
  // Sets the option to the value of the button at `position`; a position
  // outside the group (no button checked) leaves the option as it was.
  void (*choose)(RunOptions* options, int position);
};

template <auto kOption, auto... kValues>
constexpr RadioBinding Bind(int firstId) {
  return {firstId,
          [](const RunOptions& options) {
            constexpr std::array values{kValues...};
            for (std::size_t i = 0; i < values.size(); ++i) {
              if (options.*kOption == values[i]) return static_cast<int>(i);
            }
            return -1;
          },
          [](RunOptions* options, int position) {
            constexpr std::array values{kValues...};
            if (position >= 0 && position < static_cast<int>(values.size())) {
              options->*kOption = values[static_cast<std::size_t>(position)];
            }
          }};
}

constexpr RadioBinding kRadioBindings[] = {
    Bind<&RunOptions::conversionMode, ConversionMode::kToJisCode, ConversionMode::kToFullWidth,
         ConversionMode::kNone>(1008),
    Bind<&RunOptions::verticalValueInput, VerticalValue::kBefore, VerticalValue::kAfter>(1004),
    Bind<&RunOptions::verticalValueOutput, VerticalValue::kBefore, VerticalValue::kAfter>(1006),
    Bind<&RunOptions::jisFallback, JisFallback::k2121, JisFallback::kFFFF>(1012),
    Bind<&RunOptions::fullWidthFallback, FullWidthFallback::kSpace, FullWidthFallback::kQuote>(
        1014),
    Bind<&RunOptions::negativeWidthMode, NegativeWidthMode::kPlus, NegativeWidthMode::kMinus,
         NegativeWidthMode::kError>(1018),
};

}  // namespace

void LoadOptions(const RunOptions& options, DialogControls& controls) {
  controls.SetChecked(kIdVerticalToHorizontal, options.verticalToHorizontal);
  controls.SetChecked(kIdZeroColumnsIsError, options.zeroColumnsIsError);
  for (const RadioBinding& binding : kRadioBindings) {
    const int chosen = binding.position(options);
    int position = 0;
    for (const ControlTemplate& button : RadioGroup(binding.firstId)) {
      controls.SetChecked(button.id, position == chosen);
      ++position;
    }
  }
  controls.SetText(kIdOutputName, options.outputName);
}

void SaveOptions(const DialogControls& controls, RunOptions& options) {
  options.verticalToHorizontal = controls.IsChecked(kIdVerticalToHorizontal);
  options.zeroColumnsIsError = controls.IsChecked(kIdZeroColumnsIsError);
  for (const RadioBinding& binding : kRadioBindings) {
    int checked = -1;
    int position = 0;
    for (const ControlTemplate& button : RadioGroup(binding.firstId)) {
      if (checked < 0 && controls.IsChecked(button.id)) checked = position;
      ++position;
    }
    binding.choose(&options, checked);
  }
  options.outputName = controls.Text(kIdOutputName);
}

bool HeldControls::IsChecked(int id) const {
  const auto found = checked_.find(id);
  return found != checked_.end() && found->second;
}

std::string HeldControls::Text(int id) const {
  const auto found = texts_.find(id);
  return found == texts_.end() ? std::string() : found->second;
}

}  // namespace notora
