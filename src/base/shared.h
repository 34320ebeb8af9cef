#pragma once
// A value held once and shared by every copy of its holder: copying a Shared copies a
// pointer, not the value. The value cannot change through it; replacing it means assigning a
// new one. The undo history keeps whole shared states this way, so a step that did not touch
// the data sets holds no copy of them.
#include <memory>
#include <optional>
#include <utility>

namespace qiv {

template <typename T>
class Shared {
 public:
  Shared() = default;
  Shared(std::nullopt_t) {}                                             // NOLINT: as optional
  Shared(T value) : p_(std::make_shared<const T>(std::move(value))) {}  // NOLINT: as optional

  const T& operator*() const { return *p_; }
  const T* operator->() const { return p_.get(); }
  explicit operator bool() const { return p_ != nullptr; }
  bool has_value() const { return p_ != nullptr; }
  void reset() { p_.reset(); }

  // The same value object (not merely an equal one): how the history tells what an action
  // replaced, without comparing whole data sets.
  bool same_as(const Shared& other) const { return p_ == other.p_; }

  // Equality of values, as std::optional compares: two empty ones are equal.
  friend bool operator==(const Shared& a, const Shared& b) {
    if (a.p_ == b.p_) return true;
    return a.p_ && b.p_ && bool(*a.p_ == *b.p_);
  }
  friend bool operator==(const Shared& a, const T& b) { return a.p_ && bool(*a.p_ == b); }

 private:
  std::shared_ptr<const T> p_;
};

}  // namespace qiv
