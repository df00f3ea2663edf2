#pragma once

#include <bit>
#include <cstdint>

namespace mokopera {

// The random numbers a shot draws. Reseed is called once per shot with the time of day.
class RandomSource {
public:
    virtual ~RandomSource() = default;
    virtual void Reseed(float seed) = 0;
    // The next value, uniform in [0, 1) and never 1.
    virtual float Next() = 0;
};

// The steps of the program's generator on its 64-bit state, for MixingRandomSource and for the
// batch's own loop (fast_step.h), which must draw exactly the same numbers.
namespace generator {

// The constants of its steps, named here for the vector kernels too (fast_kernels.cpp).
inline constexpr std::uint64_t kMixFirst = 0xBF58476D1CE4E5B9ULL, kMixSecond = 0x94D049BB133111EBULL;
inline constexpr std::uint64_t kReseedFactor = 0x9E3779B97F4A7C15ULL;
inline constexpr std::uint64_t kMultiplier = 6364136223846793005ULL, kIncrement = 1442695040888963407ULL;
// Two steps of the LCG in one: the multiplier and increment of a step, applied twice.
inline constexpr std::uint64_t kTwiceMultiplier = kMultiplier * kMultiplier;
inline constexpr std::uint64_t kTwiceIncrement = kIncrement * kMultiplier + kIncrement;

// SplitMix64's finaliser: spreads every input bit over the whole word.
constexpr std::uint64_t Mix64(std::uint64_t z)
{
    z = (z ^ (z >> 30U)) * kMixFirst;
    z = (z ^ (z >> 27U)) * kMixSecond;
    return z ^ (z >> 31U);
}

// A float's bits, every one of them (std::bit_cast, which the web build's library lacks).
constexpr std::uint32_t FloatBits(float value)
{
    return __builtin_bit_cast(std::uint32_t, value);
}

// The state after a reseed with a float's bits: mixed in, not replacing the state.
constexpr std::uint64_t Reseeded(std::uint64_t state, std::uint32_t seedBits)
{
    return Mix64(state ^ (std::uint64_t{seedBits} * kReseedFactor));
}

// The 64-bit LCG under PCG32.
constexpr std::uint64_t Advanced(std::uint64_t state)
{
    return state * kMultiplier + kIncrement;
}

// Two steps of the LCG in one.
constexpr std::uint64_t AdvancedTwice(std::uint64_t state)
{
    return state * kTwiceMultiplier + kTwiceIncrement;
}
static_assert(AdvancedTwice(12345) == Advanced(Advanced(12345)));

// PCG32's output (XSH-RR) for the state before it advances.
constexpr std::uint32_t Output(std::uint64_t state)
{
    const auto xorShifted = static_cast<std::uint32_t>(((state >> 18U) ^ state) >> 27U);
    return std::rotr(xorShifted, static_cast<int>(state >> 59U));
}

}  // namespace generator

// PCG32 (O'Neill's XSH-RR output on a 64-bit LCG). Reseeding mixes the seed into the current
// state instead of replacing it, so two equal seeds in a row (two shots within one clock tick)
// continue the sequence rather than replay it.
class MixingRandomSource final : public RandomSource {
public:
    explicit MixingRandomSource(std::uint64_t initialState) : state_(generator::Mix64(initialState)) {}
    void Reseed(float seed) override { state_ = generator::Reseeded(state_, generator::FloatBits(seed)); }
    // The top 24 bits fill a float's mantissa exactly: k / 2^24 for k in 0..2^24-1.
    float Next() override
    {
        const std::uint32_t bits = generator::Output(state_);
        state_ = generator::Advanced(state_);
        return static_cast<float>(bits >> 8U) * 0x1p-24F;
    }

private:
    std::uint64_t state_;
};

}  // namespace mokopera
