// The real generator, driven the way the program drives it: a reseed before every shot.

#include <array>
#include <cmath>

#include "doctest_extras.h"
#include "simulation/shot_step.h"
#include "simulation_fakes.h"

using namespace mokopera;
using namespace mokopera::testing;

// 100,000 experiments with a frozen clock: the same seed before every shot, which must not replay
// the same values. The success rate lies within 4.5 standard deviations of 1 − 0.9^N, and the
// distances are uniform over 1..200 (a value of the generator outside [0, 1) would give a
// distance the table has no room for).
TEST_CASE("SuccessRateAndDistances")
{
    for (const int shots : {5, 20, 50}) {
        INFO("N = ", shots);
        constexpr int kExperiments = 100'000;
        ExperimentState state;
        state.ShotsPerExperiment = static_cast<std::int16_t>(shots);
        MixingRandomSource random(static_cast<std::uint64_t>(shots) * 1000003U);
        FrozenClock clock;
        NullEffects effects;
        std::array<long, 201> distances{};
        int successes = 0;
        for (int experiment = 0; experiment < kExperiments; ++experiment) {
            for (int shot = 0; shot < shots; ++shot) {
                if (ShotStep(state, random, clock, effects) != StepResult::Completed)
                    FAIL("the shot step stopped");
                ++distances.at(static_cast<std::size_t>(state.Distance));
            }
            successes += state.Hits > 0 ? 1 : 0;
            if (state.Successes + state.Failures == 30'000)
                LoadSequence(state);  // a new series before the 16-bit counter fills up
        }
        const double p = 1.0 - std::pow(0.9, shots);
        const double sd = std::sqrt(p * (1 - p) / kExperiments);
        const double rate = double(successes) / kExperiments;
        CHECK_MESSAGE(std::fabs(rate - p) < 4.5 * sd, "rate ", rate);

        CHECK_EQ(distances[0], 0L);  // and none beyond 200: at() would have thrown
        const double expected = double(kExperiments) * shots / 200.0;
        double chiSquare = 0.0;
        for (int d = 1; d <= 200; ++d)
            chiSquare += std::pow(distances[std::size_t(d)] - expected, 2) / expected;
        // 199 degrees of freedom: 282 is the critical value at p = 0.0001.
        CHECK_MESSAGE(chiSquare < 282.0, "chi-square ", chiSquare);
    }
}
