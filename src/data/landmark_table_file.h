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

// The save dialog's choices: the program's own landmark data file first (a name typed without
// an extension gets ".txt"), then TPS.
inline constexpr const char* kLandmarkTableFilter = "Landmark data (*.txt);;TPS files (*.tps)";

// Asks for a file with the save dialog (kLandmarkTableFilter, title). On cancel nothing
// happens. Otherwise the chosen directory becomes current and the table is written there
// through a temporary file renamed into place: as TPS (format_tps, with the specimens' names)
// when the name ends in ".tps" in any case, else in the program's own layout
// (format_landmark_table). When the write fails the message box "Failure on File Open" is
// shown, any existing file is left as it was, and the console and the window's status bar name
// the file and the reason. Returns the name of the file written, nothing on cancel or failure.
// The dialog starts with the name suggested.
std::optional<std::string> save_landmark_table(Context& ctx, const Matrix& table,
                                               const std::vector<std::string>& names,
                                               const std::string& title,
                                               const std::string& suggested = {});

}  // namespace qiv
