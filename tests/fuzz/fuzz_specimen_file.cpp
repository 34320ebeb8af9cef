// libFuzzer harness for the three kinds of landmark file "Load" reads (the program's own, TPS
// and NTS, told apart by content): reading either gives a well-formed table or refuses with a
// "Cannot read NAME: " message, never anything else; the kind it read is the kind
// specimen_format names; and a TPS or NTS table carries one name per specimen and, as its last
// value, the centroid size of the specimen's coordinates.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

#include "base/failure.h"
#include "data/specimen_file.h"
#include "fuzz_support.h"
#include "geometry/landmark_row.h"

namespace {

bool same_bits(double a, double b) { return std::memcmp(&a, &b, sizeof a) == 0; }

void check_table(const qiv::SpecimenData& got) {
  const qiv::Matrix& t = got.table;
  if (static_cast<std::size_t>(t.rows()) != got.names.size())
    qiv::fuzz::broken("a table without one name per specimen");
  if (got.trailing_read) return;  // the own file's, or a CSV centroid_size column
  if (t.rows() == 0) qiv::fuzz::broken("a TPS, NTS or CSV table without specimens");
  if (t.cols() % 2 != 1) qiv::fuzz::broken("a TPS or NTS row that is not x y pairs and a size");
  const std::ptrdiff_t k = (t.cols() - 1) / 2;
  for (Eigen::Index i = 0; i < t.rows(); ++i) {
    double row[2 * 64 + 1];
    if (k > 64) return;  // long rows are checked through the short ones
    for (Eigen::Index j = 0; j < t.cols(); ++j) row[j] = t(i, j);
    if (!same_bits(row[2 * k], qiv::landmark_row::centroid_size(row, k)))
      qiv::fuzz::broken("a specimen's last value is not its centroid size");
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  // specimen_format skips one byte order mark, as the reader does.
  const qiv::LandmarkFormat* kind = &qiv::specimen_format(bytes);
  qiv::SpecimenData got;
  try {
    got = qiv::parse_specimen_text(bytes, "specimens.txt");
  } catch (const qiv::Failure& f) {
    if (std::string_view(f.what()).rfind("Cannot read specimens.txt: ", 0) != 0)
      qiv::fuzz::broken("a refusal that does not name the file");
    return 0;
  }
  if (got.format != kind) qiv::fuzz::broken("read as another kind than specimen_format names");
  check_table(got);
  return 0;
}
