#include "target/target_files.h"

#include <cassert>
#include <cmath>

#include "analysis/line_lengths.h"
#include "platform/input_file.h"
#include "platform/text.h"

namespace qiv {
namespace {

// " %i " of one whole number.
std::string int_field(double n) {
  assert(n == std::floor(n) && std::isfinite(n));
  return " " + std::to_string(static_cast<long long>(n)) + " ";
}

// The numbers of one block in " %i " form; a format applied to no numbers writes only its
// text before the conversion, one blank.
std::string block_fields(const BlockList& block, long long k) {
  const auto i = static_cast<std::size_t>(k - 1);
  if (i >= block.size() || block[i].empty()) return " ";
  std::string out;
  for (double n : block[i]) out += int_field(n);
  return out;
}

}  // namespace

std::string block_structure_text(const std::string& protoname, const BlockList& block,
                                 long long nblocks) {
  std::string out = protoname + " \n";
  for (long long k = 1; k <= nblocks; ++k) out += block_fields(block, k) + "\n";
  return out;
}

std::string target_matrix_text(const std::string& protoname, const std::string& block_file_name,
                               const BlockList& block, long long nblocks, const Matrix& tmatrix) {
  std::string out = "The Protocol File used was " + protoname + " \n";
  out += "The Block Structure Files was " + block_file_name + " blocks {";
  for (long long k = 1; k <= nblocks; ++k) out += block_fields(block, k) + " },{ ";
  out += "\n";
  std::string row;
  for (Eigen::Index i = 0; i < tmatrix.rows(); ++i) {
    row.clear();
    for (Eigen::Index j = 0; j < tmatrix.cols(); ++j) row += tmatrix(i, j) != 0 ? " 1 " : " 0 ";
    out += row + " \n";
  }
  return out;
}

std::string target_matrix_csv(const Protocol& proto, const Matrix& tmatrix) {
  assert(tmatrix.rows() == tmatrix.cols() && tmatrix.rows() <= proto.count());
  std::string out;
  for (Eigen::Index i = 0; i < tmatrix.rows(); ++i) out += ',' + line_label(proto, i);
  out += '\n';
  for (Eigen::Index i = 0; i < tmatrix.rows(); ++i) {
    out += line_label(proto, i);
    for (Eigen::Index j = 0; j < tmatrix.cols(); ++j) out += tmatrix(i, j) != 0 ? ",1" : ",0";
    out += '\n';
  }
  return out;
}

std::optional<double> first_bad_line(const LineList& list, long long m) {
  for (double n : list)
    if (!(n >= 1 && n <= static_cast<double>(m) && n == std::floor(n))) return n;
  return std::nullopt;
}

std::optional<BadLine> find_bad_line(const BlockList& block, long long nblocks, long long m) {
  for (long long k = 1; k <= nblocks && static_cast<std::size_t>(k) <= block.size(); ++k)
    if (auto bad = first_bad_line(block[static_cast<std::size_t>(k - 1)], m))
      return BadLine{k, *bad};
  return std::nullopt;
}

Matrix build_target_matrix(long long m, const BlockList& block, long long nblocks) {
  assert(!find_bad_line(block, nblocks, m));
  Matrix t = Matrix::Zero(m, m);
  for (long long k = 1; k <= nblocks && static_cast<std::size_t>(k) <= block.size(); ++k) {
    const LineList& l = block[static_cast<std::size_t>(k - 1)];
    for (double p : l)
      for (double q : l) t(static_cast<Eigen::Index>(p) - 1, static_cast<Eigen::Index>(q) - 1) = 1;
  }
  for (Eigen::Index i = 0; i < m; ++i) t(i, i) = 1;
  return t;
}

std::optional<BlockFile> parse_block_structure(std::string_view content) {
  content = skip_bom(content);
  if (content.empty()) return std::nullopt;
  BlockFile out;
  LineReader lines(content);
  std::string_view line;
  lines.next(line);
  out.protoname = std::string(trim_blanks(line));
  while (lines.next(line)) {
    LineList numbers = numbers_row_by_row(line);
    // str2num gives nothing for text that is not numbers; a blank line is an empty block.
    if (numbers.empty() && !trim_blanks(line).empty()) {
      out.bad_line = lines.line_number();
      out.bad_text = quoted_excerpt(trim_blanks(line));
      return out;
    }
    out.blocks.push_back(std::move(numbers));
  }
  return out;
}

}  // namespace qiv
