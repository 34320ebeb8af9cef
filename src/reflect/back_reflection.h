#pragma once
// The back-reflected data set before its superimposition: every specimen registered to the
// baseline through the first two midline landmarks (the first at the origin, the second at
// (1, 0), so the midline is the x axis), and a mirrored copy (same x, negated y) of every
// landmark off the midline appended after the k originals.
#include <vector>

#include "base/matrix.h"

namespace qiv {

// data: n specimens by 2k + 1 columns. midpts: the midline list in its order, at least two
// entries, each a whole number from 1 to k (repeats allowed). Returns n rows by
// 2(k + f) + 1 columns, f being the number of landmarks 1..k not in midpts: columns 1..2k the
// registered landmarks, then the f mirrored ones in increasing order of their source, then
// the trailing column of data.
Matrix back_reflect(const Matrix& data, const std::vector<long>& midpts);

// The 0-based row of the first specimen in which landmarks b1 and b2 lie at one point (a
// baseline of length zero), or -1 when there is none.
Eigen::Index first_coincident_row(const Matrix& data, long b1, long b2);

}  // namespace qiv
