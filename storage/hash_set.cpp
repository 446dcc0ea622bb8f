#include "storage/hash_set.h"

namespace quor::storage {

namespace {

constexpr std::size_t kMinimumSlots = 16;

}  // namespace

HashSet::HashSet(std::size_t expected) {
    std::size_t slots = kMinimumSlots;
    unsigned bits = 4;
    // At most half full, so probe runs stay short.
    while (slots < 2 * expected) {
        slots *= 2;
        ++bits;
    }
    slots_.assign(slots, 0);
    shift_ = 64 - bits;
}

std::size_t HashSet::SlotOf(std::uint32_t value) const {
    // Fibonacci hashing: the stored hashes are anything but random in their low bits for short
    // texts ("a" gives 00006100), so the value is spread before it picks a slot.
    return static_cast<std::size_t>((value * 0x9E3779B97F4A7C15ull) >> shift_);
}

void HashSet::Insert(std::uint32_t value) {
    if (2 * (size_ + 1) > slots_.size())
        Grow();
    const std::uint64_t stored = std::uint64_t{value} + 1;
    const std::size_t mask = slots_.size() - 1;
    for (std::size_t slot = SlotOf(value);; slot = (slot + 1) & mask) {
        if (slots_[slot] == stored)
            return;
        if (slots_[slot] == 0) {
            slots_[slot] = stored;
            ++size_;
            return;
        }
    }
}

bool HashSet::Contains(std::uint32_t value) const {
    const std::uint64_t stored = std::uint64_t{value} + 1;
    const std::size_t mask = slots_.size() - 1;
    for (std::size_t slot = SlotOf(value);; slot = (slot + 1) & mask) {
        if (slots_[slot] == stored)
            return true;
        if (slots_[slot] == 0)
            return false;
    }
}

void HashSet::Grow() {
    std::vector<std::uint64_t> old;
    old.swap(slots_);
    slots_.assign(old.size() * 2, 0);
    --shift_;
    size_ = 0;
    for (const std::uint64_t stored : old) {
        if (stored != 0)
            Insert(static_cast<std::uint32_t>(stored - 1));
    }
}

}  // namespace quor::storage
