#include "platform/value.h"

namespace qiv {

Value::Value() = default;
Value::~Value() = default;
Value::Value(const Value&) = default;
Value::Value(Value&&) noexcept = default;
Value& Value::operator=(const Value&) = default;
Value& Value::operator=(Value&&) noexcept = default;
Value::Value(Matrix m) : v_(std::move(m)) {}
Value::Value(double d) : v_(scalar(d)) {}
Value::Value(int d) : v_(scalar(d)) {}
Value::Value(std::string s) : v_(std::move(s)) {}
Value::Value(const char* s) : v_(std::string(s)) {}
Value::Value(Record r) : v_(std::move(r)) {}
Value::Value(List l) : v_(std::move(l)) {}

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
