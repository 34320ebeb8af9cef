#pragma once
// The main function: start-up with no inputs, call by name with a text first input.
#include <string>
#include <vector>

#include "core/context.h"

namespace qiv {

// No inputs: start-up (opens the main window and prepares the program); returns the main
// window's handle when an output is requested. A text first input: calls that function with
// the other inputs; any failure is written to the console (and the calling window's status
// bar) and the call returns normally. Any other first input: nothing.
Outputs Qiv_proto(Context& ctx, const Args& in, int nout);

// The fifteen placeholder callbacks, reachable only through Qiv_proto.
const std::vector<std::string>& placeholder_callbacks();

// Checks the words of a control's callback the way Qiv_proto will run them, from words[first]
// on: "" when they can run, else the reason. Installed as the runtime's callback check.
std::string check_callback(const Runtime& rt, const std::vector<std::string>& words,
                           std::size_t first = 0);

// The number of outputs a command-line call of name requests: the declared count, or one
// where it is variable; 0 for an unknown name.
int declared_outputs(const Context& ctx, const std::string& name);

}  // namespace qiv
