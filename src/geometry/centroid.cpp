#include "geometry/centroid.h"

#include <algorithm>
#include <vector>

#include "geometry/landmark_row.h"

namespace qiv {
namespace {

// The values of a shape in linear order, and how many landmarks they hold. A row or a
// column is used in place; any other matrix is copied column by column.
class ShapeValues {
 public:
  explicit ShapeValues(const Matrix& x) {
    const Eigen::Index n = x.size() == 0 ? 0 : std::max(x.rows(), x.cols());
    landmarks_ = n / 2;
    if (x.rows() == 1 || x.cols() == 1 || n == 0) {
      data_ = x.data();
      return;
    }
    copy_.reserve(static_cast<std::size_t>(x.size()));
    for (Eigen::Index c = 0; c < x.cols(); ++c) {
      for (Eigen::Index r = 0; r < x.rows(); ++r) copy_.push_back(x(r, c));
    }
    data_ = copy_.data();
  }
  const double* data() const { return data_; }
  Eigen::Index landmarks() const { return landmarks_; }

 private:
  std::vector<double> copy_;
  const double* data_ = nullptr;
  Eigen::Index landmarks_ = 0;
};

}  // namespace

Matrix centpos(const Matrix& x) {
  const ShapeValues shape(x);
  const landmark_row::Centroid c = landmark_row::centroid(shape.data(), shape.landmarks());
  Matrix result(1, 2);
  result << c.x, c.y;
  return result;
}

Matrix centsize(const Matrix& x) {
  const Eigen::Index k = x.cols() / 2;
  Matrix result(x.rows(), 1);
  for (Eigen::Index i = 0; i < x.rows(); ++i) {
    result(i, 0) = landmark_row::centroid_size(x.data() + i * x.cols(), k);
  }
  return result;
}

double centsize2(const Matrix& x) {
  const ShapeValues shape(x);
  return landmark_row::centroid_size(shape.data(), shape.landmarks());
}

}  // namespace qiv
