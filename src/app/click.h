#pragma once
// What a click on a control runs, the same for the Qt windows and a session script's press
// and pick steps.
#include "core/context.h"

namespace qiv {

// Runs the Callback of a control (a list of words: a function name and its text
// arguments) as a click on it does: the control's window becomes the current figure, and
// Qiv_proto runs the words with the control as the running callback's object. Failures are
// reported by Qiv_proto; nothing escapes. A control without a Callback does nothing.
void run_callback(Context& ctx, Handle control);

}  // namespace qiv
