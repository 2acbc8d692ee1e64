// RunUi: what a run needs from the user interface that started it.
//
// The run driver calls it on the run's own thread. The dialog implements it
// with message boxes, the wait cursor and its progress display; the command
// line with standard output and error; tests with a recording fake.
#pragma once

#include <cstdint>
#include <string_view>

namespace notora {

enum class MessageKind {
  kError,   // an error, a refusal or a cancellation; the run ends with it
  kReport,  // the closing report of a run that read the whole source
};

class RunUi {
 public:
  virtual ~RunUi() = default;

  // Shows one message (UTF-8) and returns when the user has acknowledged it.
  virtual void ShowMessage(MessageKind kind, std::string_view text) = 0;
  // The wait cursor: raised once with the first record read, lowered once
  // when the run ends.
  virtual void BeginWaitCursor() = 0;
  virtual void EndWaitCursor() = 0;
  // Shows `recordNumber` in the progress display (the reader and the writer
  // call it every kProgressInterval records, iges/record_format.h).
  virtual void ShowProgress(std::int32_t recordNumber) = 0;
  // Called once per record read: discards pending input and returns true when
  // the user asked to cancel (Escape).
  virtual bool PollCancel() = 0;
};

}  // namespace notora
