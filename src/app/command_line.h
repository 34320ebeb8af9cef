#pragma once
// The command line without windows: qiv_proto NAME ARG... calls NAME through the main
// function with the words as texts and prints what it returns.
#include <iosfwd>
#include <string>
#include <vector>

#include "platform/runtime.h"

namespace qiv {

// Outputs as text: a matrix one row per line ("%.17g", one blank between values); a text as
// it is; a list one element per line; a record one line per field, "field: values";
// consecutive outputs separated by one empty line.
std::string format_outputs(const Outputs& outs);

// Runs one call by name headless; message boxes print "msgbox: TEXT" and file dialogs are
// cancelled. Returns the exit status (0: the call itself reports its failures).
int run_command_line(const std::vector<std::string>& words, std::ostream& out, std::ostream& err);

}  // namespace qiv
