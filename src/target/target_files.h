#pragma once
// The two output files of the target window, and the target matrix, as pure functions of
// the block structure. Both files are text with "\n" line ends.
//
// Block structure file: line 1 is the protocol file name and a blank; then one line per
// block 1..nblocks, each number written as " %i " (an empty block as one blank).
// Target matrix file: "The Protocol File used was NAME ", then "The Block Structure Files
// was B blocks {" with every block's numbers as " %i " (an empty block as one blank), each
// block followed by " },{ "; then one line per matrix row, each entry as "% i " and a blank
// before the line end.
#include <optional>
#include <string>
#include <string_view>

#include "base/matrix.h"
#include "core/shared_state.h"
#include "target/block_text.h"

namespace qiv {

// The target matrix for spreadsheets and R: a header ",L1_a-b,L2_a-b,..." (line labels of
// the protocol), then one row per line, its label and its entries as 1 or 0; "\n" line ends.
std::string target_matrix_csv(const Protocol& proto, const Matrix& tmatrix);

// Blocks 1..nblocks of `block`; a block that `block` does not hold counts as empty. The
// numbers must be whole (checked by the callers with find_bad_line).
std::string block_structure_text(const std::string& protoname, const BlockList& block,
                                 long long nblocks);

std::string target_matrix_text(const std::string& protoname, const std::string& block_file_name,
                               const BlockList& block, long long nblocks, const Matrix& tmatrix);

// The m x m target matrix: 1 on the diagonal and for every pair of lines that share one of
// the blocks 1..nblocks. Every number of those blocks must be a line number from 1 to m.
Matrix build_target_matrix(long long m, const BlockList& block, long long nblocks);

// The first number in blocks 1..nblocks that is not a whole number from 1 to m.
struct BadLine {
  long long block;  // 1-based
  double value;
};
std::optional<BadLine> find_bad_line(const BlockList& block, long long nblocks, long long m);
// The first number of one list that is not a whole number from 1 to m.
std::optional<double> first_bad_line(const LineList& list, long long m);

// A block structure file read back: the protocol name is the whole first line without
// surrounding blanks; every further line is one block (its numbers row by row, a blank line an
// empty block). Lines end with LF, CR LF or CR; a UTF-8 byte order mark is skipped. Nothing
// for a file without any line. A line holding anything but numbers stops the reading: its
// number (from 1, the protocol name's line counted) and text (as quoted_excerpt gives it) are
// in bad_line and bad_text.
struct BlockFile {
  std::string protoname;
  BlockList blocks;
  std::size_t bad_line = 0;  // 0 when every block line holds only numbers
  std::string bad_text;
};
std::optional<BlockFile> parse_block_structure(std::string_view content);

}  // namespace qiv
