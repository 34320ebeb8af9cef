#include "data/landmark_table_file.h"

#include <charconv>
#include <filesystem>
#include <system_error>

#include "base/failure.h"
#include "data/landmark_file.h"
#include "data/specimen_file.h"
#include "platform/file_io.h"

namespace qiv {

std::string format_landmark_table(const Matrix& table) {
  std::string out;
  out.reserve(static_cast<std::size_t>(table.size()) * 14 + static_cast<std::size_t>(table.rows()));
  char buffer[400];  // the fixed-point text of the largest double has 309 digits before the point
  for (Eigen::Index i = 0; i < table.rows(); ++i) {
    for (Eigen::Index j = 0; j < table.cols(); ++j) {
      const auto res =
          std::to_chars(buffer, buffer + sizeof buffer, table(i, j), std::chars_format::fixed, 6);
      out += ' ';
      out.append(buffer, res.ptr);
      out += ' ';
    }
    out += '\n';
  }
  return out;
}

std::optional<std::string> save_landmark_table(Context& ctx, const Matrix& table,
                                               const std::vector<std::string>& names,
                                               const std::string& title,
                                               const std::string& suggested) {
  const FileChoice choice = ctx.ui.put_file(landmark_save_filter(), title, suggested);
  if (choice.cancelled) return std::nullopt;
  // The folder comes from the dialog; if it cannot be entered the write below fails too.
  std::error_code ignored;
  std::filesystem::current_path(choice.dir, ignored);
  const std::string text = landmark_format_for_saved_name(choice.name).write(table, names);
  std::string why;
  if (!write_file_atomically(choice.dir + choice.name, text, &why)) {
    ctx.ui.msgbox("Failure on File Open");
    // The box keeps its short text; the console and the window's status bar say which file
    // and why.
    ctx.ui.report_failure("Cannot write " + choice.name + ": " + why + ".",
                          ctx.gfx.callback_figure());
    return std::nullopt;
  }
  return choice.name;
}

namespace {

bool claims_everything(std::string_view) { return true; }

SpecimenData read_own(std::string_view text, const std::string& fname) {
  SpecimenData out;
  out.table = parse_landmark_table(text, fname);
  out.names = numbered_names(out.table.rows());
  out.numbered_names = true;
  out.rows_are_lines = true;
  out.trailing_read = true;
  return out;
}

std::string write_own(const Matrix& table, const std::vector<std::string>&) {
  return format_landmark_table(table);
}

}  // namespace

const LandmarkFormat& own_landmark_format() {
  static const LandmarkFormat f{
      "own",
      claims_everything,
      read_own,
      write_own,
      ".txt",
      "Landmark data (*.txt)",
      "the program's own: one specimen per line, x1 y1 \u2026 xk yk, then centroid size",
      "| the program's own | anything the others do not claim | every number of each line; "
      "specimens named 1, 2, ... | for any other name |",
  };
  return f;
}

}  // namespace qiv
