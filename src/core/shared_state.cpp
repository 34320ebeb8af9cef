#include "core/shared_state.h"

#include "base/failure.h"
#include "platform/text.h"

namespace qiv {

const std::vector<std::string>& shared_state_members() {
  static const std::vector<std::string> names{
      "figdir", "figh",    "menufigh", "data",  "reference", "proto",  "protoname",
      "lineh",  "markerh", "rdata",    "block", "nblocks",   "tmatrix"};
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
  throw Failure("There is no member " + name + " in the shared state.");
}

}  // namespace qiv
