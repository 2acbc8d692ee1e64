// Status: the result of one step of a run.
//
// A step either succeeds or ends the run with exactly one message. A failed
// status carries the message's id and its arguments; the text is composed
// only where it is shown (message()), so that callers and checks branch on
// the id, never on the words. Errors travel as these values; nothing in
// notora throws to report a fault in a file.
#pragma once

#include <initializer_list>
#include <string>
#include <utility>
#include <vector>

#include "base/messages.h"

namespace notora {

class [[nodiscard]] Status {
 public:
  // A successful step.
  static Status Ok() { return Status(); }
  // A step that ends the run with message `id`, its "{}" placeholders filled
  // by `args` in order.
  static Status Error(MessageId id, std::initializer_list<MessageArg> args = {}) {
    return Status(id, args);
  }

  bool ok() const { return !failed_; }
  // The message's id; meaningful only when the step failed.
  MessageId id() const { return id_; }
  // The arguments of the message, as text, in order.
  const std::vector<std::string>& args() const { return args_; }
  // The message as the user is shown it; empty for a successful step.
  std::string message() const;

  // A second message shown after this one (a close that failed while the run
  // was giving up after this error). Returns *this for chaining.
  Status& FollowedBy(MessageId id) {
    hasFollowUp_ = true;
    followUp_ = id;
    return *this;
  }
  bool hasFollowUp() const { return hasFollowUp_; }
  MessageId followUp() const { return followUp_; }

 private:
  Status() = default;
  Status(MessageId id, std::initializer_list<MessageArg> args) : failed_(true), id_(id) {
    args_.reserve(args.size());
    for (const MessageArg& arg : args) args_.push_back(arg.text());
  }

  bool failed_ = false;
  bool hasFollowUp_ = false;
  MessageId id_{};
  MessageId followUp_{};
  std::vector<std::string> args_;
};

// Returns from the enclosing function when `expr` yields a failed Status.
#define NOTORA_RETURN_IF_ERROR(expr)            \
  do {                                          \
    ::notora::Status notora_status_ = (expr);   \
    if (!notora_status_.ok()) return notora_status_; \
  } while (0)

}  // namespace notora
