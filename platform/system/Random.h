#pragma once

#include <cstdint>

namespace sys {

// The game's pseudo-random sequence, the same in every home whatever its C library: the linear
// congruential generator of the Windows C runtime the game was designed on, so that a stage
// laid out for a given second is the same stage on Linux, on Windows and in the page. Values
// lie in 0..kMax, far above every divisor the game uses them with.
class Random {
public:
    static constexpr int kMax = 0x7FFF;

    explicit Random(std::uint32_t seed = 1) : state_(seed) {}

    void Seed(std::uint32_t seed) { state_ = seed; }
    int Next() {
        state_ = state_ * 214013u + 2531011u;
        return static_cast<int>((state_ >> 16) & kMax);
    }

private:
    std::uint32_t state_;
};

}  // namespace sys
