#pragma once
// Value: what flows through calls by name and properties. It holds no value, a Matrix, a
// string, a record of named fields (kept in insertion order) or a list of values.
#include <string>
#include <utility>
#include <variant>
#include <vector>

#include "base/matrix.h"

namespace qiv {

class Value;
struct Field;
using Record = std::vector<Field>;
using List = std::vector<Value>;

class Value {
 public:
  // Special members are defined where Field is complete (value.cpp), which some compilers
  // need for the recursive variant.
  Value();
  ~Value();
  Value(const Value&);
  Value(Value&&) noexcept;
  Value& operator=(const Value&);
  Value& operator=(Value&&) noexcept;
  Value(Matrix m);       // NOLINT: implicit by design
  Value(double d);       // NOLINT
  Value(int d);          // NOLINT
  Value(std::string s);  // NOLINT
  Value(const char* s);  // NOLINT
  Value(Record r);       // NOLINT: implicit by design
  Value(List l);         // NOLINT

  bool is_none() const { return std::holds_alternative<std::monostate>(v_); }
  bool is_matrix() const { return std::holds_alternative<Matrix>(v_); }
  bool is_string() const { return std::holds_alternative<std::string>(v_); }
  bool is_record() const { return std::holds_alternative<Record>(v_); }
  bool is_list() const { return std::holds_alternative<List>(v_); }

  // Accessors assert the kind; callers test first.
  const Matrix& matrix() const { return std::get<Matrix>(v_); }
  Matrix& matrix() { return std::get<Matrix>(v_); }
  const std::string& str() const { return std::get<std::string>(v_); }
  const Record& record() const { return std::get<Record>(v_); }
  Record& record() { return std::get<Record>(v_); }
  const List& list() const { return std::get<List>(v_); }
  List& list() { return std::get<List>(v_); }

  // A matrix of exactly one element.
  bool is_scalar() const { return is_matrix() && matrix().size() == 1; }
  double scalar_value() const { return matrix()(0, 0); }
  // An empty matrix (0 rows or 0 columns); the "no value" of numeric results.
  bool is_empty_matrix() const { return is_matrix() && matrix().size() == 0; }

  bool operator==(const Value& o) const;

 private:
  std::variant<std::monostate, Matrix, std::string, Record, List> v_;
};

struct Field {
  std::string name;
  Value value;
  bool operator==(const Field& o) const { return name == o.name && value == o.value; }
};

// The field called name, or nullptr.
const Value* find_field(const Record& r, const std::string& name);

}  // namespace qiv
