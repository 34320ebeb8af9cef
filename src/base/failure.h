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

// Thrown by long work the user stopped with Cancel. Whoever throws it has put back what it
// had changed, so the program is as it was before the action started.
class Cancelled : public Failure {
 public:
  explicit Cancelled(const std::string& text = "Cancelled.") : Failure(text) {}
};

}  // namespace qiv
