// Dialog data exchange: moving RunOptions into the dialog's controls and
// back, the same for every front end.
//
// A check box holds a switch; a radio group holds an option, each button in
// template order standing for one of its values (one table maps positions to
// values); the edit holds the output name. The front end supplies access to its controls by id.
#pragma once

#include <map>
#include <string>
#include <string_view>

#include "base/run_options.h"

namespace notora {

// The controls of one dialog, by control id.
class DialogControls {
 public:
  virtual ~DialogControls() = default;

  // The check state of a radio button or check box.
  virtual bool IsChecked(int id) const = 0;
  virtual void SetChecked(int id, bool checked) = 0;
  // The text of an edit control as a file name (UTF-8).
  virtual std::string Text(int id) const = 0;
  virtual void SetText(int id, std::string_view text) = 0;
};

// Controls held as plain values, for a front end whose real controls live
// elsewhere (the browser page's) and for reading what LoadOptions puts in.
class HeldControls : public DialogControls {
 public:
  bool IsChecked(int id) const override;
  void SetChecked(int id, bool checked) override { checked_[id] = checked; }
  std::string Text(int id) const override;
  void SetText(int id, std::string_view text) override { texts_[id] = std::string(text); }

 private:
  std::map<int, bool> checked_;
  std::map<int, std::string> texts_;
};

// Puts `options` into the controls: checks the button of each radio group at
// the option's position and clears the others, sets the two check boxes and
// the output name.
void LoadOptions(const RunOptions& options, DialogControls& controls);

// Reads the controls into `options`. A radio group with no checked button
// leaves its option as it was, so an option only ever holds a value of its
// set.
void SaveOptions(const DialogControls& controls, RunOptions& options);

}  // namespace notora
