// libFuzzer harness for the landmark file reader: dload must read exactly what a plain,
// slow reading of the same bytes reads (its fast number path included), and "Load" must
// either load the file or show a message and keep the loaded data as it was.
#include <charconv>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

#include "app/application.h"
#include "base/failure.h"
#include "data/data_actions.h"
#include "data/landmark_file.h"
#include "fuzz_support.h"
#include "platform/headless_ui.h"

namespace {

bool separator(char c) {
  return c == ' ' || c == '\t' || c == ',' || c == '\r' || c == '\v' || c == '\f';
}

// One number of a landmark file: what from_chars reads of the whole token (after one leading
// "+" that is not followed by a sign); beyond the range of doubles, what strtod makes of it.
bool reference_number(std::string_view tok, double& out) {
  if (tok.size() > 1 && tok[0] == '+' && tok[1] != '+' && tok[1] != '-') tok.remove_prefix(1);
  if (tok.empty()) return false;
  auto [next, ec] = std::from_chars(tok.data(), tok.data() + tok.size(), out);
  if (next != tok.data() + tok.size() || tok.front() == '+') return false;
  if (ec == std::errc::result_out_of_range) {
    out = std::strtod(std::string(tok).c_str(), nullptr);
    return true;
  }
  return ec == std::errc();
}

// The numbers of one line, or nothing when a token is not a number.
std::optional<std::vector<double>> reference_line(std::string_view line) {
  std::vector<double> out;
  std::size_t p = 0;
  while (p < line.size()) {
    while (p < line.size() && separator(line[p])) ++p;
    if (p == line.size()) break;
    std::size_t q = p;
    while (q < line.size() && !separator(line[q])) ++q;
    double v = 0;
    if (!reference_number(line.substr(p, q - p), v)) return std::nullopt;
    out.push_back(v);
    p = q;
  }
  return out;
}

// The text after a UTF-8 byte order mark, with every CR LF and every CR alone made an LF.
std::string plain_lines(std::string_view s) {
  if (s.substr(0, 3) == "\xEF\xBB\xBF") s.remove_prefix(3);
  std::string out;
  for (std::size_t i = 0; i < s.size(); ++i) {
    if (s[i] != '\r') {
      out += s[i];
    } else {
      out += '\n';
      if (i + 1 < s.size() && s[i + 1] == '\n') ++i;
    }
  }
  return out;
}

// dload's rules, read slowly: lines end at LF, CR LF or CR alone, after a byte order mark; the
// data end at a later line that is one character long with its terminator (an empty line, or
// one last character). Nothing means the reading fails.
std::optional<std::vector<std::vector<double>>> reference_read(std::string_view bytes) {
  const std::string text = plain_lines(bytes);
  const std::string_view s = text;
  std::vector<std::vector<double>> rows;
  std::size_t pos = 0;
  while (pos < s.size()) {
    std::size_t lf = s.find('\n', pos);
    std::string_view line = s.substr(pos, lf == std::string_view::npos ? s.size() - pos : lf - pos);
    if (!rows.empty()) {
      const std::size_t with_end = line.size() + (lf == std::string_view::npos ? 0 : 1);
      if (with_end == 1) break;
    }
    auto r = reference_line(line);
    if (!r) return std::nullopt;
    if (rows.empty() ? r->empty() : r->size() != rows.front().size()) return std::nullopt;
    rows.push_back(std::move(*r));
    if (lf == std::string_view::npos) break;
    pos = lf + 1;
  }
  return rows;
}

bool same_bits(double a, double b) { return std::memcmp(&a, &b, sizeof a) == 0; }

void check_against_reference(std::string_view bytes, const std::string& path) {
  std::optional<qiv::Matrix> got;
  bool failed = false;
  try {
    got = qiv::dload(path);
  } catch (const qiv::Failure&) {
    failed = true;
  }
  if (!failed && !got) qiv::fuzz::broken("dload could not open a file that exists");
  auto want = reference_read(bytes);
  if (failed != !want) qiv::fuzz::broken("dload and the reference disagree on refusing");
  if (failed) return;
  if (static_cast<std::size_t>(got->rows()) != want->size())
    qiv::fuzz::broken("dload read a different number of rows");
  for (Eigen::Index i = 0; i < got->rows(); ++i) {
    const auto& r = (*want)[static_cast<std::size_t>(i)];
    if (static_cast<std::size_t>(got->cols()) != r.size())
      qiv::fuzz::broken("dload read a different number of columns");
    for (Eigen::Index j = 0; j < got->cols(); ++j)
      if (!same_bits((*got)(i, j), r[static_cast<std::size_t>(j)]))
        qiv::fuzz::broken("dload read a number differently");
  }
}

// "Load" on the same file: a refusal is a message box and the loaded data stay as they were.
void check_load(const std::string& path) {
  static qiv::HeadlessUi ui;
  static qiv::Application app(ui);
  const qiv::Shared<qiv::Matrix> before = app.state.data;  // shares the value, copies nothing
  ui.clear_records();
  ui.answer_path(path);
  qiv::load(app.ctx);  // a Failure escaping here is a finding
  if (!ui.messages().empty()) {
    const auto& after = app.state.data;
    if (before.has_value() != after.has_value() ||
        (before && (before->rows() != after->rows() || before->cols() != after->cols() ||
                    std::memcmp(before->data(), after->data(),
                                sizeof(double) * static_cast<std::size_t>(before->size())) != 0)))
      qiv::fuzz::broken("a refused Load changed the loaded data");
  } else if (!app.state.data || !app.state.reference) {
    qiv::fuzz::broken("Load showed no message and loaded nothing");
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  qiv::fuzz::KeepDirectory keep;
  std::string_view bytes(reinterpret_cast<const char*>(data), size);
  const std::string path = qiv::fuzz::write_scratch("landmarks.txt", bytes);
  check_against_reference(bytes, path);
  check_load(path);
  return 0;
}
