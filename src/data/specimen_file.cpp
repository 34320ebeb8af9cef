#include "data/specimen_file.h"

#include <cmath>
#include <cstddef>
#include <filesystem>

#include "base/failure.h"
#include "geometry/landmark_row.h"
#include "platform/input_file.h"

namespace qiv {

std::vector<std::string> numbered_names(Eigen::Index m) {
  std::vector<std::string> out;
  out.reserve(static_cast<std::size_t>(m));
  for (Eigen::Index i = 1; i <= m; ++i) out.push_back(std::to_string(i));
  return out;
}

const LandmarkFormat& specimen_format(std::string_view text) {
  return landmark_format_of(skip_bom(text));
}

SpecimenData parse_specimen_text_as_written(std::string_view text, const std::string& fname) {
  text = skip_bom(text);
  const LandmarkFormat& format = landmark_format_of(text);
  SpecimenData out = format.read(text, fname);
  out.format = &format;
  out.sources = {SpecimenSource{std::filesystem::path(fname).filename().string(), 0,
                                out.rows_are_lines, out.trailing_read}};
  return out;
}

SpecimenData parse_specimen_text(std::string_view text, const std::string& fname) {
  SpecimenData out = parse_specimen_text_as_written(text, fname);
  settle_units(out);
  return out;
}

std::optional<SpecimenData> read_specimen_file(const std::string& path, bool as_written) {
  std::optional<InputBytes> bytes = read_input_file(path);
  if (!bytes) return std::nullopt;
  const std::string name = std::filesystem::path(path).filename().string();
  return as_written ? parse_specimen_text_as_written(bytes->view(), name)
                    : parse_specimen_text(bytes->view(), name);
}

void settle_units(SpecimenData& d) {
  std::vector<double> scales = std::move(d.scales);
  d.scales.clear();
  std::size_t without = 0;
  std::size_t first_without = 0;
  for (std::size_t i = 0; i < scales.size(); ++i) {
    if (std::isnan(scales[i]) && without++ == 0) first_without = i;
  }
  if (scales.empty() || without == scales.size()) return;
  if (without > 0) {
    d.units_note = std::to_string(without) + " of " + std::to_string(scales.size()) +
                   (without == 1 ? " specimens has" : " specimens have") +
                   " no SCALE (first: " + d.names[first_without] +
                   "); all coordinates are taken in the file's units.";
    return;
  }
  const Eigen::Index n = d.table.cols();
  const Eigen::Index k = (n - 1) / 2;
  for (Eigen::Index i = 0; i < d.table.rows(); ++i) {
    double* row = d.table.data() + i * n;
    const double s = scales[static_cast<std::size_t>(i)];
    for (Eigen::Index c = 0; c < 2 * k; ++c) row[c] *= s;
    row[2 * k] = landmark_row::centroid_size(row, k);
  }
}

SpecimenData join_specimens(std::vector<SpecimenData> files) {
  if (files.size() == 1) return std::move(files.front());
  SpecimenData out;
  if (files.empty()) return out;
  const Eigen::Index n = files.front().table.cols();
  Eigen::Index rows = 0;
  bool any_scales = false;
  for (const SpecimenData& f : files) {
    if (f.table.cols() != n) {
      auto landmarks = [](Eigen::Index cols) {
        const Eigen::Index k = cols >= 1 ? (cols - 1) / 2 : 0;
        return std::to_string(k) + (k == 1 ? " landmark" : " landmarks");
      };
      throw Failure("Cannot load " + f.sources.front().file + ": its specimens have " +
                    landmarks(f.table.cols()) + ", but those of " +
                    files.front().sources.front().file + " have " + landmarks(n) +
                    "; files loaded together need the same landmarks.");
    }
    rows += f.table.rows();
    any_scales = any_scales || !f.scales.empty();
  }
  out.format = files.front().format;
  out.table.resize(rows, n);
  out.names.reserve(static_cast<std::size_t>(rows));
  if (any_scales) out.scales.reserve(static_cast<std::size_t>(rows));
  Eigen::Index at = 0;
  for (SpecimenData& f : files) {
    const Eigen::Index m = f.table.rows();
    if (m > 0) out.table.middleRows(at, m) = f.table;
    const SpecimenSource& src = f.sources.front();
    out.sources.push_back(SpecimenSource{src.file, at, src.rows_are_lines, src.trailing_read});
    const std::string stem = std::filesystem::path(src.file).stem().string();
    for (std::size_t r = 0; r < f.names.size(); ++r)
      out.names.push_back(f.numbered_names ? stem + ":" + std::to_string(r + 1)
                                           : std::move(f.names[r]));
    if (any_scales) {
      if (f.scales.empty())
        out.scales.insert(out.scales.end(), static_cast<std::size_t>(m), NAN);
      else
        out.scales.insert(out.scales.end(), f.scales.begin(), f.scales.end());
    }
    for (std::string& note : f.notes) out.notes.push_back(std::move(note));
    out.curve_points += f.curve_points;
    at += m;
  }
  return out;
}

}  // namespace qiv
