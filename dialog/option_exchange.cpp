#include "dialog/option_exchange.h"

#include "dialog/dialog_template.h"

namespace notora {
namespace {

// Which option each radio group holds, by the id of its first button.
struct RadioBinding {
  int firstId;
  int RunOptions::*option;
};

constexpr RadioBinding kRadioBindings[] = {
    {1008, &RunOptions::conversionMode},      {1004, &RunOptions::verticalValueInput},
    {1006, &RunOptions::verticalValueOutput}, {1012, &RunOptions::jisFallback},
    {1014, &RunOptions::fullWidthFallback},   {1018, &RunOptions::negativeWidthMode},
};

}  // namespace

void LoadOptions(const RunOptions& options, DialogControls& controls) {
  controls.SetChecked(kIdVerticalToHorizontal, options.verticalToHorizontal != 0);
  controls.SetChecked(kIdZeroColumnsIsError, options.zeroColumnsIsError != 0);
  for (const RadioBinding& binding : kRadioBindings) {
    int position = 0;
    for (const ControlTemplate& button : RadioGroup(binding.firstId)) {
      controls.SetChecked(button.id, position == options.*binding.option);
      ++position;
    }
  }
  controls.SetText(kIdOutputName, options.outputName);
}

void SaveOptions(const DialogControls& controls, RunOptions& options) {
  options.verticalToHorizontal = controls.IsChecked(kIdVerticalToHorizontal) ? 1 : 0;
  options.zeroColumnsIsError = controls.IsChecked(kIdZeroColumnsIsError) ? 1 : 0;
  for (const RadioBinding& binding : kRadioBindings) {
    int checked = -1;
    int position = 0;
    for (const ControlTemplate& button : RadioGroup(binding.firstId)) {
      if (checked < 0 && controls.IsChecked(button.id)) checked = position;
      ++position;
    }
    options.*binding.option = checked;
  }
  options.outputName = controls.Text(kIdOutputName);
}

}  // namespace notora
