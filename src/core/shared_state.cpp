#include "core/shared_state.h"

#include "base/failure.h"
#include "platform/text.h"

namespace qiv {

DataSetsKept::DataSetsKept(SharedState& s, Which which) : s_(s), which_(which) {
  if (which == Which::kReflected) {
    rdata_ = std::move(s.rdata);
    s.rdata.reset();
    return;
  }
  data_ = std::move(s.data);
  reference_ = std::move(s.reference);
  names_ = std::move(s.names);
  s.data.reset();
  s.reference.reset();
  s.names.reset();
}

DataSetsKept::~DataSetsKept() {
  if (done_) return;
  if (which_ == Which::kReflected) {
    s_.rdata = std::move(rdata_);
    return;
  }
  s_.data = std::move(data_);
  s_.reference = std::move(reference_);
  s_.names = std::move(names_);
}

namespace {

// Moves the data sets from one state to another (no allocation, cannot fail).
void move_data_sets(SharedState& from, SharedState& to) {
  to.data = std::move(from.data);
  to.reference = std::move(from.reference);
  to.rdata = std::move(from.rdata);
  to.names = std::move(from.names);
  from.data.reset();
  from.reference.reset();
  from.rdata.reset();
  from.names.reset();
}

}  // namespace

SharedState copy_without_data_sets(SharedState& s) {
  SharedState aside;
  move_data_sets(s, aside);
  try {
    SharedState copy = s;
    move_data_sets(aside, s);
    return copy;
  } catch (...) {
    move_data_sets(aside, s);
    throw;
  }
}

void restore_without_data_sets(SharedState& s, SharedState&& copy) {
  move_data_sets(s, copy);
  s = std::move(copy);
}

}  // namespace qiv

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

std::string opt_matrix(const Shared<Matrix>& v) { return v ? format_matrix_g17(*v) : "<no value>"; }

}  // namespace

bool protocol_unsaved(const SharedState& s) {
  return s.proto && !s.proto->empty() && s.proto != s.saved_proto;
}

bool blocks_unsaved(const SharedState& s) {
  if (!s.blocks.in_use()) return false;
  bool any_line = false;
  for (long long k = 1; k <= s.blocks.count() && !any_line; ++k) any_line = !s.blocks.at(k).empty();
  return any_line && s.blocks != s.saved_blocks;
}

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
  if (name == "proto") return s.proto ? format_matrix_g17(s.proto->table()) : "<no value>";
  if (name == "protoname") return s.protoname ? *s.protoname : "<no value>";
  if (name == "lineh") return opt_number(s.lineh);
  if (name == "markerh") return opt_number(s.markerh);
  if (name == "rdata") return opt_matrix(s.rdata);
  if (name == "block") {
    if (!s.blocks.has_lists()) return "<no value>";
    std::string out;
    const BlockList& lists = s.blocks.lists();
    for (std::size_t k = 0; k < lists.size(); ++k) {
      if (k > 0) out += '\n';
      const auto& b = lists[k];
      for (std::size_t i = 0; i < b.size(); ++i) {
        if (i > 0) out += ' ';
        out += format_g17(b[i]);
      }
    }
    return out;
  }
  if (name == "nblocks")
    return s.blocks.has_count() ? format_g17(static_cast<double>(s.blocks.count())) : "<no value>";
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
