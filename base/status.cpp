#include "base/status.h"

namespace notora {

std::string Status::message() const {
  return failed_ ? FormatMessage(id_, args_) : std::string();
}

}  // namespace notora
