#pragma once
// Writing a landmark data file (the subset and back-reflected data sets): one row per line,
// every value as " %f " (a blank, fixed point with six decimals, a blank), "\n" after each
// row. The file reads back with dload, values rounded to six decimals.
#include <string>

#include "base/matrix.h"
#include "core/context.h"

namespace qiv {

// The file's text for the rows of table. Independent of the C locale.
std::string format_landmark_table(const Matrix& table);

// Asks for a file with the save dialog ("*.txt", title). On cancel nothing happens. Otherwise
// the chosen directory becomes current and the table is written there through a temporary
// file renamed into place; when that fails the message box "Failure on File Open" is shown,
// any existing file is left as it was, and the console and the window's status bar name the
// file and the reason.
void save_landmark_table(Context& ctx, const Matrix& table, const std::string& title);

}  // namespace qiv
