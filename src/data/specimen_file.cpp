#include "data/specimen_file.h"

#include <cstddef>
#include <filesystem>

#include "data/landmark_file.h"
#include "data/nts_file.h"
#include "data/number_text.h"
#include "data/text_fields.h"
#include "data/tps_file.h"
#include "platform/input_file.h"

namespace qiv {
namespace {

bool is_comment(std::string_view line) {
  const std::string_view s = trim_blanks(line);
  return !s.empty() && s.front() == '"';
}

// The tokens of the lines that `from` has not given yet, comment lines not counted.
std::size_t count_tokens(LineReader from) {
  std::size_t count = 0;
  std::string_view line;
  while (from.next(line)) {
    if (is_comment(line)) continue;
    const char* p = line.data();
    const char* const end = p + line.size();
    for (;;) {
      while (p != end && is_separator(*p)) ++p;
      if (p == end) break;
      p = token_end(p, end);
      ++count;
    }
  }
  return count;
}

}  // namespace

std::vector<std::string> numbered_names(Eigen::Index m) {
  std::vector<std::string> out;
  out.reserve(static_cast<std::size_t>(m));
  for (Eigen::Index i = 1; i <= m; ++i) out.push_back(std::to_string(i));
  return out;
}

SpecimenFormat specimen_format(std::string_view text) {
  text = skip_bom(text);
  LineReader lines(text);
  std::string_view line;
  bool comment = false;
  bool first = true;
  while (lines.next(line)) {
    if (is_blank_text(line)) continue;
    if (first && is_tps_record_start(line)) return SpecimenFormat::kTps;
    first = false;
    if (is_comment(line)) {
      comment = true;
      continue;
    }
    const std::optional<NtsHeader> h = parse_nts_header(line);
    if (!h) return comment ? SpecimenFormat::kNts : SpecimenFormat::kOwn;
    if (comment || h->row_labels || h->col_labels || h->dim || h->fields == 4)
      return SpecimenFormat::kNts;
    // Five plain numbers: a header only when the numbers it announces follow.
    const auto announced =
        static_cast<unsigned long long>(h->rows) * static_cast<unsigned long long>(h->cols);
    const bool fits = h->type == 1 && h->rows > 0 && h->cols > 0 &&
                      h->rows <= static_cast<long>(text.size()) &&
                      h->cols <= static_cast<long>(text.size()) && announced == count_tokens(lines);
    return fits ? SpecimenFormat::kNts : SpecimenFormat::kOwn;
  }
  return comment ? SpecimenFormat::kNts : SpecimenFormat::kOwn;
}

SpecimenData parse_specimen_text(std::string_view text, const std::string& fname) {
  text = skip_bom(text);
  switch (specimen_format(text)) {
    case SpecimenFormat::kTps:
      return parse_tps(text, fname);
    case SpecimenFormat::kNts:
      return parse_nts(text, fname);
    case SpecimenFormat::kOwn:
      break;
  }
  SpecimenData out;
  out.table = parse_landmark_table(text, fname);
  out.names = numbered_names(out.table.rows());
  return out;
}

std::optional<SpecimenData> read_specimen_file(const std::string& path) {
  std::optional<InputBytes> bytes = read_input_file(path);
  if (!bytes) return std::nullopt;
  return parse_specimen_text(bytes->view(), std::filesystem::path(path).filename().string());
}

}  // namespace qiv
