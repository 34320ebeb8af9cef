#include "analysis/line_lengths.h"

#include <cassert>
#include <charconv>
#include <cmath>

#include "platform/text.h"

namespace qiv {

Matrix line_lengths(const Matrix& data, const Protocol& proto) {
  const Eigen::Index n = data.rows();
  const Eigen::Index lines = proto.count();
  const Eigen::Index nd = data.cols();
  std::vector<Eigen::Index> ax(static_cast<std::size_t>(lines));
  std::vector<Eigen::Index> bx(static_cast<std::size_t>(lines));
  for (Eigen::Index l = 0; l < lines; ++l) {
    ax[static_cast<std::size_t>(l)] = 2 * (static_cast<Eigen::Index>(proto.line(l).first) - 1);
    bx[static_cast<std::size_t>(l)] = 2 * (static_cast<Eigen::Index>(proto.line(l).second) - 1);
    assert(ax[static_cast<std::size_t>(l)] >= 0 && bx[static_cast<std::size_t>(l)] + 1 < nd);
  }
  Matrix out(n, lines);
  for (Eigen::Index r = 0; r < n; ++r) {
    const double* row = data.data() + r * nd;
    const double size = row[nd - 1];
    double* o = out.data() + r * lines;
    for (std::size_t l = 0; l < ax.size(); ++l) {
      const double dx = row[bx[l]] - row[ax[l]];
      const double dy = row[bx[l] + 1] - row[ax[l] + 1];
      o[l] = std::sqrt(dx * dx + dy * dy) * size;
    }
  }
  return out;
}

std::optional<LineOutsideData> find_line_outside_data(const Protocol& proto, long long k) {
  for (Eigen::Index l = 0; l < proto.count(); ++l) {
    for (double v : {proto.line(l).first, proto.line(l).second}) {
      if (!(v >= 1 && v <= static_cast<double>(k) && v == std::floor(v)))
        return LineOutsideData{l + 1, v};
    }
  }
  return std::nullopt;
}

std::string line_outside_data_message(const LineOutsideData& bad, long long k) {
  return "Protocol line " + std::to_string(bad.line) + " joins landmark " + num2str(bad.landmark) +
         ", which the data lack: they have landmarks 1 to " + std::to_string(k) + ".";
}

std::string line_label(const Protocol& proto, Eigen::Index l) {
  return sprintf_str("L%lld_%.0f-%.0f", static_cast<long long>(l + 1), proto.line(l).first,
                     proto.line(l).second);
}

std::string csv_field(const std::string& text) {
  if (text.find_first_of(",\"\r\n") == std::string::npos) return text;
  std::string out = "\"";
  for (char c : text) {
    if (c == '"') out += '"';
    out += c;
  }
  return out + '"';
}

std::string lengths_csv(const Protocol& proto, const Matrix& lengths,
                        const std::vector<std::string>* row_labels) {
  assert(!row_labels || static_cast<Eigen::Index>(row_labels->size()) == lengths.rows());
  std::string out = "specimen";
  for (Eigen::Index l = 0; l < proto.count(); ++l) out += ',' + line_label(proto, l);
  out += '\n';
  // Room for a ten-digit length with its comma and a row label, so the text is never copied.
  out.reserve(out.size() + static_cast<std::size_t>(lengths.size()) * 17 +
              static_cast<std::size_t>(lengths.rows()) * 8);
  // std::to_chars with a precision writes what "%.10g" writes, several times faster.
  char buf[64];
  buf[0] = ',';
  for (Eigen::Index r = 0; r < lengths.rows(); ++r) {
    out +=
        row_labels ? csv_field((*row_labels)[static_cast<std::size_t>(r)]) : std::to_string(r + 1);
    for (Eigen::Index l = 0; l < lengths.cols(); ++l) {
      const auto res =
          std::to_chars(buf + 1, buf + sizeof buf, lengths(r, l), std::chars_format::general, 10);
      out.append(buf, static_cast<std::size_t>(res.ptr - buf));
    }
    out += '\n';
  }
  return out;
}

}  // namespace qiv
