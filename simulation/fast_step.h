#pragma once

#include <array>
#include <bit>
#include <cstddef>
#include <cstdint>

#include "simulation/random_source.h"
#include "simulation/rules.h"

// The experiments of a batch (mokopera-sim) at the speed of the machine: exactly the draws that
// ShotStep makes on the program's generator, reseeded from the simulated time of day of automatic
// firing, but nothing besides the verdicts: no label text, no mark, no effect, and no fmod.
namespace mokopera {

inline constexpr double kSecondsPerDay = 86400.0;

// Streams of shots fired together: each its own generator (as MixingRandomSource(seed) holds it)
// and its own simulated clock, whose n-th shot (from 0) comes at `firstShot` + 0.1 n seconds after
// a midnight. The streams of a group fire the same number of shots, so they share the count.
template <std::size_t Count>
struct ShotStreams {
    std::array<std::uint64_t, Count> state{};
    std::array<double, Count> firstShot{};
    std::array<double, Count> midnight{};  // the last midnight before the next shot, whole days
    double shots = 0.0;                    // fired by each so far, a whole number

    // Stream `i`: the generator seeded with `generatorSeed`, the first shot at `firstShot`.
    void Start(std::size_t i, std::uint64_t generatorSeed, double first)
    {
        state[i] = generator::Mix64(generatorSeed);
        firstShot[i] = first;
    }

    // The time of day of stream i's next shot, as ShotStep reseeds with it: fmod(firstShot +
    // 0.1 n, 86400) as a float, for `step` = 0.1 n. The last midnight is kept instead of
    // dividing: the difference is exact, so the float is the same as fmod's.
    float TimeOfDay(std::size_t i, double step)
    {
        const double at = firstShot[i] + step;
        while (at - midnight[i] >= kSecondsPerDay)
            midnight[i] += kSecondsPerDay;
        return static_cast<float>(at - midnight[i]);
    }

    // Stream i alone, where it is, to go on by itself.
    [[nodiscard]] ShotStreams<1> Alone(std::size_t i) const
    {
        return {{state[i]}, {firstShot[i]}, {midnight[i]}, shots};
    }
};

namespace fast_step {

// A distance of floor(r × 200 + 1) ≤ 20 for r = k / 2^24, k the top 24 bits of a draw: exactly
// when k × 200 < 20 × 2^24, that is k < kFirstMiss.
inline constexpr std::uint32_t kHitRadius = rules::kHitRadius;
inline constexpr std::uint32_t kFarthest = rules::kFarthest;
inline constexpr std::uint32_t kFirstMiss = (kHitRadius << 24U) / kFarthest + 1U;
static_assert((kFirstMiss - 1) * kFarthest < (kHitRadius << 24U) && kFirstMiss * kFarthest >= (kHitRadius << 24U));

constexpr bool Hits(std::uint32_t draw)
{
    return draw < (kFirstMiss << 8U);
}

}  // namespace fast_step

// Fires one experiment of `shots` shots on each of the streams, and tells for each whether it hit
// at least once. The streams are independent, so the processor works on all of them at once; each
// shot reseeds from its time of day and draws its distance and then its angle, which a verdict
// does not need but which moves the generator on.
template <std::size_t Count>
void FireExperiments(ShotStreams<Count>& streams, int shots, std::array<bool, Count>& successes)
{
    ShotStreams<Count> local = streams;  // in registers while the shots run
    std::array<unsigned, Count> hits{};  // not bool: no branch for "already hit"
    for (int shot = 0; shot < shots; ++shot) {
        const double step = rules::kSecondsPerShot * local.shots;
        local.shots += 1.0;
#pragma GCC unroll 16
        for (std::size_t i = 0; i < Count; ++i) {
            const std::uint64_t state =
                generator::Reseeded(local.state[i], generator::FloatBits(local.TimeOfDay(i, step)));
            hits[i] |= fast_step::Hits(generator::Output(state)) ? 1U : 0U;
            local.state[i] = generator::AdvancedTwice(state);  // past the distance's draw and the angle's
        }
    }
    streams = local;
    for (std::size_t i = 0; i < Count; ++i)
        successes[i] = hits[i] != 0;
}

}  // namespace mokopera
