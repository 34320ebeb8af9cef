#pragma once
// The subset data set: for every specimen, only the chosen landmarks, brought back to the
// specimen's own scale and then rescaled to unit centroid size, with that centroid size as
// the trailing value. It has the layout of a landmark data file, so it loads again as data.
#include <vector>

#include "base/matrix.h"

namespace qiv {

// data: md specimens by 2k + 1 columns (superimposed coordinates, then the specimen's
// centroid size). landmarks: the subset's landmark numbers (1-based, ascending, each from 1
// to k). Returns md rows by 2p + 1 columns: per specimen, the subset's coordinates times the
// trailing value, divided by their centroid size (centsize2; not re-centred), then that
// centroid size. A specimen whose subset points all coincide has size 0 and its row comes
// out NaN or infinite: callers check with first_unscalable_row before writing.
Matrix subset_export(const Matrix& data, const std::vector<long>& landmarks);

// The 0-based row of the first specimen whose subset centroid size (the last column of an
// export) is zero or not finite, or -1 when every row is usable.
Eigen::Index first_unscalable_row(const Matrix& exported);

}  // namespace qiv
