#pragma once

// What a fuzzer does when the engine breaks a rule it checks: print what differed and abort, so
// libFuzzer keeps the input as a crash.

#include <cstdio>
#include <cstdlib>
#include <string_view>

namespace quor::fuzz {

[[noreturn]] inline void Fail(const char* what) {
    std::fprintf(stderr, "rule broken: %s\n", what);
    std::abort();
}

inline void Check(bool holds, const char* what) {
    if (!holds)
        Fail(what);
}

// The settings a fuzzer reads from its input's first bytes, each folded into its range.
class HeaderBytes {
public:
    HeaderBytes(const unsigned char* data, std::size_t size, std::size_t count)
        : data_(data), count_(size < count ? size : count) {}
    // Byte i of the header, 0 when the input is shorter.
    unsigned Byte(std::size_t i) const { return i < count_ ? data_[i] : 0; }
    // Byte i mapped onto lowest..lowest+span-1.
    int Pick(std::size_t i, int lowest, int span) const {
        return lowest + static_cast<int>(Byte(i) % static_cast<unsigned>(span));
    }
    std::size_t Used() const { return count_; }

private:
    const unsigned char* data_;
    std::size_t count_;
};

}  // namespace quor::fuzz
