#pragma once
// The landmark data file: one specimen per line, x1 y1 ... xk yk then the trailing value.
// The same reader serves protocol files.
#include <optional>
#include <string>

#include "app/context.h"
#include "platform/matrix.h"

namespace qiv {

// Reads a table of numbers, one row per text line. Returns nothing when the file cannot be
// opened (the -1 of callers by name). A line that does not parse, or holds a different
// count of numbers than the first, throws Failure naming the file and the line.
std::optional<Matrix> dload(const std::string& fname);

// The file-open dialog ("*.*", "Enter file to Load?"), then dload of the chosen file, then
// the file's directory becomes current. On cancel nothing is read and nothing changes.
struct Mfload {
  bool cancelled = true;
  std::optional<Matrix> data;  // nothing when the file could not be opened
  std::string name;            // the file name without its directory
  std::string dir;             // with its trailing separator
};
Mfload mfload(Context& ctx);

}  // namespace qiv
