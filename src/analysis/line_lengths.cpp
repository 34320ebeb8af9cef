#include "analysis/line_lengths.h"

#include <cassert>
#include <cmath>
#include <cstdio>

namespace qiv {

Matrix line_lengths(const Matrix& data, const Matrix& proto) {
  const Eigen::Index n = data.rows();
  const Eigen::Index lines = proto.rows();
  const Eigen::Index nd = data.cols();
  std::vector<Eigen::Index> ax(static_cast<std::size_t>(lines));
  std::vector<Eigen::Index> bx(static_cast<std::size_t>(lines));
  for (Eigen::Index l = 0; l < lines; ++l) {
    ax[static_cast<std::size_t>(l)] = 2 * (static_cast<Eigen::Index>(proto(l, 1)) - 1);
    bx[static_cast<std::size_t>(l)] = 2 * (static_cast<Eigen::Index>(proto(l, 2)) - 1);
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

std::optional<LineOutsideData> find_line_outside_data(const Matrix& proto, long long k) {
  for (Eigen::Index l = 0; l < proto.rows(); ++l) {
    for (int c : {1, 2}) {
      const double v = proto(l, c);
      if (!(v >= 1 && v <= static_cast<double>(k) && v == std::floor(v)))
        return LineOutsideData{l + 1, v};
    }
  }
  return std::nullopt;
}

std::string lengths_csv(const Matrix& proto, const Matrix& lengths) {
  std::string out = "specimen";
  char buf[64];
  for (Eigen::Index l = 0; l < proto.rows(); ++l) {
    std::snprintf(buf, sizeof buf, ",L%lld_%.0f-%.0f", static_cast<long long>(l + 1), proto(l, 1),
                  proto(l, 2));
    out += buf;
  }
  out += '\n';
  out.reserve(out.size() + static_cast<std::size_t>(lengths.size()) * 12);
  for (Eigen::Index r = 0; r < lengths.rows(); ++r) {
    out += std::to_string(r + 1);
    for (Eigen::Index l = 0; l < lengths.cols(); ++l) {
      const int len = std::snprintf(buf, sizeof buf, ",%.10g", lengths(r, l));
      out.append(buf, static_cast<std::size_t>(len));
    }
    out += '\n';
  }
  return out;
}

}  // namespace qiv
