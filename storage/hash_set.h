#pragma once

// The stored hashes of one read-state file while the unread check runs: an open-addressing set of
// 32-bit values in one block, built once and then only asked. Any value is allowed, 0 included.
// A board of 100,000 posts against 100,000 hashes is checked in a few milliseconds, where
// scanning a list for every post would take seconds.

#include <cstddef>
#include <cstdint>
#include <vector>

namespace quor::storage {

class HashSet final {
public:
    explicit HashSet(std::size_t expected = 0);

    void Insert(std::uint32_t value);
    bool Contains(std::uint32_t value) const;
    std::size_t Size() const { return size_; }

private:
    // A slot holds value + 1, so 0 marks an empty slot.
    std::size_t SlotOf(std::uint32_t value) const;
    void Grow();

    std::vector<std::uint64_t> slots_;
    std::size_t size_ = 0;
    unsigned shift_ = 0;
};

}  // namespace quor::storage
