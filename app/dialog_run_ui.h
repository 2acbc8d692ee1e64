// DialogRunUi: the run's user interface as the dialog provides it.
//
// The run executes on the dialog's thread. Messages appear as modal message
// boxes with an OK button, one at a time; the wait cursor covers the whole
// run; progress goes to the dialog's progress display; and every poll lets
// pending events through a RunInputFilter, so the window keeps repainting
// while clicks and keys are discarded and Escape cancels.
#pragma once

#include <QElapsedTimer>
#include <cstdint>
#include <string_view>

#include "app/run_input_filter.h"
#include "base/run_ui.h"

class QLabel;
class QWidget;

namespace notora {

class DialogRunUi : public RunUi {
 public:
  // `dialog` parents the message boxes; `progressLabel` shows the progress.
  // Both must outlive this object. Input is filtered from construction on.
  DialogRunUi(QWidget* dialog, QLabel* progressLabel);
  // Lowers a wait cursor still raised, then delivers and discards whatever
  // input arrived during the run, so that a late Escape cannot close the
  // dialog once the filter is gone.
  ~DialogRunUi() override;

  DialogRunUi(const DialogRunUi&) = delete;
  DialogRunUi& operator=(const DialogRunUi&) = delete;

  void ShowMessage(MessageKind kind, std::string_view text) override;
  void BeginWaitCursor() override;
  void EndWaitCursor() override;
  void ShowProgress(std::int32_t recordNumber) override;
  // Lets pending events through the filter on the first call and then at
  // most every kPollIntervalMs; true once Escape or a close was seen.
  bool PollCancel() override;

  // How often a poll hands control to the event loop; short enough that the
  // window repaints and Escape is noticed without delay, long enough that a
  // run over many small records is not slowed by the event loop.
  static constexpr int kPollIntervalMs = 10;

 private:
  QWidget* dialog_;
  QLabel* progressLabel_;
  RunInputFilter inputFilter_;
  QElapsedTimer sinceLastPoll_;
  bool waitCursorShown_ = false;
};

}  // namespace notora
