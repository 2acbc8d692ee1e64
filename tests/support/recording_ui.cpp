#include "tests/support/recording_ui.h"

namespace notora::testing {

void RecordingUi::ShowMessage(MessageKind kind, std::string_view text) {
  std::string entry = (kind == MessageKind::kReport ? "report: " : "error: ") + std::string(text);
  messages.push_back(entry);
  events.push_back(entry);
}

void RecordingUi::ShowProgress(std::int32_t recordNumber) {
  progress.push_back(recordNumber);
  events.push_back("progress " + std::to_string(recordNumber));
}

bool RecordingUi::PollCancel() { return ++polls == cancelAtPoll; }

}  // namespace notora::testing
