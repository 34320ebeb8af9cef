#include "data/tps_file.h"

#include <charconv>
#include <cmath>
#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>

#include "base/failure.h"
#include "data/number_text.h"
#include "data/text_fields.h"
#include "geometry/landmark_row.h"
#include "platform/input_file.h"
#include "platform/memory_advice.h"

namespace qiv {
namespace {

enum class Key { kNone, kLm, kLm3, kPoints, kImage, kId, kScale, kOther };

struct KeyLine {
  Key key = Key::kNone;
  std::string_view value;  // without blanks around it
};

// A line "KEY=value": the key a letter followed by letters, digits or "_", blanks allowed
// before and after "=". A line of coordinates never has "=", so "nan 1" stays a coordinate
// line.
KeyLine key_line(std::string_view line) {
  const std::string_view s = trim_blanks(line);
  KeyLine out;
  if (s.empty() || !is_ascii_letter(s[0])) return out;
  std::size_t i = 1;
  while (i < s.size() && (is_ascii_letter(s[i]) || (s[i] >= '0' && s[i] <= '9') || s[i] == '_'))
    ++i;
  const std::string key = ascii_upper(s.substr(0, i));
  std::size_t j = i;
  while (j < s.size() && is_blank_char(s[j])) ++j;
  if (j == s.size() || s[j] != '=') return out;
  out.value = trim_blanks(s.substr(j + 1));
  if (key == "LM")
    out.key = Key::kLm;
  else if (key == "LM3")
    out.key = Key::kLm3;
  else if (key == "POINTS")
    out.key = Key::kPoints;
  else if (key == "IMAGE")
    out.key = Key::kImage;
  else if (key == "ID")
    out.key = Key::kId;
  else if (key == "SCALE")
    out.key = Key::kScale;
  else
    out.key = Key::kOther;  // CURVES, COMMENT, VARIABLES and keys of other programs
  return out;
}

// A count as written after "LM=" or "POINTS=": digits only.
std::optional<long> whole_count(std::string_view v) {
  long n = 0;
  const auto [end, ec] = std::from_chars(v.data(), v.data() + v.size(), n);
  if (v.empty() || ec != std::errc() || end != v.data() + v.size() || n < 0) return std::nullopt;
  return n;
}

// The image file name without its folder and its extension.
std::string image_stem(std::string_view image) {
  const std::size_t slash = image.find_last_of("/\\");
  if (slash != std::string_view::npos) image.remove_prefix(slash + 1);
  const std::size_t dot = image.rfind('.');
  if (dot != std::string_view::npos && dot > 0) image = image.substr(0, dot);
  return std::string(image);
}

// A record's name from its ID and IMAGE lines; number is its position from 1.
std::string record_name(std::string_view id, std::string_view image, std::size_t number) {
  if (!id.empty()) return std::string(id);
  std::string stem = image_stem(image);
  if (!stem.empty()) return stem;
  return std::to_string(number);
}

// The name of the record whose LM= line was the last line `from` gave: its lines are read
// ahead up to the next LM= line. For messages about a record before its ID line is reached.
std::string name_ahead(LineReader from, std::size_t number) {
  std::string_view line;
  std::string_view id;
  std::string_view image;
  while (from.next(line)) {
    const KeyLine k = key_line(line);
    if (k.key == Key::kLm || k.key == Key::kLm3) break;
    if (k.key == Key::kId) id = k.value;
    if (k.key == Key::kImage) image = k.value;
  }
  return record_name(id, image, number);
}

// The numbers of one line of coordinates, at most two kept. Returns how many there are, or
// -1 with bad set to the first token that is not a number.
inline int read_pair(std::string_view line, double& x, double& y, std::string_view& bad) {
  const char* p = line.data();
  const char* const end = p + line.size();
  int count = 0;
  for (;;) {
    while (p != end && is_separator(*p)) ++p;
    if (p == end) return count;
    double v = 0;
    const char* next = read_number(p, end, v);
    if (!next) {
      bad = std::string_view(p, static_cast<std::size_t>(token_end(p, end) - p));
      return -1;
    }
    if (count == 0) x = v;
    if (count == 1) y = v;
    ++count;
    p = next;
  }
}

std::string landmarks_text(long k) {
  return std::to_string(k) + (k == 1 ? " landmark" : " landmarks");
}

}  // namespace

bool is_tps_record_start(std::string_view line) {
  const Key k = key_line(line).key;
  return k == Key::kLm || k == Key::kLm3;
}

SpecimenData parse_tps(std::string_view text, const std::string& fname) {
  const std::string head = "Cannot read " + std::filesystem::path(fname).filename().string() + ": ";
  auto at = [](std::size_t line) { return "line " + std::to_string(line); };
  SpecimenData out;

  LineReader lines(text);
  std::string_view line;
  bool have = lines.next(line);
  while (have && is_blank_text(line)) have = lines.next(line);

  long k = -1;            // landmarks per record, from the first
  Eigen::Index n = 0;     // 2k + 1
  Eigen::Index rows = 0;  // records read
  Eigen::Index capacity = 0;
  std::size_t curve_points = 0;
  bool any_scale = false;
  bool all_numbered = true;
  Matrix table;

  while (have) {
    const std::size_t number = static_cast<std::size_t>(rows) + 1;
    const std::size_t lm_line = lines.line_number();
    const KeyLine lm = key_line(line);
    if (lm.key == Key::kLm3) {
      throw Failure(head + at(lm_line) +
                    ": LM3= holds 3-D landmarks; only 2-D landmarks can be loaded.");
    }
    if (lm.key != Key::kLm) {
      throw Failure(head + at(lm_line) + ": \"" +
                    quoted_token(line.data(), line.data() + line.size()) +
                    "\" cannot start a record; a record starts with LM=.");
    }
    const LineReader after_lm = lines;
    const std::optional<long> count = whole_count(lm.value);
    if (!count) {
      throw Failure(head + "specimen " + name_ahead(after_lm, number) + ", " + at(lm_line) +
                    ": \"" + quoted_token(line.data(), line.data() + line.size()) +
                    "\" does not give a landmark count.");
    }
    if (k < 0) {
      if (*count == 0) {
        throw Failure(head + "specimen " + name_ahead(after_lm, number) + ", " + at(lm_line) +
                      ": LM=0: a specimen needs at least one landmark.");
      }
      // Every landmark takes a line of at least two numbers, so a count beyond the file's size
      // cannot be met; refused here, before it sizes the table (or overflows 2 * k + 1).
      if (static_cast<unsigned long>(*count) > text.size()) {
        throw Failure(head + "specimen " + name_ahead(after_lm, number) + ", " + at(lm_line) +
                      ": LM=" + std::to_string(*count) + " is more landmarks than the file holds.");
      }
      k = *count;
      n = 2 * k + 1;
      // Room for as many records as the file could hold at about 12 bytes per landmark; the
      // table grows by doubling beyond that.
      capacity =
          static_cast<Eigen::Index>(text.size() / (12 * static_cast<std::size_t>(k) + 8)) + 1;
      table.resize(capacity, n);
      advise_huge_pages(table.data(), static_cast<std::size_t>(table.size()) * sizeof(double));
    } else if (*count != k) {
      throw Failure(head + "specimen " + name_ahead(after_lm, number) + ", " + at(lm_line) +
                    ": LM=" + std::to_string(*count) + ", but the first specimen has " +
                    landmarks_text(k) + ".");
    }
    if (rows == capacity) {
      capacity *= 2;
      table.conservativeResize(capacity, Eigen::NoChange);
    }
    double* row = table.data() + rows * n;

    // The k coordinate lines.
    for (long j = 0; j < k; ++j) {
      // One pass over each line: a line without numbers is only looked at again to tell a
      // blank line (skipped) from one of separators alone.
      bool got;
      int c = -1;
      std::string_view bad;
      while ((got = lines.next(line))) {
        c = read_pair(line, row[2 * j], row[2 * j + 1], bad);
        if (c != 0 || !is_blank_text(line)) break;
      }
      if (!got) c = -1;
      if (!got || (c < 0 && key_line(line).key != Key::kNone)) {
        throw Failure(head + "specimen " + name_ahead(after_lm, number) + ", " + at(lm_line) +
                      ": LM=" + std::to_string(k) + " is followed by only " + std::to_string(j) +
                      (j == 1 ? " coordinate line." : " coordinate lines."));
      }
      if (c < 0) {
        throw Failure(head + "specimen " + name_ahead(after_lm, number) + ", " +
                      at(lines.line_number()) + ": \"" +
                      quoted_token(bad.data(), bad.data() + bad.size()) + "\" is not a number.");
      }
      if (c != 2) {
        throw Failure(head + "specimen " + name_ahead(after_lm, number) + ", " +
                      at(lines.line_number()) + " has " + std::to_string(c) +
                      (c == 1 ? " number" : " numbers") + "; a landmark line holds x and y.");
      }
    }

    // The record's other lines, up to the next LM= line.
    std::string id;
    std::string image;
    std::string_view scale_text;
    std::size_t scale_line = 0;
    have = false;
    while (lines.next(line)) {
      if (is_blank_text(line)) continue;
      const KeyLine t = key_line(line);
      if (t.key == Key::kLm || t.key == Key::kLm3) {
        have = true;
        break;
      }
      if (t.key == Key::kNone) {
        throw Failure(head + "specimen " + name_ahead(after_lm, number) + ", " +
                      at(lines.line_number()) + ": LM=" + std::to_string(k) +
                      " is followed by more than " + std::to_string(k) + " coordinate lines.");
      }
      if (t.key == Key::kId) id = std::string(t.value);
      if (t.key == Key::kImage) image = std::string(t.value);
      if (t.key == Key::kScale) {
        scale_text = t.value;
        scale_line = lines.line_number();
      }
      if (t.key == Key::kPoints) {
        const std::size_t points_line = lines.line_number();
        const std::optional<long> p = whole_count(t.value);
        long skipped = 0;
        if (p) {
          const LineReader before = lines;
          for (; skipped < *p && lines.next(line);) {
            if (is_blank_text(line)) continue;
            if (key_line(line).key != Key::kNone) break;
            ++skipped;
          }
          if (skipped < *p) lines = before;  // the message reads from here
        }
        if (!p || skipped < *p) {
          throw Failure(head + "specimen " + name_ahead(after_lm, number) + ", " + at(points_line) +
                        ": " +
                        (p ? "POINTS=" + std::to_string(*p) + " is followed by only " +
                                 std::to_string(skipped) + " point lines."
                           : "\"" + quoted_token(line.data(), line.data() + line.size()) +
                                 "\" does not give a number of points."));
        }
        curve_points += static_cast<std::size_t>(*p);
      }
    }

    std::string name = record_name(id, image, number);
    all_numbered = all_numbered && id.empty() && image_stem(image).empty();
    double scale = NAN;  // none
    if (scale_line != 0) {
      const char* b = scale_text.data();
      const char* e = b + scale_text.size();
      if (b == e || read_number(b, e, scale) != e || !std::isfinite(scale)) {
        throw Failure(head + "specimen " + name + ", " + at(scale_line) +
                      ": \"SCALE=" + quoted_token(b, e) + "\" does not give a number.");
      }
      any_scale = true;
    }
    out.scales.push_back(scale);
    row[2 * k] = landmark_row::centroid_size(row, k);
    out.names.push_back(std::move(name));
    ++rows;
  }
  table.conservativeResize(rows, n);
  out.table = std::move(table);
  if (!any_scale) out.scales.clear();
  out.numbered_names = all_numbered;
  out.curve_points = curve_points;
  if (curve_points > 0) {
    out.notes.push_back(std::filesystem::path(fname).filename().string() + ": " +
                        std::to_string(curve_points) +
                        (curve_points == 1 ? " curve point was" : " curve points were") +
                        " left out; only landmarks are loaded.");
  }
  return out;
}

std::string format_tps(const Matrix& table, const std::vector<std::string>& names) {
  const Eigen::Index n = table.cols();
  const Eigen::Index p = (n - 1) / 2;
  std::string out;
  out.reserve(static_cast<std::size_t>(table.rows()) * (static_cast<std::size_t>(p) * 40 + 32));
  char buffer[64];
  auto put = [&out, &buffer](double v) {
    const auto res = std::to_chars(buffer, buffer + sizeof buffer, v);
    out.append(buffer, res.ptr);
  };
  for (Eigen::Index i = 0; i < table.rows(); ++i) {
    const double* r = table.data() + i * n;
    const double size = r[n - 1];
    out += "LM=" + std::to_string(p) + "\n";
    for (Eigen::Index j = 0; j < p; ++j) {
      put(r[2 * j] * size);
      out += ' ';
      put(r[2 * j + 1] * size);
      out += '\n';
    }
    std::string name = static_cast<std::size_t>(i) < names.size()
                           ? names[static_cast<std::size_t>(i)]
                           : std::to_string(i + 1);
    for (char& c : name)
      if (c == '\n' || c == '\r') c = ' ';
    out += "ID=" + name + "\n";
  }
  return out;
}

bool is_tps_name(std::string_view name) {
  return name.size() >= 4 && ascii_upper(name.substr(name.size() - 4)) == ".TPS";
}

namespace {

bool claims_tps(std::string_view text) {
  LineReader lines(text);
  std::string_view line;
  while (lines.next(line))
    if (!is_blank_text(line)) return is_tps_record_start(line);
  return false;
}

}  // namespace

const LandmarkFormat& tps_landmark_format() {
  static const LandmarkFormat f{
      "TPS",
      claims_tps,
      parse_tps,
      format_tps,
      ".tps",
      "TPS files (*.tps)",
      "TPS (LM= records, with SCALE, ID and IMAGE)",
      "| TPS | the first line that is not blank starts with `LM=` | landmarks, times `SCALE` "
      "when every record has one; names from `ID`, else `IMAGE` | for a name ending in `.tps` |",
  };
  return f;
}

}  // namespace qiv
