// Status: the result of one step of a run.
//
// A step either succeeds or ends the run with exactly one message, the text
// the user is shown (UTF-8, already composed). Errors travel as these values;
// nothing in notora throws to report a fault in a file.
#pragma once

#include <string>
#include <string_view>
#include <utility>

namespace notora {

class [[nodiscard]] Status {
 public:
  // A successful step.
  static Status Ok() { return Status(); }
  // A step that ends the run with `message` (shown once, as it stands).
  static Status Error(std::string message) { return Status(std::move(message)); }

  bool ok() const { return !failed_; }
  // The message to show; empty for a successful step.
  const std::string& message() const { return message_; }

 private:
  Status() = default;
  explicit Status(std::string message) : failed_(true), message_(std::move(message)) {}

  bool failed_ = false;
  std::string message_;
};

// Returns from the enclosing function when `expr` yields a failed Status.
#define NOTORA_RETURN_IF_ERROR(expr)            \
  do {                                          \
    ::notora::Status notora_status_ = (expr);   \
    if (!notora_status_.ok()) return notora_status_; \
  } while (0)

}  // namespace notora
