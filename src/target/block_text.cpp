#include "target/block_text.h"

#include <array>
#include <cassert>

#include "base/matrix.h"
#include "platform/text.h"

namespace qiv {

LineList numbers_row_by_row(std::string_view text) {
  Matrix m = str2num(text);
  // Row-major storage: the entries already lie row by row.
  return LineList(m.data(), m.data() + m.size());
}

LineList block_text_to_list(std::string_view text) {
  LineList out;
  for (double v : numbers_row_by_row(text))
    if (v != 0) out.push_back(v);
  return out;
}

std::string block_list_to_text(const LineList& list) {
  if (list.empty()) return "";
  Matrix r(1, static_cast<Eigen::Index>(list.size()));
  for (std::size_t i = 0; i < list.size(); ++i) r(0, static_cast<Eigen::Index>(i)) = list[i];
  return num2str(r);
}

const std::string& block_style(long long k) {
  static const std::array<std::string, 12> bcode{"r",  "g",  "b",  "m",  "y",  "c",
                                                 "r:", "g:", "b:", "m:", "y:", "c:"};
  assert(k >= 1);
  return bcode[static_cast<std::size_t>((k - 1) % 12)];
}

std::string block_color(long long k) { return block_style(k).substr(0, 1); }

}  // namespace qiv
