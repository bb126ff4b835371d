// The failure raised by database loads: carries the message shown to the user.
#pragma once

#include <stdexcept>
#include <string>

namespace kvq {

class EDatabaseError : public std::runtime_error {
 public:
  explicit EDatabaseError(const std::string& message) : std::runtime_error(message) {}
};

}  // namespace kvq
