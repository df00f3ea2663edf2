#include "simulation/random_source.h"

#include <bit>
#include <cstring>

namespace mokopera {
namespace {

constexpr std::uint64_t kMultiplier = 6364136223846793005ULL;
constexpr std::uint64_t kIncrement = 1442695040888963407ULL;

// SplitMix64's finaliser: spreads every input bit over the whole word.
constexpr std::uint64_t Mix64(std::uint64_t z)
{
    z = (z ^ (z >> 30U)) * 0xBF58476D1CE4E5B9ULL;
    z = (z ^ (z >> 27U)) * 0x94D049BB133111EBULL;
    return z ^ (z >> 31U);
}

}  // namespace

MixingRandomSource::MixingRandomSource(std::uint64_t initialState) : state_(Mix64(initialState)) {}

void MixingRandomSource::Reseed(float seed)
{
    std::uint32_t bits = 0;
    std::memcpy(&bits, &seed, sizeof bits);  // the float's bits, every one of them
    const std::uint64_t seedBits = bits;
    state_ = Mix64(state_ ^ (seedBits * 0x9E3779B97F4A7C15ULL));
}

std::uint32_t MixingRandomSource::NextBits()
{
    const std::uint64_t old = state_;
    state_ = old * kMultiplier + kIncrement;
    const auto xorShifted = static_cast<std::uint32_t>(((old >> 18U) ^ old) >> 27U);
    const auto rotation = static_cast<int>(old >> 59U);
    return std::rotr(xorShifted, rotation);
}

float MixingRandomSource::Next()
{
    // The top 24 bits fill a float's mantissa exactly: k / 2^24 for k in 0..2^24-1.
    return static_cast<float>(NextBits() >> 8U) * 0x1p-24F;
}

}  // namespace mokopera
