#include "core/block_structure.h"

namespace qiv {

LineList BlockStructure::at(long long k) const {
  if (!lists_ || k < 1 || static_cast<std::size_t>(k) > lists_->size()) return {};
  return (*lists_)[static_cast<std::size_t>(k - 1)];
}

void BlockStructure::store(long long k, LineList list) {
  keep_lists();
  const auto i = static_cast<std::size_t>(k - 1);
  if (lists_->size() <= i) lists_->resize(i + 1);
  (*lists_)[i] = std::move(list);
}

void BlockStructure::assign(BlockList lists) {
  count_ = static_cast<long long>(lists.size());
  lists_ = std::move(lists);
}

}  // namespace qiv
