#pragma once
// The landmark data file: one specimen per line, x1 y1 ... xk yk then the trailing value.
// The same reader serves protocol files.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/matrix.h"
#include "core/context.h"

namespace qiv {

// Reads a table of numbers, one row per text line. Returns nothing when the file cannot be
// opened (the -1 of callers by name); an empty file gives a 0 x 0 matrix. A line that does
// not parse, or holds a different count of numbers than the first, throws Failure naming the
// file (without its directory) and the line; so does what is no regular file, and a file that
// changes while it is read (see read_input_file). Numbers are separated by blanks, tabs or
// commas; lines end with LF, CR LF or CR alone; a UTF-8 byte order mark at the start is
// skipped; the data end at the first line after the first that is one character long (an
// empty line, whatever its line end). NaN and Inf are read as such.
std::optional<Matrix> dload(const std::string& fname);

// The landmarks k of a table whose rows read x1 y1 ... xk yk then the trailing value (the data
// set, or the mean shape's one row); 0 for a table without columns.
inline Eigen::Index landmark_count(const Matrix& table) {
  return table.cols() >= 1 ? (table.cols() - 1) / 2 : 0;
}

// dload's reading of a text already in memory; fname only names the file in messages.
Matrix parse_landmark_table(std::string_view text, const std::string& fname);

// The file-open dialog ("*.*", "Enter file to Load?"), then dload of the chosen file, then
// the file's directory becomes current. On cancel nothing is read and nothing changes.
struct Mfload {
  bool cancelled = true;
  std::optional<Matrix> data;  // nothing when the file could not be opened
  std::string name;            // the file name without its directory
  std::string dir;             // with its trailing separator
};
Mfload mfload(Context& ctx);

// The pieces of mfload, for "Load", which must read and check a file before it changes
// anything, the current directory included.
inline constexpr const char* kLoadFilter = "*.*";
inline constexpr const char* kLoadTitle = "Enter file to Load?";
FileChoice choose_data_file(Context& ctx);

// The file-open dialog of "Load": the same title, several files at once, offering every
// landmark format (landmark_open_filter()). Empty on cancel.
std::vector<FileChoice> choose_specimen_files(Context& ctx);
// Makes dir the current directory; throws Failure "Cannot make DIR the current directory.".
void change_directory(const std::string& dir);

}  // namespace qiv
