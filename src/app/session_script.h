#pragma once
// Session scripts (qiv_proto --script FILE): start-up without windows, then one step per
// line. The steps:
//
//   cd DIR                 change the current directory (relative to the current one)
//   set TAG PROP TEXT      set PROP of the first object tagged TAG; TEXT is the rest of the
//                          line after one blank, with \n a line break and \\ a backslash;
//                          numeric properties (Value, Min, Max, ...) take str2num(TEXT)
//   answer PATH            the next file dialog chooses PATH (relative to the current
//   answer cancel          directory), or is cancelled
//   press TAG              run the callback of the control tagged TAG, as a click does (a
//                          checkbox toggles first); a disabled control runs nothing
//   call NAME ARG...       call a function by name through Qiv_proto, as a callback does
//   print TAG PROP         PROP of the first object tagged TAG, on one line
//   state MEMBER           a member of the shared state (describe_member)
//   save-figure FILE       draw the main window (or the current figure) to FILE (.png/.svg)
//   clipboard FILE         write the picture last copied to the clipboard (.svg/.png)
//   pick X Y [shift]       a click (or shift-click) on the main plot at the data point X, Y,
//                          resolved as the mouse is (pointing/pick.h); a click that reaches
//                          nothing prints "pick: nothing within reach" on err
//
// Blank lines and lines starting with # are skipped; a word in double quotes may hold
// blanks. Message boxes print "msgbox: TEXT" on out, console lines print on out. A
// malformed step or an unknown tag prints "script: line N: reason" on err and ends the run
// with status 1; a failure inside an action is written to the console and the script goes
// on.
#include <iosfwd>
#include <string>
#include <string_view>
#include <vector>

#include "core/context.h"
#include "platform/headless_ui.h"

namespace qiv {

// The words of one step: separated by blanks or tabs; a word that begins with a double
// quote runs to the next double quote, which must end the word, and may hold blanks (the
// quotes are dropped). Failure("unterminated quote") or Failure("a closing quote must end
// its word").
std::vector<std::string> script_words(std::string_view line);

// TEXT of a set step: "\n" becomes a line break and "\\" a backslash; everything else
// stands as written.
std::string unescape_script_text(std::string_view text);

// A property value on one line: a text with line breaks as \n; numbers "%.17g" separated
// by one blank (row by row); the elements of a list joined with \n.
std::string script_value_text(const Value& v);

// Runs the script in file (or the script text given) and returns the exit status. The
// painter draws clipboard pictures; the writer draws figures into files (save-figure);
// without them clipboard pictures are empty and save-figure is a script error.
int run_script(const std::string& file, std::ostream& out, std::ostream& err,
               HeadlessUi::Painter painter = {}, HeadlessUi::FileWriter writer = {});
int run_script_text(const std::string& text, std::ostream& out, std::ostream& err,
                    HeadlessUi::Painter painter = {}, HeadlessUi::FileWriter writer = {});

}  // namespace qiv
