#include "web/page_run_ui.h"

// What the page provides: a run's progress and cancel poll, and its wait
// cursor. The page may answer poll_cancel after letting its pending messages
// in (a Cancel press among them).
extern "C" {
__attribute__((import_module("notora"), import_name("poll_cancel"))) int NotoraPollCancel(
    std::int32_t recordNumber);
__attribute__((import_module("notora"), import_name("wait_cursor"))) void NotoraWaitCursor(
    int raised);
}

namespace notora::web {

void PageRunUi::ShowMessage(MessageKind kind, std::string_view text) {
  messages_.push_back({kind, std::string(text)});
}

void PageRunUi::BeginWaitCursor() { NotoraWaitCursor(1); }

void PageRunUi::EndWaitCursor() { NotoraWaitCursor(0); }

void PageRunUi::ShowProgress(std::int32_t recordNumber) { recordNumber_ = recordNumber; }

bool PageRunUi::PollCancel() {
  if (cancelled_) return true;
  if (++sinceAsked_ < kPollEvery) return false;
  sinceAsked_ = 0;
  cancelled_ = NotoraPollCancel(recordNumber_) != 0;
  return cancelled_;
}

}  // namespace notora::web
