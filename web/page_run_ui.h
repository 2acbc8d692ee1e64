// PageRunUi: the run's user interface in the page's module. Messages are
// kept in order for the page to show once the run has returned (the page
// shows them as the dialog's message boxes would, one after the other);
// progress, the wait cursor and the cancel poll go to the page through the
// module's imports.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "base/run_ui.h"

namespace notora::web {

struct ShownMessage {
  MessageKind kind;
  std::string text;
};

class PageRunUi : public RunUi {
 public:
  void ShowMessage(MessageKind kind, std::string_view text) override;
  void BeginWaitCursor() override;
  void EndWaitCursor() override;
  // Keeps `recordNumber` for the next time the page is asked.
  void ShowProgress(std::int32_t recordNumber) override;
  // Asks the page every kPollEvery records (a call into the page, which may
  // let the page's messages in, costs far more than a record): true from the
  // first answer that the user asked to cancel on.
  bool PollCancel() override;

  const std::vector<ShownMessage>& messages() const { return messages_; }

  // Records read between two questions to the page: about 330 KB of source.
  static constexpr std::uint32_t kPollEvery = 4096;

 private:
  std::vector<ShownMessage> messages_;
  std::int32_t recordNumber_ = 0;
  std::uint32_t sinceAsked_ = 0;
  bool cancelled_ = false;
};

}  // namespace notora::web
