#include "core/shared_state.h"

#include "base/failure.h"
#include "platform/text.h"

namespace qiv {

const std::vector<std::string>& shared_state_members() {
  static const std::vector<std::string> names{
      "figdir", "figh",    "menufigh", "data",  "reference", "proto",   "protoname",
      "lineh",  "markerh", "rdata",    "block", "nblocks",   "tmatrix", "names"};
  return names;
}

namespace {

template <typename T>
std::string opt_number(const std::optional<T>& v) {
  return v ? format_g17(static_cast<double>(*v)) : "<no value>";
}

std::string opt_matrix(const std::optional<Matrix>& v) {
  return v ? format_matrix_g17(*v) : "<no value>";
}

}  // namespace

std::string specimen_name(const SharedState& s, Eigen::Index row) {
  if (s.names && row >= 0 && static_cast<std::size_t>(row) < s.names->size())
    return (*s.names)[static_cast<std::size_t>(row)];
  return std::to_string(row + 1);
}

std::vector<std::string> specimen_names(const SharedState& s, Eigen::Index rows) {
  if (s.names && s.names->size() == static_cast<std::size_t>(rows)) return *s.names;
  std::vector<std::string> out;
  out.reserve(static_cast<std::size_t>(rows));
  for (Eigen::Index i = 1; i <= rows; ++i) out.push_back(std::to_string(i));
  return out;
}

std::string describe_member(const SharedState& s, const std::string& name) {
  if (name == "figdir") return s.figdir ? *s.figdir : "<no value>";
  if (name == "figh") return opt_number(s.figh);
  if (name == "menufigh") return opt_number(s.menufigh);
  if (name == "data") return opt_matrix(s.data);
  if (name == "reference") return opt_matrix(s.reference);
  if (name == "proto") return opt_matrix(s.proto);
  if (name == "protoname") return s.protoname ? *s.protoname : "<no value>";
  if (name == "lineh") return opt_number(s.lineh);
  if (name == "markerh") return opt_number(s.markerh);
  if (name == "rdata") return opt_matrix(s.rdata);
  if (name == "block") {
    if (!s.block) return "<no value>";
    std::string out;
    for (std::size_t k = 0; k < s.block->size(); ++k) {
      if (k > 0) out += '\n';
      const auto& b = (*s.block)[k];
      for (std::size_t i = 0; i < b.size(); ++i) {
        if (i > 0) out += ' ';
        out += format_g17(b[i]);
      }
    }
    return out;
  }
  if (name == "nblocks") return opt_number(s.nblocks);
  if (name == "tmatrix") return opt_matrix(s.tmatrix);
  if (name == "names") {
    if (!s.names) return "<no value>";
    std::string out;
    for (std::size_t i = 0; i < s.names->size(); ++i) {
      if (i > 0) out += '\n';
      out += (*s.names)[i];
    }
    return out;
  }
  throw Failure("There is no member " + name + " in the shared state.");
}

}  // namespace qiv
