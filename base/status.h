// Status: the result of one step of a run.
//
// A step either succeeds or ends the run with exactly one message. A failed
// status carries the message's id and its arguments; the text is composed
// only where it is shown (message()), so that callers and checks branch on
// the id, never on the words. Errors travel as these values; nothing in
// notora throws to report a fault in a file.
#pragma once

#include <initializer_list>
#include <memory>
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

  // A successful status holds nothing: one null pointer, which every step
  // of every record makes, passes back and checks.
  Status(const Status& other)
      : detail_(other.detail_ ? std::make_unique<Detail>(*other.detail_) : nullptr) {}
  Status& operator=(const Status& other) {
    if (this != &other) {
      detail_ = other.detail_ ? std::make_unique<Detail>(*other.detail_) : nullptr;
    }
    return *this;
  }
  Status(Status&&) noexcept = default;
  Status& operator=(Status&&) noexcept = default;
  ~Status() = default;

  bool ok() const { return detail_ == nullptr || !detail_->failed; }
  // The message's id; meaningful only when the step failed.
  MessageId id() const { return detail_ ? detail_->id : MessageId{}; }
  // The arguments of the message, as text, in order.
  const std::vector<std::string>& args() const;
  // The message as the user is shown it; empty for a successful step.
  std::string message() const;

  // A second message shown after this one (a close that failed while the run
  // was giving up after this error). Returns *this for chaining.
  Status& FollowedBy(MessageId id) {
    if (!detail_) detail_ = std::make_unique<Detail>();
    detail_->hasFollowUp = true;
    detail_->followUp = id;
    return *this;
  }
  bool hasFollowUp() const { return detail_ && detail_->hasFollowUp; }
  MessageId followUp() const { return detail_ ? detail_->followUp : MessageId{}; }

 private:
  struct Detail {
    bool failed = false;
    bool hasFollowUp = false;
    MessageId id{};
    MessageId followUp{};
    std::vector<std::string> args;
  };

  Status() = default;
  Status(MessageId id, std::initializer_list<MessageArg> args)
      : detail_(std::make_unique<Detail>()) {
    detail_->failed = true;
    detail_->id = id;
    detail_->args.reserve(args.size());
    for (const MessageArg& arg : args) detail_->args.push_back(arg.text());
  }

  std::unique_ptr<Detail> detail_;
};

// Returns from the enclosing function when `expr` yields a failed Status.
#define NOTORA_RETURN_IF_ERROR(expr)            \
  do {                                          \
    ::notora::Status notora_status_ = (expr);   \
    if (!notora_status_.ok()) return notora_status_; \
  } while (0)

}  // namespace notora
