#include "target/compare_blocks.h"

#include <algorithm>
#include <set>

#include "analysis/line_lengths.h"
#include "platform/text.h"
#include "target/target_support.h"

namespace qiv {

HypothesisRead read_hypothesis(const std::string& name, std::optional<std::string_view> content,
                               long long m) {
  const std::string file = "The block structure file " + name;
  if (!content) return {std::nullopt, "Cannot read the block structure file " + name + "."};
  std::optional<BlockFile> read = parse_block_structure(*content);
  if (!read) return {std::nullopt, file + " is empty."};
  if (read->bad_line != 0)
    return {std::nullopt, file + ", line " + std::to_string(read->bad_line) + ", holds \"" +
                              read->bad_text + "\", which is not a list of line numbers."};
  const auto nblocks = static_cast<long long>(read->blocks.size());
  if (auto bad = find_bad_line(read->blocks, nblocks, m))
    return {std::nullopt,
            file + ", line " + std::to_string(bad->block + 1) + ", holds " + num2str(bad->value) +
                ", which is not a protocol line number from 1 to " + std::to_string(m) + "."};
  Hypothesis h;
  h.name = name;
  h.target = build_target_matrix(m, read->blocks, nblocks);
  if (auto refusal = check_pairs(h.target))
    return {std::nullopt, file + (*refusal == ModularityRefusal::kNoPairWithin
                                      ? " puts no two lines in one block."
                                      : " puts every pair of lines in one block.")};
  std::set<double> used;
  for (const auto& b : read->blocks) used.insert(b.begin(), b.end());
  h.lines_in_blocks = static_cast<long long>(used.size());
  h.blocks = std::move(read->blocks);
  return {std::move(h), ""};
}

void rank_hypotheses(std::vector<Hypothesis>& h) {
  std::stable_sort(h.begin(), h.end(), [](const Hypothesis& a, const Hypothesis& b) {
    return a.result.r > b.result.r;
  });
}

std::string comparison_csv(const std::vector<Hypothesis>& h) {
  std::string out = "hypothesis,blocks,lines_in_blocks,r,p,avg_within,avg_between,avg_ratio\n";
  for (const Hypothesis& x : h) {
    const ModularityResult& r = x.result;
    out += csv_field(x.name) + sprintf_str(",%zu,%lld,%.10g,%.10g,%.10g,%.10g,%.10g\n",
                                           x.blocks.size(), x.lines_in_blocks, r.r, r.p,
                                           r.avg_within, r.avg_between, r.avg_ratio);
  }
  return out;
}

std::vector<std::string> comparison_table(const std::vector<Hypothesis>& h) {
  std::vector<std::string> out;
  if (h.empty()) return out;
  const ModularityResult& first = h.front().result;
  out.push_back(sprintf_str("%lld specimens, %lld lines, %lld permutations, seed %.0f",
                            first.specimens, first.lines, first.permutations, first.seed));
  out.push_back("hypothesis           blocks lines       r      p  within between  ratio");
  for (const Hypothesis& x : h) {
    const ModularityResult& r = x.result;
    std::string name = x.name.size() > 20 ? x.name.substr(0, 19) + "~" : x.name;
    out.push_back(sprintf_str("%-20s %6zu %5lld %7.3f %6.3g %7.3f %7.3f %6.3g", name.c_str(),
                              x.blocks.size(), x.lines_in_blocks, r.r, r.p, r.avg_within,
                              r.avg_between, r.avg_ratio));
  }
  return out;
}

}  // namespace qiv
