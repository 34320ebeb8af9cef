#include "protocol/protocol_drawing.h"

#include <cmath>

#include "base/failure.h"
#include "platform/text.h"

namespace qiv {
namespace {

// The point of landmark j; a number that names no landmark of the row is refused here as a
// last line of defence (actions check their inputs before drawing).
std::array<double, 2> point(const Matrix& reference, double j) {
  const Eigen::Index k = (reference.size() - 1) / 2;
  if (!(j >= 1 && j <= static_cast<double>(k) && j == std::floor(j)))
    throw Failure("Landmark " + num2str(j) + " is not a landmark number from 1 to " +
                  std::to_string(k) + ".");
  const auto i = static_cast<Eigen::Index>(j);
  return {reference.data()[2 * i - 2], reference.data()[2 * i - 1]};
}

}  // namespace

Handle draw_segment(Graphics& gfx, const Matrix& reference, double a, double b,
                    const std::string& style) {
  auto pa = point(reference, a);
  auto pb = point(reference, b);
  return gfx.plot({pa[0], pb[0]}, {pa[1], pb[1]}, style);
}

Handle label_segment(Graphics& gfx, const Matrix& reference, double a, double b,
                     const std::string& label, const std::string& color) {
  auto pa = point(reference, a);
  auto pb = point(reference, b);
  Handle t = gfx.text((pa[0] + pb[0]) / 2, (pa[1] + pb[1]) / 2, label);
  gfx.set(t, "Color", Value(color));
  return t;
}

void draw_numbered_protocol(Graphics& gfx, const Protocol& proto, const Matrix& reference,
                            const std::string& label_color) {
  for (Eigen::Index i = 0; i < proto.count(); ++i) {
    const double a = proto.line(i).first, b = proto.line(i).second;
    draw_segment(gfx, reference, a, b, "k");
    label_segment(gfx, reference, a, b, std::to_string(static_cast<long long>(i + 1)), label_color);
  }
}

}  // namespace qiv
