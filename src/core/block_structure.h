#pragma once
// The block structure of the target window: blocks numbered from 1, each an ordered list of
// protocol line numbers (possibly empty), and the count of blocks in use.
//
// The lists and the count come and go together ("SetBlocks", "AddBlocks", "LoadBlock" set
// both, "ClearTarget" forgets both), with one exception: "Clear" forgets the lists and keeps
// the count. The lists may hold more blocks than the count (a block stored under a higher
// number); only blocks 1 to count are drawn, saved and used.
#include <optional>
#include <utility>
#include <vector>

namespace qiv {

// Protocol line numbers as typed, in order: repeats, fractions and numbers beyond the
// protocol are kept; the actions that use a list check it.
using LineList = std::vector<double>;
// Block k (from 1) is entry k - 1.
using BlockList = std::vector<LineList>;

class BlockStructure {
 public:
  BlockStructure() = default;
  BlockStructure(std::optional<BlockList> lists, std::optional<long long> count)
      : lists_(std::move(lists)), count_(count) {}

  // Both the lists and the count: what the drawing, saving and testing actions need.
  bool in_use() const { return lists_.has_value() && count_.has_value(); }
  bool has_lists() const { return lists_.has_value(); }
  bool has_count() const { return count_.has_value(); }

  // The count of blocks in use; has_count() first.
  long long count() const { return *count_; }
  void set_count(long long n) { count_ = n; }
  // Every list held, block 1 first; has_lists() first.
  const BlockList& lists() const { return *lists_; }

  // Block k's list (k from 1), the empty list when the lists do not hold it.
  LineList at(long long k) const;
  // Stores a list as block k (k from 1), growing the lists (new blocks empty) when they hold
  // fewer; lists that did not exist start empty.
  void store(long long k, LineList list);
  // Makes sure the lists exist, empty when they did not.
  void keep_lists() {
    if (!lists_) lists_.emplace();
  }
  // Takes blocks read from a file: the lists, and their number as the count.
  void assign(BlockList lists);

  void forget_lists() { lists_.reset(); }  // "Clear"
  void clear() {                           // "ClearTarget"
    lists_.reset();
    count_.reset();
  }

  bool operator==(const BlockStructure&) const = default;

 private:
  std::optional<BlockList> lists_;
  std::optional<long long> count_;
};

}  // namespace qiv
