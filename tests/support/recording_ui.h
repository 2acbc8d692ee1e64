// RecordingUi: a RunUi that records everything a run shows, so tests can
// assert whole message sequences.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "base/run_ui.h"

namespace notora::testing {

class RecordingUi : public RunUi {
 public:
  void ShowMessage(MessageKind kind, std::string_view text) override;
  void BeginWaitCursor() override { events.push_back("cursor on"); }
  void EndWaitCursor() override { events.push_back("cursor off"); }
  void ShowProgress(std::int32_t recordNumber) override;
  bool PollCancel() override;

  // Every message, in order ("error: ..." or "report: ...").
  std::vector<std::string> messages;
  // Messages, cursor changes and progress, in order.
  std::vector<std::string> events;
  // Progress numbers shown, in order.
  std::vector<std::int32_t> progress;
  // The poll (counted from 1) at which a cancel is reported; 0 never.
  int cancelAtPoll = 0;
  int polls = 0;
};

}  // namespace notora::testing
