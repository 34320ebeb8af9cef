#pragma once
// The consensus (mean) shape of a set of specimens by an iterative Procrustes fit. Every
// specimen is centred on its centroid and scaled to unit centroid size once; then, pass after
// pass, each is rotated (never reflected or rescaled) onto the current consensus, and the
// consensus becomes the mean of the rotated specimens rescaled to unit size, until its squared
// change between passes is no longer above the tolerance. The first specimen fixes the
// orientation of the consensus.
#include <functional>

#include "base/matrix.h"

namespace qiv {

struct Consensus {
  Matrix y;    // the consensus: 1 x m, coordinates of unit centroid size
  Matrix xpt;  // the superimposed specimens: n x m, in input order
  int passes;  // rotation passes run until convergence (at least 1)
};

// Passes after which a fit that is still changing stops with a Failure. Real data converges
// in a few passes; only pathological input could get near this.
inline constexpr int kMaxConsensusPasses = 10000;

// x: n >= 1 specimens by m = 2k + 1 columns (x1 y1 ... xk yk, trailing value). The trailing
// column of xpt equals x's bit for bit; y's last entry is the mean trailing value divided by
// the last pass's size factor. Throws Failure for no rows, an even column count, or no
// convergence after kMaxConsensusPasses passes. Coincident landmarks are not an error: that
// specimen (and the consensus) become NaN and the fit ends after one pass.
Consensus getconsensus(const Matrix& x);

// Called after each pass with the passes run so far; it may throw to stop the fit (long work
// the user cancelled), which then changes nothing.
using AfterPass = std::function<void(int passes)>;

// getconsensus with another pass limit (max_passes >= 1) and a call after each pass.
Consensus fit_consensus(const Matrix& x, int max_passes, const AfterPass& after_pass = {});

}  // namespace qiv
