// A run's user interface with no one watching: nothing shown, never
// cancelled. For the benchmarks, which time the engine alone.
#pragma once

#include <cstdint>
#include <string_view>

#include "base/run_ui.h"

namespace notora_bench {

class QuietUi : public notora::RunUi {
 public:
  void ShowMessage(notora::MessageKind, std::string_view) override {}
  void BeginWaitCursor() override {}
  void EndWaitCursor() override {}
  void ShowProgress(std::int32_t) override {}
  bool PollCancel() override { return false; }
};

}  // namespace notora_bench
