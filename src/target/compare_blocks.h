#pragma once
// "Compare block files...": several block structures of one protocol, each tested as a
// hypothesis on the same lengths, permutations and seed, ranked by r.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "analysis/modularity.h"
#include "base/matrix.h"
#include "target/target_files.h"

namespace qiv {

struct Hypothesis {
  std::string name;  // the block structure file's name, without folder
  BlockList blocks;
  long long lines_in_blocks = 0;  // distinct protocol lines in any block
  Matrix target;                  // the m x m target matrix of all its blocks
  ModularityResult result;
};

// A block structure file read for comparison with a protocol of m lines: the hypothesis
// (without result), or the message that refuses it, naming the file and, for a bad line, its
// line number in the file (the protocol name's line is line 1). content is nothing when the
// file could not be read.
struct HypothesisRead {
  std::optional<Hypothesis> hypothesis;
  std::string refusal;
};
HypothesisRead read_hypothesis(const std::string& name, std::optional<std::string_view> content,
                               long long m);

// By r from the highest; equal r keep the order the files were chosen in.
void rank_hypotheses(std::vector<Hypothesis>& h);

// "hypothesis,blocks,lines_in_blocks,r,p,avg_within,avg_between,avg_ratio", then one row per
// hypothesis in the order given; counts as whole numbers, the rest "%.10g", "\n" line ends.
std::string comparison_csv(const std::vector<Hypothesis>& h);

// The same table in fixed-width columns for the window, with a line naming what all share.
std::vector<std::string> comparison_table(const std::vector<Hypothesis>& h);

}  // namespace qiv
