#pragma once
// The command line: what the words after the program's name ask for, and the runs without
// windows (qiv_proto NAME ARG... calls NAME through the main function with the words as
// texts and prints what it returns).
#include <functional>
#include <iosfwd>
#include <string>
#include <vector>

#include "platform/runtime.h"

namespace qiv {

class Application;

// What the command line asks for, decided from the first word:
//   (none)            start-up with windows
//   --help            the usage on stdout, exit status 0
//   --version         "qiv_proto VERSION" on stdout, exit status 0
//   --script SCRIPT   the session script SCRIPT, without windows
//   NAME ARG...       a call by name (NAME a function of the table or a placeholder
//                     callback; a word that is neither is called too, and the main
//                     function says there is no such function)
//   FILE...           start-up with windows, then "Load" with the FILEs as one data set
//                     (readable files, the first not a function's name)
// Anything else starting with "-", --script without exactly one SCRIPT, or FILE followed by
// a word that is no readable file is wrong use: a one-line problem, the usage on stderr,
// exit status 2.
// Words after --help or --version are ignored; words after NAME are its inputs.
struct StartRequest {
  enum class Kind { kWindows, kHelp, kVersion, kScript, kCall, kOpenFile, kWrongUse };
  Kind kind = Kind::kWindows;
  std::vector<std::string> words;  // kCall: NAME ARG...; kScript: the file; kOpenFile: files
  std::string problem;             // kWrongUse: what is wrong, without the program's name
};

// is_function says whether a word names something the main function can call; is_file
// whether a word names a readable regular file.
StartRequest decide_start(const std::vector<std::string>& words,
                          const std::function<bool(const std::string&)>& is_function,
                          const std::function<bool(const std::string&)>& is_file);
// The same with the program's own table of functions and the file system.
StartRequest decide_start(const std::vector<std::string>& words);

// Whether the main function reaches name: a function of the table or a placeholder callback.
bool callable_by_name(const Runtime& rt, const std::string& name);

// A regular file that can be opened for reading.
bool readable_file(const std::string& path);

// The text --help prints (and wrong use prints after its problem), ending in a line break.
std::string usage_text();

// "qiv_proto: PROBLEM" and the usage, for stderr.
std::string wrong_use_text(const std::string& problem);

// Outputs as text: a matrix one row per line ("%.17g", one blank between values); a text as
// it is; a list one element per line; a record one line per field, "field: values";
// consecutive outputs separated by one empty line.
std::string format_outputs(const Outputs& outs);

// The first work of a run, on whatever Ui the application talks to: start-up (kWindows);
// start-up then "Load" with the files (kOpenFile); or the call by name with its outputs
// printed on out (kCall). Start-up failures (a layout not found) propagate as Failure;
// failures of calls are reported by the main function. Other kinds do nothing.
void begin_run(Application& app, const StartRequest& request, std::ostream& out);

// Runs one call by name headless; message boxes print "msgbox: TEXT" and file dialogs are
// cancelled. Returns the exit status: 1 when the call failed (the failure is printed like any
// console line), else 0.
int run_command_line(const std::vector<std::string>& words, std::ostream& out, std::ostream& err);

}  // namespace qiv
