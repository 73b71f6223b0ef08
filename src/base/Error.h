// The error that ends a command: a file that cannot be read or written, a document that cannot be
// opened. Its message is Shift-JIS, as every text of the program, and is shown to the user as it is.
#pragma once

#include <stdexcept>
#include <string>

namespace base {

class Error : public std::runtime_error {
 public:
  explicit Error(const std::string& sjisMessage) : std::runtime_error(sjisMessage) {}
};

}  // namespace base
