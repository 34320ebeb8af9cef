#pragma once
// Writing a landmark data file (the subset and back-reflected data sets): one row per line,
// every value as " %f " (a blank, fixed point with six decimals, a blank), "\n" after each
// row. The file reads back with dload, values rounded to six decimals.
#include <optional>
#include <string>
#include <vector>

#include "base/matrix.h"
#include "core/context.h"

namespace qiv {

// The file's text for the rows of table. Independent of the C locale.
std::string format_landmark_table(const Matrix& table);

// Asks for a file with the save dialog (landmark_save_filter(): the program's own landmark data
// file first, so that a name typed without an extension gets ".txt", then the other formats
// the program writes), and title. On cancel nothing happens. Otherwise the chosen directory
// becomes current and the table is written there through a temporary file renamed into place,
// by the writer of landmark_format_for_saved_name: TPS for a name ending in ".tps", CSV for
// ".csv" (in any case; both with the specimens' names), else the program's own layout
// (format_landmark_table). When the write fails the message box "Failure on File Open" is
// shown, any existing file is left as it was, and the console and the window's status bar name
// the file and the reason. Returns the name of the file written, nothing on cancel or failure.
// The dialog starts with the name suggested.
std::optional<std::string> save_landmark_table(Context& ctx, const Matrix& table,
                                               const std::vector<std::string>& names,
                                               const std::string& title,
                                               const std::string& suggested = {});

}  // namespace qiv
