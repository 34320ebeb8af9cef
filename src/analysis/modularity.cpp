#include "analysis/modularity.h"

#include <algorithm>
#include <bit>
#include <cassert>
#include <cmath>
#include <cstdio>
#include <numeric>

#include "platform/text.h"

namespace qiv {
namespace {

std::uint64_t rotl(std::uint64_t x, int k) { return (x << k) | (x >> (64 - k)); }

void add_line(std::string& out, const std::string& key, const char* format, double v) {
  out += key + ',' + sprintf_str(format, v) + '\n';
}

void add_count(std::string& out, const char* key, long long v) {
  out += key;
  out += ',';
  out += std::to_string(v);
  out += '\n';
}

// The distinct line numbers of a block, 0-based, in increasing order.
std::vector<int> distinct_lines(const std::vector<double>& block) {
  std::vector<int> out;
  out.reserve(block.size());
  for (double n : block) out.push_back(static_cast<int>(n) - 1);
  std::sort(out.begin(), out.end());
  out.erase(std::unique(out.begin(), out.end()), out.end());
  return out;
}

}  // namespace

std::uint64_t splitmix64_next(std::uint64_t& state) {
  std::uint64_t z = (state += 0x9e3779b97f4a7c15ULL);
  z = (z ^ (z >> 30)) * 0xbf58476d1ce4e5b9ULL;
  z = (z ^ (z >> 27)) * 0x94d049bb133111ebULL;
  return z ^ (z >> 31);
}

Xoshiro256::Xoshiro256(std::uint64_t seed) {
  for (std::uint64_t& s : s_) s = splitmix64_next(seed);
}

std::uint64_t Xoshiro256::next() {
  const std::uint64_t result = rotl(s_[1] * 5, 7) * 9;
  const std::uint64_t t = s_[1] << 17;
  s_[2] ^= s_[0];
  s_[3] ^= s_[1];
  s_[1] ^= s_[2];
  s_[0] ^= s_[3];
  s_[2] ^= t;
  s_[3] = rotl(s_[3], 45);
  return result;
}

std::uint64_t Xoshiro256::below(std::uint64_t bound) {
  assert(bound >= 1);
  // 2^64 mod bound, computed in 64 bits: the draws below it are the surplus that would make
  // the smaller remainders more likely.
  const std::uint64_t surplus = (0 - bound) % bound;
  std::uint64_t x;
  do x = next();
  while (x < surplus);
  return x % bound;
}

void shuffle(std::vector<int>& v, Xoshiro256& rng) {
  for (std::size_t i = v.size(); i > 1; --i) {
    const auto j = static_cast<std::size_t>(rng.below(i));
    std::swap(v[i - 1], v[j]);
  }
}

std::uint64_t seed_bits(double whole) {
  if (std::fabs(whole) < 9223372036854775808.0)  // 2^63
    return static_cast<std::uint64_t>(static_cast<std::int64_t>(whole));
  return std::bit_cast<std::uint64_t>(whole);
}

Matrix correlation_matrix(const Matrix& x) {
  const Eigen::Index m = x.cols();
  const Eigen::RowVectorXd mean = x.colwise().mean();
  Matrix z = x.rowwise() - mean;
  const Eigen::RowVectorXd norm = z.colwise().norm();
  z.array().rowwise() /= norm.array();
  Matrix r = Matrix::Zero(m, m);
  r.selfadjointView<Eigen::Lower>().rankUpdate(z.transpose());
  // Exactly symmetric, so R[i][j] and R[j][i] are the same number.
  r.triangularView<Eigen::StrictlyUpper>() = r.transpose();
  return r;
}

std::optional<Eigen::Index> first_constant_column(const Matrix& x) {
  const auto n = static_cast<double>(x.rows());
  for (Eigen::Index c = 0; c < x.cols(); ++c) {
    const double mean = x.col(c).mean();
    const double spread = std::sqrt((x.col(c).array() - mean).square().sum() / n);
    if (!(spread > 1e-12 * std::fabs(mean))) return c;
  }
  return std::nullopt;
}

PairCorrelation::PairCorrelation(const Matrix& r, const Matrix& t)
    : m_(r.rows()), inverse_(static_cast<std::size_t>(r.rows())) {
  assert(r.cols() == m_ && t.rows() == m_ && t.cols() == m_);
  double sum = 0;
  for (Eigen::Index i = 0; i < m_; ++i)
    for (Eigen::Index j = i + 1; j < m_; ++j) {
      sum += r(i, j);
      within_ += t(i, j) != 0;
    }
  pairs_ = static_cast<long long>(m_) * (m_ - 1) / 2;
  assert(within_ >= 1 && within_ < pairs_);
  const double mean = sum / static_cast<double>(pairs_);
  centred_ = r.array() - mean;
  double sxx = 0;
  for (Eigen::Index i = 0; i < m_; ++i)
    for (Eigen::Index j = i + 1; j < m_; ++j) sxx += centred_(i, j) * centred_(i, j);
  // Correlations lie within [-1, 1]; a spread this small is rounding, not data.
  varies_ = std::sqrt(sxx / static_cast<double>(pairs_)) > 1e-12;

  // Over the pairs, sum(X (T - mean T)) = sum of X over the within-block pairs, because X is
  // centred; that sum is also minus the sum over the between-block pairs.
  const bool between = within_ > pairs_ - within_;
  sign_ = between ? -1 : 1;
  walk_.reserve(static_cast<std::size_t>(between ? pairs_ - within_ : within_));
  for (Eigen::Index i = 0; i < m_; ++i)
    for (Eigen::Index j = i + 1; j < m_; ++j)
      if ((t(i, j) != 0) != between) walk_.emplace_back(static_cast<int>(i), static_cast<int>(j));
  const double w = static_cast<double>(within_);
  scale_ = 1 / std::sqrt(sxx * w * (1 - w / static_cast<double>(pairs_)));
}

double PairCorrelation::r(const std::vector<int>& relabel) const {
  assert(static_cast<Eigen::Index>(relabel.size()) == m_);
  // T relabelled is 1 at (i, j) when (relabel[i], relabel[j]) is a within-block pair (a, b),
  // that is at (inverse[a], inverse[b]).
  for (std::size_t i = 0; i < relabel.size(); ++i)
    inverse_[static_cast<std::size_t>(relabel[i])] = static_cast<int>(i);
  const double* x = centred_.data();
  const int* inv = inverse_.data();
  double s = 0;
  for (const auto& [a, b] : walk_) s += x[static_cast<Eigen::Index>(inv[a]) * m_ + inv[b]];
  return sign_ * s * scale_;
}

long long count_at_least(const PairCorrelation& stat, double observed, long long count,
                         std::uint64_t seed) {
  return count_at_least({&stat}, {observed}, count, seed, nullptr).front();
}

std::vector<long long> count_at_least(const std::vector<const PairCorrelation*>& stats,
                                      const std::vector<double>& observed, long long count,
                                      std::uint64_t seed, Progress* progress) {
  assert(!stats.empty() && stats.size() == observed.size());
  Xoshiro256 rng(seed);
  std::vector<int> relabel(static_cast<std::size_t>(stats.front()->lines()));
  std::vector<long long> at_least(stats.size());
  for (long long k = 0; k < count; ++k) {
    // Asking every 64 relabellings keeps the cost of asking out of the loop's time.
    if (progress && k % 64 == 0)
      advance_or_cancel(*progress, static_cast<double>(k) / static_cast<double>(count));
    std::iota(relabel.begin(), relabel.end(), 0);
    shuffle(relabel, rng);
    for (std::size_t s = 0; s < stats.size(); ++s)
      at_least[s] += stats[s]->r(relabel) >= observed[s] - kTieTolerance;
  }
  return at_least;
}

std::optional<ModularityRefusal> check_pairs(const Matrix& t) {
  long long within = 0, pairs = 0;
  for (Eigen::Index i = 0; i < t.rows(); ++i)
    for (Eigen::Index j = i + 1; j < t.cols(); ++j) {
      within += t(i, j) != 0;
      ++pairs;
    }
  if (within == 0) return ModularityRefusal::kNoPairWithin;
  if (within == pairs) return ModularityRefusal::kNoPairBetween;
  return std::nullopt;
}

std::optional<ModularityResult> run_modularity_test(const Matrix& lengths, const Matrix& t,
                                                    const BlockList& block, long long nblocks,
                                                    long long permutations, double seed,
                                                    Progress* progress) {
  return test_hypothesis(correlation_matrix(lengths), lengths.rows(), t, block, nblocks,
                         permutations, seed, true, progress);
}

std::optional<ModularityResult> test_hypothesis(const Matrix& r, long long specimens,
                                                const Matrix& t, const BlockList& block,
                                                long long nblocks, long long permutations,
                                                double seed, bool every_block, Progress* progress) {
  const PairCorrelation stat(r, t);
  if (!stat.varies()) return std::nullopt;

  ModularityResult out;
  out.specimens = specimens;
  out.lines = r.cols();
  out.blocks = nblocks;
  out.pairs_within = stat.pairs_within();
  out.pairs_between = stat.pairs_between();
  out.permutations = permutations;
  out.seed = seed + 0.0;  // -0 is the seed 0

  double within = 0, between = 0;
  for (Eigen::Index i = 0; i < out.lines; ++i)
    for (Eigen::Index j = i + 1; j < out.lines; ++j) (t(i, j) != 0 ? within : between) += r(i, j);
  out.avg_within = within / static_cast<double>(out.pairs_within);
  out.avg_between = between / static_cast<double>(out.pairs_between);
  out.avg_ratio = out.avg_within / out.avg_between;

  // Each block of two lines or more, as its own hypothesis H_K.
  const double all_pairs = static_cast<double>(out.pairs_within + out.pairs_between);
  std::vector<PairCorrelation> block_stats;
  block_stats.reserve(static_cast<std::size_t>(std::max(0LL, nblocks)));
  for (long long k = 1; k <= nblocks && static_cast<std::size_t>(k) <= block.size(); ++k) {
    const std::vector<int> lines = distinct_lines(block[static_cast<std::size_t>(k - 1)]);
    if (lines.size() < 2) continue;
    double sum = 0;
    for (std::size_t a = 0; a < lines.size(); ++a)
      for (std::size_t b = a + 1; b < lines.size(); ++b) sum += r(lines[a], lines[b]);
    const double pairs = static_cast<double>(lines.size() * (lines.size() - 1) / 2);
    out.block_averages.emplace_back(k, sum / pairs);
    if (!every_block) continue;
    BlockTest bt;
    bt.block = k;
    bt.lines = static_cast<long long>(lines.size());
    bt.avg_within = sum / pairs;
    bt.avg_between = (within + between - sum) / (all_pairs - pairs);
    bt.avg_ratio = bt.avg_within / bt.avg_between;
    out.block_tests.push_back(bt);
    Matrix h = Matrix::Identity(out.lines, out.lines);
    for (int a : lines)
      for (int b : lines) h(a, b) = 1;
    block_stats.emplace_back(r, h);
  }

  std::vector<int> identity(static_cast<std::size_t>(out.lines));
  std::iota(identity.begin(), identity.end(), 0);
  std::vector<const PairCorrelation*> stats{&stat};
  std::vector<double> observed{stat.r(identity)};
  for (const PairCorrelation& s : block_stats) {
    stats.push_back(&s);
    observed.push_back(s.r(identity));
  }
  const std::vector<long long> at_least =
      count_at_least(stats, observed, permutations, seed_bits(seed), progress);
  const auto p_of = [permutations](long long n) {
    return static_cast<double>(1 + n) / static_cast<double>(permutations + 1);
  };
  out.r = observed[0];
  out.p = p_of(at_least[0]);
  for (std::size_t b = 0; b < out.block_tests.size(); ++b) {
    out.block_tests[b].r = observed[b + 1];
    out.block_tests[b].p = p_of(at_least[b + 1]);
  }
  return out;
}

std::string modularity_report(const ModularityResult& res) {
  std::string out;
  add_count(out, "specimens", res.specimens);
  add_count(out, "lines", res.lines);
  add_count(out, "blocks", res.blocks);
  add_count(out, "pairs_within", res.pairs_within);
  add_count(out, "pairs_between", res.pairs_between);
  add_line(out, "r", "%.10g", res.r);
  add_line(out, "p", "%.10g", res.p);
  add_count(out, "permutations", res.permutations);
  add_line(out, "seed", "%.0f", res.seed);
  add_line(out, "avg_within", "%.10g", res.avg_within);
  add_line(out, "avg_between", "%.10g", res.avg_between);
  add_line(out, "avg_ratio", "%.10g", res.avg_ratio);
  for (const auto& [k, avg] : res.block_averages)
    add_line(out, "avg_within_block_" + std::to_string(k), "%.10g", avg);
  for (const BlockTest& b : res.block_tests) {
    const std::string key = "block_" + std::to_string(b.block) + "_";
    add_line(out, key + "r", "%.10g", b.r);
    add_line(out, key + "p", "%.10g", b.p);
    add_line(out, key + "avg_within", "%.10g", b.avg_within);
    add_line(out, key + "avg_between", "%.10g", b.avg_between);
    add_line(out, key + "avg_ratio", "%.10g", b.avg_ratio);
  }
  return out;
}

std::string modularity_summary(const ModularityResult& res) {
  char buf[128];
  std::snprintf(buf, sizeof buf, "r = %.3f, p = %.3g (%lld permutation%s)", res.r, res.p,
                res.permutations, res.permutations == 1 ? "" : "s");
  return buf;
}

std::vector<std::string> modularity_table(const ModularityResult& res) {
  std::vector<std::string> out{"block  lines       r      p  within between  ratio"};
  out.push_back(sprintf_str("%-6s %5lld %7.3f %6.3g %7.3f %7.3f %6.3g", "all", res.lines, res.r,
                            res.p, res.avg_within, res.avg_between, res.avg_ratio));
  for (const BlockTest& b : res.block_tests)
    out.push_back(sprintf_str("%-6lld %5lld %7.3f %6.3g %7.3f %7.3f %6.3g", b.block, b.lines, b.r,
                              b.p, b.avg_within, b.avg_between, b.avg_ratio));
  return out;
}

}  // namespace qiv
