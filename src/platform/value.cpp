#include "platform/value.h"

namespace qiv {

bool Value::operator==(const Value& o) const {
  if (v_.index() != o.v_.index()) return false;
  if (is_matrix()) {
    const Matrix& a = matrix();
    const Matrix& b = o.matrix();
    return a.rows() == b.rows() && a.cols() == b.cols() && a == b;
  }
  if (is_string()) return str() == o.str();
  if (is_record()) return record() == o.record();
  if (is_list()) return list() == o.list();
  return true;
}

const Value* find_field(const Record& r, const std::string& name) {
  for (const Field& f : r)
    if (f.name == name) return &f.value;
  return nullptr;
}

}  // namespace qiv
