// FaultOrder: the one place that decides which message a run shows when
// more than one thing went wrong. A run shows exactly one message (and,
// after an error, a one-line follow-up when closing the source failed too).
// Faults rank, first to last:
//   1. a fault of the records before the first P record (a length, a section
//      letter, a read error, Escape) and an odd count of D records;
//   2. a fault in a D record's fields, held until the first P record showed
//      that none of the first kind comes before it;
//   3. every other fault of the source, in record order;
//   4. a failing close of the source;
//   5. "nothing converted", which writes nothing and shows the report;
//   6. the output's own faults, kept while the source was read: the output
//      cannot be created, a text that does not fill its line count, a
//      Parameter Data section past 9,999,999 records, a full disk, memory
//      that ran out on the writer's thread, a failing flush, a name taken
//      meanwhile, a failing close.
// Within a rank the first fault reported wins. Each step of a run reports
// its outcome here and is skipped once a fault that ranks before it is in.
#pragma once

#include <optional>
#include <utility>

#include "base/status.h"

namespace notora {

enum class FaultRank {
  kSourceRecords,
  kDirectoryField,
  kSourceEntities,
  kSourceClose,
  kNothingConverted,
  kOutput,
};

class FaultOrder {
 public:
  // Keeps `status` when it failed and no fault of the same or an earlier
  // rank is kept.
  void Report(FaultRank rank, Status status) {
    if (status.ok() || (fault_ && rank_ <= rank)) return;
    rank_ = rank;
    fault_ = std::move(status);
  }
  // True when a fault is kept that a step of `rank` cannot displace: that
  // step need not run.
  bool Decided(FaultRank rank) const { return fault_.has_value() && rank_ <= rank; }
  bool failed() const { return fault_.has_value(); }
  // The winning fault, or Ok.
  Status result() const { return fault_ ? *fault_ : Status::Ok(); }

 private:
  FaultRank rank_ = FaultRank::kOutput;
  std::optional<Status> fault_;
};

}  // namespace notora
