#pragma once

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

// PCG32 (O'Neill's XSH-RR output on a 64-bit LCG). Reseeding mixes the seed into the current
// state instead of replacing it, so two equal seeds in a row (two shots within one clock tick)
// continue the sequence rather than replay it.
class MixingRandomSource final : public RandomSource {
public:
    explicit MixingRandomSource(std::uint64_t initialState);
    void Reseed(float seed) override;
    float Next() override;

private:
    std::uint32_t NextBits();
    std::uint64_t state_;
};

}  // namespace mokopera
