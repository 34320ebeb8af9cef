#pragma once
// The one exception an action or callable function throws. Its text is exactly what the
// user sees (console line, message box or status bar); what was done before the throw stays
// done.
#include <stdexcept>
#include <string>

namespace qiv {

class Failure : public std::runtime_error {
 public:
  explicit Failure(const std::string& text) : std::runtime_error(text) {}
};

}  // namespace qiv
