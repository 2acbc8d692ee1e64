// Tests of the shared dialog template's radio groups and of the exchange of
// RunOptions with the controls, through a fake set of controls.
#include "dialog/option_exchange.h"

#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>
#include <type_traits>
#include <utility>
#include <vector>

#include "dialog/dialog_template.h"

namespace notora {
namespace {

// Controls held in maps; a radio does not clear its neighbours by itself, so
// the exchange must set every button of a group.
class FakeControls : public DialogControls {
 public:
  bool IsChecked(int id) const override { return checked.count(id) != 0; }
  void SetChecked(int id, bool on) override {
    if (on) {
      checked.insert(id);
    } else {
      checked.erase(id);
    }
  }
  std::string Text(int id) const override {
    const auto found = texts.find(id);
    return found == texts.end() ? std::string() : found->second;
  }
  void SetText(int id, std::string_view text) override { texts[id] = std::string(text); }

  std::set<int> checked;
  std::map<int, std::string> texts;
};

std::vector<int> Ids(std::span<const ControlTemplate> controls) {
  std::vector<int> ids;
  for (const ControlTemplate& control : controls) ids.push_back(control.id);
  return ids;
}

// A radio group with its buttons and its option, read and set as the
// number of the option's enumerator (which is the button's position).
struct GroupCase {
  int firstId;
  std::vector<int> ids;
  int (*get)(const RunOptions& options);
  void (*set)(RunOptions& options, int value);
};

template <auto kOption>
GroupCase Group(std::vector<int> ids) {
  using Value = std::remove_reference_t<decltype(std::declval<RunOptions&>().*kOption)>;
  return {ids.front(), ids, [](const RunOptions& options) { return static_cast<int>(options.*kOption); },
          [](RunOptions& options, int value) { options.*kOption = static_cast<Value>(value); }};
}

const std::vector<GroupCase> kGroups = {
    Group<&RunOptions::conversionMode>({1008, 1011, 1010}),
    Group<&RunOptions::jisFallback>({1012, 1013}),
    Group<&RunOptions::fullWidthFallback>({1014, 1015}),
    Group<&RunOptions::negativeWidthMode>({1018, 1016, 1017}),
    Group<&RunOptions::verticalValueInput>({1004, 1005}),
    Group<&RunOptions::verticalValueOutput>({1006, 1007}),
};

TEST(DialogTemplateTest, RadioGroupsAreTheRunsOfRadiosFromTheirFirstButton) {
  for (const GroupCase& group : kGroups) {
    EXPECT_EQ(Ids(RadioGroup(group.firstId)), group.ids) << group.firstId;
  }
  // Only the first button of a group names it; other controls name none.
  EXPECT_TRUE(RadioGroup(1011).empty());
  EXPECT_TRUE(RadioGroup(1009).empty());
  EXPECT_TRUE(RadioGroup(kIdExecute).empty());
  EXPECT_TRUE(RadioGroup(12345).empty());
  ASSERT_NE(FindControl(kIdProgress), nullptr);
  EXPECT_EQ(FindControl(kIdProgress)->x, 245);
  EXPECT_EQ(FindControl(12345), nullptr);
}

TEST(OptionExchangeTest, DefaultsCheckTheFirstButtonsAndTheZeroColumnsBox) {
  FakeControls controls;
  controls.checked = {1011, 1013, 1009};  // left over: must be cleared
  LoadOptions(RunOptions(), controls);
  EXPECT_EQ(controls.checked, (std::set<int>{1008, 1012, 1014, 1018, 1004, 1006, 1019}));
  EXPECT_EQ(controls.Text(kIdOutputName), "");
}

TEST(OptionExchangeTest, EveryPositionOfEveryGroupGoesToItsOptionAndBack) {
  for (const GroupCase& group : kGroups) {
    const int count = static_cast<int>(group.ids.size());
    for (int position = 0; position < count; ++position) {
      RunOptions options;
      group.set(options, position);
      FakeControls controls;
      LoadOptions(options, controls);
      for (int index = 0; index < static_cast<int>(group.ids.size()); ++index) {
        EXPECT_EQ(controls.IsChecked(group.ids[index]), index == position)
            << group.firstId << " position " << position;
      }
      RunOptions read;
      group.set(read, (position + 1) % count);
      SaveOptions(controls, read);
      EXPECT_EQ(group.get(read), position) << group.firstId;
    }
  }
}

TEST(OptionExchangeTest, SwitchesAndTheOutputNameGoBothWays) {
  RunOptions options;
  options.verticalToHorizontal = true;
  options.zeroColumnsIsError = false;
  options.outputName = "図面 ｶﾅ";
  FakeControls controls;
  LoadOptions(options, controls);
  EXPECT_TRUE(controls.IsChecked(kIdVerticalToHorizontal));
  EXPECT_FALSE(controls.IsChecked(kIdZeroColumnsIsError));
  RunOptions read;
  SaveOptions(controls, read);
  EXPECT_TRUE(read.verticalToHorizontal);
  EXPECT_FALSE(read.zeroColumnsIsError);
  EXPECT_EQ(read.outputName, "図面 ｶﾅ");
}

// An option only ever holds a value of its set.
TEST(OptionExchangeTest, AGroupWithoutACheckedButtonLeavesItsOption) {
  FakeControls controls;
  LoadOptions(RunOptions(), controls);
  controls.SetChecked(1008, false);
  // Two checked buttons (which no user can make): the first one counts.
  controls.SetChecked(1016, true);
  RunOptions read;
  read.conversionMode = ConversionMode::kNone;
  read.negativeWidthMode = NegativeWidthMode::kError;
  SaveOptions(controls, read);
  EXPECT_EQ(read.conversionMode, ConversionMode::kNone);
  EXPECT_EQ(read.negativeWidthMode, NegativeWidthMode::kPlus);
}

}  // namespace
}  // namespace notora
