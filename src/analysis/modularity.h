#pragma once
// The modularity test of a target matrix: do the lengths of lines that share a block
// correlate more strongly than those of lines in different blocks? R is the Pearson
// correlation matrix of the line lengths over the specimens; over the pairs of lines i < j,
// r is the Pearson correlation between R[i][j] and the target matrix T[i][j], and p the share
// of random relabellings of the lines (rows and columns of T permuted together) whose r is at
// least the observed one, counting the observed labelling itself.
//
// The pseudo-random numbers are this program's own (xoshiro256** seeded through splitmix64,
// Fisher-Yates with an unbiased bounded draw), so one seed gives one sequence of relabellings
// with every compiler and standard library.
#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "base/matrix.h"
#include "core/shared_state.h"
#include "platform/ui.h"

namespace qiv {

// splitmix64: the generator that spreads a seed over the state of xoshiro256**.
std::uint64_t splitmix64_next(std::uint64_t& state);

class Xoshiro256 {
 public:
  explicit Xoshiro256(std::uint64_t seed);
  std::uint64_t next();
  // A whole number from 0 to bound - 1, every one equally likely (bound >= 1): draws below
  // 2^64 mod bound are thrown away, so the remainder is not biased towards small numbers.
  std::uint64_t below(std::uint64_t bound);

 private:
  std::uint64_t s_[4];
};

// Fisher-Yates: v becomes a uniformly random arrangement of its elements.
void shuffle(std::vector<int>& v, Xoshiro256& rng);

// The generator seed of a typed whole number: the number itself as a 64-bit two's
// complement integer; numbers too large for that (all of them whole in double precision)
// give the bits of the double, so every whole number names some sequence.
std::uint64_t seed_bits(double whole);

// Pearson correlation matrix of the columns of x (n rows, m columns, every column varying).
Matrix correlation_matrix(const Matrix& x);

// The first column (0-based) of x whose values do not vary: their spread is no more than
// 1e-12 of their mean's size, so a length that differs only by rounding counts as fixed.
std::optional<Eigen::Index> first_constant_column(const Matrix& x);

// Two permutation statistics that differ by rounding only (a relabelling that maps the
// blocks onto themselves gives the observed r summed in another order) count as equal:
// a permutation's r counts as at least the observed r when it falls short by no more than
// this. Real differences in r are many orders of magnitude larger.
inline constexpr double kTieTolerance = 1e-10;

// r between the pairs of a correlation matrix R and those of a relabelled target matrix T,
// computed for many relabellings. The means and spreads of R and of T over the pairs do not
// depend on the labelling, so each relabelling costs one sum of R over T's within-block
// pairs (or minus the sum over its between-block pairs, whichever list is shorter).
class PairCorrelation {
 public:
  // R and T are m x m and symmetric; T holds 0 and 1 and has at least one pair i < j with
  // T = 1 and one with T = 0 (check_pairs).
  PairCorrelation(const Matrix& r, const Matrix& t);

  // r of R[i][j] with T[relabel[i]][relabel[j]] over i < j; relabel is a permutation of
  // 0..m-1 (the identity gives the observed r).
  double r(const std::vector<int>& relabel) const;

  Eigen::Index lines() const { return m_; }
  long long pairs_within() const { return within_; }
  long long pairs_between() const { return pairs_ - within_; }
  // False when R is the same on every pair (to rounding): r is then undefined.
  bool varies() const { return varies_; }

 private:
  Eigen::Index m_;
  long long pairs_ = 0;
  long long within_ = 0;
  Matrix centred_;                         // R minus its mean over the pairs
  std::vector<std::pair<int, int>> walk_;  // the shorter list of pairs, within or between
  double sign_ = 1;                        // -1 when walk_ holds the between-block pairs
  mutable std::vector<int> inverse_;
  double scale_ = 0;
  bool varies_ = false;
};

// The number of relabellings among `count` random ones (drawn from the generator seeded with
// seed) whose r is at least observed - kTieTolerance.
long long count_at_least(const PairCorrelation& stat, double observed, long long count,
                         std::uint64_t seed);
// The same for several statistics of the same lines at once: every statistic meets the same
// relabellings, so one seed gives the p of each. progress (may be null) hears the share of
// relabellings done; when it answers Cancel this throws Cancelled.
std::vector<long long> count_at_least(const std::vector<const PairCorrelation*>& stats,
                                      const std::vector<double>& observed, long long count,
                                      std::uint64_t seed, Progress* progress);

// The test of one block K as a hypothesis of its own: H_K is 1 where both lines lie in K (and
// on the diagonal), else 0. avg_between is the mean R over every pair not inside K.
struct BlockTest {
  long long block = 0;  // 1-based
  long long lines = 0;  // distinct lines of the block
  double r = 0;
  double p = 0;
  double avg_within = 0;
  double avg_between = 0;
  double avg_ratio = 0;
};

struct ModularityResult {
  long long specimens = 0;
  long long lines = 0;
  long long blocks = 0;
  long long pairs_within = 0;
  long long pairs_between = 0;
  double r = 0;
  double p = 0;
  long long permutations = 0;
  double seed = 0;
  double avg_within = 0;   // mean R over the pairs that share a block
  double avg_between = 0;  // mean R over the pairs that do not
  double avg_ratio = 0;
  // Each block (1-based number) that holds at least two lines, with the mean R over its
  // pairs of distinct lines.
  std::vector<std::pair<long long, double>> block_averages;
  // The same blocks, each tested against the same relabellings as the whole.
  std::vector<BlockTest> block_tests;
};

// Why the test cannot run on these inputs, before anything is computed from the lengths.
enum class ModularityRefusal { kNoPairWithin, kNoPairBetween };
std::optional<ModularityRefusal> check_pairs(const Matrix& t);

// The whole test. lengths: specimens x lines, every line varying, at least 3 specimens; t:
// the lines x lines target matrix of blocks 1..nblocks of `block` (whole line numbers from 1
// to lines), passing check_pairs. Nothing when the correlations of the lengths are all equal
// (there is then no correlation with T to speak of).
// Every block of two lines or more is tested as well (block_tests); progress as for
// count_at_least.
std::optional<ModularityResult> run_modularity_test(const Matrix& lengths, const Matrix& t,
                                                    const BlockList& block, long long nblocks,
                                                    long long permutations, double seed,
                                                    Progress* progress = nullptr);

// The test on a correlation matrix r already computed from `specimens` specimens (so that
// several hypotheses share it), the blocks tested one by one only when every_block.
std::optional<ModularityResult> test_hypothesis(const Matrix& r, long long specimens,
                                                const Matrix& t, const BlockList& block,
                                                long long nblocks, long long permutations,
                                                double seed, bool every_block, Progress* progress);

// The report file: one "key,value" line each, "\n" line ends; counts as whole numbers, the
// seed as the whole number typed, every other value "%.10g". After the whole test, for each
// tested block K: block_K_r, block_K_p, block_K_avg_within, block_K_avg_between and
// block_K_avg_ratio.
std::string modularity_report(const ModularityResult& result);

// The text shown in the window: "r = 0.412, p = 0.003 (999 permutations)".
std::string modularity_summary(const ModularityResult& result);

// The small table of the target window, in fixed-width columns: a heading, a row "all" for
// the whole hypothesis, then one row per tested block.
std::vector<std::string> modularity_table(const ModularityResult& result);

}  // namespace qiv
