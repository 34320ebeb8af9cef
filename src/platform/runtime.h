#pragma once
// The table of functions callable by name, with the input and output counts each declares.
// A call with more inputs or outputs than declared fails before the function runs.
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "platform/value.h"

namespace qiv {

using Args = std::vector<Value>;
using Outputs = std::vector<Value>;
// A callable gets its inputs and the number of outputs its caller requested; it returns
// at most that many values (fewer when it has nothing to give).
using CallableFn = std::function<Outputs(const Args& in, int nout)>;

constexpr int kAnyCount = -1;

struct Callable {
  std::string name;
  int max_in;   // kAnyCount for a variable list
  int max_out;  // kAnyCount for a variable list
  CallableFn fn;
};

// "Run-time Error: File: FILE Line: LINE Column: 1 The function "NAME" was called with more
// than the declared number of outputs (N)." (or "inputs"). Inner functions name their file
// as outer/inner and give their own line number.
std::string arity_message(const std::string& file, int line, const std::string& name, bool outputs,
                          int declared);

// Throws the arity failure when nin or nout exceeds what is declared; outputs are checked
// first.
void check_arity(const std::string& file, int line, const std::string& name, int max_in,
                 int max_out, int nin, int nout);

// "Not enough input arguments."
[[noreturn]] void fail_not_enough_inputs();

// Calls by name may nest (Qiv_proto calling Qiv_proto calling ..., actions running actions)
// this deep and no deeper; real chains stay within a handful of levels.
inline constexpr int kMaxCallDepth = 100;

// "Calls by name nest more than 100 deep; "NAME" was not run."
std::string call_depth_message(const std::string& name);

class Runtime {
 public:
  void add(std::string name, int max_in, int max_out, CallableFn fn);
  const Callable* find(const std::string& name) const;
  // Calls by name: unknown name, too many outputs, too many inputs, then the function. A call
  // nested deeper than kMaxCallDepth fails with call_depth_message before it runs.
  Outputs call(const std::string& name, const Args& in, int nout) const;
  // Registered names in the order they were added.
  const std::vector<std::string>& names() const { return order_; }

  // The words of a control's callback (function name, then text arguments), checked when a
  // layout is read so that a callback that could never run fails at once. The program above
  // installs the rule; without one every callback is accepted. Returns "" or the reason.
  using CallbackCheck = std::function<std::string(const std::vector<std::string>& words)>;
  void set_callback_check(CallbackCheck check) { callback_check_ = std::move(check); }
  std::string check_callback(const std::vector<std::string>& words) const {
    return callback_check_ ? callback_check_(words) : std::string();
  }

 private:
  CallbackCheck callback_check_;
  mutable int depth_ = 0;  // calls by name running now, one inside the other
  std::map<std::string, Callable> table_;
  std::vector<std::string> order_;
};

// "Run-time Error: No function named "NAME" exists."
std::string unknown_function_message(const std::string& name);

}  // namespace qiv

namespace qiv {

// Inputs of calls by name arrive as strings from the command line and as values from code.
// numeric_arg converts a string with str2num; text that is no number fails with
// "FUNCTION: input N is not a number: "TEXT"." string_arg requires a string.
Matrix numeric_arg(const Args& in, std::size_t index, const std::string& function);
std::string string_arg(const Args& in, std::size_t index, const std::string& function);

}  // namespace qiv
