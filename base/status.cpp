#include "base/status.h"

namespace notora {

const std::vector<std::string>& Status::args() const {
  static const std::vector<std::string> kNone;
  return detail_ ? detail_->args : kNone;
}

std::string Status::message() const {
  return ok() ? std::string() : FormatMessage(detail_->id, detail_->args);
}

}  // namespace notora
