#include "core/typed_number.h"

#include <cmath>

#include "core/controls.h"
#include "platform/text.h"

namespace qiv {

bool is_whole(double v) { return std::isfinite(v) && std::floor(v) == v; }

std::optional<double> whole_number_in(std::string_view text, double lo, double hi) {
  const Matrix m = str2num(text);
  if (m.size() != 1 || !is_whole(m(0, 0)) || m(0, 0) < lo || m(0, 0) > hi) return std::nullopt;
  return m(0, 0);
}

std::optional<double> box_whole_number(const Context& ctx, const std::string& tag, double lo,
                                       double hi) {
  return whole_number_in(control_text(ctx, tag), lo, hi);
}

std::string quote_typed(std::string_view text) {
  const std::size_t b = text.find_first_not_of(" \t\r\n");
  const std::size_t e = text.find_last_not_of(" \t\r\n");
  const std::string_view t =
      b == std::string_view::npos ? std::string_view() : text.substr(b, e - b + 1);
  return "\"" + std::string(t) + "\"";
}

}  // namespace qiv
